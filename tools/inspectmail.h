#pragma once

#include <QByteArray>
#include <QString>

// What the mail poll would take from one raw RFC 822 mail.
struct RawMailParts
{
    QString error; // non-empty when the input is not a usable mail
    QString from;
    QString subject;
    QString text;  // body after the header block: first 2048 octets as UTF-8
};

// Splits a raw mail into header values and text. Never fails hard: junk comes
// back with `error` set.
RawMailParts parseRawMail(const QByteArray &raw);

// One JSON Lines record (no line end) for a mail; `file` null when empty.
QByteArray inspectionLine(const QString &file, const QString &from, const QString &subject, const QString &text);
