#pragma once

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

// Owner of the accounts, categories and mails taken in, and of the inbox
// filters. Accounts and categories persist in the per-user settings store;
// mails, the filters and the accounts' poll status (last error, last success)
// live in memory only. The accounts, passwords included, are written only
// when something that must survive a restart changed, never for a poll's
// status. GUI thread only.
class MailStore : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxMails = 500;

    explicit MailStore(QObject *parent = nullptr);
    // Keeps its records in `storage` instead of the settings store.
    explicit MailStore(std::unique_ptr<MailStorage> storage, QObject *parent = nullptr);
    ~MailStore() override;

    QList<MailItem> mails() const { return m_mails; }
    QList<EmailAccount> accounts() const { return m_accounts; }
    // The accounts a poll may log in to, each with its queued \Seen flags.
    QList<EmailAccount> pollableAccounts() const;
    QList<Category> categories() const { return m_categories; }
    QString categoryFilter() const { return m_categoryFilter; }
    QString accountFilter() const { return m_accountFilter; }

    // Mails passing both the account and the category filter, newest first
    // by mailTime.
    QList<MailItem> filteredMails() const;

public slots:
    void addMails(const QList<MailItem> &items);
    void addMail(const MailItem &item);
    void markSeen(const QString &id);
    void setCategoryFilter(const QString &name);
    void setAccountFilter(const QString &address);
    void clearAccountFilter();
    void loadDemoMails();

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
    void loadAccounts();
    void loadCategories();
    void saveAccounts();
    void saveCategories() const;
    void saveSeenQueue() const;

    std::unique_ptr<MailStorage> m_storage;
    // The accounts as last read or written: what a restart would load.
    QByteArray m_storedAccounts;

    QList<MailItem> m_mails;
    QList<EmailAccount> m_accounts;
    QList<Category> m_categories;
    QString m_categoryFilter;
    QString m_accountFilter;
    // Lower-cased address -> "UIDVALIDITY:UID" of mails marked read here.
    QHash<QString, QStringList> m_seenQueue;
};
