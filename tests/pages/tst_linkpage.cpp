#include "link/linkmanager.h"
#include "qr/qrwidget.h"
#include "mail/mailrecords.h"
#include "pages/linkpage.h"
#include "dbpeek.h"
#include "recordingdialogs.h"
#include "servers/clouddbfixture.h"
#include "support/isolatedsettings.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

class TestLinkPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void idlePageAndEmptyDevices();
    void pairingShowsCodeCountdownAndQr();
    void joinedDeviceListedAndUnpaired();
    void failedStartReturnsToIdle();

private:
    LinkManager *makeHost(const QString &url);
    QPushButton *button(const QString &text) const;

    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<QWidget> m_owner;
    QDateTime m_now;
    LinkPage *m_page = nullptr;
};

void TestLinkPage::init()
{
    m_settings = std::make_unique<IsolatedSettings>();
    m_owner = std::make_unique<QWidget>();
    m_now = QDateTime(QDate(2026, 1, 2), QTime(10, 0), Qt::UTC);
}

void TestLinkPage::cleanup()
{
    m_page = nullptr;
    m_owner.reset();
    m_settings.reset();
}

LinkManager *TestLinkPage::makeHost(const QString &url)
{
    LinkOptions opts;
    opts.databaseBaseUrl = url;
    opts.clock = [this] { return m_now; };
    opts.pollMs = 50;
    auto *link = new LinkManager(m_owner.get(), opts);
    m_page = new LinkPage(link, m_owner.get(), 20);
    return link;
}

