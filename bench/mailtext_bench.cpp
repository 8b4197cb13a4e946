// How long reading one mail takes: a 50 KiB quoted-printable HTML mail read
// whole, its HTML turned into text, and for comparison what a tree-building
// parser costs on the same HTML: gumbo's parse alone and Qt's rich text
// document.
#include <QGuiApplication>
#include <QTextDocument>

#ifdef MIRELO_BENCH_GUMBO
#include <gumbo.h>
#endif

#include <benchmark/benchmark.h>

#include "mailtext/mailreader.h"
#include "samplemail.h"

namespace {

QByteArray sampleHtml()
{
    const QByteArray mail = sampleHtmlMail(318204);
    // The HTML itself, undone from quoted-printable the simple way.
    QByteArray qp = mail.mid(mail.indexOf("\r\n\r\n") + 4);
    qp.replace("=\r\n", "").replace("=3D", "=");
    return qp;
}

void BM_ReadHtmlMail50k(benchmark::State &state)
{
    const QByteArray mail = sampleHtmlMail(318204);
    for (auto _ : state) {
        const MailText text = readMail(mail);
        if (!text.text.contains(QLatin1String("318204"))) {
            state.SkipWithError("code not read");
            return;
        }
        benchmark::DoNotOptimize(text.text.data());
    }
    state.SetBytesProcessed(state.iterations() * mail.size());
}
BENCHMARK(BM_ReadHtmlMail50k)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_HtmlToText(benchmark::State &state)
{
    const QByteArray html = sampleHtml();
    for (auto _ : state)
        benchmark::DoNotOptimize(htmlToText(html, QStringLiteral("utf-8")).size());
}
BENCHMARK(BM_HtmlToText)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

#ifdef MIRELO_BENCH_GUMBO
void BM_GumboParseOnly(benchmark::State &state)
{
    const QByteArray html = sampleHtml();
    for (auto _ : state) {
        GumboOutput *output = gumbo_parse(html.constData());
        benchmark::DoNotOptimize(output->document);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
}
BENCHMARK(BM_GumboParseOnly)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
#endif

void BM_HtmlToTextQtDocument(benchmark::State &state)
{
    const QString html = QString::fromUtf8(sampleHtml());
    for (auto _ : state) {
        QTextDocument doc;
        doc.setHtml(html);
        benchmark::DoNotOptimize(doc.toPlainText().size());
    }
}
BENCHMARK(BM_HtmlToTextQtDocument)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // Qt's document needs fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
