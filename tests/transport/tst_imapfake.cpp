// IMAP sessions against scripted servers: refusals, silence, odd replies,
// untrusted certificates, overlong replies, unsafe input and shutdown while
// a session is blocked.
#include <QElapsedTimer>
#include <QtTest>

#include "accountsupport.h"
#include "fakeserver.h"
#include "servers/tlsfixture.h"
#include "transport/imapclient.h"
#include "transport/imapworker.h"

namespace {
QByteArray literal(const QByteArray &data)
{
    return "{" + QByteArray::number(data.size()) + "}\r\n" + data;
}

// A well-behaved mailbox with one unseen message; tests replace single answers.
struct Mailbox
{
    QByteArray headers = "From: Banka <no-reply@bank.test>\r\nSubject: Kod\r\n\r\n";
    QByteArray text = "Kodunuz 123456\r\n";
    QByteArray uidPart = "UID 42 ";

    QByteArray answer(const QByteArray &line) const
    {
        const QByteArray tag = line.left(line.indexOf(' '));
        const QByteArray ok = tag + " OK done\r\n";
        if (line.contains(" LOGIN "))
            return ok;
        if (line.endsWith("SELECT INBOX"))
            return "* 1 EXISTS\r\n* OK [UIDVALIDITY 7] ok\r\n" + ok;
        if (line.contains("SEARCH"))
            return "* SEARCH 1\r\n" + ok;
        if (line.contains("HEADER.FIELDS"))
            return "* 1 FETCH (" + uidPart + "BODY[HEADER.FIELDS (FROM SUBJECT DATE)] " + literal(headers) + ")\r\n" + ok;
        if (line.contains("BODY.PEEK[TEXT]"))
            return "* 1 FETCH (BODY[TEXT]<0> " + literal(text) + ")\r\n" + ok;
        if (line.endsWith("LOGOUT"))
            return "* BYE bye\r\n" + ok;
        return tag + " BAD what\r\n";
    }
};

// Short waits: a silent server costs a fraction of a second.
ImapTimeouts quick()
{
    ImapTimeouts t;
    t.handshakeMs = 3000;
    t.replyChunkMs = 300;
    t.greetingFirstMs = 300;
    t.greetingMoreMs = 50;
    return t;
}
} // namespace

class ImapFakeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeServer> tlsServer(const Mailbox &box)
    {
        auto s = std::make_unique<FakeServer>(FakeServer::Tls, m_tls.serverCertificate(), m_tls.serverKey());
        s->greeting = "* OK fake ready\r\n";
        s->reply = [box](const QByteArray &line) { return box.answer(line); };
        return s;
    }
    EmailAccount accountFor(const FakeServer &s)
    {
        return makeAccount(QStringLiteral("ali@fake.test"), QStringLiteral("127.0.0.1"), s.serverPort(),
                           QStringLiteral("ali"), QStringLiteral("secret"));
    }
    static bool sent(const FakeServer &s, const QByteArray &command)
    {
        for (const QByteArray &l : s.lines) {
            if (l.contains(command))
                return true;
        }
        return false;
    }

    TlsFixture m_tls;