QPushButton *TestLinkPage::button(const QString &text) const
{
    for (QPushButton *b : m_page->findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

void TestLinkPage::idlePageAndEmptyDevices()
{
    makeHost(QStringLiteral("http://127.0.0.1:9"));
    QCOMPARE(m_page->pairCodeLabel()->text(), QStringLiteral("------"));
    QVERIFY(m_page->timeLeftLabel()->text().isEmpty());
    QCOMPARE(m_page->qrWidget()->text(), QStringLiteral("QR bekleniyor..."));
    QCOMPARE(m_page->logLabel()->text(), QStringLiteral("Henuz eslestirme yok."));
    QCOMPARE(m_page->deviceList()->count(), 1);
    QListWidgetItem *hint = m_page->deviceList()->item(0);
    QCOMPARE(hint->text(), QStringLiteral("Henuz esli cihaz yok. Soldan eslestirme baslat."));
    QCOMPARE(hint->flags(), Qt::NoItemFlags);
}

void TestLinkPage::pairingShowsCodeCountdownAndQr()
{
    CloudDbFixture db;
    QVERIFY2(db.startInProcess(), qPrintable(db.errorText()));
    LinkManager *link = makeHost(db.baseUrl());
    QSignalSpy status(m_page, &LinkPage::statusMessage);

    button(QStringLiteral("Eslestirme Baslat"))->click();
    QVERIFY(link->isPairing());
    const QString code = link->pairingCode();
    QCOMPARE(m_page->pairCodeLabel()->text(), code.left(3) + QLatin1Char(' ') + code.mid(3));
    // the session id beside the code: what a device without a camera types in
    QCOMPARE(m_page->sessionLabel()->text(), QStringLiteral("Oturum: ") + link->sessionId());
    QCOMPARE(m_page->timeLeftLabel()->text(), QStringLiteral("Kalan sure: 10:00"));
    QCOMPARE(m_page->logLabel()->text(), QStringLiteral("QR + kod hazir (10 dk gecerli)."));
    QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("QR + kod hazir (10 dk gecerli)."));
    QVERIFY(!m_page->qrWidget()->pixmap().isNull());
    const qint64 drawn = m_page->qrWidget()->pixmap().cacheKey();

    // The page's own timer keeps the countdown moving; the QR stays as drawn.
    m_now = m_now.addSecs(475);
    QTRY_COMPARE(m_page->timeLeftLabel()->text(), QStringLiteral("Kalan sure: 2:05"));
    emit link->pairingChanged();
    link->onPairTick();
    QCOMPARE(m_page->qrWidget()->pixmap().cacheKey(), drawn);

    // A new session draws a new code.
    button(QStringLiteral("Eslestirme Baslat"))->click();
    QVERIFY(m_page->qrWidget()->pixmap().cacheKey() != drawn);

    button(QStringLiteral("Durdur"))->click();
    QVERIFY(!link->isPairing());
    QCOMPARE(m_page->pairCodeLabel()->text(), QStringLiteral("------"));
    QVERIFY(m_page->sessionLabel()->text().isEmpty());
    QVERIFY(m_page->qrWidget()->pixmap().isNull());
    QCOMPARE(m_page->qrWidget()->text(), QStringLiteral("QR bekleniyor..."));
    QVERIFY(m_page->timeLeftLabel()->text().isEmpty());

    // Expiry ends the session the same way.
    button(QStringLiteral("Eslestirme Baslat"))->click();
    m_now = m_now.addSecs(601);
    link->onPairTick();
    QCOMPARE(m_page->pairCodeLabel()->text(), QStringLiteral("------"));
    QCOMPARE(m_page->logLabel()->text(), QStringLiteral("Sure doldu, yeni kod uret."));
}

void TestLinkPage::joinedDeviceListedAndUnpaired()
{
    CloudDbFixture db;
    QVERIFY2(db.startInProcess(), qPrintable(db.errorText()));
    LinkManager *host = makeHost(db.baseUrl());
    host->startPairing();

    LinkOptions peerOpts;
    peerOpts.databaseBaseUrl = db.baseUrl();
    peerOpts.devicesFile = m_settings->path() + QStringLiteral("/peer.json");
    LinkManager peer(nullptr, peerOpts);
    QSignalSpy joined(&peer, &LinkManager::joinOk);
    // The host's PUT must land before the join reads the record.
    const QString path = QStringLiteral("/mirelo_link/") + host->sessionId();
    QTRY_VERIFY(!peekDatabase(db.baseUrl(), path).isEmpty());
    peer.joinSession(host->sessionId(), host->pairingCode(), QStringLiteral("pixel telefon"));
    QTRY_COMPARE(joined.size(), 1);

    QTRY_COMPARE(host->devices().size(), 1);
    QCOMPARE(m_page->pairCodeLabel()->text(), QStringLiteral("------"));
    QCOMPARE(m_page->deviceList()->count(), 1);
    QListWidgetItem *item = m_page->deviceList()->item(0);
    const PairedDevice dev = host->devices().at(0);
    // the pairing time as people read it, the raw one in the tool tip
    QVERIFY(!item->text().contains(QLatin1Char('T')));
    QCOMPARE(item->text(), QStringLiteral("pixel telefon  —  eslesti: ")
                               + readableTime(QDateTime::fromString(dev.at, Qt::ISODate), QDateTime::currentDateTime()));
    QCOMPARE(item->toolTip(), dev.at);
    QCOMPARE(item->data(Qt::UserRole).toString(), dev.sid);
    QVERIFY(item->flags() & Qt::ItemIsEnabled);
    QCOMPARE(m_page->logLabel()->text(), QStringLiteral("Eslesme tamam: pixel telefon"));

    RecordingDialogs dialogs;
    m_page->setDialogs(&dialogs);
    std::unique_ptr<QMenu> menu(m_page->deviceMenu(dev.sid));
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Baglantiyi kes"));
    // Asked first; a "no" keeps the phone paired.
    dialogs.answer = false;
    menu->actions().at(0)->trigger();
    QCOMPARE(dialogs.questions.size(), 1);
    QVERIFY(dialogs.questions.at(0).contains(QStringLiteral("pixel telefon")));
    QCOMPARE(host->devices().size(), 1);
    dialogs.answer = true;
    menu->actions().at(0)->trigger();
    QCOMPARE(dialogs.questions.size(), 2);
    QVERIFY(host->devices().isEmpty());
    QCOMPARE(m_page->deviceList()->count(), 1);
    QCOMPARE(m_page->deviceList()->item(0)->flags(), Qt::NoItemFlags);
    QTRY_COMPARE(m_page->logLabel()->text(), QStringLiteral("Cihaz baglantisi kesildi."));
}

void TestLinkPage::failedStartReturnsToIdle()
{
    // Nothing listens on the discard port: the session record cannot be written.
    LinkManager *link = makeHost(QStringLiteral("http://127.0.0.1:9"));
    link->startPairing();
    QVERIFY(m_page->pairCodeLabel()->text() != QStringLiteral("------"));
    QTRY_COMPARE(m_page->pairCodeLabel()->text(), QStringLiteral("------"));
    QCOMPARE(m_page->logLabel()->text(), QStringLiteral("Eslestirme baslatilamadi: ag hatasi."));
    QVERIFY(m_page->qrWidget()->pixmap().isNull());
}

QTEST_MAIN(TestLinkPage)
#include "tst_linkpage.moc"
