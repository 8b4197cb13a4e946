#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <functional>

// The vault's own box, "MRV2": the key comes from Argon2id (libsodium's
// crypto_pwhash) and the contents are sealed with XChaCha20-Poly1305 under a
// random nonce. Layout, all integers big endian:
//   "MRV2" | alg(1) = 1 | opslimit(4) | memlimit KiB(4) | salt(16) | nonce(24)
//   | ciphertext(N) | tag(16)
// Everything before the ciphertext is authenticated as associated data, so
// the stored cost cannot be lowered without the key.

inline constexpr int kVaultBoxHeaderSize = 4 + 1 + 4 + 4 + 16 + 24;
inline constexpr int kVaultBoxOverhead = kVaultBoxHeaderSize + 16;
// A box that asks for more than this is refused before any memory is taken.
inline constexpr quint32 kVaultBoxMaxOps = 32;
inline constexpr quint32 kVaultBoxMaxMemKiB = 1024 * 1024;

struct VaultKdfCost
{
    quint32 opsLimit = 3;          // Argon2 passes
    quint32 memLimitKiB = 64 * 1024;
};

// 32-bit draws from a cryptographic generator; empty means libsodium's.
using VaultRandom = std::function<quint32()>;

// How the vault seals: the cost written into new boxes and where their salt
// and nonce come from. Tests pass a tiny cost; the program the default.
struct VaultSealing
{
    VaultKdfCost cost;
    VaultRandom random;
};

enum class VaultBoxError {
    None,
    Malformed,     // not an MRV2 box, or a cost out of bounds
    WrongPassword, // the tag does not match
    NoMemory,      // the key derivation could not get its memory
};

bool isVaultBox(const QByteArray &box);
// Empty only when the key derivation fails (out of memory).
QByteArray sealVaultBox(const QByteArray &plaintext, QByteArrayView passwordUtf8, const VaultSealing &sealing);
// The plaintext, or empty with *error saying why.
QByteArray openVaultBox(const QByteArray &box, QByteArrayView passwordUtf8, VaultBoxError *error = nullptr);
// The cost a box was sealed with; false for anything but a well-formed MRV2 header.
bool vaultBoxCost(const QByteArray &box, VaultKdfCost *cost);
