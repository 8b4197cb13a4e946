// Against a real Secret Service: a throw-away gnome-keyring on a private
// session bus (keyringsession.sh starts both around this test).
#include "mail/mailstore.h"
#include "mail/memorydisk.h"
#include "secrets/secretstore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestKeyringStore : public QObject
{
    Q_OBJECT

    std::shared_ptr<SecretStore> m_keyring;

private slots:
    void initTestCase()
    {
        QString why;
        m_keyring = openKeyringSecretStore(10000, &why);
        QVERIFY2(m_keyring, qPrintable(why));
    }

    void itemsAreKeptReplacedAndForgotten()
    {
        const SecretRef ref{"accounts", "a@b.cc", "pass"};
        QString text;
        QString error;
        QVERIFY2(m_keyring->keep(ref, QString::fromUtf8("ilk şifre"), &text, &error), qPrintable(error));
        QVERIFY2(m_keyring->keep(ref, "ikinci", &text, &error), qPrintable(error));
        QVERIFY(!text.contains("ikinci"));
        QString back;
        QVERIFY2(m_keyring->take(ref, text, &back, &error), qPrintable(error));
        QCOMPARE(back, QString("ikinci"));
        // Another user's scope and another field are other items.
        QVERIFY(!m_keyring->take({"users/veli/accounts", "a@b.cc", "pass"}, text, &back, &error));
        QVERIFY(!m_keyring->take({"accounts", "a@b.cc", "refreshToken"}, text, &back, &error));
        QVERIFY(m_keyring->forget(ref));
        QVERIFY(!m_keyring->take(ref, text, &back, &error));
        QCOMPARE(error, QString("anahtar zincirinde kayit yok"));
    }

    void anOldRecordMovesIntoTheKeyringAndLeavesWithItsAccount()
    {
        MemoryDisk disk;
        disk.values.insert("accounts", R"([{"address":"eski@ornek.com","pass":"ZXNraQ=="}])");
        auto keeper = std::make_shared<SecretKeeper>(std::vector<std::shared_ptr<SecretStore>>{m_keyring});
        {
            MailStore store(disk.storage(), keeper);
            store.setAccountEnabled("eski@ornek.com", false);
        }
        const QJsonObject o = QJsonDocument::fromJson(disk.values.value("accounts")).array().at(0).toObject();
        QCOMPARE(o.value("secretForm").toString(), QString("keyring"));
        QVERIFY(!disk.values.value("accounts").contains("ZXNraQ"));
        MailStore again(disk.storage(), keeper);
        QCOMPARE(again.accounts().value(0).pass, QString("eski"));
        again.removeAccount("eski@ornek.com");
        QString back;
        QString error;
        QVERIFY(!m_keyring->take({"accounts", "eski@ornek.com", "pass"}, QString(), &back, &error));
    }
};

QTEST_GUILESS_MAIN(TestKeyringStore)
#include "tst_keyringstore.moc"
