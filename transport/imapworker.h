#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "core/clock.h"
#include "mail/mailrecords.h"
#include "transport/imapparse.h"
#include "transport/sessionqueue.h"

class SessionSocket;

// Bounded waits of the IMAP dialogues. The defaults are the program's; tests
// may shorten them so that a silent server costs milliseconds, not seconds.
struct ImapTimeouts
{
    int handshakeMs = 15000;
    int writeMs = 5000;
    int replyChunkMs = 3000;
    int replyChunks = 60;
    int greetingFirstMs = 3000;
    int greetingMoreMs = 150;
    // The whole greeting, however slowly it trickles in.
    int greetingTotalMs = 10000;
    qint64 greetingLimit = 0x80000;
    // Any single collected reply larger than this ends the session.
    qint64 replyLimit = 4 * 1024 * 1024;
};

// Runs the blocking IMAP dialogues (account test and poll), one at a time, on
// the thread it lives on. Every call carries its accounts by value.
class ImapWorker : public QObject
{
    Q_OBJECT
public:
    explicit ImapWorker(const ImapTimeouts &timeouts = ImapTimeouts(), QObject *parent = nullptr);
    ~ImapWorker() override;
    // Set before the worker moves to its thread.
    void setClock(const Clock &clock) { m_clock = clock; }

    // The sessions themselves; the work* slots call them in arrival order.
    void runAccountTest(const EmailAccount &acc);
    void runPoll(const QList<EmailAccount> &accounts, bool firstRun);

public slots:
    void workPoll(QList<EmailAccount> accounts, bool firstRun);
    void workTest(EmailAccount acc);
    // One account's poll round; roundDone follows its results.
    void workRound(EmailAccount acc, bool firstRun);

signals:
    void mailsReady(QList<MailItem> items);
    void logMsg(QString addr, QString msg);
    void pollDone(QString addr, bool ok, QString msg, int count);
    void testLog(QString msg);
    void testFinished(QString addr, bool ok, QString msg);
    // The server refused the login (NO/BAD), as opposed to a network fault.
    void loginRefused(QString addr, QString msg);
    // The server refused the access token of a browser sign-in: a fresh
    // token may still work, so the account is not marked here.
    void tokenRefused(QString addr);
    // What became of the account's queued commands given with the round.
    void actionsDone(QString addr, QList<MailActionResult> results);
    void roundDone(QString addr);

private:
    QByteArray readGreeting(SessionSocket &socket);
    QString sendCommand(SessionSocket &socket, const QString &tag, const QString &command);
    // A command whose reply carries mail octets; `reads` bounds the chunks.
    QByteArray fetchBytes(SessionSocket &socket, const QByteArray &tag, const QString &command, int reads);
    enum class Login { Ok, Refused, TokenRefused, NoAnswer };
    // LOGIN with the password, or AUTHENTICATE with the access token (with
    // SASL-IR when the server offers it); `reply` gets the final answer.
    Login logIn(SessionSocket &socket, const QString &tag, const EmailAccount &acc, const QByteArray &greeting,
                QString *reply);
    // Collects an AUTHENTICATE answer up to a continuation or the tagged status.
    ImapAuthState readAuthReply(SessionSocket &socket, const QByteArray &tag, QByteArray *reply);
    // Polls one account; false when the session was cut short by shutdown.
    bool pollAccount(const EmailAccount &acc, bool firstRun);

    ImapTimeouts m_timeouts;
    SessionQueue m_queue;
    Clock m_clock;
};
