#include "transport/imapworker.h"

#include <QElapsedTimer>

#include "transport/imapactions.h"
#include "transport/imapfetch.h"
#include "transport/imapparse.h"
#include "transport/sessionsocket.h"

namespace {
const char *const kLineBreakLogin = "Giris bilgisi gecersiz: kullanici adi veya sifre satir sonu (CR/LF) iceremez.";
} // namespace

ImapWorker::ImapWorker(const ImapTimeouts &timeouts, QObject *parent) : QObject(parent), m_timeouts(timeouts) {}

ImapWorker::~ImapWorker() = default;

void ImapWorker::workPoll(QList<EmailAccount> accounts, bool firstRun)
{
    m_queue.run([this, accounts, firstRun] { runPoll(accounts, firstRun); });
}

void ImapWorker::workTest(EmailAccount acc)
{
    m_queue.run([this, acc] { runAccountTest(acc); });
}

void ImapWorker::workRound(EmailAccount acc, bool firstRun)
{
    m_queue.run([this, acc, firstRun] {
        runPoll({acc}, firstRun);
        if (!sessionInterrupted())
            emit roundDone(acc.address);
    });
}

QByteArray ImapWorker::readGreeting(SessionSocket &socket)
{
    // A server that sends a byte now and then would otherwise keep the worker
    // (and every other account's poll) waiting for hours.
    QElapsedTimer elapsed;
    elapsed.start();
    const auto waitAtMost = [&](int ms) {
        const qint64 left = m_timeouts.greetingTotalMs - elapsed.elapsed();
        return left > 0 && socket.waitForData(int(qMin<qint64>(ms, left)));
    };
    QByteArray greeting;
    for (;;) {
        if (!waitAtMost(m_timeouts.greetingFirstMs))
            break;
        greeting += socket.socket().readAll();
        if (!waitAtMost(m_timeouts.greetingMoreMs))
            break;
        greeting += socket.socket().readAll();
        if (greeting.size() > m_timeouts.greetingLimit)
            break;
    }
    return greeting;
}

QString ImapWorker::sendCommand(SessionSocket &socket, const QString &tag, const QString &command)
{
    const QByteArray line = (tag + QLatin1Char(' ') + command + QLatin1String("\r\n")).toUtf8();
    if (!socket.writeAll(line, m_timeouts.writeMs))
        return QString();
    const QString ok = tag + QLatin1String(" OK");
    const QString no = tag + QLatin1String(" NO");
    const QString bad = tag + QLatin1String(" BAD");
    return socket.collectReply(m_timeouts.replyChunks, m_timeouts.replyChunkMs, [&](const QString &reply, qsizetype fresh) {
        // Only the new text, and a status that straddles the old end, needs searching.
        const qsizetype from = qMax<qsizetype>(0, fresh - bad.size());
        return reply.indexOf(ok, from) >= 0 || reply.indexOf(no, from) >= 0 || reply.indexOf(bad, from) >= 0;
    });
}

QByteArray ImapWorker::fetchBytes(SessionSocket &socket, const QByteArray &tag, const QString &command, int reads)
{
    if (!socket.writeAll(tag + ' ' + command.toUtf8() + "\r\n", m_timeouts.writeMs))
        return QByteArray();
    // However many chunks a large text arrives in, the reply takes no longer
    // than a reply of the usual chunk count could.
    return socket.collectBytes(reads, m_timeouts.replyChunkMs, qint64(m_timeouts.replyChunks) * m_timeouts.replyChunkMs,
                               [&](const QByteArray &reply) { return imapTaggedDone(reply, tag); });
}

ImapAuthState ImapWorker::readAuthReply(SessionSocket &socket, const QByteArray &tag, QByteArray *reply)
{
    *reply = socket.collectBytes(m_timeouts.replyChunks, m_timeouts.replyChunkMs,
                                 qint64(m_timeouts.replyChunks) * m_timeouts.replyChunkMs,
                                 [&](const QByteArray &r) { return imapAuthState(r, tag) != ImapAuthState::Incomplete; });
    return imapAuthState(*reply, tag);
}

