// Quitting the program while a session hangs on a silent server ends the
// process promptly and cleanly.
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "fakeserver.h"

class QuitTest : public QObject
{
    Q_OBJECT

private slots:
    void quitWhileBlocked_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<int>("connections");
        QTest::newRow("IMAP account test in the TLS handshake") << QStringLiteral("imap") << 1;
        QTest::newRow("SMTP send in the TLS handshake") << QStringLiteral("smtp") << 1;
        QTest::newRow("IMAP poll and IDLE in the TLS handshake") << QStringLiteral("idle") << 2;
    }

    void quitWhileBlocked()
    {
        QFETCH(QString, session);
        QFETCH(int, connections);
        FakeServer silent(FakeServer::Silent);
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(MIRELO_TEST_BIN_DIR "/transport_quit_helper"),
                    {session, QString::number(silent.serverPort())});
        QVERIFY(child.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(silent.connections, connections, 10000);
        QElapsedTimer clock;
        clock.start();
        child.write("quit\n");
        QVERIFY(child.waitForFinished(10000));
        const qint64 took = clock.elapsed();
        const QByteArray err = child.readAllStandardError();
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(err.isEmpty(), err.constData());
        QVERIFY2(took < 2000, qPrintable(QString::number(took)));
        // A text-mode line: CR LF on Windows.
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("ready"));
    }
};

QTEST_GUILESS_MAIN(QuitTest)
#include "tst_quit.moc"
