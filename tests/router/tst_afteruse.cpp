// What becomes of a code mail once its code was used: which uses count,
// which mails are never touched, the account's choice, and taking a move
// back within its window and not after. The sessions' part is played here
// by handing the store their results.
#include "mail/mailstore.h"
#include "router/afteruse.h"
#include "support/isolatedsettings.h"
#include "../mail/memorydisk.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

constexpr qint64 kStart = 1'700'000'000;

EmailAccount account(const QString &address, AfterUse use)
{
    EmailAccount a;
    a.address = address;
    a.pass = "pw";
    a.afterUse = use;
    return a;
}

MailItem codeMail(const QString &id, const QString &acc, int uid, const QString &from = "Steam <noreply@steam.com>")
{
    MailItem m;
    m.id = id;
    m.account = acc;
    m.from = from;
    m.subject = "Giris kodun";
    m.code = "482913";
    m.confidence = 95;
    m.received = QDateTime::fromSecsSinceEpoch(kStart);
    m.serverUid = QString("7:%1").arg(uid);
    return m;
}

QStringList queued(const MailStore &store, const QString &address)
{
    QStringList out;
    for (const MailAction &a : store.pendingActions(address))
        out << QString("%1 %2 %3 %4").arg(int(a.kind)).arg(a.serverUid, a.folder, a.mailId);
    return out;
}

} // namespace

class TestAfterUse : public QObject
{
    Q_OBJECT

    std::unique_ptr<IsolatedSettings> m_settings;
    MemoryDisk m_disk;
    std::unique_ptr<MailStore> m_store;
    std::unique_ptr<CodeAfterUse> m_use;
    qint64 m_nowMs = kStart * 1000;
    bool m_autoCounts = false;

    void build()
    {
        const Clock clock([this] { return QDateTime::fromMSecsSinceEpoch(m_nowMs, Qt::UTC); });
        m_store = std::make_unique<MailStore>(m_disk.storage(), nullptr, clock);
        m_store->addOrUpdateAccount(account("seen@example.com", AfterUse::MarkSeen));
        m_store->addOrUpdateAccount(account("trash@example.com", AfterUse::MoveToTrash));
        m_store->addOrUpdateAccount(account("leave@example.com", AfterUse::Leave));
        AfterUseOptions o;
        o.clock = clock;
        o.clipboardMs = 0;
        o.autoCopyCounts = [this] { return m_autoCounts; };
        m_use = std::make_unique<CodeAfterUse>(m_store.get(), o);
    }

    // The trash session's answer to the queued move of `id`.
    void moveDone(const QString &id, const QString &newUid)
    {
        for (const MailAction &a : m_store->pendingActions("trash@example.com")) {
            if (a.mailId != id || a.kind != MailActionKind::MoveToTrash)
                continue;
            MailActionResult r;
            r.action = a;
            r.outcome = MailActionResult::Outcome::Done;
            r.newUid = newUid;
            r.newFolder = "Trash";
            m_store->actionsDone("trash@example.com", {r});
            return;
        }
        QFAIL("no move queued");
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<IsolatedSettings>();
        m_disk = MemoryDisk();
        m_nowMs = kStart * 1000;
        m_autoCounts = false;
        build();
    }
    void cleanup()
    {
        m_use.reset();
        m_store.reset();
        m_settings.reset();
    }

    void onlyTrustedCodesOfRealMailsCount()
    {
        MailItem weak = codeMail("weak", "seen@example.com", 2);
        weak.confidence = 40;
        MailItem demo = codeMail("demo", "seen@example.com", 3);
        demo.demo = true;
        MailItem quiet = codeMail("quiet", "seen@example.com", 4, "Shop <a@news.shop.com>");
        m_store->addMails({codeMail("sure", "seen@example.com", 1), weak, demo, quiet,
                           codeMail("left", "leave@example.com", 5)});
        SilencedSenders silenced;
        QVERIFY(silenced.add(silencedSender("shop.com", true)));
        m_store->setSilencedSenders(silenced);

        for (const QString id : {"weak", "demo", "quiet", "left", "missing"})
            m_use->codeUsed(id);
        QVERIFY(m_store->pendingActions("seen@example.com").isEmpty());
        QVERIFY(m_store->pendingActions("leave@example.com").isEmpty());
        QVERIFY(!m_store->mail("weak")->seen);

        // typed or copied by hand: marked read once, however often it is used
        m_use->codeUsed("sure");
        m_use->codeUsed("sure");
        QCOMPARE(queued(*m_store, "seen@example.com"), QStringList{"0 7:1  sure"});
        QVERIFY(m_store->mail("sure")->seen);
    }

