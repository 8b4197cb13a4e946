// The JSON exports: Aegis (plain, or scrypt password slots + AES-256-GCM),
// 2FAS (plain, or PBKDF2-SHA256 + AES-GCM) and Bitwarden (the totp field of
// its items).

#include "vault/importcrypto.h"
#include "vault/importparsers.h"
#include "vault/securememory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

using namespace importdetail;

namespace {

constexpr int kMaxPasswordSlots = 8;
constexpr int kTwoFasIterations = 10000;

QString wrongPassword()
{
    return QStringLiteral("sifre yanlis ya da dosya bozuk.");
}

QString tooMany()
{
    return QStringLiteral("cok fazla kayit (en fazla %1).").arg(kImportMaxEntries);
}

QByteArray hexField(const QJsonObject &o, const char *name)
{
    return QByteArray::fromHex(o.value(QLatin1String(name)).toString().toLatin1());
}

bool parseJson(const QByteArray &text, QJsonDocument *doc)
{
    QJsonParseError error;
    *doc = QJsonDocument::fromJson(text, &error);
    return error.error == QJsonParseError::NoError;
}

ImportResult readAegisDb(const QJsonObject &db, ImportResult result)
{
    const QJsonValue entries = db.value(QLatin1String("entries"));
    if (!entries.isArray())
        return failed(result.format, QStringLiteral("Aegis dosyasi bozuk: kayit listesi yok."));
    int index = 0;
    for (const QJsonValue &v : entries.toArray()) {
        ++index;
        const QJsonObject e = v.toObject();
        const QString type = e.value(QLatin1String("type")).toString().toLower();
        if (type != QLatin1String("totp") && type != QLatin1String("steam")) {
            ++result.unsupported;
            continue;
        }
        const QJsonObject info = e.value(QLatin1String("info")).toObject();
        TotpImport entry;
        QString problem;
        if (!makeEntry(e.value(QLatin1String("name")).toString(), e.value(QLatin1String("issuer")).toString(),
                       info.value(QLatin1String("secret")).toString(), info.value(QLatin1String("algo")).toString(),
                       info.value(QLatin1String("digits")).toInt(kTotpDefaultDigits),
                       info.value(QLatin1String("period")).toInt(kTotpDefaultPeriod), type == QLatin1String("steam"),
                       &entry, &problem))
            return failed(result.format, QStringLiteral("kayit %1: %2").arg(index).arg(problem));
        if (!append(&result, entry))
            return failed(result.format, tooMany());
    }
    return result;
}

// The master key from the first password slot that opens.
bool openAegisSlots(const QJsonArray &slotList, const QByteArray &password, QByteArray *masterKey)
{
    int tried = 0;
    for (const QJsonValue &v : slotList) {
        const QJsonObject slot = v.toObject();
        if (slot.value(QLatin1String("type")).toInt(-1) != 1)
            continue;
        if (++tried > kMaxPasswordSlots)
            break;
        QByteArray key = importScrypt(password, hexField(slot, "salt"),
                                      quint64(slot.value(QLatin1String("n")).toDouble(0)),
                                      quint64(slot.value(QLatin1String("r")).toDouble(0)),
                                      quint64(slot.value(QLatin1String("p")).toDouble(0)), 32);
        if (key.isEmpty())
            continue;
        const QJsonObject params = slot.value(QLatin1String("key_params")).toObject();
        const bool opened = aes256GcmDecrypt(key, hexField(params, "nonce"), hexField(slot, "key"),
                                             hexField(params, "tag"), masterKey);
        wipeBytes(key);
        if (opened && masterKey->size() == 32)
            return true;
    }
    return false;
}

} // namespace

