// The local realtime database: small GET and PUT requests per second over
// loopback with one client, and the cost of a PUT into a tree of 10,000
// nodes (with and without the durable save).
#include "clouddb/clouddbserver.h"
#include "clouddb/clouddbstore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>

namespace {

bool request(QNetworkAccessManager &nam, const QString &url, const QByteArray &method, const QByteArray &body)
{
    QNetworkRequest req{QUrl(url)};
    req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    QNetworkReply *reply = nam.sendCustomRequest(req, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const bool ok = reply->error() == QNetworkReply::NoError;
    delete reply;
    return ok;
}

void serverRequests(benchmark::State &state, const QByteArray &method)
{
    QTemporaryDir dir;
    CloudDbServer server(dir.path() + "/db.json");
    QString error;
    if (!server.start(QHostAddress::LocalHost, 0, &error)) {
        state.SkipWithError("server did not start");
        return;
    }
    const QString base = server.baseUrl();
    QNetworkAccessManager nam;
    const QString url = base + "/mirelo_link/bench/small.json";
    const QByteArray body = "{\"code\":\"123456\",\"at\":1700000000}";
    request(nam, url, "PUT", body);
    int n = 0;
    for (auto _ : state) {
        const QByteArray payload = method == "PUT" ? "{\"code\":\"" + QByteArray::number(++n) + "\"}" : QByteArray();
        if (!request(nam, url, method, payload)) {
            state.SkipWithError("request failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ServerGetSmall(benchmark::State &state) { serverRequests(state, "GET"); }
void BM_ServerPutSmall(benchmark::State &state) { serverRequests(state, "PUT"); }

void putIntoLargeTree(benchmark::State &state, bool persisted)
{
    QTemporaryDir dir;
    CloudDbStore store(persisted ? dir.path() + "/db.json" : QString());
    QString error;
    store.load(&error);
    // 1,000 sessions of ten leaves each: 10,000 nodes.
    QJsonObject sessions;
    for (int s = 0; s < 1000; ++s) {
        QJsonObject session;
        for (int k = 0; k < 10; ++k)
            session.insert(QStringLiteral("f%1").arg(k), QStringLiteral("value-%1-%2").arg(s).arg(k));
        sessions.insert(QStringLiteral("s%1").arg(s), session);
    }
    store.write({"mirelo_link"}, sessions, &error);
    int n = 0;
    for (auto _ : state) {
        const CloudDbReply reply = handleCloudDbRequest(store, "PUT", "/mirelo_link/s500/inbox/m.json",
                                                        "{\"box\":\"" + QByteArray::number(++n) + "\"}");
        if (reply.status != 200) {
            state.SkipWithError("write refused");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_PutInto10kTree(benchmark::State &state) { putIntoLargeTree(state, true); }
void BM_PutInto10kTreeMemoryOnly(benchmark::State &state) { putIntoLargeTree(state, false); }

// A small durable write into a database of about 30 MB: its cost must not
// follow the size of the file.
void BM_PutInto30MbDatabase(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/db.json";
    {
        QJsonObject users;
        const QString pad(280, QLatin1Char('p'));
        for (int u = 0; u < 100000; ++u)
            users.insert(QStringLiteral("user%1").arg(u), QJsonObject{{"pass", pad}});
        CloudDbStore seed(file);
        QString error;
        seed.load(&error);
        seed.write({"mirelo_users"}, users, &error);
        seed.compact(&error);
    }
    CloudDbStore store(file);
    QString error;
    if (!store.load(&error)) {
        state.SkipWithError("load failed");
        return;
    }
    state.counters["file_MB"] = double(QFileInfo(file).size()) / 1e6;
    int n = 0;
    for (auto _ : state) {
        const CloudDbReply reply = handleCloudDbRequest(store, "PUT", "/mirelo_link/s/inbox/m.json",
                                                        "{\"box\":\"" + QByteArray::number(++n) + "\"}");
        if (reply.status != 200) {
            state.SkipWithError("write refused");
            break;
        }
    }
}

} // namespace

BENCHMARK(BM_PutInto30MbDatabase)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ServerGetSmall)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ServerPutSmall)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PutInto10kTree)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PutInto10kTreeMemoryOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
