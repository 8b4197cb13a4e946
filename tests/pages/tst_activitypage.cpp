#include "mail/mailstore.h"
#include "pages/activitypage.h"
#include "support/isolatedsettings.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

class TestActivityPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void alertsFollowTheStore();
    void alertLimitAndIcons();
    void summaryWithoutNetwork();
    void shieldWaitsForDefender();

private:
    MailItem mail(const QString &from, const QString &subject, const QString &account = QStringLiteral("a@b.com"));

    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<QWidget> m_owner;
    MailStore *m_store = nullptr;
    ActivityPage *m_page = nullptr;
};

void TestActivityPage::init()
{
    m_settings = std::make_unique<IsolatedSettings>();
    m_owner = std::make_unique<QWidget>();
    m_store = new MailStore(m_owner.get());
    m_page = new ActivityPage(m_store, m_owner.get());
}

void TestActivityPage::cleanup()
{
    m_owner.reset();
    m_settings.reset();
}

MailItem TestActivityPage::mail(const QString &from, const QString &subject, const QString &account)
{
    MailItem m;
    m.from = from;
    m.subject = subject;
    m.account = account;
    m.body = QStringLiteral("no code here");
    m.received = QDateTime(QDate(2026, 3, 7), QTime(9, 41));
    return m;
}

void TestActivityPage::alertsFollowTheStore()
{
    QListWidget *list = m_page->alertList();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(),
             QStringLiteral("Guvenlik uyarisi yok. Yeni giris/cihaz maili gelince burada listelenir."));
    QCOMPARE(list->item(0)->flags(), Qt::NoItemFlags);

    m_store->addMails({mail(QStringLiteral("Kargo <info@kargo.example>"), QStringLiteral("Siparisin kargoya verildi")),
                       mail(QStringLiteral("Ayse Yilmaz <ayse@ornek.example>"),
                            QStringLiteral("GUVENLIK UYARISI: hesabina yeni cihazdan girildi"), QStringLiteral("c@d.com")),
                       mail(QStringLiteral("Google <no-reply@accounts.google.com>"),
                            QStringLiteral("Security alert: new sign-in on Windows"))});
    QCOMPARE(list->count(), 2);
    // Store order, newest batch first; unbranded senders by display name.
    QCOMPARE(list->item(0)->text(),
             QStringLiteral("07.03 09:41  •  Ayse Yilmaz\nGUVENLIK UYARISI: hesabina yeni cihazdan girildi  —  c@d.com"));
    QVERIFY(list->item(1)->text().contains(QStringLiteral("Security alert: new sign-in on Windows  —  a@b.com")));
    // Google's own account alert carries Google's name, not YouTube's.
    QVERIFY2(list->item(1)->text().contains(QStringLiteral("  •  Google\n")), qPrintable(list->item(1)->text()));
    const QImage unbranded = list->item(0)->icon().pixmap(32, 32).toImage();
    QCOMPARE(QColor(unbranded.pixel(3, 16)).name(), QStringLiteral("#b45309"));
}

void TestActivityPage::alertLimitAndIcons()
{
    QList<MailItem> batch;
    for (int i = 0; i < 40; ++i)
        batch.append(mail(QStringLiteral("x%1@ornek.example").arg(i), QStringLiteral("Suspicious activity %1").arg(i)));
    m_store->addMails(batch);
    QCOMPARE(m_page->alertList()->count(), 30);
    QVERIFY(m_page->alertList()->item(29)->text().contains(QStringLiteral("Suspicious activity 29")));
    QCOMPARE(m_page->alertList()->item(0)->icon().pixmap(32, 32).size(), QSize(32, 32));
}

void TestActivityPage::summaryWithoutNetwork()
{
    m_page->setInterfaceSource([] {
        NetInterfaceInfo lo{QStringLiteral("lo"), true, true, {QHostAddress(QStringLiteral("127.0.0.1"))}};
        return QList<NetInterfaceInfo>{lo};
    });
    m_page->refreshActivity();
    const QString text = m_page->summaryLabel()->text();
    QVERIFY(text.startsWith(QStringLiteral("Bu cihaz: ") + QSysInfo::machineHostName() + QStringLiteral("  |  ")));
    QVERIFY(text.contains(QStringLiteral("\nAg: bilinmiyor\n")));
    QVERIFY(text.endsWith(QStringLiteral("\nHenuz bagli hesap yok.")));

    EmailAccount a;
    a.address = QStringLiteral("ali@firma.com");
    a.enabled = false;
    m_store->addOrUpdateAccount(a); // accountsChanged rebuilds the summary
    QVERIFY(m_page->summaryLabel()->text().endsWith(QStringLiteral("\nali@firma.com: duraklatildi")));
}

void TestActivityPage::shieldWaitsForDefender()
{
    QCOMPARE(m_page->shieldLabel()->text(), QStringLiteral("Denetleniyor..."));
    std::function<void(bool, bool)> pending;
    m_page->setShieldAvailable(true);
    int queries = 0;
    m_page->setDefenderQuery([&](QObject *, std::function<void(bool, bool)> done) {
        ++queries;
        pending = std::move(done);
    });
    m_page->refreshHealth();
    QCOMPARE(queries, 1);
    QString text = m_page->shieldLabel()->text();
    QCOMPARE(text.split(QLatin1Char('\n')).size(), 5);
    QCOMPARE(text.split(QLatin1Char('\n')).at(2), QStringLiteral("Defender: sorgulaniyor..."));

    pending(true, true);
    text = m_page->shieldLabel()->text();
    QCOMPARE(text.split(QLatin1Char('\n')).at(2), QStringLiteral("[ACIK] Defender gercek zamanli koruma"));

    // "Tekrar Denetle" asks again and keeps the last answer meanwhile.
    for (QPushButton *b : m_page->findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("Tekrar Denetle"))
            b->click();
    QCOMPARE(queries, 2);
    QVERIFY(m_page->shieldLabel()->text().contains(QStringLiteral("[ACIK] Defender")));
    pending(false, false);
    QVERIFY(m_page->shieldLabel()->text().contains(QStringLiteral("Defender: sorgulaniyor...")));

    // An answer arriving after the page is gone is dropped.
    m_page->refreshHealth();
    delete m_page;
    m_page = nullptr;
    pending(true, true);

    // Where the checks do not exist the section says so and asks nobody.
    m_page = new ActivityPage(m_store, m_owner.get());
    m_page->setShieldAvailable(false);
    m_page->setDefenderQuery([&](QObject *, std::function<void(bool, bool)>) { ++queries; });
    m_page->refreshHealth();
    QCOMPARE(queries, 3);
    QVERIFY(m_page->shieldLabel()->text().startsWith(QStringLiteral("Denetlenemiyor: ")));
    m_page->setGuardStatus(QStringLiteral("Koruma: temiz"));
    QCOMPARE(m_page->guardLabel()->text(), QStringLiteral("Koruma: temiz"));
}

QTEST_MAIN(TestActivityPage)
#include "tst_activitypage.moc"
