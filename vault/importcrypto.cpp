#include "vault/importcrypto.h"

#include <openssl/evp.h>

#include <memory>

namespace {

const unsigned char *u(QByteArrayView v)
{
    return reinterpret_cast<const unsigned char *>(v.data());
}

using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

} // namespace

QByteArray importScrypt(QByteArrayView password, QByteArrayView salt, quint64 n, quint64 r, quint64 p, int keyLength)
{
    if (n < 2 || n > kImportScryptMaxN || (n & (n - 1)) != 0 || r < 1 || r > 32 || p < 1 || p > 16
        || keyLength < 1 || keyLength > 64)
        return {};
    // 128 * N * r bytes for the big array, plus room for p blocks.
    const quint64 maxMem = 128 * n * r + 128 * r * p + (quint64(1) << 20);
    if (maxMem > (quint64(1) << 30))
        return {};
    QByteArray key(keyLength, Qt::Uninitialized);
    if (EVP_PBE_scrypt(password.data() ? password.data() : "", size_t(password.size()), u(salt),
                       size_t(salt.size()), n, r, p, maxMem, reinterpret_cast<unsigned char *>(key.data()),
                       size_t(keyLength))
        != 1)
        return {};
    return key;
}

QByteArray importPbkdf2Sha256(QByteArrayView password, QByteArrayView salt, int iterations, int keyLength)
{
    if (iterations < 1 || iterations > kImportPbkdf2MaxIterations || keyLength < 1 || keyLength > 64)
        return {};
    QByteArray key(keyLength, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(password.data() ? password.data() : "", int(password.size()), u(salt), int(salt.size()),
                          iterations, EVP_sha256(), keyLength, reinterpret_cast<unsigned char *>(key.data()))
        != 1)
        return {};
    return key;
}

bool aes256GcmDecrypt(QByteArrayView key, QByteArrayView nonce, QByteArrayView ciphertext, QByteArrayView tag,
                      QByteArray *plain)
{
    if (key.size() != 32 || nonce.isEmpty() || nonce.size() > 64 || tag.size() != 16)
        return false;
    CipherCtx ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, int(nonce.size()), nullptr) != 1
        || EVP_DecryptInit_ex(ctx.get(), nullptr, nullptr, u(key), u(nonce)) != 1)
        return false;
    QByteArray out(ciphertext.size() + 16, Qt::Uninitialized);
    int len = 0;
    int total = 0;
    if (!ciphertext.isEmpty()) {
        if (EVP_DecryptUpdate(ctx.get(), reinterpret_cast<unsigned char *>(out.data()), &len, u(ciphertext),
                              int(ciphertext.size()))
            != 1)
            return false;
        total = len;
    }
    if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, 16, const_cast<char *>(tag.data())) != 1)
        return false;
    if (EVP_DecryptFinal_ex(ctx.get(), reinterpret_cast<unsigned char *>(out.data()) + total, &len) != 1)
        return false;
    out.resize(total + len);
    *plain = out;
    return true;
}

bool aes256GcmEncrypt(QByteArrayView key, QByteArrayView nonce, QByteArrayView plain, QByteArray *ciphertext,
                      QByteArray *tag)
{
    if (key.size() != 32 || nonce.isEmpty())
        return false;
    CipherCtx ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, int(nonce.size()), nullptr) != 1
        || EVP_EncryptInit_ex(ctx.get(), nullptr, nullptr, u(key), u(nonce)) != 1)
        return false;
    QByteArray out(plain.size() + 16, Qt::Uninitialized);
    int len = 0;
    int total = 0;
    if (!plain.isEmpty()) {
        if (EVP_EncryptUpdate(ctx.get(), reinterpret_cast<unsigned char *>(out.data()), &len, u(plain),
                              int(plain.size()))
            != 1)
            return false;
        total = len;
    }
    if (EVP_EncryptFinal_ex(ctx.get(), reinterpret_cast<unsigned char *>(out.data()) + total, &len) != 1)
        return false;
    out.resize(total + len);
    QByteArray t(16, Qt::Uninitialized);
    if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, 16, t.data()) != 1)
        return false;
    *ciphertext = out;
    *tag = t;
    return true;
}
