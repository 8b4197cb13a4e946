#include "pages/inboxfilter.h"

#include "mail/mailstore.h"

InboxFilter::InboxFilter(MailStore *store, QObject *parent) : QObject(parent), m_store(store)
{
    connect(m_store, &MailStore::categoriesChanged, this, &InboxFilter::dropRemovedCategory);
}

QList<MailItem> InboxFilter::mails() const
{
    return m_store->mailsMatching(m_account, m_category);
}

void InboxFilter::setAccount(const QString &address)
{
    m_account = address;
    emit changed();
}

void InboxFilter::clearAccount()
{
    setAccount(QString());
}

void InboxFilter::setCategory(const QString &name)
{
    m_category = name;
    emit changed();
}

void InboxFilter::dropRemovedCategory()
{
    // A filter on a category that is gone would hide every mail.
    if (m_category.isEmpty())
        return;
    for (const Category &c : m_store->categories())
        if (c.name == m_category)
            return;
    setCategory(QString());
}
