#include "desktop/autostart.h"
#include "desktop/singleinstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// One instance per user, and the login entry, against real sockets and files.
class TestDesktopSession : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void secondStartHandsOverItsArguments();
    void staleSocketFromACrashIsTakenOver();
    void aStartThatHoldsTheNameAloneWinsOverAListen();
    void anotherUsersSocketGetsNoArguments();
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
#ifdef Q_OS_WIN
    // Under Wine a pipe write waits for its reader, which in one thread never
    // reads: app_instance checks the hand-over between two processes.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        QSKIP("the hand-over within one process blocks under Wine; app_instance covers it");
#endif
    SingleInstance first(m_key);
    QVERIFY(first.claim({}));
#ifdef Q_OS_UNIX
    QVERIFY(SingleInstance::socketName(m_key).startsWith(m_dir->path()));
#endif
    QSignalSpy activated(&first, &SingleInstance::activated);

    SingleInstance second(m_key);
    QVERIFY2(!second.claim({QStringLiteral("--tray"), QString::fromUtf8("ş ı")}), qPrintable(second.problem()));
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

void TestDesktopSession::aStartThatHoldsTheNameAloneWinsOverAListen()
{
#ifndef Q_OS_WIN
    QSKIP("on Unix the socket file itself is the mark of the first instance");
#else
    // A first start between taking its mark and listening: a second start
    // must not listen beside it (a pipe name takes any number of listeners).
    const std::wstring mark = L"Local\\" + SingleInstance::socketName(m_key).toStdWString();
    HANDLE held = CreateMutexW(nullptr, FALSE, mark.c_str());
    QVERIFY(held && GetLastError() != ERROR_ALREADY_EXISTS);
    {
        SingleInstance second(m_key);
        QVERIFY(second.claim({}));
        QVERIFY2(second.problem().contains(QStringLiteral("cevap vermiyor")), qPrintable(second.problem()));
        QLocalSocket probe;
        probe.connectToServer(SingleInstance::socketName(m_key));
        QVERIFY(!probe.waitForConnected(300));
    }
    CloseHandle(held);
    SingleInstance first(m_key);
    QVERIFY(first.claim({}));
    QVERIFY(first.problem().isEmpty());
#endif
}

void TestDesktopSession::anotherUsersSocketGetsNoArguments()
{
#ifndef Q_OS_LINUX
    QSKIP("another user's listener is staged with Linux credentials");
#else
    if (::geteuid() != 0)
        QSKIP("staging another user's listener needs root");
    const QByteArray name = QFile::encodeName(SingleInstance::socketName(m_key));
    int report[2];
    QVERIFY(::pipe(report) == 0);
    const pid_t child = ::fork();
    if (child == 0) {
        // Someone else's process holding our name: it counts what it is sent.
        // Bound in our folder, then listening as another user: a peer's
        // credentials are those of its listen().
        ::close(report[0]);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr {};
        addr.sun_family = AF_UNIX;
        ::memcpy(addr.sun_path, name.constData(), size_t(name.size()));
        if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0)
            ::_exit(3);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 || ::listen(fd, 4) != 0)
            ::_exit(2);
        ::write(report[1], "L", 1);
        long total = 0;
        for (int i = 0; i < 4; ++i) {
            const int peer = ::accept(fd, nullptr, nullptr);
            char buf[256];
            ssize_t n = 0;
            while ((n = ::read(peer, buf, sizeof buf)) > 0)
                total += n;
            ::close(peer);
            ::write(report[1], total > 0 ? "X" : ".", 1);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    char ready = 0;
    QCOMPARE(::read(report[0], &ready, 1), ssize_t(1));
    QCOMPARE(ready, 'L');

    SingleInstance second(m_key);
    QVERIFY(second.claim({QStringLiteral("--tray")}));
    QVERIFY2(second.problem().contains(QStringLiteral("baska bir kullanicinin")), qPrintable(second.problem()));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    char seen[8] = {};
    const ssize_t got = ::read(report[0], seen, sizeof seen);
    ::close(report[0]);
    QVERIFY(got >= 1); // it was reached
    QVERIFY2(!QByteArray(seen, int(got)).contains('X'), "arguments went to another user's process");
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
