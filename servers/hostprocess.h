#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QAbstractSocket;
class QProcess;
class QTcpSocket;

// A Linux server program started for a test. On Linux it is a child
// process that dies with the test. Under Wine (the Windows build's tests) a
// Unix child cannot be waited on or read, so with MIRELO_HOST_AGENT set
// ("127.0.0.1:port", servers/hostagent.py, started by scripts/windows.sh)
// the agent starts it and relays its output; the connection closing kills it.
class HostProcess
{
public:
    HostProcess();
    ~HostProcess();
    HostProcess(const HostProcess &) = delete;
    HostProcess &operator=(const HostProcess &) = delete;

    // Before start: standard error mixed into the output.
    void setMergedChannels(bool merged) { m_merged = merged; }
    // Before start: what the program reads on its standard input, which is
    // then closed (without it the input is empty).
    void setInput(const QByteArray &input) { m_input = input; }
    // Starts and waits until the program runs; errorString() when not.
    bool start(const QString &program, const QStringList &args, int ms = 10000);
    bool isRunning();
    bool waitForReadyRead(int ms);
    QByteArray readAllStandardOutput();
    QByteArray readAllStandardError();
    void terminate();
    void kill();
    bool waitForFinished(int ms);
    // The exit code once finished; -1 while running or after a crash.
    int exitCode() const { return m_exitCode; }
    QString errorString() const { return m_error; }

    // Runs a program to its end; its exit code, -1 when it could not run.
    static int run(const QString &program, const QStringList &args, int ms = 30000);

private:
    bool viaAgent() const { return m_socket != nullptr; }
    bool pumpAgent(int ms);

    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_input, m_in, m_out, m_err;
    bool m_merged = false;
    bool m_running = false;
    int m_exitCode = -1;
    QString m_error;
};

// The path a host program sees for a file of this process: under Wine the
// Unix path behind the drive letter.
QString hostPath(const QString &path);
// A template for the fixtures' temporary folders that host programs can
// reach: under Wine below the Unix /tmp, not the prefix's own temp folder.
QString hostTempTemplate();

// Waits until `done` holds or `ms` pass, running an event loop: under Wine
// a socket's own blocking waits (waitForEncrypted, waitForReadyRead) can
// sleep through what has arrived until they time out.
bool waitOnSocket(QAbstractSocket &socket, const std::function<bool()> &done, int ms);
