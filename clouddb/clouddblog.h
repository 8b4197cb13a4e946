#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// The append-only log kept beside the data file: every acknowledged write
// as one JSON line, so a write costs the size of its own value and not of
// the whole tree. The first line names the data file it applies to by the
// SHA-256 of that file's bytes; a log whose base no longer matches was
// already folded into the data file and is ignored.
//
//   {"base":"<64 hex>"}
//   {"p":["mirelo_link","ABCDEFGH"],"v":{...}}

struct CloudDbLogEntry
{
    QStringList path;
    QJsonValue value;
};

struct CloudDbLogContents
{
    QByteArray base;               // empty when the log holds no complete header
    QList<CloudDbLogEntry> entries;
    qsizetype validBytes = 0;      // length of the well-formed prefix
};

// Parses log text. A damaged or unfinished last line (a write cut short by
// a crash, never acknowledged) ends the log at `validBytes`; damage followed
// by further complete lines is refused.
bool parseCloudDbLog(const QByteArray &text, CloudDbLogContents *out, QString *error);

QByteArray cloudDbLogHeader(const QByteArray &base);
QByteArray cloudDbLogLine(const QStringList &path, const QJsonValue &value);

// Hex SHA-256 of the data file's bytes, the log's base.
QByteArray cloudDbSnapshotId(const QByteArray &snapshotBytes);
