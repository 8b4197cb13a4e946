#include <QtTest>

#include "transport/imapactions.h"

namespace {
MailAction action(MailActionKind kind, const char *uid, const char *folder = "")
{
    return MailAction{kind, QString::fromLatin1(uid), QString::fromLatin1(folder), QStringLiteral("m"), {}};
}

// Plays a scripted server against the runner: each command gets the answer
// `answer` gives it (tag "t" added), and the commands are returned.
QList<QByteArray> play(ImapActionRun &run, const std::function<QByteArray(const QByteArray &)> &answer)
{
    QList<QByteArray> sent;
    QByteArray command;
    while (run.next(&command) && sent.size() < 50) {
        sent << command;
        run.reply(answer(command));
    }
    return sent;
}
} // namespace

class TestImapActions : public QObject
{
    Q_OBJECT
private slots:
    void readersTakeOnlyWhatTheServerSaid()
    {
        const ImapSelectInfo s = parseSelectInfo("* 3 EXISTS\r\n* OK [UIDVALIDITY 0077] ok\r\n* OK [UIDNEXT 12] x\r\nt OK\r\n");
        QCOMPARE(s.uidValidity, QStringLiteral("77"));
        QCOMPARE(s.uidNext, 12u);
        // a code inside a literal is mail text, not the server's
        QVERIFY(parseSelectInfo("* 1 FETCH (BODY[] {27}\r\n* OK [UIDVALIDITY 5] xxxx)\r\n").uidValidity.isEmpty());

        QCOMPARE(parseTrashFolder("* LIST (\\HasNoChildren) \"/\" INBOX\r\n"
                                  "* LIST (\\HasNoChildren \\Trash) \"/\" \"Deleted \\\"Items\\\"\"\r\nt OK\r\n"),
                 QStringLiteral("Deleted \"Items\""));
        QCOMPARE(parseTrashFolder("* LIST (\\Trash) NIL Trash\r\n"), QStringLiteral("Trash"));
        // a bare CR in the name would split the command it goes into
        QVERIFY(parseTrashFolder("* LIST (\\Trash) \"/\" Cop\rKutusu\n").isEmpty());
        QVERIFY(parseTrashFolder("* LIST (\\Junk) \".\" Spam\r\n* LIST (\\Trash) \".\" \"open\r\n").isEmpty());

        const ImapCopyUid c = parseCopyUid("* OK [COPYUID 9 4:6,8 20:23] moved\r\nt OK\r\n");
        QCOMPARE(c.uidValidity, QStringLiteral("9"));
        QCOMPARE(c.destination(5), 21u);
        QCOMPARE(c.destination(8), 23u);
        QCOMPARE(c.destination(7), 0u);
        // sets of different sizes, or a huge range, name nothing
        QVERIFY(parseCopyUid("t OK [COPYUID 9 4:6 20] x\r\n").uidValidity.isEmpty());
        QVERIFY(parseCopyUid("t OK [COPYUID 9 1:4294967295 1:4294967295] x\r\n").uidValidity.isEmpty());
    }

    void moveUsesTheTrashAndGivesTheNewPlace()
    {
        ImapActionRun run({action(MailActionKind::MoveToTrash, "7:42")}, {"IMAP4REV1", "MOVE", "SPECIAL-USE"}, "7");
        const QList<QByteArray> sent = play(run, [](const QByteArray &c) -> QByteArray {
            if (c.startsWith("LIST"))
                return "* LIST (\\Trash) \"/\" Cop\r\nt OK\r\n";
            return "* OK [COPYUID 3 42 9]\r\n* 1 EXPUNGE\r\nt OK done\r\n";
        });
        QCOMPARE(sent, (QList<QByteArray>{"LIST (SPECIAL-USE) \"\" \"*\"", "UID MOVE 42 \"Cop\""}));
        QCOMPARE(run.results().size(), 1);
        QCOMPARE(run.results().at(0).outcome, MailActionResult::Outcome::Done);
        QCOMPARE(run.results().at(0).newUid, QStringLiteral("3:9"));
        QCOMPARE(run.results().at(0).newFolder, QStringLiteral("Cop"));
    }

    void withoutMoveTheCopyIsRemovedByItsUidAlone()
    {
        ImapActionRun run({action(MailActionKind::MoveToTrash, "7:42")}, {"UIDPLUS"}, "7");
        const QList<QByteArray> sent = play(run, [](const QByteArray &c) -> QByteArray {
            if (c.startsWith("LIST"))
                return "* LIST (\\Trash) \"/\" Trash\r\nt OK\r\n";
            if (c.startsWith("UID COPY"))
                return "t OK [COPYUID 3 42 9] copied\r\n";
            return "t OK\r\n";
        });
        QCOMPARE(sent, (QList<QByteArray>{"LIST \"\" \"*\"", "UID COPY 42 \"Trash\"",
                                          "UID STORE 42 +FLAGS.SILENT (\\Deleted)", "UID EXPUNGE 42"}));
        QCOMPARE(run.results().at(0).newUid, QStringLiteral("3:9"));
    }

