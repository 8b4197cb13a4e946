#include "app/startup.h"

#include "app/mainwindow.h"
#include "app/settingsfile.h"
#include "app/signingate.h"
#include "desktop/captureprotection.h"
#include "desktop/protectionguard.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <memory>

int runMirelo(int &argc, char **argv, const std::function<void(MainWindow &)> &afterShow)
{
    auto app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setOrganizationName("MIRELOPLUS");
    QCoreApplication::setApplicationName("MireloPlus");
    QGuiApplication::setApplicationDisplayName("MIRELO+");
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Before anything is read or written: the store holds the secrets.
    if (!restrictSettingsStore())
        std::fprintf(stderr, "[MIRELO+] Ayar dosyasi korunamadi: izinler ayarlanamadi.\n");

    if (analysisEnvironmentPresent())
        std::fprintf(stderr, "[MIRELO+] Debugger algilandi: kodlar gizli modda baslatilacak.\n");
    const QByteArray summary = applyProcessHardening().toUtf8();
    std::fprintf(stderr, "[MIRELO+] %s\n", summary.constData());
    std::fflush(stderr);

    auto window = std::make_unique<MainWindow>();
    int code = 0;
    if (runSignInGate(window->auth(), window.get())) {
        window->show();
        if (afterShow) {
            MainWindow *w = window.get();
            QTimer::singleShot(0, w, [w, afterShow] { afterShow(*w); });
        }
        code = app->exec();
    }
    // the window (and the worker threads it owns) goes before the application
    window.reset();
    app.reset();
    return code;
}
