#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The primitives other authenticators seal their exports with: libsodium's
// scrypt and AES-256-GCM (12-byte nonces, as Aegis and 2FAS write), Qt's PBKDF2.
// Every function refuses parameters outside what those apps write, so a
// crafted file cannot make us spend minutes or gigabytes.

inline constexpr quint64 kImportScryptMaxN = quint64(1) << 20;
inline constexpr int kImportPbkdf2MaxIterations = 2'000'000;

// scrypt with N a power of two up to 2^20, r*p small; empty when refused.
QByteArray importScrypt(QByteArrayView password, QByteArrayView salt, quint64 n, quint64 r, quint64 p, int keyLength);
// PBKDF2-HMAC-SHA256; empty when refused.
QByteArray importPbkdf2Sha256(QByteArrayView password, QByteArrayView salt, int iterations, int keyLength);
// AES-256-GCM with a 12-byte nonce and a 16-byte tag; false when the tag does
// not match or the processor lacks AES instructions.
bool aes256GcmDecrypt(QByteArrayView key, QByteArrayView nonce, QByteArrayView ciphertext, QByteArrayView tag,
                      QByteArray *plain);
// Encrypts, giving ciphertext and tag; false for a wrong key or nonce size or
// a processor without AES instructions.
bool aes256GcmEncrypt(QByteArrayView key, QByteArrayView nonce, QByteArrayView plain, QByteArray *ciphertext,
                      QByteArray *tag);
