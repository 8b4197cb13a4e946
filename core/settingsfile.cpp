#include "core/settingsfile.h"

#include "core/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool restrictSettingsStore()
{
    return restrictSettingsFile(Settings::fileName());
}

bool restrictSettingsFile(const QString &path)
{
#ifdef Q_OS_UNIX
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    const QByteArray dir = QFile::encodeName(folder);
    ::chmod(dir.constData(), 0700);
    const QByteArray file = QFile::encodeName(path);
    // Created owner-only from the first byte, so there is no moment in which
    // another user could open it.
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool ok = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return ok;
#else
    // The profile folder is the user's own on Windows.
    Q_UNUSED(path);
    return true;
#endif
}

QString settingsStoreWriteProblem()
{
    const QSettings store = Settings::open();
    if (store.isWritable())
        return QString();
    return QStringLiteral("Ayarlar kaydedilemiyor: %1 yazilamiyor. Hesaplar, kasa ve oturum program kapaninca "
                          "kaybolur.")
        .arg(store.fileName());
}

bool followSettingsStoreOverride()
{
#ifdef Q_OS_WIN
    const QString name = qEnvironmentVariable("MIRELO_SETTINGS_HKCU");
    if (name.isEmpty())
        return true;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t *>(name.utf16()), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    const bool ok = RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
#else
    return true;
#endif
}

QString dataFolder()
{
    const QString chosen = qEnvironmentVariable("MIRELO_DATA_DIR");
    if (!chosen.isEmpty())
        return QDir::cleanPath(chosen);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
