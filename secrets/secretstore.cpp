#include "secrets/secretstore.h"

#include <QMutex>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

class FileSecretStore final : public SecretStore
{
public:
    QString form() const override { return QLatin1String(kFileSecretForm); }
    bool keep(const SecretRef &, const QString &secret, QString *recordText, QString *) override
    {
        *recordText = secret;
        return true;
    }
    bool take(const SecretRef &, const QString &recordText, QString *secret, QString *) override
    {
        *secret = recordText;
        return true;
    }
    bool forget(const SecretRef &) override { return true; }
};

QMutex g_keeperLock;
std::shared_ptr<SecretKeeper> g_keeper;

void say(const QString &line)
{
    const QByteArray text = (QStringLiteral("[MIRELO+] ") + line + QLatin1Char('\n')).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

} // namespace

std::unique_ptr<SecretStore> makeFileSecretStore()
{
    return std::make_unique<FileSecretStore>();
}

SecretKeeper::SecretKeeper(std::vector<std::shared_ptr<SecretStore>> stores) : m_stores(std::move(stores))
{
    m_stores.erase(std::remove(m_stores.begin(), m_stores.end(), nullptr), m_stores.end());
    if (!reader(QLatin1String(kFileSecretForm)))
        m_stores.push_back(makeFileSecretStore());
}

SecretStore &SecretKeeper::fileStore() const
{
    return *reader(QLatin1String(kFileSecretForm));
}

SecretStore *SecretKeeper::reader(const QString &form) const
{
    for (const std::shared_ptr<SecretStore> &s : m_stores)
        if (s->form() == form)
            return s.get();
    return nullptr;
}

std::shared_ptr<SecretKeeper> currentSecretKeeper()
{
    QMutexLocker lock(&g_keeperLock);
    if (!g_keeper)
        g_keeper = std::make_shared<SecretKeeper>(std::vector<std::shared_ptr<SecretStore>>{});
    return g_keeper;
}

void installSecretKeeper(std::shared_ptr<SecretKeeper> keeper)
{
    QMutexLocker lock(&g_keeperLock);
    g_keeper = std::move(keeper);
}

std::shared_ptr<SecretKeeper> openSystemSecretKeeper()
{
    std::vector<std::shared_ptr<SecretStore>> stores;
#ifdef Q_OS_WIN
    stores.push_back(makeDpapiSecretStore());
    say(QStringLiteral("Posta sifreleri: Windows DPAPI ile korunuyor."));
#else
    // Bounded, so a dead or locked keyring delays the start by this at most.
    constexpr int kKeyringTimeoutMs = 3000;
    QString why;
    if (std::unique_ptr<SecretStore> keyring = openKeyringSecretStore(kKeyringTimeoutMs, &why)) {
        stores.push_back(std::move(keyring));
        say(QStringLiteral("Posta sifreleri: anahtar zincirinde (Secret Service) saklaniyor."));
    } else {
        say(QStringLiteral("Anahtar zinciri kullanilamiyor: %1; posta sifreleri korumali ayar dosyasinda kalir.")
                .arg(why));
    }
#endif
    return std::make_shared<SecretKeeper>(std::move(stores));
}
