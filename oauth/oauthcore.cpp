#include "oauth/oauthcore.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QUrlQuery>

namespace {

bool printableAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

QByteArray formBody(const QList<QPair<QString, QString>> &fields)
{
    QByteArray body;
    for (const auto &[name, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}

} // namespace

QByteArray systemRandomBytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        bytes[i] = char(QRandomGenerator::system()->bounded(256));
    return bytes;
}

QString base64Url(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString pkceVerifier(const OAuthRandom &random)
{
    return base64Url(random(32));
}

QString pkceChallenge(const QString &verifier)
{
    return base64Url(QCryptographicHash::hash(verifier.toLatin1(), QCryptographicHash::Sha256));
}

QUrl authorizationUrl(const OAuthEndpoints &endpoints, const QString &redirectUri, const QString &state,
                      const QString &challenge, const QString &loginHint)
{
    QUrl url = endpoints.authorizeUrl;
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("response_type"), QStringLiteral("code"));
    query.addQueryItem(QStringLiteral("client_id"), endpoints.clientId);
    query.addQueryItem(QStringLiteral("redirect_uri"), redirectUri);
    query.addQueryItem(QStringLiteral("scope"), endpoints.scopes.join(QLatin1Char(' ')));
    query.addQueryItem(QStringLiteral("state"), state);
    query.addQueryItem(QStringLiteral("code_challenge"), challenge);
    query.addQueryItem(QStringLiteral("code_challenge_method"), QStringLiteral("S256"));
    if (!loginHint.isEmpty())
        query.addQueryItem(QStringLiteral("login_hint"), loginHint);
    for (const auto &[name, value] : endpoints.extraParameters)
        query.addQueryItem(name, value);
    // Every reserved character escaped, so a '+' in a scope or hint stays a '+'.
    QString encoded;
    for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (!encoded.isEmpty())
            encoded += QLatin1Char('&');
        encoded += QString::fromLatin1(QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value));
    }
    url.setQuery(encoded, QUrl::StrictMode);
    return url;
}

RedirectResult readRedirect(const QUrl &target, const QString &expectedState)
{
    RedirectResult result;
    const QUrlQuery query(target);
    const QStringList states = query.allQueryItemValues(QStringLiteral("state"), QUrl::FullyDecoded);
    if (states.size() != 1 || states.first() != expectedState) {
        result.error = QStringLiteral("Oturum acma reddedildi: donus istegi bu oturuma ait degil (state uyusmuyor).");
        return result;
    }
    const QStringList errors = query.allQueryItemValues(QStringLiteral("error"), QUrl::FullyDecoded);
    if (!errors.isEmpty()) {
        QString reason = errors.first();
        const QString description = query.queryItemValue(QStringLiteral("error_description"), QUrl::FullyDecoded);
        if (!description.isEmpty())
            reason += QStringLiteral(" - ") + description.left(200);
        result.error = QStringLiteral("Oturum acma reddedildi: ") + reason.left(240);
        return result;
    }
    const QStringList codes = query.allQueryItemValues(QStringLiteral("code"), QUrl::FullyDecoded);
    if (codes.size() != 1 || codes.first().isEmpty()) {
        result.error = codes.isEmpty() ? QStringLiteral("Oturum acma reddedildi: donus isteginde kod yok.")
                                       : QStringLiteral("Oturum acma reddedildi: donus isteginde birden fazla kod var.");
        return result;
    }
    if (!printableAscii(codes.first()) || codes.first().size() > 4096) {
        result.error = QStringLiteral("Oturum acma reddedildi: donus istegindeki kod gecersiz.");
        return result;
    }
    result.code = codes.first();
    return result;
}

