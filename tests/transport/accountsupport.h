#pragma once

#include <QList>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

#include "mail/mailrecords.h"
#include "transport/imapworker.h"

// What one direct run of an ImapWorker reported, signal by signal.
struct WorkerRecord
{
    explicit WorkerRecord(ImapWorker &worker)
        : ready(&worker, &ImapWorker::mailsReady), done(&worker, &ImapWorker::pollDone),
          log(&worker, &ImapWorker::logMsg), testLog(&worker, &ImapWorker::testLog),
          testDone(&worker, &ImapWorker::testFinished)
    {
    }

    QList<MailItem> batch(int i) const { return ready.at(i).at(0).value<QList<MailItem>>(); }
    QList<MailItem> allItems() const
    {
        QList<MailItem> out;
        for (int i = 0; i < ready.size(); ++i)
            out += batch(i);
        return out;
    }
    QStringList subjects() const
    {
        QStringList out;
        for (const MailItem &m : allItems())
            out << m.subject;
        return out;
    }
    QStringList ids() const
    {
        QStringList out;
        for (const MailItem &m : allItems())
            out << m.id;
        return out;
    }
    QStringList testLines() const
    {
        QStringList out;
        for (const auto &args : testLog)
            out << args.at(0).toString();
        return out;
    }

    QSignalSpy ready, done, log, testLog, testDone;
};

inline EmailAccount makeAccount(const QString &address, const QString &host, quint16 port, const QString &user,
                                const QString &pass)
{
    EmailAccount acc;
    acc.address = address;
    acc.provider = QStringLiteral("custom");
    acc.host = host;
    acc.port = port;
    acc.user = user;
    acc.pass = pass;
    return acc;
}
