#pragma once

#include "mail/mailactions.h"
#include "recognition/emphasis.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// The IMAP host of the "gmail" catalogue entry; also the default host of a
// new account.
inline constexpr const char *kGmailImapHost = "imap.gmail.com";

// How a session proves who it is: the password (IMAP LOGIN, SMTP AUTH LOGIN)
// or a bearer token from a browser sign-in, carried by one of two SASL
// mechanisms.
enum class MailAuth { Password, XOAuth2, OAuthBearer };

// What becomes of a code mail once its code was used: left as it is, marked
// read, or moved to the trash folder.
enum class AfterUse { Leave, MarkSeen, MoveToTrash };

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
    MailAuth auth = MailAuth::Password;
    AfterUse afterUse = AfterUse::Leave;
    // Of a browser sign-in: a secret, stored like the password.
    QString refreshToken;
    // Runtime only, never stored: the bearer token a session logs in with,
    // put in by the token service just before the session.
    QString accessToken;
    // Runtime only, filled from the store for a session: every queued
    // command, in the order to send.
    QList<MailAction> pendingActions;
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
    // The mail's own Message-ID and References, for threading a reply.
    QString messageId;
    QString references;
    // Runtime only: found in its account's first round after start, when
    // the mailbox's old mails come in.
    bool firstRound = false;
    // Runtime only: moved to the trash folder `trashFolder`, where the server
    // gave it `trashUid` ("UIDVALIDITY:UID"; empty when the server said none,
    // and the move cannot be undone).
    bool inTrash = false;
    QString trashUid;
    QString trashFolder;
    // Runtime only: a sample mail ("Demo verisi"), never acted on.
    bool demo = false;
    // Runtime only: from a sender the user silenced; its code never acts.
    bool silenced = false;
    // What the HTML set off in `body`, for the code recogniser when the mail
    // is taken in; not stored.
    EmphasisSpans emphasis;
};

// The time a mail is shown and ordered by: its own Date, else when it was taken in.
inline QDateTime mailTime(const MailItem &m)
{
    return m.sent.isValid() ? m.sent : m.received;
}

// A point in time as people read it, in local time: "HH:mm" on the day of
// `now`, "dd.MM HH:mm" in its year, else "dd.MM.yyyy"; empty when invalid.
QString readableTime(const QDateTime &when, const QDateTime &now);

inline bool usesOAuth(const EmailAccount &acc)
{
    return acc.auth != MailAuth::Password;
}

// Whether the account holds what its login needs: a password, or the
// refresh token of a sign-in.
inline bool hasCredentials(const EmailAccount &acc)
{
    return usesOAuth(acc) ? !acc.refreshToken.isEmpty() : !acc.pass.isEmpty();
}

// "xoauth2", "oauthbearer" or "password": the stored names.
QString mailAuthName(MailAuth auth);
// The stored name back; anything unknown reads as the password.
MailAuth mailAuthFromName(const QString &name);
// "seen", "trash" or empty (leave): the stored names; anything else reads as leave.
QString afterUseName(AfterUse use);
AfterUse afterUseFromName(const QString &name);

inline bool sameAccount(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Q_DECLARE_METATYPE(EmailAccount)
Q_DECLARE_METATYPE(MailItem)

// Registers the records (and their lists) for queued signals; idempotent.
void registerMailMetaTypes();