    void autoCopiedCountsOnlyWithTheTick()
    {
        m_store->addMails({codeMail("a", "seen@example.com", 1), codeMail("b", "seen@example.com", 2)});
        m_use->codeAutoCopied(*m_store->mail("a"));
        QTest::qWait(0);
        QCoreApplication::processEvents();
        QVERIFY(m_store->pendingActions("seen@example.com").isEmpty());

        m_autoCounts = true;
        m_use->codeAutoCopied(*m_store->mail("b"));
        // not before its clipboard time has ended
        QVERIFY(m_store->pendingActions("seen@example.com").isEmpty());
        QTRY_COMPARE(queued(*m_store, "seen@example.com"), QStringList{"0 7:2  b"});
    }

    void aMoveCanBeTakenBackForTenSeconds()
    {
        m_store->addMails({codeMail("m1", "trash@example.com", 1), codeMail("m2", "trash@example.com", 2)});
        QSignalSpy offered(m_use.get(), &CodeAfterUse::undoAvailable);
        QSignalSpy notices(m_use.get(), &CodeAfterUse::notice);
        QVERIFY(!m_use->undo()); // nothing moved yet

        m_use->codeUsed("m1");
        QCOMPARE(queued(*m_store, "trash@example.com"), QStringList{"1 7:1  m1"});
        moveDone("m1", "9:40");
        QVERIFY(m_store->mail("m1")->inTrash);
        QCOMPARE(offered.size(), 1);
        QVERIFY(offered.last().first().toBool());
        QVERIFY(notices.last().first().value<Notice>().offersUndo);
        m_nowMs += 9'900;
        QVERIFY(m_use->undo());
        QCOMPARE(queued(*m_store, "trash@example.com"), QStringList{"2 9:40 Trash m1"});
        QVERIFY(!offered.last().first().toBool());
        QVERIFY(!m_use->undo()); // once

        m_use->codeUsed("m2");
        moveDone("m2", "9:41");
        m_nowMs += 10'000;
        QVERIFY(!m_use->undo());
        QCOMPARE(m_store->pendingActions("trash@example.com").size(), 1); // only m1's way back
    }

    void failuresAreSaidOnceAndAMoveWithoutUidIsNotOffered()
    {
        m_store->addMails({codeMail("f", "trash@example.com", 1), codeMail("n", "trash@example.com", 2)});
        QSignalSpy status(m_use.get(), &CodeAfterUse::status);
        QSignalSpy offered(m_use.get(), &CodeAfterUse::undoAvailable);
        m_use->codeUsed("f");
        MailActionResult failed;
        failed.action = m_store->pendingActions("trash@example.com").first();
        failed.outcome = MailActionResult::Outcome::Failed;
        failed.message = "cop kutusu yok";
        m_store->actionsDone("trash@example.com", {failed});
        QCOMPARE(status.size(), 1);
        QCOMPARE(status.last().first().toString(), QString("Posta islemi yapilamadi: cop kutusu yok"));
        QVERIFY(!m_store->mail("f")->inTrash);

        m_use->codeUsed("n");
        moveDone("n", QString());
        QVERIFY(m_store->mail("n")->inTrash);
        QVERIFY(offered.isEmpty());
        QVERIFY(!m_use->undo());
    }
};

QTEST_GUILESS_MAIN(TestAfterUse)
#include "tst_afteruse.moc"
