#pragma once

#include "vault/otpauth.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reading what other authenticators export. Pure functions: bytes (a file's
// content or pasted text) in, entries or a Turkish reason out; nothing is
// added anywhere until the caller says so, and a file that fails anywhere
// gives no entries at all.

enum class ImportFormat {
    Unknown,
    OtpauthList,     // one otpauth:// link a line (Ente Auth and many others)
    GoogleMigration, // otpauth-migration://offline?data=... (one line per QR code)
    Aegis,
    TwoFas,
    Bitwarden,
};

inline constexpr qsizetype kImportMaxBytes = 10 * 1024 * 1024;
inline constexpr int kImportMaxEntries = 10000;

struct ImportResult
{
    ImportFormat format = ImportFormat::Unknown;
    bool encrypted = false;
    bool needsPassword = false; // encrypted and no password given
    QList<TotpImport> entries;
    int unsupported = 0; // counter-based (HOTP) and other kinds left out
    QString error;       // empty on success
    bool ok() const { return error.isEmpty(); }
};

QString importFormatName(ImportFormat format);
// Finds the format and reads it; `password` opens encrypted Aegis and 2FAS files.
ImportResult parseImport(const QByteArray &data, const QString &password = QString());

// Base32 (RFC 4648, upper case, no padding) of raw key bytes.
QString base32Encode(const QByteArray &bytes);
