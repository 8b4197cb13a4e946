#pragma once

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

#include "mail/mailrecords.h"
#include "mail/mailactions.h"
#include "transport/idleparse.h"
#include "transport/imapfetch.h"

class ImapActionRun;

class QSslSocket;

// Waits of the IDLE connection. The defaults are the program's; tests shorten
// them and fix the jitter so that nothing waits out a real interval.
struct IdleOptions
{
    int handshakeMs = 15000;
    // Any answer the connection waits for: greeting, login, INBOX, the
    // go-ahead of IDLE and the end of DONE.
    int replyMs = 30000;
    // IDLE is left and entered again this often (servers and NAT boxes drop
    // connections silent for longer).
    int reidleMs = 9 * 60 * 1000;
    int retryFirstMs = 1000;
    int retryCapMs = 5 * 60 * 1000;
    // An IDLE held this long counts as healthy: retry delays start over and
    // faults are reported again when they come back.
    int stableMs = 60 * 1000;
    // New-mail notices of one account are passed on at most once per gap.
    int noticeGapMs = 200;
    // New-mail lines without a quiet gap between them before the flood is
    // reported (once).
    int floodNotices = 1000;
    qint64 lineLimit = 64 * 1024;
    // New mail is fetched on this connection (by UID, above the last one
    // taken) instead of being announced for a poll round.
    bool fetchNew = true;
    // Any single fetch answer larger than this ends the connection.
    qint64 fetchLimit = 4 * 1024 * 1024;
    // Jitter source in [0, 1); empty: the system's random generator.
    std::function<double()> random;
};

// One account's IDLE connection on INBOX, event driven on the thread it lives
// on: connect with verified TLS, log in, open INBOX read-only, IDLE, and tell
// about new mail. Leaves and re-enters IDLE every reidleMs, reconnects after
// faults with growing delays, and stops for good (until it is replaced) when
// the login is refused or the server has no usable IDLE.
class IdleSession : public QObject
{
    Q_OBJECT
public:
    IdleSession(const EmailAccount &account, const IdleOptions &options, QObject *parent = nullptr);
    ~IdleSession() override;

    void start();
    // True while the connection is in IDLE (or between DONE and the next IDLE).
    bool instant() const { return m_instant; }
    // True once the session gave up for good.
    bool stopped() const { return m_step == Step::Stopped; }
    QString address() const { return m_account.address; }
    // A fresh access token for the next login (an account signed in
    // through the browser); the running connection keeps its session.
    void setAccessToken(const QString &token) { m_account.accessToken = token; }
    // Queued flag and move commands, sent between two IDLEs on this
    // connection. Every list handed in comes back in actionsDone once; not
    // instant (or busy with a list already), it comes back NotSent at once.
    void runActions(const QList<MailAction> &actions);
    // What it holds of handed lists goes back NotSent (the session ends).
    void dropActions();

signals:
    // The server announced new mail (EXISTS or RECENT), or the connection came
    // back after a drop and mail may have arrived meanwhile.
    void newMail(QString address);
    // Mails fetched on the connection (fetchNew).
    void mailsReady(QList<MailItem> items);
    void instantChanged(QString address, bool instant);
    // A fault, reported once until the connection is healthy again.
    void log(QString address, QString message);
    // The server refused the access token; the session has stopped.
    void tokenRefused(QString address);
    void actionsDone(QString address, QList<MailActionResult> results);

private:
    enum class Step { Waiting, Connecting, Greeting, Login, Capability, Select, IdleStart, Idling, Done, Fetch, Actions, Stopped };
    enum class Fault { Connect, NoAnswer, Bye, Dropped, LongLine, Inbox, NoIdle, IdleRefused, Flood };

    void connectNow();
    void onReadable();
    void onLine(const QByteArray &line);
    void onDropped();
    void onReplyTimeout();
    void send(const QByteArray &command, Step next);
    void logIn();
    void afterLogin();
    void enterIdle();
    void selectInbox();
    void afterSelect();
    void startFetch(ImapFetchMode mode);
    void fetchStep();
    void onFetchBytes(const QByteArray &bytes);
    void leaveIdle();
    // After a fetch or the end of DONE: commands first, then new mail, else IDLE.
    void nextAfterIdle();
    void startActions();
    void actionStep();
    void notice(int events);
    void fail(Fault fault, const QString &detail);
    void stop(Fault fault, const QString &detail, bool report);
    void report(Fault fault, const QString &detail);
    void teardown();
    void setInstant(bool on);

    EmailAccount m_account;
    IdleOptions m_opt;
    Step m_step = Step::Waiting;
    QSslSocket *m_socket = nullptr;
    std::unique_ptr<ImapLineReader> m_reader;
    QByteArray m_tag;
    int m_tagCounter = 0;
    int m_caps = -1; // IDLE announced: 1, not: 0, unknown: -1
    int m_greetingCaps = -1;
    bool m_saslIr = false;   // the greeting offered SASL-IR
    bool m_saslSent = false; // the token went out in this login
    int m_attempt = 0;
    bool m_reconnected = false;
    bool m_instant = false;
    bool m_noticeHeld = false;
    int m_mailEvents = 0;
    qint64 m_windowEvents = 0;
    QSet<int> m_reported;
    // Where fetching stands: the INBOX's UIDVALIDITY and the highest UID
    // taken, kept across reconnects.
    std::unique_ptr<ImapFetchRun> m_fetch;
    QByteArray m_fetchBuf;
    QString m_validity, m_selValidity;
    quint32 m_lastUid = 0, m_selNext = 0;
    bool m_moreMail = false;
    QList<MailAction> m_heldActions;
    std::unique_ptr<ImapActionRun> m_actionRun;
    QTimer m_replyTimer, m_reidleTimer, m_retryTimer, m_stableTimer, m_noticeTimer;
};
