#include "desktop/autostart.h"
#include "desktop/singleinstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// One instance per user, and the login entry, against real sockets and files.
class TestDesktopSession : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void secondStartHandsOverItsArguments();
    void staleSocketFromACrashIsTakenOver();
    void autostartEntryWrittenAndRemoved();
    void autostartReportsAnUnwritableFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_key;
};

void TestDesktopSession::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_RUNTIME_DIR", m_dir->path().toLocal8Bit());
    m_key = QStringLiteral("MireloTest%1").arg(QCoreApplication::applicationPid());
}

void TestDesktopSession::secondStartHandsOverItsArguments()
{
    SingleInstance first(m_key);
    QVERIFY(first.claim({}));
#ifdef Q_OS_UNIX
    QVERIFY(SingleInstance::socketName(m_key).startsWith(m_dir->path()));
#endif
    QSignalSpy activated(&first, &SingleInstance::activated);

    SingleInstance second(m_key);
    QVERIFY(!second.claim({QStringLiteral("--tray"), QString::fromUtf8("ş ı")}));
    QTRY_COMPARE(activated.count(), 1);
    QCOMPARE(activated.at(0).at(0).toStringList(), (QStringList{QStringLiteral("--tray"), QString::fromUtf8("ş ı")}));

    // Junk on the socket is dropped without a signal, and the server goes on.
    QLocalSocket junk;
    junk.connectToServer(SingleInstance::socketName(m_key));
    QVERIFY(junk.waitForConnected(1000));
    junk.write(QByteArray("\xff\xff\xff\xff garbage", 13));
    QVERIFY(junk.waitForBytesWritten(1000));
    QTRY_COMPARE(junk.state(), QLocalSocket::UnconnectedState);
    SingleInstance third(m_key);
    QVERIFY(!third.claim({}));
    QTRY_COMPARE(activated.count(), 2);

    // Another key (another user's name) is another instance.
    SingleInstance other(m_key + QStringLiteral("x"));
    QVERIFY(other.claim({}));
}

void TestDesktopSession::staleSocketFromACrashIsTakenOver()
{
#ifdef Q_OS_WIN
    QSKIP("a named pipe goes with its process; no file is left to take over");
#else
    QFile stale(SingleInstance::socketName(m_key));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance first(m_key);
    QVERIFY(first.claim({}));
    SingleInstance second(m_key);
    QVERIFY(!second.claim({}));
#endif
}

void TestDesktopSession::autostartEntryWrittenAndRemoved()
{
#ifdef Q_OS_WIN
    QSKIP("desktop entry files are the Linux login start; tst_desktop_win32 checks the Run key");
#else
    const QString folder = m_dir->path() + QStringLiteral("/config/autostart");
    Autostart autostart(QStringLiteral("/opt/My Apps/mireloplus"), folder);
    QVERIFY(!autostart.isEnabled());
    QString error;
    QVERIFY(autostart.setEnabled(true, &error));
    QVERIFY(autostart.isEnabled());
    QFile entry(folder + QStringLiteral("/mireloplus.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY2(text.contains("\nExec=\"/opt/My Apps/mireloplus\" --tray\n"), text.constData());
    QVERIFY(autostart.setEnabled(false, &error));
    QVERIFY(!autostart.isEnabled());
    QVERIFY(!entry.exists());
    QVERIFY(autostart.setEnabled(false, &error)); // removing twice is fine
#endif
}

void TestDesktopSession::autostartReportsAnUnwritableFolder()
{
#ifdef Q_OS_WIN
    QSKIP("desktop entry files are the Linux login start; tst_desktop_win32 checks the Run key");
#else
    QFile blocker(m_dir->path() + QStringLiteral("/file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Autostart autostart(QStringLiteral("/usr/bin/mireloplus"), blocker.fileName() + QStringLiteral("/autostart"));
    QString error;
    QVERIFY(!autostart.setEnabled(true, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!autostart.isEnabled());
#endif
}

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "tst_desktop_session.moc"
