// One full poll of an account with eight unseen messages against a local
// Dovecot (small plain mails, and 50 KiB HTML mails as large senders send
// them), and one reply sent through a local SMTP server, both over TLS on
// loopback. The servers are the test fixtures, started once.
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include "samplemail.h"
#include "servers/dovecotserver.h"
#include "servers/smtpserver.h"
#include "servers/tlsfixture.h"
#include "transport/imapworker.h"
#include "transport/smtpworker.h"

namespace {
struct Servers
{
    TlsFixture tls;
    DovecotServer imap{tls};
    SmtpTestServer smtp{tls};
    QString error;

    Servers()
    {
        if (!tls.isValid()) {
            error = tls.error();
            return;
        }
        tls.trustInProcess();
        imap.addUser(QStringLiteral("bench"), QStringLiteral("secret"));
        imap.addUser(QStringLiteral("large"), QStringLiteral("secret"));
        if (!imap.start()) {
            error = imap.error();
            return;
        }
        for (int i = 1; i <= 8; ++i) {
            imap.deliver(QStringLiteral("bench"),
                         DovecotServer::message(QStringLiteral("Servis <no-reply@svc.test>"),
                                                QStringLiteral("Kod %1").arg(i),
                                                QStringLiteral("Dogrulama kodunuz: %1").arg(480000 + i)));
        }
        for (int i = 1; i <= 8; ++i)
            imap.deliver(QStringLiteral("large"), sampleHtmlMail(480000 + i));
        if (!smtp.start(SmtpTestServer::ImplicitTls, QStringLiteral("bench"), QStringLiteral("secret")))
            error = smtp.error();
    }
};

Servers *servers = nullptr;

EmailAccount benchAccount(quint16 port, const QString &user = QStringLiteral("bench"))
{
    EmailAccount acc;
    acc.address = user + QStringLiteral("@localhost");
    acc.host = QStringLiteral("127.0.0.1");
    acc.port = port;
    acc.user = user;
    acc.pass = QStringLiteral("secret");
    return acc;
}

void BM_PollEightUnseen(benchmark::State &state)
{
    if (!servers->error.isEmpty()) {
        state.SkipWithError(qPrintable(servers->error));
        return;
    }
    ImapWorker worker;
    int items = 0;
    QObject::connect(&worker, &ImapWorker::mailsReady, [&items](const QList<MailItem> &list) { items = int(list.size()); });
    const EmailAccount acc = benchAccount(servers->imap.port());
    for (auto _ : state) {
        items = 0;
        worker.workPoll({acc}, false);
        if (items != 8) {
            state.SkipWithError("poll did not bring eight mails");
            return;
        }
    }
}
BENCHMARK(BM_PollEightUnseen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PollEightUnseen50k(benchmark::State &state)
{
    if (!servers->error.isEmpty()) {
        state.SkipWithError(qPrintable(servers->error));
        return;
    }
    ImapWorker worker;
    QList<MailItem> items;
    QObject::connect(&worker, &ImapWorker::mailsReady, [&items](const QList<MailItem> &list) { items = list; });
    const EmailAccount acc = benchAccount(servers->imap.port(), QStringLiteral("large"));
    for (auto _ : state) {
        items.clear();
        worker.workPoll({acc}, false);
        if (items.size() != 8 || !items.at(7).body.contains(QLatin1String("480008"))) {
            state.SkipWithError("poll did not read eight codes");
            return;
        }
    }
}
BENCHMARK(BM_PollEightUnseen50k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_SendReply(benchmark::State &state)
{
    if (!servers->error.isEmpty()) {
        state.SkipWithError(qPrintable(servers->error));
        return;
    }
    const quint16 port = servers->smtp.port();
    SmtpWorker worker([port](const EmailAccount &) { return SmtpServer{QStringLiteral("127.0.0.1"), port, false}; });
    bool ok = false;
    QObject::connect(&worker, &SmtpWorker::sendFinished, [&ok](const QString &, bool good, const QString &) { ok = good; });
    const EmailAccount acc = benchAccount(993);
    for (auto _ : state) {
        ok = false;
        worker.workSend(acc, QStringLiteral("veli@localhost"), QStringLiteral("Re: Kod"),
                        QStringLiteral("Tesekkurler.\nIyi gunler."));
        if (!ok) {
            state.SkipWithError("send failed");
            return;
        }
    }
}
BENCHMARK(BM_SendReply)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(5)
    ->ReportAggregatesOnly(true);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    registerMailMetaTypes();
    Servers s;
    servers = &s;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
