// The send session against scripted servers: every refusal, the STARTTLS
// path's failures, connection errors, unsafe input, overlong and split
// replies, and shutdown while a send is blocked.
#include <QElapsedTimer>
#include <QtTest>

#include "accountsupport.h"
#include "fakeserver.h"
#include "servers/tlsfixture.h"
#include "transport/smtpclient.h"
#include "transport/smtpworker.h"

namespace {
// A well-behaved submission server; tests replace single answers by step.
struct SmtpScript
{
    QMap<QByteArray, QByteArray> overrides; // by step: EHLO STARTTLS AUTH USER PASS MAIL RCPT DATA END
    QByteArray ehlo = "250-fake.test\r\n250-AUTH LOGIN\r\n250 SIZE 1000000\r\n";
    QByteArray starttls = "220 go ahead\r\n";
    int authStep = 0;
    bool inData = false;
    QByteArray data;

    QByteArray step(const QByteArray &name, const QByteArray &normal) const
    {
        return overrides.contains(name) ? overrides.value(name) : normal;
    }
    QByteArray answer(const QByteArray &line)
    {
        if (inData) {
            if (line != ".") {
                data += line + "\r\n";
                return QByteArray();
            }
            inData = false;
            return step("END", "250 queued\r\n");
        }
        if (authStep == 1) {
            authStep = 2;
            return step("USER", "334 UGFzc3dvcmQ6\r\n");
        }
        if (authStep == 2) {
            authStep = 0;
            return step("PASS", "235 ok\r\n");
        }
        if (line.startsWith("EHLO"))
            return step("EHLO", ehlo);
        if (line == "STARTTLS")
            return step("STARTTLS", starttls);
        if (line == "AUTH LOGIN") {
            authStep = 1;
            return step("AUTH", "334 VXNlcm5hbWU6\r\n");
        }
        if (line.startsWith("MAIL FROM:"))
            return step("MAIL", "250 sender ok\r\n");
        if (line.startsWith("RCPT TO:"))
            return step("RCPT", "250 rcpt ok\r\n");
        if (line == "DATA") {
            const QByteArray a = step("DATA", "354 go\r\n");
            inData = a.startsWith("354");
            return a;
        }
        if (line == "QUIT")
            return "221 bye\r\n";
        return "500 what\r\n";
    }
};

SmtpTimeouts quick()
{
    SmtpTimeouts t;
    t.replyMs = 300;
    t.connectMs = 3000;
    t.handshakeMs = 3000;
    t.startTlsMs = 3000;
    return t;
}

struct Sent
{
    explicit Sent(SmtpWorker &w) : log(&w, &SmtpWorker::sendLog), done(&w, &SmtpWorker::sendFinished) {}
    QString message() const { return done.value(0).value(2).toString(); }
    bool ok() const { return done.value(0).value(1).toBool(); }
    QSignalSpy log, done;
};

const QString kTo = QStringLiteral("veli@example.test");
} // namespace

class SmtpFakeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeServer> server(FakeServer::Mode mode, std::shared_ptr<SmtpScript> script,
                                       const TlsFixture *tls = nullptr)
    {
        const TlsFixture &t = tls ? *tls : m_tls;
        auto s = std::make_unique<FakeServer>(mode, t.serverCertificate(), t.serverKey());
        s->greeting = "220 fake ESMTP\r\n";
        s->reply = [script](const QByteArray &line) { return script->answer(line); };
        return s;
    }
    static SmtpServerResolver to(const FakeServer &s, bool startTls)
    {
        const quint16 port = s.serverPort();
        return [port, startTls](const EmailAccount &) {
            return SmtpServer{QStringLiteral("127.0.0.1"), port, startTls};
        };
    }
    static EmailAccount account()
    {
        return makeAccount(QStringLiteral("ali@fake.test"), QStringLiteral("imap.fake.test"), 993,
                           QStringLiteral("ali"), QStringLiteral("secret"));
    }

    TlsFixture m_tls;

