#include "vault/totpmanager.h"

#include "core/settings.h"
#include "vault/otpauth.h"
#include "vault/sealedbox.h"
#include "vault/vaultbox.h"

#include <QSettings>

#include <sodium.h>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QUuid>

#include <utility>

namespace {

// The signed-in user's own vault.
QString keySet() { return Settings::userKey(SettingsKey::kVaultSet); }
QString keySalt() { return Settings::userKey(SettingsKey::kVaultSalt); }
QString keyData() { return Settings::userKey(SettingsKey::kVaultData); }
QString keyLegacy() { return Settings::userKey(SettingsKey::kVaultLegacy); }
constexpr int kMinPasswordLength = 4;

QSettings openSettingsStore()
{
    return Settings::open();
}

bool holdsSomething(const QVariant &value)
{
    return value.isValid()
           && !(value.toString().isEmpty() && value.toByteArray().isEmpty()
                && value.toStringList().isEmpty());
}

QString storeErrorText(QSettings::Status status)
{
    return status == QSettings::FormatError ? QStringLiteral("ayar dosyasi okunamiyor.")
                                            : QStringLiteral("ayar dosyasina yazilamadi (izin veya disk dolu).");
}

// Writes the given keys in one go. When the store cannot be written the old
// values are put back, so that a later successful write elsewhere in the
// program does not flush half of this one; `error` then says why.
bool writeVaultKeys(const QList<std::pair<QString, QVariant>> &values, QString *error)
{
    for (const auto &kv : values) {
        if (kv.first.isEmpty()) {
            *error = QStringLiteral("Kasa kaydedilemedi: oturum kapali.");
            return false;
        }
    }
    QSettings settings = openSettingsStore();
    QList<std::pair<QString, QVariant>> previous;
    for (const auto &kv : values) {
        previous.append({kv.first, settings.contains(kv.first) ? settings.value(kv.first) : QVariant()});
        settings.setValue(kv.first, kv.second);
    }
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    *error = QStringLiteral("Kasa kaydedilemedi: ") + storeErrorText(settings.status());
    for (const auto &kv : previous) {
        if (kv.second.isValid())
            settings.setValue(kv.first, kv.second);
        else
            settings.remove(kv.first);
    }
    return false;
}

VaultEntry entryOf(const TotpImport &import)
{
    VaultEntry entry;
    entry.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    entry.label = import.label;
    entry.issuer = import.issuer;
    entry.secret = import.secret;
    entry.algorithm = import.steam ? QString::fromLatin1(kSteamAlgorithm) : totpAlgorithmName(import.algorithm);
    entry.digits = import.digits;
    entry.period = import.period;
    return entry;
}

QString duplicateKey(const QString &issuer, const QString &label, const QString &secret)
{
    return issuer + QChar(0) + label + QChar(0) + secret;
}

// The entries of `incoming` that are new, in order; *duplicates counts the rest.
QList<TotpImport> newEntries(const QList<VaultEntry> &present, const QList<TotpImport> &incoming, int *duplicates)
{
    QSet<QString> seen;
    for (const VaultEntry &e : present)
        seen.insert(duplicateKey(e.issuer, e.label, e.secret));
    QList<TotpImport> fresh;
    *duplicates = 0;
    for (const TotpImport &i : incoming) {
        const QString key = duplicateKey(i.issuer, i.label, i.secret);
        if (seen.contains(key)) {
            ++*duplicates;
            continue;
        }
        seen.insert(key);
        fresh.append(i);
    }
    return fresh;
}

} // namespace

TotpManager::TotpManager(QObject *parent, int tickIntervalMs, const Clock &clock, const VaultSealing &sealing)
    : QObject(parent), m_clock(clock), m_sealing(sealing)
{
    readState();

    m_timer = new QTimer(this);
    m_timer->setInterval(tickIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &TotpManager::tick);
    m_timer->start();
}

TotpManager::~TotpManager() = default;

qint64 TotpManager::now() const
{
    return m_clock.secsSinceEpoch();
}

VaultRow TotpManager::rowOf(const VaultEntry &entry, qint64 time) const
{
    VaultRow row;
    row.id = entry.id;
    row.label = entry.label;
    row.issuer = entry.issuer;
    row.code = totpCode(entry, time);
    row.secondsLeft = secondsRemaining(entry, time);
    row.period = entry.period;
    return row;
}

