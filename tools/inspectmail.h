#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the mail poll would take from one raw RFC 822 mail.
struct RawMailParts
{
    QString error; // non-empty when the input is not a usable mail
    QString from;
    QString subject;
    QString text;  // the text the mail reader finds, as the poll stores it
    QString part;  // the MIME part the text came from; empty when nothing could be decoded
    QDateTime sent; // the Date header; invalid when missing or unreadable
};

// Reads a raw mail the way the poll does. Never fails hard: junk comes back
// with `error` set.
RawMailParts parseRawMail(const QByteArray &raw);

// One JSON Lines record (no line end) for a mail; `file` null when empty.
QByteArray inspectionLine(const QString &file, const QString &from, const QString &subject, const QString &text,
                          const QString &part = QString());