private slots:
    void initTestCase()
    {
        registerMailMetaTypes();
        QVERIFY2(m_tls.isValid(), qPrintable(m_tls.error()));
        m_tls.trustInProcess();
    }

    void answersThatAreAccepted()
    {
        // 251 to RCPT is a success; a refused EHLO on the implicit-TLS path is
        // not examined; credentials go out in Base64.
        auto script = std::make_shared<SmtpScript>();
        script->overrides["RCPT"] = "251 not local; will forward\r\n";
        script->overrides["EHLO"] = "502 no ehlo\r\n";
        auto s = server(FakeServer::Tls, script);
        SmtpWorker worker(to(*s, false), quick());
        Sent sent(worker);
        worker.workSend(account(), kTo, QStringLiteral("Konu"), QStringLiteral("a\n.b"));
        QCOMPARE(sent.done.size(), 1);
        QVERIFY2(sent.ok(), qPrintable(sent.message()));
        QCOMPARE(s->lines.mid(0, 6), (QList<QByteArray>{"EHLO mireloplus", "AUTH LOGIN", "YWxp", "c2VjcmV0",
                                                        "MAIL FROM:<ali@fake.test>", "RCPT TO:<veli@example.test>"}));
        QVERIFY(script->data.contains("\r\nFrom: ali@fake.test\r\nTo: veli@example.test\r\nSubject: Konu\r\n"));
        QVERIFY(script->data.endsWith("Content-Transfer-Encoding: 7bit\r\n\r\na\r\n..b\r\n"));
        QCOMPARE(s->lines.last(), QByteArray("QUIT"));
    }

    void everyRefusalHasItsText_data()
    {
        QTest::addColumn<QByteArray>("step");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("auth") << QByteArray("AUTH") << QByteArray("502 5.5.1 no\r\n")
                              << QStringLiteral("AUTH desteklenmiyor.");
        QTest::newRow("user") << QByteArray("USER") << QByteArray("535 no\r\n")
                              << QStringLiteral("Kullanici adi reddedildi.");
        QTest::newRow("password") << QByteArray("PASS") << QByteArray("535 5.7.8 bad\r\n")
                                  << QStringLiteral("Sifre reddedildi. Uygulama sifreni kontrol et.");
        QTest::newRow("sender") << QByteArray("MAIL") << QByteArray("550 no\r\n")
                                << QStringLiteral("Gonderen reddedildi.");
        QTest::newRow("sender silent") << QByteArray("MAIL") << QByteArray()
                                       << QStringLiteral("Gonderen reddedildi.");
        QTest::newRow("recipient") << QByteArray("RCPT") << QByteArray("550 no such user\r\n")
                                   << QStringLiteral("Alici reddedildi: veli@example.test");
        QTest::newRow("data") << QByteArray("DATA") << QByteArray("554 no\r\n") << QStringLiteral("DATA reddedildi.");
        QTest::newRow("message") << QByteArray("END") << QByteArray("554 spam\r\n")
                                 << QStringLiteral("Gonderi kabul edilmedi.");
    }

    void everyRefusalHasItsText()
    {
        QFETCH(QByteArray, step);
        QFETCH(QByteArray, answer);
        QFETCH(QString, message);
        auto script = std::make_shared<SmtpScript>();
        script->overrides[step] = answer;
        auto s = server(FakeServer::Tls, script);
        SmtpWorker worker(to(*s, false), quick());
        Sent sent(worker);
        worker.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QCOMPARE(sent.done.size(), 1);
        QCOMPARE(sent.done.at(0), (QList<QVariant>{kTo, false, message}));
        QVERIFY(!s->lines.contains("QUIT"));
        QCOMPARE(sent.log.size(), 2);
    }

    void startTlsPathFailures_data()
    {
        QTest::addColumn<QByteArray>("step");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("ehlo") << QByteArray("EHLO") << QByteArray("500 no\r\n") << QStringLiteral("EHLO reddedildi.");
        QTest::newRow("no starttls") << QByteArray("STARTTLS") << QByteArray("502 5.5.1 not here\r\n")
                                     << QStringLiteral("STARTTLS desteklenmiyor.");
    }

    void startTlsPathFailures()
    {
        QFETCH(QByteArray, step);
        QFETCH(QByteArray, answer);
        QFETCH(QString, message);
        auto script = std::make_shared<SmtpScript>();
        script->overrides[step] = answer;
        auto s = server(FakeServer::Plain, script);
        SmtpWorker worker(to(*s, true), quick());
        Sent sent(worker);
        worker.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QCOMPARE(sent.done.size(), 1);
        QCOMPARE(sent.done.at(0), (QList<QVariant>{kTo, false, message}));
        QCOMPARE(sent.log.at(0).at(0).toString(),
                 QStringLiteral("Baglaniliyor: 127.0.0.1:%1 (STARTTLS)").arg(s->serverPort()));
        QVERIFY(!s->lines.contains("AUTH LOGIN"));
    }

    void startTlsUpgradeFailures()
    {
        // The upgrade meets a certificate no trusted CA signed.
        TlsFixture stranger;
        QVERIFY(stranger.isValid());
        auto script = std::make_shared<SmtpScript>();
        auto s = server(FakeServer::Plain, script, &stranger);
        s->upgradeAfter = [](const QByteArray &line) { return line == "STARTTLS"; };
        SmtpWorker worker(to(*s, true), quick());
        Sent sent(worker);
        worker.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QCOMPARE(sent.done.size(), 1);
        QCOMPARE(sent.message(), QStringLiteral("TLS kurulamadi: 127.0.0.1:%1 \u2014 guvenli baglanti kurulamadi: "
                                                "sunucu sertifikasi guvenilir bir yayinciya dayanmiyor")
                                     .arg(s->serverPort()));
        QVERIFY(!s->lines.contains("AUTH LOGIN"));

        // A good upgrade, then the second EHLO is refused.
        auto script2 = std::make_shared<SmtpScript>();
        auto s2 = server(FakeServer::Plain, script2);
        s2->upgradeAfter = [script2](const QByteArray &line) {
            if (line != "STARTTLS")
                return false;
            script2->overrides["EHLO"] = "554 not now\r\n";
            return true;
        };
        SmtpWorker worker2(to(*s2, true), quick());
        Sent sent3(worker2);
        worker2.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QCOMPARE(sent3.done.size(), 1);
        QCOMPARE(sent3.message(), QStringLiteral("EHLO2 reddedildi."));
        QCOMPARE(s2->lines, (QList<QByteArray>{"EHLO mireloplus", "STARTTLS", "EHLO mireloplus"}));
    }

    void connectionErrors()
    {
        const quint16 port = closedPort();
        auto closed = [port](bool startTls) {
            return [port, startTls](const EmailAccount &) {
                return SmtpServer{QStringLiteral("127.0.0.1"), port, startTls};
            };
        };
        SmtpWorker implicit(closed(false), quick());
        Sent a(implicit);
        implicit.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        // Turkish, naming the server; Qt's English text goes to the log only.
        QCOMPARE(a.message(),
                 QStringLiteral("SSL baglanti hatasi: 127.0.0.1:%1 \u2014 baglanti reddedildi (port dogru mu?)").arg(port));
        QCOMPARE(a.log.last().at(0).toString(), QStringLiteral("Detay: baglanti reddedildi (port dogru mu?) (Connection refused)"));
        SmtpWorker plain(closed(true), quick());
        Sent b(plain);
        plain.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QCOMPARE(b.message(),
                 QStringLiteral("Baglanilamadi: 127.0.0.1:%1 \u2014 baglanti reddedildi (port dogru mu?)").arg(port));

        TlsFixture stranger;
        QVERIFY(stranger.isValid());
        auto script = std::make_shared<SmtpScript>();
        auto s = server(FakeServer::Tls, script, &stranger);
        SmtpWorker untrusted(to(*s, false), quick());
        Sent c(untrusted);
        untrusted.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QVERIFY2(c.message().endsWith(QStringLiteral("sunucu sertifikasi guvenilir bir yayinciya dayanmiyor")),
                 qPrintable(c.message()));

        // A server that never answers: a timeout, not Qt's "Unknown error".
        FakeServer silent(FakeServer::Silent);
        SmtpTimeouts t = quick();
        t.handshakeMs = 300;
        SmtpWorker waiting(to(silent, false), t);
        Sent d(waiting);
        waiting.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QCOMPARE(d.message(), QStringLiteral("SSL baglanti hatasi: 127.0.0.1:%1 \u2014 zaman asimi: sunucu yanit vermedi")
                                  .arg(silent.serverPort()));
        QVERIFY(s->lines.isEmpty());
    }

    void lineBreaksAreRefusedBeforeConnecting_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("message");
        QTest::newRow("recipient")
            << QStringLiteral("ali@fake.test") << QStringLiteral("veli@example.test>\r\nRCPT TO:<x@evil.test")
            << QStringLiteral("S") << QStringLiteral("Alici gecersiz: adres satir sonu (CR/LF) iceremez.");
        QTest::newRow("subject from a hostile mail")
            << QStringLiteral("ali@fake.test") << kTo << QStringLiteral("Re: hi\nBcc: x@evil.test")
            << QStringLiteral("Konu gecersiz: konu satir sonu (CR/LF) iceremez.");
        QTest::newRow("subject with a bare CR") << QStringLiteral("ali@fake.test") << kTo
                                                << QStringLiteral("Re: hi\r")
                                                << QStringLiteral("Konu gecersiz: konu satir sonu (CR/LF) iceremez.");
        QTest::newRow("sender") << QStringLiteral("ali@fake.test>\r\nRSET") << kTo << QStringLiteral("S")
                                << QStringLiteral("Gonderen gecersiz: adres satir sonu (CR/LF) iceremez.");
    }

    void lineBreaksAreRefusedBeforeConnecting()
    {
        QFETCH(QString, address);
        QFETCH(QString, recipient);
        QFETCH(QString, subject);
        QFETCH(QString, message);
        auto script = std::make_shared<SmtpScript>();
        auto s = server(FakeServer::Tls, script);
        SmtpWorker worker(to(*s, false), quick());
        Sent sent(worker);
        EmailAccount acc = account();
        acc.address = address;
        worker.workSend(acc, recipient, subject, QStringLiteral("B"));
        QCOMPARE(sent.done.size(), 1);
        QCOMPARE(sent.done.at(0), (QList<QVariant>{recipient, false, message}));
        QCOMPARE(sent.log.size(), 0);
        QCOMPARE(s->connections, 0);
    }

    void overlongReplyEndsTheSend()
    {
        SmtpTimeouts t = quick();
        t.replyLimit = 256 * 1024;
        auto script = std::make_shared<SmtpScript>();
        script->overrides["EHLO"] = "250-";
        auto s = server(FakeServer::Tls, script);
        s->floodAfter = [](const QByteArray &line) { return line.startsWith("EHLO"); };
        SmtpWorker worker(to(*s, false), t);
        Sent sent(worker);
        worker.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QCOMPARE(sent.done.size(), 1);
        QCOMPARE(sent.done.at(0), (QList<QVariant>{kTo, false,
                                                   QStringLiteral("Sunucu yaniti cok buyuk: 262144 bayt siniri asildi.")}));
        QVERIFY(!s->lines.contains("AUTH LOGIN"));
    }

    void multiLineReplyIsReadToItsEnd()
    {
        // The EHLO answer comes in two parts; its second part holds "334",
        // which must not pass for the answer to AUTH LOGIN.
        auto script = std::make_shared<SmtpScript>();
        script->overrides["EHLO"] = "250-fake.test\r\n";
        auto s = server(FakeServer::Tls, script);
        s->lateReply = [](const QByteArray &line) {
            return line.startsWith("EHLO") ? QByteArray("250-SIZE 33400000\r\n250 AUTH LOGIN\r\n") : QByteArray();
        };
        SmtpWorker worker(to(*s, false), SmtpTimeouts());
        Sent sent(worker);
        worker.workSend(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QVERIFY2(sent.ok(), qPrintable(sent.message()));
        QVERIFY(!s->spokeTooEarly);
    }

    void quittingWhileASendIsBlockedIsPrompt()
    {
        FakeServer silent(FakeServer::Silent);
        auto client = std::make_unique<SmtpClient>(to(silent, false), SmtpTimeouts());
        QSignalSpy done(client.get(), &SmtpClient::sendFinished);
        client->sendReply(account(), kTo, QStringLiteral("S"), QStringLiteral("B"));
        QTRY_COMPARE_WITH_TIMEOUT(silent.connections, 1, 5000);
        QElapsedTimer clock;
        clock.start();
        client.reset();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(SmtpFakeTest)
#include "tst_smtpfake.moc"
