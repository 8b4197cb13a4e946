#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThread>
#include <QTimer>

#include <memory>

#include "mail/mailrecords.h"
#include "transport/idlesession.h"
#include "transport/imapworker.h"
#include "transport/roundscheduler.h"
#include "transport/tokenservice.h"

class IdleWatcher;
class MailStore;

// GUI-thread face of mail polling: a repeating timer, a worker thread and the
// ImapWorker on it, plus the IDLE connections that ask for an account's round
// as soon as its server announces mail. Results go into the store and out as
// status texts.
class ImapClient : public QObject
{
    Q_OBJECT
public:
    explicit ImapClient(MailStore *store, QObject *parent = nullptr);
    // Tests pass shorter protocol waits.
    ImapClient(MailStore *store, const ImapTimeouts &timeouts, QObject *parent = nullptr);
    ImapClient(MailStore *store, const ImapTimeouts &timeouts, const IdleOptions &idle, QObject *parent = nullptr);
    // Stops the timer and the worker thread; a session blocked on a silent
    // server is cut short, so this returns promptly.
    ~ImapClient() override;

    // Starts the timer and polls at once, and the IDLE connections of the
    // store's accounts.
    void start();
    // Signed out: no timer, no IDLE connection, no round asked for, and what
    // rounds under way still bring is dropped, until start() again.
    void stop();
    bool isStopped() const { return m_stopped; }
    // The poll period (25000 ms unless a test changes it).
    void setPollInterval(int ms);
    int pollInterval() const;
    // Whether new mail of the account arrives at once (its IDLE connection is
    // up) rather than with the next poll.
    bool isInstant(const QString &addr) const;
    // The access tokens of accounts signed in through the browser; the
    // sessions of this client and of replies take theirs from it.
    TokenService *tokens() const { return m_tokens; }
    // Replaces the token service (tests: a fake clock and token endpoint).
    void setTokenOptions(const TokenServiceOptions &options);

public slots:
    void pollNow();
    void testAccount(EmailAccount acc);
    void onTick();
    void onMailsReady(QList<MailItem> items);
    // Mails the IDLE connection fetched: never part of a first round.
    void onSessionMails(QList<MailItem> items);
    void onPollDone(QString addr, bool ok, QString msg, int count);
    void onRoundDone(QString addr);
    void onIdleMail(QString addr);
    void onInstantChanged(QString addr, bool instant);

signals:
    void status(QString msg);
    void testLog(QString msg);
    void testFinished(QString addr, bool ok, QString msg);
    void instantChanged(QString addr, bool instant);

private:
    void onTestFinished(const QString &addr, bool ok, const QString &msg);
    void onTokenRefused(const QString &addr);
    void onSignInNeeded(const QString &addr, const QString &msg);
    void onRefreshTokenChanged(const QString &addr, const QString &refreshToken);
    void connectTokens();
    void takeMails(QList<MailItem> items);
    void onActionsQueued(const QString &addr);
    // A round's end frees the commands it carried.
    void roundCarriedActions(const QString &addr);
    void takeActionResults(const QString &addr, const QList<MailActionResult> &results);
    // A round of every pollable account; one under way either keeps one
    // more for after it or makes this one redundant.
    void roundsOfAll(bool keepOneMore);

    MailStore *m_store;
    QTimer m_timer;
    QThread m_thread;
    ImapWorker *m_worker;
    bool m_firstRun = true;
    bool m_stopped = false;

    // Rounds run per account; IDLE connections ask for them between ticks.
    void requestRound(const EmailAccount &acc);
    // The account's round, marked under way already; freed when it is gone.
    void startRoundOf(const QString &addr);
    void syncIdle();
    RoundScheduler m_rounds;
    IdleOptions m_idleOptions;
    std::unique_ptr<IdleWatcher> m_idle;
    QSet<QString> m_instant;
    TokenService *m_tokens = nullptr;
    // Accounts whose refused token was dropped for one more try with a
    // fresh one; a second refusal marks the account.
    QSet<QString> m_tokenRetried;
    // Lower-cased addresses that have had a good round since start.
    QSet<QString> m_roundsDone;
    // Which session holds an account's queued commands now (lower-cased
    // address), and the accounts that queued more meanwhile.
    enum class Carrier { Round, Session };
    QHash<QString, Carrier> m_carrier;
    QSet<QString> m_actionsAgain;
};
