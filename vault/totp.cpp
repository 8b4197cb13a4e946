#include "vault/totp.h"

#include <QMessageAuthenticationCode>
#include <QtEndian>

namespace {

int base32Value(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'2' && c <= u'7')
        return 26 + (c - u'2');
    return -1;
}

QCryptographicHash::Algorithm hashOf(TotpAlgorithm algorithm)
{
    switch (algorithm) {
    case TotpAlgorithm::Sha256:
        return QCryptographicHash::Sha256;
    case TotpAlgorithm::Sha512:
        return QCryptographicHash::Sha512;
    case TotpAlgorithm::Sha1:
        break;
    }
    return QCryptographicHash::Sha1;
}

} // namespace

QByteArray base32Decode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 5 / 8 + 1);
    quint32 accumulator = 0;
    int pending = 0;
    // Whole-string upper casing (it may expand, e.g. U+00DF to "SS"); spaces,
    // '=' and everything else outside the alphabet add no bits.
    const QString upper = text.toUpper();
    for (QChar ch : upper) {
        const int value = base32Value(ch.unicode());
        if (value < 0)
            continue;
        accumulator = (accumulator << 5) | quint32(value);
        pending += 5;
        if (pending >= 8) {
            out.append(char((accumulator >> (pending - 8)) & 0xff));
            pending -= 8;
        }
    }
    return out;
}

namespace {

// RFC 4226 dynamic truncation of the HMAC over the step counter.
quint32 truncatedValue(const QByteArray &key, qint64 time, TotpAlgorithm algorithm, int period)
{
    unsigned char message[8];
    qToBigEndian<quint64>(quint64(time / period), message);
    const QByteArray mac = QMessageAuthenticationCode::hash(
        QByteArray::fromRawData(reinterpret_cast<const char *>(message), 8), key, hashOf(algorithm));
    const int offset = mac.at(mac.size() - 1) & 0x0f;
    return (quint32(quint8(mac[offset]) & 0x7f) << 24) | (quint32(quint8(mac[offset + 1])) << 16)
           | (quint32(quint8(mac[offset + 2])) << 8) | quint32(quint8(mac[offset + 3]));
}

} // namespace

QString steamGuardCode(const QString &secret, qint64 time)
{
    static constexpr char kAlphabet[] = "23456789BCDFGHJKMNPQRTVWXY";
    constexpr quint32 kBase = sizeof(kAlphabet) - 1;
    const QByteArray key = base32Decode(secret);
    if (key.isEmpty() || time < 0)
        return QStringLiteral("-----");
    quint32 value = truncatedValue(key, time, TotpAlgorithm::Sha1, kTotpDefaultPeriod);
    QString code;
    for (int i = 0; i < kSteamCodeLength; ++i) {
        code += QLatin1Char(kAlphabet[value % kBase]);
        value /= kBase;
    }
    return code;
}

QString totpCode(const QString &secret, qint64 time, TotpAlgorithm algorithm, int digits, int period)
{
    const QString placeholder = QStringLiteral("------");
    if (digits < kTotpMinDigits || digits > kTotpMaxDigits || period < kTotpMinPeriod
        || period > kTotpMaxPeriod)
        return placeholder;
    const QByteArray key = base32Decode(secret);
    if (key.isEmpty() || time < 0)
        return placeholder;
    const quint32 value = truncatedValue(key, time, algorithm, period);
    quint32 modulus = 1;
    for (int i = 0; i < digits; ++i)
        modulus *= 10;
    return QStringLiteral("%1").arg(value % modulus, digits, 10, QLatin1Char('0'));
}

int secondsRemaining(qint64 now, int period)
{
    if (period < 1)
        period = kTotpDefaultPeriod;
    // Floor modulo, so a clock before 1970 still lands in 1..period.
    qint64 into = now % period;
    if (into < 0)
        into += period;
    return int(period - into);
}

bool parseTotpAlgorithm(const QString &name, TotpAlgorithm *algorithm)
{
    const QString upper = name.toUpper();
    TotpAlgorithm found;
    if (upper == QLatin1String("SHA1"))
        found = TotpAlgorithm::Sha1;
    else if (upper == QLatin1String("SHA256"))
        found = TotpAlgorithm::Sha256;
    else if (upper == QLatin1String("SHA512"))
        found = TotpAlgorithm::Sha512;
    else
        return false;
    if (algorithm)
        *algorithm = found;
    return true;
}

QString totpAlgorithmName(TotpAlgorithm algorithm)
{
    switch (algorithm) {
    case TotpAlgorithm::Sha256:
        return QStringLiteral("SHA256");
    case TotpAlgorithm::Sha512:
        return QStringLiteral("SHA512");
    case TotpAlgorithm::Sha1:
        break;
    }
    return QStringLiteral("SHA1");
}
