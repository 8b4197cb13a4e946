#include "transport/idlesession.h"

#include "rest/neterrors.h"

#include <QRandomGenerator>
#include <QSslSocket>

#include "transport/imapactions.h"
#include "transport/imapparse.h"

IdleSession::IdleSession(const EmailAccount &account, const IdleOptions &options, QObject *parent)
    : QObject(parent), m_account(account), m_opt(options)
{
    if (!m_opt.random)
        m_opt.random = [] { return QRandomGenerator::global()->generateDouble(); };
    for (QTimer *t : {&m_replyTimer, &m_reidleTimer, &m_retryTimer, &m_stableTimer, &m_noticeTimer})
        t->setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &IdleSession::onReplyTimeout);
    connect(&m_retryTimer, &QTimer::timeout, this, &IdleSession::connectNow);
    connect(&m_reidleTimer, &QTimer::timeout, this, &IdleSession::leaveIdle);
    connect(&m_stableTimer, &QTimer::timeout, this, [this] {
        // Held long enough: a later fault starts again at the first delay
        // and is reported again. A flood stays reported for the session.
        m_attempt = 0;
        const bool flood = m_reported.contains(int(Fault::Flood));
        m_reported.clear();
        if (flood)
            m_reported.insert(int(Fault::Flood));
    });
    connect(&m_noticeTimer, &QTimer::timeout, this, [this] {
        if (!m_noticeHeld) {
            m_windowEvents = 0;
            return;
        }
        m_noticeHeld = false;
        emit newMail(m_account.address);
        m_noticeTimer.start(m_opt.noticeGapMs);
    });
}

IdleSession::~IdleSession()
{
    if (m_socket && m_socket->isEncrypted()) {
        // A polite goodbye where it costs nothing; nothing waits for it.
        if (m_step == Step::Idling)
            m_socket->write("DONE\r\n");
        m_socket->write("z LOGOUT\r\n");
        m_socket->flush();
    }
    teardown();
}

void IdleSession::start()
{
    const QString login = accountLoginName(m_account);
    // The same rules as the poll: a line break would end the command early.
    const bool noCredentials = usesOAuth(m_account) ? m_account.accessToken.isEmpty() : m_account.pass.isEmpty();
    if (m_account.host.isEmpty() || noCredentials || hasLineBreak(login) || hasLineBreak(m_account.pass)
        || hasLineBreak(m_account.accessToken)) {
        m_step = Step::Stopped;
        return;
    }
    connectNow();
}

