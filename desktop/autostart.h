#pragma once

#include <QString>

// Starting the program with the user's session, hidden in the tray: an XDG
// autostart entry on Linux, the current user's Run key on Windows. The entry
// itself is the setting; nothing else is stored.
class Autostart
{
public:
    // `program` is the executable to start; `location` the XDG autostart
    // folder (Linux) or the registry key (Windows). Tests pass their own.
    Autostart(const QString &program, const QString &location);

    // The user's own autostart place and this executable.
    static Autostart forCurrentUser();

    bool isEnabled() const;
    // False (with `error` set) when the entry could not be written or removed.
    bool setEnabled(bool on, QString *error = nullptr);

    // The command line the entry starts.
    QString command() const;

private:
    QString m_program;
    QString m_location;
};
