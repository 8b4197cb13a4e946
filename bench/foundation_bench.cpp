#include "mail/mailstore.h"
#include "recognition/codeextractor.h"
#include "benchsettings.h"

#include <benchmark/benchmark.h>

#include <QList>
#include <QString>

namespace {

struct Pair
{
    QString subject;
    QString text;
};

const QList<Pair> &demoPairs()
{
    static const QList<Pair> pairs = {
        {"VALORANT giris kodun", "Merhaba! Dogrulama kodun: 482 913. 10 dakika gecerli."},
        {"Steam Guard kodun", "Hesabina giris icin kodun: 847204"},
        {"Epic Games iki asamali dogrulama", "Guvenlik kodun 739201. Kimseyle paylasma."},
        {"Discord dogrulama", "Kodun: 5518"},
        {"GitHub OTP", "Verification code: 902-114"},
    };
    return pairs;
}

// About 2,500 characters of newsletter-like text; the code, when there is
// one, comes last so that every rule scans the whole text.
QString longText(bool withCode)
{
    QString text;
    const QString sentence = QStringLiteral(
        "Merhaba, bu haftanin firsatlari ve yeni oyun haberleri burada, abonelik ayarlarini hesabindan "
        "degistirebilirsin. ");
    while (text.size() < 2450)
        text += sentence;
    text.truncate(2450);
    text += withCode ? QStringLiteral(" Tek kullanimlik kodun: 731 904") : QStringLiteral(" Iyi gunler dileriz.");
    return text;
}

void BM_ExtractDemoMail(benchmark::State &state)
{
    const QList<Pair> &pairs = demoPairs();
    qsizetype i = 0;
    for (auto _ : state) {
        const Pair &p = pairs.at(i++ % pairs.size());
        benchmark::DoNotOptimize(extractCode(p.subject, p.text));
    }
}
BENCHMARK(BM_ExtractDemoMail);

void BM_ExtractLongText(benchmark::State &state)
{
    const QString text = longText(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(extractCode(QStringLiteral("Haftalik bulten"), text));
}
BENCHMARK(BM_ExtractLongText)->Arg(0)->Arg(1)->ArgName("withCode");

// A poll's batch of eight new mails into a store already at its limit.
void BM_AddBatchToFullStore(benchmark::State &state)
{
    BenchSettings settings;
    MailStore store;
    QList<MailItem> batch;
    for (int i = 0; i < 8; ++i) {
        const Pair &p = demoPairs().at(i % demoPairs().size());
        MailItem m;
        m.account = QStringLiteral("bench@gmail.com");
        m.from = QStringLiteral("Steam <noreply@steampowered.com>");
        m.subject = p.subject;
        m.body = p.text + QStringLiteral(" Bu maili sen istemediysen dikkate alma. ") + QString::number(i);
        m.preview = m.body.left(140);
        batch << m;
    }
    while (store.mails().size() < MailStore::kMaxMails)
        store.addMails(batch);

    for (auto _ : state)
        store.addMails(batch);
    if (store.mails().size() != MailStore::kMaxMails)
        state.SkipWithError("store grew past its limit");
}
BENCHMARK(BM_AddBatchToFullStore)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
