#pragma once

#include "mail/mailrecords.h"

#include <QList>
#include <QObject>
#include <QString>

class MailStore;

// What the inbox is narrowed to: one account and/or one category, shared by
// the sidebar and the inbox page. A view only; nothing of it is stored.
class InboxFilter : public QObject
{
    Q_OBJECT
public:
    // Created before the pages connect to the store, so a removed category
    // has left the filter by the time they redraw.
    explicit InboxFilter(MailStore *store, QObject *parent = nullptr);

    QString account() const { return m_account; }
    QString category() const { return m_category; }
    bool isActive() const { return !m_account.isEmpty() || !m_category.isEmpty(); }
    // The store's mails passing both filters, newest first.
    QList<MailItem> mails() const;

public slots:
    void setAccount(const QString &address);
    void clearAccount();
    void setCategory(const QString &name);

signals:
    // Every set, even to the same value: the inbox rebuilds.
    void changed();

private:
    void dropRemovedCategory();

    MailStore *m_store;
    QString m_account;
    QString m_category;
};
