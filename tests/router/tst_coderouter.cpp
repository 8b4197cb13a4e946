// The new-code flow on its own: quiet period, trust gate, demo mails,
// signing out, masked mode,
// batching and the last code, with a hand-moved clock and no display.
#include "core/settings.h"
#include "router/coderouter.h"
#include "support/isolatedsettings.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

constexpr qint64 kStart = 1'700'000'000;

MailItem codeMail(const QString &code, const QString &from = "Steam <noreply@steampowered.com>")
{
    MailItem m;
    m.id = code + from;
    m.account = "me@example.com";
    m.from = from;
    m.subject = "Giris kodun";
    m.code = code;
    m.confidence = 95;
    m.received = QDateTime::fromSecsSinceEpoch(kStart + 30);
    return m;
}

} // namespace

class TestCodeRouter : public QObject
{
    Q_OBJECT

    std::unique_ptr<IsolatedSettings> m_settings;
    qint64 m_now = kStart;
    bool m_admitted = true;

    std::unique_ptr<CodeRouter> makeRouter(int notifyMs = 3'600'000)
    {
        CodeRouterOptions o;
        o.clock = Clock::fromSeconds([this] { return m_now; });
        o.notifyMs = notifyMs;
        o.admitted = [this] { return m_admitted; };
        return std::make_unique<CodeRouter>(o);
    }

    // Everything a router may do on its own, recorded.
    struct Spies
    {
        explicit Spies(CodeRouter *r)
            : copy(r, &CodeRouter::copyRequested), type(r, &CodeRouter::typeRequested),
              push(r, &CodeRouter::pushRequested), last(r, &CodeRouter::lastCodeChanged), notice(r, &CodeRouter::notice),
              status(r, &CodeRouter::status)
        {
        }
        QSignalSpy copy, type, push, last, notice, status;
        bool silent() const { return copy.isEmpty() && type.isEmpty() && push.isEmpty() && last.isEmpty(); }
    };

private slots:
    void init()
    {
        m_settings = std::make_unique<IsolatedSettings>();
        m_now = kStart;
        m_admitted = true;
    }

    void quietPeriodHoldsOnlyFirstRoundMails()
    {
        auto r = makeRouter();
        QCOMPARE(r->quietUntil(), kStart + 45);
        Spies spy(r.get());
        m_now += 44;
        MailItem old = codeMail("111111");
        old.sent = QDateTime::fromSecsSinceEpoch(kStart - 120); // in the mailbox before the start
        old.firstRound = true;
        r->onNewCode(old);
        r->onNewCode(codeMail(""));
        r->flushNotices();
        QVERIFY(spy.silent());
        QVERIFY(spy.notice.isEmpty());
        QCOMPARE(spy.status.size(), 1);
        QCOMPARE(spy.status.last().at(0).toString(), QString("Kod kopyalanmadi: acilista kutuda olan posta"));
        QVERIFY(r->pending().isEmpty());
        // a mail that arrived after the start acts within the quiet period,
        // also one sent after the start that the first round itself found
        r->onNewCode(codeMail("333333"));
        MailItem during = codeMail("444444");
        during.firstRound = true;
        during.sent = QDateTime::fromSecsSinceEpoch(kStart + 2);
        r->onNewCode(during);
        QCOMPARE(spy.copy.size(), 2);
        QCOMPARE(spy.push.size(), 2);
        // and a first-round mail acts once the period is over
        m_now = kStart + 45;
        old.code = "222222";
        r->onNewCode(old);
        QCOMPARE(spy.copy.size(), 3);
    }

    void demoMailsNeverAct()
    {
        auto r = makeRouter();
        Spies spy(r.get());
        m_now += 100;
        MailItem demo = codeMail("482913");
        demo.demo = true;
        r->onNewCode(demo);
        r->flushNotices();
        QVERIFY(spy.silent());
        QVERIFY(spy.notice.isEmpty());
        QCOMPARE(spy.status.last().at(0).toString(), QString("Kod kopyalanmadi: demo posta"));
    }

