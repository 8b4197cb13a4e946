// The account's rules that need no database: user names, the digest,
// refusals made before any request, and the remembered session.
#include "account/firebaseauth.h"
#include "support/isolatedsettings.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <memory>

class TstFirebaseAuth : public QObject
{
    Q_OBJECT
private slots:
    void init() { settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { settings.reset(); }
    void userNames_data();
    void userNames();
    void digest();
    void refusedBeforeAnyRequest();
    void restoredSessionMakesNoRequest();
    void signOutKeepsDisplay();
    void baseUrlIsNormalised();

private:
    std::unique_ptr<IsolatedSettings> settings;
};

void TstFirebaseAuth::userNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("two chars") << "ab" << false;
    QTest::newRow("three chars") << "abc" << true;
    QTest::newRow("twenty chars") << QString(20, 'a') << true;
    QTest::newRow("21 chars") << QString(21, 'a') << false;
    QTest::newRow("mixed") << "Ab_12z" << true;
    QTest::newRow("dot") << "ali.veli" << false;
    QTest::newRow("non-ascii") << QString::fromUtf8("\xc3\xa7" "alan") << false;
    QTest::newRow("space") << "ali veli" << false;
    QTest::newRow("trailing newline") << "alice\n" << false;
    QTest::newRow("slash") << "a/b_c" << false;
}

void TstFirebaseAuth::userNames()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(FirebaseAuth::isValidUserName(name), valid);
}

void TstFirebaseAuth::digest()
{
    QCOMPARE(FirebaseAuth::passwordDigest("abc"),
             QString("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    // UTF-8 bytes of the text, not Latin-1.
    QCOMPARE(FirebaseAuth::passwordDigest(QString::fromUtf8("\xc3\xa7")),
             QString::fromLatin1(QCryptographicHash::hash("\xc3\xa7", QCryptographicHash::Sha256).toHex()));
}

void TstFirebaseAuth::refusedBeforeAnyRequest()
{
    // The answers come at once, without an event loop, so no request was made.
    FirebaseAuth auth(nullptr, "http://127.0.0.1:9");
    QSignalSpy errors(&auth, &FirebaseAuth::authError);
    auth.signUp("ab", "secret");
    auth.signUp(QString(21, 'x'), "secret");
    auth.signUp("valid_name", "abc");
    auth.signIn("bad.name", "abc");
    QCOMPARE(errors.size(), 4);
    QCOMPARE(errors.at(0).at(0).toString(), QString("Kullanici adi 3-20: harf, rakam, _"));
    QCOMPARE(errors.at(1).at(0).toString(), QString("Kullanici adi 3-20: harf, rakam, _"));
    QCOMPARE(errors.at(2).at(0).toString(), QString("Sifre en az 4 karakter"));
    QCOMPARE(errors.at(3).at(0).toString(), QString("Kullanici adi formati hatali"));
    QVERIFY(!auth.isLogged());
    QVERIFY(!QSettings("MIRELOPLUS", "MireloPlus").contains("auth/logged"));
}

void TstFirebaseAuth::restoredSessionMakesNoRequest()
{
    {
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "kayitli");
        s.setValue("auth/logged", true);
    }
    QTcpServer listener;
    QVERIFY(listener.listen(QHostAddress::LocalHost));
    FirebaseAuth auth(nullptr, QStringLiteral("http://127.0.0.1:%1").arg(listener.serverPort()));
    QSignalSpy changed(&auth, &FirebaseAuth::authChanged);
    QVERIFY(auth.isLogged());
    QCOMPARE(auth.displayName(), QString("kayitli"));
    QVERIFY(!listener.waitForNewConnection(300));
    QCOMPARE(changed.size(), 0);
}

void TstFirebaseAuth::signOutKeepsDisplay()
{
    {
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "ayse_1");
        s.setValue("auth/logged", true);
    }
    FirebaseAuth auth;
    QSignalSpy changed(&auth, &FirebaseAuth::authChanged);
    auth.signOut();
    QCOMPARE(changed.size(), 1);
    QVERIFY(!auth.isLogged());
    QCOMPARE(auth.displayName(), QString("ayse_1"));
    QSettings s("MIRELOPLUS", "MireloPlus");
    QCOMPARE(s.value("auth/logged").toBool(), false);
    QCOMPARE(s.value("auth/display").toString(), QString("ayse_1"));
    // A fresh instance starts signed out.
    QVERIFY(!FirebaseAuth().isLogged());
}

void TstFirebaseAuth::baseUrlIsNormalised()
{
    FirebaseAuth auth(nullptr, " https://example.invalid// ");
    QCOMPARE(auth.databaseUrl(), QString("https://example.invalid"));
}

QTEST_GUILESS_MAIN(TstFirebaseAuth)
#include "tst_firebaseauth.moc"
