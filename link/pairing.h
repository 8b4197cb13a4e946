#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

// Pure pieces of the pairing protocol: ids, codes, keys and the pairing URI.

// No I, O, 0 or 1, so an id read off a screen cannot be mistyped.
inline constexpr char kSessionIdAlphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
inline constexpr int kSessionIdLength = 8;
inline constexpr int kPairingCodeLength = 6;
inline constexpr int kDeviceNameMax = 64;
inline constexpr char kPairingUriPrefix[] = "MIRELOPLUS://pair?s=";

// A source of uniformly random 32-bit values; the system's cryptographic
// generator in production.
using LinkRandom = std::function<quint32()>;

LinkRandom systemLinkRandom();

// 8 characters, each alphabet[draw >> 27].
QString generateSessionId(const LinkRandom &random);
// (draw * 1,000,000) >> 32, six digits zero-padded.
QString generatePairingCode(const LinkRandom &random);
// 16 bytes, each the top byte of its own draw.
QByteArray generateLinkSalt(const LinkRandom &random);

// Lower-case hexadecimal SHA-256, 64 characters.
QString sha256Hex(const QByteArray &bytes);
// sha256Hex of the UTF-8 of sid + ":" + code.
QString linkKeyFor(const QString &sid, const QString &code);

// Trimmed and upper-cased; empty unless it is exactly 8 characters of the
// alphabet. Only such an id may ever become part of a database path.
QString normalizeSessionId(const QString &text);
bool isValidSessionId(const QString &sid);
// A database key that can safely be put into a path: letters, digits, "-"
// and "_" only (message ids are UUIDs), at most 768 characters.
bool isPlainInboxKey(const QString &key);

QString pairingUri(const QString &sid, const QString &code);
// Reads "MIRELOPLUS://pair?s=SID&c=CODE" (scheme and host in any case, the
// two items in any order). False when it is no pairing link or lacks either
// item; the values are returned as they stand, not yet validated.
bool parsePairingUri(const QString &uri, QString *sid, QString *code);

// The first `max` characters, one less where the cut would split a
// surrogate pair.
QString cutText(const QString &text, int max);

// ISO 8601 without fractions, in UTC or local time.
QString isoUtc(const QDateTime &when);
QString isoLocal(const QDateTime &when);