QList<VaultRow> TotpManager::rows() const
{
    QList<VaultRow> out;
    if (m_isLocked)
        return out;
    // One instant for every row, so no two codes straddle a step boundary.
    const qint64 time = now();
    out.reserve(m_entries.size());
    for (const VaultEntry &e : m_entries)
        out.append(rowOf(e, time));
    return out;
}

std::optional<VaultRow> TotpManager::row(const QString &id) const
{
    if (m_isLocked)
        return std::nullopt;
    for (const VaultEntry &e : m_entries) {
        if (e.id == id)
            return rowOf(e, now());
    }
    return std::nullopt;
}

int TotpManager::secondsLeft() const
{
    return secondsRemaining(now(), kTotpDefaultPeriod);
}

bool TotpManager::fail(VaultFailure why)
{
    m_lastFailure = why;
    return false;
}

QString TotpManager::lastFailureText() const
{
    switch (m_lastFailure) {
    case VaultFailure::None:
        return QString();
    case VaultFailure::PasswordTooShort:
        return QStringLiteral("En az 4 karakter olmali.");
    case VaultFailure::WrongPassword:
        return QStringLiteral("Sifre yanlis.");
    case VaultFailure::DamagedContent:
        return QStringLiteral("Kasa acilamadi: icerik bozuk.");
    case VaultFailure::NoMemory:
        return QStringLiteral("Kasa acilamadi: anahtar icin bellek yetmedi.");
    case VaultFailure::InputRefused:
        // What exactly is wrong: missing, not Base32, wrong length, HOTP, a bad link.
        return m_inputProblem;
    case VaultFailure::SaveFailed:
        return m_saveError;
    }
    return QString();
}

bool TotpManager::setupVault(const QString &password)
{
    m_lastFailure = VaultFailure::None;
    if (password.size() < kMinPasswordLength)
        return fail(VaultFailure::PasswordTooShort);
    QByteArray key = password.toUtf8();
    const QByteArray box = seal(vaultEntriesToJson({}), key);
    if (box.isEmpty()) {
        wipeBytes(key);
        m_saveError = QStringLiteral("Kasa kaydedilemedi: anahtar icin bellek yetmedi.");
        emit saveFailed(m_saveError);
        return fail(VaultFailure::SaveFailed);
    }
    const QByteArray salt = box.mid(13, 16);
    // Salt, box and flag go to the store together; nothing changes unless all
    // three were written.
    if (!writeVaultKeys({{keySalt(), QString::fromLatin1(salt.toBase64())},
                         {keyData(), QString::fromLatin1(box.toBase64())},
                         {keySet(), true}},
                        &m_saveError)) {
        wipeBytes(key);
        emit saveFailed(m_saveError);
        return fail(VaultFailure::SaveFailed);
    }
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
    m_lastFailure = VaultFailure::None;
    if (!m_isSet)
        return fail(VaultFailure::WrongPassword);
    bool wasOldBox = false;
    if (!loadEntries(password, &wasOldBox))
        return false;
    m_masterKeyBytes.assign(password.toUtf8());
    m_isLocked = false;
    // An MRC1 box falls to a cheap guess per password: seal it anew now
    // rather than at some later edit. Should the store refuse, the old box
    // stays and the next save tries again.
    if (wasOldBox)
        saveEntries();
    emit lockChanged();
    emit changed();
    return true;
}

QByteArray TotpManager::seal(const QByteArray &plain, QByteArrayView passwordUtf8)
{
    return sealVaultBox(plain, passwordUtf8, m_sealing);
}

bool TotpManager::loadEntries(const QString &password, bool *wasOldBox)
{
    const QString data = keyData();
    const QByteArray text = data.isEmpty() ? QByteArray() : openSettingsStore().value(data).toString().toLatin1();
    if (text.isEmpty()) {
        m_entries.clear();
        return true;
    }
    // Damaged text must fail the unlock rather than read as an empty vault
    // that the next save would write over the real one.
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return fail(VaultFailure::DamagedContent);
    QByteArray plain;
    if (isVaultBox(decoded.decoded)) {
        QByteArray utf8 = password.toUtf8();
        VaultBoxError error = VaultBoxError::None;
        plain = openVaultBox(decoded.decoded, utf8, &error);
        wipeBytes(utf8);
        if (error == VaultBoxError::Malformed)
            return fail(VaultFailure::DamagedContent);
        if (error == VaultBoxError::NoMemory)
            return fail(VaultFailure::NoMemory);
        if (error != VaultBoxError::None)
            return fail(VaultFailure::WrongPassword);
    } else {
        plain = openBox(decoded.decoded, password);
        *wasOldBox = true;
    }
    if (plain.isEmpty())
        return fail(VaultFailure::WrongPassword);
    // The tag does not stop a box lengthened without the key, which then
    // opens to bytes that are no vault: refuse it like any other damage.
    QList<VaultEntry> entries;
    const bool readable = readVaultEntries(plain, &entries);
    wipeBytes(plain);
    if (!readable)
        return fail(VaultFailure::DamagedContent);
    m_entries = entries;
    return true;
}

