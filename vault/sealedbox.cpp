#include "vault/sealedbox.h"

#include "vault/securememory.h"
#include "vault/sha256.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtEndian>

#include <cstring>

namespace {

constexpr char kMagic[4] = {'M', 'R', 'C', '1'};
constexpr int kKeySize = 32;

// Keystream block j is SHA-256(key || salt || j as 64-bit big endian).
void applyKeystream(QByteArray &data, const QByteArray &key, QByteArrayView salt)
{
    if (data.isEmpty())
        return;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    unsigned char counter[8];
    char *out = data.data();
    const qsizetype n = data.size();
    for (qsizetype offset = 0, block = 0; offset < n; offset += kKeySize, ++block) {
        qToBigEndian<quint64>(quint64(block), counter);
        hash.reset();
        hash.addData(key);
        hash.addData(salt);
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(counter), 8));
        const QByteArrayView stream = hash.resultView();
        const qsizetype len = qMin<qsizetype>(kKeySize, n - offset);
        for (qsizetype i = 0; i < len; ++i)
            out[offset + i] = char(out[offset + i] ^ stream[i]);
    }
}

QByteArray tagOf(const QByteArray &key, QByteArrayView ciphertext)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(key);
    hash.addData(ciphertext);
    return hash.result();
}

// Every byte is looked at whatever the first difference, so the time taken
// says nothing about how much of a forged tag was right.
bool equalConstantTime(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

// Runs `use` on the password's UTF-8 bytes and wipes them afterwards.
template <typename Use>
QByteArray withUtf8(const QString &password, Use &&use)
{
    QByteArray utf8 = password.toUtf8();
    QByteArray result = use(QByteArrayView(utf8));
    wipeBytes(utf8);
    return result;
}

} // namespace

QByteArray deriveKeyUtf8(QByteArrayView passwordUtf8, const QByteArray &salt)
{
    // One buffer laid out as H || salt || P; each round hashes it whole and
    // writes the digest back over its head, so the loop allocates nothing.
    QByteArray buffer(kKeySize + salt.size() + passwordUtf8.size(), Qt::Uninitialized);
    char *buf = buffer.data();
    std::memcpy(buf + kKeySize, salt.constData(), size_t(salt.size()));
    if (!passwordUtf8.isEmpty())
        std::memcpy(buf + kKeySize + salt.size(), passwordUtf8.data(), size_t(passwordUtf8.size()));

    auto *head = reinterpret_cast<std::uint8_t *>(buf);
    sha256(buf + kKeySize, size_t(buffer.size() - kKeySize), head);
    for (int round = 1; round < kDeriveKeyRounds; ++round)
        sha256(buf, size_t(buffer.size()), head);
    QByteArray key(buf, kKeySize);
    wipeBytes(buffer);
    return key;
}

QByteArray deriveKey(const QString &password, const QByteArray &salt)
{
    return withUtf8(password, [&](QByteArrayView utf8) { return deriveKeyUtf8(utf8, salt); });
}

QByteArray sealBoxUtf8(const QByteArray &plaintext, QByteArrayView passwordUtf8, const QByteArray &salt)
{
    QByteArray key = deriveKeyUtf8(passwordUtf8, salt);
    QByteArray ciphertext = plaintext;
    ciphertext.detach();
    applyKeystream(ciphertext, key, salt);
    const QByteArray tag = tagOf(key, ciphertext);
    wipeBytes(key);

    QByteArray box;
    box.reserve(ciphertext.size() + 4 + salt.size() + kKeySize);
    box.append(kMagic, 4);
    box.append(salt);
    box.append(ciphertext);
    box.append(tag);
    return box;
}

QByteArray sealBox(const QByteArray &plaintext, const QString &password, const QByteArray &salt)
{
    return withUtf8(password, [&](QByteArrayView utf8) { return sealBoxUtf8(plaintext, utf8, salt); });
}

QByteArray openBoxUtf8(const QByteArray &box, QByteArrayView passwordUtf8)
{
    if (box.size() < kSealedBoxOverhead || std::memcmp(box.constData(), kMagic, 4) != 0)
        return {};
    const QByteArray salt = box.mid(4, kSealedBoxSaltSize);
    const qsizetype n = box.size() - kSealedBoxOverhead;
    const QByteArrayView ciphertext(box.constData() + 4 + kSealedBoxSaltSize, n);
    const QByteArrayView tag(box.constData() + box.size() - kKeySize, kKeySize);

    QByteArray key = deriveKeyUtf8(passwordUtf8, salt);
    if (!equalConstantTime(tagOf(key, ciphertext), tag)) {
        wipeBytes(key);
        return {};
    }
    QByteArray plain(ciphertext.data(), n);
    applyKeystream(plain, key, salt);
    wipeBytes(key);
    return plain;
}

QByteArray openBox(const QByteArray &box, const QString &password)
{
    return withUtf8(password, [&](QByteArrayView utf8) { return openBoxUtf8(box, utf8); });
}

QByteArray generateSalt()
{
    QByteArray salt(kSealedBoxSaltSize, Qt::Uninitialized);
    QRandomGenerator *rng = QRandomGenerator::system();
    for (int i = 0; i < kSealedBoxSaltSize; ++i)
        salt[i] = char(rng->generate() >> 24);
    return salt;
}