void IdleSession::connectNow()
{
    teardown();
    m_reader = std::make_unique<ImapLineReader>(m_opt.lineLimit);
    m_caps = -1;
    m_socket = new QSslSocket(this);
    // What is buffered stays small however fast the server sends.
    m_socket->setReadBufferSize(64 * 1024);
    QSslSocket *sock = m_socket;
    connect(sock, &QSslSocket::encrypted, this, [this, sock] {
        if (sock != m_socket)
            return;
        // Short commands answered at once: no waiting on delayed ACKs.
        sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_step = Step::Greeting;
        m_replyTimer.start(m_opt.replyMs);
    });
    connect(sock, &QSslSocket::readyRead, this, &IdleSession::onReadable);
    connect(sock, &QSslSocket::disconnected, this, [this, sock] {
        if (sock == m_socket)
            onDropped();
    });
    connect(sock, &QSslSocket::errorOccurred, this, [this, sock] {
        if (sock == m_socket)
            onDropped();
    });
    m_step = Step::Connecting;
    m_replyTimer.start(m_opt.handshakeMs);
    sock->connectToHostEncrypted(m_account.host, m_account.port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void IdleSession::onReadable()
{
    QSslSocket *sock = m_socket;
    if (!sock || !m_reader)
        return;
    if (m_step == Step::Fetch || m_step == Step::Actions) {
        onFetchBytes(sock->readAll());
        return;
    }
    m_reader->feed(sock->readAll());
    if (m_reader->overflowed()) {
        fail(Fault::LongLine,
             QStringLiteral("sunucu satiri %1 bayt sinirini asti, tekrar denenecek.").arg(m_opt.lineLimit));
        return;
    }
    // All lines of one read make at most one notice: a delivery's EXISTS
    // and RECENT come together.
    m_mailEvents = 0;
    QByteArray line;
    while (sock == m_socket && m_reader->next(line))
        onLine(line);
    if (m_mailEvents > 0 && !m_opt.fetchNew)
        notice(m_mailEvents);
    if (m_mailEvents > 0 && m_opt.fetchNew)
        m_moreMail = true;
    // Leave IDLE; the tagged OK of DONE starts the fetch.
    if ((m_moreMail || !m_heldActions.isEmpty()) && sock == m_socket)
        leaveIdle();
}

void IdleSession::leaveIdle()
{
    if (m_step != Step::Idling || !m_socket)
        return;
    m_reidleTimer.stop();
    m_socket->write("DONE\r\n");
    m_step = Step::Done;
    m_replyTimer.start(m_opt.replyMs);
}

void IdleSession::nextAfterIdle()
{
    if (!m_heldActions.isEmpty())
        startActions();
    else if (m_moreMail)
        startFetch(ImapFetchMode::Above);
    else
        enterIdle();
}

void IdleSession::runActions(const QList<MailAction> &actions)
{
    if (actions.isEmpty())
        return;
    if (!m_instant || !m_opt.fetchNew || m_actionRun || !m_heldActions.isEmpty()) {
        QList<MailActionResult> back;
        for (const MailAction &a : actions)
            back.append(MailActionResult{a, MailActionResult::Outcome::NotSent, {}, {}, {}});
        emit actionsDone(m_account.address, back);
        return;
    }
    m_heldActions = actions;
    leaveIdle();
}

void IdleSession::dropActions()
{
    QList<MailActionResult> back;
    if (m_actionRun) {
        m_actionRun->abandon();
        back = m_actionRun->results();
        m_actionRun.reset();
    }
    for (const MailAction &a : std::as_const(m_heldActions))
        back.append(MailActionResult{a, MailActionResult::Outcome::NotSent, {}, {}, {}});
    m_heldActions.clear();
    if (!back.isEmpty())
        emit actionsDone(m_account.address, back);
}

void IdleSession::startActions()
{
    // The runner asks the server's capabilities itself when a move needs them.
    m_actionRun = std::make_unique<ImapActionRun>(m_heldActions, QStringList(), m_validity);
    m_heldActions.clear();
    actionStep();
}

void IdleSession::actionStep()
{
    QByteArray command;
    if (m_actionRun->next(&command)) {
        m_fetchBuf.clear();
        send(command, Step::Actions);
        return;
    }
    const QList<MailActionResult> results = m_actionRun->results();
    const QString validity = m_actionRun->inboxUidValidity();
    m_actionRun.reset();
    m_reader = std::make_unique<ImapLineReader>(m_opt.lineLimit);
    emit actionsDone(m_account.address, results);
    if (!validity.isEmpty() && validity != m_validity) {
        // INBOX opened again under another generation: its unseen mails once.
        m_validity = validity;
        m_lastUid = 0;
        startFetch(ImapFetchMode::UnseenByUid);
        return;
    }
    nextAfterIdle();
}

void IdleSession::onLine(const QByteArray &line)
{
    const IdleLine l = classifyIdleLine(line, m_tag);
    if (l.kind == IdleLine::Bye) {
        fail(Fault::Bye, QStringLiteral("sunucu baglantiyi kapatti (BYE), tekrar denenecek."));
        return;
    }
    if (m_step == Step::Greeting || m_step == Step::Login || m_step == Step::Capability) {
        const int caps = lineAnnouncesIdle(line);
        if (caps >= 0)
            m_caps = caps;
        if (m_step == Step::Greeting && caps >= 0)
            m_saslIr = imapCapabilities(line).contains(QLatin1String("SASL-IR"));
    }
    const bool tagged = l.kind == IdleLine::TaggedOk || l.kind == IdleLine::TaggedNo || l.kind == IdleLine::TaggedBad;
    const bool mail = l.kind == IdleLine::Exists || (l.kind == IdleLine::Recent && l.number > 0);
    switch (m_step) {
    case Step::Greeting:
        if (l.kind == IdleLine::Greeting) {
            m_greetingCaps = m_caps;
            m_caps = -1;
            logIn();
        } else if (l.kind == IdleLine::PreAuth) {
            m_greetingCaps = m_caps;
            afterLogin();
        }
        return;
    case Step::Login:
        if (l.kind == IdleLine::Continuation && usesOAuth(m_account)) {
            // The go-ahead for the token, or after it the server's error
            // report, which an empty line ends before the tagged NO.
            const QByteArray answer = m_saslSent ? QByteArray() : saslInitialResponse(m_account, m_account.host,
                                                                                   m_account.port);
            m_saslSent = true;
            m_socket->write(answer + "\r\n");
        } else if (l.kind == IdleLine::TaggedOk) {
            afterLogin();
        } else if (tagged) {
            stop(Fault::NoIdle, QString(), false); // refused: the poll reports it
            if (usesOAuth(m_account))
                emit tokenRefused(m_account.address);
        }
        return;
    case Step::Capability:
        if (!tagged)
            return;
        if (m_caps == 1)
            selectInbox();
        else
            stop(Fault::NoIdle, QStringLiteral("sunucu IDLE desteklemiyor; her 25 sn yoklanir."), true);
        return;
    case Step::Select:
        if (!tagged) {
            const ImapSelectInfo info = parseSelectInfo(line + "\r\n");
            if (!info.uidValidity.isEmpty())
                m_selValidity = info.uidValidity;
            if (info.uidNext)
                m_selNext = info.uidNext;
        }
        if (l.kind == IdleLine::TaggedOk)
            afterSelect();
        else if (tagged)
            fail(Fault::Inbox, QStringLiteral("INBOX acilamadi, tekrar denenecek."));
        return;
    case Step::IdleStart:
        if (l.kind == IdleLine::Continuation) {
            m_step = Step::Idling;
            m_replyTimer.stop();
            m_reidleTimer.start(m_opt.reidleMs);
            if (!m_stableTimer.isActive())
                m_stableTimer.start(m_opt.stableMs);
            setInstant(true);
            if (m_reconnected && !m_opt.fetchNew) {
                // Mail may have come while the connection was down.
                m_reconnected = false;
                ++m_mailEvents;
            }
        } else if (tagged) {
            // Even an OK without a go-ahead: entering again would only loop.
            stop(Fault::IdleRefused, QStringLiteral("sunucu IDLE komutunu reddetti; her 25 sn yoklanir."), true);
        } else if (mail) {
            ++m_mailEvents;
        }
        return;
    case Step::Idling:
    case Step::Done:
        if (mail) {
            ++m_mailEvents;
        } else if (l.kind == IdleLine::TaggedOk) {
            if (m_step == Step::Done)
                nextAfterIdle();
            else
                fail(Fault::Dropped, QStringLiteral("sunucu IDLE'i kendisi bitirdi, tekrar denenecek."));
        } else if (tagged) {
            stop(Fault::IdleRefused, QStringLiteral("sunucu IDLE komutunu reddetti; her 25 sn yoklanir."), true);
        }
        return;
    case Step::Waiting:
    case Step::Connecting:
    case Step::Fetch:
    case Step::Actions:
    case Step::Stopped:
        return;
    }
}

void IdleSession::logIn()
{
    if (!usesOAuth(m_account)) {
        send(imapLoginCommand(accountLoginName(m_account), m_account.pass).toUtf8(), Step::Login);
        return;
    }
    const QByteArray command = "AUTHENTICATE " + saslMechanismName(m_account).toLatin1();
    m_saslSent = m_saslIr;
    if (m_saslIr)
        send(command + ' ' + saslInitialResponse(m_account, m_account.host, m_account.port), Step::Login);
    else
        send(command, Step::Login);
}

void IdleSession::afterLogin()
{
    if (m_caps == 1 || (m_caps == -1 && m_greetingCaps == 1)) {
        selectInbox();
        return;
    }
    m_caps = -1;
    send("CAPABILITY", Step::Capability);
}

void IdleSession::selectInbox()
{
    m_selValidity.clear();
    m_selNext = 0;
    // Read-write: the queued flag and move commands run on this connection.
    send(m_opt.fetchNew ? "SELECT INBOX" : "EXAMINE INBOX", Step::Select);
}

void IdleSession::afterSelect()
{
    if (!m_opt.fetchNew) {
        enterIdle();
        return;
    }
    const bool reconnected = m_reconnected;
    m_reconnected = false;
    if (m_validity.isEmpty() && !m_selValidity.isEmpty() && m_selNext > 0) {
        // Mails already there are the poll's; this connection takes what
        // comes after.
        m_validity = m_selValidity;
        m_lastUid = m_selNext - 1;
        if (reconnected) {
            startFetch(ImapFetchMode::Above);
            return;
        }
        enterIdle();
        // Mail that came while no connection watched (a paused account) is
        // fetched by a poll round, which knows a first round from a later one.
        emit newMail(m_account.address);
        return;
    }
    if (m_selValidity.isEmpty() || m_validity != m_selValidity) {
        // UIDs of another mailbox generation mean nothing: the unseen mails
        // once, then what comes after them.
        m_validity = m_selValidity;
        m_lastUid = 0;
        startFetch(ImapFetchMode::UnseenByUid);
        return;
    }
    if (reconnected)
        startFetch(ImapFetchMode::Above);
    else
        enterIdle();
}

void IdleSession::startFetch(ImapFetchMode mode)
{
    m_moreMail = false;
    m_fetch = std::make_unique<ImapFetchRun>(m_account.address, m_validity, m_lastUid, mode);
    fetchStep();
}

void IdleSession::fetchStep()
{
    QByteArray command;
    if (m_fetch->next(&command)) {
        m_fetchBuf.clear();
        send(command, Step::Fetch);
        return;
    }
    const QList<MailItem> items = m_fetch->items();
    m_lastUid = m_fetch->lastUid();
    m_fetch.reset();
    // Literals were read whole: the line reader starts afresh.
    m_reader = std::make_unique<ImapLineReader>(m_opt.lineLimit);
    if (!items.isEmpty())
        emit mailsReady(items);
    nextAfterIdle();
}

void IdleSession::onFetchBytes(const QByteArray &bytes)
{
    m_fetchBuf += bytes;
    if (m_fetchBuf.size() > m_opt.fetchLimit) {
        fail(Fault::LongLine,
             QStringLiteral("sunucu yaniti %1 bayt sinirini asti, tekrar denenecek.").arg(m_opt.fetchLimit));
        return;
    }
    if (!imapTaggedDone(m_fetchBuf, m_tag))
        return;
    // Mail that arrived meanwhile makes one more fetch before IDLE.
    for (const QByteArray &line : imapLinesOutsideLiterals(m_fetchBuf)) {
        QByteArray l = line;
        while (l.endsWith('\r'))
            l.chop(1);
        const IdleLine kind = classifyIdleLine(l, m_tag);
        if (kind.kind == IdleLine::Bye) {
            fail(Fault::Bye, QStringLiteral("sunucu baglantiyi kapatti (BYE), tekrar denenecek."));
            return;
        }
        if (kind.kind == IdleLine::Exists || (kind.kind == IdleLine::Recent && kind.number > 0))
            m_moreMail = true;
    }
    m_replyTimer.stop();
    const QByteArray reply = m_fetchBuf;
    m_fetchBuf.clear();
    if (m_step == Step::Actions) {
        m_actionRun->reply(reply);
        actionStep();
        return;
    }
    m_fetch->reply(reply);
    fetchStep();
}

void IdleSession::enterIdle()
{
    send("IDLE", Step::IdleStart);
}

void IdleSession::send(const QByteArray &command, Step next)
{
    m_tag = "i" + QByteArray::number(++m_tagCounter);
    m_step = next;
    m_replyTimer.start(m_opt.replyMs);
    m_socket->write(m_tag + ' ' + command + "\r\n");
}

void IdleSession::notice(int events)
{
    // Events counted since notices last fell quiet for a whole gap.
    m_windowEvents += events;
    if (m_windowEvents >= m_opt.floodNotices)
        report(Fault::Flood, QStringLiteral("sunucu cok sik yeni mail bildiriyor; bildirimler birlestiriliyor."));
    if (m_noticeTimer.isActive()) {
        m_noticeHeld = true;
        return;
    }
    emit newMail(m_account.address);
    m_noticeTimer.start(m_opt.noticeGapMs);
}

void IdleSession::onDropped()
{
    if (m_step == Step::Connecting) {
        fail(Fault::Connect,
             withQtDetail(tlsSocketErrorText(m_socket->error(), m_socket->sslHandshakeErrors()),
                          m_socket->errorString())
                 + QStringLiteral(", tekrar denenecek."));
        return;
    }
    fail(Fault::Dropped, QStringLiteral("baglanti koptu, tekrar denenecek."));
}

void IdleSession::onReplyTimeout()
{
    switch (m_step) {
    case Step::Connecting:
        fail(Fault::Connect, QStringLiteral("baglanti kurulamadi (zaman asimi), tekrar denenecek."));
        return;
    case Step::IdleStart:
        fail(Fault::NoAnswer, QStringLiteral("sunucu IDLE komutuna yanit vermedi, tekrar denenecek."));
        return;
    default:
        fail(Fault::NoAnswer, QStringLiteral("sunucu yanit vermedi, tekrar denenecek."));
        return;
    }
}

void IdleSession::fail(Fault fault, const QString &detail)
{
    report(fault, detail);
    dropActions();
    teardown();
    setInstant(false);
    m_reconnected = true;
    m_step = Step::Waiting;
    m_retryTimer.start(idleRetryDelayMs(m_attempt++, m_opt.random(), m_opt.retryFirstMs, m_opt.retryCapMs));
}

void IdleSession::stop(Fault fault, const QString &detail, bool reportIt)
{
    if (reportIt)
        report(fault, detail);
    dropActions();
    teardown();
    setInstant(false);
    m_step = Step::Stopped;
}

void IdleSession::report(Fault fault, const QString &detail)
{
    if (m_reported.contains(int(fault)))
        return;
    m_reported.insert(int(fault));
    emit log(m_account.address, QStringLiteral("Anlik izleme (%1): %2").arg(m_account.address, detail));
}

void IdleSession::teardown()
{
    m_fetch.reset();
    m_fetchBuf.clear();
    m_replyTimer.stop();
    m_reidleTimer.stop();
    m_stableTimer.stop();
    m_retryTimer.stop();
    if (!m_socket)
        return;
    QSslSocket *sock = m_socket;
    m_socket = nullptr;
    sock->disconnect(this);
    sock->abort();
    sock->deleteLater();
}

void IdleSession::setInstant(bool on)
{
    if (m_instant == on)
        return;
    m_instant = on;
    emit instantChanged(m_account.address, on);
}
