#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Qt's own options (-platform, -style ...)
// are taken out by the application object before this reads the rest.
struct CommandLine
{
    bool tray = false;    // start hidden in the tray
    bool version = false; // print the version and end
    bool help = false;    // print the usage and end
    QString error;        // an argument this program does not know
};

// Reads the arguments after the program's own name.
CommandLine parseCommandLine(const QStringList &arguments);

// The usage text for --help.
QString commandLineHelp();