private slots:
    void initTestCase()
    {
        registerMailMetaTypes();
        QVERIFY2(m_tls.isValid(), qPrintable(m_tls.error()));
        m_tls.trustInProcess();
    }

    void pollLoginRefusal_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("message");
        const QByteArray longNo = "a02 NO " + QByteArray(300, 'z');
        QTest::newRow("authenticationfailed any case")
            << QByteArray("a02 NO [AuthenticationFailed] nope\r\n")
            << QStringLiteral("Sifre reddedildi. Uygulama sifresi kullandigindan emin ol.");
        QTest::newRow("tagged NO gives its line")
            << QByteArray("* OK still here\r\na02 NO  Login not permitted now  \r\n")
            << QStringLiteral("a02 NO  Login not permitted now");
        QTest::newRow("long NO cut to 160") << (longNo + "\r\n") << QString::fromLatin1(longNo.left(160));
        QTest::newRow("BAD") << QByteArray("a02 BAD Unknown\r\n") << QStringLiteral("Kullanici adi/sifre reddedildi.");
        QTest::newRow("silence") << QByteArray() << QStringLiteral("Kullanici adi/sifre reddedildi.");
    }

    void pollLoginRefusal()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, message);
        Mailbox box;
        auto server = tlsServer(box);
        server->reply = [&](const QByteArray &line) { return line.contains(" LOGIN ") ? answer : box.answer(line); };
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        worker.workPoll({accountFor(*server)}, true);
        QCOMPARE(rec.done.size(), 1);
        QCOMPARE(rec.done.at(0), (QList<QVariant>{QStringLiteral("ali@fake.test"), false, message, 0}));
        QCOMPARE(rec.ready.size(), 0);
        // A refused login ends the account's session: nothing else is sent.
        QCOMPARE(server->lines.size(), 1);
    }

    // A server without SASL-IR: the mechanism first, the token after the
    // go-ahead; a refused token's report answered with an empty line.
    void tokenWithoutInitialResponse_data()
    {
        QTest::addColumn<bool>("accepted");
        QTest::newRow("accepted") << true;
        QTest::newRow("refused") << false;
    }
    void tokenWithoutInitialResponse()
    {
        QFETCH(bool, accepted);
        Mailbox box;
        auto server = tlsServer(box);
        EmailAccount acc = accountFor(*server);
        acc.pass.clear();
        acc.auth = MailAuth::XOAuth2;
        acc.refreshToken = QStringLiteral("rt");
        acc.accessToken = QStringLiteral("tok");
        const QByteArray initial = saslInitialResponse(acc, acc.host, acc.port);
        server->reply = [&](const QByteArray &line) -> QByteArray {
            if (line == "a02c CAPABILITY")
                return "* CAPABILITY IMAP4rev1 AUTH=XOAUTH2\r\na02c OK done\r\n";
            if (line == "a02 AUTHENTICATE XOAUTH2")
                return "+ \r\n";
            if (line == initial)
                return accepted ? QByteArray("a02 OK Logged in\r\n") : QByteArray("+ eyJzdGF0dXMiOiI0MDEifQ==\r\n");
            if (line.isEmpty())
                return "a02 NO [AUTHENTICATIONFAILED] Authentication failed.\r\n";
            return box.answer(line);
        };
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        QSignalSpy tokenRefused(&worker, &ImapWorker::tokenRefused);
        QSignalSpy loginRefused(&worker, &ImapWorker::loginRefused);
        worker.workPoll({acc}, true);
        QCOMPARE(rec.done.size(), 1);
        QCOMPARE(rec.done.at(0).at(1).toBool(), accepted);
        QCOMPARE(server->lines.mid(0, 3),
                 (QList<QByteArray>{"a02c CAPABILITY", "a02 AUTHENTICATE XOAUTH2", initial}));
        QCOMPARE(loginRefused.size(), 0);
        QCOMPARE(tokenRefused.size(), accepted ? 0 : 1);
        if (!accepted) {
            QCOMPARE(server->lines, (QList<QByteArray>{"a02c CAPABILITY", "a02 AUTHENTICATE XOAUTH2", initial, ""}));
            QCOMPARE(rec.done.at(0).at(2).toString(), tokenRefusedText());
        }
        QVERIFY(!server->spokeTooEarly);
    }

    void accountTestRefusals()
    {
        Mailbox box;
        auto server = tlsServer(box);
        const QByteArray longNo = "t02 NO [AUTHENTICATIONFAILED] " + QByteArray(250, 'q');
        server->reply = [&](const QByteArray &line) {
            return line.contains(" LOGIN ") ? "* OK x\r\n" + longNo + "\r\n" : box.answer(line);
        };
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        worker.workTest(accountFor(*server));
        QCOMPARE(rec.testLines().last(), QStringLiteral("Giris reddedildi."));
        QCOMPARE(rec.testDone.at(0).at(2).toString(),
                 QStringLiteral("Giris basarisiz. Uygulama sifresi kullandigindan emin ol. Detay: ")
                     + QString::fromLatin1(longNo.left(180)));
        QVERIFY(!sent(*server, "LOGOUT"));

        auto noInbox = tlsServer(box);
        noInbox->reply = [&](const QByteArray &line) {
            return line.endsWith("SELECT INBOX") ? QByteArray("t03 NO no such mailbox\r\n") : box.answer(line);
        };
        WorkerRecord rec2(worker);
        worker.workTest(accountFor(*noInbox));
        QCOMPARE(rec2.testDone.size(), 1);
        QCOMPARE(rec2.testDone.at(0), (QList<QVariant>{QStringLiteral("ali@fake.test"), false,
                                                       QStringLiteral("INBOX acilamadi.")}));
        QCOMPARE(rec2.testLines().last(), QStringLiteral("3/4 Giris OK. INBOX aciliyor..."));
    }

    void pollIgnoresFailedSelectAndOddTexts()
    {
        Mailbox box;
        // No literal marker in the text reply: the body is the raw reply.
        const QByteArray raw = "* 1 FETCH (BODY[TEXT]<0> NIL)\r\na06 OK done\r\n";
        auto server = tlsServer(box);
        server->reply = [&](const QByteArray &line) {
            if (line.endsWith("SELECT INBOX"))
                return QByteArray("a03 NO [NONEXISTENT] odd\r\n");
            if (line.contains("BODY.PEEK[TEXT]"))
                return raw;
            return box.answer(line);
        };
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        worker.workPoll({accountFor(*server)}, false);
        QCOMPARE(rec.allItems().size(), 1);
        const MailItem m = rec.allItems().at(0);
        QCOMPARE(m.body, QString::fromLatin1(raw));
        QCOMPARE(m.preview, QStringLiteral("* 1 FETCH (BODY[TEXT]<0> NIL) a06 OK done"));
        QCOMPARE(m.from, QStringLiteral("Banka <no-reply@bank.test>"));

        // A text fetch that gets no answer gives an empty body and the subject as preview.
        auto quiet = tlsServer(box);
        quiet->reply = [&](const QByteArray &line) {
            return line.contains("BODY.PEEK[TEXT]") ? QByteArray() : box.answer(line);
        };
        WorkerRecord rec2(worker);
        worker.workPoll({accountFor(*quiet)}, false);
        QCOMPARE(rec2.allItems().size(), 1);
        QCOMPARE(rec2.allItems().at(0).body, QString());
        QCOMPARE(rec2.allItems().at(0).preview, QStringLiteral("Kod"));
    }

    void undecodableTextStillGivesItsCard()
    {
        // A multipart whose text is binary junk without a part in it, then a
        // sound base64 mail: both get their cards, the first with its raw text.
        Mailbox box;
        const QByteArray junk("--x\r\n\r\n\0\xff\xfe", 10);
        auto server = tlsServer(box);
        server->reply = [&](const QByteArray &line) {
            const QByteArray tag = line.left(line.indexOf(' '));
            if (line.contains("SEARCH"))
                return QByteArray("* SEARCH 1 2\r\n") + tag + " OK\r\n";
            if (line.contains("FETCH 1 (UID"))
                return "* 1 FETCH (UID 1 BODY[HEADER.FIELDS (FROM)] "
                    + literal("From: a@x.test\r\nContent-Type: multipart/mixed; boundary=y\r\n\r\n") + ")\r\n" + tag
                    + " OK\r\n";
            if (line.contains("FETCH 1 BODY.PEEK[TEXT]"))
                return "* 1 FETCH (BODY[TEXT]<0> " + literal(junk) + ")\r\n" + tag + " OK\r\n";
            if (line.contains("FETCH 2 (UID"))
                return "* 2 FETCH (UID 2 BODY[HEADER.FIELDS (FROM)] "
                    + literal("From: b@x.test\r\nContent-Transfer-Encoding: base64\r\n\r\n") + ")\r\n" + tag
                    + " OK\r\n";
            if (line.contains("FETCH 2 BODY.PEEK[TEXT]"))
                return "* 2 FETCH (BODY[TEXT]<0> " + literal("S29kIDEyMzQ=\r\n") + ")\r\n" + tag + " OK\r\n";
            return box.answer(line);
        };
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        worker.workPoll({accountFor(*server)}, false);
        QCOMPARE(rec.allItems().size(), 2);
        QCOMPARE(rec.allItems().at(0).body, QString::fromUtf8(junk));
        QCOMPARE(rec.allItems().at(1).body, QStringLiteral("Kod 1234"));
        QCOMPARE(rec.done.at(0).at(2).toString(), QStringLiteral("2 yeni"));
    }

    void tricklingTextEndsInBoundedTime()
    {
        // A text that arrives a byte at a time may take no longer than a
        // reply of the usual chunk count, however many chunks it comes in.
        ImapTimeouts t = quick();
        t.replyChunks = 2;
        Mailbox box;
        auto server = tlsServer(box);
        server->trickleMs = 250;
        server->reply = [&](const QByteArray &line) {
            return line.contains("BODY.PEEK[TEXT]") ? QByteArray("* 1 FETCH (BODY[TEXT]<0> {9000}\r\nKod 4321 ")
                                                    : box.answer(line);
        };
        server->trickleAfter = [](const QByteArray &line) { return line.contains("BODY.PEEK[TEXT]"); };
        ImapWorker worker(t);
        WorkerRecord rec(worker);
        QElapsedTimer clock;
        clock.start();
        worker.workPoll({accountFor(*server)}, false);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rec.allItems().size(), 1);
        QVERIFY2(rec.allItems().at(0).body.startsWith(QLatin1String("Kod 4321 x")), qPrintable(rec.allItems().at(0).body));
    }

    void headerFetchProblemsSkipTheMessage()
    {
        Mailbox box;
        box.headers = "Date: Mon, 1 Jan 2024 10:00:00 +0000\r\n\r\n";
        auto noNames = tlsServer(box);
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        worker.workPoll({accountFor(*noNames)}, false);
        QCOMPARE(rec.ready.size(), 0);
        QCOMPARE(rec.done.at(0), (QList<QVariant>{QStringLiteral("ali@fake.test"), true,
                                                  QStringLiteral("Yeni kod yok"), 0}));
        QVERIFY(!sent(*noNames, "BODY.PEEK[TEXT]"));

        Mailbox fine;
        auto silentHeader = tlsServer(fine);
        silentHeader->reply = [&](const QByteArray &line) {
            return line.contains("HEADER.FIELDS") ? QByteArray() : fine.answer(line);
        };
        WorkerRecord rec2(worker);
        worker.workPoll({accountFor(*silentHeader)}, false);
        QCOMPARE(rec2.ready.size(), 0);
        QCOMPARE(rec2.done.at(0).at(1).toBool(), true);
    }

    void idFallsBackToHeadersWithoutUid()
    {
        Mailbox box;
        box.uidPart.clear();
        box.headers = "From: a@x.test\r\nSubject: Kod\r\nDate: Mon, 1 Jan 2024 10:00:00 +0000\r\n\r\n";
        auto server = tlsServer(box);
        ImapWorker worker(quick());
        WorkerRecord first(worker);
        worker.workPoll({accountFor(*server)}, false);
        const QString id = first.ids().value(0);
        QVERIFY(id.startsWith(QStringLiteral("imap-")));
        WorkerRecord again(worker);
        worker.workPoll({accountFor(*server)}, false);
        QCOMPARE(again.ids().value(0), id);

        box.headers.replace("10:00:00", "10:00:01");
        auto other = tlsServer(box);
        WorkerRecord third(worker);
        worker.workPoll({accountFor(*other)}, false);
        QVERIFY(third.ids().value(0) != id);
    }

    void loginIsQuotedExactly()
    {
        Mailbox box;
        auto server = tlsServer(box);
        EmailAccount acc = accountFor(*server);
        acc.user = QStringLiteral("a\"l\\i");
        acc.pass = QStringLiteral("\\p\"w\u00e7");
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        worker.workPoll({acc}, false);
        QCOMPARE(server->lines.value(0), QByteArray("a02 LOGIN \"a\\\"l\\\\i\" \"\\\\p\\\"w\xc3\xa7\""));
        QCOMPARE(rec.done.at(0).at(1).toBool(), true);
    }

    void lineBreaksInCredentialsAreRefusedBeforeConnecting_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("pass");
        QTest::newRow("LF in password") << QStringLiteral("ali") << QStringLiteral("x\na03 DELETE INBOX");
        QTest::newRow("CR in password") << QStringLiteral("ali") << QStringLiteral("x\r");
        QTest::newRow("CRLF in login") << QStringLiteral("ali\r\na03 LOGOUT") << QStringLiteral("secret");
    }

    void lineBreaksInCredentialsAreRefusedBeforeConnecting()
    {
        QFETCH(QString, user);
        QFETCH(QString, pass);
        const QString text = QStringLiteral("Giris bilgisi gecersiz: kullanici adi veya sifre satir sonu (CR/LF) iceremez.");
        Mailbox box;
        auto server = tlsServer(box);
        EmailAccount acc = accountFor(*server);
        acc.user = user;
        acc.pass = pass;
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        worker.workPoll({acc}, false);
        worker.workTest(acc);
        QCOMPARE(rec.done.size(), 1);
        QCOMPARE(rec.done.at(0), (QList<QVariant>{acc.address, false, text, 0}));
        QCOMPARE(rec.testDone.size(), 1);
        QCOMPARE(rec.testDone.at(0), (QList<QVariant>{acc.address, false, text}));
        QCOMPARE(rec.testLog.size(), 0);
        QCOMPARE(server->connections, 0);
    }

    void untrustedCertificateStopsBeforeLogin()
    {
        // A server whose certificate no trusted CA signed: the poll must not
        // hand it the password.
        TlsFixture stranger;
        QVERIFY(stranger.isValid());
        FakeServer server(FakeServer::Tls, stranger.serverCertificate(), stranger.serverKey());
        server.greeting = "* OK evil\r\n";
        server.reply = [](const QByteArray &line) { return line.left(3) + " OK\r\n"; };
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        const EmailAccount acc = accountFor(server);
        worker.workPoll({acc}, false);
        worker.workTest(acc);
        QCOMPARE(rec.done.size(), 1);
        const QString pollText = rec.done.at(0).at(2).toString();
        const QString expected = QStringLiteral("Baglanti kurulamadi: 127.0.0.1:%1 \u2014 guvenli baglanti kurulamadi: "
                                                "sunucu sertifikasi guvenilir bir yayinciya dayanmiyor. Sunucu ve portu kontrol et.")
                                     .arg(server.serverPort());
        QCOMPARE(pollText, expected);
        QCOMPARE(rec.testDone.at(0).at(2).toString(), expected);
        QVERIFY(server.lines.isEmpty());
        QCOMPARE(server.connections, 2);
    }

    void hugeGreetingIsReadAndSkipped()
    {
        Mailbox box;
        auto server = tlsServer(box);
        QByteArray greeting;
        while (greeting.size() < 600 * 1024)
            greeting += "* OK " + QByteArray(200, 'g') + "\r\n";
        server->greeting = greeting;
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        worker.workPoll({accountFor(*server)}, false);
        QCOMPARE(rec.done.size(), 1);
        QCOMPARE(rec.done.at(0).at(1).toBool(), true);
        QCOMPARE(rec.allItems().size(), 1);
    }

    void tricklingGreetingHasADeadline()
    {
        // One byte every 20 ms: each wait for "more" succeeds, so without an
        // overall deadline the greeting lasts as long as the server likes
        // (here 8 s; a real one can go on for hours).
        Mailbox box;
        auto server = tlsServer(box);
        server->trickleMs = 20;
        server->trickleBytes = 400;
        ImapTimeouts t = quick();
        t.greetingMoreMs = 100;
        t.greetingTotalMs = 500;
        ImapWorker worker(t);
        WorkerRecord rec(worker);
        QElapsedTimer elapsed;
        elapsed.start();
        worker.workPoll({accountFor(*server)}, false);
        QCOMPARE(rec.done.size(), 1);
        QVERIFY2(elapsed.elapsed() < 4000, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY(sent(*server, " LOGIN "));
    }

    void endlessReplyEndsTheSession()
    {
        ImapTimeouts t = quick();
        t.replyLimit = 512 * 1024;
        const QString text = QStringLiteral("Sunucu yaniti cok buyuk: 524288 bayt siniri asildi.");
        Mailbox box;
        auto server = tlsServer(box);
        server->floodAfter = [](const QByteArray &line) { return line.endsWith("SEARCH UNSEEN"); };
        server->reply = [&](const QByteArray &line) {
            return line.endsWith("SEARCH UNSEEN") ? QByteArray("* SEARCH 1") : box.answer(line);
        };
        ImapWorker worker(t);
        WorkerRecord rec(worker);
        worker.workPoll({accountFor(*server)}, false);
        QCOMPARE(rec.done.size(), 1);
        QCOMPARE(rec.done.at(0), (QList<QVariant>{QStringLiteral("ali@fake.test"), false, text, 0}));
        QVERIFY(!sent(*server, "FETCH"));

        auto testServer = tlsServer(box);
        testServer->floodAfter = [](const QByteArray &line) { return line.contains(" LOGIN "); };
        testServer->reply = [](const QByteArray &) { return QByteArray("* OK "); };
        WorkerRecord rec2(worker);
        worker.workTest(accountFor(*testServer));
        QCOMPARE(rec2.testDone.size(), 1);
        QCOMPARE(rec2.testDone.at(0), (QList<QVariant>{QStringLiteral("ali@fake.test"), false, text}));
    }

    void mailsBeforeAnOverlongReplyAreKept()
    {
        ImapTimeouts t = quick();
        t.replyLimit = 256 * 1024;
        Mailbox box;
        auto server = tlsServer(box);
        server->reply = [&](const QByteArray &line) {
            if (line.contains("SEARCH"))
                return QByteArray("* SEARCH 1 2\r\na04 OK\r\n");
            if (line.contains("FETCH 2 (UID"))
                return QByteArray("* 2 FETCH (");
            return box.answer(line);
        };
        server->floodAfter = [](const QByteArray &line) { return line.contains("FETCH 2 (UID"); };
        ImapWorker worker(t);
        WorkerRecord rec(worker);
        worker.workPoll({accountFor(*server)}, false);
        QCOMPARE(rec.allItems().size(), 1);
        QCOMPARE(rec.done.size(), 1);
        QCOMPARE(rec.done.at(0).at(1).toBool(), false);
    }

    void aRefusedLoginIsToldApartFromSilence()
    {
        Mailbox box;
        auto server = tlsServer(box);
        QByteArray answer = "a02 NO [AUTHENTICATIONFAILED] Authentication failed.\r\n";
        server->reply = [&](const QByteArray &line) { return line.contains(" LOGIN ") ? answer : box.answer(line); };
        ImapWorker worker(quick());
        QSignalSpy refused(&worker, &ImapWorker::loginRefused);
        EmailAccount acc = accountFor(*server);
        worker.workPoll({acc}, false);
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.at(0).at(0).toString(), acc.address);
        // silence is a network fault, not a refusal
        answer.clear();
        worker.workPoll({acc}, false);
        QCOMPARE(refused.size(), 1);
        // an account already refused is not logged in to again
        acc.loginRefused = true;
        const int connections = server->connections;
        worker.workPoll({acc}, false);
        QCOMPARE(server->connections, connections);
    }

    void readMailsGetTheirSeenFlagOnTheServer()
    {
        Mailbox box;
        auto server = tlsServer(box);
        QByteArray storeAnswer = "OK stored";
        server->reply = [&](const QByteArray &line) {
            return line.contains("UID STORE") ? line.left(line.indexOf(' ')) + ' ' + storeAnswer + "\r\n" : box.answer(line);
        };
        ImapWorker worker(quick());
        WorkerRecord rec(worker);
        QSignalSpy done(&worker, &ImapWorker::actionsDone);
        EmailAccount acc = accountFor(*server);
        // this mailbox generation is 7; a name of generation 6 and a damaged one touch nothing
        for (const char *uid : {"7:42", "6:99", "7:1 OR 2"})
            acc.pendingActions.append(MailAction{MailActionKind::MarkSeen, QString::fromLatin1(uid), {}, {}, {}});
        worker.workPoll({acc}, false);
        QList<QByteArray> commands;
        for (const QByteArray &l : server->lines)
            commands << l.mid(l.indexOf(' ') + 1);
        const qsizetype at = commands.indexOf("UID STORE 42 +FLAGS.SILENT (\\Seen)");
        QVERIFY(commands.indexOf("SELECT INBOX") < at && at < commands.indexOf("SEARCH UNSEEN"));
        QCOMPARE(std::count_if(commands.begin(), commands.end(), [](auto &c) { return c.startsWith("UID"); }), 1);
        QCOMPARE(done.size(), 1);
        using O = MailActionResult::Outcome;
        auto results = done.at(0).at(1).value<QList<MailActionResult>>();
        QCOMPARE(QList<O>({results.value(0).outcome, results.value(1).outcome, results.value(2).outcome}),
                 QList<O>({O::Done, O::Failed, O::Failed}));
        // the fetched mail carries where the server keeps it
        QCOMPARE(rec.allItems().at(0).serverUid, QStringLiteral("7:42"));
        QVERIFY(!rec.allItems().at(0).seen);

        // a refused STORE fails with the server's word
        storeAnswer = "NO read-only";
        acc.pendingActions = {MailAction{MailActionKind::MarkSeen, QStringLiteral("7:42"), {}, {}, {}}};
        worker.workPoll({acc}, false);
        QCOMPARE(done.size(), 2);
        const MailActionResult refused = done.at(1).at(1).value<QList<MailActionResult>>().value(0);
        QVERIFY2(refused.message.startsWith("Okundu isaretlenemedi: sunucu reddetti"), qPrintable(refused.message));
    }

    void quittingWhileBlockedIsPromptAndClean_data()
    {
        QTest::addColumn<bool>("handshakeBlocks");
        QTest::newRow("silent during the TLS handshake") << true;
        QTest::newRow("silent after the login") << false;
    }

    void quittingWhileBlockedIsPromptAndClean()
    {
        QFETCH(bool, handshakeBlocks);
        Mailbox box;
        std::unique_ptr<FakeServer> server;
        if (handshakeBlocks) {
            server = std::make_unique<FakeServer>(FakeServer::Silent);
        } else {
            server = tlsServer(box);
            server->reply = [&](const QByteArray &line) {
                return line.contains(" LOGIN ") ? QByteArray() : box.answer(line);
            };
        }
        // The program's own waits: 15 s for the handshake, 3 s per reply chunk.
        auto client = std::make_unique<ImapClient>(nullptr);
        QSignalSpy finished(client.get(), &ImapClient::testFinished);
        client->testAccount(accountFor(*server));
        if (handshakeBlocks)
            QTRY_COMPARE_WITH_TIMEOUT(server->connections, 1, 5000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(server->lines.size(), 1, 5000);
        QElapsedTimer clock;
        clock.start();
        client.reset();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(finished.size(), 0);
    }
};

QTEST_GUILESS_MAIN(ImapFakeTest)
#include "tst_imapfake.moc"
