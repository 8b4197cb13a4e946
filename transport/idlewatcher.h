#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThread>

#include "mail/mailrecords.h"
#include "transport/idlesession.h"

class IdleHub;

// GUI-thread face of the IDLE connections: one thread of their own serves
// the connection of every enabled account, event driven. The account list
// given decides which connections run; a connection whose settings change is
// started afresh, one whose account is gone, paused or without password ends
// at once. Ending the watcher ends them all without waiting on any server.
class IdleWatcher : public QObject
{
    Q_OBJECT
public:
    explicit IdleWatcher(const IdleOptions &options = IdleOptions(), QObject *parent = nullptr);
    ~IdleWatcher() override;

    void setAccounts(const QList<EmailAccount> &accounts);
    // Whether the account's connection is in IDLE now (address, case ignored).
    bool isInstant(const QString &address) const;
    // Hands queued commands to the account's connection; they come back in
    // actionsDone once, NotSent when the connection could not take them.
    void runActions(const QString &address, const QList<MailAction> &actions);

signals:
    void newMail(QString address);
    // Mails the account's connection fetched itself.
    void mailsReady(QList<MailItem> items);
    void instantChanged(QString address, bool instant);
    void log(QString address, QString message);
    // The server refused the account's access token; its connection waits
    // for a fresh one (setAccounts).
    void tokenRefused(QString address);
    void actionsDone(QString address, QList<MailActionResult> results);

private:
    QThread m_thread;
    IdleHub *m_hub;
    QSet<QString> m_instant;
};
