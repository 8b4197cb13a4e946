#pragma once

#include "mail/codetrust.h"
#include "mail/mailrecords.h"
#include "recognition/codeextractor.h"
#include "recognition/emphasis.h"

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
    EmphasisSpans emphasis; // what the HTML set off, over `text`
};

// Reads a raw mail the way the poll does. Never fails hard: junk comes back
// with `error` set.
RawMailParts parseRawMail(const QByteArray &raw);

// The mail as the store would hold it, with its code and confidence; the
// recogniser's whole answer in `match` when given.
MailItem inspectedMail(const QString &from, const QString &subject, const QString &text,
                       const QDateTime &sent = QDateTime(), CodeMatch *match = nullptr,
                       const EmphasisSpans &emphasis = {});

// The trust decision for a mail taken as just delivered: a minute after its
// Date, or now when it has none.
CodeTrust freshMailTrust(const MailItem &mail, int minConfidence);

// One JSON Lines record (no line end) for a mail; `file` null when empty.
// "trusted" and "reason" are the gate's decision for the mail as just
// delivered, at `minConfidence`. "emphasis" lists what the sender set off
// (text and kinds), which the recogniser reads with the text as the poll's does.
QByteArray inspectionLine(const QString &file, const QString &from, const QString &subject, const QString &text,
                          const QString &part = QString(), const QDateTime &sent = QDateTime(),
                          int minConfidence = kDefaultMinConfidence, const EmphasisSpans &emphasis = {});