bool TotpManager::saveEntries()
{
    if (m_isLocked)
        return false;
    // A fresh salt and nonce on every save, so no two boxes share a key and nonce.
    QByteArray plain = vaultEntriesToJson(m_entries);
    const QByteArray box = seal(plain, m_masterKeyBytes.view());
    wipeBytes(plain);
    if (box.isEmpty()) {
        m_saveError = QStringLiteral("Kasa kaydedilemedi: anahtar icin bellek yetmedi.");
        m_lastFailure = VaultFailure::SaveFailed;
        emit saveFailed(m_saveError);
        return false;
    }
    // "vault/salt" keeps following the box's salt, as it always has.
    const QByteArray salt = box.mid(13, 16);
    if (writeVaultKeys({{keySalt(), QString::fromLatin1(salt.toBase64())},
                        {keyData(), QString::fromLatin1(box.toBase64())}},
                       &m_saveError))
        return true;
    m_lastFailure = VaultFailure::SaveFailed;
    emit saveFailed(m_saveError);
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

void TotpManager::readState()
{
    const QString set = keySet();
    if (set.isEmpty()) {
        m_isSet = false; // signed out: nobody's vault
        return;
    }
    QSettings settings = openSettingsStore();
    m_isSet = settings.value(set, false).toBool();
    // The older, unsealed store is dropped, never imported.
    if (!m_isSet && holdsSomething(settings.value(keyLegacy())))
        settings.remove(keyLegacy());
}

void TotpManager::reload()
{
    m_entries.clear();
    m_masterKeyBytes.wipe();
    m_isLocked = true;
    readState();
    emit lockChanged();
    emit changed();
}

bool TotpManager::addEntry(const QString &label, const QString &secretOrUri, const QString &issuer)
{
    m_lastFailure = VaultFailure::None;
    if (m_isLocked)
        return false;
    TotpImport import;
    if (!importTotpInput(label, secretOrUri, issuer, &import, &m_inputProblem))
        return fail(VaultFailure::InputRefused);
    m_entries.append(entryOf(import));
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
    m_lastFailure = VaultFailure::None;
    if (m_isLocked)
        return;
    const QList<VaultEntry> before = m_entries;
    m_entries.removeIf([&id](const VaultEntry &e) { return e.id == id; });
    if (!saveEntries())
        m_entries = before;
    emit changed();
}

VaultImportCount TotpManager::previewImport(const QList<TotpImport> &entries, QList<TotpImport> *fresh) const
{
    VaultImportCount count;
    if (m_isLocked)
        return count;
    const QList<TotpImport> added = newEntries(m_entries, entries, &count.duplicates);
    count.added = int(added.size());
    if (fresh)
        *fresh = added;
    return count;
}

bool TotpManager::importEntries(const QList<TotpImport> &entries, VaultImportCount *count)
{
    m_lastFailure = VaultFailure::None;
    if (m_isLocked)
        return false;
    VaultImportCount done;
    const QList<TotpImport> fresh = newEntries(m_entries, entries, &done.duplicates);
    if (!fresh.isEmpty()) {
        const QList<VaultEntry> before = m_entries;
        for (const TotpImport &i : fresh)
            m_entries.append(entryOf(i));
        // All or nothing: a refused save leaves the list as it is on disk.
        if (!saveEntries()) {
            m_entries = before;
            return false;
        }
        done.added = int(fresh.size());
        emit changed();
    }
    if (count)
        *count = done;
    return true;
}

bool TotpManager::entriesForExport(const QString &password, QList<VaultEntry> *out)
{
    m_lastFailure = VaultFailure::None;
    if (m_isLocked)
        return false;
    QByteArray given = password.toUtf8();
    const QByteArrayView held = m_masterKeyBytes.view();
    const bool same = given.size() == held.size()
                      && (given.isEmpty() || sodium_memcmp(given.constData(), held.data(), size_t(given.size())) == 0);
    wipeBytes(given);
    if (!same)
        return fail(VaultFailure::WrongPassword);
    *out = m_entries;
    return true;
}
