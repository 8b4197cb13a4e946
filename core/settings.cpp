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

int staleMinutes()
{
    bool ok = false;
    const int value = open().value(QLatin1String(SettingsKey::kStaleMinutes)).toInt(&ok);
    return ok && value >= 1 && value <= 1440 ? value : 10;
}

void setStaleMinutes(int minutes)
{
    open().setValue(QLatin1String(SettingsKey::kStaleMinutes), qBound(1, minutes, 1440));
}

bool autoCopyCountsUsed()
{
    return open().value(QLatin1String(SettingsKey::kAutoCopyCountsUsed), false).toBool();
}

void setAutoCopyCountsUsed(bool on)
{
    open().setValue(QLatin1String(SettingsKey::kAutoCopyCountsUsed), on);
}

namespace {

QByteArray ownValue(const char *key)
{
    const QString where = userKey(key);
    return where.isEmpty() ? QByteArray() : open().value(where).toByteArray();
}

void setOwnValue(const char *key, const QVariant &value)
{
    const QString where = userKey(key);
    if (!where.isEmpty())
        open().setValue(where, value);
}

} // namespace

QByteArray accountsJson()
{
    return ownValue(SettingsKey::kAccounts);
}

void setAccountsJson(const QByteArray &json)
{
    setOwnValue(SettingsKey::kAccounts, json);
}

QByteArray categoriesJson()
{
    return ownValue(SettingsKey::kCategories);
}

void setCategoriesJson(const QByteArray &json)
{
    setOwnValue(SettingsKey::kCategories, json);
}

QByteArray seenQueueJson()
{
    return ownValue(SettingsKey::kSeenQueue);
}

void setSeenQueueJson(const QByteArray &json)
{
    setOwnValue(SettingsKey::kSeenQueue, json);
}

QString authDisplayName()
{
    return open().value(QLatin1String(SettingsKey::kAuthDisplay)).toString();
}

bool authLoggedIn()
{
    return open().value(QLatin1String(SettingsKey::kAuthLogged), false).toBool();
}

namespace {

// The user the unscoped own keys belong to. A store from before users had
// their own data gives them to the user it names in "auth/display".
QString dataOwner(QSettings &s)
{
    const QString key = QLatin1String(SettingsKey::kDataOwner);
    QString owner = s.value(key).toString();
    if (owner.isEmpty()) {
        owner = s.value(QLatin1String(SettingsKey::kAuthDisplay)).toString();
        if (!owner.isEmpty())
            s.setValue(key, owner);
    }
    return owner;
}

} // namespace

void setAuthUser(const QString &displayName)
{
    QSettings s = open();
    dataOwner(s);
    s.setValue(QLatin1String(SettingsKey::kAuthDisplay), displayName);
    s.setValue(QLatin1String(SettingsKey::kAuthLogged), true);
    dataOwner(s);
}

QString dataUser()
{
    QSettings s = open();
    if (!s.value(QLatin1String(SettingsKey::kAuthLogged), false).toBool())
        return QString();
    return s.value(QLatin1String(SettingsKey::kAuthDisplay)).toString();
}

QString userKey(const char *key)
{
    QSettings s = open();
    const QString user = s.value(QLatin1String(SettingsKey::kAuthLogged), false).toBool()
                             ? s.value(QLatin1String(SettingsKey::kAuthDisplay)).toString()
                             : QString();
    const QString owner = dataOwner(s);
    // Signed out, the data is nobody's; before any user ever signed in it
    // is the first one's to be.
    if (user.isEmpty())
        return owner.isEmpty() ? QLatin1String(key) : QString();
    if (user == owner)
        return QLatin1String(key);
    // User names are letters, digits and '_': safe as a group name.
    return QLatin1String(SettingsKey::kUsersGroup) + QLatin1Char('/') + user + QLatin1Char('/') + QLatin1String(key);
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
    return ownValue(SettingsKey::kLinkDevices);
}

void setLinkDevicesJson(const QByteArray &json)
{
    // Stored as text, as it always was.
    setOwnValue(SettingsKey::kLinkDevices, QString::fromUtf8(json));
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
