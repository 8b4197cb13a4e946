// Inbox rebuild with a full store, and the program's start-up time and memory
// with a stored session. Runs on the offscreen platform.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "mail/mailstore.h"
#include "pages/inboxfilter.h"
#include "pages/inboxmodel.h"
#include "pages/inboxpage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ctime>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <psapi.h>
#endif

namespace {

#ifdef Q_OS_WIN
const char kWinBenchKey[] = "HKEY_CURRENT_USER\\Software\\MIRELOPLUS-bench";
#endif

qint64 monotonicNs()
{
    // One clock for parent and child: CLOCK_MONOTONIC, or QueryPerformanceCounter.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long rssKb()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return long(counters.WorkingSetSize / 1024);
#endif
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

const char *const kSenders[] = {
    "Steam <noreply@steampowered.com>", "Riot Games <noreply@riotgames.com>", "Discord <noreply@discord.com>",
    "\"Banka\" <bilgi@ornekbanka.com.tr>", "GitHub <noreply@github.com>", "kargo@ornekkargo.com",
    "Epic Games <help@epicgames.com>", "Instagram <security@mail.instagram.com>"};

QList<MailItem> fiveHundredMails()
{
    QList<MailItem> mails;
    for (int i = 0; i < 500; ++i) {
        MailItem m;
        m.id = QStringLiteral("m%1").arg(i);
        m.account = i % 3 ? QStringLiteral("ali.demo@gmail.com") : QStringLiteral("ali.demo@outlook.com");
        m.from = QString::fromLatin1(kSenders[i % 8]);
        m.subject = QStringLiteral("Giris dogrulama kodun hazir - islem %1").arg(i);
        m.preview = QStringLiteral("Merhaba! Hesabina giris icin dogrulama kodun %1. Bu kod 10 dakika gecerlidir, "
                                   "kimseyle paylasma.").arg(100000 + i);
        m.code = QString::number(100000 + i);
        m.received = QDateTime::currentDateTime();
        m.seen = i % 4 == 0;
        mails << m;
    }
    return mails;
}

// An inbox page over a full store, shown at the window's content size.
struct FullInbox
{
    QTemporaryDir dir;
    std::unique_ptr<MailStore> store;
    std::unique_ptr<InboxFilter> filter;
    std::unique_ptr<InboxPage> page;
    QListView *list = nullptr;

    FullInbox()
    {
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
        store = std::make_unique<MailStore>();
        store->addMails(fiveHundredMails());
        filter = std::make_unique<InboxFilter>(store.get());
        page = std::make_unique<InboxPage>(store.get(), filter.get());
        page->resize(840, 560);
        page->show();
        QCoreApplication::processEvents();
        list = page->mailList();
    }
    // One rebuild as the user sees it: cards rebuilt and laid out at the
    // page's width (visualRect forces the pending layout).
    void rebuild()
    {
        page->refreshMailList();
        benchmark::DoNotOptimize(list->visualRect(list->model()->index(99, 0)));
    }
};

void BM_InboxRebuild500(benchmark::State &state)
{
    FullInbox inbox;
    for (auto _ : state)
        inbox.rebuild();
    state.counters["cards"] = inbox.page->model()->cardCount();
}
BENCHMARK(BM_InboxRebuild500)->Unit(benchmark::kMillisecond);

// The same plus painting the visible cards: one whole frame.
void BM_InboxRebuildAndPaint500(benchmark::State &state)
{
    FullInbox inbox;
    QImage frame(inbox.list->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        inbox.rebuild();
        inbox.list->viewport()->render(&frame);
        benchmark::DoNotOptimize(frame.bits());
    }
}
BENCHMARK(BM_InboxRebuildAndPaint500)->Unit(benchmark::kMillisecond);

// A fresh process, with a stored session, until its window is shown; each
// run reports its own time since spawn and its resident memory.
void BM_StartupToShown(benchmark::State &state)
{
    double rssSum = 0;
    int runs = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        const QString confDir = home.path() + "/config/MIRELOPLUS";
        QDir().mkpath(confDir);
        {
#ifdef Q_OS_WIN
            // The child's HKEY_CURRENT_USER is mapped onto this key.
            QSettings root(QString::fromLatin1(kWinBenchKey), QSettings::NativeFormat);
            root.remove(QString());
            QSettings s(QString::fromLatin1(kWinBenchKey) + "\\Software\\MIRELOPLUS\\MireloPlus",
                        QSettings::NativeFormat);
#else
            QSettings s(confDir + "/MireloPlus.conf", QSettings::IniFormat);
#endif
            s.setValue("auth/display", "bench_user");
            s.setValue("auth/logged", true);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
#ifdef Q_OS_WIN
        // The stored session of the parent, never the user's own settings.
        env.insert("MIRELO_SETTINGS_HKCU", "Software\\MIRELOPLUS-bench");
#else
        // Under Wine a QApplication on the offscreen platform never returns
        // from exec(); there the windows platform the caller set stays.
        env.insert("QT_QPA_PLATFORM", "offscreen");
#endif
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_DATA_HOME", home.path() + "/data");
        env.insert("MIRELO_DATA_DIR", home.path() + "/data/MIRELOPLUS/MireloPlus");
        env.insert("XDG_CACHE_HOME", home.path() + "/cache");
        env.insert("MIRELO_BENCH_T0", QString::number(monotonicNs()));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--startup-child"});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            state.SkipWithError("start-up child failed");
            break;
        }
        const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
        if (parts.size() != 2) {
            state.SkipWithError("start-up child gave no result");
            break;
        }
        state.SetIterationTime(parts[0].toDouble() / 1e9);
        rssSum += parts[1].toDouble();
        ++runs;
    }
    if (runs)
        state.counters["rss_MiB"] = rssSum / runs / 1024.0;
}
BENCHMARK(BM_StartupToShown)->UseManualTime()->Iterations(5)->Repetitions(3)->Unit(benchmark::kMillisecond);

int startupChild(char **argv)
{
    const qint64 t0 = qgetenv("MIRELO_BENCH_T0").toLongLong();

    // The program refuses options it does not know: start it as a user would.
    int plainArgc = 1;
    return runMirelo(plainArgc, argv, [t0](MainWindow &) {
        const qint64 shownNs = monotonicNs() - t0;
        // memory once the first frame's work is done
        QTimer::singleShot(200, [shownNs] {
            std::printf("%lld %ld\n", static_cast<long long>(shownNs), rssKb());
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    });
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--startup-child") == 0)
        return startupChild(argv);
#ifndef Q_OS_WIN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
