#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A sender whose codes the user does not want acted on: one whole address,
// or a domain with every domain under it.
struct SilencedSender
{
    QString value; // lower-cased address or domain
    bool domain = false;
    bool operator==(const SilencedSender &o) const { return value == o.value && domain == o.domain; }
};

// The user's list of silenced senders. Pure.
class SilencedSenders
{
public:
    static constexpr int kMaxEntries = 1000;

    QList<SilencedSender> entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // False when it is there already, empty, not an address (domain: not a
    // host name), or the list is full.
    bool add(const SilencedSender &entry);
    bool remove(const SilencedSender &entry);
    // Whether the sender of a From header is silenced: by its whole address
    // (any case), or by a domain label-wise ("shop.com" covers
    // "news.shop.com", not "myshop.com").
    bool covers(const QString &from) const;

    // Stored as a JSON array of {"address": ...} or {"domain": ...}; damaged
    // entries are skipped.
    QByteArray toJson() const;
    static SilencedSenders fromJson(const QByteArray &json);

private:
    QList<SilencedSender> m_entries;
};

// The entry for an address or domain as the user typed it: trimmed and
// lower-cased, a leading "@" or "." of a domain dropped.
SilencedSender silencedSender(const QString &text, bool domain);
