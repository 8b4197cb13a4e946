#include "core/settings.h"

namespace Settings {

QSettings open()
{
    return QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
}

QString fileName()
{
    return open().fileName();
}

bool lightTheme()
{
    return open().value(QLatin1String(SettingsKey::kTheme)).toString() == QLatin1String("light");
}

void setLightTheme(bool light)
{
    open().setValue(QLatin1String(SettingsKey::kTheme), light ? QStringLiteral("light") : QStringLiteral("dark"));
}

bool captureProtection()
{
    return open().value(QLatin1String(SettingsKey::kCaptureProtection), true).toBool();
}

void setCaptureProtection(bool on)
{
    open().setValue(QLatin1String(SettingsKey::kCaptureProtection), on);
}

int minConfidence(int fallback)
{
    const QVariant stored = open().value(QLatin1String(SettingsKey::kMinConfidence));
    bool ok = false;
    const int value = stored.toInt(&ok);
    return ok && value >= 0 && value <= 100 ? value : fallback;
}

QByteArray accountsJson()
{
    return open().value(QLatin1String(SettingsKey::kAccounts)).toByteArray();
}

void setAccountsJson(const QByteArray &json)
{
    open().setValue(QLatin1String(SettingsKey::kAccounts), json);
}

QByteArray categoriesJson()
{
    return open().value(QLatin1String(SettingsKey::kCategories)).toByteArray();
}

void setCategoriesJson(const QByteArray &json)
{
    open().setValue(QLatin1String(SettingsKey::kCategories), json);
}

QByteArray seenQueueJson()
{
    return open().value(QLatin1String(SettingsKey::kSeenQueue)).toByteArray();
}

void setSeenQueueJson(const QByteArray &json)
{
    open().setValue(QLatin1String(SettingsKey::kSeenQueue), json);
}

QString authDisplayName()
{
    return open().value(QLatin1String(SettingsKey::kAuthDisplay)).toString();
}

bool authLoggedIn()
{
    return open().value(QLatin1String(SettingsKey::kAuthLogged), false).toBool();
}

void setAuthUser(const QString &displayName)
{
    QSettings s = open();
    s.setValue(QLatin1String(SettingsKey::kAuthDisplay), displayName);
    s.setValue(QLatin1String(SettingsKey::kAuthLogged), true);
}

void setAuthLoggedOut()
{
    open().setValue(QLatin1String(SettingsKey::kAuthLogged), false);
}

QString cloudUrl()
{
    QString url = open().value(QLatin1String(SettingsKey::kCloudUrl)).toString().trimmed();
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}

quint16 cloudLocalPort()
{
    bool ok = false;
    const uint port = open().value(QLatin1String(SettingsKey::kCloudLocalPort)).toUInt(&ok);
    return ok && port > 0 && port <= 65535 ? quint16(port) : quint16(0);
}

void setCloudLocalPort(quint16 port)
{
    open().setValue(QLatin1String(SettingsKey::kCloudLocalPort), int(port));
}

QByteArray linkDevicesJson()
{
    return open().value(QLatin1String(SettingsKey::kLinkDevices)).toByteArray();
}

void setLinkDevicesJson(const QByteArray &json)
{
    // Stored as text, as it always was.
    open().setValue(QLatin1String(SettingsKey::kLinkDevices), QString::fromUtf8(json));
}

QStringList linkCleanups()
{
    return open().value(QLatin1String(SettingsKey::kLinkCleanup)).toStringList();
}

void setLinkCleanups(const QStringList &sessionIds)
{
    QSettings s = open();
    if (sessionIds.isEmpty())
        s.remove(QLatin1String(SettingsKey::kLinkCleanup));
    else
        s.setValue(QLatin1String(SettingsKey::kLinkCleanup), sessionIds);
}

} // namespace Settings
