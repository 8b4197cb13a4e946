#include "mail/mailstore.h"

#include "mail/storedrecords.h"
#include "recognition/coderecogniser.h"

#include <QDateTime>
#include <QSet>
#include <QSettings>
#include <QUuid>

namespace {

const char *const kAccountsKey = "accounts";
const char *const kCategoriesKey = "categories";

// Opened afresh for every load and save, so that a change of the store's
// location (or another process writing it) is always seen.
QSettings userSettings()
{
    return QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
}

} // namespace

CodeMatch extractMailCode(const MailItem &mail)
{
    return recogniseCode(mail.subject, mail.body.isEmpty() ? mail.preview : mail.body);
}

MailStore::MailStore(QObject *parent)
    : QObject(parent)
{
    loadAccounts();
    loadCategories();
    if (m_categories.isEmpty()) {
        m_categories = defaultCategories();
        saveCategories();
    }
}

QList<MailItem> MailStore::filteredMails() const
{
    QList<MailItem> out;
    for (const MailItem &mail : m_mails) {
        if (!m_accountFilter.isEmpty() && !sameAccount(m_accountFilter, mail.account))
            continue;
        if (!m_categoryFilter.isEmpty() && categoryOf(m_categories, mail) != m_categoryFilter)
            continue;
        out.append(mail);
    }
    return out;
}

void MailStore::addMails(const QList<MailItem> &items)
{
    if (items.isEmpty())
        return;

    QSet<QString> held;
    held.reserve(m_mails.size());
    for (const MailItem &mail : m_mails)
        held.insert(mail.id);

    QList<MailItem> fresh;
    fresh.reserve(items.size());
    for (MailItem mail : items) {
        if (mail.id.isEmpty())
            mail.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (mail.code.isEmpty()) {
            const CodeMatch match = extractMailCode(mail);
            mail.code = match.code;
            mail.confidence = match.confidence;
        }
        // Only held mails count as duplicates; a batch is not checked
        // against itself.
        if (held.contains(mail.id))
            continue;
        fresh.append(mail);
    }

    // Prepending one by one from the back keeps the batch's order and lets
    // the list grow at its front instead of copying all held mails.
    for (qsizetype i = fresh.size() - 1; i >= 0; --i)
        m_mails.prepend(fresh.at(i));
    while (m_mails.size() > kMaxMails)
        m_mails.removeLast();

    if (fresh.isEmpty())
        return;
    emit mailsChanged();
    for (const MailItem &mail : fresh) {
        if (!mail.code.isEmpty())
            emit newCode(mail);
    }
}

void MailStore::addMail(const MailItem &item)
{
    addMails(QList<MailItem>{item});
}

void MailStore::markSeen(const QString &id)
{
    for (MailItem &mail : m_mails) {
        if (mail.id == id)
            mail.seen = true;
    }
    emit mailsChanged();
}

void MailStore::setCategoryFilter(const QString &name)
{
    m_categoryFilter = name;
    emit mailsChanged();
}

void MailStore::setAccountFilter(const QString &address)
{
    m_accountFilter = address;
    emit mailsChanged();
}

void MailStore::clearAccountFilter()
{
    m_accountFilter.clear();
    emit mailsChanged();
}

void MailStore::loadDemoMails()
{
    struct Demo
    {
        const char *account;
        const char *from;
        const char *subject;
        const char *body;
    };
    static const Demo demos[] = {
        {"mirelo.demo@gmail.com", "\"Riot Games\" <noreply@mail.accounts.riotgames.com>", "VALORANT giris kodun",
         "Merhaba! Dogrulama kodun: 482 913. 10 dakika gecerli."},
        {"mirelo.demo@gmail.com", "\"Steam\" <noreply@steampowered.com>", "Steam Guard kodun",
         "Hesabina giris icin kodun: 847204"},
        {"mirelo.demo@outlook.com", "\"Epic Games\" <help@acct.epicgames.com>", "Epic Games iki asamali dogrulama",
         "Guvenlik kodun 739201. Kimseyle paylasma."},
        {"mirelo.demo@outlook.com", "\"Discord\" <noreply@discord.com>", "Discord dogrulama", "Kodun: 5518"},
        {"mirelo.demo@gmail.com", "\"GitHub\" <noreply@github.com>", "GitHub OTP", "Verification code: 902-114"},
    };
    for (const Demo &demo : demos) {
        MailItem mail;
        mail.account = QString::fromLatin1(demo.account);
        mail.from = QString::fromLatin1(demo.from);
        mail.subject = QString::fromLatin1(demo.subject);
        mail.body = QString::fromLatin1(demo.body);
        mail.preview = mail.body.left(90);
        mail.received = QDateTime::currentDateTime();
        addMail(mail);
    }
}

void MailStore::addOrUpdateAccount(const EmailAccount &account)
{
    bool replaced = false;
    for (EmailAccount &held : m_accounts) {
        if (sameAccount(held.address, account.address)) {
            held = account;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        m_accounts.append(account);
    saveAccounts();
    emit accountsChanged();
}

void MailStore::removeAccount(const QString &address)
{
    m_accounts.removeIf([&](const EmailAccount &a) { return sameAccount(a.address, address); });
    saveAccounts();
    emit accountsChanged();
}

void MailStore::setAccountEnabled(const QString &address, bool enabled)
{
    for (EmailAccount &a : m_accounts) {
        if (sameAccount(a.address, address)) {
            a.enabled = enabled;
            a.lastError.clear();
        }
    }
    saveAccounts();
    emit accountsChanged();
}

void MailStore::setAccountError(const QString &address, const QString &text)
{
    for (EmailAccount &a : m_accounts) {
        if (sameAccount(a.address, address))
            a.lastError = text;
    }
    saveAccounts();
    emit accountsChanged();
}

void MailStore::setAccountOk(const QString &address, const QString &timeText)
{
    for (EmailAccount &a : m_accounts) {
        if (sameAccount(a.address, address)) {
            a.lastError.clear();
            a.lastOk = timeText;
        }
    }
    saveAccounts();
    emit accountsChanged();
}

void MailStore::addOrUpdateCategory(const Category &category)
{
    bool replaced = false;
    for (Category &held : m_categories) {
        if (held.name == category.name) {
            held = category;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        m_categories.append(category);
    saveCategories();
    emit categoriesChanged();
    emit mailsChanged();
}

void MailStore::removeCategory(const QString &name)
{
    if (m_categoryFilter == name)
        m_categoryFilter.clear();
    m_categories.removeIf([&](const Category &c) { return c.name == name; });
    saveCategories();
    emit categoriesChanged();
    emit mailsChanged();
}

void MailStore::loadAccounts()
{
    const QByteArray stored = userSettings().value(QLatin1String(kAccountsKey)).toByteArray();
    if (stored.isEmpty())
        return;
    m_accounts = accountsFromJson(stored);
}

void MailStore::loadCategories()
{
    const QByteArray stored = userSettings().value(QLatin1String(kCategoriesKey)).toByteArray();
    if (stored.isEmpty())
        return;
    m_categories = categoriesFromJson(stored);
}

void MailStore::saveAccounts() const
{
    userSettings().setValue(QLatin1String(kAccountsKey), accountsToJson(m_accounts));
}

void MailStore::saveCategories() const
{
    userSettings().setValue(QLatin1String(kCategoriesKey), categoriesToJson(m_categories));
}
