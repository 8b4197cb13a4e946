#include "transport/imapclient.h"

#include <QDateTime>

#include "mail/mailstore.h"
#include "transport/idlewatcher.h"

ImapClient::ImapClient(MailStore *store, QObject *parent) : ImapClient(store, ImapTimeouts(), parent) {}

ImapClient::ImapClient(MailStore *store, const ImapTimeouts &timeouts, QObject *parent)
    : ImapClient(store, timeouts, IdleOptions(), parent)
{
}

ImapClient::ImapClient(MailStore *store, const ImapTimeouts &timeouts, const IdleOptions &idle, QObject *parent)
    : QObject(parent), store(store), worker(new ImapWorker(timeouts)), idleOptions(idle)
{
    registerMailMetaTypes();
    if (store)
        worker->setClock(store->clock());
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
    connect(worker, &ImapWorker::roundDone, this, &ImapClient::onRoundDone, Qt::QueuedConnection);
    thread.start(QThread::InheritPriority);
    timer.setInterval(25000);
}

ImapClient::~ImapClient()
{
    timer.stop();
    idle.reset();
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
    if (!store || idle)
        return;
    idle = std::make_unique<IdleWatcher>(idleOptions);
    connect(idle.get(), &IdleWatcher::newMail, this, &ImapClient::onIdleMail);
    connect(idle.get(), &IdleWatcher::instantChanged, this, &ImapClient::onInstantChanged);
    connect(idle.get(), &IdleWatcher::log, this, [this](const QString &, const QString &msg) { emit status(msg); });
    connect(store, &MailStore::accountsChanged, this, &ImapClient::syncIdle);
    syncIdle();
}

void ImapClient::syncIdle()
{
    if (idle && store)
        idle->setAccounts(store->pollableAccounts()); // a refused login ends its IDLE connection too
}

bool ImapClient::isInstant(const QString &addr) const
{
    return instant.contains(addr.toLower());
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
    bool asked = false;
    // Paused accounts and refused logins are left alone; each carries its
    // queued read marks.
    const QList<EmailAccount> all = store->pollableAccounts();
    for (const EmailAccount &acc : all) {
        // A round still under way makes this one redundant.
        if (!rounds.begin(acc.address))
            continue;
        requestRound(acc);
        asked = true;
    }
    if (asked)
        firstRun = false;
}

void ImapClient::requestRound(const EmailAccount &acc)
{
    QMetaObject::invokeMethod(worker, "workRound", Qt::QueuedConnection, Q_ARG(EmailAccount, acc),
                              Q_ARG(bool, firstRun));
}

void ImapClient::onRoundDone(QString addr)
{
    // New mail announced during the round: one more after it.
    if (rounds.end(addr))
        startRoundOf(addr);
}

void ImapClient::onIdleMail(QString addr)
{
    if (rounds.trigger(addr))
        startRoundOf(addr);
}

void ImapClient::startRoundOf(const QString &addr)
{
    if (store) {
        for (const EmailAccount &acc : store->pollableAccounts()) {
            if (sameAccount(acc.address, addr)) {
                requestRound(acc);
                firstRun = false;
                return;
            }
        }
    }
    rounds.forget(addr);
}

void ImapClient::onInstantChanged(QString addr, bool on)
{
    if (on)
        instant.insert(addr.toLower());
    else
        instant.remove(addr.toLower());
    emit instantChanged(addr, on);
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
        store->setAccountOk(addr, store->clock().nowLocal().toString(QStringLiteral("HH:mm")));
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
            store->setAccountOk(addr, store->clock().nowLocal().toString(QStringLiteral("HH:mm")));
        else
            store->setAccountError(addr, msg);
    }
    emit testFinished(addr, ok, msg);
    emit status(msg);
}
