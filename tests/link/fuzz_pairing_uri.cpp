// A pairing link or a typed session id may be anything.
#include "link/pairing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

static void checkSid(const QString &text)
{
    const QString sid = normalizeSessionId(text);
    if (!sid.isEmpty() && (!isValidSessionId(sid) || sid.size() != kSessionIdLength || sid.contains(QLatin1Char('/'))
                           || sid.contains(QLatin1Char('.'))))
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString sid, code;
    if (parsePairingUri(text, &sid, &code)) {
        if (sid.isEmpty() || code.isEmpty())
            std::abort();
        checkSid(sid);
    }
    checkSid(text);
    if (isPlainInboxKey(text)
        && (text.contains(QLatin1Char('/')) || text.contains(QLatin1Char('.')) || text.contains(QLatin1Char('?'))))
        std::abort();
    const QString cut = cutText(text, 7);
    if (cut.size() > 7 || (!cut.isEmpty() && cut.back().isHighSurrogate() && text.size() > cut.size()
                           && text.at(cut.size()).isLowSurrogate()))
        std::abort();
    return 0;
}
