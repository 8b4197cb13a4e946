#include "mail/mailstore.h"
#include "memorydisk.h"
#include "support/isolatedsettings.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

class TestMailActions : public QObject
{
    Q_OBJECT
private slots:
    void queueMoveAndUndo();

private:
    IsolatedSettings m_settings;
};

namespace {

MailItem mail(const QString &id, const QString &account)
{
    MailItem m;
    m.id = id;
    m.account = account;
    m.from = "Steam <noreply@steampowered.com>";
    m.subject = "s";
    return m;
}

} // namespace

void TestMailActions::queueMoveAndUndo()
{
    MemoryDisk disk;
    // An older version left a \Seen flag in its own key.
    disk.values.insert("seenQueue", R"({"ali@example.com":["7:40"]})");
    EmailAccount acc;
    acc.address = "ali@example.com";
    acc.pass = "p";
    auto store = std::make_unique<MailStore>(disk.storage());
    store->addOrUpdateAccount(acc);
    MailItem a = mail("A", acc.address);
    a.serverUid = "7:42";
    store->addMail(a);
    QSignalSpy queued(store.get(), &MailStore::actionsQueued);
    QVERIFY(store->requestAction("A", MailActionKind::MoveToTrash));
    QVERIFY(!store->requestAction("A", MailActionKind::MoveToTrash)); // once
    QVERIFY(!store->undoMove("A"));                                   // not moved yet
    QCOMPARE(queued.count(), 1);
    QList<MailAction> pending = store->pendingActions("ALI@example.com");
    QCOMPARE(pending.size(), 2);
    QCOMPARE(pending.at(0).serverUid, QString("7:40"));
    QCOMPARE(pending.at(1).kind, MailActionKind::MoveToTrash);
    QCOMPARE(pending.at(1).mailId, QString("A"));

    // The queue outlives a restart, in order, and older versions still see the flag.
    store = std::make_unique<MailStore>(disk.storage());
    store->addMail(a);
    pending = store->pendingActions(acc.address);
    QCOMPARE(pending.size(), 2);
    QCOMPARE(pending.at(1).kind, MailActionKind::MoveToTrash);
    QCOMPARE(disk.values.value("seenQueue"), QByteArray(R"({"ali@example.com":["7:40"]})"));

    // The flag is set, the move waits (offline): only the flag leaves.
    MailActionResult seen{pending.at(0), MailActionResult::Outcome::Done, {}, {}, {}};
    MailActionResult later{pending.at(1), MailActionResult::Outcome::NotSent, {}, {}, {}};
    QSignalSpy finished(store.get(), &MailStore::actionFinished);
    store->actionsDone(acc.address, {seen, later});
    QCOMPARE(finished.count(), 1);
    QCOMPARE(store->pendingActions(acc.address).size(), 1);
    QCOMPARE(disk.values.value("seenQueue"), QByteArray("{}"));

    // Moved: the card is in the trash and can come back by its UID there.
    MailActionResult moved{pending.at(1), MailActionResult::Outcome::Done, {}, "9:5", "Trash"};
    store->actionsDone(acc.address, {moved});
    QVERIFY(store->pendingActions(acc.address).isEmpty());
    QVERIFY(store->mails().at(0).inTrash);
    QVERIFY(!store->requestAction("A", MailActionKind::MarkSeen)); // nothing left in INBOX to flag
    QVERIFY(store->undoMove("A"));
    const MailAction restore = store->pendingActions(acc.address).value(0);
    QCOMPARE(restore.kind, MailActionKind::Restore);
    QCOMPARE(restore.serverUid, QString("9:5"));
    QCOMPARE(restore.folder, QString("Trash"));
    store->actionsDone(acc.address, {{restore, MailActionResult::Outcome::Done, {}, "7:50", {}}});
    QVERIFY(!store->mails().at(0).inTrash);
    QCOMPARE(store->mails().at(0).serverUid, QString("7:50"));
    // Fetched again from INBOX under its new UID (a new id): still one card;
    // another mail of that UID in another account is its own.
    MailItem again = a;
    again.id = "A-refetched";
    again.serverUid = "7:50";
    MailItem other = again;
    other.id = "B";
    other.account = "veli@example.com";
    store->addMails({again, other});
    QCOMPARE(store->mails().size(), 2);
    QVERIFY(store->mails().at(0).id == "A" || store->mails().at(1).id == "A");

    // A failed move leaves the queue and the card where it was.
    QVERIFY(store->requestAction("A", MailActionKind::MoveToTrash));
    MailActionResult refused{store->pendingActions(acc.address).at(0), MailActionResult::Outcome::Failed,
                             "Tasinamadi: cop kutusu yok", {}, {}};
    store->actionsDone(acc.address, {refused});
    QVERIFY(store->pendingActions(acc.address).isEmpty());
    QVERIFY(!store->mails().at(0).inTrash);
    QCOMPARE(finished.last().at(0).value<MailActionResult>().message, QString("Tasinamadi: cop kutusu yok"));
}


QTEST_GUILESS_MAIN(TestMailActions)
#include "tst_mailactions.moc"
