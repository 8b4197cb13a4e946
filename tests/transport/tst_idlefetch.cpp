// The IDLE connection fetching new mail itself against scripted servers:
// by UID above the last one taken, on the open connection, across server
// faults, without losing or doubling a mail.
#include <QtTest>

#include <memory>

#include "accountsupport.h"
#include "fakeserver.h"
#include "servers/tlsfixture.h"
#include "transport/idlesession.h"

namespace {
QByteArray literal(const QByteArray &data)
{
    return "{" + QByteArray::number(data.size()) + "}\r\n" + data;
}

// An INBOX of UIDs that answers by UID. `validity` may change between
// connections; `lie` makes every header answer claim that UID instead.
struct Inbox
{
    QList<quint32> uids{40, 41, 42};
    QByteArray validity = "7";
    QByteArray idleTag;
    bool answerDone = true;
    quint32 lie = 0;
    // A delivery announced along with the answer to the next header fetch.
    bool deliverDuringFetch = false;

    QByteArray answer(const QByteArray &line)
    {
        const QByteArray tag = line.left(line.indexOf(' '));
        const QByteArray ok = tag + " OK done\r\n";
        if (line == "DONE")
            return answerDone ? idleTag + " OK Idle completed\r\n" : QByteArray();
        if (line.contains(" LOGIN "))
            return tag + " OK [CAPABILITY IMAP4rev1 IDLE] Logged in\r\n";
        if (line.endsWith(" SELECT INBOX"))
            return "* " + QByteArray::number(uids.size()) + " EXISTS\r\n* OK [UIDVALIDITY " + validity
                + "] v\r\n* OK [UIDNEXT " + QByteArray::number(uids.last() + 1) + "] n\r\n" + ok;
        if (line.endsWith(" IDLE")) {
            idleTag = tag;
            return "+ idling\r\n";
        }
        if (line.contains(" UID SEARCH UID ")) {
            const quint32 from = line.split(' ').value(4).split(':').value(0).toUInt();
            QByteArray found = "* SEARCH";
            for (quint32 u : std::as_const(uids)) {
                if (u >= from)
                    found += ' ' + QByteArray::number(u);
            }
            // Like real servers: "n:*" names the last mail even below n.
            if (found == "* SEARCH")
                found += ' ' + QByteArray::number(uids.last());
            return found + "\r\n" + ok;
        }
        if (line.contains(" UID SEARCH UNSEEN"))
            return "* SEARCH " + QByteArray::number(uids.last()) + "\r\n" + ok;
        if (line.endsWith(" CAPABILITY"))
            return "* CAPABILITY IMAP4rev1 IDLE UIDPLUS\r\n" + ok;
        if (line.contains(" LIST "))
            return "* LIST (\\Trash) \"/\" Trash\r\n" + ok;
        if (line.contains(" UID COPY "))
            return tag + " OK [COPYUID 3 " + line.split(' ').value(3) + " 9] copied\r\n";
        if (line.contains(" UID STORE ") || line.contains(" UID EXPUNGE "))
            return ok;
        const QByteArray uid = line.split(' ').value(3);
        if (line.contains("HEADER.FIELDS")) {
            const QByteArray extra = deliverDuringFetch ? deliver() : QByteArray();
            deliverDuringFetch = false;
            return extra + "* 9 FETCH (UID " + (lie ? QByteArray::number(lie) : uid) + " BODY[HEADER.FIELDS (FROM)] "
                + literal("From: Banka <kod@bank.test>\r\nSubject: Kod " + uid + "\r\n\r\n") + ")\r\n" + ok;
        }
        if (line.contains("BODY.PEEK[TEXT]"))
            return "* 9 FETCH (UID " + uid + " BODY[TEXT]<0> " + literal("Kodunuz 5" + uid + "1") + ")\r\n" + ok;
        return tag + " BAD what\r\n";
    }
    // A delivery: the new mail and the server's notice.
    QByteArray deliver()
    {
        uids << uids.last() + 1;
        return "* " + QByteArray::number(uids.size()) + " EXISTS\r\n";
    }
};

IdleOptions quick()
{
    IdleOptions o;
    o.handshakeMs = 2000;
    o.replyMs = 300;
    o.reidleMs = 60000;
    o.retryFirstMs = 40;
    o.retryCapMs = 160;
    o.random = [] { return 0.0; };
    return o;
}

int count(const FakeServer &s, const QByteArray &needle)
{
    int n = 0;
    for (const QByteArray &l : s.lines)
        n += l.contains(needle) ? 1 : 0;
    return n;
}

QStringList uidsOf(const QSignalSpy &spy)
{
    QStringList out;
    for (const auto &args : spy) {
        for (const MailItem &m : args.at(0).value<QList<MailItem>>())
            out << m.serverUid;
    }
    return out;
}
} // namespace

