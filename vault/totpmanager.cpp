#include "vault/totpmanager.h"

#include "vault/otpauth.h"
#include "vault/sealedbox.h"

#include <QSettings>
#include <QStringList>
#include <QTimer>
#include <QUuid>

#include <utility>

namespace {

const QString kKeySet = QStringLiteral("vault/set");
const QString kKeySalt = QStringLiteral("vault/salt");
const QString kKeyData = QStringLiteral("vault/data");
const QString kKeyLegacy = QStringLiteral("totp");
constexpr int kMinPasswordLength = 4;

QSettings openSettingsStore()
{
    return QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
}

bool holdsSomething(const QVariant &value)
{
    return value.isValid()
           && !(value.toString().isEmpty() && value.toByteArray().isEmpty()
                && value.toStringList().isEmpty());
}

// Writes the given keys in one go. When the store cannot be written the old
// values are put back, so that a later successful write elsewhere in the
// program does not flush half of this one.
bool writeVaultKeys(const QList<std::pair<QString, QVariant>> &values)
{
    QSettings settings = openSettingsStore();
    QList<std::pair<QString, QVariant>> previous;
    for (const auto &kv : values) {
        previous.append({kv.first, settings.contains(kv.first) ? settings.value(kv.first) : QVariant()});
        settings.setValue(kv.first, kv.second);
    }
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    for (const auto &kv : previous) {
        if (kv.second.isValid())
            settings.setValue(kv.first, kv.second);
        else
            settings.remove(kv.first);
    }
    return false;
}

} // namespace

TotpManager::TotpManager(QObject *parent, int tickIntervalMs)
    : QObject(parent)
{
    QSettings settings = openSettingsStore();
    m_isSet = settings.value(kKeySet, false).toBool();
    m_salt = QByteArray::fromBase64(settings.value(kKeySalt).toString().toLatin1());
    // The older, unsealed store is dropped, never imported.
    if (!m_isSet && holdsSomething(settings.value(kKeyLegacy)))
        settings.remove(kKeyLegacy);

    m_timer = new QTimer(this);
    m_timer->setInterval(tickIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &TotpManager::tick);
    m_timer->start();
}

TotpManager::~TotpManager() = default;

bool TotpManager::setupVault(const QString &password)
{
    if (password.size() < kMinPasswordLength)
        return false;
    const QByteArray salt = generateSalt();
    QByteArray key = password.toUtf8();
    const QByteArray box = sealBoxUtf8(vaultEntriesToJson({}), key, salt);
    // Salt, box and flag go to the store together; nothing changes unless all
    // three were written.
    if (!writeVaultKeys({{kKeySalt, QString::fromLatin1(salt.toBase64())},
                         {kKeyData, QString::fromLatin1(box.toBase64())},
                         {kKeySet, true}})) {
        wipeBytes(key);
        return false;
    }
    m_salt = salt;
    m_masterKeyBytes.assign(std::move(key));
    m_entries.clear();
    m_isSet = true;
    m_isLocked = false;
    emit lockChanged();
    emit changed();
    return true;
}

bool TotpManager::unlock(const QString &password)
{
    if (!m_isSet)
        return false;
    if (!loadEntries(password))
        return false;
    m_masterKeyBytes.assign(password.toUtf8());
    m_isLocked = false;
    emit lockChanged();
    emit changed();
    return true;
}

bool TotpManager::loadEntries(const QString &password)
{
    QSettings settings = openSettingsStore();
    const QByteArray text = settings.value(kKeyData).toString().toLatin1();
    if (text.isEmpty()) {
        m_entries.clear();
        return true;
    }
    // Damaged text must fail the unlock rather than read as an empty vault
    // that the next save would write over the real one.
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return false;
    QByteArray plain = openBox(decoded.decoded, password);
    if (plain.isEmpty())
        return false;
    m_entries = vaultEntriesFromJson(plain);
    wipeBytes(plain);
    // The box carries the salt it was sealed with; saving under a damaged
    // "vault/salt" would make the next box unopenable.
    m_salt = decoded.decoded.mid(4, kSealedBoxSaltSize);
    return true;
}

bool TotpManager::saveEntries()
{
    if (m_isLocked)
        return false;
    if (m_salt.size() != kSealedBoxSaltSize)
        m_salt = generateSalt();
    QByteArray plain = vaultEntriesToJson(m_entries);
    const QByteArray box = sealBoxUtf8(plain, m_masterKeyBytes.view(), m_salt);
    wipeBytes(plain);
    if (writeVaultKeys({{kKeySalt, QString::fromLatin1(m_salt.toBase64())},
                        {kKeyData, QString::fromLatin1(box.toBase64())}}))
        return true;
    emit saveFailed();
    return false;
}

void TotpManager::lock()
{
    if (!m_isSet || m_isLocked)
        return;
    m_entries.clear();
    m_masterKeyBytes.wipe();
    m_isLocked = true;
    emit lockChanged();
    emit changed();
}

bool TotpManager::addEntry(const QString &label, const QString &secretOrUri, const QString &issuer)
{
    if (m_isLocked)
        return false;
    TotpImport import;
    if (!importTotpInput(label, secretOrUri, issuer, &import))
        return false;
    VaultEntry entry;
    entry.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    entry.label = import.label;
    entry.issuer = import.issuer;
    entry.secret = import.secret;
    entry.algorithm = totpAlgorithmName(import.algorithm);
    entry.digits = import.digits;
    entry.period = import.period;
    m_entries.append(entry);
    // An entry that is not stored would vanish at the next start: keep the
    // list as it is on disk instead.
    if (!saveEntries()) {
        m_entries.removeLast();
        return false;
    }
    emit changed();
    return true;
}

void TotpManager::removeEntry(const QString &id)
{
    if (m_isLocked)
        return;
    const QList<VaultEntry> before = m_entries;
    m_entries.removeIf([&id](const VaultEntry &e) { return e.id == id; });
    if (!saveEntries())
        m_entries = before;
    emit changed();
}
