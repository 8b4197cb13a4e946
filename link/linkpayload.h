#pragma once

#include "link/linkrecords.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

struct MailItem;

// Pure pieces of the link's database records: the session record, the
// sealed inbox messages and the stored device list. Everything read here
// comes from outside (the database, the settings file) and is taken apart
// without trusting its shape.

inline constexpr int kPayloadFromMax = 120;
inline constexpr int kPayloadSubjectMax = 160;

// --- Session record ----------------------------------------------------------

// {"codeHash", "created", "status": "waiting"}
QJsonObject newSessionRecord(const QString &codeHash, const QString &createdIso);
// False unless the body is a JSON object.
bool parseSessionRecord(const QByteArray &body, QJsonObject *record);
// "status" is exactly "paired".
bool sessionIsPaired(const QJsonObject &record);
// "device" as a string cut to 64 characters, "Telefon" when missing or not a string.
QString sessionDeviceName(const QJsonObject &record);
// The record as the joiner writes it back.
QJsonObject joinedSessionRecord(const QJsonObject &record, const QString &deviceName,
                                const QString &pairedAtIso);

// --- Inbox messages ----------------------------------------------------------

// Compact JSON {"from", "subject", "code", "ts"} with the cuts applied.
QByteArray buildLinkPayload(const MailItem &item, const QString &tsIso);
// {"ts": ts, "data": Base64(sealBox(payload, deviceKey, salt))}
QJsonObject sealLinkMessage(const QByteArray &payload, const QString &tsIso,
                            const QString &deviceKey, const QByteArray &salt);

struct InboxEntry
{
    QString key;    // a plain key, safe to put into a path
    QByteArray box; // the decoded "data"
};
// The members of an inbox read that are worth opening, in key order: plain
// keys whose value is an object with a well-formed Base64 "data" string.
// Anything else is left out (and so left alone in the database).
QList<InboxEntry> parseInbox(const QByteArray &body);
// Parses an opened payload; false unless it is a JSON object whose "from",
// "subject", "code" and "ts" are strings and whose code is not empty.
bool parseLinkPayload(const QByteArray &plain, LinkCode *code);
// openBox with the device key, then parseLinkPayload.
bool openLinkMessage(const QByteArray &box, const QString &deviceKey, LinkCode *code);

// --- Device list -------------------------------------------------------------

// Elements without a non-empty string "sid" and "key" are dropped; anything
// unreadable gives an empty list.
QList<PairedDevice> parsePairedDevices(const QByteArray &json);
QByteArray serializePairedDevices(const QList<PairedDevice> &devices);
