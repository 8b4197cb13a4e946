#include <QtTest>

#include "transport/imapfetch.h"
#include "transport/imapparse.h"

namespace {
QByteArray literal(const QByteArray &data)
{
    return "{" + QByteArray::number(data.size()) + "}\r\n" + data;
}

// A mailbox answering by UID; `lie` names the UID the server claims in its
// FETCH answers instead of the one asked for (0: the truth).
struct Box
{
    QList<quint32> uids;
    QList<QByteArray> sent;
    quint32 lie = 0;

    QByteArray answer(const QByteArray &command)
    {
        sent << command;
        if (command.startsWith("UID SEARCH")) {
            QByteArray line = "* SEARCH";
            for (quint32 u : std::as_const(uids))
                line += ' ' + QByteArray::number(u);
            return line + "\r\nt OK\r\n";
        }
        const QByteArray uid = lie ? QByteArray::number(lie) : command.split(' ').value(2);
        if (command.contains("HEADER.FIELDS"))
            return "* 3 FETCH (UID " + uid + " BODY[HEADER.FIELDS (FROM SUBJECT)] "
                + literal("From: a@b.test\r\nSubject: Kod " + uid + "\r\n\r\n") + ")\r\nt OK\r\n";
        return "* 3 FETCH (UID " + uid + " BODY[TEXT]<0> " + literal("Kodunuz 4711") + ")\r\nt OK\r\n";
    }
};

QList<MailItem> play(ImapFetchRun &run, Box &box)
{
    QByteArray command;
    while (run.next(&command) && box.sent.size() < 60)
        run.reply(box.answer(command));
    return run.items();
}
} // namespace

class TestImapFetch : public QObject
{
    Q_OBJECT
private slots:
    void takesOnlyWhatIsAboveTheLastUidOnce()
    {
        // The server repeats 9, names the old 5 for "10:*" and lists 12 twice.
        Box box{{5, 12, 9, 12, 10}, {}, 0};
        ImapFetchRun run(QStringLiteral("a@b.test"), QStringLiteral("7"), 9, ImapFetchMode::Above);
        const QList<MailItem> items = play(run, box);
        QCOMPARE(box.sent.first(), QByteArray("UID SEARCH UID 10:*"));
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0).serverUid, QStringLiteral("7:10"));
        QCOMPARE(items.at(1).serverUid, QStringLiteral("7:12"));
        QVERIFY(box.sent.contains("UID FETCH 12 BODY.PEEK[TEXT]<0.262144>"));
        QCOMPARE(run.lastUid(), 12u);
        QVERIFY(!items.at(0).seen);
        QVERIFY(items.at(0).body.contains(QStringLiteral("4711")));
        // The same ids as a poll that found them by message number.
        QCOMPARE(items.at(0).id, imapMessageId(QStringLiteral("a@b.test"), QStringLiteral("7"), QStringLiteral("10"),
                                               QString()));
    }

    void aLyingFetchAnswerIsIgnored()
    {
        Box box{{10}, {}, 4};
        ImapFetchRun run(QStringLiteral("a@b.test"), QStringLiteral("7"), 9, ImapFetchMode::Above);
        QVERIFY(play(run, box).isEmpty());
        QCOMPARE(run.lastUid(), 9u);
    }

    void keepsTheNewestEightAndAnUnansweredMailForLater()
    {
        Box box;
        for (quint32 u = 1; u <= 11; ++u)
            box.uids << u;
        ImapFetchRun run(QStringLiteral("a@b.test"), QStringLiteral("7"), 0, ImapFetchMode::UnseenByUid);
        QList<MailItem> items = play(run, box);
        QCOMPARE(box.sent.first(), QByteArray("UID SEARCH UNSEEN"));
        QCOMPARE(items.size(), 8);
        QCOMPARE(items.first().serverUid, QStringLiteral("7:4"));

        // A text never answered (the connection went): that mail is not taken
        // and the last UID stays below it.
        Box cut{{20, 21}, {}, 0};
        ImapFetchRun partial(QStringLiteral("a@b.test"), QStringLiteral("7"), 19, ImapFetchMode::Above);
        QByteArray command;
        while (partial.next(&command)) {
            if (command == "UID FETCH 21 BODY.PEEK[TEXT]<0.262144>")
                break;
            partial.reply(cut.answer(command));
        }
        QCOMPARE(partial.items().size(), 1);
        QCOMPARE(partial.lastUid(), 20u);
    }

    void firstRunFallsBackToTheLastThreeAsRead()
    {
        ImapFetchRun run(QStringLiteral("a@b.test"), QStringLiteral("7"), 0, ImapFetchMode::FirstRun);
        QByteArray command;
        QList<QByteArray> sent;
        while (run.next(&command) && sent.size() < 40) {
            sent << command;
            if (command == "SEARCH UNSEEN")
                run.reply("* SEARCH\r\nt OK\r\n");
            else if (command == "SEARCH ALL")
                run.reply("* SEARCH 1 2 3 4 5\r\nt OK\r\n");
            else if (command.contains("HEADER"))
                run.reply("* " + command.split(' ').value(1) + " FETCH (UID 9" + command.split(' ').value(1)
                          + " BODY[HEADER.FIELDS (FROM)] " + literal("From: x@y.test\r\n\r\n") + ")\r\nt OK\r\n");
            else
                run.reply("* 1 FETCH (BODY[TEXT]<0> " + literal("x") + ")\r\nt OK\r\n");
        }
        QCOMPARE(sent.at(2), QByteArray("FETCH 3 (UID BODY.PEEK[HEADER.FIELDS (FROM SUBJECT DATE MESSAGE-ID "
                                        "REFERENCES MIME-VERSION CONTENT-TYPE CONTENT-TRANSFER-ENCODING)])"));
        QCOMPARE(run.items().size(), 3);
        QVERIFY(run.items().at(0).seen);
        QCOMPARE(run.items().at(2).serverUid, QStringLiteral("7:95"));
    }
};

QTEST_GUILESS_MAIN(TestImapFetch)
#include "tst_imapfetch.moc"
