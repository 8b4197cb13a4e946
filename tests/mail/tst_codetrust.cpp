#include "mail/codetrust.h"
#include "mail/silenced.h"
#include "support/isolatedsettings.h"

#include <QSettings>
#include <QtTest>

#include <climits>

namespace {

const QDateTime kNow = QDateTime::fromSecsSinceEpoch(1780000000, Qt::UTC);

MailItem codeMail(int confidence, qint64 sentAgo, qint64 receivedAgo = 0)
{
    MailItem m;
    m.code = QStringLiteral("482913");
    m.confidence = confidence;
    if (sentAgo != LLONG_MIN)
        m.sent = kNow.addSecs(-sentAgo);
    if (receivedAgo != LLONG_MIN)
        m.received = kNow.addSecs(-receivedAgo);
    return m;
}

} // namespace

class TestCodeTrust : public QObject
{
    Q_OBJECT
private slots:
    void decisions_data();
    void decisions();
    void thresholdSetting();
    void silencedSenders();
};

void TestCodeTrust::silencedSenders()
{
    SilencedSenders list;
    QVERIFY(list.add(silencedSender(" Promo@Shop.COM ", false)));
    QVERIFY(list.add(silencedSender("@mail.example.org", true)));
    QVERIFY(!list.add(silencedSender("promo@shop.com", false))); // there already
    QVERIFY(!list.add(silencedSender("not an address", false)));
    QVERIFY(!list.add(silencedSender("bad..domain", true)));
    QVERIFY(list.covers("\"Shop\" <PROMO@shop.com>"));
    QVERIFY(!list.covers("other@shop.com"));
    QVERIFY(list.covers("a@mail.example.org"));
    QVERIFY(list.covers("a@eu.mail.example.org"));
    QVERIFY(!list.covers("a@gmail.example.org"));
    QVERIFY(!list.covers("a@xmail.example.org"));
    QVERIFY(!list.covers("a@example.org"));
    // kept as written; damaged entries of a stored list are skipped
    const SilencedSenders back = SilencedSenders::fromJson(list.toJson());
    QCOMPARE(back.entries(), list.entries());
    QCOMPARE(SilencedSenders::fromJson(R"([{"domain":"ok.com"},{"domain":""},7,{"address":"x"}])").entries().size(), 1);
    QVERIFY(SilencedSenders::fromJson("not json").isEmpty());

    // a silenced sender's code is never trusted, whatever else holds
    MailItem m;
    m.code = "123456";
    m.confidence = 99;
    m.silenced = true;
    const CodeTrust t = codeTrust(m, QDateTime::currentDateTimeUtc(), 70);
    QVERIFY(!t.trusted);
    QCOMPARE(t.reason, QString("gonderici yok sayiliyor"));
}

void TestCodeTrust::decisions_data()
{
    QTest::addColumn<int>("confidence");
    QTest::addColumn<qint64>("sentAgo");
    QTest::addColumn<qint64>("receivedAgo");
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<QString>("reason");

    const qint64 none = LLONG_MIN;
    QTest::newRow("fresh and sure") << 90 << qint64(60) << qint64(0) << true << "guvenilir kod";
    QTest::newRow("at threshold") << 70 << qint64(0) << qint64(0) << true << "guvenilir kod";
    QTest::newRow("below threshold") << 69 << qint64(0) << qint64(0) << false << "dusuk guven (69 < 70)";
    QTest::newRow("fifteen minutes is fresh") << 90 << qint64(15 * 60) << qint64(0) << true << "guvenilir kod";
    QTest::newRow("old mail") << 95 << qint64(42 * 60 + 30) << qint64(0) << false << "eski posta (42 dk once)";
    QTest::newRow("Date wins over fetch time") << 95 << qint64(3600) << qint64(5) << false << "eski posta (60 dk once)";
    QTest::newRow("a little ahead") << 95 << qint64(-5 * 60) << qint64(0) << true << "guvenilir kod";
    QTest::newRow("far ahead") << 95 << qint64(-(20 * 60 + 1)) << qint64(0) << false
                               << "ileri tarihli posta (21 dk sonra)";
    QTest::newRow("no Date, fresh fetch") << 95 << none << qint64(60) << true << "guvenilir kod";
    QTest::newRow("no Date, old fetch") << 95 << none << qint64(16 * 60) << false << "eski posta (16 dk once)";
    QTest::newRow("no times at all") << 95 << none << none << true << "guvenilir kod";
}

void TestCodeTrust::decisions()
{
    QFETCH(int, confidence);
    QFETCH(qint64, sentAgo);
    QFETCH(qint64, receivedAgo);
    QFETCH(bool, trusted);
    QFETCH(QString, reason);
    const CodeTrust t = codeTrust(codeMail(confidence, sentAgo, receivedAgo), kNow, 70);
    QCOMPARE(t.trusted, trusted);
    QCOMPARE(t.reason, reason);

    MailItem noCode = codeMail(confidence, sentAgo, receivedAgo);
    noCode.code.clear();
    QVERIFY(!codeTrust(noCode, kNow, 0).trusted);
}

void TestCodeTrust::thresholdSetting()
{
    IsolatedSettings isolated;
    QCOMPARE(minConfidenceSetting(), kDefaultMinConfidence);
    QSettings store(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
    store.setValue(kMinConfidenceKey, 85);
    store.sync();
    QCOMPARE(minConfidenceSetting(), 85);
    for (const QVariant &junk : {QVariant("yuksek"), QVariant(101), QVariant(-1)}) {
        store.setValue(kMinConfidenceKey, junk);
        store.sync();
        QCOMPARE(minConfidenceSetting(), kDefaultMinConfidence);
    }
}

QTEST_GUILESS_MAIN(TestCodeTrust)
#include "tst_codetrust.moc"
