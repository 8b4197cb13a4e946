#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "mail/mailactions.h"

// Pure steps of the mail commands (mark read, move to the trash, move back):
// reply readers and a runner that turns an account's queue into command
// lines and the server's answers into results. No I/O: the blocking poll and
// the event-driven session both drive the same runner.

// What a SELECT answer tells about the mailbox.
struct ImapSelectInfo
{
    QString uidValidity;
    quint32 uidNext = 0; // 0: not given
};
ImapSelectInfo parseSelectInfo(const QByteArray &reply);

// The mailbox a LIST answer marks \Trash (RFC 6154), unquoted; empty when none.
QString parseTrashFolder(const QByteArray &listReply);

// The source and destination UIDs of a COPYUID code (RFC 4315) of the reply,
// sets expanded; `uidValidity` empty when the reply has none.
struct ImapCopyUid
{
    QString uidValidity;
    QList<quint32> from, to;
    // The destination of one source UID; 0 when not named.
    quint32 destination(quint32 uid) const;
};
ImapCopyUid parseCopyUid(const QByteArray &reply);

// A mailbox name as an IMAP quoted string.
QByteArray imapMailboxArg(const QString &name);

// Runs one account's queued commands in order. next() gives the command line
// (without tag) to send, reply() takes the server's whole answer to it (the
// tagged status line included). Every command is checked against the
// UIDVALIDITY of the folder it names: a stale one fails and touches nothing.
class ImapActionRun
{
public:
    ImapActionRun(const QList<MailAction> &actions, const QStringList &capabilities, const QString &inboxUidValidity);

    // False when nothing is left to send; the INBOX is selected again then.
    bool next(QByteArray *command);
    void reply(const QByteArray &reply);
    // The connection ended before the runner did: what was not answered is
    // NotSent and waits for the next session.
    void abandon();
    // One per action, in order, once done (or after abandon()).
    QList<MailActionResult> results() const { return m_results; }
    // INBOX UIDs the commands put there (a Restore): a fetch of new mail must
    // not take them for new ones.
    QList<quint32> restoredUids() const { return m_restored; }
    // The INBOX's UIDVALIDITY after the run (a reselect may tell a new one).
    QString inboxUidValidity() const { return m_inboxValidity; }

private:
    enum class Await { None, Capability, List, SelectTrash, Move, Copy, Delete, Expunge, Store, SelectInbox };
    void finish(MailActionResult::Outcome outcome, const QString &message = QString());
    bool plan(QByteArray *command);
    bool hasCap(const char *cap) const;
    const MailAction &current() const { return m_actions.at(m_index); }

    QList<MailAction> m_actions;
    QStringList m_caps;
    bool m_capsAsked = false;
    QString m_inboxValidity;
    qsizetype m_index = 0;
    Await m_await = Await::None;
    // m_await names a command still to send, not one sent.
    bool m_followUp = false;
    bool m_listed = false;
    QString m_trash;
    // The folder selected now: empty is INBOX.
    QString m_selected;
    QString m_selectedValidity;
    bool m_finalSelect = false;
    quint32 m_newUid = 0;
    QString m_newValidity;
    QList<MailActionResult> m_results;
    QList<quint32> m_restored;
};
