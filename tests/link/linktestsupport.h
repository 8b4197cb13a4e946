#pragma once

#include "core/clock.h"
#include "link/pairing.h"
#include "support/httpcall.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QTcpServer>
#include <QTimer>

// A clock the test moves by hand.
struct TestClock
{
    QDateTime now = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
    Clock fn()
    {
        return [this] { return now; };
    }
};

// Hands out the given draws first, then counts up from `next`, so ids and
// codes are known in advance yet never repeat.
struct TestRandom
{
    QList<quint32> queued;
    quint32 next = 0x12345678;
    LinkRandom fn()
    {
        return [this] {
            if (!queued.isEmpty())
                return queued.takeFirst();
            next += 0x9E3779B9u;
            return next;
        };
    }
};

// One request against the database, waited for: the raw body, or
// "<error>" when no answer came.
inline QByteArray rawRequest(const QString &baseUrl, const QString &path, const QByteArray &method = "GET",
                             const QByteArray &body = QByteArray())
{
    const HttpAnswer answer = httpCall(baseUrl + path + QStringLiteral(".json"), method, body);
    return answer.ok ? answer.body : QByteArray("<error>");
}

// A loopback URL on which nothing listens (the port was free a moment ago).
inline QString closedPortUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}
