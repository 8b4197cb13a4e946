#include "link/pairing.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QUrl>
#include <QUrlQuery>

LinkRandom systemLinkRandom()
{
    return [] { return QRandomGenerator::system()->generate(); };
}

QString generateSessionId(const LinkRandom &random)
{
    QString sid;
    sid.reserve(kSessionIdLength);
    for (int i = 0; i < kSessionIdLength; ++i)
        sid.append(QLatin1Char(kSessionIdAlphabet[random() >> 27]));
    return sid;
}

QString generatePairingCode(const LinkRandom &random)
{
    const quint64 value = (quint64(random()) * 1000000u) >> 32;
    return QStringLiteral("%1").arg(value, kPairingCodeLength, 10, QLatin1Char('0'));
}

QByteArray generateLinkSalt(const LinkRandom &random)
{
    QByteArray salt(16, Qt::Uninitialized);
    for (char &byte : salt)
        byte = char(random() >> 24);
    return salt;
}

QString sha256Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString linkKeyFor(const QString &sid, const QString &code)
{
    return sha256Hex((sid + QLatin1Char(':') + code).toUtf8());
}

bool isValidSessionId(const QString &sid)
{
    if (sid.size() != kSessionIdLength)
        return false;
    const QLatin1String alphabet(kSessionIdAlphabet);
    for (const QChar c : sid) {
        if (!alphabet.contains(c))
            return false;
    }
    return true;
}

QString normalizeSessionId(const QString &text)
{
    const QString sid = text.trimmed().toUpper();
    return isValidSessionId(sid) ? sid : QString();
}

bool isPlainInboxKey(const QString &key)
{
    if (key.isEmpty() || key.size() > 768)
        return false;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
                        || u == '-' || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

QString pairingUri(const QString &sid, const QString &code)
{
    return QLatin1String(kPairingUriPrefix) + sid + QStringLiteral("&c=") + code;
}

bool parsePairingUri(const QString &uri, QString *sid, QString *code)
{
    const QUrl url(uri.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("mireloplus"), Qt::CaseInsensitive) != 0
        || url.host().compare(QLatin1String("pair"), Qt::CaseInsensitive) != 0
        || (!url.path().isEmpty() && url.path() != QLatin1String("/")))
        return false;
    const QUrlQuery query(url);
    if (!query.hasQueryItem(QStringLiteral("s")) || !query.hasQueryItem(QStringLiteral("c")))
        return false;
    const QString s = query.queryItemValue(QStringLiteral("s"), QUrl::FullyDecoded);
    const QString c = query.queryItemValue(QStringLiteral("c"), QUrl::FullyDecoded);
    if (s.isEmpty() || c.isEmpty())
        return false;
    if (sid)
        *sid = s;
    if (code)
        *code = c;
    return true;
}

QString cutText(const QString &text, int max)
{
    if (max <= 0)
        return QString();
    if (text.size() <= max)
        return text;
    int n = max;
    if (text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate())
        --n;
    return text.left(n);
}

QString isoUtc(const QDateTime &when)
{
    return when.toUTC().toString(Qt::ISODate);
}

QString isoLocal(const QDateTime &when)
{
    return when.toLocalTime().toString(Qt::ISODate);
}
