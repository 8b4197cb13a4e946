// The system stores themselves: DPAPI seals for this user and this place
// only; a keyring that is missing or never answers is given up on within
// the bound instead of blocking the caller.
#include "secrets/secretstore.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QtTest>

class TestSecretStores : public QObject
{
    Q_OBJECT

private slots:
    void theKeeperAlwaysReadsTheFileForm()
    {
        SecretKeeper plain({});
        QCOMPARE(plain.writer().form(), QString("file"));
        QVERIFY(!plain.reader("keyring"));
        QString text;
        QString error;
        QVERIFY(plain.writer().keep({"s", "a", "pass"}, "sir", &text, &error));
        QString back;
        QVERIFY(plain.fileStore().take({"s", "a", "pass"}, text, &back, &error));
        QCOMPARE(back, QString("sir"));
    }

#ifdef Q_OS_WIN
    void dpapiSealsForThisPlaceOnly()
    {
        std::unique_ptr<SecretStore> dpapi = makeDpapiSecretStore();
        const SecretRef ref{"accounts", "a@b.cc", "pass"};
        const QString secret = QString::fromUtf8("gizli şifre");
        QString sealed;
        QString error;
        QVERIFY2(dpapi->keep(ref, secret, &sealed, &error), qPrintable(error));
        QVERIFY(!sealed.contains(secret));
        QString back;
        QVERIFY2(dpapi->take(ref, sealed, &back, &error), qPrintable(error));
        QCOMPARE(back, secret);
        // Another account's record, another user's scope, a cut blob.
        QVERIFY(!dpapi->take({"accounts", "c@b.cc", "pass"}, sealed, &back, &error));
        QVERIFY(!dpapi->take({"users/x/accounts", "a@b.cc", "pass"}, sealed, &back, &error));
        QByteArray bytes = QByteArray::fromBase64(sealed.toLatin1());
        bytes.chop(8);
        QVERIFY(!dpapi->take(ref, QString::fromLatin1(bytes.toBase64()), &back, &error));
        QVERIFY(error.startsWith("DPAPI"));
        QVERIFY(!dpapi->take(ref, QString(), &back, &error));
    }
#else
    // One process per case would be cleaner, but the bus is looked up once
    // per process: the case without a bus comes first, the hung one last.
    void noBusMeansNoKeyring()
    {
        QTemporaryDir dir;
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(dir.filePath("none")));
        QString why;
        QVERIFY(!openKeyringSecretStore(5000, &why));
        QVERIFY2(why.startsWith("anahtar zinciri"), qPrintable(why));
    }

    void aBusThatNeverAnswersIsGivenUpOn()
    {
        QTemporaryDir dir;
        QLocalServer silent;
        QVERIFY(silent.listen(dir.filePath("bus")));
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(dir.filePath("bus")));
        QElapsedTimer clock;
        clock.start();
        QString why;
        QVERIFY(!openKeyringSecretStore(300, &why));
        QVERIFY2(why.contains("yanit vermedi"), qPrintable(why));
        QVERIFY(clock.elapsed() < 5000);
    }
#endif
};

QTEST_GUILESS_MAIN(TestSecretStores)
#include "tst_secretstores.moc"