class IdleFetchTest : public QObject
{
    Q_OBJECT

private:
    TlsFixture m_tls;

    std::unique_ptr<FakeServer> server(const std::shared_ptr<Inbox> &box)
    {
        auto s = std::make_unique<FakeServer>(FakeServer::Tls, m_tls.serverCertificate(), m_tls.serverKey());
        s->greeting = "* OK [CAPABILITY IMAP4rev1 IDLE] ready\r\n";
        s->reply = [box](const QByteArray &line) { return box->answer(line); };
        return s;
    }
    static EmailAccount accountFor(const FakeServer &s)
    {
        return makeAccount(QStringLiteral("ali@fake.test"), QStringLiteral("127.0.0.1"), s.serverPort(),
                           QStringLiteral("ali"), QStringLiteral("secret"));
    }

private slots:
    void initTestCase()
    {
        registerMailMetaTypes();
        QVERIFY(m_tls.isValid());
        m_tls.trustInProcess();
    }

    void newMailIsFetchedOnTheOpenConnection()
    {
        auto box = std::make_shared<Inbox>();
        auto s = server(box);
        IdleSession session(accountFor(*s), quick());
        QSignalSpy mails(&session, &IdleSession::mailsReady);
        QSignalSpy notices(&session, &IdleSession::newMail);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        // The mails already there are the poll's.
        QCOMPARE(count(*s, "SEARCH"), 0);

        // Another delivery lands while the first is being fetched.
        box->deliverDuringFetch = true;
        s->push(box->deliver());
        QTRY_COMPARE(count(*s, " IDLE"), 2);
        QCOMPARE(count(*s, "UID SEARCH UID"), 2);
        QTRY_COMPARE(uidsOf(mails), (QStringList{QStringLiteral("7:43"), QStringLiteral("7:44")}));
        const MailItem first = mails.at(0).at(0).value<QList<MailItem>>().value(0);
        QVERIFY(first.body.contains(QStringLiteral("5431")));
        QVERIFY(!first.seen);

        // Nothing new: the server names its last mail for "45:*", which is ignored.
        s->push("* 5 EXISTS\r\n");
        QTRY_COMPARE(count(*s, " IDLE"), 3);
        QCOMPARE(uidsOf(mails).size(), 2);
        QCOMPARE(count(*s, "UID FETCH 44 (UID"), 1);
        QCOMPARE(count(*s, " LOGIN "), 1);
        QCOMPARE(s->connections, 1);
        // Only the one asking the poll for what was there before.
        QCOMPARE(notices.size(), 1);
    }

    void aLyingFetchAnswerTakesNothing()
    {
        auto box = std::make_shared<Inbox>();
        box->lie = 12;
        auto s = server(box);
        IdleSession session(accountFor(*s), quick());
        QSignalSpy mails(&session, &IdleSession::mailsReady);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        s->push(box->deliver());
        QTRY_COMPARE(count(*s, " IDLE"), 2);
        QCOMPARE(mails.size(), 0);
        QCOMPARE(count(*s, "BODY.PEEK[TEXT]"), 0);
    }

    void doneNeverAnsweredReconnectsAndFetches()
    {
        auto box = std::make_shared<Inbox>();
        box->answerDone = false;
        auto s = server(box);
        IdleSession session(accountFor(*s), quick());
        QSignalSpy mails(&session, &IdleSession::mailsReady);
        QSignalSpy log(&session, &IdleSession::log);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        s->push(box->deliver());
        QTRY_VERIFY_WITH_TIMEOUT(s->connections >= 2, 5000);
        // The second connection fetches what the first could not.
        QTRY_COMPARE_WITH_TIMEOUT(uidsOf(mails), QStringList{QStringLiteral("7:43")}, 5000);
        QCOMPARE(log.size(), 1);
        QVERIFY(log.at(0).at(1).toString().contains(QStringLiteral("yanit vermedi")));
    }

