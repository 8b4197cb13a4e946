// Opening arbitrary bytes as a sealed box: no crash, and whatever opens must
// seal back to the very same bytes.
#include "vault/sealedbox.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray box = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString password = QStringLiteral("fuzz");
    const QByteArray plain = openBox(box, password);
    if (plain.isEmpty())
        return 0;
    if (plain.size() != box.size() - kSealedBoxOverhead)
        abort();
    if (sealBox(plain, password, box.mid(4, kSealedBoxSaltSize)) != box)
        abort();
    return 0;
}
