// The IDLE connection's pure parts: the bounded line reader, what a server
// line means, capability lists, retry delays and the per-account rounds.
#include <QtTest>

#include "transport/idleparse.h"
#include "transport/roundscheduler.h"

namespace {
QList<QByteArray> drain(ImapLineReader &reader)
{
    QList<QByteArray> out;
    QByteArray line;
    while (reader.next(line))
        out << line;
    return out;
}
} // namespace

class IdleParseTest : public QObject
{
    Q_OBJECT

private slots:
    void readerJoinsPiecesAndSkipsLiterals()
    {
        ImapLineReader reader(1024);
        reader.feed("* 3 EXI");
        QVERIFY(drain(reader).isEmpty());
        reader.feed("STS\r\n* 1 RECENT\r\n+ idl");
        QCOMPARE(drain(reader), (QList<QByteArray>{"* 3 EXISTS", "* 1 RECENT"}));
        // A literal's text is never read as lines, even when it looks like them.
        reader.feed("ing\r\n* 4 FETCH (BODY[] {25}\r\n* 99 EXISTS\r\ni5 OK done\r\n)\r\n* BYE\r\n");
        QCOMPARE(drain(reader), (QList<QByteArray>{"+ idling", "* 4 FETCH (BODY[] {25} )", "* BYE"}));
        // Split inside the literal, announced with {n+}.
        reader.feed("* 5 FETCH {4+}\r\nab");
        reader.feed("\r\n)\r\n");
        QCOMPARE(drain(reader), (QList<QByteArray>{"* 5 FETCH {4+} )"}));
        QVERIFY(!reader.overflowed());
    }

