#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "mail/mailrecords.h"

// Pure helpers of the send session. No I/O; safe on any thread.

// An outgoing server: implicit TLS from connect, or plain upgraded by STARTTLS.
struct SmtpServer
{
    QString host;
    quint16 port = 465;
    bool startTls = false;
};

// The outgoing server of an account: the one set by hand, else the provider
// catalogue's, else guessed from its IMAP host and address domain.
SmtpServer smtpServerFor(const EmailAccount &acc);

// The body lines trimmed, dot-stuffed and joined with CR LF.
QString smtpBodyText(const QString &body);

// One outgoing reply with the headers that make it a well-formed mail that
// threads under the original.
struct SmtpMessage
{
    QString from;
    QString to;
    QString subject;
    QString body;
    QDateTime date;
    QString messageId;  // "<...@domain>", see smtpNewMessageId
    QString inReplyTo;  // the original's Message-ID; empty when unknown
    QString references; // the original's References
};

// The whole DATA payload (RFC 5322 headers, the Subject RFC 2047 encoded when
// it is not plain ASCII, the body 7bit or base64), ending with the lone-dot line.
QByteArray smtpMessageText(const SmtpMessage &message);

// "<hex of random@domain of from>", "localhost" when the address has no domain.
QString smtpNewMessageId(const QString &from, const QByteArray &random);

// A date as the Date header writes it: "Wed, 09 Dec 2026 02:41:51 +0100".
QString smtpDateText(const QDateTime &when);

// Only the complete "<...>" message ids of a header value, space-joined.
QString smtpMessageIds(const QString &value);

// True when the collected reply contains one of the codes anywhere.
bool smtpReplyHasCode(const QString &reply, const QStringList &codes);

// The three-digit code of the reply's last complete line; empty when it has none.
QString smtpFinalCode(const QString &reply);

// True when the collected reply ends with a complete final line ("250 ..."
// rather than a "250-..." continuation), so nothing of it is left unread.
bool smtpReplyComplete(const QString &reply);
