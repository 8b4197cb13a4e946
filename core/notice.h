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
};
Q_DECLARE_METATYPE(Notice)
