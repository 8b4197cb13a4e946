#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Where the mail store keeps what must survive a restart: the accounts with
// their passwords ("accounts"), the categories ("categories") and the queue
// of \Seen flags ("seenQueue"), each a byte array under its settings key.
// A seam, so tests can see every write.
class MailStorage
{
public:
    virtual ~MailStorage() = default;
    // Empty when the key holds nothing.
    virtual QByteArray value(const QString &key) const = 0;
    virtual void setValue(const QString &key, const QByteArray &value) = 0;
    // Whose the accounts' secrets are, for stores that keep them outside
    // the records; empty while the records are nobody's (signed out).
    virtual QString secretScope() const { return QStringLiteral("accounts"); }
};

// The per-user settings store, opened afresh for every read and write so
// that a change of its location (or another process writing it) is seen.
std::unique_ptr<MailStorage> userSettingsMailStorage();
