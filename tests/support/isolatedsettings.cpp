#include "support/isolatedsettings.h"

#include <QSettings>
#include <QtGlobal>

namespace {
// The newest live instance. Tests replace one with the next
// (`m = make_unique<...>()`), so the new one is built before the old one
// goes; only the newest may put things back, or the old one would point the
// store at its own, deleted folder under the new test.
IsolatedSettings *s_current = nullptr;
}

IsolatedSettings::IsolatedSettings()
{
    Q_ASSERT(m_dir.isValid());
    if (s_current) {
        m_oldConfig = s_current->m_oldConfig;
        m_oldData = s_current->m_oldData;
        m_oldCache = s_current->m_oldCache;
    } else {
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        m_oldData = qgetenv("XDG_DATA_HOME");
        m_oldCache = qgetenv("XDG_CACHE_HOME");
    }
    s_current = this;
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (m_dir.path() + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (m_dir.path() + "/cache").toLocal8Bit());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + "/config");
}

IsolatedSettings::~IsolatedSettings()
{
    if (s_current != this)
        return;
    s_current = nullptr;
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
