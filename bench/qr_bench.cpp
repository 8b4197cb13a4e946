// Encoding a pairing URI and a full version-40 payload at level M with the
// automatic mask: ours, Nayuki's qrcodegen and libqrencode.
#include "qr/qrencoder.h"

#include <benchmark/benchmark.h>
#include <qrcodegen/qrcodegen.hpp>
#include <qrencode.h>

#include <vector>

namespace {

QByteArray payload(int which)
{
    if (which == 0)
        return QByteArrayLiteral("MIRELOPLUS://pair?s=K7M2P9QX&c=049311");
    QByteArray data(2331, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 131 + 17) & 0xFF);
    return data;
}

void BM_Ours(benchmark::State &state)
{
    const QByteArray data = payload(int(state.range(0)));
    for (auto _ : state) {
        QrCode qr = encodeBinary(data, QrLevelM);
        benchmark::DoNotOptimize(qr.modules.data());
    }
}

void BM_Qrcodegen(benchmark::State &state)
{
    const QByteArray data = payload(int(state.range(0)));
    const std::vector<std::uint8_t> bytes(data.begin(), data.end());
    for (auto _ : state) {
        auto qr = qrcodegen::QrCode::encodeSegments({qrcodegen::QrSegment::makeBytes(bytes)},
                                                    qrcodegen::QrCode::Ecc::MEDIUM, 1, 40, -1, false);
        benchmark::DoNotOptimize(qr.getSize());
    }
}

void BM_Libqrencode(benchmark::State &state)
{
    const QByteArray data = payload(int(state.range(0)));
    for (auto _ : state) {
        QRcode *qr = QRcode_encodeData(int(data.size()), reinterpret_cast<const unsigned char *>(data.constData()), 0, QR_ECLEVEL_M);
        benchmark::DoNotOptimize(qr);
        QRcode_free(qr);
    }
}

} // namespace

// Argument 0: the 37-byte pairing URI; 1: 2331 bytes (version 40).
BENCHMARK(BM_Ours)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Qrcodegen)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Libqrencode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
