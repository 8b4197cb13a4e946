#include "mail/mailstore.h"

#include "core/settings.h"
#include "mail/mailstorage.h"
#include "mail/storedrecords.h"
#include "recognition/coderecogniser.h"
#include "recognition/headerdecode.h"
#include "secrets/secretstore.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

const QString kAccountsKey = QLatin1String(SettingsKey::kAccounts);
const QString kCategoriesKey = QLatin1String(SettingsKey::kCategories);
const QString kSeenQueueKey = QLatin1String(SettingsKey::kSeenQueue);
const QString kActionsKey = QLatin1String(SettingsKey::kMailActions);
const QString kSilencedKey = QLatin1String(SettingsKey::kSilencedSenders);

} // namespace

CodeMatch extractMailCode(const MailItem &mail)
{
    if (mail.body.isEmpty())
        return recogniseCode(mail.subject, mail.preview);
    return recogniseCode(mail.subject, mail.body, mail.emphasis);
}

MailStore::MailStore(QObject *parent, const Clock &clock) : MailStore(userSettingsMailStorage(), parent, clock) {}

MailStore::MailStore(std::unique_ptr<MailStorage> storage, QObject *parent, const Clock &clock)
    : MailStore(std::move(storage), currentSecretKeeper(), parent, clock)
{
}

MailStore::MailStore(std::unique_ptr<MailStorage> storage, std::shared_ptr<SecretKeeper> secrets, QObject *parent,
                     const Clock &clock)
    : QObject(parent), m_clock(clock), m_storage(std::move(storage)), m_secrets(std::move(secrets))
{
    loadAccounts();
    loadCategories();
    loadActions();
    if (m_categories.isEmpty()) {
        m_categories = defaultCategories();
        saveCategories();
    }
}

void MailStore::loadActions()
{
    m_actions = MailActionQueue::fromJson(m_storage->value(kActionsKey), m_storage->value(kSeenQueueKey));
    m_silenced = SilencedSenders::fromJson(m_storage->value(kSilencedKey));
}

const MailItem *MailStore::mail(const QString &id) const
{
    for (const MailItem &m : m_mails)
        if (m.id == id)
            return &m;
    return nullptr;
}

void MailStore::setSilencedSenders(const SilencedSenders &list)
{
    m_silenced = list;
    m_storage->setValue(kSilencedKey, list.toJson());
    for (MailItem &m : m_mails)
        m.silenced = m_silenced.covers(m.from);
    emit silencedChanged();
    emit mailsChanged();
}

bool MailStore::silenceSenderOf(const QString &id, bool byDomain)
{
    const MailItem *m = mail(id);
    if (!m)
        return false;
    QString value = senderAddress(m->from);
    if (byDomain)
        value = value.mid(value.lastIndexOf(QLatin1Char('@')) + 1);
    SilencedSenders list = m_silenced;
    if (!list.add(silencedSender(value, byDomain)))
        return false;
    setSilencedSenders(list);
    return true;
}

void MailStore::reload()
{
    m_mails.clear();
    m_accounts.clear();
    m_categories.clear();
    loadAccounts();
    loadCategories();
    loadActions();
    if (m_categories.isEmpty()) {
        m_categories = defaultCategories();
        saveCategories();
    }
    emit mailsChanged();
    emit accountsChanged();
    emit categoriesChanged();
    emit silencedChanged();
}

MailStore::~MailStore() = default;

