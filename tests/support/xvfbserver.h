#pragma once

#include <QString>

#include <cstdio>

#include <sys/types.h>

// A private X server for one test process: Xvfb on a display number it picks
// itself (-displayfd), so parallel tests never collide. Needs no Qt event
// loop, so it can run before the QApplication exists.
class XvfbServer
{
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // Whether an Xvfb binary is on PATH.
    static bool available();

    // Starts the server and waits (bounded) until it accepts clients.
    bool start(const QString &screen = QStringLiteral("1280x800x24"), int timeoutMs = 15000);
    void stop();

    bool isRunning() const { return m_pid > 0; }
    // ":N" once started.
    QString display() const { return m_display; }
    QString errorString() const { return m_error; }

    // Sets DISPLAY and QT_QPA_PLATFORM=xcb for this process, so a
    // QApplication created afterwards talks to this server.
    void exportToEnvironment() const;

private:
    pid_t m_pid = -1;
    QString m_display;
    QString m_error;
};

// Starts an Xvfb, points Qt at it, then runs the Qt Test class on the xcb
// platform. Exits 77 (reported by CTest as skipped) when Xvfb is missing.
#define MIRELO_XVFB_TEST_MAIN(TestClass)                                                 \
    int main(int argc, char **argv)                                                       \
    {                                                                                     \
        XvfbServer xvfb;                                                                  \
        if (!XvfbServer::available()) {                                                   \
            fprintf(stderr, "SKIP: Xvfb is not installed\n");                             \
            return 77;                                                                    \
        }                                                                                 \
        if (!xvfb.start()) {                                                              \
            fprintf(stderr, "FAIL: %s\n", qPrintable(xvfb.errorString()));                \
            return 1;                                                                     \
        }                                                                                 \
        xvfb.exportToEnvironment();                                                       \
        QApplication app(argc, argv);                                                     \
        TestClass test;                                                                   \
        return QTest::qExec(&test, argc, argv);                                           \
    }