    void aTrustedCodeGoesEverywhereOnce()
    {
        auto r = makeRouter();
        Spies spy(r.get());
        m_now += 46;
        const MailItem m = codeMail("482913");
        r->onNewCode(m);
        QCOMPARE(spy.copy.size(), 1);
        QCOMPARE(spy.copy.at(0).at(0).toString(), QString("482913"));
        QCOMPARE(spy.last.at(0).at(0).toString(), QString("482913"));
        QCOMPARE(spy.push.size(), 1);
        QCOMPARE(spy.push.at(0).at(0).value<MailItem>().id, m.id);
        QCOMPARE(spy.status.last().at(0).toString(), QString("Yeni kod: 482913 <- Steam <noreply@steampowered.com>"));
        QCOMPARE(r->lastCode(), QString("482913"));
        QVERIFY(spy.type.isEmpty());
        QVERIFY(spy.notice.isEmpty()); // waits for the batch
        r->flushNotices();
        QCOMPARE(spy.notice.size(), 1);
        const Notice n = spy.notice.at(0).at(0).value<Notice>();
        QCOMPARE(n.title, QString("MIRELO+ - Steam"));
        QVERIFY(n.text.startsWith("482913  (Giris kodun)\n"));
        QCOMPARE(n.msecs, 6000);
        QVERIFY(!n.warning);
        QVERIFY(r->pending().isEmpty());
        r->flushNotices();
        QCOMPARE(spy.notice.size(), 1);
    }

