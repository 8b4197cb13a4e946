#include "recognition/codeextractor.h"
#include "recognition/coderecogniser.h"

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

    // The recogniser around it: a code it gives stands in the mail (once
    // spaces, hyphens and other separators are taken out) and is rated.
    const CodeMatch r = recogniseCode(subject, text);
    // Emphasis spans from the input's own bytes, in range or not: the
    // answer stays a code of the mail or none.
    EmphasisSpans spans;
    for (qsizetype i = 0; i + 2 < qMin<qsizetype>(raw.size(), 24); i += 3)
        spans.append({qsizetype(qint8(raw.at(i))) * 4, qsizetype(qint8(raw.at(i + 1))), unsigned(raw.at(i + 2)) & 31u});
    const CodeMatch e = recogniseCode(subject, text, spans);
    if (!e.code.isEmpty() && (e.confidence < kCodeReportFloor || e.confidence > 100 || e.tag.isEmpty()))
        abort();
    if (r.code.isEmpty()) {
        if (r.confidence != 0 || !r.tag.isEmpty())
            abort();
        return 0;
    }
    if (r.code.size() < 4 || r.code.size() > 10 || r.confidence < kCodeReportFloor || r.confidence > 100
        || r.tag.isEmpty())
        abort();
    QString alnum;
    for (const QString &part : {subject, text}) {
        for (const QChar ch : part) {
            char16_t c = ch.unicode();
            if (c >= 0xFF10 && c <= 0xFF19)
                c = char16_t(u'0' + (c - 0xFF10));
            else if (c >= 0x660 && c <= 0x669)
                c = char16_t(u'0' + (c - 0x660));
            else if (c >= 0x6F0 && c <= 0x6F9)
                c = char16_t(u'0' + (c - 0x6F0));
            if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
                alnum.append(QChar(c));
        }
        alnum.append(QLatin1Char('|'));
    }
    for (const QChar ch : r.code) {
        const char16_t c = ch.unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            abort();
    }
    if (!alnum.contains(r.code))
        abort();
    return 0;
}
