#include "mail/mailstorage.h"

#include "core/settings.h"

namespace {

class SettingsMailStorage final : public MailStorage
{
public:
    QByteArray value(const QString &key) const override
    {
        const QString where = own(key);
        return where.isEmpty() ? QByteArray() : settings().value(where).toByteArray();
    }
    void setValue(const QString &key, const QByteArray &value) override
    {
        const QString where = own(key);
        if (!where.isEmpty())
            settings().setValue(where, value);
    }

    // Where the user's accounts live, so each signed-in user has their own items.
    QString secretScope() const override { return own(QLatin1String(SettingsKey::kAccounts)); }

private:
    static QSettings settings() { return Settings::open(); }
    // Each signed-in user has accounts, categories and read marks of their own.
    static QString own(const QString &key) { return Settings::userKey(key.toLatin1().constData()); }
};

} // namespace

std::unique_ptr<MailStorage> userSettingsMailStorage()
{
    return std::make_unique<SettingsMailStorage>();
}
