#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

class CloudDbFixture;

// A loopback load on a database server: clients on threads of their own
// with kept-alive connections and mixed GET and PUT, beside clients that
// trickle their header byte by byte and clients that announce huge bodies.
// Bounded in requests and time; optionally kills the server (SIGKILL) once
// a number of writes were acknowledged.
struct CloudDbLoadPlan
{
    int clients = 8;
    int requestsPerClient = 100;
    int putPercent = 50;
    int valueBytes = 200;
    int slowClients = 2;
    int oversizedClients = 2;
    // Kill the server child after this many acknowledged writes (0: never).
    int killAfterAcknowledged = 0;
    int timeLimitMs = 60000;
};

struct CloudDbLoadResult
{
    int requests = 0;          // answered by the normal clients
    int failures = 0;          // requests without a complete answer
    int wrongReads = 0;        // a read that did not return an acknowledged write
    int refusedOversized = 0;  // 413 answers to announced huge bodies
    int slowCutOff = 0;        // trickling clients the server disconnected
    double seconds = 0;
    double requestsPerSecond = 0;
    double p50Ms = 0;
    double p99Ms = 0;
    qint64 serverPeakRssKb = -1;  // the child's peak resident size (Linux)
    bool killed = false;
    // Path ("/mirelo_link/....json") and body of every acknowledged write.
    QList<QPair<QByteArray, QByteArray>> acknowledged;
};

CloudDbLoadResult runCloudDbLoad(CloudDbFixture &db, const CloudDbLoadPlan &plan);