ImapWorker::Login ImapWorker::logIn(SessionSocket &socket, const QString &tag, const EmailAccount &acc,
                                    const QByteArray &greeting, QString *reply)
{
    if (!usesOAuth(acc)) {
        *reply = sendCommand(socket, tag, imapLoginCommand(accountLoginName(acc), acc.pass));
        if (reply->contains(tag + QLatin1String(" OK")))
            return Login::Ok;
        return reply->isEmpty() ? Login::NoAnswer : Login::Refused;
    }
    QStringList caps = imapCapabilities(greeting);
    if (caps.isEmpty())
        caps = imapCapabilities(sendCommand(socket, tag + QLatin1Char('c'), QStringLiteral("CAPABILITY")).toUtf8());
    if (socket.cancelled() || socket.overflowed())
        return Login::NoAnswer;
    const QByteArray t = tag.toLatin1();
    const QByteArray mechanism = saslMechanismName(acc).toLatin1();
    const QByteArray initial = saslInitialResponse(acc, acc.host, acc.port);
    QByteArray answer;
    ImapAuthState state;
    if (caps.contains(QLatin1String("SASL-IR"))) {
        if (!socket.writeAll(t + " AUTHENTICATE " + mechanism + ' ' + initial + "\r\n", m_timeouts.writeMs))
            return Login::NoAnswer;
        state = readAuthReply(socket, t, &answer);
    } else {
        if (!socket.writeAll(t + " AUTHENTICATE " + mechanism + "\r\n", m_timeouts.writeMs))
            return Login::NoAnswer;
        state = readAuthReply(socket, t, &answer);
        if (state == ImapAuthState::Continuation) {
            if (!socket.writeAll(initial + "\r\n", m_timeouts.writeMs))
                return Login::NoAnswer;
            state = readAuthReply(socket, t, &answer);
        }
    }
    if (state == ImapAuthState::Continuation) {
        // The server's error report; it answers with the tagged NO once the
        // exchange is ended with an empty line.
        if (!socket.writeAll("\r\n", m_timeouts.writeMs))
            return Login::NoAnswer;
        state = readAuthReply(socket, t, &answer);
    }
    *reply = QString::fromUtf8(answer);
    switch (state) {
    case ImapAuthState::Ok:
        return Login::Ok;
    case ImapAuthState::No:
    case ImapAuthState::Bad:
        return Login::TokenRefused;
    case ImapAuthState::Incomplete:
    case ImapAuthState::Continuation:
        break;
    }
    return Login::NoAnswer;
}

void ImapWorker::runAccountTest(const EmailAccount &acc)
{
    const QString addr = acc.address;
    const QString login = accountLoginName(acc);
    if (hasLineBreak(login) || hasLineBreak(acc.pass) || hasLineBreak(acc.accessToken)) {
        emit testFinished(addr, false, QString::fromLatin1(kLineBreakLogin));
        return;
    }
    emit testLog(QStringLiteral("1/4 Sunucuya baglaniliyor: %1:%2").arg(acc.host).arg(acc.port));
    SessionSocket socket(m_timeouts.replyLimit);
    if (!socket.connectEncrypted(acc.host, acc.port, m_timeouts.handshakeMs)) {
        if (!socket.cancelled()) {
            // The step log adds Qt's own text after the Turkish reason.
            emit testLog(QStringLiteral("Detay: ") + socket.detailText());
            emit testFinished(addr, false, connectFailureText(acc, socket.failureReason()));
        }
        return;
    }
    emit testLog(QStringLiteral("2/4 SSL tamam. Giris yapiliyor: ") + login);
    const QByteArray greeting = readGreeting(socket);

    // A session cut short by shutdown ends silently; an overlong reply ends it
    // with a failure instead of growing without bound.
    auto interrupted = [&] {
        if (socket.overflowed())
            emit testFinished(addr, false, replyTooLargeText(socket.replyLimit()));
        return socket.cancelled() || socket.overflowed();
    };

    QString loginReply;
    const Login outcome = logIn(socket, QStringLiteral("t02"), acc, greeting, &loginReply);
    if (interrupted())
        return;
    if (outcome == Login::TokenRefused) {
        emit testLog(QStringLiteral("Erisim anahtari reddedildi."));
        emit tokenRefused(addr);
        emit testFinished(addr, false, tokenRefusedText() + QStringLiteral(" Detay: ") + imapFailureDetail(loginReply, 180));
        return;
    }
    if (outcome != Login::Ok) {
        emit testLog(QStringLiteral("Giris reddedildi."));
        if (outcome == Login::Refused)
            emit loginRefused(addr, pollLoginFailureText(loginReply));
        emit testFinished(addr, false,
                          QStringLiteral("Giris basarisiz. Uygulama sifresi kullandigindan emin ol. Detay: ")
                              + imapFailureDetail(loginReply, 180));
        return;
    }
    emit testLog(QStringLiteral("3/4 Giris OK. INBOX aciliyor..."));
    const QString selectReply = sendCommand(socket, QStringLiteral("t03"), QStringLiteral("SELECT INBOX"));
    if (interrupted())
        return;
    if (!selectReply.contains(QLatin1String("t03 OK"))) {
        emit testFinished(addr, false, QStringLiteral("INBOX acilamadi."));
        return;
    }
    const QString searchReply = sendCommand(socket, QStringLiteral("t04"), QStringLiteral("SEARCH UNSEEN"));
    if (interrupted())
        return;
    const int count = int(parseSearch(searchReply).size());
    emit testLog(QStringLiteral("4/4 Basarili. Okunmamis: %1. Hesap kaydedildi, yoklama basladi.").arg(count));
    sendCommand(socket, QStringLiteral("t99"), QStringLiteral("LOGOUT"));
    if (socket.cancelled())
        return;
    socket.disconnect();
    emit testFinished(addr, true, QStringLiteral("Baglanti basarili. Okunmamis: %1").arg(count));
}

