#include "app/startup.h"

#include "app/appservices.h"
#include "app/commandline.h"
#include "app/mainwindow.h"
#include "core/settingsfile.h"
#include "app/signingate.h"
#include "app/windowtray.h"
#include "desktop/captureprotection.h"
#include "desktop/protectionguard.h"
#include "desktop/singleinstance.h"
#include "pages/pagedialogs.h"
#include "secrets/secretstore.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// --help and --version answer before the application object exists, so
// they work without a display.
bool answerWithoutDisplay(int argc, char **argv, int *exitCode)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (!args.contains(QLatin1String("--help")) && !args.contains(QLatin1String("-h"))
        && !args.contains(QLatin1String("--version")) && !args.contains(QLatin1String("-v")))
        return false;
    const CommandLine line = parseCommandLine(args);
    const QByteArray text = line.help ? commandLineHelp().toUtf8() : QByteArray("MIRELO+ " MIRELO_VERSION "\n");
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
    *exitCode = 0;
    return true;
}

} // namespace

int runMirelo(int &argc, char **argv, const std::function<void(MainWindow &)> &afterShow)
{
    if (!followSettingsStoreOverride()) {
        std::fprintf(stderr, "[MIRELO+] Ayarlar yeri kurulamadi: MIRELO_SETTINGS_HKCU kullanilamiyor.\n");
        return 1;
    }
    int early = 0;
    if (answerWithoutDisplay(argc, argv, &early))
        return early;

    auto app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setOrganizationName("MIRELOPLUS");
    QCoreApplication::setApplicationName("MireloPlus");
    QCoreApplication::setApplicationVersion(QStringLiteral(MIRELO_VERSION));
    QGuiApplication::setApplicationDisplayName("MIRELO+");
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Before anything is read or written: the store holds the secrets.
    // A store that takes no write loses the sign-in, accounts and vault at
    // exit: said before anything is entered into it.
    const QString unwritable = settingsStoreWriteProblem();
    if (!unwritable.isEmpty())
        std::fprintf(stderr, "[MIRELO+] %s\n", unwritable.toUtf8().constData());
    else if (!restrictSettingsStore())
        std::fprintf(stderr, "[MIRELO+] Ayar dosyasi korunamadi: izinler ayarlanamadi.\n");

    const QStringList args = QCoreApplication::arguments().mid(1);
    const CommandLine line = parseCommandLine(args);
    if (!line.error.isEmpty()) {
        const QByteArray text = (line.error + QStringLiteral("\n\n") + commandLineHelp()).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        return 2;
    }

    // A second start hands over its arguments and ends quietly.
    SingleInstance instance(QStringLiteral("MireloPlus"));
    if (!instance.claim(args))
        return 0;
    if (!instance.problem().isEmpty())
        std::fprintf(stderr, "[MIRELO+] %s\n", instance.problem().toUtf8().constData());

    if (analysisEnvironmentPresent())
        std::fprintf(stderr, "[MIRELO+] Debugger algilandi: kodlar gizli modda baslatilacak.\n");
    const QByteArray summary = applyProcessHardening().toUtf8();
    std::fprintf(stderr, "[MIRELO+] %s\n", summary.constData());
    std::fflush(stderr);

    // The services first, then the window that connects to them, then what
    // runs on its own; taken down in the reverse order.
    // Before the mail store reads the accounts: where their secrets are kept.
    installSecretKeeper(openSystemSecretKeeper());
    auto services = std::make_unique<AppServices>();
    auto window = std::make_unique<MainWindow>(services.get());
    MainWindow *w = window.get();
    services->start();
    bool admitted = false;
    // Before sign-in a later start brings the sign-in dialog forward; after
    // it, the window (unless that start asked for the tray).
    QObject::connect(&instance, &SingleInstance::activated, w, [w, &admitted](const QStringList &more) {
        if (!admitted) {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                modal->raise();
                modal->activateWindow();
            }
            return;
        }
        if (!parseCommandLine(more).tray)
            w->windowTray()->showFromTray();
    });
    int code = 0;
    if (!unwritable.isEmpty())
        PageDialogs::standard()->warn(nullptr, unwritable);
    if (runSignInGate(services->auth(), w)) {
        admitted = true;
        // Hidden in the tray only when there is a tray to come back from.
        if (!line.tray || !w->windowTray()->tray())
            w->show();
        if (afterShow)
            QTimer::singleShot(0, w, [w, afterShow] { afterShow(*w); });
        code = app->exec();
    }
    // the window, then the services (and their worker threads), before the application
    window.reset();
    services.reset();
    app.reset();
    return code;
}
