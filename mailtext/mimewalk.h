#pragma once

#include <QByteArray>
#include <QList>

// The MIME side of reading a mail, kept apart so that no GLib header meets
// a Qt one. Bytes in, bytes out.

// One text part chosen for reading, its transfer encoding already undone.
struct MimeTextPart
{
    QByteArray type;     // "text/plain" or "text/html"
    QByteArray charset;  // the label as given, may be empty
    QByteArray encoding; // the transfer encoding as given, lower case; empty when none
    QByteArray bytes;    // decoded octets, still in the labelled charset
    int forwardDepth = 0; // 0 for the mail itself, 1 for a mail forwarded in it, ...
};

// The text part of the mail and of each mail forwarded in it (in that order):
// for every message, its first text/plain part with content that is not an
// attachment, else its first such text/html part. Empty when there is none or
// the bytes are not a message. At most `maxDecoded` octets are decoded in all.
QList<MimeTextPart> mimeTextParts(const QByteArray &raw, qsizetype maxDecoded);
