#include "transport/imapparse.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <algorithm>

#include "mailtext/mailreader.h"
#include "oauth/oauthcore.h"
#include "recognition/headerdecode.h"

QString accountLoginName(const EmailAccount &acc)
{
    return acc.user.isEmpty() ? acc.address : acc.user;
}

QString imapQuoted(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return out;
}

QString imapLoginCommand(const QString &login, const QString &password)
{
    return QStringLiteral("LOGIN \"%1\" \"%2\"").arg(imapQuoted(login), imapQuoted(password));
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QStringList parseSearch(const QString &reply)
{
    static const QRegularExpression number(QStringLiteral("\\b(\\d+)\\b"));
    QStringList out;
    const QStringList lines = reply.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (!line.startsWith(QLatin1String("* SEARCH")))
            continue;
        auto it = number.globalMatch(line);
        while (it.hasNext()) {
            const QString n = it.next().captured(1);
            if (!out.contains(n))
                out.append(n);
        }
    }
    return out;
}

QString imapFailureDetail(const QString &reply, int maxLength)
{
    const QStringList parts = reply.split(QLatin1Char('\n'));
    for (auto it = parts.crbegin(); it != parts.crend(); ++it) {
        const QString line = it->trimmed();
        if (!line.isEmpty())
            return line.left(maxLength);
    }
    return QString();
}

QString pollLoginFailureText(const QString &reply)
{
    if (reply.contains(QLatin1String("AUTHENTICATIONFAILED"), Qt::CaseInsensitive))
        return QStringLiteral("Sifre reddedildi. Uygulama sifresi kullandigindan emin ol.");
    if (reply.contains(QLatin1String("a02 NO")))
        return imapFailureDetail(reply, 160);
    return QStringLiteral("Kullanici adi/sifre reddedildi.");
}

QStringList keepLast(const QStringList &list, int n)
{
    return list.size() > n ? list.mid(list.size() - n) : list;
}

QString imapBodyFromTextReply(const QString &reply)
{
    const int brace = reply.indexOf(QLatin1Char('}'));
    if (brace >= 1)
        return reply.mid(brace + 3).left(2500);
    return reply.left(2500);
}

QString imapPreview(const QString &body, const QString &subject)
{
    const QString simple = body.simplified().left(140);
    return simple.isEmpty() ? subject.left(140) : simple;
}

