#pragma once

#include "vault/totp.h"

#include <QString>

// Turning what the user pasted (a Base32 secret or an otpauth:// URI) into
// the fields of a new vault entry.

inline constexpr int kVaultFieldMaxLength = 64;
inline constexpr int kSecretMinLength = 8;
inline constexpr int kSecretMaxLength = 128;

// Canonical form of a secret, or of the "secret" item of an otpauth URI:
// upper case with spaces, '-' and '=' removed.
QString normalizeSecret(const QString &input);
// 8..128 characters, every one of them in "A-Z2-7".
bool isValidSecret(const QString &secret);

struct TotpImport
{
    QString label;
    QString issuer;
    QString secret;
    TotpAlgorithm algorithm = TotpAlgorithm::Sha1;
    int digits = kTotpDefaultDigits;
    int period = kTotpDefaultPeriod;
    bool steam = false; // Steam Guard codes (steam:// secret or encoder=steam)
};

// The checks of adding an entry: label fallback to the URI's path, issuer
// fallback to its "issuer" item, canonical and valid secret, the URI's
// algorithm/digits/period honoured (anything unsupported refused), counter
// based ("hotp") URIs refused, label and issuer cut to 64 characters. A
// "steam://SECRET" input (Bitwarden's form) is a Steam Guard key; its label
// and issuer fall back to "Steam".
// Returns false, leaving *out alone, when the input cannot become an entry;
// then *problem (when given) says what is wrong, in words for the user.
bool importTotpInput(const QString &label, const QString &secretOrUri, const QString &issuer,
                     TotpImport *out, QString *problem = nullptr);