TokenReply readTokenReply(int httpStatus, const QByteArray &body)
{
    TokenReply reply;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        reply.error = httpStatus >= 200 && httpStatus < 300
                          ? QStringLiteral("Token alinamadi: sunucunun cevabi okunamadi.")
                          : QStringLiteral("Token alinamadi: sunucu HTTP %1 dondu.").arg(httpStatus);
        return reply;
    }
    const QJsonObject o = doc.object();
    const QString error = o.value(QStringLiteral("error")).toString();
    if (!error.isEmpty() || httpStatus < 200 || httpStatus >= 300) {
        reply.refused = error == u"invalid_grant";
        QString reason = error.isEmpty() ? QStringLiteral("HTTP %1").arg(httpStatus) : error.left(80);
        reply.error = QStringLiteral("Token alinamadi: ") + reason;
        return reply;
    }
    reply.accessToken = o.value(QStringLiteral("access_token")).toString();
    reply.refreshToken = o.value(QStringLiteral("refresh_token")).toString();
    const QJsonValue expires = o.value(QStringLiteral("expires_in"));
    reply.expiresIn = expires.isString() ? expires.toString().toLongLong() : qint64(expires.toDouble(3600));
    if (reply.expiresIn <= 0 || reply.expiresIn > 366LL * 24 * 3600)
        reply.expiresIn = 3600;
    const QString type = o.value(QStringLiteral("token_type")).toString();
    if (reply.accessToken.isEmpty() || (!type.isEmpty() && type.compare(u"bearer", Qt::CaseInsensitive) != 0)) {
        reply = TokenReply();
        reply.error = QStringLiteral("Token alinamadi: cevapta kullanilabilir bir erisim anahtari yok.");
        return reply;
    }
    if (!printableAscii(reply.accessToken) || !printableAscii(reply.refreshToken) || reply.accessToken.size() > 16384
        || reply.refreshToken.size() > 16384) {
        reply = TokenReply();
        reply.error = QStringLiteral("Token alinamadi: anahtar gecersiz karakter iceriyor.");
        return reply;
    }
    return reply;
}

QByteArray tokenRequestBody(const OAuthEndpoints &endpoints, const QString &code, const QString &verifier,
                            const QString &redirectUri)
{
    QList<QPair<QString, QString>> fields = {{QStringLiteral("grant_type"), QStringLiteral("authorization_code")},
                                             {QStringLiteral("code"), code},
                                             {QStringLiteral("redirect_uri"), redirectUri},
                                             {QStringLiteral("client_id"), endpoints.clientId},
                                             {QStringLiteral("code_verifier"), verifier}};
    if (!endpoints.clientSecret.isEmpty())
        fields.append({QStringLiteral("client_secret"), endpoints.clientSecret});
    return formBody(fields);
}

QByteArray refreshRequestBody(const OAuthEndpoints &endpoints, const QString &refreshToken)
{
    QList<QPair<QString, QString>> fields = {{QStringLiteral("grant_type"), QStringLiteral("refresh_token")},
                                             {QStringLiteral("refresh_token"), refreshToken},
                                             {QStringLiteral("client_id"), endpoints.clientId},
                                             {QStringLiteral("scope"), endpoints.scopes.join(QLatin1Char(' '))}};
    if (!endpoints.clientSecret.isEmpty())
        fields.append({QStringLiteral("client_secret"), endpoints.clientSecret});
    return formBody(fields);
}

QByteArray saslXoauth2(const QString &user, const QString &accessToken)
{
    return (QByteArray("user=") + user.toUtf8() + "\x01" + "auth=Bearer " + accessToken.toLatin1() + "\x01\x01")
        .toBase64();
}

QByteArray saslOauthbearer(const QString &user, const QString &host, quint16 port, const QString &accessToken)
{
    // The authzid is a SASL name: '=' and ',' are escaped.
    QByteArray name = user.toUtf8();
    name.replace("=", "=3D").replace(",", "=2C");
    return (QByteArray("n,a=") + name + ",\x01" + "host=" + host.toUtf8() + "\x01" + "port=" + QByteArray::number(port)
            + "\x01" + "auth=Bearer " + accessToken.toLatin1() + "\x01\x01")
        .toBase64();
}