QString parseUidValidity(const QString &selectReply)
{
    static const QRegularExpression re(QStringLiteral("\\[UIDVALIDITY (\\d+)\\]"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(selectReply).captured(1);
}

namespace {
// Length of a literal marker "{N}" CRLF starting at `at`, and where its
// content starts; false when no marker stands there.
bool literalAt(const QByteArray &reply, qsizetype at, qint64 *length, qsizetype *start)
{
    const qsizetype n = reply.size();
    if (at >= n || reply.at(at) != '{')
        return false;
    qsizetype j = at + 1;
    qint64 value = 0;
    int digits = 0;
    while (j < n && digits < 15 && reply.at(j) >= '0' && reply.at(j) <= '9') {
        value = value * 10 + (reply.at(j) - '0');
        ++j;
        ++digits;
    }
    if (digits == 0 || j + 2 >= n || reply.at(j) != '}' || reply.at(j + 1) != '\r' || reply.at(j + 2) != '\n')
        return false;
    *length = value;
    *start = j + 3;
    return true;
}

// The reply's lines with every literal's content left out, so that text a
// sender controls (the header fields) never reads as protocol data.
QList<QByteArray> linesOutsideLiterals(const QByteArray &reply)
{
    QList<QByteArray> lines;
    QByteArray current;
    const qsizetype n = reply.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = reply.at(i);
        qint64 length = 0;
        qsizetype start = 0;
        if (c == '{' && literalAt(reply, i, &length, &start)) {
            current += ' ';
            i = start + qsizetype(qMin<qint64>(length, n - start));
            continue;
        }
        if (c == '\n') {
            lines.append(current);
            current.clear();
        } else {
            current += c;
        }
        ++i;
    }
    lines.append(current);
    return lines;
}
} // namespace

QList<QByteArray> imapLinesOutsideLiterals(const QByteArray &reply)
{
    return linesOutsideLiterals(reply);
}

QString parseFetchUid(const QByteArray &reply, const QString &seq)
{
    static const QRegularExpression uid(QStringLiteral("[ (]UID (\\d+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QByteArray prefix = "* " + seq.toLatin1() + " FETCH ";
    const QList<QByteArray> lines = linesOutsideLiterals(reply);
    for (const QByteArray &line : lines) {
        if (!line.startsWith(prefix))
            continue;
        const auto m = uid.match(QString::fromLatin1(line.mid(prefix.size() - 1)));
        if (m.hasMatch())
            return m.captured(1);
    }
    return QString();
}

QString imapMessageId(const QString &account, const QString &uidValidity, const QString &uid,
                      const QString &headerReply)
{
    QString key = account.toLower() + QLatin1Char('\n');
    if (!uid.isEmpty()) {
        key += QLatin1String("uid\n") + uidValidity + QLatin1Char('\n') + uid;
    } else {
        key += QLatin1String("hdr\n") + headerValue(headerReply, QStringLiteral("From")) + QLatin1Char('\n')
            + headerValue(headerReply, QStringLiteral("Subject")) + QLatin1Char('\n')
            + headerValue(headerReply, QStringLiteral("Date"));
    }
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QLatin1String("imap-") + QString::fromLatin1(hash.left(32));
}

bool imapTaggedDone(const QByteArray &reply, const QByteArray &tag)
{
    const QList<QByteArray> lines = linesOutsideLiterals(reply);
    for (const QByteArray &line : lines) {
        if (line.size() > tag.size() && line.startsWith(tag) && line.at(tag.size()) == ' ') {
            const QByteArray status = line.mid(tag.size() + 1, 4);
            if (status.startsWith("OK") || status.startsWith("NO") || status.startsWith("BAD"))
                return true;
        }
    }
    return false;
}

bool imapFirstLiteral(const QByteArray &reply, QByteArray *content)
{
    for (qsizetype i = reply.indexOf('{'); i >= 0; i = reply.indexOf('{', i + 1)) {
        qint64 length = 0;
        qsizetype start = 0;
        if (literalAt(reply, i, &length, &start)) {
            *content = reply.mid(start, qsizetype(qMin<qint64>(length, reply.size() - start)));
            return true;
        }
    }
    return false;
}

QString imapMailBody(const QByteArray &headerReply, const QByteArray &textReply, EmphasisSpans *emphasis)
{
    QByteArray text;
    if (!imapFirstLiteral(textReply, &text))
        return imapBodyFromTextReply(QString::fromUtf8(textReply));
    QByteArray header;
    imapFirstLiteral(headerReply, &header);
    // The fetched fields end with their empty line; a server that leaves it
    // out must not make the text read as more header.
    if (!header.isEmpty() && !header.endsWith("\r\n\r\n"))
        header += header.endsWith("\r\n") ? "\r\n" : "\r\n\r\n";
    if (header.isEmpty())
        header = "\r\n";
    MailText mail = readMail(header + text);
    if (emphasis)
        *emphasis = std::move(mail.emphasis);
    return mail.text;
}

QStringList imapCapabilities(const QByteArray &reply)
{
    QStringList caps;
    const QList<QByteArray> lines = linesOutsideLiterals(reply);
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArray upper = line.toUpper();
        QByteArray list;
        if (upper.startsWith("* CAPABILITY ")) {
            list = upper.mid(13);
        } else {
            const qsizetype at = upper.indexOf("[CAPABILITY ");
            if (at < 0)
                continue;
            const qsizetype close = upper.indexOf(']', at);
            list = upper.mid(at + 12, close < 0 ? -1 : close - at - 12);
        }
        for (const QByteArray &word : list.split(' ')) {
            // Capabilities are atoms: anything else is noise, not an offer.
            const QByteArray atom = word.trimmed();
            const bool plain = !atom.isEmpty()
                && std::all_of(atom.begin(), atom.end(), [](char c) { return c > 0x20 && c < 0x7f; });
            const QString w = QString::fromLatin1(atom);
            if (plain && !caps.contains(w))
                caps.append(w);
        }
    }
    return caps;
}

QString saslMechanismName(const EmailAccount &acc)
{
    switch (acc.auth) {
    case MailAuth::XOAuth2:
        return QStringLiteral("XOAUTH2");
    case MailAuth::OAuthBearer:
        return QStringLiteral("OAUTHBEARER");
    case MailAuth::Password:
        break;
    }
    return QString();
}

QByteArray saslInitialResponse(const EmailAccount &acc, const QString &host, quint16 port)
{
    const QString login = accountLoginName(acc);
    switch (acc.auth) {
    case MailAuth::XOAuth2:
        return saslXoauth2(login, acc.accessToken);
    case MailAuth::OAuthBearer:
        return saslOauthbearer(login, host, port, acc.accessToken);
    case MailAuth::Password:
        break;
    }
    return QByteArray();
}

ImapAuthState imapAuthState(const QByteArray &reply, const QByteArray &tag)
{
    // Only whole lines count: a continuation is judged once its line ended.
    const qsizetype end = reply.lastIndexOf('\n');
    if (end < 0)
        return ImapAuthState::Incomplete;
    const QList<QByteArray> lines = linesOutsideLiterals(reply.left(end + 1));
    ImapAuthState state = ImapAuthState::Incomplete;
    for (const QByteArray &line : lines) {
        if (line.size() > tag.size() && line.startsWith(tag) && line.at(tag.size()) == ' ') {
            const QByteArray status = line.mid(tag.size() + 1, 4).toUpper();
            if (status.startsWith("OK"))
                return ImapAuthState::Ok;
            if (status.startsWith("NO"))
                return ImapAuthState::No;
            if (status.startsWith("BAD"))
                return ImapAuthState::Bad;
        } else if (line.startsWith('+')) {
            state = ImapAuthState::Continuation;
        }
    }
    return state;
}

QString tokenRefusedText()
{
    return QStringLiteral("Erisim anahtari reddedildi: sunucu oturumu kabul etmedi.");
}

QString connectFailureText(const EmailAccount &acc, const QString &reason)
{
    return QStringLiteral("Baglanti kurulamadi: %1:%2 \u2014 %3. Sunucu ve portu kontrol et.")
        .arg(acc.host, QString::number(acc.port), reason);
}
