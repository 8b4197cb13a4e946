// IMAP sessions against a real Dovecot over implicit TLS.
#include <QTcpServer>
#include <QtTest>

#include "accountsupport.h"
#include "servers/dovecotusers.h"
#include "transport/imapworker.h"

static const QString kQuotedPassword = QStringLiteral("pa\"ss\\wo\"rd");

class ImapDovecotTest : public QObject
{
    Q_OBJECT

private:
    // Every test case gets a mailbox of its own on the one server.
    EmailAccount newAccount()
    {
        const QString user = m_dovecot.nextUser();
        return makeAccount(user + QStringLiteral("@localhost"), m_imap->host(), m_imap->port(), user,
                           QStringLiteral("secret"));
    }
    QString deliver(const EmailAccount &acc, const QString &subject, const QString &body, bool seen = false)
    {
        return m_imap->deliver(acc.user, DovecotServer::message(QStringLiteral("\"Banka\" <no-reply@bank.test>"),
                                                                subject, body),
                               seen);
    }

    DovecotUsers m_dovecot{20};
    DovecotServer *const m_imap = &m_dovecot.server();

private slots:
    void initTestCase()
    {
        registerMailMetaTypes();
        QVERIFY(m_imap->addUser(QStringLiteral("quote"), kQuotedPassword));
        QVERIFY(m_imap->addUser(QStringLiteral("mail@localhost"), QStringLiteral("s3cret")));
        QVERIFY2(m_dovecot.start(), qPrintable(m_dovecot.error()));
    }

    void cleanupTestCase() { m_imap->stop(); }

    void queuedCommandsReachTheServer()
    {
        EmailAccount acc = newAccount();
        const QString key = deliver(acc, QStringLiteral("Kod"), QStringLiteral("Kodunuz 123456"));
        ImapWorker worker;
        WorkerRecord rec(worker);
        QSignalSpy done(&worker, &ImapWorker::actionsDone);
        worker.workPoll({acc}, false);
        const QString uid = rec.batch(0).value(0).serverUid;
        QVERIFY(!uid.isEmpty());
        const auto run = [&](const MailAction &a) {
            acc.pendingActions = {a};
            worker.workPoll({acc}, false);
            const auto r = done.last().at(1).value<QList<MailActionResult>>();
            return r.value(0);
        };

        const MailActionResult seen = run(MailAction{MailActionKind::MarkSeen, uid, {}, {}, {}});
        QCOMPARE(seen.outcome, MailActionResult::Outcome::Done);
        QVERIFY(m_imap->isSeen(acc.user, key));

        const MailActionResult moved = run(MailAction{MailActionKind::MoveToTrash, uid, {}, {}, {}});
        QVERIFY2(moved.outcome == MailActionResult::Outcome::Done, qPrintable(moved.message));
        QCOMPARE(moved.newFolder, QStringLiteral("Trash"));
        QVERIFY(!moved.newUid.isEmpty());
        QCOMPARE(m_imap->messageCount(acc.user), 0);
        QCOMPARE(m_imap->messageCount(acc.user, QStringLiteral("Trash")), 1);

        const MailActionResult back = run(MailAction{MailActionKind::Restore, moved.newUid, moved.newFolder, {}, {}});
        QVERIFY2(back.outcome == MailActionResult::Outcome::Done, qPrintable(back.message));
        QCOMPARE(back.newUid.section(':', 0, 0), uid.section(':', 0, 0));
        QVERIFY(back.newUid != uid);
        QCOMPARE(m_imap->messageCount(acc.user), 1);
        QCOMPARE(m_imap->messageCount(acc.user, QStringLiteral("Trash")), 0);

        // the old name points at nothing now: nothing is moved, and it is said
        const MailActionResult stale = run(MailAction{MailActionKind::MoveToTrash, uid, {}, {}, {}});
        QCOMPARE(m_imap->messageCount(acc.user), 1);
        QCOMPARE(stale.outcome, MailActionResult::Outcome::Failed);
        QCOMPARE(stale.message, QStringLiteral("Tasinamadi: posta sunucuda artik yok"));
    }