    void aMoveCutAfterItsCopyIsNotCopiedAgain()
    {
        const auto answer = [](const QByteArray &c) -> QByteArray {
            if (c.startsWith("LIST"))
                return "* LIST (\\Trash) \"/\" Trash\r\nt OK\r\n";
            if (c.startsWith("UID COPY"))
                return "t OK [COPYUID 3 42 9] copied\r\n";
            return "t OK\r\n";
        };
        ImapActionRun first({action(MailActionKind::MoveToTrash, "7:42")}, {"UIDPLUS"}, "7");
        QByteArray c;
        for (int i = 0; i < 2 && first.next(&c); ++i)
            first.reply(answer(c));
        QVERIFY(first.next(&c));
        QCOMPARE(c, QByteArray("UID STORE 42 +FLAGS.SILENT (\\Deleted)"));
        first.abandon(); // the connection ends before the original is gone
        const MailActionResult cut = first.results().value(0);
        QCOMPARE(cut.outcome, MailActionResult::Outcome::NotSent);
        QCOMPARE(cut.action.copied, QStringLiteral("3:9"));

        // The queue keeps the copy's place, over a restart too.
        MailActionQueue queue;
        QVERIFY(queue.add("a@b.c", action(MailActionKind::MoveToTrash, "7:42")));
        QVERIFY(queue.settle("a@b.c", {cut}));
        queue = MailActionQueue::fromJson(queue.toJson(), queue.seenQueueJson());
        const QList<MailAction> left = queue.pending("a@b.c");
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.at(0).copied, QStringLiteral("3:9"));

        ImapActionRun second(left, {"UIDPLUS"}, "7");
        const QList<QByteArray> sent = play(second, answer);
        QCOMPARE(sent, (QList<QByteArray>{"LIST \"\" \"*\"", "UID STORE 42 +FLAGS.SILENT (\\Deleted)", "UID EXPUNGE 42"}));
        QCOMPARE(second.results().value(0).outcome, MailActionResult::Outcome::Done);
        QCOMPARE(second.results().value(0).newUid, QStringLiteral("3:9"));
        QCOMPARE(second.results().value(0).newFolder, QStringLiteral("Trash"));
    }

    void refusalsAndStaleNamesFailWithoutTouchingOtherMail()
    {
        // no trash; a stale generation; MOVE refused; a restore into a trash
        // of another generation; the server's word comes through
        ImapActionRun run({action(MailActionKind::MoveToTrash, "7:1"), action(MailActionKind::MarkSeen, "6:2"),
                           action(MailActionKind::MarkSeen, "7:3"), action(MailActionKind::Restore, "4:5", "Trash")},
                          {"MOVE"}, "7");
        const QList<QByteArray> sent = play(run, [](const QByteArray &c) -> QByteArray {
            if (c.startsWith("LIST"))
                return "* LIST () \"/\" INBOX\r\nt OK\r\n";
            if (c.startsWith("SELECT \"Trash\""))
                return "* OK [UIDVALIDITY 3]\r\nt OK [READ-WRITE]\r\n";
            if (c.startsWith("UID STORE"))
                return "t NO [CANNOT] read-only\r\n";
            return "t OK\r\n";
        });
        QCOMPARE(sent, (QList<QByteArray>{"LIST \"\" \"*\"", "UID STORE 3 +FLAGS.SILENT (\\Seen)",
                                          "SELECT \"Trash\"", "SELECT INBOX"}));
        const QList<MailActionResult> r = run.results();
        QCOMPARE(r.size(), 4);
        for (const MailActionResult &x : r)
            QCOMPARE(x.outcome, MailActionResult::Outcome::Failed);
        QCOMPARE(r.at(0).message, QStringLiteral("Tasinamadi: sunucuda cop kutusu yok"));
        QVERIFY(r.at(1).message.startsWith("Okundu isaretlenemedi: posta kutusu yenilenmis"));
        QVERIFY2(r.at(2).message.contains("read-only"), qPrintable(r.at(2).message));
        QVERIFY(r.at(3).message.startsWith("Geri alinamadi: posta kutusu yenilenmis"));
    }

    void restoreReturnsToInboxAndNamesTheNewUid()
    {
        ImapActionRun run({action(MailActionKind::Restore, "3:9", "Trash"), action(MailActionKind::MarkSeen, "7:50")},
                          {"MOVE"}, "7");
        const QList<QByteArray> sent = play(run, [](const QByteArray &c) -> QByteArray {
            if (c.startsWith("SELECT \"Trash\""))
                return "* OK [UIDVALIDITY 3]\r\nt OK\r\n";
            if (c.startsWith("SELECT INBOX"))
                return "* OK [UIDVALIDITY 7]\r\nt OK\r\n";
            if (c.startsWith("UID MOVE"))
                return "* OK [COPYUID 7 9 50]\r\nt OK\r\n";
            return "t OK\r\n";
        });
        QCOMPARE(sent, (QList<QByteArray>{"SELECT \"Trash\"", "UID MOVE 9 INBOX", "SELECT INBOX",
                                          "UID STORE 50 +FLAGS.SILENT (\\Seen)"}));
        QCOMPARE(run.results().at(0).newUid, QStringLiteral("7:50"));
        QCOMPARE(run.results().at(0).newFolder, QString());
        QCOMPARE(run.restoredUids(), QList<quint32>{50});
        QCOMPARE(run.results().at(1).outcome, MailActionResult::Outcome::Done);
    }

    void aDroppedConnectionLeavesTheRestQueued()
    {
        ImapActionRun run({action(MailActionKind::MarkSeen, "7:1"), action(MailActionKind::MarkSeen, "7:2")}, {}, "7");
        QByteArray c;
        QVERIFY(run.next(&c));
        run.reply("t OK\r\n");
        QVERIFY(run.next(&c));
        // no second command while one is unanswered
        QByteArray again;
        QVERIFY(!run.next(&again));
        run.abandon();
        QCOMPARE(run.results().size(), 2);
        QCOMPARE(run.results().at(0).outcome, MailActionResult::Outcome::Done);
        QCOMPARE(run.results().at(1).outcome, MailActionResult::Outcome::NotSent);
    }
};

QTEST_GUILESS_MAIN(TestImapActions)
#include "tst_imapactions.moc"