namespace importdetail {

ImportResult parseAegis(const QJsonObject &root, const QString &password)
{
    ImportResult result;
    result.format = ImportFormat::Aegis;
    const QJsonValue db = root.value(QLatin1String("db"));
    if (db.isObject())
        return readAegisDb(db.toObject(), result);
    if (!db.isString())
        return failed(result.format, QStringLiteral("Aegis dosyasi bozuk."));
    result.encrypted = true;
    if (password.isEmpty()) {
        result.needsPassword = true;
        return result;
    }
    const QJsonObject header = root.value(QLatin1String("header")).toObject();
    QByteArray pw = password.toUtf8();
    QByteArray masterKey;
    const bool opened = openAegisSlots(header.value(QLatin1String("slots")).toArray(), pw, &masterKey);
    wipeBytes(pw);
    if (!opened)
        return failed(result.format, wrongPassword());
    const QJsonObject params = header.value(QLatin1String("params")).toObject();
    const auto cipher = QByteArray::fromBase64Encoding(db.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    QByteArray plain;
    const bool ok = cipher
                    && aes256GcmDecrypt(masterKey, hexField(params, "nonce"), cipher.decoded,
                                        hexField(params, "tag"), &plain);
    wipeBytes(masterKey);
    if (!ok)
        return failed(result.format, wrongPassword());
    QJsonDocument inner;
    const bool parsed = parseJson(plain, &inner);
    wipeBytes(plain);
    if (!parsed || !inner.isObject())
        return failed(result.format, QStringLiteral("Aegis dosyasi bozuk: icerik okunamadi."));
    return readAegisDb(inner.object(), result);
}

ImportResult parseTwoFas(const QJsonObject &root, const QString &password)
{
    ImportResult result;
    result.format = ImportFormat::TwoFas;
    QJsonArray services = root.value(QLatin1String("services")).toArray();
    const QString sealed = root.value(QLatin1String("servicesEncrypted")).toString();
    if (!sealed.isEmpty()) {
        result.encrypted = true;
        if (password.isEmpty()) {
            result.needsPassword = true;
            return result;
        }
        // "Base64(ciphertext || tag):Base64(salt):Base64(iv)"
        const QStringList parts = sealed.split(QLatin1Char(':'));
        if (parts.size() < 3)
            return failed(result.format, QStringLiteral("2FAS dosyasi bozuk."));
        const QByteArray cipher = QByteArray::fromBase64(parts[0].toLatin1());
        const QByteArray salt = QByteArray::fromBase64(parts[1].toLatin1());
        const QByteArray iv = QByteArray::fromBase64(parts[2].toLatin1());
        if (cipher.size() < 16 || salt.isEmpty() || iv.isEmpty())
            return failed(result.format, QStringLiteral("2FAS dosyasi bozuk."));
        QByteArray pw = password.toUtf8();
        QByteArray key = importPbkdf2Sha256(pw, salt, kTwoFasIterations, 32);
        wipeBytes(pw);
        QByteArray plain;
        const bool ok = aes256GcmDecrypt(key, iv, QByteArrayView(cipher).chopped(16), QByteArrayView(cipher).last(16),
                                         &plain);
        wipeBytes(key);
        if (!ok)
            return failed(result.format, wrongPassword());
        QJsonDocument inner;
        const bool parsed = parseJson(plain, &inner);
        wipeBytes(plain);
        if (!parsed || !inner.isArray())
            return failed(result.format, QStringLiteral("2FAS dosyasi bozuk: icerik okunamadi."));
        services = inner.array();
    } else if (!root.value(QLatin1String("services")).isArray()) {
        return failed(result.format, QStringLiteral("2FAS dosyasi bozuk: kayit listesi yok."));
    }
    int index = 0;
    for (const QJsonValue &v : services) {
        ++index;
        const QJsonObject s = v.toObject();
        const QJsonObject otp = s.value(QLatin1String("otp")).toObject();
        const QString type = otp.value(QLatin1String("tokenType")).toString(QStringLiteral("TOTP")).toUpper();
        if (type != QLatin1String("TOTP") && type != QLatin1String("STEAM")) {
            ++result.unsupported;
            continue;
        }
        QString account = otp.value(QLatin1String("account")).toString();
        if (account.isEmpty())
            account = otp.value(QLatin1String("label")).toString();
        QString issuer = otp.value(QLatin1String("issuer")).toString();
        if (issuer.isEmpty())
            issuer = s.value(QLatin1String("name")).toString();
        TotpImport entry;
        QString problem;
        if (!makeEntry(account, issuer, s.value(QLatin1String("secret")).toString(),
                       otp.value(QLatin1String("algorithm")).toString(),
                       otp.value(QLatin1String("digits")).toInt(kTotpDefaultDigits),
                       otp.value(QLatin1String("period")).toInt(kTotpDefaultPeriod), type == QLatin1String("STEAM"),
                       &entry, &problem))
            return failed(result.format, QStringLiteral("kayit %1: %2").arg(index).arg(problem));
        if (!append(&result, entry))
            return failed(result.format, tooMany());
    }
    return result;
}

ImportResult parseBitwarden(const QJsonObject &root)
{
    ImportResult result;
    result.format = ImportFormat::Bitwarden;
    if (root.value(QLatin1String("encrypted")).toBool())
        return failed(result.format, QStringLiteral("sifreli Bitwarden disa aktarimi okunamaz: Bitwarden'dan "
                                                    "\"JSON\" (sifresiz) olarak disa aktar."));
    if (!root.value(QLatin1String("items")).isArray())
        return failed(result.format, QStringLiteral("Bitwarden dosyasi bozuk: kayit listesi yok."));
    int index = 0;
    for (const QJsonValue &v : root.value(QLatin1String("items")).toArray()) {
        ++index;
        const QJsonObject item = v.toObject();
        const QJsonObject login = item.value(QLatin1String("login")).toObject();
        const QString totp = login.value(QLatin1String("totp")).toString().trimmed();
        if (totp.isEmpty())
            continue;
        const QString name = item.value(QLatin1String("name")).toString();
        const QString user = login.value(QLatin1String("username")).toString();
        TotpImport entry;
        QString problem;
        bool ok;
        if (totp.startsWith(QLatin1String("otpauth://"), Qt::CaseInsensitive)) {
            ok = fromLink(totp, &entry, &problem);
            if (ok && entry.issuer.isEmpty())
                entry.issuer = name.left(kVaultFieldMaxLength);
        } else if (totp.startsWith(QLatin1String("steam://"), Qt::CaseInsensitive)) {
            ok = importTotpInput(user.isEmpty() ? name : user, totp, name, &entry, &problem);
        } else {
            ok = makeEntry(user, name, totp, QString(), kTotpDefaultDigits, kTotpDefaultPeriod, false, &entry,
                           &problem);
        }
        if (!ok)
            return failed(result.format, QStringLiteral("kayit %1 (%2): %3").arg(index).arg(name.left(40), problem));
        if (!append(&result, entry))
            return failed(result.format, tooMany());
    }
    return result;
}

} // namespace importdetail