    void readerStopsAtTheLimit_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::newRow("no line end at all") << QList<QByteArray>{QByteArray(600, 'x'), QByteArray(600, 'x')};
        QTest::newRow("literal larger than the limit") << QList<QByteArray>{"* 1 FETCH {5000}\r\nabc"};
        QTest::newRow("line plus literal") << QList<QByteArray>{QByteArray(900, 'y') + "{200}\r\n"};
    }

    void readerStopsAtTheLimit()
    {
        QFETCH(QList<QByteArray>, pieces);
        ImapLineReader reader(1000);
        reader.feed("* OK fine\r\n");
        for (const QByteArray &p : pieces)
            reader.feed(p);
        QVERIFY(reader.overflowed());
        // Lines before the long one are kept; nothing after it is read.
        reader.feed("* 2 EXISTS\r\n");
        QCOMPARE(drain(reader), (QList<QByteArray>{"* OK fine"}));
    }

    void linesAreClassified()
    {
        const QByteArray tag = "i4";
        QCOMPARE(classifyIdleLine("+ idling", tag).kind, IdleLine::Continuation);
        QCOMPARE(classifyIdleLine("i4 OK Idle completed", tag).kind, IdleLine::TaggedOk);
        QCOMPARE(classifyIdleLine("i4 no [ALERT] x", tag).kind, IdleLine::TaggedNo);
        QCOMPARE(classifyIdleLine("i4 BAD", tag).kind, IdleLine::TaggedBad);
        // Another command's tag, or a tag that only begins the same, is not ours.
        QCOMPARE(classifyIdleLine("i3 OK", tag).kind, IdleLine::Other);
        QCOMPARE(classifyIdleLine("i40 OK", tag).kind, IdleLine::Other);
        QCOMPARE(classifyIdleLine("i4 OKAY", tag).kind, IdleLine::Other);
        const IdleLine exists = classifyIdleLine("* 1234 exists", tag);
        QCOMPARE(exists.kind, IdleLine::Exists);
        QCOMPARE(exists.number, 1234);
        const IdleLine recent = classifyIdleLine("* 0 RECENT", tag);
        QCOMPARE(recent.kind, IdleLine::Recent);
        QCOMPARE(recent.number, 0);
        QCOMPARE(classifyIdleLine("* BYE shutting down", tag).kind, IdleLine::Bye);
        QCOMPARE(classifyIdleLine("* OK [CAPABILITY IMAP4rev1 IDLE] ready", tag).kind, IdleLine::Greeting);
        QCOMPARE(classifyIdleLine("* PREAUTH hi", tag).kind, IdleLine::PreAuth);
        QCOMPARE(classifyIdleLine("* 3 EXPUNGE", tag).kind, IdleLine::Other);
        QCOMPARE(classifyIdleLine("* -3 EXISTS", tag).kind, IdleLine::Other);
        QCOMPARE(classifyIdleLine("* 99999999999999999999 EXISTS", tag).kind, IdleLine::Other);
        QCOMPARE(classifyIdleLine("* EXISTS", tag).kind, IdleLine::Other);
        QCOMPARE(classifyIdleLine("", tag).kind, IdleLine::Other);
    }

    void capabilityListsAreRead()
    {
        QCOMPARE(lineAnnouncesIdle("* CAPABILITY IMAP4rev1 LITERAL+ IDLE"), 1);
        QCOMPARE(lineAnnouncesIdle("* capability imap4rev1 idle sasl-ir"), 1);
        QCOMPARE(lineAnnouncesIdle("* OK [CAPABILITY IMAP4rev1 IDLE AUTH=PLAIN] Dovecot ready."), 1);
        QCOMPARE(lineAnnouncesIdle("a02 OK [CAPABILITY IMAP4rev1 IDLE] Logged in"), 1);
        QCOMPARE(lineAnnouncesIdle("* CAPABILITY IMAP4rev1 IDLEX NOTIDLE"), 0);
        // IDLE outside the brackets is only text.
        QCOMPARE(lineAnnouncesIdle("* OK [CAPABILITY IMAP4rev1] we love IDLE"), 0);
        QCOMPARE(lineAnnouncesIdle("* OK ready, IDLE works"), -1);
        QCOMPARE(lineAnnouncesIdle("* OK [CAPABILITY IMAP4rev1 IDLE"), 1);
    }

    void retryDelaysGrowToTheCapWithJitter()
    {
        QList<int> plain;
        for (int a = 0; a < 12; ++a)
            plain << idleRetryDelayMs(a, 0.0, 1000, 300000);
        QCOMPARE(plain, (QList<int>{1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000, 256000, 300000, 300000,
                                    300000}));
        QCOMPARE(idleRetryDelayMs(100000, 0.0, 1000, 300000), 300000);
        // Jitter takes off at most a quarter and never goes past the cap.
        QCOMPARE(idleRetryDelayMs(0, 0.999999, 1000, 300000), 751);
        QCOMPARE(idleRetryDelayMs(20, 1.0, 1000, 300000), 225000);
        QCOMPARE(idleRetryDelayMs(3, 0.5, 1000, 300000), 7000);
        QVERIFY(idleRetryDelayMs(0, -5.0, 0, 0) >= 1);
    }

    void roundsOfOneAccountNeverPileUp()
    {
        RoundScheduler r;
        QVERIFY(r.begin(QStringLiteral("Ali@x.test")));
        // Scheduled rounds while one is under way are skipped, not kept.
        QVERIFY(!r.begin(QStringLiteral("ali@X.test")));
        QVERIFY(!r.begin(QStringLiteral("ali@x.test")));
        QVERIFY(!r.end(QStringLiteral("ali@x.test")));
        QVERIFY(!r.busy(QStringLiteral("ali@x.test")));

        // Announced mail during a round keeps exactly one more round.
        QVERIFY(r.trigger(QStringLiteral("ali@x.test")));
        QVERIFY(!r.trigger(QStringLiteral("ali@x.test")));
        QVERIFY(!r.trigger(QStringLiteral("ali@x.test")));
        QVERIFY(!r.begin(QStringLiteral("ali@x.test")));
        QVERIFY(r.end(QStringLiteral("ali@x.test")));
        QVERIFY(r.busy(QStringLiteral("ali@x.test")));
        QVERIFY(!r.end(QStringLiteral("ali@x.test")));
        QVERIFY(!r.busy(QStringLiteral("ali@x.test")));

        // Accounts are independent; forget drops a kept round.
        QVERIFY(r.begin(QStringLiteral("a@x")));
        QVERIFY(r.trigger(QStringLiteral("b@x")));
        QVERIFY(!r.trigger(QStringLiteral("a@x")));
        r.forget(QStringLiteral("a@x"));
        QVERIFY(!r.busy(QStringLiteral("a@x")));
        QVERIFY(!r.end(QStringLiteral("a@x")));
        QVERIFY(r.busy(QStringLiteral("b@x")));
    }
};

QTEST_GUILESS_MAIN(IdleParseTest)
#include "tst_idleparse.moc"
