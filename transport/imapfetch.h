#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include "core/clock.h"
#include "mail/mailrecords.h"

// Pure steps of fetching new mail: a runner that turns what to fetch into
// command lines and the server's answers into MailItems. No I/O: the blocking
// poll and the event-driven session drive the same runner.
enum class ImapFetchMode {
    // The unseen mails by message number (SEARCH UNSEEN), the newest 8.
    Unseen,
    // As Unseen; when none is unseen, the newest 3 of all, taken as read.
    FirstRun,
    // The unseen mails by UID, the newest 8: after a UIDVALIDITY change.
    UnseenByUid,
    // The mails above the highest UID taken (UID SEARCH UID n:*), the newest 8.
    Above,
};

class ImapFetchRun
{
public:
    enum class Step { Search, SearchAll, Header, Text, Done };

    ImapFetchRun(const QString &account, const QString &uidValidity, quint32 lastUid, ImapFetchMode mode,
                 const Clock &clock = Clock());

    // False when nothing is left to send.
    bool next(QByteArray *command);
    // The server's whole answer to the command next() gave (tagged line
    // included); an empty one means it never answered.
    void reply(const QByteArray &reply);
    // What the command next() gave last asks for.
    Step step() const { return m_step; }
    // The mails built so far, oldest first.
    QList<MailItem> items() const { return m_items; }
    // The highest UID dealt with: taken, or skipped for good (no sender and
    // no subject). Never lower than the one given.
    quint32 lastUid() const { return m_lastUid; }

private:
    void planFrom(const QStringList &found, int keep);
    void advance();
    bool byUid() const { return m_mode == ImapFetchMode::UnseenByUid || m_mode == ImapFetchMode::Above; }

    QString m_account;
    QString m_validity;
    quint32 m_lastUid;
    ImapFetchMode m_mode;
    Clock m_clock;
    Step m_step = Step::Search;
    bool m_sent = false;
    bool m_fromAll = false;
    QStringList m_queue; // message numbers or UIDs still to fetch
    QString m_current;
    QByteArray m_header;
    QString m_currentUid;
    QSet<QString> m_taken;
    QList<MailItem> m_items;
};

// The UID of the first FETCH response of a reply, looked for outside
// literals only; empty when none names one.
QString parseAnyFetchUid(const QByteArray &reply);
