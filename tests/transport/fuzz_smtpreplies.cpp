// Fuzzes the reading of SMTP replies and the building of the message text:
// the first half of the input is a server reply, the rest a body.
#include <QByteArray>
#include <QDateTime>
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
    // Nor can a subject or a threading id taken from a hostile mail add a header line.
    SmtpMessage message;
    message.from = QStringLiteral("a@b");
    message.to = QStringLiteral("c@d");
    message.subject = reply.left(300);
    message.body = body;
    message.date = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    message.messageId = QStringLiteral("<1@b>");
    message.inReplyTo = reply.left(200);
    message.references = reply;
    const QByteArray text = smtpMessageText(message);
    const QByteArray head = text.left(text.indexOf("\r\n\r\n") + 2);
    for (const QByteArray &line : head.split('\n')) {
        if (line.isEmpty())
            continue;
        // Each header line is "Name: " or a folded continuation.
        if (!line.endsWith('\r') || !(line.startsWith(' ') || line.contains(": ")) || line.size() > 999)
            std::abort();
    }
    if (!text.endsWith("\r\n.\r\n"))
        std::abort();
    const QByteArray inner = text.left(text.size() - 3);
    if (inner.contains("\r\n.\r\n") || inner.contains("\n.\r\n"))
        std::abort();
    return 0;
}
