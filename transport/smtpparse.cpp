#include "transport/smtpparse.h"

#include "mail/providers.h"

#include <QRegularExpression>

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

namespace {

// Header values never carry a line break of their own.
QString oneLine(const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return v.trimmed();
}

bool plainAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 126 || (c.unicode() < 32 && c != QLatin1Char('\t')))
            return false;
    }
    return true;
}

// RFC 2047 "B" encoded words of at most 75 characters, folded one per line;
// a word never splits a UTF-8 sequence.
QByteArray encodedSubject(const QString &subject)
{
    if (plainAscii(subject) && subject.size() <= 900)
        return subject.toLatin1();
    const QByteArray bytes = subject.toUtf8();
    const int kMaxChunk = 42; // 56 base64 characters: 77 with the frame and "Subject: "
    QList<QByteArray> words;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = qMin(start + kMaxChunk, bytes.size());
        while (end < bytes.size() && end > start + 1 && (uchar(bytes.at(end)) & 0xC0) == 0x80)
            --end;
        words.append("=?UTF-8?B?" + bytes.mid(start, end - start).toBase64() + "?=");
        start = end;
    }
    return words.join("\r\n ");
}

QByteArray base64Lines(const QByteArray &bytes)
{
    const QByteArray b64 = bytes.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < b64.size(); i += 76)
        out += b64.mid(i, 76) + "\r\n";
    return out;
}

} // namespace

QString smtpNewMessageId(const QString &from, const QByteArray &random)
{
    QString domain = from.mid(from.lastIndexOf(QLatin1Char('@')) + 1).trimmed().toLower();
    if (!from.contains(QLatin1Char('@')) || domain.isEmpty() || !plainAscii(domain)
        || domain.contains(QLatin1Char('>')) || domain.contains(QLatin1Char(' ')))
        domain = QStringLiteral("localhost");
    return QLatin1Char('<') + QString::fromLatin1(random.toHex()) + QLatin1Char('@') + domain + QLatin1Char('>');
}

QString smtpDateText(const QDateTime &when)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate d = when.date();
    const int offset = when.offsetFromUtc() / 60;
    const int absOffset = offset < 0 ? -offset : offset;
    return QStringLiteral("%1, %2 %3 %4 %5 %6%7%8")
        .arg(QLatin1String(days[d.dayOfWeek() - 1]))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(months[d.month() - 1]))
        .arg(d.year())
        .arg(when.time().toString(QStringLiteral("HH:mm:ss")))
        .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(absOffset / 60, 2, 10, QLatin1Char('0'))
        .arg(absOffset % 60, 2, 10, QLatin1Char('0'));
}

QString smtpMessageIds(const QString &value)
{
    static const QRegularExpression id(QStringLiteral("<[^<>\\s@]+@[^<>\\s@]+>"));
    QStringList ids;
    QRegularExpressionMatchIterator it = id.globalMatch(value);
    while (it.hasNext())
        ids.append(it.next().captured(0));
    return ids.join(QLatin1Char(' '));
}

QByteArray smtpMessageText(const SmtpMessage &m)
{
    QByteArray out;
    out += "Date: " + smtpDateText(m.date).toLatin1() + "\r\n";
    out += "From: " + oneLine(m.from).toUtf8() + "\r\n";
    out += "To: " + oneLine(m.to).toUtf8() + "\r\n";
    out += "Subject: " + encodedSubject(oneLine(m.subject)) + "\r\n";
    out += "Message-ID: " + smtpMessageIds(m.messageId).toLatin1() + "\r\n";
    const QString parent = smtpMessageIds(m.inReplyTo).section(QLatin1Char(' '), 0, 0);
    if (!parent.isEmpty()) {
        // The thread's root and the parent stay; very long chains lose their middle.
        QStringList chain = smtpMessageIds(m.references).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        chain.removeAll(parent);
        if (chain.size() > 8)
            chain = chain.mid(0, 1) + chain.mid(chain.size() - 7);
        chain.append(parent);
        out += "In-Reply-To: " + parent.toLatin1() + "\r\n";
        out += "References: " + chain.join(QLatin1String("\r\n ")).toLatin1() + "\r\n";
    }
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: text/plain; charset=utf-8\r\n";
    const QString text = smtpBodyText(m.body);
    bool longLine = false;
    for (const QString &line : text.split(QLatin1String("\r\n")))
        longLine = longLine || line.size() > 900;
    if (plainAscii(QString(text).remove(QLatin1String("\r\n"))) && !longLine) {
        out += "Content-Transfer-Encoding: 7bit\r\n\r\n" + text.toLatin1();
        return out + "\r\n.\r\n";
    }
    // Base64 lines never begin with a dot, so no stuffing is needed.
    QStringList lines = m.body.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = line.trimmed();
    out += "Content-Transfer-Encoding: base64\r\n\r\n" + base64Lines(lines.join(QLatin1String("\r\n")).toUtf8());
    return out + ".\r\n";
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
