#include "vault/vaultexport.h"

#include "vault/importcrypto.h"
#include "vault/securememory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUuid>

#include <sodium.h>

namespace {

QByteArray randomBytes(int size, const VaultRandom &random)
{
    QByteArray out(size, Qt::Uninitialized);
    if (!random) {
        if (sodium_init() < 0)
            return {};
        randombytes_buf(out.data(), size_t(size));
        return out;
    }
    for (int i = 0; i < size; i += 4) {
        const quint32 draw = random();
        for (int j = 0; j < 4 && i + j < size; ++j)
            out[i + j] = char(draw >> (8 * j));
    }
    return out;
}

QString hex(const QByteArray &b)
{
    return QString::fromLatin1(b.toHex());
}

QJsonObject aegisEntry(const VaultEntry &e)
{
    const bool steam = isSteamEntry(e);
    QJsonObject info{{QStringLiteral("secret"), e.secret},
                     {QStringLiteral("algo"), steam ? QStringLiteral("SHA1") : e.algorithm},
                     {QStringLiteral("digits"), steam ? kSteamCodeLength : e.digits},
                     {QStringLiteral("period"), steam ? kTotpDefaultPeriod : e.period}};
    return QJsonObject{{QStringLiteral("type"), steam ? QStringLiteral("steam") : QStringLiteral("totp")},
                       {QStringLiteral("uuid"), QUuid::fromString(e.id).isNull() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : e.id},
                       {QStringLiteral("name"), e.label},
                       {QStringLiteral("issuer"), e.issuer},
                       {QStringLiteral("note"), QString()},
                       {QStringLiteral("favorite"), false},
                       {QStringLiteral("icon"), QJsonValue()},
                       {QStringLiteral("info"), info}};
}

} // namespace

QByteArray aegisEncryptedExport(const QList<VaultEntry> &entries, const QString &password,
                                const VaultRandom &random, const AegisSlotCost &cost)
{
    QJsonArray list;
    for (const VaultEntry &e : entries)
        list.append(aegisEntry(e));
    QByteArray db = QJsonDocument(QJsonObject{{QStringLiteral("version"), 2},
                                              {QStringLiteral("entries"), list},
                                              {QStringLiteral("groups"), QJsonArray()}})
                        .toJson(QJsonDocument::Compact);

    QByteArray masterKey = randomBytes(32, random);
    const QByteArray salt = randomBytes(32, random);
    const QByteArray slotNonce = randomBytes(12, random);
    const QByteArray dbNonce = randomBytes(12, random);
    QByteArray pw = password.toUtf8();
    QByteArray kek = importScrypt(pw, salt, cost.n, cost.r, cost.p, 32);
    wipeBytes(pw);
    QByteArray sealedKey, keyTag, sealedDb, dbTag;
    const bool ok = !kek.isEmpty() && masterKey.size() == 32
                    && aes256GcmEncrypt(kek, slotNonce, masterKey, &sealedKey, &keyTag)
                    && aes256GcmEncrypt(masterKey, dbNonce, db, &sealedDb, &dbTag);
    wipeBytes(kek);
    wipeBytes(masterKey);
    wipeBytes(db);
    if (!ok)
        return {};
    const QJsonObject slot{{QStringLiteral("type"), 1},
                           {QStringLiteral("uuid"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
                           {QStringLiteral("key"), hex(sealedKey)},
                           {QStringLiteral("key_params"),
                            QJsonObject{{QStringLiteral("nonce"), hex(slotNonce)}, {QStringLiteral("tag"), hex(keyTag)}}},
                           {QStringLiteral("n"), double(cost.n)},
                           {QStringLiteral("r"), double(cost.r)},
                           {QStringLiteral("p"), double(cost.p)},
                           {QStringLiteral("salt"), hex(salt)},
                           {QStringLiteral("repaired"), true},
                           {QStringLiteral("is_backup"), false}};
    const QJsonObject header{{QStringLiteral("slots"), QJsonArray{slot}},
                             {QStringLiteral("params"), QJsonObject{{QStringLiteral("nonce"), hex(dbNonce)},
                                                                    {QStringLiteral("tag"), hex(dbTag)}}}};
    return QJsonDocument(QJsonObject{{QStringLiteral("version"), 1},
                                     {QStringLiteral("header"), header},
                                     {QStringLiteral("db"), QString::fromLatin1(sealedDb.toBase64())}})
        .toJson(QJsonDocument::Indented);
}

QByteArray otpauthListExport(const QList<VaultEntry> &entries)
{
    QByteArray out;
    for (const VaultEntry &e : entries) {
        const QString path = e.issuer.isEmpty() ? e.label : e.issuer + QLatin1Char(':') + e.label;
        QByteArray link = "otpauth://totp/" + QUrl::toPercentEncoding(path, ":@") + "?secret=" + e.secret.toLatin1();
        if (!e.issuer.isEmpty())
            link += "&issuer=" + QUrl::toPercentEncoding(e.issuer);
        if (isSteamEntry(e)) {
            link += "&encoder=steam";
        } else {
            link += "&algorithm=" + e.algorithm.toLatin1() + "&digits=" + QByteArray::number(e.digits)
                    + "&period=" + QByteArray::number(e.period);
        }
        out += link + '\n';
    }
    return out;
}
