#include "secrets/secretstore.h"

#include <QByteArray>

#include <windows.h>
#include <dpapi.h>

namespace {

// Binds a sealed secret to its place: a blob copied into another account's
// record, or another user's, does not open there.
QByteArray entropyOf(const SecretRef &ref)
{
    return QStringLiteral("MIRELO+|%1|%2|%3").arg(ref.scope, ref.account, ref.field).toUtf8();
}

DATA_BLOB blobOf(QByteArray &bytes)
{
    DATA_BLOB b;
    b.cbData = DWORD(bytes.size());
    b.pbData = reinterpret_cast<BYTE *>(bytes.data());
    return b;
}

QString failure(const char *what)
{
    return QStringLiteral("DPAPI %1 (hata %2)").arg(QLatin1String(what)).arg(qulonglong(GetLastError()));
}

class DpapiSecretStore final : public SecretStore
{
public:
    QString form() const override { return QLatin1String(kDpapiSecretForm); }

    bool keep(const SecretRef &ref, const QString &secret, QString *recordText, QString *error) override
    {
        QByteArray plain = secret.toUtf8();
        QByteArray entropy = entropyOf(ref);
        DATA_BLOB in = blobOf(plain);
        DATA_BLOB salt = blobOf(entropy);
        DATA_BLOB out{};
        const BOOL ok = CryptProtectData(&in, L"MIRELO+ posta sifresi", &salt, nullptr, nullptr,
                                         CRYPTPROTECT_UI_FORBIDDEN, &out);
        SecureZeroMemory(plain.data(), size_t(plain.size()));
        if (!ok) {
            *error = failure("muhurleyemedi");
            return false;
        }
        *recordText = QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(out.pbData), int(out.cbData)).toBase64());
        LocalFree(out.pbData);
        return true;
    }

    bool take(const SecretRef &ref, const QString &recordText, QString *secret, QString *error) override
    {
        QByteArray sealed = QByteArray::fromBase64(recordText.toLatin1());
        if (sealed.isEmpty()) {
            *error = QStringLiteral("DPAPI kaydi bos ya da bozuk");
            return false;
        }
        QByteArray entropy = entropyOf(ref);
        DATA_BLOB in = blobOf(sealed);
        DATA_BLOB salt = blobOf(entropy);
        DATA_BLOB out{};
        if (!CryptUnprotectData(&in, nullptr, &salt, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) {
            *error = failure("acamadi (baska bir Windows kullanicisinin ya da bilgisayarin kaydi)");
            return false;
        }
        *secret = QString::fromUtf8(reinterpret_cast<const char *>(out.pbData), int(out.cbData));
        SecureZeroMemory(out.pbData, out.cbData);
        LocalFree(out.pbData);
        return true;
    }

    // Nothing is kept outside the record.
    bool forget(const SecretRef &) override { return true; }
};

} // namespace

std::unique_ptr<SecretStore> makeDpapiSecretStore()
{
    return std::make_unique<DpapiSecretStore>();
}
