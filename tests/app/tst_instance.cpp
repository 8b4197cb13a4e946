#include "app/commandline.h"
#include "support/isolatedsettings.h"
#ifdef Q_OS_WIN
#include "desktop/singleinstance.h"

#include <QLocalSocket>
#endif

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The real program from the outside: its command line, and a second start
// that hands over to the first one and ends.
class TestInstance : public QObject
{
    Q_OBJECT
private slots:
    void parsing();
    void versionAndHelpNeedNoDisplay();
    void unknownOptionIsRefused();
    void secondStartEndsAndLeavesTheFirstRunning();

private:
    QString program() const { return qEnvironmentVariable("MIRELO_BIN_DIR") + QStringLiteral("/mireloplus"); }
};

void TestInstance::parsing()
{
    const CommandLine line = parseCommandLine({QStringLiteral("--tray"), QStringLiteral("-v")});
    QVERIFY(line.tray && line.version && !line.help && line.error.isEmpty());
    QVERIFY(parseCommandLine({}).error.isEmpty());
    QCOMPARE(parseCommandLine({QStringLiteral("--tray"), QStringLiteral("--tary"), QStringLiteral("x")}).error,
             QStringLiteral("Bilinmeyen secenek: --tary"));
}

void TestInstance::versionAndHelpNeedNoDisplay()
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":999"));
    p.setProcessEnvironment(env);
    p.start(program(), {QStringLiteral("--version")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().startsWith("MIRELO+ "));
    p.start(program(), {QStringLiteral("--help")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().contains("--tray"));
}

void TestInstance::unknownOptionIsRefused()
{
    QProcess p;
    p.start(program(), {QStringLiteral("--bogus")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("Bilinmeyen secenek: --bogus"));
}

void TestInstance::secondStartEndsAndLeavesTheFirstRunning()
{
    // On Windows the programs follow its registry key and data folder.
    IsolatedSettings isolated;
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = dir.path() + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QLatin1String(name), path);
    }
    // Not signed in: the first start waits in its sign-in dialog.
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program(), {});
    QVERIFY(first.waitForStarted(10000));
#ifdef Q_OS_WIN
    // A named pipe has no file to wait for: wait until it answers.
    QTRY_VERIFY_WITH_TIMEOUT(
        [] {
            QLocalSocket probe;
            probe.connectToServer(SingleInstance::socketName(QStringLiteral("MireloPlus")));
            return probe.waitForConnected(200);
        }(),
        15000);
#else
    const QString socketDir = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(socketDir).entryList({QStringLiteral("MireloPlus-*")}, QDir::System).isEmpty(),
                             15000);
#endif

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program(), {QStringLiteral("--tray")});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(5000);
}

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
