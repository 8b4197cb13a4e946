#pragma once

#include <QSet>
#include <QString>

// Which accounts have a poll round under way (queued or running), so that
// rounds of one account never overlap or pile up. Accounts are named by
// address, case ignored. GUI thread only.
class RoundScheduler
{
public:
    // A scheduled round: true when it may start; false (and nothing kept)
    // while a round of the account is under way.
    bool begin(const QString &address);
    // A round asked for because new mail was announced: true when it may
    // start now; otherwise one more round is kept for after the current one.
    bool trigger(const QString &address);
    // The account's round ended: true when a kept round starts now (the
    // account stays under way), false when it is free.
    bool end(const QString &address);
    // Frees the account and drops a kept round.
    void forget(const QString &address);

    bool busy(const QString &address) const;

private:
    QSet<QString> m_busy;
    QSet<QString> m_again;
};
