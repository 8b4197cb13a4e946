#pragma once

#include <QMetaType>
#include <QString>

// A message for the tray icon, from a service that has no tray of its own.
struct Notice
{
    QString title;
    QString text;
    bool warning = false;
    int msecs = 0;
    // A click on it takes back the move it announces.
    bool offersUndo = false;
};
Q_DECLARE_METATYPE(Notice)
