#include "vault/otpauth.h"

#include <QUrl>
#include <QUrlQuery>

namespace {

const QLatin1String kScheme("otpauth://");

bool isOtpauthUri(const QString &text)
{
    return text.startsWith(kScheme, Qt::CaseInsensitive);
}

QString stripSeparators(QString upper)
{
    upper.remove(QLatin1Char(' '));
    upper.remove(QLatin1Char('-'));
    upper.remove(QLatin1Char('='));
    return upper;
}

QString queryValue(const QUrlQuery &query, const QString &name)
{
    return query.queryItemValue(name, QUrl::FullyDecoded);
}

// Cuts to `max` UTF-16 units without leaving half of a surrogate pair behind.
QString cut(const QString &text, int max)
{
    if (text.size() <= max)
        return text;
    int n = max;
    if (text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

// An item absent from the URI keeps the default; one present must be usable.
bool readInt(const QUrlQuery &query, const QString &name, int min, int max, int *value)
{
    if (!query.hasQueryItem(name))
        return true;
    bool ok = false;
    const int v = queryValue(query, name).trimmed().toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

} // namespace

QString normalizeSecret(const QString &input)
{
    const QString trimmed = input.trimmed();
    if (isOtpauthUri(trimmed)) {
        const QUrlQuery query(QUrl(trimmed, QUrl::TolerantMode));
        // The value is taken as a plain secret, so nesting cannot recurse.
        if (query.hasQueryItem(QStringLiteral("secret")))
            return stripSeparators(queryValue(query, QStringLiteral("secret")).trimmed().toUpper());
    }
    return stripSeparators(trimmed.toUpper());
}

bool isValidSecret(const QString &secret)
{
    if (secret.size() < kSecretMinLength || secret.size() > kSecretMaxLength)
        return false;
    for (QChar ch : secret) {
        const char16_t c = ch.unicode();
        if (!((c >= u'A' && c <= u'Z') || (c >= u'2' && c <= u'7')))
            return false;
    }
    return true;
}

namespace {

// Why a normalised secret is no usable Base32 key; empty when it is one.
QString secretProblem(const QString &secret)
{
    if (secret.isEmpty())
        return QStringLiteral("Anahtar eksik: Base32 anahtari ya da otpauth:// linkini yapistir.");
    for (QChar ch : secret) {
        const char16_t c = ch.unicode();
        if (!((c >= u'A' && c <= u'Z') || (c >= u'2' && c <= u'7')))
            return QStringLiteral("Anahtar Base32 degil: sadece A-Z ve 2-7 olur (0, 1, 8, 9 olmaz).");
    }
    if (secret.size() < kSecretMinLength || secret.size() > kSecretMaxLength)
        return QStringLiteral("Anahtar uzunlugu yanlis: %1 karakter; %2 ile %3 arasi olmali.")
            .arg(secret.size())
            .arg(kSecretMinLength)
            .arg(kSecretMaxLength);
    return QString();
}

} // namespace

bool importTotpInput(const QString &label, const QString &secretOrUri, const QString &issuer,
                     TotpImport *out, QString *problem)
{
    auto refuse = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return false;
    };
    TotpImport result;
    result.label = label.trimmed();
    result.issuer = issuer;
    QString input = secretOrUri.trimmed();

    if (input.startsWith(QLatin1String("steam://"), Qt::CaseInsensitive)) {
        input.remove(0, 8);
        result.steam = true;
        if (result.issuer.isEmpty())
            result.issuer = QStringLiteral("Steam");
        if (result.label.isEmpty())
            result.label = QStringLiteral("Steam");
    } else if (isOtpauthUri(input)) {
        const QUrl url(input, QUrl::TolerantMode);
        // A counter-based key has no code that follows from the time.
        if (url.host().compare(QLatin1String("hotp"), Qt::CaseInsensitive) == 0)
            return refuse(QStringLiteral("HOTP linki desteklenmiyor: sayac tabanli kodlar zamana bagli degil; "
                                         "sadece otpauth://totp/ linkleri eklenir."));
        if (url.host().compare(QLatin1String("totp"), Qt::CaseInsensitive) != 0)
            return refuse(QStringLiteral("otpauth linki gecersiz: otpauth://totp/ ile baslamali."));
        QString path = url.path(QUrl::FullyDecoded);
        if (path.startsWith(QLatin1Char('/')))
            path.remove(0, 1);
        if (result.label.isEmpty())
            result.label = QUrl::fromPercentEncoding(path.toUtf8());

        const QUrlQuery query(url);
        if (!query.hasQueryItem(QStringLiteral("secret")))
            return refuse(QStringLiteral("otpauth linki gecersiz: icinde secret= yok."));
        input = queryValue(query, QStringLiteral("secret"));
        if (result.issuer.isEmpty())
            result.issuer = queryValue(query, QStringLiteral("issuer"));
        // Aegis and others mark Steam keys this way.
        result.steam = queryValue(query, QStringLiteral("encoder")).compare(QLatin1String("steam"), Qt::CaseInsensitive) == 0;

        // Codes under other parameters than asked for would never work.
        if (query.hasQueryItem(QStringLiteral("algorithm"))
            && !parseTotpAlgorithm(queryValue(query, QStringLiteral("algorithm")).trimmed(),
                                   &result.algorithm))
            return refuse(QStringLiteral("otpauth linki gecersiz: algoritma desteklenmiyor (SHA1, SHA256, SHA512)."));
        if (!readInt(query, QStringLiteral("digits"), kTotpMinDigits, kTotpMaxDigits, &result.digits))
            return refuse(QStringLiteral("otpauth linki gecersiz: digits %1 ile %2 arasi olmali.")
                              .arg(kTotpMinDigits)
                              .arg(kTotpMaxDigits));
        if (!readInt(query, QStringLiteral("period"), kTotpMinPeriod, kTotpMaxPeriod, &result.period))
            return refuse(QStringLiteral("otpauth linki gecersiz: period %1 ile %2 saniye arasi olmali.")
                              .arg(kTotpMinPeriod)
                              .arg(kTotpMaxPeriod));
    }

    result.secret = normalizeSecret(input);
    const QString bad = secretProblem(result.secret);
    if (!bad.isEmpty())
        return refuse(bad);
    if (result.label.isEmpty())
        return refuse(QStringLiteral("Etiket eksik: bir ad yaz (ornek: GitHub)."));
    result.label = cut(result.label, kVaultFieldMaxLength);
    result.issuer = cut(result.issuer, kVaultFieldMaxLength);
    *out = result;
    return true;
}
