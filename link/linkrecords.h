#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// One paired device: its session id names its mailbox in the database.
struct PairedDevice
{
    QString sid;
    QString name;
    QString key; // end-to-end key, 64 lower-case hex characters
    QString at;  // local date-time of pairing, ISO 8601
};

// One code read from a device's inbox.
struct LinkCode
{
    QString from;
    QString subject;
    QString code;
    QString ts;
    QString sessionId; // sid of the device whose inbox held the message
    QString inboxKey;  // the message id
};

Q_DECLARE_METATYPE(PairedDevice)
Q_DECLARE_METATYPE(LinkCode)
