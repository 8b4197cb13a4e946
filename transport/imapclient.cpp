#include "transport/imapclient.h"

#include <QDateTime>

#include "mail/mailstore.h"

ImapClient::ImapClient(MailStore *store, QObject *parent) : ImapClient(store, ImapTimeouts(), parent) {}

ImapClient::ImapClient(MailStore *store, const ImapTimeouts &timeouts, QObject *parent)
    : QObject(parent), store(store), worker(new ImapWorker(timeouts))
{
    registerMailMetaTypes();
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &ImapWorker::mailsReady, this, &ImapClient::onMailsReady, Qt::QueuedConnection);
    connect(worker, &ImapWorker::pollDone, this, &ImapClient::onPollDone, Qt::QueuedConnection);
    connect(worker, &ImapWorker::testLog, this, &ImapClient::testLog, Qt::QueuedConnection);
    connect(worker, &ImapWorker::testFinished, this, &ImapClient::onTestFinished);
    connect(worker, &ImapWorker::loginRefused, this, [this](const QString &addr, const QString &msg) {
        if (this->store)
            this->store->setAccountLoginRefused(addr, msg);
    });
    connect(worker, &ImapWorker::seenStored, this, [this](const QString &addr, const QStringList &uids) {
        if (this->store)
            this->store->seenStored(addr, uids);
    });
    connect(worker, &ImapWorker::logMsg, this, [this](const QString &, const QString &msg) { emit status(msg); });
    connect(&timer, &QTimer::timeout, this, &ImapClient::onTick);
    thread.start(QThread::InheritPriority);
    timer.setInterval(25000);
}

ImapClient::~ImapClient()
{
    timer.stop();
    // Interruption plus quit ends a session's running wait at once, so the
    // thread is down long before the 3000 ms are up.
    thread.requestInterruption();
    thread.quit();
    if (!thread.wait(3000)) {
        // Never destroy a running thread; the cut-short session ends soon.
        thread.wait();
    }
}

void ImapClient::start()
{
    timer.start();
    pollNow();
}

void ImapClient::setPollInterval(int ms)
{
    timer.setInterval(ms);
}

int ImapClient::pollInterval() const
{
    return timer.interval();
}

void ImapClient::pollNow()
{
    onTick();
}

void ImapClient::testAccount(EmailAccount acc)
{
    QMetaObject::invokeMethod(worker, "workTest", Qt::QueuedConnection, Q_ARG(EmailAccount, acc));
}

void ImapClient::onTick()
{
    if (!store)
        return;
    // Paused accounts and refused logins are left alone.
    const QList<EmailAccount> pollable = store->pollableAccounts();
    if (pollable.isEmpty())
        return;
    QMetaObject::invokeMethod(worker, "workPoll", Qt::QueuedConnection, Q_ARG(QList<EmailAccount>, pollable),
                              Q_ARG(bool, firstRun));
    firstRun = false;
}

void ImapClient::onMailsReady(QList<MailItem> items)
{
    if (store)
        store->addMails(items);
}

void ImapClient::onPollDone(QString addr, bool ok, QString msg, int count)
{
    if (!store)
        return;
    if (ok) {
        store->setAccountOk(addr, QDateTime::currentDateTime().toString(QStringLiteral("HH:mm")));
        if (count > 0)
            emit status(QStringLiteral("%1 yeni mail: %2").arg(count).arg(addr));
    } else {
        store->setAccountError(addr, msg);
        emit status(addr + QStringLiteral(": ") + msg);
    }
}

void ImapClient::onTestFinished(const QString &addr, bool ok, const QString &msg)
{
    if (store) {
        if (ok)
            store->setAccountOk(addr, QDateTime::currentDateTime().toString(QStringLiteral("HH:mm")));
        else
            store->setAccountError(addr, msg);
    }
    emit testFinished(addr, ok, msg);
    emit status(msg);
}