    void pollBuildsItemsAndLeavesThemUnseen()
    {
        const EmailAccount acc = newAccount();
        const QString k1 = deliver(acc, QStringLiteral("Giris kodu"), QStringLiteral("Kodunuz: 482913\nIyi gunler"));
        deliver(acc, QStringLiteral("=?UTF-8?B?R2lyacWfIGtvZHU=?="), QString());
        QVERIFY(!k1.isEmpty());

        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({acc}, false);

        QCOMPARE(rec.log.size(), 1);
        QCOMPARE(rec.log.at(0).at(1).toString(), QStringLiteral("Yoklaniyor: 127.0.0.1"));
        QCOMPARE(rec.ready.size(), 1);
        const QList<MailItem> items = rec.batch(0);
        QCOMPARE(items.size(), 2);
        const MailItem &first = items.at(0);
        QCOMPARE(first.account, acc.address);
        QCOMPARE(first.from, QStringLiteral("\"Banka\" <no-reply@bank.test>"));
        QCOMPARE(first.subject, QStringLiteral("Giris kodu"));
        QVERIFY2(first.body.startsWith(QStringLiteral("Kodunuz: 482913\nIyi gunler")), qPrintable(first.body));
        QVERIFY(first.preview.startsWith(QStringLiteral("Kodunuz: 482913 Iyi gunler")));
        QVERIFY(first.preview.size() <= 140);
        QVERIFY(first.received.isValid());
        QVERIFY(first.code.isEmpty());
        QCOMPARE(first.confidence, 0);
        QVERIFY(!first.seen);
        QCOMPARE(items.at(1).subject, QStringLiteral("Giri\u015f kodu"));
        QCOMPARE(rec.done.size(), 1);
        QCOMPARE(rec.done.at(0), (QList<QVariant>{acc.address, true, QStringLiteral("2 yeni"), 2}));

        // Every fetch is a peek: the server still has the message unseen and
        // the next poll finds the same messages under the same ids.
        QVERIFY(!m_imap->isSeen(acc.user, k1));
        const QStringList ids = rec.ids();
        QVERIFY(!ids.at(0).isEmpty());
        QVERIFY(ids.at(0) != ids.at(1));
        WorkerRecord again(worker);
        worker.workPoll({acc}, false);
        QCOMPARE(again.ids(), ids);
        QVERIFY(!m_imap->isSeen(acc.user, k1));
    }

    void idsSurviveRenumberingAfterExpunge()
    {
        const EmailAccount acc = newAccount();
        const QString a = deliver(acc, QStringLiteral("A"), QStringLiteral("kod 1111"));
        deliver(acc, QStringLiteral("B"), QStringLiteral("kod 2222"));
        deliver(acc, QStringLiteral("C"), QStringLiteral("kod 3333"));
        ImapWorker worker;
        QStringList beforeIds;
        {
            WorkerRecord before(worker);
            worker.workPoll({acc}, false);
            QCOMPARE(before.subjects(), (QStringList{"A", "B", "C"}));
            beforeIds = before.ids();
        }

        // A goes away: B and C become messages 1 and 2 but keep their ids.
        QVERIFY(m_imap->removeMessage(acc.user, a));
        deliver(acc, QStringLiteral("D"), QStringLiteral("kod 4444"));
        QStringList afterIds;
        {
            WorkerRecord after(worker);
            worker.workPoll({acc}, false);
            QCOMPARE(after.subjects(), (QStringList{"B", "C", "D"}));
            afterIds = after.ids();
        }
        QCOMPARE(afterIds.mid(0, 2), beforeIds.mid(1, 2));
        QVERIFY(!beforeIds.contains(afterIds.at(2)));

        // The same mailbox seen under another account address is another mail.
        EmailAccount other = acc;
        other.address = QStringLiteral("other@localhost");
        WorkerRecord third(worker);
        worker.workPoll({other}, false);
        QCOMPARE(third.ready.size(), 1);
        for (const QString &id : third.ids())
            QVERIFY(!afterIds.contains(id));
    }

