#include "desktop/autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

const char *const kRunValue = "MIRELO+";

#ifndef Q_OS_WIN
const char *const kEntryName = "mireloplus.desktop";

// Exec= quoting of the desktop entry format: arguments with spaces or
// specials go in double quotes, with \ " ` $ escaped.
QString desktopQuoted(const QString &arg)
{
    static const QString specials = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = arg.isEmpty();
    for (const QChar c : arg)
        needs = needs || specials.contains(c);
    if (!needs)
        return arg;
    QString out = QStringLiteral("\"");
    for (const QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}
#endif

} // namespace

Autostart::Autostart(const QString &program, const QString &location)
    : m_program(program), m_location(location)
{
}

Autostart Autostart::forCurrentUser()
{
    const QString program = QCoreApplication::applicationFilePath();
#ifdef Q_OS_WIN
    return Autostart(program, QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
#else
    return Autostart(program,
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart"));
#endif
}

QString Autostart::command() const
{
#ifdef Q_OS_WIN
    return QLatin1Char('"') + QDir::toNativeSeparators(m_program) + QStringLiteral("\" --tray");
#else
    return desktopQuoted(m_program) + QStringLiteral(" --tray");
#endif
}

bool Autostart::isEnabled() const
{
#ifdef Q_OS_WIN
    return QSettings(m_location, QSettings::NativeFormat).contains(QLatin1String(kRunValue));
#else
    return QFile::exists(m_location + QLatin1Char('/') + QLatin1String(kEntryName));
#endif
}

bool Autostart::setEnabled(bool on, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
#ifdef Q_OS_WIN
    QSettings run(m_location, QSettings::NativeFormat);
    if (on)
        run.setValue(QLatin1String(kRunValue), command());
    else
        run.remove(QLatin1String(kRunValue));
    run.sync();
    if (run.status() != QSettings::NoError)
        return fail(QStringLiteral("kayit defteri yazilamadi"));
    return true;
#else
    const QString path = m_location + QLatin1Char('/') + QLatin1String(kEntryName);
    if (!on) {
        if (QFile::exists(path) && !QFile::remove(path))
            return fail(path + QStringLiteral(" silinemedi"));
        return true;
    }
    if (!QDir().mkpath(m_location))
        return fail(m_location + QStringLiteral(" olusturulamadi"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(path + QStringLiteral(" yazilamadi: ") + file.errorString());
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=MIRELO+\n"
                                         "Comment=Dogrulama kodlari tek yerde\n"
                                         "Exec=%1\n"
                                         "Icon=mireloplus\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(command());
    file.write(entry.toUtf8());
    if (!file.commit())
        return fail(path + QStringLiteral(" yazilamadi: ") + file.errorString());
    return true;
#endif
}
