// Child process of the shutdown test: starts a session against the given
// port (or the poll and IDLE connection of the program's start), then quits as soon as a line arrives on standard input, the way the
// tray's quit ends the program while a session is blocked.
#include <QCoreApplication>

#include <cstdio>
#include <thread>

#include "core/settingsfile.h"
#include "mail/mailstore.h"
#include "transport/imapclient.h"
#include "transport/smtpclient.h"

namespace {
int run(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const quint16 port = quint16(args.at(2).toUInt());
    EmailAccount acc;
    acc.address = QStringLiteral("ali@localhost");
    acc.host = QStringLiteral("127.0.0.1");
    acc.port = port;
    acc.pass = QStringLiteral("secret");

    // "idle": the program's own start, a poll and an IDLE connection of one
    // stored account (the test hands over its throw-away settings).
    MailStore store;
    const bool idle = args.at(1) == QLatin1String("idle");
    if (idle)
        store.addOrUpdateAccount(acc);
    ImapClient imap(idle ? &store : nullptr);
    SmtpClient smtp([port](const EmailAccount &) { return SmtpServer{QStringLiteral("127.0.0.1"), port, false}; },
                    SmtpTimeouts());
    if (idle)
        imap.start();
    else if (args.at(1) == QLatin1String("imap"))
        imap.testAccount(acc);
    else
        smtp.sendReply(acc, QStringLiteral("veli@localhost"), QStringLiteral("S"), QStringLiteral("B"));

    // A thread that blocks on standard input: Windows has no notifier for a
    // pipe. It is left to the process's end.
    std::thread([] {
        std::fgetc(stdin);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    }).detach();
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
} // namespace

int main(int argc, char **argv)
{
    // Windows: the test's throw-away registry key, never the user's own.
    if (!followSettingsStoreOverride())
        return 3;
    const int rc = run(argc, argv);
    // Everything is torn down: what is left is the process's own exit.
    std::puts("ended");
    std::fflush(stdout);
    return rc;
}
