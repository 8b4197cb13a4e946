#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

class CloudDbServer;
class QProcess;

// A local realtime database for tests: either the mirelo-clouddb program as
// a child process or the server inside the test process, on a free
// loopback port, with its data file in a temporary folder of its own.
//
//   CloudDbFixture db;
//   QVERIFY2(db.start(), qPrintable(db.errorText()));
//   FirebaseAuth auth(nullptr, db.baseUrl());
class CloudDbFixture
{
public:
    CloudDbFixture();
    ~CloudDbFixture();
    CloudDbFixture(const CloudDbFixture &) = delete;
    CloudDbFixture &operator=(const CloudDbFixture &) = delete;

    // Starts mirelo-clouddb and waits until it listens (at most 10 s).
    // Starting again after stop() or kill() reuses the same data file.
    bool start();
    // Starts the server in this process instead (it answers from a thread
    // of its own).
    bool startInProcess();
    // Ends the server: a child gets SIGTERM, then SIGKILL.
    void stop();
    // Kills the child at once (SIGKILL), as a crash would.
    void kill();

    bool isRunning() const;
    QString baseUrl() const { return m_baseUrl; }
    QString dataFile() const { return m_dataFile; }
    QString errorText() const { return m_error; }
    // The child's process id, 0 in process.
    qint64 processId() const;

private:
    QTemporaryDir m_dir;
    QString m_dataFile;
    QString m_baseUrl;
    QString m_error;
    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<CloudDbServer> m_server;
};
