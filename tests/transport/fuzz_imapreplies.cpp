// Fuzzes the readers of IMAP server replies: search results, the UID and
// UIDVALIDITY, failure details, the tagged end of a reply, and the body and
// preview rules, and the capability and AUTHENTICATE readers.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

#include "transport/imapparse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString reply = QString::fromUtf8(bytes);

    const QStringList numbers = parseSearch(reply);
    for (const QString &n : numbers) {
        bool ok = false;
        n.toULongLong(&ok);
        if (!ok && n.size() < 19)
            std::abort();
    }
    const QString seq = numbers.value(0, QStringLiteral("1"));
    const QString uid = parseFetchUid(bytes, seq);
    for (const QChar c : uid) {
        if (!c.isDigit())
            std::abort();
    }
    parseUidValidity(reply);
    if (imapFailureDetail(reply, 160).size() > 160)
        std::abort();
    pollLoginFailureText(reply);

    const QString body = imapBodyFromTextReply(reply);
    if (body.size() > 2500)
        std::abort();
    // The same octets as header fields and as text of a fetched mail.
    if (imapMailBody(bytes, bytes).size() > 2500)
        std::abort();
    imapTaggedDone(bytes, "a06");
    // Sign-in with a token: the offered capabilities and the exchange's state.
    for (const QString &cap : imapCapabilities(bytes)) {
        if (cap.isEmpty())
            std::abort();
        for (const QChar c : cap) {
            if (c.unicode() <= 0x20 || c.unicode() >= 0x7f || (c >= QLatin1Char('a') && c <= QLatin1Char('z')))
                std::abort();
        }
    }
    const ImapAuthState auth = imapAuthState(bytes, "a02");
    if (auth != ImapAuthState::Incomplete && !bytes.contains('\n'))
        std::abort();
    if (imapPreview(body, reply).size() > 140)
        std::abort();
    if (imapMessageId(QStringLiteral("a@b"), QStringLiteral("1"), uid, reply).size() != 37)
        std::abort();
    return 0;
}
