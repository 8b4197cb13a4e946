// From the server's "* n EXISTS" to the code on the clipboard, through the
// main window and its services, with the IDLE connection fetching the mail
// itself. A scripted TLS server on loopback answers at once, so what is
// measured is the program's own part: leaving IDLE, the UID fetch, reading,
// recognising and copying. The poll timer is an hour away.
#include <QApplication>
#include <QDateTime>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "benchwindow.h"
#include "mail/mailstore.h"
#include "servers/tlsfixture.h"

namespace {

// One mailbox, answering the commands the poll and the IDLE connection send.
class ScriptedImap : public QTcpServer
{
public:
    explicit ScriptedImap(const TlsFixture &tls) : m_cert(tls.serverCertificate()), m_key(tls.serverKey()) {}
    ~ScriptedImap() override
    {
        // Before the members go: a closing socket would report to them.
        const QList<QSslSocket *> sockets = findChildren<QSslSocket *>();
        for (QSslSocket *s : sockets) {
            QObject::disconnect(s, nullptr, nullptr, nullptr);
            delete s;
        }
    }

    // Adds a mail and announces it to every connection in IDLE.
    void deliver(const QString &code)
    {
        ++m_last;
        m_codes.push_back(code);
        for (QSslSocket *s : std::as_const(m_idling))
            s->write("* " + QByteArray::number(m_last) + " EXISTS\r\n");
    }
    int idling() const { return int(m_idling.size()); }

protected:
    void incomingConnection(qintptr fd) override
    {
        auto *s = new QSslSocket(this);
        s->setSocketDescriptor(fd);
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        s->setLocalCertificate(m_cert);
        s->setPrivateKey(m_key);
        connect(s, &QSslSocket::encrypted, s, [s] { s->write("* OK [CAPABILITY IMAP4rev1 IDLE UIDPLUS MOVE] ready\r\n"); });
        connect(s, &QSslSocket::readyRead, s, [this, s] {
            while (s->canReadLine())
                answer(s, s->readLine().trimmed());
        });
        connect(s, &QSslSocket::disconnected, s, [this, s] {
            m_idling.removeAll(s);
            s->deleteLater();
        });
        s->startServerEncryption();
    }

private:
    QByteArray literal(const QByteArray &text) { return "{" + QByteArray::number(text.size()) + "}\r\n" + text; }

    void answer(QSslSocket *s, const QByteArray &line)
    {
        if (line == "DONE") {
            m_idling.removeAll(s);
            s->write(m_idleTag + " OK idle done\r\n");
            return;
        }
        const qsizetype space = line.indexOf(' ');
        const QByteArray tag = line.left(space);
        const QByteArray rest = space < 0 ? QByteArray() : line.mid(space + 1);
        QByteArray out;
        if (rest.startsWith("IDLE")) {
            m_idleTag = tag;
            m_idling.append(s);
            s->write("+ idling\r\n");
            return;
        }
        if (rest.startsWith("SELECT") || rest.startsWith("EXAMINE")) {
            out = "* " + QByteArray::number(m_last) + " EXISTS\r\n* OK [UIDVALIDITY 7] ok\r\n* OK [UIDNEXT "
                + QByteArray::number(m_last + 1) + "] ok\r\n";
        } else if (rest.startsWith("UID SEARCH UID ")) {
            const int from = rest.mid(15).split(':').value(0).toInt();
            out = "* SEARCH";
            for (int uid = std::max(from, 1); uid <= m_last; ++uid)
                out += ' ' + QByteArray::number(uid);
            out += "\r\n";
        } else if (rest.contains("SEARCH")) {
            out = "* SEARCH\r\n"; // nothing unseen for the poll
        } else if (rest.startsWith("UID FETCH ")) {
            const int uid = rest.mid(10).split(' ').value(0).toInt();
            if (uid >= 1 && uid <= m_last) {
                const QByteArray n = QByteArray::number(uid);
                if (rest.contains("HEADER.FIELDS")) {
                    const QByteArray header = "From: Servis <no-reply@svc.test>\r\nSubject: Giris kodu\r\nDate: "
                        + QDateTime::currentDateTimeUtc().toString(Qt::RFC2822Date).toLatin1()
                        + "\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
                    out = "* " + n + " FETCH (UID " + n + " BODY[HEADER.FIELDS (FROM SUBJECT DATE)] " + literal(header)
                        + ")\r\n";
                } else {
                    const QByteArray text = "Dogrulama kodunuz: " + m_codes.at(uid - 1).toLatin1() + "\r\n";
                    out = "* " + n + " FETCH (UID " + n + " BODY[TEXT]<0> " + literal(text) + ")\r\n";
                }
            }
        } else if (rest.startsWith("LOGOUT")) {
            out = "* BYE bye\r\n";
        } else if (rest.startsWith("CAPABILITY")) {
            out = "* CAPABILITY IMAP4rev1 IDLE UIDPLUS MOVE\r\n";
        }
        s->write(out + tag + " OK done\r\n");
    }

    QSslCertificate m_cert;
    QSslKey m_key;
    QList<QSslSocket *> m_idling;
    QByteArray m_idleTag;
    std::vector<QString> m_codes;
    int m_last = 0;
};

bool spinUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_ExistsToClipboard(benchmark::State &state)
{
    TlsFixture tls;
    if (!tls.isValid()) {
        state.SkipWithError(qPrintable(tls.error()));
        return;
    }
    tls.trustInProcess();
    ScriptedImap server(tls);
    if (!server.listen(QHostAddress::LocalHost)) {
        state.SkipWithError("no loopback port");
        return;
    }
    BenchWindow w;
    AppServices &services = *w.services;
    EmailAccount acc;
    acc.address = QStringLiteral("bench@localhost");
    acc.provider = QStringLiteral("custom");
    acc.host = QStringLiteral("localhost");
    acc.port = server.serverPort();
    acc.user = QStringLiteral("bench");
    acc.pass = QStringLiteral("secret");
    services.store()->addOrUpdateAccount(acc);
    if (!spinUntil([&] { return services.imap()->isInstant(acc.address) && server.idling() == 1; }, 15000)) {
        state.SkipWithError("IDLE connection did not come up");
        return;
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    std::vector<double> ms, toStore;
    int n = 0;
    QElapsedTimer clock;
    QObject::connect(services.store(), &MailStore::newCode, services.store(),
                     [&](const MailItem &) { toStore.push_back(double(clock.nsecsElapsed()) / 1e6); });
    for (auto _ : state) {
        const QString code = QString::number(700000 + 13 * ++n);
        clipboard->clear();
        clock.start();
        server.deliver(code);
        if (!spinUntil([&] { return clipboard->text() == code; }, 5000)) {
            state.SkipWithError("code did not reach the clipboard");
            return;
        }
        const double took = double(clock.nsecsElapsed()) / 1e6;
        ms.push_back(took);
        state.SetIterationTime(took / 1000.0);
        // Back in IDLE before the next mail.
        if (!spinUntil([&] { return server.idling() == 1; }, 5000)) {
            state.SkipWithError("IDLE not entered again");
            return;
        }
    }
    state.counters["median_ms"] = median(ms);
    if (!toStore.empty())
        state.counters["to_store_ms"] = median(toStore);
}
BENCHMARK(BM_ExistsToClipboard)->UseManualTime()->Iterations(25)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerMailMetaTypes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
