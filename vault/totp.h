#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Base32 (RFC 4648, lenient) and TOTP (RFC 6238). Pure functions.

enum class TotpAlgorithm { Sha1, Sha256, Sha512 };

inline constexpr int kTotpDefaultDigits = 6;
inline constexpr int kTotpDefaultPeriod = 30;
inline constexpr int kTotpMinDigits = 6;
inline constexpr int kTotpMaxDigits = 8;
inline constexpr int kTotpMinPeriod = 1;
inline constexpr int kTotpMaxPeriod = 300;

// Upper case, spaces and '=' dropped, characters outside the alphabet skipped,
// leftover bits (fewer than 8) discarded.
QByteArray base32Decode(const QString &text);

// Code of `secret` at `time` (seconds since the epoch). Returns "------"
// when the secret decodes to no bytes, the parameters are out of range
// (digits 6..8, period 1..300) or the time lies before the epoch.
QString totpCode(const QString &secret, qint64 time,
                 TotpAlgorithm algorithm = TotpAlgorithm::Sha1,
                 int digits = kTotpDefaultDigits, int period = kTotpDefaultPeriod);

// Steam Guard: the same HMAC-SHA1 over 30-second steps, the truncated value
// written as 5 characters of "23456789BCDFGHJKMNPQRTVWXY", lowest first.
// "-----" when the secret decodes to no bytes or the time lies before the epoch.
QString steamGuardCode(const QString &secret, qint64 time);
inline constexpr int kSteamCodeLength = 5;

// Seconds left in the step holding `now`, 1..period (period at a step boundary).
int secondsRemaining(qint64 now, int period = kTotpDefaultPeriod);

// "SHA1", "SHA256", "SHA512" (any letter case); false for anything else.
bool parseTotpAlgorithm(const QString &name, TotpAlgorithm *algorithm);
QString totpAlgorithmName(TotpAlgorithm algorithm);
