// Fuzzes the reading of SMTP replies and the building of the message text:
// the first half of the input is a server reply, the rest a body.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

#include "transport/smtpparse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString reply = QString::fromUtf8(bytes.left(bytes.size() / 2));
    const QString body = QString::fromUtf8(bytes.mid(bytes.size() / 2));

    const bool complete = smtpReplyComplete(reply);
    if (complete && !reply.endsWith(QLatin1Char('\n')))
        std::abort();
    smtpReplyHasCode(reply, {QStringLiteral("250"), QStringLiteral("251")});
    const QString code = smtpFinalCode(reply);
    if (!code.isEmpty() && (!complete || code.size() != 3))
        std::abort();

    // The body can never end the DATA phase early: no line of it is a lone dot.
    const QByteArray text = smtpMessageText(QStringLiteral("a@b"), QStringLiteral("c@d"), QStringLiteral("S"), body);
    if (!text.endsWith("\r\n.\r\n"))
        std::abort();
    const QByteArray inner = text.left(text.size() - 3);
    if (inner.contains("\r\n.\r\n") || inner.contains("\n.\r\n"))
        std::abort();
    return 0;
}
