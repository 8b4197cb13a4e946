// Fuzzes HTML to text: the first byte picks a charset label, the rest is the
// document. The text never holds markup white space runs; emphasis spans lie
// inside the text, in order, each with a kind.
#include "mailtext/mailreader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const labels[] = {"", "utf-8", "iso-8859-9", "windows-1254", "gbk", "x-unknown"};
    const QString label = QString::fromLatin1(labels[data[0] % 6]);
    const QByteArray html(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    EmphasisSpans spans;
    const QString text = htmlToText(html, label, &spans);
    if (text.contains(QLatin1String("  ")) || text.contains(QLatin1String("\n\n\n")) || text.startsWith(QLatin1Char(' ')))
        std::abort();
    qsizetype last = 0;
    for (const EmphasisSpan &s : spans) {
        if (s.start < last || s.length <= 0 || s.start + s.length > text.size() || s.kinds == 0)
            std::abort();
        last = s.start + s.length;
    }
    return 0;
}
