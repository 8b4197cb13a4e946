#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>

// What the use of a code asks of the server for its mail.
enum class MailActionKind { MarkSeen, MoveToTrash, Restore };

// One command waiting for a session of the mail's account. `serverUid` is
// "UIDVALIDITY:UID" of the mail in `folder` (empty: INBOX); a Restore names
// the trash folder and the mail's UID there.
struct MailAction
{
    MailActionKind kind = MailActionKind::MarkSeen;
    QString serverUid;
    QString folder;
    // The card it belongs to; empty for flags queued by an older version.
    QString mailId;
    // A move by copy whose connection ended after the copy stood:
    // "UIDVALIDITY:UID" of the copy. Only the original's removal is left,
    // so a second session never copies it again.
    QString copied;
    // The same command on the same mail, whichever card asked for it.
    bool sameCommand(const MailAction &o) const
    {
        return kind == o.kind && serverUid == o.serverUid && folder == o.folder;
    }
};

// What a session made of one action.
struct MailActionResult
{
    enum class Outcome { Done, Failed, NotSent };
    MailAction action;
    Outcome outcome = Outcome::NotSent;
    // Failed: why, for the status line, in the user's words.
    QString message;
    // Done MoveToTrash: the mail's place now ("UIDVALIDITY:UID" in
    // `newFolder`), from the server's COPYUID or MOVE answer; empty when the
    // server gave none, and the move cannot be undone. Done Restore: its new
    // place in INBOX.
    QString newUid;
    QString newFolder;
};

// The commands of every account (by lower-cased address), in the order they
// are to be sent. A session takes an account's list; its results settle it.
class MailActionQueue
{
public:
    // A mailbox gone for good must not grow the queue without bound.
    static constexpr int kMaxPerAccount = 500;

    // False when the same command is queued already or the account's list is full.
    bool add(const QString &address, const MailAction &action);
    QList<MailAction> pending(const QString &address) const;
    // Done and Failed leave the queue; NotSent stays where it was, keeping
    // what the session got done of it (a copy). True when the queue changed.
    bool settle(const QString &address, const QList<MailActionResult> &results);
    bool removeAccount(const QString &address);
    bool isEmpty() const { return m_queue.isEmpty(); }

    // Stored as "mailActions" (every command) beside the older "seenQueue"
    // (the \Seen flags alone: older versions read and settle that one, so it
    // is the word on which flags are still to be set).
    QByteArray toJson() const;
    QByteArray seenQueueJson() const;
    static MailActionQueue fromJson(const QByteArray &actions, const QByteArray &seenQueue);

private:
    QHash<QString, QList<MailAction>> m_queue;
};

Q_DECLARE_METATYPE(MailAction)
Q_DECLARE_METATYPE(MailActionResult)
