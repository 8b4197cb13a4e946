#include "transport/imapclient.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>

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
    if (store)
        m_worker->setClock(store->clock());
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
    connect(m_worker, &ImapWorker::actionsDone, this, &ImapClient::takeActionResults, Qt::QueuedConnection);
    if (store) {
        // A command waits no longer than one round of its account.
        connect(store, &MailStore::actionsQueued, this, &ImapClient::onActionsQueued);
    }
    connect(m_worker, &ImapWorker::logMsg, this, [this](const QString &, const QString &msg) { emit status(msg); });
    connect(&m_timer, &QTimer::timeout, this, &ImapClient::onTick);
    connect(m_worker, &ImapWorker::roundDone, this, &ImapClient::onRoundDone, Qt::QueuedConnection);
    connect(m_worker, &ImapWorker::tokenRefused, this, &ImapClient::onTokenRefused, Qt::QueuedConnection);
    m_tokens = new TokenService(TokenServiceOptions(), this);
    connectTokens();
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

void ImapClient::setTokenOptions(const TokenServiceOptions &options)
{
    delete m_tokens;
    m_tokens = new TokenService(options, this);
    connectTokens();
}

void ImapClient::connectTokens()
{
    connect(m_tokens, &TokenService::signInNeeded, this, &ImapClient::onSignInNeeded);
    connect(m_tokens, &TokenService::refreshTokenChanged, this, &ImapClient::onRefreshTokenChanged);
    connect(m_tokens, &TokenService::tokenRefreshed, this, &ImapClient::syncIdle);
}

void ImapClient::onTokenRefused(const QString &addr)
{
    m_tokens->dropToken(addr);
    const QString key = addr.toLower();
    if (m_tokenRetried.contains(key)) {
        // A token fresh from the provider was refused too: only a new
        // sign-in can help, and polling waits for it.
        m_tokenRetried.remove(key);
        onSignInNeeded(addr, QStringLiteral("Yeniden oturum acilmali: sunucu erisim anahtarini kabul etmedi."));
        return;
    }
    m_tokenRetried.insert(key);
    // One more round with a fresh token, after the one under way if any.
    if (m_rounds.trigger(addr))
        startRoundOf(addr);
}

void ImapClient::onSignInNeeded(const QString &addr, const QString &msg)
{
    if (m_store)
        m_store->setAccountLoginRefused(addr, msg);
    emit status(addr + QStringLiteral(": ") + msg);
}

void ImapClient::onRefreshTokenChanged(const QString &addr, const QString &refreshToken)
{
    if (!m_store)
        return;
    for (EmailAccount acc : m_store->accounts()) {
        if (sameAccount(acc.address, addr)) {
            acc.refreshToken = refreshToken;
            m_store->addOrUpdateAccount(acc);
            return;
        }
    }
}

void ImapClient::stop()
{
    m_stopped = true;
    m_timer.stop();
    m_idle.reset();
    for (const QString &addr : std::as_const(m_instant))
        emit instantChanged(addr, false);
    m_instant.clear();
    m_carrier.clear();
    m_actionsAgain.clear();
    // The next user's first round brings in their mailboxes' old mails.
    m_roundsDone.clear();
}

void ImapClient::start()
{
    m_stopped = false;
    m_timer.start();
    pollNow();
    if (!m_store || m_idle)
        return;
    m_idle = std::make_unique<IdleWatcher>(m_idleOptions);
    connect(m_idle.get(), &IdleWatcher::newMail, this, &ImapClient::onIdleMail);
    connect(m_idle.get(), &IdleWatcher::mailsReady, this, &ImapClient::onSessionMails);
    connect(m_idle.get(), &IdleWatcher::instantChanged, this, &ImapClient::onInstantChanged);
    connect(m_idle.get(), &IdleWatcher::log, this, [this](const QString &, const QString &msg) { emit status(msg); });
    // The next round fetches a fresh token, which restarts the connection.
    connect(m_idle.get(), &IdleWatcher::tokenRefused, this, [this](const QString &addr) { m_tokens->dropToken(addr); });
    connect(m_idle.get(), &IdleWatcher::actionsDone, this,
            [this](const QString &addr, const QList<MailActionResult> &results) {
                takeActionResults(addr, results);
                if (m_carrier.value(addr.toLower()) != Carrier::Session)
                    return;
                m_carrier.remove(addr.toLower());
                const bool cut = std::any_of(results.begin(), results.end(), [](const MailActionResult &r) {
                    return r.outcome == MailActionResult::Outcome::NotSent;
                });
                // What the connection could not send goes with a round.
                const bool again = m_actionsAgain.remove(addr.toLower());
                if (cut)
                    onIdleMail(addr);
                else if (again)
                    onActionsQueued(addr);
            });
    connect(m_store, &MailStore::accountsChanged, this, &ImapClient::syncIdle, Qt::UniqueConnection);
    syncIdle();
}

