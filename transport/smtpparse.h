#pragma once

#include <QByteArray>
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

// The whole DATA payload, ending with the lone-dot line.
QByteArray smtpMessageText(const QString &from, const QString &to, const QString &subject,
                           const QString &body);

// True when the collected reply contains one of the codes anywhere.
bool smtpReplyHasCode(const QString &reply, const QStringList &codes);

// The three-digit code of the reply's last complete line; empty when it has none.
QString smtpFinalCode(const QString &reply);

// True when the collected reply ends with a complete final line ("250 ..."
// rather than a "250-..." continuation), so nothing of it is left unread.
bool smtpReplyComplete(const QString &reply);
