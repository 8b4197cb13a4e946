#include "app/mainwindow.h"
#include "app/signingate.h"
#include "desktop/captureprotection.h"
#include "desktop/protectionguard.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    auto app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setOrganizationName("MIRELOPLUS");
    QCoreApplication::setApplicationName("MireloPlus");
    QGuiApplication::setApplicationDisplayName("MIRELO+");
    QGuiApplication::setQuitOnLastWindowClosed(false);

    if (analysisEnvironmentPresent())
        std::fprintf(stderr, "[MIRELO+] Debugger algilandi: kodlar gizli modda baslatilacak.\n");
    const QByteArray summary = applyProcessHardening().toUtf8();
    std::fprintf(stderr, "[MIRELO+] %s\n", summary.constData());
    std::fflush(stderr);

    auto window = std::make_unique<MainWindow>();
    int code = 0;
    if (runSignInGate(window->auth(), window.get())) {
        window->show();
        code = app->exec();
    }
    window.reset();
    app.reset();
    return code;
}
