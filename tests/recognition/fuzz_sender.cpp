#include "recognition/headerdecode.h"

#include <cstdint>
#include <cstdlib>

// Input: a sender text; its second half also serves as a brand name.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString from = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString address = senderAddress(from);
    const QString name = senderName(from);
    const QString initial = avatarInitial(from);
    const QString branded = avatarInitial(from, from.mid(from.size() / 2));
    if (name.size() > 48 || address != address.trimmed())
        abort();
    if (initial.isEmpty() || initial.size() > 2 || branded.isEmpty() || branded.size() > 2)
        abort();
    return 0;
}
