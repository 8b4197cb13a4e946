// Starts the main window on a private X server with demo mails and saves
// PNG screenshots of its pages in both themes.
//
//   mirelo-screenshots [output folder]   (default: <build>/screenshots)

#include "app/mainwindow.h"
#include "app/theme.h"
#include "mail/mailstore.h"
#include "pages/inboxpage.h"
#include "support/isolatedsettings.h"
#include "support/xvfbserver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QSettings>
#include <QThread>

#include <cstdio>
#include <functional>

namespace {

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

struct Shot
{
    QString name;
    int page;
    std::function<void(MainWindow &)> prepare;
};

bool save(MainWindow &w, const QString &dir, const QString &name, QStringList *written)
{
    const QString path = dir + "/" + name + ".png";
    const QImage img = w.grab().toImage();
    if (img.isNull() || !img.save(path))
        return false;
    written->append(path);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(MIRELO_TEST_BIN_DIR "/../screenshots");
    XvfbServer xvfb;
    const bool ownDisplay = qEnvironmentVariableIsEmpty("DISPLAY");
    if (ownDisplay) {
        if (!XvfbServer::available() || !xvfb.start(QStringLiteral("1400x900x24"))) {
            std::fprintf(stderr, "screenshots: no X server: %s\n", qPrintable(xvfb.errorString()));
            return 1;
        }
        xvfb.exportToEnvironment();
    }
    IsolatedSettings isolated;
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("MIRELOPLUS");
    QCoreApplication::setApplicationName("MireloPlus");
    QGuiApplication::setApplicationDisplayName("MIRELO+");
    {
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "demo_user");
        s.setValue("auth/logged", true);
        s.setValue("theme", "dark");
    }
    QDir().mkpath(outDir);

    MainWindowOptions opt;
    opt.databaseUrl = QStringLiteral("http://127.0.0.1:9"); // nothing is sent while idle
    opt.startPolling = false;
    opt.registerHotkey = false;
    opt.guard = [] { return false; };
    opt.trayFactory = [](QObject *) { return nullptr; };
    opt.quit = [] {};
    MainWindow w(opt);
    w.store()->loadDemoMails();
    w.show();
    settle(600);

    // Later pages add their shots here.
    const QList<Shot> shots = {
        {"inbox", InboxPageIndex, nullptr},
        {"inbox_filtered", InboxPageIndex,
         [](MainWindow &win) { win.store()->setCategoryFilter(win.store()->categories().value(0).name); }},
    };

    QStringList written;
    for (int theme = 0; theme < 2; ++theme) {
        const QString suffix = isLightTheme() ? "_light" : "_dark";
        for (const Shot &shot : shots) {
            w.store()->setCategoryFilter(QString());
            w.store()->clearAccountFilter();
            if (shot.prepare)
                shot.prepare(w);
            w.switchPage(shot.page);
            settle(500);
            if (!save(w, outDir, shot.name + suffix, &written)) {
                std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(shot.name + suffix));
                return 1;
            }
        }
        w.toggleTheme();
        settle(500);
    }
    for (const QString &p : written)
        std::printf("%s\n", qPrintable(QDir::cleanPath(p)));
    return 0;
}
