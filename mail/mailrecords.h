#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// The IMAP host of the "gmail" catalogue entry; also the default host of a
// new account.
inline constexpr const char *kGmailImapHost = "imap.gmail.com";

// One configured IMAP mailbox. Identity: address, compared ignoring case.
struct EmailAccount
{
    QString address;
    QString provider = QStringLiteral("auto");
    QString host = QString::fromLatin1(kGmailImapHost);
    quint16 port = 993;
    QString user;
    QString pass;
    bool enabled = true;
    // The outgoing server set by hand; an empty host means the catalogue's.
    QString smtpHost;
    quint16 smtpPort = 0; // 0: 587 with STARTTLS, else 465
    bool smtpStartTls = false;
    // The server refused the login: polling waits until the settings change
    // or the user resumes the account.
    bool loginRefused = false;
    // "UIDVALIDITY:UID" of mails read here whose \Seen flag the next session sets.
    QStringList pendingSeen; // runtime only, filled from the store for a poll
    QString lastError; // runtime only
    QString lastOk;    // runtime only, "HH:mm"
};

// One mail taken in, with the code found in it. Identity: id, exact.
struct MailItem
{
    QString id;
    QString account;
    QString from;
    QString subject;
    QString preview;
    QString body;
    QString code;
    qint32 confidence = 0;
    QDateTime received; // when the program took the mail in
    QDateTime sent;     // the mail's own Date header; invalid when missing or unreadable
    bool seen = false;
    // Where the server keeps it: "UIDVALIDITY:UID", empty when unknown (demo mails).
    QString serverUid;
};

// The time a mail is shown and ordered by: its own Date, else when it was taken in.
inline QDateTime mailTime(const MailItem &m)
{
    return m.sent.isValid() ? m.sent : m.received;
}

// A point in time as people read it, in local time: "HH:mm" on the day of
// `now`, "dd.MM HH:mm" in its year, else "dd.MM.yyyy"; empty when invalid.
QString readableTime(const QDateTime &when, const QDateTime &now);

inline bool sameAccount(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Q_DECLARE_METATYPE(EmailAccount)
Q_DECLARE_METATYPE(MailItem)

// Registers the records (and their lists) for queued signals; idempotent.
void registerMailMetaTypes();