    void burstsShareOneNotice_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("three") << 3 << "MIRELO+ - 3 yeni kod" << "333 (Sender3)";
        QTest::newRow("five") << 5 << "MIRELO+ - 5 yeni kod" << "+2 kod daha";
    }

    void burstsShareOneNotice()
    {
        QFETCH(int, count);
        QFETCH(QString, title);
        QFETCH(QString, lastLine);
        auto r = makeRouter(5);
        Spies spy(r.get());
        m_now += 60;
        for (int i = 1; i <= count; ++i)
            r->onNewCode(codeMail(QString::number(i * 111), QString("Sender%1 <s%1@ornek.example>").arg(i)));
        QCOMPARE(spy.copy.size(), count);
        QCOMPARE(spy.copy.last().at(0).toString(), QString::number(count * 111));
        QTRY_COMPARE(spy.notice.size(), 1);
        const Notice n = spy.notice.at(0).at(0).value<Notice>();
        QCOMPARE(n.title, title);
        QCOMPARE(n.text.split('\n').last(), lastLine);
        // a later code starts a batch of its own
        r->onNewCode(codeMail("999999"));
        QTRY_COMPARE(spy.notice.size(), 2);
        QCOMPARE(spy.notice.at(1).at(0).value<Notice>().title, QString("MIRELO+ - Steam"));
    }

    void untrustedCodesOnlyExplainThemselves()
    {
        auto r = makeRouter();
        Spies spy(r.get());
        m_now += 60;
        MailItem unsure = codeMail("111111");
        unsure.confidence = 55;
        r->onNewCode(unsure);
        QCOMPARE(spy.status.last().at(0).toString(), QString("Kod kopyalanmadi: dusuk guven (55 < 70)"));
        MailItem stale = codeMail("222222");
        // the age comes from the router's clock, not the wall clock
        stale.sent = QDateTime::fromSecsSinceEpoch(m_now - 42 * 60);
        r->onNewCode(stale);
        QCOMPARE(spy.status.last().at(0).toString(), QString("Kod kopyalanmadi: eski posta (42 dk once)"));
        QVERIFY(spy.silent());
        QVERIFY(r->pending().isEmpty());

        // by hand it still copies
        r->copyCode("111111");
        QCOMPARE(spy.copy.size(), 1);
        QCOMPARE(spy.status.last().at(0).toString(), QString("Kopyalandi: 111111"));

        // the threshold is the user's setting
        Settings::open().setValue(SettingsKey::kMinConfidence, 50);
        r->onNewCode(unsure);
        QCOMPARE(r->lastCode(), QString("111111"));
        QCOMPARE(spy.push.size(), 1);
    }

    void maskedModeHidesEveryCode()
    {
        auto r = makeRouter();
        Spies spy(r.get());
        m_now += 100;
        r->onNewCode(codeMail("135790"));
        QCOMPARE(r->lastCode(), QString("135790"));
        r->setMasked(true);
        QVERIFY(r->isMasked());
        // the hotkey would type the code from before
        QVERIFY(r->lastCode().isEmpty());
        QCOMPARE(spy.last.last().at(0).toString(), QString());
        const int copies = spy.copy.size();
        const int pushes = spy.push.size();

        r->onNewCode(codeMail("424242"));
        QCOMPARE(spy.status.last().at(0).toString(), QString("Yeni kod geldi (koruma: gizli)."));
        QCOMPARE(spy.notice.size(), 1);
        const Notice n = spy.notice.at(0).at(0).value<Notice>();
        QCOMPARE(n.text, QString("Yeni kod geldi (koruma aktif, gizli)."));
        QCOMPARE(n.msecs, 4000);
        QCOMPARE(spy.copy.size(), copies);
        QCOMPARE(spy.push.size(), pushes);
        QVERIFY(r->lastCode().isEmpty());

        // the user's own actions only report
        r->copyCode("424242");
        r->typeCode("424242");
        r->typeLastCode();
        QCOMPARE(spy.copy.size(), copies);
        QVERIFY(spy.type.isEmpty());
        QCOMPARE(spy.status.last().at(0).toString(), QString("Koruma aktif: kod gizli."));
        // a second masking changes nothing more
        const int lastChanges = spy.last.size();
        r->setMasked(true);
        QCOMPARE(spy.last.size(), lastChanges);
    }

    void signedOutNothingActs()
    {
        auto r = makeRouter();
        Spies spy(r.get());
        r->typeLastCode();
        QVERIFY(spy.type.isEmpty()); // nothing to type yet
        m_now += 100;
        r->onNewCode(codeMail("135790"));
        QCOMPARE(spy.copy.size(), 1);
        // signing out drops the last code and the unshown batch
        m_admitted = false;
        r->signedOut();
        QVERIFY(r->lastCode().isEmpty());
        QVERIFY(r->pending().isEmpty());
        const int copies = spy.copy.size();
        r->onNewCode(codeMail("246810"));
        r->copyCode("246810");
        r->typeCode("246810");
        r->typeLastCode();
        r->flushNotices();
        QCOMPARE(spy.copy.size(), copies);
        QCOMPARE(spy.push.size(), 1);
        QVERIFY(spy.type.isEmpty());
        QVERIFY(spy.notice.isEmpty());
        QVERIFY(r->lastCode().isEmpty());
        // the next user starts with nothing to type
        m_admitted = true;
        r->typeLastCode();
        QVERIFY(spy.type.isEmpty());
        r->typeCode("13579");
        QCOMPARE(spy.type.at(0).at(0).toString(), QString("13579"));
        QCOMPARE(spy.status.last().at(0).toString(), QString("Yaziliyor: 13579"));
    }

    void withoutATrayTheBatchStaysBounded()
    {
        auto r = makeRouter();
        r->setNoticesShown(false);
        QSignalSpy notice(r.get(), &CodeRouter::notice);
        m_now += 100;
        for (int i = 0; i < CodeRouter::kMaxPending + 20; ++i)
            r->onNewCode(codeMail(QString::number(100000 + i)));
        r->flushNotices();
        QVERIFY(notice.isEmpty());
        QCOMPARE(r->pending().size(), CodeRouter::kMaxPending);
        // the oldest went first
        QCOMPARE(r->pending().first().code, QString::number(100020));
        QCOMPARE(r->pending().last().code, QString::number(100000 + CodeRouter::kMaxPending + 19));
    }

    void staleLastCodeIsNotTyped_data()
    {
        QTest::addColumn<qint64>("dateOffset"); // of the Date from the arrival; 1: no Date
        QTest::newRow("Date") << qint64(-120);
        QTest::newRow("no Date: the arrival") << qint64(1);
        QTest::newRow("Date ahead: the arrival") << qint64(240);
    }
    void staleLastCodeIsNotTyped()
    {
        QFETCH(qint64, dateOffset);
        auto r = makeRouter();
        Spies spy(r.get());
        QSignalSpy typed(r.get(), &CodeRouter::lastCodeTyped);
        m_now += 100;
        MailItem m = codeMail("551234");
        m.received = QDateTime::fromSecsSinceEpoch(m_now);
        if (dateOffset != 1)
            m.sent = m.received.addSecs(dateOffset);
        r->onNewCode(m);
        QCOMPARE(r->lastCode(), QString("551234"));
        const qint64 from = m_now + (dateOffset < 0 ? dateOffset : 0);

        m_now = from + 599;
        r->typeLastCode();
        QCOMPARE(spy.type.size(), 1);
        QCOMPARE(typed.size(), 1);
        QCOMPARE(typed.first().first().toString(), m.id);
        m_now = from + 14 * 60 + 5;
        r->typeLastCode();
        QCOMPARE(r->typableLastCode(), QString());
        QCOMPARE(spy.type.size(), 1);
        QCOMPARE(typed.size(), 1);
        QCOMPARE(spy.status.last().first().toString(), QString("Son kod 14 dk once geldi; yazilmadi"));
        QCOMPARE(spy.notice.last().first().value<Notice>().text, QString("Son kod 14 dk once geldi; yazilmadi"));
        // exactly the limit is too old already; a longer setting lets it through
        m_now = from + 600;
        QVERIFY(r->typableLastCode().isEmpty());
        Settings::setStaleMinutes(20);
        QCOMPARE(r->typableLastCode(), QString("551234"));
    }
};

QTEST_GUILESS_MAIN(TestCodeRouter)
#include "tst_coderouter.moc"
