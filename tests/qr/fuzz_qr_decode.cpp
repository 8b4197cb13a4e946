// Picture files handed to "QR'dan ekle": any bytes, read through Qt's image
// readers and ZBar. Must never crash or allocate past the size limit.
#include "qr/qrdecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QrDecodeResult r =
        decodeQrImageData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!r.error.isEmpty() && !r.payloads.isEmpty())
        abort();
    return 0;
}
