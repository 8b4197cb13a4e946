#include "support/isolatedsettings.h"

#include <QSettings>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QUuid>
#include <qt_windows.h>
#include <sddl.h>
#endif

namespace {
// The newest live instance. Tests replace one with the next
// (`m = make_unique<...>()`), so the new one is built before the old one
// goes; only the newest may put things back, or the old one would point the
// store at its own, deleted folder under the new test.
IsolatedSettings *s_current = nullptr;

#ifdef Q_OS_WIN
// HKCU\Software\MIRELOPLUS-tests of the real user, opened before any mapping
// so that keys below it can be made and dropped while one is in place. Not
// volatile: the program's own keys below a volatile one would be refused.
HKEY testRoot()
{
    static HKEY root = [] {
        HKEY key = nullptr;
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\MIRELOPLUS-tests", 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr)
            != ERROR_SUCCESS)
            return HKEY(nullptr);
        return key;
    }();
    return root;
}

// Maps HKEY_CURRENT_USER of this process onto a key below the test root
// (empty: back to the real one). Every registry read and write of the
// process, Qt's included, then lands in the throw-away key.
bool overrideCurrentUser(const QString &name)
{
    const HKEY root = testRoot();
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (name.isEmpty())
        return true;
    HKEY key = nullptr;
    if (!root
        || RegCreateKeyExW(root, name.toStdWString().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           &key, nullptr)
               != ERROR_SUCCESS)
        return false;
    const bool ok = RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

void dropKey(const QString &name)
{
    if (testRoot() && !name.isEmpty())
        RegDeleteTreeW(testRoot(), name.toStdWString().c_str());
}
#endif
}

IsolatedSettings::IsolatedSettings()
{
    Q_ASSERT(m_dir.isValid());
    if (s_current) {
        m_oldConfig = s_current->m_oldConfig;
        m_oldData = s_current->m_oldData;
        m_oldCache = s_current->m_oldCache;
        m_oldDataDir = s_current->m_oldDataDir;
    } else {
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        m_oldData = qgetenv("XDG_DATA_HOME");
        m_oldCache = qgetenv("XDG_CACHE_HOME");
        m_oldDataDir = qgetenv("MIRELO_DATA_DIR");
    }
    s_current = this;
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (m_dir.path() + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (m_dir.path() + "/cache").toLocal8Bit());
    // Where the XDG folder would put it; Windows knows no XDG_DATA_HOME.
    qputenv("MIRELO_DATA_DIR", (m_dir.path() + "/data/MIRELOPLUS/MireloPlus").toLocal8Bit());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + "/config");
#ifdef Q_OS_WIN
    m_registryKey = QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')
                    + QUuid::createUuid().toString(QUuid::WithoutBraces);
    // Without the mapping a test would write the user's own branch: stop.
    if (!overrideCurrentUser(m_registryKey))
        qFatal("IsolatedSettings: HKEY_CURRENT_USER could not be mapped to a test key");
    // The programs a test starts map theirs onto the same key.
    qputenv("MIRELO_SETTINGS_HKCU", ("Software\\MIRELOPLUS-tests\\" + m_registryKey).toUtf8());
#endif
}

#ifdef Q_OS_WIN
namespace {
bool setBranchAccess(HKEY key, const wchar_t *sddl)
{
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    const bool ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    LocalFree(sd);
    return ok;
}
}

bool IsolatedSettings::refuseRegistryWrites()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\MIRELOPLUS\\MireloPlus", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | WRITE_DAC, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    // Read for everyone, nothing more; the handle kept puts it back.
    if (!setBranchAccess(key, L"D:P(A;;KR;;;WD)")) {
        RegCloseKey(key);
        return false;
    }
    m_lockedBranch = key;
    return true;
}

void IsolatedSettings::allowRegistryWrites()
{
    if (!m_lockedBranch)
        return;
    setBranchAccess(HKEY(m_lockedBranch), L"D:P(A;;KA;;;WD)");
    RegCloseKey(HKEY(m_lockedBranch));
    m_lockedBranch = nullptr;
}
#endif

IsolatedSettings::~IsolatedSettings()
{
#ifdef Q_OS_WIN
    allowRegistryWrites();
#endif
    if (s_current != this) {
#ifdef Q_OS_WIN
        dropKey(m_registryKey);
#endif
        return;
    }
    s_current = nullptr;
    // Point the store at a folder that no longer exists rather than at the
    // user's real one, so a stray write after the test stays harmless.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/gone");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + "/gone");
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    qputenv("XDG_DATA_HOME", m_oldData);
    qputenv("XDG_CACHE_HOME", m_oldCache);
    if (m_oldDataDir.isEmpty())
        qunsetenv("MIRELO_DATA_DIR");
    else
        qputenv("MIRELO_DATA_DIR", m_oldDataDir);
#ifdef Q_OS_WIN
    overrideCurrentUser(QString());
    dropKey(m_registryKey);
    qunsetenv("MIRELO_SETTINGS_HKCU");
#endif
}

QString IsolatedSettings::settingsFile() const
{
    return QSettings("MIRELOPLUS", "MireloPlus").fileName();
}
