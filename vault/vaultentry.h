#pragma once

#include "vault/totp.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

// One TOTP account of the vault.
struct VaultEntry
{
    QString id;     // random UUID without braces
    QString label;  // never empty, at most 64 characters
    QString issuer; // may be empty, at most 64 characters
    QString secret; // canonical Base32, 8..128 characters
    // Code parameters; written to the sealed JSON only when not the defaults,
    // so older vaults read and write exactly as before.
    QString algorithm = QStringLiteral("SHA1");
    int digits = kTotpDefaultDigits;
    int period = kTotpDefaultPeriod;
};
Q_DECLARE_METATYPE(VaultEntry)

// Marks an entry whose codes are Steam Guard's (from a steam:// secret).
inline constexpr char kSteamAlgorithm[] = "STEAM";
// Entries from a steam:// secret, or with issuer "Steam", give Steam Guard codes.
bool isSteamEntry(const VaultEntry &entry);

// Code of an entry at `time` with its own parameters; "------" when they
// cannot be honoured.
QString totpCode(const VaultEntry &entry, qint64 time);
// Seconds left at `now` in the entry's own step (the default step when the
// entry's period is out of range).
int secondsRemaining(const VaultEntry &entry, qint64 now);

// The sealed plaintext: a compact JSON array of {"id","label","issuer","secret"}
// objects (plus "algorithm", "digits", "period" when not the defaults).
QByteArray vaultEntriesToJson(const QList<VaultEntry> &entries);
// Reads that array; elements without id or secret are dropped. False, and
// `out` untouched, unless the text is a JSON array of objects: anything else
// is a damaged box, never an empty vault.
bool readVaultEntries(const QByteArray &json, QList<VaultEntry> *out);
// The same, with anything unreadable as an empty list.
QList<VaultEntry> vaultEntriesFromJson(const QByteArray &json);
