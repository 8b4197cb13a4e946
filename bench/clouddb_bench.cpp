// The local realtime database: small GET and PUT requests per second over
// loopback with one client, and the cost of a PUT into a tree of 10,000
// nodes (with and without the durable save).
#include "link/clouddbserver.h"
#include "link/clouddbstore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QThread>

#include <future>

namespace {

// The server runs on a thread of its own, as it would beside the window.
class ServerThread : public QThread
{
public:
    explicit ServerThread(const QString &dataFile) : m_dataFile(dataFile) {}
    QString start()
    {
        auto future = m_url.get_future();
        QThread::start();
        return future.get();
    }

protected:
    void run() override
    {
        CloudDbServer server(m_dataFile);
        QString error;
        if (!server.start(QHostAddress::LocalHost, 0, &error)) {
            m_url.set_value(QString());
            return;
        }
        m_url.set_value(server.baseUrl());
        exec();
    }

private:
    QString m_dataFile;
    std::promise<QString> m_url;
};

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
    ServerThread thread(dir.path() + "/db.json");
    const QString base = thread.start();
    if (base.isEmpty()) {
        state.SkipWithError("server did not start");
        return;
    }
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
    thread.quit();
    thread.wait();
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

} // namespace

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
