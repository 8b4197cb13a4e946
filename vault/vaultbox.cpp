#include "vault/vaultbox.h"

#include "vault/securememory.h"

#include <QtEndian>

#include <sodium.h>

#include <cstring>

namespace {

constexpr char kMagic[4] = {'M', 'R', 'V', '2'};
constexpr unsigned char kAlgArgon2idXChaCha = 1;
constexpr int kSaltSize = crypto_pwhash_SALTBYTES;
constexpr int kNonceSize = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr int kKeySize = crypto_aead_xchacha20poly1305_ietf_KEYBYTES;
static_assert(kSaltSize == 16 && kNonceSize == 24 && kKeySize == 32);
static_assert(crypto_aead_xchacha20poly1305_ietf_ABYTES == kVaultBoxOverhead - kVaultBoxHeaderSize);

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

void fillRandom(char *out, int size, const VaultRandom &random)
{
    if (!random) {
        randombytes_buf(out, size_t(size));
        return;
    }
    for (int i = 0; i < size; i += 4) {
        const quint32 draw = random();
        for (int j = 0; j < 4 && i + j < size; ++j)
            out[i + j] = char(draw >> (8 * j));
    }
}

bool costInBounds(const VaultKdfCost &cost)
{
    return cost.opsLimit >= crypto_pwhash_OPSLIMIT_MIN && cost.opsLimit <= kVaultBoxMaxOps
           && quint64(cost.memLimitKiB) * 1024 >= crypto_pwhash_MEMLIMIT_MIN
           && cost.memLimitKiB <= kVaultBoxMaxMemKiB;
}

bool deriveVaultKey(unsigned char *key, QByteArrayView password, const char *salt, const VaultKdfCost &cost)
{
    return crypto_pwhash(key, kKeySize, password.data() ? password.data() : "", quint64(password.size()),
                         reinterpret_cast<const unsigned char *>(salt), cost.opsLimit,
                         size_t(cost.memLimitKiB) * 1024, crypto_pwhash_ALG_ARGON2ID13)
           == 0;
}

} // namespace

bool vaultBoxCost(const QByteArray &box, VaultKdfCost *cost)
{
    if (box.size() < kVaultBoxOverhead || std::memcmp(box.constData(), kMagic, 4) != 0
        || static_cast<unsigned char>(box[4]) != kAlgArgon2idXChaCha)
        return false;
    VaultKdfCost read;
    read.opsLimit = qFromBigEndian<quint32>(box.constData() + 5);
    read.memLimitKiB = qFromBigEndian<quint32>(box.constData() + 9);
    if (!costInBounds(read))
        return false;
    *cost = read;
    return true;
}

bool isVaultBox(const QByteArray &box)
{
    return box.size() >= 4 && std::memcmp(box.constData(), kMagic, 4) == 0;
}

QByteArray sealVaultBox(const QByteArray &plaintext, QByteArrayView passwordUtf8, const VaultSealing &sealing)
{
    if (!sodiumReady() || !costInBounds(sealing.cost))
        return {};
    QByteArray box(kVaultBoxOverhead + plaintext.size(), Qt::Uninitialized);
    char *out = box.data();
    std::memcpy(out, kMagic, 4);
    out[4] = char(kAlgArgon2idXChaCha);
    qToBigEndian<quint32>(sealing.cost.opsLimit, out + 5);
    qToBigEndian<quint32>(sealing.cost.memLimitKiB, out + 9);
    char *salt = out + 13;
    char *nonce = salt + kSaltSize;
    fillRandom(salt, kSaltSize, sealing.random);
    fillRandom(nonce, kNonceSize, sealing.random);

    QByteArray key(kKeySize, Qt::Uninitialized);
    auto *k = reinterpret_cast<unsigned char *>(key.data());
    if (!deriveVaultKey(k, passwordUtf8, salt, sealing.cost)) {
        wipeBytes(key);
        return {};
    }
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        reinterpret_cast<unsigned char *>(out + kVaultBoxHeaderSize), &written,
        reinterpret_cast<const unsigned char *>(plaintext.constData()), quint64(plaintext.size()),
        reinterpret_cast<const unsigned char *>(out), kVaultBoxHeaderSize, nullptr,
        reinterpret_cast<const unsigned char *>(nonce), k);
    wipeBytes(key);
    return box;
}

QByteArray openVaultBox(const QByteArray &box, QByteArrayView passwordUtf8, VaultBoxError *error)
{
    VaultBoxError ignored;
    VaultBoxError &why = error ? *error : ignored;
    why = VaultBoxError::Malformed;
    VaultKdfCost cost;
    if (!sodiumReady() || !vaultBoxCost(box, &cost))
        return {};
    const char *in = box.constData();
    QByteArray key(kKeySize, Qt::Uninitialized);
    auto *k = reinterpret_cast<unsigned char *>(key.data());
    if (!deriveVaultKey(k, passwordUtf8, in + 13, cost)) {
        wipeBytes(key);
        why = VaultBoxError::NoMemory;
        return {};
    }
    const qsizetype sealedSize = box.size() - kVaultBoxHeaderSize;
    QByteArray plain(box.size() - kVaultBoxOverhead, Qt::Uninitialized);
    unsigned long long written = 0;
    const int rc = crypto_aead_xchacha20poly1305_ietf_decrypt(
        reinterpret_cast<unsigned char *>(plain.data()), &written, nullptr,
        reinterpret_cast<const unsigned char *>(in + kVaultBoxHeaderSize), quint64(sealedSize),
        reinterpret_cast<const unsigned char *>(in), kVaultBoxHeaderSize,
        reinterpret_cast<const unsigned char *>(in + 13 + kSaltSize), k);
    wipeBytes(key);
    if (rc != 0) {
        why = VaultBoxError::WrongPassword;
        return {};
    }
    why = VaultBoxError::None;
    return plain;
}
