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
    : QObject(parent), m_store(store), m_worker(new ImapWorker(timeouts)), m_idleOptions(idle)
{
    registerMailMetaTypes();
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &ImapWorker::mailsReady, this, &ImapClient::onMailsReady, Qt::QueuedConnection);
    connect(m_worker, &ImapWorker::pollDone, this, &ImapClient::onPollDone, Qt::QueuedConnection);
    connect(m_worker, &ImapWorker::testLog, this, &ImapClient::testLog, Qt::QueuedConnection);
    connect(m_worker, &ImapWorker::testFinished, this, &ImapClient::onTestFinished);
    connect(m_worker, &ImapWorker::loginRefused, this, [this](const QString &addr, const QString &msg) {
        if (this->m_store)
            this->m_store->setAccountLoginRefused(addr, msg);
    });
    connect(m_worker, &ImapWorker::seenStored, this, [this](const QString &addr, const QStringList &uids) {
        if (this->m_store)
            this->m_store->seenStored(addr, uids);
    });
    connect(m_worker, &ImapWorker::logMsg, this, [this](const QString &, const QString &msg) { emit status(msg); });
    connect(&m_timer, &QTimer::timeout, this, &ImapClient::onTick);
    connect(m_worker, &ImapWorker::roundDone, this, &ImapClient::onRoundDone, Qt::QueuedConnection);
    m_thread.start(QThread::InheritPriority);
    m_timer.setInterval(25000);
}

ImapClient::~ImapClient()
{
    m_timer.stop();
    m_idle.reset();
    // Interruption plus quit ends a session's running wait at once, so the
    // thread is down long before the 3000 ms are up.
    m_thread.requestInterruption();
    m_thread.quit();
    if (!m_thread.wait(3000)) {
        // Never destroy a running thread; the cut-short session ends soon.
        m_thread.wait();
    }
}

void ImapClient::start()
{
    m_timer.start();
    pollNow();
    if (!m_store || m_idle)
        return;
    m_idle = std::make_unique<IdleWatcher>(m_idleOptions);
    connect(m_idle.get(), &IdleWatcher::newMail, this, &ImapClient::onIdleMail);
    connect(m_idle.get(), &IdleWatcher::instantChanged, this, &ImapClient::onInstantChanged);
    connect(m_idle.get(), &IdleWatcher::log, this, [this](const QString &, const QString &msg) { emit status(msg); });
    connect(m_store, &MailStore::accountsChanged, this, &ImapClient::syncIdle);
    syncIdle();
}

void ImapClient::syncIdle()
{
    if (m_idle && m_store)
        m_idle->setAccounts(m_store->pollableAccounts()); // a refused login ends its IDLE connection too
}

bool ImapClient::isInstant(const QString &addr) const
{
    return m_instant.contains(addr.toLower());
}

void ImapClient::setPollInterval(int ms)
{
    m_timer.setInterval(ms);
}

int ImapClient::pollInterval() const
{
    return m_timer.interval();
}

void ImapClient::pollNow()
{
    onTick();
}

void ImapClient::testAccount(EmailAccount acc)
{
    QMetaObject::invokeMethod(m_worker, "workTest", Qt::QueuedConnection, Q_ARG(EmailAccount, acc));
}

void ImapClient::onTick()
{
    if (!m_store)
        return;
    bool asked = false;
    // Paused accounts and refused logins are left alone; each carries its
    // queued read marks.
    const QList<EmailAccount> all = m_store->pollableAccounts();
    for (const EmailAccount &acc : all) {
        // A round still under way makes this one redundant.
        if (!m_rounds.begin(acc.address))
            continue;
        requestRound(acc);
        asked = true;
    }
    if (asked)
        m_firstRun = false;
}

void ImapClient::requestRound(const EmailAccount &acc)
{
    QMetaObject::invokeMethod(m_worker, "workRound", Qt::QueuedConnection, Q_ARG(EmailAccount, acc),
                              Q_ARG(bool, m_firstRun));
}

void ImapClient::onRoundDone(QString addr)
{
    // New mail announced during the round: one more after it.
    if (m_rounds.end(addr))
        startRoundOf(addr);
}

void ImapClient::onIdleMail(QString addr)
{
    if (m_rounds.trigger(addr))
        startRoundOf(addr);
}

void ImapClient::startRoundOf(const QString &addr)
{
    if (m_store) {
        for (const EmailAccount &acc : m_store->pollableAccounts()) {
            if (sameAccount(acc.address, addr)) {
                requestRound(acc);
                m_firstRun = false;
                return;
            }
        }
    }
    m_rounds.forget(addr);
}

void ImapClient::onInstantChanged(QString addr, bool on)
{
    if (on)
        m_instant.insert(addr.toLower());
    else
        m_instant.remove(addr.toLower());
    emit instantChanged(addr, on);
}

void ImapClient::onMailsReady(QList<MailItem> items)
{
    if (m_store)
        m_store->addMails(items);
}

void ImapClient::onPollDone(QString addr, bool ok, QString msg, int count)
{
    if (!m_store)
        return;
    if (ok) {
        m_store->setAccountOk(addr, QDateTime::currentDateTime().toString(QStringLiteral("HH:mm")));
        if (count > 0)
            emit status(QStringLiteral("%1 yeni mail: %2").arg(count).arg(addr));
    } else {
        m_store->setAccountError(addr, msg);
        emit status(addr + QStringLiteral(": ") + msg);
    }
}

void ImapClient::onTestFinished(const QString &addr, bool ok, const QString &msg)
{
    if (m_store) {
        if (ok)
            m_store->setAccountOk(addr, QDateTime::currentDateTime().toString(QStringLiteral("HH:mm")));
        else
            m_store->setAccountError(addr, msg);
    }
    emit testFinished(addr, ok, msg);
    emit status(msg);
}
