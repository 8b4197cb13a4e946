#include "vault/vaultentry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

const QString kDefaultAlgorithm = QStringLiteral("SHA1");

} // namespace

bool isSteamEntry(const VaultEntry &entry)
{
    return entry.algorithm.compare(QLatin1String(kSteamAlgorithm), Qt::CaseInsensitive) == 0
           || entry.issuer.trimmed().compare(QLatin1String("Steam"), Qt::CaseInsensitive) == 0;
}

QString totpCode(const VaultEntry &entry, qint64 time)
{
    if (isSteamEntry(entry))
        return steamGuardCode(entry.secret, time);
    TotpAlgorithm algorithm;
    if (!parseTotpAlgorithm(entry.algorithm, &algorithm))
        return QStringLiteral("------");
    return totpCode(entry.secret, time, algorithm, entry.digits, entry.period);
}

int secondsRemaining(const VaultEntry &entry, qint64 now)
{
    if (isSteamEntry(entry))
        return secondsRemaining(now, kTotpDefaultPeriod);
    const bool usable = entry.period >= kTotpMinPeriod && entry.period <= kTotpMaxPeriod;
    return secondsRemaining(now, usable ? entry.period : kTotpDefaultPeriod);
}

QByteArray vaultEntriesToJson(const QList<VaultEntry> &entries)
{
    QJsonArray array;
    for (const VaultEntry &e : entries) {
        QJsonObject o{{QStringLiteral("id"), e.id},
                      {QStringLiteral("label"), e.label},
                      {QStringLiteral("issuer"), e.issuer},
                      {QStringLiteral("secret"), e.secret}};
        if (e.algorithm != kDefaultAlgorithm)
            o.insert(QStringLiteral("algorithm"), e.algorithm);
        if (e.digits != kTotpDefaultDigits)
            o.insert(QStringLiteral("digits"), e.digits);
        if (e.period != kTotpDefaultPeriod)
            o.insert(QStringLiteral("period"), e.period);
        array.append(o);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

bool readVaultEntries(const QByteArray &json, QList<VaultEntry> *out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return false;
    QList<VaultEntry> entries;
    const QJsonArray array = doc.array();
    for (const QJsonValue &value : array) {
        if (!value.isObject())
            return false;
        const QJsonObject o = value.toObject();
        VaultEntry e;
        e.id = o.value(QLatin1String("id")).toString();
        e.label = o.value(QLatin1String("label")).toString();
        e.issuer = o.value(QLatin1String("issuer")).toString();
        e.secret = o.value(QLatin1String("secret")).toString();
        if (e.id.isEmpty() || e.secret.isEmpty())
            continue;
        // A member that is present but unreadable becomes a value the code
        // functions refuse ("------"), never a silent default.
        if (o.contains(QLatin1String("algorithm")))
            e.algorithm = o.value(QLatin1String("algorithm")).toString();
        if (o.contains(QLatin1String("digits")))
            e.digits = o.value(QLatin1String("digits")).toInt(0);
        if (o.contains(QLatin1String("period")))
            e.period = o.value(QLatin1String("period")).toInt(0);
        entries.append(e);
    }
    *out = entries;
    return true;
}

QList<VaultEntry> vaultEntriesFromJson(const QByteArray &json)
{
    QList<VaultEntry> entries;
    readVaultEntries(json, &entries);
    return entries;
}
