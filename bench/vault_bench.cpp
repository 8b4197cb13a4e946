#include "vault/sealedbox.h"
#include "vault/totp.h"
#include "vault/vaultbox.h"

#include <benchmark/benchmark.h>
#ifdef MIRELO_BENCH_OPENSSL
#include <openssl/sha.h>
#endif

#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

namespace {

const QString kPassword = QStringLiteral("kasa-sifresi-42");
const QByteArray kSalt = QByteArray::fromHex("8f1c22d03e4a5b6c7d8e9fa0b1c2d3e4");

void BM_DeriveKey(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(deriveKey(kPassword, kSalt));
}
BENCHMARK(BM_DeriveKey)->Unit(benchmark::kMillisecond);

#ifdef MIRELO_BENCH_OPENSSL

// The yardstick: the same 20,000 SHA-256 evaluations over the same bytes,
// straight through OpenSSL's one-shot call.
void openSslSha256Loop(unsigned char *buf, size_t len)
{
    unsigned char h[32];
    SHA256(buf + 32, len - 32, h);
    std::memcpy(buf, h, 32);
    for (int i = 1; i < kDeriveKeyRounds; ++i) {
        SHA256(buf, len, h);
        std::memcpy(buf, h, 32);
    }
}

struct OpenSslInput
{
    OpenSslInput()
    {
        const QByteArray password = kPassword.toUtf8();
        len = 32 + size_t(kSalt.size()) + size_t(password.size());
        std::memcpy(buf + 32, kSalt.constData(), size_t(kSalt.size()));
        std::memcpy(buf + 32 + kSalt.size(), password.constData(), size_t(password.size()));
    }
    unsigned char buf[32 + 16 + 64];
    size_t len = 0;
};

void BM_OpenSslSha256Loop(benchmark::State &state)
{
    OpenSslInput in;
    for (auto _ : state) {
        openSslSha256Loop(in.buf, in.len);
        benchmark::DoNotOptimize(in.buf);
    }
}
BENCHMARK(BM_OpenSslSha256Loop)->Unit(benchmark::kMillisecond);

double threadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Both in turn, each timed on this thread's CPU clock, so that load from
// other processes shifts neither side alone. Counter "ratio" is the
// derivation's cost over the OpenSSL loop's.
void BM_DeriveKeyOverOpenSsl(benchmark::State &state)
{
    OpenSslInput in;
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        const double t0 = threadCpuSeconds();
        benchmark::DoNotOptimize(deriveKey(kPassword, kSalt));
        const double t1 = threadCpuSeconds();
        openSslSha256Loop(in.buf, in.len);
        benchmark::DoNotOptimize(in.buf);
        const double t2 = threadCpuSeconds();
        ours += t1 - t0;
        theirs += t2 - t1;
    }
    state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
}
BENCHMARK(BM_DeriveKeyOverOpenSsl)->Unit(benchmark::kMillisecond);
#endif

QByteArray vaultOf1KiB()
{
    QByteArray json = "[";
    while (json.size() < 1024 - 120)
        json += "{\"id\":\"3f2504e0-4f89-11d3-9a0c-0305e82c3301\",\"label\":\"Hesap\",\"issuer\":\"\","
                "\"secret\":\"JBSWY3DPEHPK3PXP\"},";
    json.chop(1);
    json += "]";
    json.resize(1024, ' ');
    return json;
}

void BM_SealVault1KiB(benchmark::State &state)
{
    const QByteArray plain = vaultOf1KiB();
    for (auto _ : state)
        benchmark::DoNotOptimize(sealBox(plain, kPassword, kSalt));
}
BENCHMARK(BM_SealVault1KiB)->Unit(benchmark::kMillisecond);

void BM_OpenVault1KiB(benchmark::State &state)
{
    const QByteArray box = sealBox(vaultOf1KiB(), kPassword, kSalt);
    for (auto _ : state) {
        const QByteArray plain = openBox(box, kPassword);
        if (plain.size() != 1024)
            state.SkipWithError("box did not open");
        benchmark::DoNotOptimize(plain);
    }
}
BENCHMARK(BM_OpenVault1KiB)->Unit(benchmark::kMillisecond);

// Peak resident memory of this process in KiB (VmHWM), after resetting the
// mark, so the counter covers the timed loop only. Linux; 0 elsewhere.
void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double peakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6));
    }
    return 0;
}

double residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6));
    }
    return 0;
}

// Unlocking the vault with the program's own cost (Argon2id, 64 MiB, 3
// passes): the target is 500 ms. "peak_MiB" is how far the resident set
// rose above its level before the loop.
void BM_UnlockVaultBox(benchmark::State &state)
{
    const VaultSealing sealing;
    const QByteArray password = kPassword.toUtf8();
    const QByteArray box = sealVaultBox(vaultOf1KiB(), password, sealing);
    resetPeakMemory();
    const double before = residentKiB();
    for (auto _ : state) {
        const QByteArray plain = openVaultBox(box, password);
        if (plain.size() != 1024)
            state.SkipWithError("box did not open");
        benchmark::DoNotOptimize(plain);
    }
    state.counters["peak_MiB"] = (peakMemoryKiB() - before) / 1024.0;
}
BENCHMARK(BM_UnlockVaultBox)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SealVaultBox(benchmark::State &state)
{
    const VaultSealing sealing;
    const QByteArray password = kPassword.toUtf8();
    const QByteArray plain = vaultOf1KiB();
    for (auto _ : state)
        benchmark::DoNotOptimize(sealVaultBox(plain, password, sealing));
}
BENCHMARK(BM_SealVaultBox)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TotpCode(benchmark::State &state)
{
    qint64 t = 1700000000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(totpCode(QStringLiteral("JBSWY3DPEHPK3PXPJBSWY3DPEHPK3PXP"), t));
        t += 30;
    }
}
BENCHMARK(BM_TotpCode);

} // namespace

BENCHMARK_MAIN();