QList<MailItem> MailStore::mailsMatching(const QString &account, const QString &category) const
{
    QList<MailItem> out;
    for (const MailItem &mail : m_mails) {
        if (!account.isEmpty() && !sameAccount(account, mail.account))
            continue;
        if (!category.isEmpty() && categoryOf(m_categories, mail) != category)
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
    // A mail moved back from the trash keeps its card under a new server
    // UID: fetched again, it is the same mail.
    const auto placeOf = [](const MailItem &m) {
        return QStringLiteral("\x01") + m.account.toLower() + QLatin1Char('\n') + m.serverUid;
    };
    for (const MailItem &mail : m_mails) {
        held.insert(mail.id);
        if (!mail.serverUid.isEmpty() && !mail.inTrash)
            held.insert(placeOf(mail));
    }

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
        mail.silenced = m_silenced.covers(mail.from);
        // Only held mails count as duplicates; a batch is not checked
        // against itself.
        if (held.contains(mail.id) || (!mail.serverUid.isEmpty() && held.contains(placeOf(mail))))
            continue;
        fresh.append(mail);
    }

    // Prepending one by one from the back keeps the batch's order and lets
    // the list grow at its front instead of copying all held mails.
    for (qsizetype i = fresh.size() - 1; i >= 0; --i)
        m_mails.prepend(fresh.at(i));
    // Newest first by the mail's own time, so a restart (which fetches again)
    // or a late delivery of an old mail keeps the true order; a mail without
    // any time counts as just arrived.
    auto key = [](const MailItem &m) {
        const QDateTime t = mailTime(m);
        return t.isValid() ? t.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    };
    std::stable_sort(m_mails.begin(), m_mails.end(),
                     [&](const MailItem &a, const MailItem &b) { return key(a) > key(b); });
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
    const bool held = std::any_of(m_mails.cbegin(), m_mails.cend(), [&](const MailItem &m) { return m.id == id; });
    if (held)
        requestAction(id, MailActionKind::MarkSeen);
    else
        emit mailsChanged();
}

bool MailStore::queueAction(const MailItem &mail, const MailAction &action)
{
    if (mail.demo || action.serverUid.isEmpty() || !m_actions.add(mail.account, action))
        return false;
    saveActions();
    emit actionsQueued(mail.account);
    return true;
}

bool MailStore::requestAction(const QString &id, MailActionKind kind)
{
    if (kind == MailActionKind::Restore)
        return undoMove(id);
    for (MailItem &mail : m_mails) {
        if (mail.id != id)
            continue;
        MailAction action;
        action.kind = kind;
        action.serverUid = mail.serverUid;
        action.mailId = mail.id;
        if (kind == MailActionKind::MarkSeen) {
            const bool wasSeen = mail.seen;
            mail.seen = true;
            const bool queued = !wasSeen && !mail.inTrash && queueAction(mail, action);
            emit mailsChanged();
            return queued;
        }
        return !mail.inTrash && queueAction(mail, action);
    }
    return false;
}

bool MailStore::undoMove(const QString &id)
{
    for (const MailItem &mail : m_mails) {
        if (mail.id != id || !mail.inTrash || mail.trashUid.isEmpty())
            continue;
        MailAction action;
        action.kind = MailActionKind::Restore;
        action.serverUid = mail.trashUid;
        action.folder = mail.trashFolder;
        action.mailId = mail.id;
        return queueAction(mail, action);
    }
    return false;
}

QList<MailAction> MailStore::pendingActions(const QString &address) const
{
    return m_actions.pending(address);
}

void MailStore::actionsDone(const QString &address, const QList<MailActionResult> &results)
{
    if (m_actions.settle(address, results))
        saveActions();
    bool changed = false;
    for (const MailActionResult &r : results) {
        if (r.outcome == MailActionResult::Outcome::NotSent)
            continue;
        if (r.outcome == MailActionResult::Outcome::Done) {
            for (MailItem &mail : m_mails) {
                if (!sameAccount(mail.account, address))
                    continue;
                const bool ours = r.action.mailId.isEmpty() ? (r.action.folder.isEmpty() && mail.serverUid == r.action.serverUid)
                                                             : mail.id == r.action.mailId;
                if (!ours)
                    continue;
                switch (r.action.kind) {
                case MailActionKind::MarkSeen:
                    mail.seen = true;
                    break;
                case MailActionKind::MoveToTrash:
                    mail.seen = true;
                    mail.inTrash = true;
                    mail.trashUid = r.newUid;
                    mail.trashFolder = r.newFolder;
                    break;
                case MailActionKind::Restore:
                    if (!r.newUid.isEmpty())
                        mail.serverUid = r.newUid;
                    mail.inTrash = false;
                    mail.trashUid.clear();
                    mail.trashFolder.clear();
                    break;
                }
                changed = true;
            }
        }
        emit actionFinished(r);
    }
    if (changed)
        emit mailsChanged();
}