    void firstRunFallsBackToLastThree()
    {
        const EmailAccount acc = newAccount();
        for (int i = 1; i <= 5; ++i)
            deliver(acc, QStringLiteral("Eski %1").arg(i), QStringLiteral("metin %1").arg(i), true);
        ImapWorker worker;
        WorkerRecord first(worker);
        worker.workPoll({acc}, true);
        QCOMPARE(first.subjects(), (QStringList{"Eski 3", "Eski 4", "Eski 5"}));
        QCOMPARE(first.done.at(0).at(3).toInt(), 3);

        WorkerRecord later(worker);
        worker.workPoll({acc}, false);
        QCOMPARE(later.ready.size(), 0);
        QCOMPARE(later.done.size(), 1);
        QCOMPARE(later.done.at(0), (QList<QVariant>{acc.address, true, QStringLiteral("Yeni kod yok"), 0}));
    }

    void atMostEightNewestUnseen()
    {
        const EmailAccount acc = newAccount();
        for (int i = 1; i <= 20; ++i)
            deliver(acc, QStringLiteral("Mesaj %1").arg(i), QStringLiteral("kod %1").arg(100000 + i));
        deliver(acc, QStringLiteral("Okunmus"), QStringLiteral("eski"), true);
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({acc}, true);
        QStringList expected;
        for (int i = 13; i <= 20; ++i)
            expected << QStringLiteral("Mesaj %1").arg(i);
        QCOMPARE(rec.subjects(), expected);
        QCOMPARE(rec.done.at(0).at(2).toString(), QStringLiteral("8 yeni"));
    }

    void messageWithoutFromAndSubjectGivesNoItem()
    {
        const EmailAccount acc = newAccount();
        m_imap->deliver(acc.user, QByteArray("To: x@localhost\r\nDate: Mon, 1 Jan 2024 10:00:00 +0000\r\n\r\nKod 5555\r\n"));
        deliver(acc, QStringLiteral("Var"), QStringLiteral("Kod 6666"));
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({acc}, false);
        QCOMPARE(rec.subjects(), QStringList{"Var"});
        QCOMPARE(rec.done.at(0).at(3).toInt(), 1);
    }

    // A reply threads under the mail only when its ids came along.
    void messageIdsComeWithTheMail()
    {
        const EmailAccount acc = newAccount();
        m_imap->deliver(acc.user, QByteArray("From: Banka <no-reply@banka.test>\r\nSubject: Kod\r\n"
                                             "Message-ID: <m-1@banka.test>\r\n"
                                             "References: <r-0@banka.test>\r\n <r-1@banka.test>\r\n\r\nKod 5151\r\n"));
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({acc}, false);
        QCOMPARE(rec.allItems().size(), 1);
        QCOMPARE(rec.allItems().first().messageId, QStringLiteral("<m-1@banka.test>"));
        QCOMPARE(rec.allItems().first().references, QStringLiteral("<r-0@banka.test> <r-1@banka.test>"));
    }

    void longTextIsCutAndPreviewSimplified()
    {
        const EmailAccount acc = newAccount();
        QString body;
        for (int i = 0; i < 400; ++i)
            body += QStringLiteral("satir   %1\n").arg(i);
        deliver(acc, QStringLiteral("Uzun"), body);
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({acc}, false);
        const MailItem m = rec.allItems().value(0);
        // The decoded text, cut to 2500 characters.
        QCOMPARE(m.body.size(), 2500);
        QVERIFY(m.body.startsWith(QStringLiteral("satir   0\nsatir   1")));
        QCOMPARE(m.preview.size(), 140);
        QVERIFY(m.preview.startsWith(QStringLiteral("satir 0 satir 1 satir 2")));
    }

