#include "mail/silenced.h"

#include "recognition/headerdecode.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool validDomain(const QString &d)
{
    if (d.isEmpty() || d.size() > 253 || d.startsWith(QLatin1Char('.')) || d.endsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : d) {
        if (c.isSpace() || c == QLatin1Char('@') || c == QLatin1Char('<') || c == QLatin1Char('>'))
            return false;
    }
    return !d.contains(QStringLiteral(".."));
}

bool validAddress(const QString &a)
{
    const qsizetype at = a.lastIndexOf(QLatin1Char('@'));
    return at > 0 && validDomain(a.mid(at + 1)) && !a.left(at).contains(QLatin1Char(' '));
}

bool valid(const SilencedSender &e)
{
    return e.domain ? validDomain(e.value) : validAddress(e.value);
}

} // namespace

SilencedSender silencedSender(const QString &text, bool domain)
{
    QString v = text.trimmed().toLower();
    if (domain) {
        while (v.startsWith(QLatin1Char('@')) || v.startsWith(QLatin1Char('.')))
            v.remove(0, 1);
    }
    return {v, domain};
}

bool SilencedSenders::add(const SilencedSender &entry)
{
    if (!valid(entry) || m_entries.contains(entry) || m_entries.size() >= kMaxEntries)
        return false;
    m_entries.append(entry);
    return true;
}

bool SilencedSenders::remove(const SilencedSender &entry)
{
    return m_entries.removeAll(entry) > 0;
}

bool SilencedSenders::covers(const QString &from) const
{
    if (m_entries.isEmpty())
        return false;
    const QString address = senderAddress(from).trimmed().toLower();
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    if (at <= 0)
        return false;
    const QString host = address.mid(at + 1);
    for (const SilencedSender &e : m_entries) {
        if (!e.domain) {
            if (e.value == address)
                return true;
            continue;
        }
        if (host == e.value
            || (host.size() > e.value.size() && host.endsWith(e.value)
                && host.at(host.size() - e.value.size() - 1) == QLatin1Char('.')))
            return true;
    }
    return false;
}

QByteArray SilencedSenders::toJson() const
{
    QJsonArray array;
    for (const SilencedSender &e : m_entries) {
        QJsonObject o;
        o.insert(e.domain ? QStringLiteral("domain") : QStringLiteral("address"), e.value);
        array.append(o);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

SilencedSenders SilencedSenders::fromJson(const QByteArray &json)
{
    SilencedSenders list;
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    for (const QJsonValue &item : doc.array()) {
        const QJsonObject o = item.toObject();
        if (o.contains(QStringLiteral("domain")))
            list.add(silencedSender(o.value(QStringLiteral("domain")).toString(), true));
        else
            list.add(silencedSender(o.value(QStringLiteral("address")).toString(), false));
    }
    return list;
}
