// Mail secrets on their way through the stored records: old records read and
// move on their next save, every record names its form, a secret that cannot
// be read is said and never replaced by an empty one, and removed accounts
// take their items with them.
#include "core/settings.h"
#include "mail/mailstorage.h"
#include "mail/mailstore.h"
#include "mail/storedrecords.h"
#include "secrets/fakesecretstore.h"
#include "mail/memorydisk.h"
#include "support/isolatedsettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace {

std::shared_ptr<SecretKeeper> keeperWith(std::shared_ptr<SecretStore> store)
{
    return std::make_shared<SecretKeeper>(std::vector<std::shared_ptr<SecretStore>>{std::move(store)});
}

QJsonObject storedAccount(const MemoryDisk &disk, int i = 0)
{
    return QJsonDocument::fromJson(disk.values.value("accounts")).array().at(i).toObject();
}

// What the version before the form marker wrote.
const QByteArray kOldRecord = R"([{"address":"Ali@Ornek.com","host":"imap.ornek.com","port":993,"user":"ali",)"
                              R"("pass":"Z2l6bGk=","enabled":true}])";

} // namespace

class TestSecretRecords : public QObject
{
    Q_OBJECT

private slots:
    void oldRecordsReadAndMoveToTheKeyringOnTheirNextSave()
    {
        MemoryDisk disk;
        disk.values.insert("accounts", kOldRecord);
        auto keyring = std::make_shared<FakeKeyring>();
        {
            MailStore store(disk.storage(), keeperWith(keyring));
            QCOMPARE(store.accounts().value(0).pass, QString("gizli"));
            QCOMPARE(disk.writes.value("accounts"), 0); // reading rewrites nothing
            store.setAccountEnabled("ali@ornek.com", false);
        }
        const QJsonObject o = storedAccount(disk);
        QCOMPARE(o.value("secretForm").toString(), QString("keyring"));
        QVERIFY(!o.contains("pass"));
        QVERIFY(!disk.values.value("accounts").contains("Z2l6bGk"));
        QCOMPARE(keyring->items.value("accounts|ali@ornek.com|pass"), QString("gizli"));

        // The next start reads it back; saves that leave it alone do not
        // write it to the keyring again.
        MailStore again(disk.storage(), keeperWith(keyring));
        QCOMPARE(again.accounts().value(0).pass, QString("gizli"));
        again.setAccountEnabled("ali@ornek.com", true);
        QCOMPARE(keyring->keeps, 1);
        EmailAccount changed = again.accounts().value(0);
        changed.pass = "yeni";
        again.addOrUpdateAccount(changed);
        QCOMPARE(keyring->keeps, 2);
        QCOMPARE(keyring->items.value("accounts|ali@ornek.com|pass"), QString("yeni"));
    }

    void aKeyringGoneIsSaidAndTheRecordKeptUntilANewPassword()
    {
        MemoryDisk disk;
        disk.values.insert("accounts", kOldRecord);
        auto keyring = std::make_shared<FakeKeyring>();
        MailStore(disk.storage(), keeperWith(keyring)).setAccountEnabled("ali@ornek.com", false);

        // This start has only the file form.
        MailStore store(disk.storage(), keeperWith(nullptr));
        const EmailAccount read = store.accounts().value(0);
        QVERIFY(read.pass.isEmpty());
        QVERIFY2(read.lastError.startsWith("Sifre okunamadi: anahtar zinciri"), qPrintable(read.lastError));
        QVERIFY(store.pollableAccounts().isEmpty());
        // Another change saved: the record still points at the keyring item.
        store.setAccountEnabled("ali@ornek.com", true);
        QCOMPARE(storedAccount(disk).value("secretForm").toString(), QString("keyring"));
        QCOMPARE(MailStore(disk.storage(), keeperWith(keyring)).accounts().value(0).pass, QString("gizli"));

        // The keyring answers but lost the item: said the same way.
        keyring->items.clear();
        QVERIFY(MailStore(disk.storage(), keeperWith(keyring)).accounts().value(0).lastError.startsWith(
            "Sifre okunamadi: "));

        // A password given again goes where this start keeps secrets.
        EmailAccount given = read;
        given.pass = "tekrar";
        store.addOrUpdateAccount(given);
        QCOMPARE(storedAccount(disk).value("secretForm").toString(), QString("file"));
        QCOMPARE(accountsFromJson(disk.values.value("accounts")).value(0).pass, QString("tekrar"));
    }

