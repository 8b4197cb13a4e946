#include "mail/mailactions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

const char *kindName(MailActionKind kind)
{
    switch (kind) {
    case MailActionKind::MarkSeen:
        return "seen";
    case MailActionKind::MoveToTrash:
        return "trash";
    case MailActionKind::Restore:
        return "restore";
    }
    return "seen";
}

bool kindFromName(const QString &name, MailActionKind *kind)
{
    for (MailActionKind k : {MailActionKind::MarkSeen, MailActionKind::MoveToTrash, MailActionKind::Restore}) {
        if (name == QLatin1String(kindName(k))) {
            *kind = k;
            return true;
        }
    }
    return false;
}

} // namespace

bool MailActionQueue::add(const QString &address, const MailAction &action)
{
    if (action.serverUid.isEmpty())
        return false;
    QList<MailAction> &list = m_queue[address.toLower()];
    for (const MailAction &held : list)
        if (held.sameCommand(action))
            return false;
    if (list.size() >= kMaxPerAccount)
        return false;
    list.append(action);
    return true;
}

QList<MailAction> MailActionQueue::pending(const QString &address) const
{
    return m_queue.value(address.toLower());
}

bool MailActionQueue::settle(const QString &address, const QList<MailActionResult> &results)
{
    auto it = m_queue.find(address.toLower());
    if (it == m_queue.end())
        return false;
    bool changed = false;
    for (const MailActionResult &r : results) {
        if (r.outcome != MailActionResult::Outcome::NotSent) {
            changed |= it->removeIf([&](const MailAction &a) { return a.sameCommand(r.action); }) > 0;
            continue;
        }
        if (r.action.copied.isEmpty())
            continue;
        for (MailAction &a : *it) {
            if (a.sameCommand(r.action) && a.copied != r.action.copied) {
                a.copied = r.action.copied;
                changed = true;
            }
        }
    }
    if (it->isEmpty())
        m_queue.erase(it);
    return changed;
}

bool MailActionQueue::removeAccount(const QString &address)
{
    return m_queue.remove(address.toLower()) > 0;
}

QByteArray MailActionQueue::toJson() const
{
    QJsonObject o;
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
        QJsonArray list;
        for (const MailAction &a : it.value()) {
            QJsonObject entry{{QStringLiteral("k"), QLatin1String(kindName(a.kind))},
                              {QStringLiteral("uid"), a.serverUid}};
            if (!a.folder.isEmpty())
                entry.insert(QStringLiteral("folder"), a.folder);
            if (!a.mailId.isEmpty())
                entry.insert(QStringLiteral("mail"), a.mailId);
            if (!a.copied.isEmpty())
                entry.insert(QStringLiteral("copied"), a.copied);
            list.append(entry);
        }
        o.insert(it.key(), list);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray MailActionQueue::seenQueueJson() const
{
    QJsonObject o;
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
        QJsonArray uids;
        for (const MailAction &a : it.value())
            if (a.kind == MailActionKind::MarkSeen && a.folder.isEmpty())
                uids.append(a.serverUid);
        if (!uids.isEmpty())
            o.insert(it.key(), uids);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

MailActionQueue MailActionQueue::fromJson(const QByteArray &actions, const QByteArray &seenQueue)
{
    // The \Seen flags of INBOX still to be set are those of the older key,
    // which an older version may have settled since; the newer key keeps
    // their order among the other commands and the cards they belong to.
    QHash<QString, QSet<QString>> seen;
    const QJsonObject older = QJsonDocument::fromJson(seenQueue).object();
    for (auto it = older.begin(); it != older.end(); ++it)
        for (const QJsonValue &v : it.value().toArray())
            if (v.isString() && !v.toString().isEmpty())
                seen[it.key().toLower()].insert(v.toString());

    MailActionQueue q;
    const QJsonObject all = QJsonDocument::fromJson(actions).object();
    for (auto it = all.begin(); it != all.end(); ++it) {
        for (const QJsonValue &v : it.value().toArray()) {
            const QJsonObject e = v.toObject();
            MailAction a;
            if (!kindFromName(e.value(QStringLiteral("k")).toString(), &a.kind))
                continue;
            a.serverUid = e.value(QStringLiteral("uid")).toString();
            a.folder = e.value(QStringLiteral("folder")).toString();
            a.mailId = e.value(QStringLiteral("mail")).toString();
            a.copied = e.value(QStringLiteral("copied")).toString();
            if (a.kind == MailActionKind::MarkSeen && a.folder.isEmpty()
                && !seen.value(it.key().toLower()).contains(a.serverUid))
                continue;
            q.add(it.key(), a);
        }
    }
    for (auto it = older.begin(); it != older.end(); ++it) {
        for (const QJsonValue &v : it.value().toArray()) {
            MailAction a;
            a.serverUid = v.toString();
            q.add(it.key(), a); // already held: skipped
        }
    }
    return q;
}