QList<EmailAccount> MailStore::pollableAccounts() const
{
    QList<EmailAccount> out;
    for (const EmailAccount &a : m_accounts) {
        if (!a.enabled || a.loginRefused || !hasCredentials(a))
            continue;
        EmailAccount copy = a;
        copy.pendingActions = m_actions.pending(a.address);
        out.append(copy);
    }
    return out;
}

void MailStore::saveActions() const
{
    m_storage->setValue(kActionsKey, m_actions.toJson());
    m_storage->setValue(kSeenQueueKey, m_actions.seenQueueJson());
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
    const QDateTime now = m_clock.nowLocal();
    int left = int(std::size(demos));
    for (const Demo &demo : demos) {
        MailItem mail;
        // Sent a few minutes apart, the last one newest, like real mail.
        mail.sent = now.addSecs(-7 * 60 * --left);
        mail.account = QString::fromLatin1(demo.account);
        mail.from = QString::fromLatin1(demo.from);
        mail.subject = QString::fromLatin1(demo.subject);
        mail.body = QString::fromLatin1(demo.body);
        mail.preview = mail.body.left(90);
        mail.received = m_clock.nowLocal();
        mail.demo = true;
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
    if (m_actions.removeAccount(address))
        saveActions();
    saveAccounts();
    emit accountsChanged();
}

void MailStore::setAccountEnabled(const QString &address, bool enabled)
{
    for (EmailAccount &a : m_accounts) {
        if (sameAccount(a.address, address)) {
            a.enabled = enabled;
            a.loginRefused = false;
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

void MailStore::setAccountLoginRefused(const QString &address, const QString &text)
{
    for (EmailAccount &a : m_accounts) {
        if (sameAccount(a.address, address)) {
            a.loginRefused = true;
            a.lastError = text;
        }
    }
    saveAccounts();
    emit accountsChanged();
}

void MailStore::setAccountOk(const QString &address, const QString &timeText)
{
    for (EmailAccount &a : m_accounts) {
        if (sameAccount(a.address, address)) {
            a.lastError.clear();
            a.loginRefused = false;
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
    m_categories.removeIf([&](const Category &c) { return c.name == name; });
    saveCategories();
    emit categoriesChanged();
    emit mailsChanged();
}

void MailStore::loadAccounts()
{
    const QByteArray stored = m_storage->value(kAccountsKey);
    m_accounts = m_secrets.read(stored, m_storage->secretScope());
    // In the form a save would write: a record read from an older or newer
    // version is left as it is until one of its fields really changes.
    m_storedAccounts = accountsToJson(m_accounts);
}

void MailStore::loadCategories()
{
    const QByteArray stored = m_storage->value(kCategoriesKey);
    if (stored.isEmpty())
        return;
    m_categories = categoriesFromJson(stored);
}

void MailStore::saveAccounts()
{
    // Poll status is not part of the stored form, so a poll that changed
    // only that writes nothing (the passwords are not rewritten every round).
    const QByteArray json = accountsToJson(m_accounts);
    if (json == m_storedAccounts)
        return;
    // Signed out, nobody's records are written (nor their secrets kept).
    const QString scope = m_storage->secretScope();
    if (scope.isEmpty())
        return;
    m_storage->setValue(kAccountsKey, m_secrets.write(m_accounts, scope));
    m_storedAccounts = json;
}

void MailStore::saveCategories() const
{
    m_storage->setValue(kCategoriesKey, categoriesToJson(m_categories));
}