void ImapWorker::runPoll(const QList<EmailAccount> &accounts, bool firstRun)
{
    for (const EmailAccount &acc : accounts) {
        if (sessionInterrupted())
            return;
        if (!acc.enabled || acc.loginRefused || !hasCredentials(acc) || acc.host.isEmpty())
            continue;
        if (!pollAccount(acc, firstRun))
            return;
    }
}

bool ImapWorker::pollAccount(const EmailAccount &acc, bool firstRun)
{
    const QString addr = acc.address;
    const QString login = accountLoginName(acc);
    if (hasLineBreak(login) || hasLineBreak(acc.pass) || hasLineBreak(acc.accessToken)) {
        emit pollDone(addr, false, QString::fromLatin1(kLineBreakLogin), 0);
        return true;
    }
    emit logMsg(addr, QStringLiteral("Yoklaniyor: ") + acc.host);
    // The server is verified like in the account test: the password must not
    // go to whoever answers in its place.
    SessionSocket socket(m_timeouts.replyLimit);
    if (!socket.connectEncrypted(acc.host, acc.port, m_timeouts.handshakeMs)) {
        if (socket.cancelled())
            return false;
        emit logMsg(addr, QStringLiteral("Detay: ") + socket.detailText());
        emit pollDone(addr, false, connectFailureText(acc, socket.failureReason()), 0);
        return true;
    }
    const QByteArray greeting = readGreeting(socket);
    if (socket.cancelled())
        return false;

    QString loginReply;
    const Login outcome = logIn(socket, QStringLiteral("a02"), acc, greeting, &loginReply);
    if (socket.cancelled())
        return false;
    if (socket.overflowed()) {
        emit pollDone(addr, false, replyTooLargeText(socket.replyLimit()), 0);
        return true;
    }
    if (outcome == Login::TokenRefused) {
        emit tokenRefused(addr);
        emit pollDone(addr, false, tokenRefusedText(), 0);
        return true;
    }
    if (outcome != Login::Ok) {
        // Trying a refused password every few seconds can get the mailbox
        // locked by its provider: polling stops until the user acts. Silence
        // is no refusal.
        if (outcome == Login::Refused)
            emit loginRefused(addr, pollLoginFailureText(loginReply));
        emit pollDone(addr, false, pollLoginFailureText(loginReply), 0);
        return true;
    }

    const ImapFetchRun *running = nullptr;
    // Mails built before an overlong reply are still handed on, then the
    // account's session ends with the failure.
    auto stopped = [&] {
        if (socket.cancelled())
            return true;
        if (!socket.overflowed())
            return false;
        if (running && !running->items().isEmpty())
            emit mailsReady(running->items());
        emit pollDone(addr, false, replyTooLargeText(socket.replyLimit()), 0);
        return true;
    };

    const QString selectReply = sendCommand(socket, QStringLiteral("a03"), QStringLiteral("SELECT INBOX"));
    if (stopped())
        return !socket.cancelled();
    const QString uidValidity = parseUidValidity(selectReply);
    // Queued commands go before the search, so mails read or moved here no
    // longer come back as unread.
    if (!acc.pendingActions.isEmpty()) {
        ImapActionRun run(acc.pendingActions, imapCapabilities(greeting + loginReply.toUtf8()), uidValidity);
        QByteArray command;
        int n = 0;
        while (run.next(&command)) {
            const QByteArray tag = "a03m" + QByteArray::number(++n);
            const QByteArray reply = fetchBytes(socket, tag, QString::fromUtf8(command), m_timeouts.replyChunks);
            if (socket.cancelled() || socket.overflowed() || !imapTaggedDone(reply, tag)) {
                run.abandon();
                break;
            }
            run.reply(reply);
        }
        emit actionsDone(addr, run.results());
        if (stopped())
            return !socket.cancelled();
    }
    ImapFetchRun fetch(addr, uidValidity, 0, firstRun ? ImapFetchMode::FirstRun : ImapFetchMode::Unseen, m_clock);
    running = &fetch;
    QByteArray command;
    while (fetch.next(&command)) {
        static const char *const tags[] = {"a04", "a04b", "a05", "a06", "a06"};
        const QByteArray tag = tags[int(fetch.step())];
        // Servers send large literals in many small chunks; the read count
        // grows with the octets allowed.
        const int reads = fetch.step() == ImapFetchRun::Step::Text ? m_timeouts.replyChunks * 16 : m_timeouts.replyChunks;
        const QByteArray reply = fetchBytes(socket, tag, QString::fromUtf8(command), reads);
        if (stopped())
            return !socket.cancelled();
        fetch.reply(reply);
    }
    const QList<MailItem> items = fetch.items();
    if (!items.isEmpty())
        emit mailsReady(items);
    sendCommand(socket, QStringLiteral("a99"), QStringLiteral("LOGOUT"));
    if (socket.cancelled())
        return false;
    socket.disconnect();
    const int n = int(items.size());
    emit pollDone(addr, true, n == 0 ? QStringLiteral("Yeni kod yok") : QStringLiteral("%1 yeni").arg(n), n);
    return true;
}
