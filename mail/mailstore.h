#pragma once

#include "core/clock.h"
#include "mail/accountsecrets.h"
#include "mail/categories.h"
#include "mail/mailrecords.h"
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
    // The accounts a poll may log in to, each with its queued \Seen flags.
    QList<EmailAccount> pollableAccounts() const;
    QList<Category> categories() const { return m_categories; }
    // Mails of `account` (any case) in `category`, newest first by mailTime;
    // an empty argument does not narrow.
    QList<MailItem> mailsMatching(const QString &account, const QString &category) const;

public slots:
    void addMails(const QList<MailItem> &items);
    void addMail(const MailItem &item);
    void markSeen(const QString &id);
    void loadDemoMails();
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
    // The server now has these \Seen flags; they leave the account's queue.
    void seenStored(const QString &address, const QStringList &serverUids);

    void addOrUpdateCategory(const Category &category);
    void removeCategory(const QString &name);

signals:
    void mailsChanged();
    void newCode(const MailItem &mail);
    void accountsChanged();
    void categoriesChanged();

private:
    Clock m_clock;
    void loadAccounts();
    void loadCategories();
    void saveAccounts();
    void saveCategories() const;
    void saveSeenQueue() const;
    void loadSeenQueue();

    std::unique_ptr<MailStorage> m_storage;
    AccountSecrets m_secrets;
    // The accounts as last read or written, secrets in the file form: what a
    // restart would load.
    QByteArray m_storedAccounts;

    QList<MailItem> m_mails;
    QList<EmailAccount> m_accounts;
    QList<Category> m_categories;
    // Lower-cased address -> "UIDVALIDITY:UID" of mails marked read here.
    QHash<QString, QStringList> m_seenQueue;
};
