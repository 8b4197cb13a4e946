// The account against the real local database server.
#include "account/firebaseauth.h"
#include "clouddb/embeddeddb.h"
#include "servers/clouddbfixture.h"
#include "support/httpcall.h"
#include "support/isolatedsettings.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <memory>

namespace {

const QString kTaken = QStringLiteral("Bu kullanici adi alinmis (uZERINE yazma kapali). Giris yap.");
const QString kRules = QStringLiteral(
    "Firebase erisimi engellendi. Cozum: Console > Realtime Database > Rules'a firebase_rules.json'u "
    "yapistirip Publish'e bas.");

// Waits for the one answer of a request: the text and whether it was a success.
struct Outcome
{
    bool ok = false;
    QString text;
};

Outcome await(FirebaseAuth &auth)
{
    QSignalSpy ok(&auth, &FirebaseAuth::authOk);
    QSignalSpy error(&auth, &FirebaseAuth::authError);
    QEventLoop loop;
    QObject::connect(&auth, &FirebaseAuth::authOk, &loop, &QEventLoop::quit);
    QObject::connect(&auth, &FirebaseAuth::authError, &loop, &QEventLoop::quit);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    if (ok.size() == 1 && error.isEmpty())
        return {true, ok.at(0).at(0).toString()};
    if (error.size() == 1 && ok.isEmpty())
        return {false, error.at(0).at(0).toString()};
    return {false, QStringLiteral("<%1 ok, %2 errors>").arg(ok.size()).arg(error.size())};
}

} // namespace

class TstFirebaseAuthServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { settings.reset(); }
    void signUpThenSignIn();
    void wrongPasswordChangesNothing();
    void unknownUser();
    void takenNameKeepsTheOwnersRecord();
    void upperCaseDigestAndShortPasswordAtSignIn();
    void permissionDeniedShowsRulesMessage();
    void serverDown();
    void embeddedAndHandStartedDatabases();

private:
    QJsonObject record(const QString &name);
    void putRaw(const QString &path, const QByteArray &json);

    CloudDbFixture db;
    QNetworkAccessManager nam;
    std::unique_ptr<IsolatedSettings> settings;
};

void TstFirebaseAuthServer::initTestCase()
{
    QVERIFY2(db.start(), qPrintable(db.errorText()));
}

QJsonObject TstFirebaseAuthServer::record(const QString &name)
{
    return QJsonDocument::fromJson(httpCall(nam, db.baseUrl() + "/mirelo_users/" + name + ".json").body).object();
}

void TstFirebaseAuthServer::putRaw(const QString &path, const QByteArray &json)
{
    const HttpAnswer answer = httpCall(nam, db.baseUrl() + path + ".json", "PUT", json);
    QVERIFY2(answer.ok, answer.body.constData());
}

void TstFirebaseAuthServer::signUpThenSignIn()
{
    FirebaseAuth auth(nullptr, db.baseUrl());
    QSignalSpy changed(&auth, &FirebaseAuth::authChanged);
    auth.signUp("Yeni_Uye1", "gizli1");
    const Outcome up = await(auth);
    QVERIFY2(up.ok, qPrintable(up.text));
    QCOMPARE(up.text, QString("Hos geldin, Yeni_Uye1"));
    QCOMPARE(changed.size(), 1);
    QVERIFY(auth.isLogged());
    QSettings s("MIRELOPLUS", "MireloPlus");
    QCOMPARE(s.value("auth/display").toString(), QString("Yeni_Uye1"));
    QCOMPARE(s.value("auth/logged").toBool(), true);

    const QJsonObject rec = record("Yeni_Uye1");
    QCOMPARE(rec.value("display").toString(), QString("Yeni_Uye1"));
    QCOMPARE(rec.value("pass").toString(), FirebaseAuth::passwordDigest("gizli1"));
    QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$").match(rec.value("created").toString()).hasMatch());

    auth.signOut();
    FirebaseAuth again(nullptr, db.baseUrl());
    QVERIFY(!again.isLogged());
    again.signIn("Yeni_Uye1", "gizli1");
    const Outcome in = await(again);
    QVERIFY2(in.ok, qPrintable(in.text));
    QCOMPARE(in.text, QString("Tekrar hos geldin, Yeni_Uye1"));
    QVERIFY(again.isLogged());
    // Names are case-sensitive keys.
    again.signIn("yeni_uye1", "gizli1");
    QCOMPARE(await(again).text, QString("Kullanici bulunamadi"));
}

void TstFirebaseAuthServer::wrongPasswordChangesNothing()
{
    putRaw("/mirelo_users/sifreli", "{\"display\":\"sifreli\",\"pass\":\"" + FirebaseAuth::passwordDigest("dogru").toLatin1() + "\"}");
    {
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "onceki");
    }
    FirebaseAuth auth(nullptr, db.baseUrl());
    QSignalSpy changed(&auth, &FirebaseAuth::authChanged);
    auth.signIn("sifreli", "yanlis");
    const Outcome o = await(auth);
    QVERIFY(!o.ok);
    QCOMPARE(o.text, QString("Sifre yanlis"));
    QCOMPARE(changed.size(), 0);
    QVERIFY(!auth.isLogged());
    QCOMPARE(auth.displayName(), QString("onceki"));
    QCOMPARE(QSettings("MIRELOPLUS", "MireloPlus").value("auth/display").toString(), QString("onceki"));
}

