// The settings facade keeps the stored keys and value formats earlier
// versions wrote, and the clock reads the source it was given.
#include "core/clock.h"
#include "core/settings.h"
#include "support/isolatedsettings.h"

#include <QtTest>

#include <memory>

class TestCoreSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<IsolatedSettings> m_settings;

    // The store as another program (or an older version) sees it.
    static QSettings raw() { return QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus")); }

private slots:
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }

    void oneStoreUnderTheOldName()
    {
        QCOMPARE(Settings::fileName(), m_settings->settingsFile());
        raw().setValue("auth/display", "eski");
        raw().setValue("auth/logged", true);
        QCOMPARE(Settings::authDisplayName(), QString("eski"));
        QVERIFY(Settings::authLoggedIn());
        Settings::setAuthLoggedOut();
        QCOMPARE(raw().value("auth/logged").toBool(), false);
        QCOMPARE(raw().value("auth/display").toString(), QString("eski"));
    }

    void everyUserHasOwnDataAndOldStoresReadAsBefore()
    {
        // Before any user: the keys as they always were.
        QCOMPARE(Settings::userKey(SettingsKey::kAccounts), QString("accounts"));
        // A store from before users had their own data: it is the named user's.
        raw().setValue("auth/display", "eski");
        raw().setValue("auth/logged", true);
        raw().setValue("accounts", QByteArray("[\"eski\"]"));
        QCOMPARE(Settings::accountsJson(), QByteArray("[\"eski\"]"));
        QCOMPARE(Settings::userKey(SettingsKey::kVaultData), QString("vault/data"));

        // Another user signs in: nothing of it is seen, and theirs goes apart.
        Settings::setAuthUser("yeni_kisi");
        QCOMPARE(raw().value("auth/dataOwner").toString(), QString("eski"));
        QVERIFY(Settings::accountsJson().isEmpty());
        QVERIFY(Settings::linkDevicesJson().isEmpty());
        Settings::setAccountsJson("[\"yeni\"]");
        QCOMPARE(raw().value("users/yeni_kisi/accounts").toByteArray(), QByteArray("[\"yeni\"]"));
        QCOMPARE(raw().value("accounts").toByteArray(), QByteArray("[\"eski\"]"));
        QCOMPARE(Settings::userKey(SettingsKey::kVaultSet), QString("users/yeni_kisi/vault/set"));

        // Signed out: nobody's data is read or written.
        Settings::setAuthLoggedOut();
        QVERIFY(Settings::userKey(SettingsKey::kAccounts).isEmpty());
        QVERIFY(Settings::accountsJson().isEmpty());
        Settings::setAccountsJson("[\"kimse\"]");
        QCOMPARE(raw().value("accounts").toByteArray(), QByteArray("[\"eski\"]"));

        // The first one back finds their data where it always was.
        Settings::setAuthUser("eski");
        QCOMPARE(Settings::accountsJson(), QByteArray("[\"eski\"]"));
        QCOMPARE(Settings::dataUser(), QString("eski"));
    }

    void theFirstUserOfAFreshStoreOwnsItsKeys()
    {
        Settings::setAuthUser("ilk");
        QCOMPARE(raw().value("auth/dataOwner").toString(), QString("ilk"));
        QCOMPARE(Settings::userKey(SettingsKey::kAccounts), QString("accounts"));
    }

    void valuesKeepTheirFormats()
    {
        QVERIFY(!Settings::lightTheme());
        Settings::setLightTheme(true);
        QCOMPARE(raw().value("theme").toString(), QString("light"));
        Settings::setLightTheme(false);
        QCOMPARE(raw().value("theme").toString(), QString("dark"));
        raw().setValue("theme", "Light"); // only the exact word counts
        QVERIFY(!Settings::lightTheme());

        QVERIFY(Settings::captureProtection()); // on when missing
        Settings::setCaptureProtection(false);
        QCOMPARE(raw().value("captureProt").toBool(), false);

        // the device list is stored as text, not as bytes
        Settings::setLinkDevicesJson("[{\"sid\":\"A\"}]");
        QCOMPARE(raw().value("link/devices").typeId(), QMetaType::QString);
        QCOMPARE(Settings::linkDevicesJson(), QByteArray("[{\"sid\":\"A\"}]"));

        Settings::setLinkCleanups({"AAAAAAAA", "BBBBBBBB"});
        QCOMPARE(raw().value("link/cleanup").toStringList(), QStringList({"AAAAAAAA", "BBBBBBBB"}));
        Settings::setLinkCleanups({});
        QVERIFY(!raw().contains("link/cleanup"));

        Settings::setAccountsJson("[]");
        Settings::setCategoriesJson("[1]");
        Settings::setSeenQueueJson("{}");
        QCOMPARE(raw().value("accounts").toByteArray(), QByteArray("[]"));
        QCOMPARE(raw().value("categories").toByteArray(), QByteArray("[1]"));
        QCOMPARE(raw().value("seenQueue").toByteArray(), QByteArray("{}"));
    }

    void readingsAreCleaned()
    {
        QCOMPARE(Settings::cloudUrl(), QString());
        raw().setValue("cloud/url", " https://proje.example.com// ");
        QCOMPARE(Settings::cloudUrl(), QString("https://proje.example.com"));

        QCOMPARE(Settings::minConfidence(70), 70);
        for (const QVariant &junk : {QVariant("abc"), QVariant(-1), QVariant(101), QVariant("")}) {
            raw().setValue("codes/minConfidence", junk);
            QCOMPARE(Settings::minConfidence(70), 70);
        }
        raw().setValue("codes/minConfidence", "0");
        QCOMPARE(Settings::minConfidence(70), 0);
    }

    void clockReadsItsSource()
    {
        qint64 secs = 1'700'000'000;
        const Clock fixed = Clock::fromSeconds([&secs] { return secs; });
        QCOMPARE(fixed.secsSinceEpoch(), secs);
        secs += 90;
        QCOMPARE(fixed.secsSinceEpoch(), 1'700'000'090);
        QCOMPARE(fixed.now().timeSpec(), Qt::UTC);
        // a copy keeps reading the same source
        const Clock copy = fixed;
        secs += 10;
        QCOMPARE(copy.secsSinceEpoch(), 1'700'000'100);

        // a date-time source given in local time still means the same instant
        const QDateTime local = QDateTime::fromSecsSinceEpoch(1'600'000'000).toLocalTime();
        const Clock fromLocal([local] { return local; });
        QCOMPARE(fromLocal.now(), local);
        QCOMPARE(fromLocal.now().timeSpec(), Qt::UTC);

        // built without a source, or with an empty one: the system's
        for (const Clock &system : {Clock(), Clock(Clock::Source()), Clock::fromSeconds({})})
            QVERIFY(qAbs(system.secsSinceEpoch() - QDateTime::currentSecsSinceEpoch()) <= 2);
    }
};

QTEST_GUILESS_MAIN(TestCoreSettings)
#include "tst_settings.moc"