    void encodedBodiesArriveDecoded()
    {
        const EmailAccount acc = newAccount();
        // Base64 HTML behind long headers and a long style head, as large senders send it.
        QByteArray received;
        for (int i = 0; i < 60; ++i)
            received += "Received: from relay" + QByteArray::number(i) + ".example.test by mx.example.test;\r\n"
                "\tTue, 8 Dec 2026 12:00:00 +0000\r\n";
        const QByteArray html = "<html><head><style>" + QByteArray(6000, ' ') + ".x{color:#006699}</style></head>"
            "<body><table><tr><td>Dogrulama kodu:</td><td><b>731904</b></td></tr></table></body></html>";
        QByteArray base64;
        for (const QByteArray &line : html.toBase64().split('\n'))
            base64 += line;
        QByteArray wrapped;
        for (qsizetype i = 0; i < base64.size(); i += 76)
            wrapped += base64.mid(i, 76) + "\r\n";
        QVERIFY(!m_imap->deliver(acc.user, received + "From: Servis <no-reply@servis.test>\r\nSubject: Kod\r\n"
                                 "MIME-Version: 1.0\r\nContent-Type: text/html; charset=UTF-8\r\n"
                                 "Content-Transfer-Encoding: base64\r\n\r\n" + wrapped).isEmpty());
        // Quoted-printable Windows-1254 in a multipart/alternative.
        QVERIFY(!m_imap->deliver(acc.user, QByteArray(
            "From: Banka <no-reply@banka.test>\r\nSubject: Sifre\r\nMIME-Version: 1.0\r\n"
            "Content-Type: multipart/alternative; boundary=\"=_b\"\r\n\r\n"
            "--=_b\r\nContent-Type: text/plain; charset=windows-1254\r\nContent-Transfer-Encoding: quoted-printable"
            "\r\n\r\nTek kullan=FDml=FDk =FEifreniz: 55=\r\n1207\r\n"
            "--=_b\r\nContent-Type: text/html; charset=windows-1254\r\n\r\n<p>HTML</p>\r\n--=_b--\r\n")).isEmpty());

        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({acc}, false);
        const QList<MailItem> items = rec.allItems();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0).body, QStringLiteral("Dogrulama kodu: 731904"));
        QCOMPARE(items.at(0).preview, QStringLiteral("Dogrulama kodu: 731904"));
        QCOMPARE(items.at(1).body, QStringLiteral("Tek kullan\u0131ml\u0131k \u015fifreniz: 551207"));
        QCOMPARE(items.at(1).from, QStringLiteral("Banka <no-reply@banka.test>"));
    }

    void pollSkipsUnpollableAndReportsInOrder()
    {
        const EmailAccount one = newAccount();
        const EmailAccount two = newAccount();
        deliver(one, QStringLiteral("Bir"), QStringLiteral("1"));
        deliver(two, QStringLiteral("Iki"), QStringLiteral("2"));
        EmailAccount disabled = newAccount();
        disabled.enabled = false;
        EmailAccount noPass = newAccount();
        noPass.pass.clear();
        EmailAccount noHost = newAccount();
        noHost.host.clear();
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({disabled, one, noPass, noHost, two}, false);
        QCOMPARE(rec.ready.size(), 2);
        QCOMPARE(rec.batch(0).at(0).subject, QStringLiteral("Bir"));
        QCOMPARE(rec.batch(1).at(0).subject, QStringLiteral("Iki"));
        QCOMPARE(rec.done.size(), 2);
        QCOMPARE(rec.done.at(0).at(0).toString(), one.address);
        QCOMPARE(rec.done.at(1).at(0).toString(), two.address);
        QCOMPARE(rec.log.size(), 2);
    }

    void pollLoginRefusedByServer()
    {
        EmailAccount acc = newAccount();
        acc.pass = QStringLiteral("wrong");
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({acc}, true);
        QCOMPARE(rec.ready.size(), 0);
        QCOMPARE(rec.done.size(), 1);
        QCOMPARE(rec.done.at(0),
                 (QList<QVariant>{acc.address, false,
                                  QStringLiteral("Sifre reddedildi. Uygulama sifresi kullandigindan emin ol."), 0}));
    }

    void quotedCredentialsAndAddressAsLogin()
    {
        // The login goes out escaped inside the quotes and the server accepts it.
        const EmailAccount acc =
            makeAccount(QStringLiteral("quote@localhost"), m_imap->host(), m_imap->port(), QStringLiteral("quote"),
                        kQuotedPassword);
        deliver(acc, QStringLiteral("Tirnak"), QStringLiteral("ok"));
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workPoll({acc}, false);
        QCOMPARE(rec.done.at(0).at(1).toBool(), true);

        // With an empty user the address is the login name.
        const QString address = QStringLiteral("mail@localhost");
        const EmailAccount byAddress =
            makeAccount(address, m_imap->host(), m_imap->port(), QString(), QStringLiteral("s3cret"));
        WorkerRecord test(worker);
        worker.workTest(byAddress);
        QCOMPARE(test.testDone.size(), 1);
        QCOMPARE(test.testDone.at(0).at(1).toBool(), true);
        QVERIFY(test.testLines().contains(QStringLiteral("2/4 SSL tamam. Giris yapiliyor: ") + address));
    }

    void accountTestReportsEachStep()
    {
        const EmailAccount acc = newAccount();
        deliver(acc, QStringLiteral("X"), QStringLiteral("1"));
        deliver(acc, QStringLiteral("Y"), QStringLiteral("2"));
        deliver(acc, QStringLiteral("Z"), QStringLiteral("3"), true);
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workTest(acc);
        QCOMPARE(rec.testLines(),
                 (QStringList{QStringLiteral("1/4 Sunucuya baglaniliyor: 127.0.0.1:%1").arg(m_imap->port()),
                              QStringLiteral("2/4 SSL tamam. Giris yapiliyor: ") + acc.user,
                              QStringLiteral("3/4 Giris OK. INBOX aciliyor..."),
                              QStringLiteral("4/4 Basarili. Okunmamis: 2. Hesap kaydedildi, yoklama basladi.")}));
        QCOMPARE(rec.testDone.size(), 1);
        QCOMPARE(rec.testDone.at(0),
                 (QList<QVariant>{acc.address, true, QStringLiteral("Baglanti basarili. Okunmamis: 2")}));
        QCOMPARE(rec.ready.size(), 0);
    }

    void accountTestFailures()
    {
        EmailAccount acc = newAccount();
        acc.pass = QStringLiteral("yanlis");
        ImapWorker worker;
        WorkerRecord rec(worker);
        worker.workTest(acc);
        QCOMPARE(rec.testLines().last(), QStringLiteral("Giris reddedildi."));
        QCOMPARE(rec.testDone.size(), 1);
        QCOMPARE(rec.testDone.at(0).at(2).toString(),
                 QStringLiteral("Giris basarisiz. Uygulama sifresi kullandigindan emin ol. Detay: "
                                "t02 NO [AUTHENTICATIONFAILED] Authentication failed."));

        // Nothing listens on the port any more.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();
        acc.port = port;
        WorkerRecord refused(worker);
        worker.workTest(acc);
        QCOMPARE(refused.testDone.size(), 1);
        // Turkish, naming host and port; Qt's own words only in the step log.
        const QString expected = QStringLiteral("Baglanti kurulamadi: %1:%2 \u2014 baglanti reddedildi (port dogru mu?). "
                                                "Sunucu ve portu kontrol et.")
                                     .arg(acc.host)
                                     .arg(port);
        QCOMPARE(refused.testDone.at(0).at(2).toString(), expected);
        QVERIFY(refused.testLines().contains(QStringLiteral("Detay: baglanti reddedildi (port dogru mu?) (Connection refused)")));

        WorkerRecord poll(worker);
        worker.workPoll({acc}, false);
        QCOMPARE(poll.done.at(0).at(2).toString(), expected);
    }
};

QTEST_GUILESS_MAIN(ImapDovecotTest)
#include "tst_imapdovecot.moc"