void TstFirebaseAuthServer::unknownUser()
{
    FirebaseAuth auth(nullptr, db.baseUrl());
    auth.signIn("hic_yok", "whatever");
    const Outcome o = await(auth);
    QVERIFY(!o.ok);
    QCOMPARE(o.text, QString("Kullanici bulunamadi"));
}

void TstFirebaseAuthServer::takenNameKeepsTheOwnersRecord()
{
    FirebaseAuth owner(nullptr, db.baseUrl());
    owner.signUp("sahibi", "ilk_sifre");
    QVERIFY(await(owner).ok);

    FirebaseAuth intruder(nullptr, db.baseUrl());
    intruder.signUp("sahibi", "baska_sifre");
    const Outcome o = await(intruder);
    QVERIFY(!o.ok);
    QCOMPARE(o.text, kTaken);
    QCOMPARE(record("sahibi").value("pass").toString(), FirebaseAuth::passwordDigest("ilk_sifre"));

    // The owner still signs in, the intruder's password does not work.
    intruder.signIn("sahibi", "baska_sifre");
    QCOMPARE(await(intruder).text, QString("Sifre yanlis"));
    intruder.signIn("sahibi", "ilk_sifre");
    QVERIFY(await(intruder).ok);
}

void TstFirebaseAuthServer::upperCaseDigestAndShortPasswordAtSignIn()
{
    putRaw("/mirelo_users/buyuk_harf",
           "{\"display\":\"buyuk_harf\",\"pass\":\"" + FirebaseAuth::passwordDigest("abc").toUpper().toLatin1() + "\"}");
    FirebaseAuth auth(nullptr, db.baseUrl());
    auth.signIn("buyuk_harf", "abc");
    const Outcome o = await(auth);
    QVERIFY2(o.ok, qPrintable(o.text));
    QCOMPARE(o.text, QString("Tekrar hos geldin, buyuk_harf"));
}

void TstFirebaseAuthServer::permissionDeniedShowsRulesMessage()
{
    // Below a closed branch every read and write is refused, as with a
    // hosted database whose rules were never published.
    FirebaseAuth auth(nullptr, db.baseUrl() + "/kapali");
    auth.signUp("kural_yok", "sifre123");
    Outcome o = await(auth);
    QVERIFY(!o.ok);
    QCOMPARE(o.text, kRules);
    auth.signIn("kural_yok", "sifre123");
    o = await(auth);
    QVERIFY(!o.ok);
    QCOMPARE(o.text, kRules);
    QVERIFY(!auth.isLogged());
}

void TstFirebaseAuthServer::serverDown()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const QString url = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    FirebaseAuth auth(nullptr, url);
    auth.signUp("ag_yok", "sifre123");
    QCOMPARE(await(auth).text, QString("Kayit hatasi: ag"));
    auth.signIn("ag_yok", "sifre123");
    QCOMPARE(await(auth).text, QString("Giris hatasi: ag"));
    QVERIFY(!auth.isLogged());
    QVERIFY(!QSettings("MIRELOPLUS", "MireloPlus").contains("auth/logged"));
}

void TstFirebaseAuthServer::embeddedAndHandStartedDatabases()
{
    QCoreApplication::setOrganizationName("MIRELOPLUS");
    QCoreApplication::setApplicationName("MireloPlus");
    // No setup at all: the embedded database.
    {
        QObject owner;
        FirebaseAuth auth(nullptr, startCloudDatabase(&owner));
        QVERIFY(auth.databaseUrl().startsWith("http://127.0.0.1:"));
        QVERIFY(auth.databaseUrl() != db.baseUrl());
        auth.signUp("gomulu", "sifre1");
        QCOMPARE(await(auth).text, QString("Hos geldin, gomulu"));
        auth.signIn("gomulu", "sifre1");
        QCOMPARE(await(auth).text, QString("Tekrar hos geldin, gomulu"));
    }
    // A database URL in the settings: mirelo-clouddb started on its own.
    QSettings("MIRELOPLUS", "MireloPlus").setValue("cloud/url", db.baseUrl());
    QObject owner;
    FirebaseAuth auth(nullptr, startCloudDatabase(&owner));
    QCOMPARE(auth.databaseUrl(), db.baseUrl());
    auth.signUp("elle_baslatilan", "sifre1");
    QCOMPARE(await(auth).text, QString("Hos geldin, elle_baslatilan"));
    QCOMPARE(record("elle_baslatilan").value("display").toString(), QString("elle_baslatilan"));
}

QTEST_GUILESS_MAIN(TstFirebaseAuthServer)
#include "tst_firebaseauth_server.moc"
