#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Unfolded value of the first header line named `field` (case-insensitive)
// in a CRLF-separated header block, with MIME encoded words decoded,
// trimmed and cut to 220 characters; empty when the field is absent.
QString headerValue(const QString &headerBlock, const QString &field);

// Bare e-mail address of a sender text, or the trimmed text when there is none.
QString senderAddress(const QString &from);

// Short display name of a sender (at most 48 characters).
QString senderName(const QString &from);

// One upper-case character for a round avatar: from the brand name when
// given, else from the sender's name; "?" when there is nothing usable.
QString avatarInitial(const QString &from, const QString &brandName = QString());

// Bytes of an encoded word read in the labelled charset; UTF-8 when the
// label is unknown.
QString decodeCharset(const QByteArray &bytes, const QString &charsetLabel);

// ISO-8859-9 (or, with windowsCodePage, Windows-1254) bytes as text, for
// Qt builds that have no converter for those labels.
QString decodeTurkishLegacy(const QByteArray &bytes, bool windowsCodePage);

// A Date header value (RFC 5322, with the obsolete forms real mail uses:
// no weekday, two-digit years, zone names, a trailing comment) as a point in
// time; invalid when it cannot be read.
QDateTime parseMailDate(const QString &value);
