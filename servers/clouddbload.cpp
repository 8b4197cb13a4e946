#include "servers/clouddbload.h"

#include "servers/clouddbfixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Shared
{
    quint16 port = 0;
    QByteArray host;
    std::atomic<int> acknowledgedWrites{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> killed{false};
    std::mutex mutex;
    CloudDbLoadResult result;
    std::vector<double> latencies;
};

// One answer on a kept-alive connection: status and body, or status 0.
QPair<int, QByteArray> exchange(QTcpSocket &s, const QByteArray &request, int timeoutMs)
{
    s.write(request);
    QByteArray data;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (end >= 0) {
            qsizetype length = 0;
            for (const QByteArray &line : data.left(end).split('\n'))
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            if (data.size() >= end + 4 + length)
                return {data.mid(9, 3).toInt(), data.mid(end + 4, length)};
        }
        if (s.bytesAvailable() == 0 && !s.waitForReadyRead(100) && s.state() != QAbstractSocket::ConnectedState)
            break;
        data += s.readAll();
    }
    return {0, QByteArray()};
}

bool connectTo(QTcpSocket &s, quint16 port)
{
    s.connectToHost(QHostAddress::LocalHost, port);
    return s.waitForConnected(2000);
}

void normalClient(Shared &sh, const CloudDbLoadPlan &plan, int id)
{
    std::vector<double> latencies;
    QList<QPair<QByteArray, QByteArray>> mine;
    int failures = 0;
    int wrongReads = 0;
    QTcpSocket s;
    bool connected = connectTo(s, sh.port);
    const QByteArray session = "/mirelo_link/load" + QByteArray::number(id);
    for (int i = 0; i < plan.requestsPerClient && !sh.stop; ++i) {
        if (!connected) {
            s.abort();
            connected = connectTo(s, sh.port);
            if (!connected) {
                ++failures;
                if (sh.killed)
                    break;
                continue;
            }
        }
        const bool put = mine.isEmpty() || (i * 37 % 100) < plan.putPercent;
        QByteArray path;
        QByteArray body;
        QByteArray request;
        if (put) {
            path = session + "/k" + QByteArray::number(i) + ".json";
            // Keys in the order the server answers them.
            body = "{\"f\":\"" + QByteArray(plan.valueBytes, 'v') + "\",\"n\":" + QByteArray::number(i) + "}";
            request = "PUT " + path + " HTTP/1.1\r\nHost: " + sh.host + "\r\nContent-Type: application/json\r\n"
                      + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
        } else {
            // Read back one of this client's acknowledged writes.
            const auto &known = mine.at(i % mine.size());
            path = known.first;
            body = known.second;
            request = "GET " + path + " HTTP/1.1\r\nHost: " + sh.host + "\r\n\r\n";
        }
        QElapsedTimer clock;
        clock.start();
        const auto [status, answer] = exchange(s, request, 10000);
        if (status == 0) {
            ++failures;
            connected = false;
            continue;
        }
        latencies.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (status != 200 || answer != body) {
            // A refused write is only a failure; a read must find its write.
            if (put)
                ++failures;
            else
                ++wrongReads;
            continue;
        }
        if (put) {
            mine.append({path, body});
            ++sh.acknowledgedWrites;
        }
    }
    std::lock_guard<std::mutex> lock(sh.mutex);
    sh.result.requests += int(latencies.size());
    sh.result.failures += failures;
    sh.result.wrongReads += wrongReads;
    sh.result.acknowledged += mine;
    sh.latencies.insert(sh.latencies.end(), latencies.begin(), latencies.end());
}

void slowClient(Shared &sh)
{
    int cut = 0;
    const QByteArray header = "GET /mirelo_link/slow.json HTTP/1.1\r\nHost: " + sh.host + "\r\nX-Slow: ";
    while (!sh.stop) {
        QTcpSocket s;
        if (!connectTo(s, sh.port))
            break;
        QByteArray trickle = header;
        while (!sh.stop && s.state() == QAbstractSocket::ConnectedState) {
            s.write(trickle.isEmpty() ? QByteArray("a") : trickle.left(1));
            trickle = trickle.mid(1);
            s.waitForBytesWritten(200);
            s.waitForReadyRead(200);
            s.readAll();
        }
        if (!sh.stop && !sh.killed)
            ++cut;
    }
    std::lock_guard<std::mutex> lock(sh.mutex);
    sh.result.slowCutOff += cut;
}

void oversizedClient(Shared &sh)
{
    int refused = 0;
    const QByteArray chunk(64 * 1024, 'x');
    while (!sh.stop) {
        QTcpSocket s;
        if (!connectTo(s, sh.port))
            break;
        s.write("PUT /mirelo_link/huge.json HTTP/1.1\r\nHost: " + sh.host
                + "\r\nContent-Length: 314572800\r\n\r\n\"" + chunk);
        if (exchange(s, QByteArray(), 5000).first == 413)
            ++refused;
        s.abort();
        QThread::msleep(20);
    }
    std::lock_guard<std::mutex> lock(sh.mutex);
    sh.result.refusedOversized += refused;
}

qint64 peakRssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (pid <= 0 || !status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

CloudDbLoadResult runCloudDbLoad(CloudDbFixture &db, const CloudDbLoadPlan &plan)
{
    Shared sh;
    const QUrl url(db.baseUrl());
    sh.port = quint16(url.port());
    sh.host = url.host().toUtf8() + ":" + QByteArray::number(url.port());
    QElapsedTimer clock;
    clock.start();
    std::vector<std::thread> normal;
    std::vector<std::thread> hostile;
    for (int i = 0; i < plan.clients; ++i)
        normal.emplace_back(normalClient, std::ref(sh), std::cref(plan), i);
    for (int i = 0; i < plan.slowClients; ++i)
        hostile.emplace_back(slowClient, std::ref(sh));
    for (int i = 0; i < plan.oversizedClients; ++i)
        hostile.emplace_back(oversizedClient, std::ref(sh));

    // The normal clients end by themselves; the time limit bounds them all.
    std::thread watchdog([&]() {
        while (!sh.stop && clock.elapsed() < plan.timeLimitMs)
            QThread::msleep(10);
        sh.stop = true;
    });
    qint64 rss = -1;
    if (plan.killAfterAcknowledged > 0) {
        while (!sh.stop && sh.acknowledgedWrites < plan.killAfterAcknowledged)
            QThread::msleep(1);
        if (!sh.stop) {
            rss = peakRssKb(db.processId());
            sh.killed = true;
            db.kill();
        }
    }
    for (std::thread &t : normal)
        t.join();
    sh.result.seconds = double(clock.elapsed()) / 1000.0;
    if (rss < 0)
        rss = peakRssKb(db.processId());
    sh.stop = true;
    for (std::thread &t : hostile)
        t.join();
    watchdog.join();

    CloudDbLoadResult result = sh.result;
    result.killed = sh.killed;
    result.serverPeakRssKb = rss;
    result.requestsPerSecond = result.seconds > 0 ? result.requests / result.seconds : 0;
    std::sort(sh.latencies.begin(), sh.latencies.end());
    if (!sh.latencies.empty()) {
        result.p50Ms = sh.latencies[sh.latencies.size() / 2];
        result.p99Ms = sh.latencies[std::min(sh.latencies.size() - 1, sh.latencies.size() * 99 / 100)];
    }
    return result;
}
