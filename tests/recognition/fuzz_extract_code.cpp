#include "recognition/codeextractor.h"

#include "plainextract.h"

#include <cstdint>
#include <cstdlib>

// Input: subject, a NUL byte, text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = raw.indexOf('\0');
    const QString subject = QString::fromUtf8(split < 0 ? raw : raw.left(split));
    const QString text = split < 0 ? QString() : QString::fromUtf8(raw.mid(split + 1));

    const CodeMatch m = extractCode(subject, text);
    if (m.code.isEmpty()) {
        if (m.confidence != 0 || !m.tag.isEmpty())
            abort();
    } else {
        if (m.code.size() < 4 || m.code.size() > 8 || m.confidence < 0 || m.confidence > 100 || m.tag.isEmpty()
            || m.code.contains(QLatin1Char(' ')) || m.code.contains(QLatin1Char('-')))
            abort();
    }
    // The shortcuts of the extractor must never change its answer.
    const CodeMatch plain = plainExtract(subject, text);
    if (plain.code != m.code || plain.tag != m.tag || plain.confidence != m.confidence)
        abort();
    return 0;
}
