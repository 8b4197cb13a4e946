#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

// Points the settings store and the XDG folders at a throw-away folder for as
// long as the object lives, so a benchmark never reads or writes the user's
// own settings.
class BenchSettings
{
public:
    BenchSettings()
    {
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_CACHE_HOME", (m_dir.path() + QStringLiteral("/cache")).toLocal8Bit());
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + QStringLiteral("/config"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + QStringLiteral("/config"));
    }
    ~BenchSettings()
    {
        // A stray write after the benchmark lands in a folder that is gone.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + QStringLiteral("/gone"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + QStringLiteral("/gone"));
    }
    BenchSettings(const BenchSettings &) = delete;
    BenchSettings &operator=(const BenchSettings &) = delete;

private:
    QTemporaryDir m_dir;
};