void ImapClient::syncIdle()
{
    if (!m_idle || !m_store)
        return;
    // A refused login ends its IDLE connection too; a browser sign-in joins
    // with the token its last round got.
    QList<EmailAccount> accounts = m_store->pollableAccounts();
    for (EmailAccount &acc : accounts) {
        if (usesOAuth(acc))
            acc.accessToken = m_tokens->heldToken(acc);
    }
    m_idle->setAccounts(accounts);
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
    // Asked for by the user (or a start): a round under way may have fetched
    // already, so one more follows it rather than none.
    roundsOfAll(true);
}

void ImapClient::testAccount(EmailAccount acc)
{
    m_tokens->withToken(acc, [this](const EmailAccount &ready, const QString &error) {
        if (!error.isEmpty()) {
            onTestFinished(ready.address, false, error);
            return;
        }
        QMetaObject::invokeMethod(m_worker, "workTest", Qt::QueuedConnection, Q_ARG(EmailAccount, ready));
    });
}

void ImapClient::onTick()
{
    // A round still under way makes a scheduled one redundant.
    roundsOfAll(false);
}

void ImapClient::roundsOfAll(bool keepOneMore)
{
    if (!m_store || m_stopped)
        return;
    bool asked = false;
    // Paused accounts and refused logins are left alone; each carries its
    // queued read marks.
    const QList<EmailAccount> all = m_store->pollableAccounts();
    for (const EmailAccount &acc : all) {
        if (!(keepOneMore ? m_rounds.trigger(acc.address) : m_rounds.begin(acc.address)))
            continue;
        requestRound(acc);
        asked = true;
    }
    if (asked)
        m_firstRun = false;
}

void ImapClient::requestRound(const EmailAccount &acc)
{
    // Accounts signed in through the browser get a token with time left
    // first; without one the round ends here and the account says why.
    const bool firstRun = m_firstRun;
    // Queued commands go with one session at a time: never sent twice.
    EmailAccount sent = acc;
    const QString key = acc.address.toLower();
    if (m_carrier.value(key, Carrier::Round) == Carrier::Session)
        sent.pendingActions.clear();
    else if (!sent.pendingActions.isEmpty())
        m_carrier.insert(key, Carrier::Round);
    m_tokens->withToken(sent, [this, firstRun](const EmailAccount &ready, const QString &error) {
        if (!error.isEmpty()) {
            onPollDone(ready.address, false, error, 0);
            roundCarriedActions(ready.address);
            m_rounds.forget(ready.address);
            return;
        }
        QMetaObject::invokeMethod(m_worker, "workRound", Qt::QueuedConnection, Q_ARG(EmailAccount, ready),
                                  Q_ARG(bool, firstRun));
    });
}

void ImapClient::onRoundDone(QString addr)
{
    roundCarriedActions(addr);
    // New mail announced during the round: one more after it.
    if (m_rounds.end(addr))
        startRoundOf(addr);
}

