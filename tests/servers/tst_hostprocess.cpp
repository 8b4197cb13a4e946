#include "servers/hostprocess.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

// Runs through the host agent: the Windows build's pass provides one, on
// Linux the test starts its own.
class HostProcessTest : public QObject
{
    Q_OBJECT
    QProcess m_agent;
    QTemporaryDir m_dir;

    static QString agent() { return qEnvironmentVariable("MIRELO_HOST_AGENT"); }

private slots:
    void initTestCase()
    {
        if (!agent().isEmpty())
            return;
#ifdef Q_OS_WIN
        QSKIP("no host agent: scripts/windows.sh starts one");
#else
        const QString portFile = m_dir.filePath(QStringLiteral("port"));
        m_agent.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(MIRELO_TEST_SOURCE_DIR "/servers/hostagent.py"), QStringLiteral("--port-file"), portFile});
        QVERIFY(m_agent.waitForStarted(5000));
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(portFile) && !deadline.hasExpired())
            QTest::qWait(20);
        QFile f(portFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        qputenv("MIRELO_HOST_AGENT", "127.0.0.1:" + f.readAll().trimmed());
#endif
    }

    void cleanupTestCase()
    {
        m_agent.kill();
        m_agent.waitForFinished(3000);
    }

    void outputErrorsAndExitCode()
    {
        const QString script = QStringLiteral("printf out; printf err >&2; exit 3");
        HostProcess apart;
        QVERIFY2(apart.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}), qPrintable(apart.errorString()));
        QVERIFY(apart.waitForFinished(10000));
        QCOMPARE(apart.exitCode(), 3);
        QCOMPARE(apart.readAllStandardOutput(), QByteArray("out"));
        QCOMPARE(apart.readAllStandardError(), QByteArray("err"));

        HostProcess merged;
        merged.setMergedChannels(true);
        QVERIFY(merged.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}));
        QVERIFY(merged.waitForFinished(10000));
        const QByteArray all = merged.readAllStandardOutput();
        QVERIFY2(all.contains("out") && all.contains("err"), all.constData());

        // Standard input goes in whole, binary included, and is then closed.
        const QByteArray input = QByteArray("sifre\n\0\xff", 8).repeated(20000);
        HostProcess reader;
        reader.setInput(input);
        QVERIFY(reader.start(QStringLiteral("/bin/cat"), {}));
        QVERIFY(reader.waitForFinished(10000));
        QCOMPARE(reader.exitCode(), 0);
        QCOMPARE(reader.readAllStandardOutput(), input);

        QCOMPARE(HostProcess::run(QStringLiteral("/bin/true"), {}), 0);
        HostProcess missing;
        QVERIFY(!missing.start(QStringLiteral("/nonexistent/server"), {}));
        QVERIFY(!missing.errorString().isEmpty());
        QCOMPARE(HostProcess::run(QStringLiteral("/nonexistent/server"), {}), -1);
    }

    void stoppedAndLeftProgramsEnd()
    {
        HostProcess sleeper;
        QVERIFY(sleeper.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")}));
        QVERIFY(sleeper.isRunning());
        sleeper.terminate();
        QVERIFY(sleeper.waitForFinished(5000));
        QVERIFY(!sleeper.isRunning());

        // A test that dies mid-way only drops its connection: the agent must
        // end the program and what it started.
        const QString address = agent();
        QTcpSocket raw;
        raw.connectToHost(address.section(QLatin1Char(':'), 0, 0), quint16(address.section(QLatin1Char(':'), 1).toUInt()));
        QTRY_VERIFY_WITH_TIMEOUT(raw.state() == QAbstractSocket::ConnectedState, 5000);
        raw.write(R"({"argv": ["/bin/sh", "-c", "sleep 300 & echo $!; wait"], "merge": true})" "\n");
        // The answer line, then the first frame: the child's pid.
        QByteArray in;
        const auto frame = [&in] { return in.mid(in.indexOf('\n') + 1); };
        const auto whole = [&] {
            const QByteArray f = frame();
            return in.contains('\n') && f.size() >= 9 && f.size() >= 9 + f.mid(1, 8).toInt(nullptr, 16);
        };
        QVERIFY2(QTest::qWaitFor([&] { return (in += raw.readAll(), whole()); }, 10000), in.constData());
        QVERIFY2(whole() && frame().startsWith('O'), in.constData());
        const QByteArray pid = frame().mid(9, frame().mid(1, 8).toInt(nullptr, 16)).trimmed();
        QVERIFY(pid.toInt() > 0);
        // Running, not a zombie that no init reaps.
        const auto running = [&pid] {
            return HostProcess::run(QStringLiteral("/bin/grep"),
                                    {QStringLiteral("-qE"), QStringLiteral("^State:\\s+[RSD]"),
                                     QStringLiteral("/proc/%1/status").arg(QString::fromLatin1(pid))})
                == 0;
        };
        QVERIFY(running());
        raw.close();
        QDeadlineTimer deadline(10000);
        while (running() && !deadline.hasExpired())
            QTest::qWait(50);
        QVERIFY2(!running(), "the left program's child still runs");
    }
};

QTEST_GUILESS_MAIN(HostProcessTest)
#include "tst_hostprocess.moc"
