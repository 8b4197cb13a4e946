#include "recognition/headerdecode.h"

#include <cstdint>
#include <cstdlib>

// Input: a raw header block (bytes read as UTF-8, as the mail poll does).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString block = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *field : {"Subject", "From", "Date", "X"}) {
        const QString value = headerValue(block, QString::fromLatin1(field));
        // Trimmed before the cut, so only the start is sure to be free of blanks.
        if (value.size() > 220 || (!value.isEmpty() && value.at(0).isSpace()))
            abort();
    }
    return 0;
}
