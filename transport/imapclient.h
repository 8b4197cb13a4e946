#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>

#include "mail/mailrecords.h"
#include "transport/imapworker.h"

class MailStore;

// GUI-thread face of mail polling: a repeating timer, a worker thread and the
// ImapWorker on it. Results go into the store and out as status texts.
class ImapClient : public QObject
{
    Q_OBJECT
public:
    explicit ImapClient(MailStore *store, QObject *parent = nullptr);
    // Tests pass shorter protocol waits.
    ImapClient(MailStore *store, const ImapTimeouts &timeouts, QObject *parent = nullptr);
    // Stops the timer and the worker thread; a session blocked on a silent
    // server is cut short, so this returns promptly.
    ~ImapClient() override;

    // Starts the timer and polls at once. Called once after construction.
    void start();
    // The poll period (25000 ms unless a test changes it).
    void setPollInterval(int ms);
    int pollInterval() const;

public slots:
    void pollNow();
    void testAccount(EmailAccount acc);
    void onTick();
    void onMailsReady(QList<MailItem> items);
    void onPollDone(QString addr, bool ok, QString msg, int count);

signals:
    void status(QString msg);
    void testLog(QString msg);
    void testFinished(QString addr, bool ok, QString msg);

private:
    void onTestFinished(const QString &addr, bool ok, const QString &msg);

    MailStore *store;
    QTimer timer;
    QThread thread;
    ImapWorker *worker;
    bool firstRun = true;
};
