#include "transport/smtpparse.h"

#include "mail/providers.h"

namespace {
struct ServerRow
{
    QStringList words;
    const char *host;
    quint16 port;
    bool startTls;
};

// A word with a dot is a mail domain and must match whole labels ("me.com"
// is not "acme.com"); plain words match anywhere in the key.
bool keyMatches(const QString &key, const QString &word)
{
    if (key.isEmpty())
        return false;
    if (word.contains(QLatin1Char('.')))
        return key == word || key.endsWith(QLatin1Char('.') + word);
    return key.contains(word);
}
} // namespace

SmtpServer smtpServerFor(const EmailAccount &acc)
{
    // Set by hand on the accounts page.
    if (!acc.smtpHost.trimmed().isEmpty()) {
        const quint16 port = acc.smtpPort != 0 ? acc.smtpPort : quint16(acc.smtpStartTls ? 587 : 465);
        return SmtpServer{acc.smtpHost.trimmed(), port, acc.smtpStartTls};
    }
    // The provider the account was saved with; "auto" and "custom" fall to
    // the IMAP host and the address below.
    if (acc.provider != u"auto" && acc.provider != u"custom") {
        const MailProvider provider = resolveProvider(acc.address, acc.provider);
        if (provider.id == acc.provider && !provider.smtpHost.isEmpty())
            return SmtpServer{provider.smtpHost, provider.smtpPort, provider.smtpStartTls};
    }

    static const QList<ServerRow> rows = {
        {{QStringLiteral("gmail"), QStringLiteral("googlemail")}, "smtp.gmail.com", 465, false},
        {{QStringLiteral("yahoo")}, "smtp.mail.yahoo.com", 465, false},
        {{QStringLiteral("yandex")}, "smtp.yandex.com", 465, false},
        {{QStringLiteral("icloud"), QStringLiteral("me.com"), QStringLiteral("mac.com")}, "smtp.mail.me.com", 587,
         true},
        {{QStringLiteral("office365"), QStringLiteral("outlook"), QStringLiteral("hotmail"), QStringLiteral("live")},
         "smtp.office365.com", 587, true},
    };
    const QString hostKey = acc.host.toLower();
    const int at = acc.address.indexOf(QLatin1Char('@'));
    const QString domain = at >= 0 ? acc.address.mid(at + 1).toLower() : QString();
    for (const ServerRow &row : rows) {
        for (const QString &word : row.words) {
            if (keyMatches(hostKey, word) || keyMatches(domain, word))
                return SmtpServer{QString::fromLatin1(row.host), row.port, row.startTls};
        }
    }
    if (domain.isEmpty())
        return SmtpServer{QStringLiteral("smtp.gmail.com"), 465, false};
    return SmtpServer{QStringLiteral("smtp.") + domain, 465, false};
}

QString smtpBodyText(const QString &body)
{
    QStringList lines = body.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('.')))
            line.prepend(QLatin1Char('.'));
    }
    return lines.join(QLatin1String("\r\n"));
}

QByteArray smtpMessageText(const QString &from, const QString &to, const QString &subject, const QString &body)
{
    const QString text = QLatin1String("From: ") + from + QLatin1String("\r\nTo: ") + to
        + QLatin1String("\r\nSubject: ") + subject
        + QLatin1String("\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n") + smtpBodyText(body);
    return text.toUtf8() + "\r\n.\r\n";
}

bool smtpReplyHasCode(const QString &reply, const QStringList &codes)
{
    for (const QString &code : codes) {
        if (reply.contains(code))
            return true;
    }
    return false;
}

QString smtpFinalCode(const QString &reply)
{
    if (!smtpReplyComplete(reply))
        return QString();
    QString last = reply.trimmed();
    last = last.mid(last.lastIndexOf(QLatin1Char('\n')) + 1);
    return last.left(3);
}

bool smtpReplyComplete(const QString &reply)
{
    if (!reply.endsWith(QLatin1Char('\n')))
        return false;
    QString last = reply.left(reply.size() - 1);
    if (last.endsWith(QLatin1Char('\r')))
        last.chop(1);
    last = last.mid(last.lastIndexOf(QLatin1Char('\n')) + 1);
    if (last.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (last.at(i) < QLatin1Char('0') || last.at(i) > QLatin1Char('9'))
            return false;
    }
    return last.size() == 3 || last.at(3) != QLatin1Char('-');
}
