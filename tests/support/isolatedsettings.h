#pragma once

#include <QString>
#include <QTemporaryDir>

// Redirects the per-user settings store, the XDG data, config and cache
// folders and the data folder (MIRELO_DATA_DIR) into a fresh temporary
// folder for as long as the object lives, so a test never reads or writes
// the real user's settings. Create one per test case (for example as a member re-created in init()). On Windows, where
// QSettings("MIRELOPLUS", "MireloPlus") is the registry whatever its path,
// HKEY_CURRENT_USER itself is mapped onto a throw-away key of this process.
class IsolatedSettings
{
public:
    IsolatedSettings();
    ~IsolatedSettings();
    IsolatedSettings(const IsolatedSettings &) = delete;
    IsolatedSettings &operator=(const IsolatedSettings &) = delete;

    QString path() const { return m_dir.path(); }
    // Path of the settings file that QSettings("MIRELOPLUS", "MireloPlus") now uses.
    QString settingsFile() const;
#ifdef Q_OS_WIN
    // Makes the program's registry branch readable only, as a branch the
    // user may not change is, until allowRegistryWrites() or the end.
    bool refuseRegistryWrites();
    void allowRegistryWrites();
#endif

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig, m_oldData, m_oldCache, m_oldDataDir;
    QString m_registryKey;  // Windows: the key HKEY_CURRENT_USER stands for
    void *m_lockedBranch = nullptr; // Windows: the branch made readable only
};
