#include "mail/mailstorage.h"

#include <QSettings>

namespace {

class SettingsMailStorage final : public MailStorage
{
public:
    QByteArray value(const QString &key) const override { return settings().value(key).toByteArray(); }
    void setValue(const QString &key, const QByteArray &value) override { settings().setValue(key, value); }

private:
    static QSettings settings() { return QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus")); }
};

} // namespace

std::unique_ptr<MailStorage> userSettingsMailStorage()
{
    return std::make_unique<SettingsMailStorage>();
}