void ImapClient::onActionsQueued(const QString &addr)
{
    if (m_stopped || !m_store)
        return;
    const QString key = addr.toLower();
    if (m_carrier.contains(key)) {
        m_actionsAgain.insert(key);
        return;
    }
    // The open connection sends them between two IDLEs; without one a
    // round does.
    const QList<MailAction> pending = m_store->pendingActions(addr);
    if (m_idle && m_idle->isInstant(addr) && !pending.isEmpty()) {
        m_carrier.insert(key, Carrier::Session);
        m_idle->runActions(addr, pending);
        return;
    }
    onIdleMail(addr);
}

void ImapClient::roundCarriedActions(const QString &addr)
{
    const QString key = addr.toLower();
    if (m_carrier.value(key, Carrier::Session) != Carrier::Round)
        return;
    m_carrier.remove(key);
    if (m_actionsAgain.remove(key))
        onActionsQueued(addr);
}

void ImapClient::takeActionResults(const QString &addr, const QList<MailActionResult> &results)
{
    if (!m_store)
        return;
    m_store->actionsDone(addr, results);
    // Each failure is told once, as it leaves the queue.
    for (const MailActionResult &r : results) {
        if (r.outcome == MailActionResult::Outcome::Failed)
            emit status(r.message);
    }
}

void ImapClient::onIdleMail(QString addr)
{
    if (m_stopped)
        return;
    if (m_rounds.trigger(addr))
        startRoundOf(addr);
}

void ImapClient::startRoundOf(const QString &addr)
{
    // A round kept for after the current one is void once signed out.
    if (m_store && !m_stopped) {
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
    // The worker hands on an account's mails before its round's end, so an
    // account without a good round yet is still in its first one.
    for (MailItem &mail : items)
        mail.firstRound = !m_roundsDone.contains(mail.account.toLower());
    takeMails(items);
}

void ImapClient::onSessionMails(QList<MailItem> items)
{
    for (MailItem &mail : items)
        mail.firstRound = false;
    takeMails(items);
}

void ImapClient::takeMails(QList<MailItem> items)
{
    if (!m_store || m_stopped)
        return;
    // A round of a signed-out user's account ends after the sign-out: its
    // mails are for nobody now. One of an account paused meanwhile waits
    // for the account's return (its unseen mails are fetched again then).
    const QList<EmailAccount> held = m_store->accounts();
    items.removeIf([&held](const MailItem &mail) {
        return std::none_of(held.begin(), held.end(), [&mail](const EmailAccount &a) {
            return a.enabled && sameAccount(a.address, mail.account);
        });
    });
    // A round fetches the unseen mails again after every reconnect; only
    // those the store does not hold yet are news. Said before they go in, so
    // that what a new code causes ("Kod kopyalanmadi: ...") is the last word.
    QSet<QString> known;
    for (const MailItem &m : m_store->mails())
        known.insert(m.id);
    QHash<QString, int> fresh;
    QStringList order;
    for (const MailItem &m : std::as_const(items)) {
        if (!m.id.isEmpty() && known.contains(m.id))
            continue;
        if (!fresh.contains(m.account))
            order << m.account;
        ++fresh[m.account];
    }
    for (const QString &addr : std::as_const(order))
        emit status(QStringLiteral("%1 yeni mail: %2").arg(fresh.value(addr)).arg(addr));
    m_store->addMails(items);
}

void ImapClient::onPollDone(QString addr, bool ok, QString msg, int count)
{
    if (!m_store || m_stopped)
        return;
    if (ok) {
        m_roundsDone.insert(addr.toLower());
        m_tokenRetried.remove(addr.toLower());
        m_store->setAccountOk(addr, m_store->clock().nowLocal().toString(QStringLiteral("HH:mm")));
        Q_UNUSED(count); // what was new is told when the mails arrive
    } else {
        m_store->setAccountError(addr, msg);
        emit status(addr + QStringLiteral(": ") + msg);
    }
}

void ImapClient::onTestFinished(const QString &addr, bool ok, const QString &msg)
{
    if (m_store) {
        if (ok)
            m_store->setAccountOk(addr, m_store->clock().nowLocal().toString(QStringLiteral("HH:mm")));
        else
            m_store->setAccountError(addr, msg);
    }
    emit testFinished(addr, ok, msg);
    emit status(msg);
}