    void aDropMidFetchLosesAndDoublesNothing()
    {
        auto box = std::make_shared<Inbox>();
        auto s = server(box);
        bool dropped = false;
        s->dropAt = [&dropped](const QByteArray &line) {
            if (dropped || !line.contains("UID FETCH 44 BODY.PEEK[TEXT]"))
                return false;
            return dropped = true;
        };
        IdleSession session(accountFor(*s), quick());
        QSignalSpy mails(&session, &IdleSession::mailsReady);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        s->push(box->deliver());
        box->uids << 44;
        QTRY_COMPARE_WITH_TIMEOUT(s->connections, 2, 5000);
        QTRY_COMPARE(count(*s, " IDLE"), 2);
        QTRY_COMPARE(uidsOf(mails), (QStringList{QStringLiteral("7:43"), QStringLiteral("7:44")}));
        QCOMPARE(count(*s, "UID FETCH 43 BODY.PEEK[TEXT]"), 2);
    }

    // Queued commands between two IDLEs; a drop after a copy stood leaves
    // only the original's removal for the next connection.
    void commandsRunBetweenIdlesAndACutCopyIsNotRepeated()
    {
        auto box = std::make_shared<Inbox>();
        auto s = server(box);
        bool dropped = false;
        s->dropAt = [&dropped](const QByteArray &line) {
            if (dropped || !line.contains(" UID EXPUNGE 42"))
                return false;
            return dropped = true;
        };
        IdleSession session(accountFor(*s), quick());
        QSignalSpy done(&session, &IdleSession::actionsDone);
        const QList<MailAction> actions{{MailActionKind::MarkSeen, QStringLiteral("7:41"), {}, QStringLiteral("a"), {}},
                                        {MailActionKind::MoveToTrash, QStringLiteral("7:42"), {}, QStringLiteral("b"), {}}};
        // Not connected: back at once, unsent.
        session.runActions(actions);
        QCOMPARE(done.size(), 1);
        using O = MailActionResult::Outcome;
        const auto outcomes = [&done](int i) {
            QList<O> out;
            for (const MailActionResult &r : done.at(i).at(1).value<QList<MailActionResult>>())
                out << r.outcome;
            return out;
        };
        QCOMPARE(outcomes(0), (QList<O>{O::NotSent, O::NotSent}));

        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        session.runActions(actions);
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 5000);
        QCOMPARE(outcomes(1), (QList<O>{O::Done, O::NotSent}));
        const MailAction cut = done.at(1).at(1).value<QList<MailActionResult>>().at(1).action;
        QCOMPARE(cut.copied, QStringLiteral("3:9"));

        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        session.runActions({cut});
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 3, 5000);
        QCOMPARE(outcomes(2), QList<O>{O::Done});
        QCOMPARE(done.at(2).at(1).value<QList<MailActionResult>>().at(0).newUid, QStringLiteral("3:9"));
        QCOMPARE(count(*s, "UID COPY"), 1);
        QCOMPARE(count(*s, "UID STORE 41 +FLAGS.SILENT (\\Seen)"), 1);
        QCOMPARE(count(*s, "UID EXPUNGE 42"), 2);
        // And back to IDLE on the second connection.
        QTRY_COMPARE(count(*s, " IDLE"), 3);
        QCOMPARE(s->connections, 2);
    }

    void aChangedUidValidityFetchesTheUnseenOnce()
    {
        auto box = std::make_shared<Inbox>();
        auto s = server(box);
        s->dropAt = [box](const QByteArray &line) {
            if (line != "DONE" || box->validity != "7")
                return false;
            box->validity = "8";
            return true;
        };
        IdleSession session(accountFor(*s), quick());
        QSignalSpy mails(&session, &IdleSession::mailsReady);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.instant(), 5000);
        s->push(box->deliver());
        QTRY_COMPARE_WITH_TIMEOUT(uidsOf(mails), QStringList{QStringLiteral("8:43")}, 5000);
        QTRY_COMPARE(count(*s, " IDLE"), 2);
        QCOMPARE(count(*s, "UID SEARCH UNSEEN"), 1);
        s->push(box->deliver());
        QTRY_COMPARE(uidsOf(mails), (QStringList{QStringLiteral("8:43"), QStringLiteral("8:44")}));
        QCOMPARE(count(*s, "UID SEARCH UNSEEN"), 1);
    }
};

QTEST_GUILESS_MAIN(IdleFetchTest)
#include "tst_idlefetch.moc"
