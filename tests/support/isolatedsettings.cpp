#include "support/isolatedsettings.h"

#include <QSettings>
#include <QtGlobal>

IsolatedSettings::IsolatedSettings()
{
    Q_ASSERT(m_dir.isValid());
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    m_oldData = qgetenv("XDG_DATA_HOME");
    m_oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (m_dir.path() + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (m_dir.path() + "/cache").toLocal8Bit());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + "/config");
}

IsolatedSettings::~IsolatedSettings()
{
    // Point the store at a folder that no longer exists rather than at the
    // user's real one, so a stray write after the test stays harmless.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/gone");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + "/gone");
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    qputenv("XDG_DATA_HOME", m_oldData);
    qputenv("XDG_CACHE_HOME", m_oldCache);
}

QString IsolatedSettings::settingsFile() const
{
    return QSettings("MIRELOPLUS", "MireloPlus").fileName();
}
