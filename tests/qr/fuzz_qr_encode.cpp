// Any bytes, any level, any mask: a grid or the length error, never a crash.
#include "qr/qrencoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int level = data[0] % 4;
    const int mask = int(data[1] % 9) - 1;
    const QByteArray payload(reinterpret_cast<const char *>(data + 2), int(size - 2));
    try {
        const QrCode qr = encodeBinary(payload, level, mask);
        if (qr.size != qr.version * 4 + 17 || int(qr.modules.size()) != qr.size)
            std::abort();
    } catch (const QrLengthError &) {
    }
    return 0;
}
