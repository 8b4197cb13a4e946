#pragma once

#include "core/clock.h"
#include "mail/accountsecrets.h"
#include "mail/categories.h"
#include "mail/mailactions.h"
#include "mail/mailrecords.h"
#include "mail/silenced.h"
#include "recognition/codeextractor.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class MailStorage;

// Code and confidence for a mail, by the recogniser: subject plus body, or
// the preview when the body is empty.
CodeMatch extractMailCode(const MailItem &mail);

// Owner of the accounts, categories and mails taken in. Accounts and
// categories persist in the per-user settings store; mails and the accounts'
// poll status (last error, last success) live in memory only. The accounts, passwords included, are written only
// when something that must survive a restart changed, never for a poll's
// status. GUI thread only.
class MailStore : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxMails = 500;

    explicit MailStore(QObject *parent = nullptr, const Clock &clock = Clock());
    // Keeps its records in `storage` instead of the settings store.
    explicit MailStore(std::unique_ptr<MailStorage> storage, QObject *parent = nullptr,
                       const Clock &clock = Clock());
    // And keeps the passwords and refresh tokens with `secrets` instead of
    // the keeper installed at start.
    MailStore(std::unique_ptr<MailStorage> storage, std::shared_ptr<SecretKeeper> secrets,
              QObject *parent = nullptr, const Clock &clock = Clock());
    ~MailStore() override;
    // Where the store and the mail sessions feeding it read the time.
    const Clock &clock() const { return m_clock; }

    QList<MailItem> mails() const { return m_mails; }
    QList<EmailAccount> accounts() const { return m_accounts; }
    // The accounts a poll may log in to, each with its queued commands.
    QList<EmailAccount> pollableAccounts() const;
    // The account's queued commands, in the order to send.
    QList<MailAction> pendingActions(const QString &address) const;
    QList<Category> categories() const { return m_categories; }
    SilencedSenders silencedSenders() const { return m_silenced; }
    // The mail with `id`, or null.
    const MailItem *mail(const QString &id) const;
    // Mails of `account` (any case) in `category`, newest first by mailTime;
    // an empty argument does not narrow.
    QList<MailItem> mailsMatching(const QString &account, const QString &category) const;

public slots:
    void addMails(const QList<MailItem> &items);
    void addMail(const MailItem &item);
    // Marked read here at once; the server's \Seen flag is queued.
    void markSeen(const QString &id);
    // Queues `kind` for the mail's server copy (MarkSeen as markSeen; a
    // Restore as undoMove). False when there is nothing to do: no such mail,
    // no server copy, a demo mail, already queued, or already in the trash.
    bool requestAction(const QString &id, MailActionKind kind);
    // Queues the move back to INBOX of a mail moved to the trash, by the UID
    // the server gave it there. False when it was not moved or the server
    // gave no UID.
    bool undoMove(const QString &id);
    // A session's results: done and failed commands leave the queue, the
    // cards follow what was done, and each one is told on.
    void actionsDone(const QString &address, const QList<MailActionResult> &results);
    void loadDemoMails();
    // The new list is stored, and every mail held is marked by it again.
    void setSilencedSenders(const SilencedSenders &list);
    // Silences the sender of mail `id` by address or by its domain; false
    // when there is no such mail or it is silenced that way already.
    bool silenceSenderOf(const QString &id, bool byDomain);
    // Another user signed in (or out): the mails taken in go, and the
    // accounts, categories and read marks are read again from the storage,
    // which now gives that user's own.
    void reload();

    void addOrUpdateAccount(const EmailAccount &account);
    void removeAccount(const QString &address);
    void setAccountEnabled(const QString &address, bool enabled);
    void setAccountError(const QString &address, const QString &text);
    void setAccountOk(const QString &address, const QString &timeText);
    // A refused login stops polling the account; saving its settings again or
    // resuming it (setAccountEnabled) starts it again.
    void setAccountLoginRefused(const QString &address, const QString &text);

    void addOrUpdateCategory(const Category &category);
    void removeCategory(const QString &name);

signals:
    void mailsChanged();
    void newCode(const MailItem &mail);
    void accountsChanged();
    // A command was queued for the account: its session may send it now.
    void actionsQueued(const QString &address);
    // A queued command was done or failed for good.
    void actionFinished(const MailActionResult &result);
    void categoriesChanged();
    void silencedChanged();

private:
    Clock m_clock;
    void loadAccounts();
    void loadCategories();
    void saveAccounts();
    void saveCategories() const;
    void saveActions() const;
    void loadActions();
    bool queueAction(const MailItem &mail, const MailAction &action);

    std::unique_ptr<MailStorage> m_storage;
    AccountSecrets m_secrets;
    // The accounts as last read or written, secrets in the file form: what a
    // restart would load.
    QByteArray m_storedAccounts;

    QList<MailItem> m_mails;
    QList<EmailAccount> m_accounts;
    QList<Category> m_categories;
    MailActionQueue m_actions;
    SilencedSenders m_silenced;
};