    void recordsOfOtherFormsAreNeverTakenForPasswords()
    {
        MemoryDisk disk;
        disk.values.insert("accounts", R"([{"address":"a@b.cc","secretForm":"v9","pass":"cA=="},)"
                                       R"({"address":"c@b.cc","secretForm":"dpapi","passSealed":"AQID"}])");
        MailStore store(disk.storage(), keeperWith(nullptr));
        QVERIFY(store.accounts().value(0).pass.isEmpty());
        QVERIFY(store.accounts().value(0).lastError.contains("bilinmeyen saklama bicimi \"v9\""));
        QVERIFY(store.accounts().value(1).pass.isEmpty());
        QVERIFY(store.accounts().value(1).lastError.contains("DPAPI"));
        // And the file form, written for older versions, still reads there.
        EmailAccount a;
        a.address = "x@y.zz";
        a.pass = "p";
        QVERIFY(accountsToJson({a}).contains(R"("secretForm":"file")"));
        QCOMPARE(accountsFromJson(accountsToJson({a})).value(0).pass, QString("p"));
    }

    void aRefusingKeyringFallsBackToTheFile()
    {
        MemoryDisk disk;
        auto keyring = std::make_shared<FakeKeyring>();
        keyring->refuse = true;
        MailStore store(disk.storage(), keeperWith(keyring));
        EmailAccount a;
        a.address = "a@b.cc";
        a.pass = "sifre";
        a.auth = MailAuth::XOAuth2;
        a.refreshToken = "rt";
        store.addOrUpdateAccount(a);
        QCOMPARE(storedAccount(disk).value("secretForm").toString(), QString("file"));
        const EmailAccount back = accountsFromJson(disk.values.value("accounts")).value(0);
        QCOMPARE(back.pass, QString("sifre"));
        QCOMPARE(back.refreshToken, QString("rt"));
    }

    void removedAccountsAndDroppedTokensLeaveTheKeyring()
    {
        MemoryDisk disk;
        auto keyring = std::make_shared<FakeKeyring>();
        MailStore store(disk.storage(), keeperWith(keyring));
        EmailAccount a;
        a.address = "a@b.cc";
        a.auth = MailAuth::XOAuth2;
        a.refreshToken = "rt";
        EmailAccount b;
        b.address = "b@b.cc";
        b.pass = "pb";
        store.addOrUpdateAccount(a);
        store.addOrUpdateAccount(b);
        QCOMPARE(keyring->items.size(), 2);
        // Back to a password: the token's item goes.
        a.auth = MailAuth::Password;
        a.pass = "pa";
        store.addOrUpdateAccount(a);
        QVERIFY(!keyring->items.contains("accounts|a@b.cc|refreshToken"));
        QCOMPARE(keyring->items.value("accounts|a@b.cc|pass"), QString("pa"));
        store.removeAccount("B@b.cc");
        QVERIFY(!keyring->items.contains("accounts|b@b.cc|pass"));
        QCOMPARE(keyring->items.size(), 1);
    }

    void eachSignedInUserHasTheirOwnItems()
    {
        IsolatedSettings isolated;
        auto keyring = std::make_shared<FakeKeyring>();
        EmailAccount a;
        a.address = "a@b.cc";
        a.pass = "ilk";
        Settings::setAuthUser("ilk");
        MailStore(userSettingsMailStorage(), keeperWith(keyring)).addOrUpdateAccount(a);
        Settings::setAuthUser("ikinci");
        {
            MailStore second(userSettingsMailStorage(), keeperWith(keyring));
            QVERIFY(second.accounts().isEmpty());
            a.pass = "ikinci";
            second.addOrUpdateAccount(a);
        }
        QCOMPARE(keyring->items.value("accounts|a@b.cc|pass"), QString("ilk"));
        QCOMPARE(keyring->items.value("users/ikinci/accounts|a@b.cc|pass"), QString("ikinci"));
        // Signed out, nothing reaches the keyring.
        Settings::setAuthLoggedOut();
        a.address = "c@b.cc";
        MailStore(userSettingsMailStorage(), keeperWith(keyring)).addOrUpdateAccount(a);
        QCOMPARE(keyring->items.size(), 2);
        Settings::setAuthUser("ilk");
        QCOMPARE(MailStore(userSettingsMailStorage(), keeperWith(keyring)).accounts().value(0).pass, QString("ilk"));
    }
};

QTEST_GUILESS_MAIN(TestSecretRecords)
#include "tst_secretrecords.moc"
