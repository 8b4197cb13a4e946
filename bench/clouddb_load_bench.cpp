// mirelo-clouddb under the full loopback load: concurrent kept-alive
// clients with mixed GET and PUT beside clients trickling their header and
// clients announcing 300 MB bodies. Reports requests per second, the 99th
// percentile latency and the server's peak resident size.
#include "servers/clouddbfixture.h"
#include "servers/clouddbload.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

void BM_ServerUnderLoad(benchmark::State &state)
{
    CloudDbLoadPlan plan;
    plan.clients = int(state.range(0));
    plan.requestsPerClient = 1000;
    plan.slowClients = 4;
    plan.oversizedClients = 4;
    plan.timeLimitMs = 120000;
    CloudDbLoadResult r;
    for (auto _ : state) {
        CloudDbFixture db;
        if (!db.start()) {
            state.SkipWithError("server did not start");
            return;
        }
        r = runCloudDbLoad(db, plan);
        if (r.failures > 0 || r.wrongReads > 0) {
            state.SkipWithError("requests failed under load");
            return;
        }
    }
    state.counters["req_per_s"] = r.requestsPerSecond;
    state.counters["p50_ms"] = r.p50Ms;
    state.counters["p99_ms"] = r.p99Ms;
    state.counters["peak_rss_MiB"] = double(r.serverPeakRssKb) / 1024.0;
    state.counters["oversized_refused"] = r.refusedOversized;
}

} // namespace

BENCHMARK(BM_ServerUnderLoad)->Arg(16)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
