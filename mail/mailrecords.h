#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

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
};

inline bool sameAccount(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Q_DECLARE_METATYPE(EmailAccount)
Q_DECLARE_METATYPE(MailItem)

// Registers the records (and their lists) for queued signals; idempotent.
void registerMailMetaTypes();
