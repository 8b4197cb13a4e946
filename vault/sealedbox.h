#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// MRC1 sealed box: "MRC1" || salt(16) || ciphertext(N) || tag(32), built from
// SHA-256 only so that a peer needs nothing more than that primitive.

inline constexpr int kSealedBoxSaltSize = 16;
inline constexpr int kSealedBoxOverhead = 4 + kSealedBoxSaltSize + 32;
inline constexpr int kDeriveKeyRounds = 20000;

// 32-byte key: SHA-256 iterated 20,000 times over (previous || salt || UTF-8 password).
QByteArray deriveKey(const QString &password, const QByteArray &salt);
// Same, for a password already held as UTF-8 bytes (lets the vault avoid
// unlocked copies of its master password).
QByteArray deriveKeyUtf8(QByteArrayView passwordUtf8, const QByteArray &salt);

QByteArray sealBox(const QByteArray &plaintext, const QString &password, const QByteArray &salt);
QByteArray sealBoxUtf8(const QByteArray &plaintext, QByteArrayView passwordUtf8, const QByteArray &salt);

// Empty on any failure: short box, wrong magic, wrong password, altered bytes.
QByteArray openBox(const QByteArray &box, const QString &password);
QByteArray openBoxUtf8(const QByteArray &box, QByteArrayView passwordUtf8);

// 16 bytes from the system's cryptographic generator, each the top byte of
// its own 32-bit draw.
QByteArray generateSalt();
