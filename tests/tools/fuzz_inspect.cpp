#include "tools/inspectmail.h"

#include <QJsonDocument>

#include <cstdint>
#include <cstdlib>

// Input: a raw mail file. Whatever it holds, the record must be one valid
// JSON object on one line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(data), qsizetype(size));
    const RawMailParts parts = parseRawMail(raw);
    if (!parts.error.isEmpty())
        return 0;
    const QByteArray line = inspectionLine(QStringLiteral("f.eml"), parts.from, parts.subject, parts.text, parts.part);
    if (line.contains('\n') || !QJsonDocument::fromJson(line).isObject())
        abort();
    return 0;
}
