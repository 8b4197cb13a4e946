#include "vault/importcrypto.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>

#include <sodium.h>

namespace {

const unsigned char *u(QByteArrayView v)
{
    return reinterpret_cast<const unsigned char *>(v.data());
}

// libsodium's AES-GCM runs on the processor's AES instructions only; every
// x86-64 PC of the last decade has them.
bool aesGcmReady()
{
    static const bool ready = sodium_init() >= 0 && crypto_aead_aes256gcm_is_available();
    return ready;
}

constexpr int kGcmNonceSize = crypto_aead_aes256gcm_NPUBBYTES;
constexpr int kGcmTagSize = crypto_aead_aes256gcm_ABYTES;

} // namespace

QByteArray importScrypt(QByteArrayView password, QByteArrayView salt, quint64 n, quint64 r, quint64 p, int keyLength)
{
    if (n < 2 || n > kImportScryptMaxN || (n & (n - 1)) != 0 || r < 1 || r > 32 || p < 1 || p > 16
        || keyLength < 1 || keyLength > 64 || sodium_init() < 0)
        return {};
    // scrypt's big array is 128 * N * r bytes.
    if (128 * n * r + 128 * r * p > (quint64(1) << 30))
        return {};
    QByteArray key(keyLength, Qt::Uninitialized);
    if (crypto_pwhash_scryptsalsa208sha256_ll(u(password), size_t(password.size()), u(salt), size_t(salt.size()), n,
                                              uint32_t(r), uint32_t(p), reinterpret_cast<uint8_t *>(key.data()),
                                              size_t(keyLength))
        != 0)
        return {};
    return key;
}

QByteArray importPbkdf2Sha256(QByteArrayView password, QByteArrayView salt, int iterations, int keyLength)
{
    if (iterations < 1 || iterations > kImportPbkdf2MaxIterations || keyLength < 1 || keyLength > 64)
        return {};
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toByteArray(), salt.toByteArray(),
                                              iterations, quint64(keyLength));
}

bool aes256GcmDecrypt(QByteArrayView key, QByteArrayView nonce, QByteArrayView ciphertext, QByteArrayView tag,
                      QByteArray *plain)
{
    if (key.size() != crypto_aead_aes256gcm_KEYBYTES || nonce.size() != kGcmNonceSize || tag.size() != kGcmTagSize
        || !aesGcmReady())
        return false;
    QByteArray out(ciphertext.size(), Qt::Uninitialized);
    if (crypto_aead_aes256gcm_decrypt_detached(reinterpret_cast<unsigned char *>(out.data()), nullptr, u(ciphertext),
                                               quint64(ciphertext.size()), u(tag), nullptr, 0, u(nonce), u(key))
        != 0)
        return false;
    *plain = out;
    return true;
}

bool aes256GcmEncrypt(QByteArrayView key, QByteArrayView nonce, QByteArrayView plain, QByteArray *ciphertext,
                      QByteArray *tag)
{
    if (key.size() != crypto_aead_aes256gcm_KEYBYTES || nonce.size() != kGcmNonceSize || !aesGcmReady())
        return false;
    QByteArray out(plain.size(), Qt::Uninitialized);
    QByteArray mac(kGcmTagSize, Qt::Uninitialized);
    unsigned long long macLength = 0;
    if (crypto_aead_aes256gcm_encrypt_detached(reinterpret_cast<unsigned char *>(out.data()),
                                               reinterpret_cast<unsigned char *>(mac.data()), &macLength, u(plain),
                                               quint64(plain.size()), nullptr, 0, nullptr, u(nonce), u(key))
        != 0)
        return false;
    *ciphertext = out;
    *tag = mac;
    return true;
}
