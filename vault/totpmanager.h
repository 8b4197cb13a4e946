#pragma once

#include "core/clock.h"
#include "vault/otpauth.h"
#include "vault/securememory.h"
#include "vault/vaultbox.h"
#include "vault/vaultentry.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QTimer;

inline constexpr int kVaultTickMs = 1000;

// Why the last set-up, unlock, add or remove did not go through.
enum class VaultFailure {
    None,
    PasswordTooShort, // set-up with fewer than 4 characters
    WrongPassword,    // the box does not open with this password
    DamagedContent,   // the box opened, but not to a vault
    NoMemory,         // the key derivation could not get its memory
    InputRefused,     // add: label or secret refused
    SaveFailed,       // the settings store refused the write
};

// What an import adds and what it passes over.
struct VaultImportCount
{
    int added = 0;
    int duplicates = 0; // same issuer, account and secret as an entry already there
};

// What a page shows of one entry, computed at one instant: never the secret.
struct VaultRow
{
    QString id;
    QString label;
    QString issuer;
    QString code;        // "------" when the entry's parameters cannot be honoured
    int secondsLeft = 0; // in the entry's own step
    int period = 30;     // the entry's step in seconds
};

// The TOTP vault: entries sealed under a master password in the settings
// store ("vault/set", "vault/salt", "vault/data"). Every save seals an MRV2
// box under a fresh salt and nonce; an older MRC1 box still opens, and is
// sealed again as MRV2 right after it opened. While locked no secret is
// in memory; while open the master password's bytes sit in a page-locked
// buffer that is wiped on lock.
class TotpManager : public QObject
{
    Q_OBJECT
public:
    // `clock` gives the time the codes are computed for; `sealing` the cost
    // and randomness of the boxes this vault writes.
    explicit TotpManager(QObject *parent = nullptr, int tickIntervalMs = kVaultTickMs,
                         const Clock &clock = Clock(), const VaultSealing &sealing = VaultSealing());
    ~TotpManager() override;

    bool isSet() const { return m_isSet; }
    bool isLocked() const { return m_isLocked; }
    // One row per entry, in order, with the codes of this moment; empty while locked.
    QList<VaultRow> rows() const;
    // The row of entry `id`; nothing while locked or for an unknown id.
    std::optional<VaultRow> row(const QString &id) const;
    // Seconds left in the common 30-second step.
    int secondsLeft() const;
    // Whether the master password's bytes are page-locked right now.
    bool isKeyPageLocked() const { return m_masterKeyBytes.isPageLocked(); }

    // First set-up (or a fresh empty vault under a new password); false for a
    // password under 4 characters or when the settings cannot be written.
    // Every failing call below leaves its reason in lastFailure().
    bool setupVault(const QString &password);
    // False for a wrong password or damaged data; nothing changes then, and
    // nothing is written.
    bool unlock(const QString &password);
    void lock();
    // Locks and reads the store again: another user signed in, whose own
    // vault it is from now on.
    void reload();
    // False when locked, when the input is refused, or when the vault could
    // not be saved (the entry is then not kept).
    bool addEntry(const QString &label, const QString &secretOrUri, const QString &issuer = QString());
    void removeEntry(const QString &id);
    // Adds every entry that is not a duplicate (same issuer, label and
    // secret as one in the vault or earlier in `entries`) in one save; false,
    // with nothing added, when locked or when the save fails.
    bool importEntries(const QList<TotpImport> &entries, VaultImportCount *count = nullptr);
    // The entries with their secrets, for an export: only while open and
    // only for the master password given again (else WrongPassword).
    bool entriesForExport(const QString &password, QList<VaultEntry> *out);
    // The count importEntries would give now, and (when asked) the entries it
    // would add; all zero while locked.
    VaultImportCount previewImport(const QList<TotpImport> &entries, QList<TotpImport> *fresh = nullptr) const;

    VaultFailure lastFailure() const { return m_lastFailure; }
    // The user text of lastFailure(), empty for None.
    QString lastFailureText() const;

signals:
    void changed();
    void lockChanged();
    void tick();
    // The settings store refused a write; the vault kept what was stored.
    // `message` reads "Kasa kaydedilemedi: " and the reason.
    void saveFailed(const QString &message);

private:
    void readState();
    bool loadEntries(const QString &password, bool *wasOldBox);
    bool saveEntries();
    QByteArray seal(const QByteArray &plain, QByteArrayView passwordUtf8);
    bool fail(VaultFailure why);
    qint64 now() const;
    VaultRow rowOf(const VaultEntry &entry, qint64 time) const;

    QList<VaultEntry> m_entries;
    SecureBytes m_masterKeyBytes;
    QString m_saveError;
    QString m_inputProblem;
    VaultFailure m_lastFailure = VaultFailure::None;
    bool m_isSet = false;
    bool m_isLocked = true;
    QTimer *m_timer = nullptr;
    Clock m_clock;
    VaultSealing m_sealing;
};
