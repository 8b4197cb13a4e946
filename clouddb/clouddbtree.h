#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// The JSON tree of the local realtime database, without any I/O: keys,
// request paths and the node operations with the hosted database's
// semantics (null or an empty object deletes, empty parents vanish,
// primitives in the way of a write are replaced).

inline constexpr int kCloudDbMaxDepth = 32;
inline constexpr int kCloudDbMaxKeyBytes = 768;

// Non-empty, at most 768 bytes of UTF-8, none of . $ # [ ] / and no
// control character or DEL.
bool isValidCloudDbKey(const QString &key);

// Splits the still percent-encoded request path ("/a/b%20c.json") into
// decoded segments. Splitting happens before decoding, so an encoded "/"
// stays inside its segment (and is then refused as a key). Query text must
// already be removed. Empty segments ("//") are skipped, as the hosted
// database does.
bool splitCloudDbPath(const QByteArray &encodedPath, QStringList *segments, QString *error);

// Parses a request body holding any JSON value, primitives included.
bool parseCloudDbJson(const QByteArray &body, QJsonValue *value, QString *error);

// Checks every object key of the value and that `baseDepth` plus its own
// nesting stays within kCloudDbMaxDepth.
bool checkCloudDbValue(const QJsonValue &value, int baseDepth, QString *error);

// The value as stored: nulls and empty objects dropped, arrays turned into
// objects keyed by index. Returns null when nothing is left.
QJsonValue normalizeCloudDbValue(const QJsonValue &value);

// The value as answered: objects whose keys are all small indexes come back
// as arrays, like the hosted database shows them.
QJsonValue renderCloudDbValue(const QJsonValue &stored);

// The node at the path, or null when it is missing.
QJsonValue cloudDbNode(const QJsonValue &root, const QStringList &path);

// The root after writing the (normalized) value at the path.
QJsonValue cloudDbWithNode(const QJsonValue &root, const QStringList &path, const QJsonValue &value);

// Compact JSON text of any value, "null" included.
QByteArray cloudDbJsonText(const QJsonValue &value);
