#pragma once

#include "vault/vaultbox.h"
#include "vault/vaultentry.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Writing the vault out for other authenticators. Pure functions.

// scrypt cost of the password slot; Aegis itself writes N = 2^15, r = 8, p = 1.
struct AegisSlotCost
{
    quint64 n = quint64(1) << 15;
    quint64 r = 8;
    quint64 p = 1;
};

// An encrypted Aegis vault file (version 1, db version 2) sealed under
// `password`; empty when the cipher fails. `random` gives salt, keys and nonces.
QByteArray aegisEncryptedExport(const QList<VaultEntry> &entries, const QString &password,
                                const VaultRandom &random = {}, const AegisSlotCost &cost = {});
// One otpauth:// link a line; steam keys as Aegis writes them (encoder=steam).
QByteArray otpauthListExport(const QList<VaultEntry> &entries);
