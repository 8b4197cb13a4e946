// Starts the main window with demo mails and saves PNG screenshots of its
// pages in both themes. Needs an X server: the `screenshots` build target
// runs it under xvfb-run.
//
//   mirelo-screenshots [output folder]   (default: <build>/screenshots)

#include "app/appservices.h"
#include "app/mainwindow.h"
#include "app/replycontroller.h"
#include "theme/theme.h"
#include "link/linkmanager.h"
#include "mail/mailstore.h"
#include "pages/categorydialog.h"
#include "pages/inboxfilter.h"
#include "pages/inboxpage.h"
#include "transport/replydialog.h"
#include "vault/totpmanager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
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
    PageIndex page;
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

// Demo state for the vault, accounts, link and activity pages.
void fillServicePages(MainWindow &w)
{
    TotpManager *vault = w.services()->vault();
    vault->setupVault(QStringLiteral("demo-kasa"));
    vault->addEntry(QStringLiteral("Riot Games"), QStringLiteral("JBSWY3DPEHPK3PXP"), QStringLiteral("riot"));
    vault->addEntry(QStringLiteral("GitHub"), QStringLiteral("GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ"));
    vault->addEntry(QStringLiteral("Binance"),
                    QStringLiteral("otpauth://totp/Binance:demo?secret=KRSXG5CTMVRXEZLUKN2XAZLSKNSWG4TFOQ&digits=8"),
                    QStringLiteral("Binance"));

    MailStore *store = w.services()->store();
    const auto account = [](const QString &address, bool enabled) {
        EmailAccount a;
        a.address = address;
        a.pass = QStringLiteral("demo");
        a.enabled = enabled;
        return a;
    };
    store->addOrUpdateAccount(account(QStringLiteral("oyuncu@gmail.com"), true));
    // Outlook signs in through the browser; its grant has run out.
    EmailAccount outlook = account(QStringLiteral("is.hesabi@outlook.com"), true);
    outlook.pass.clear();
    outlook.auth = MailAuth::XOAuth2;
    outlook.refreshToken = QStringLiteral("demo");
    store->addOrUpdateAccount(outlook);
    store->addOrUpdateAccount(account(QStringLiteral("eski@yandex.com"), false));
    store->setAccountOk(QStringLiteral("oyuncu@gmail.com"), QStringLiteral("14:32"));
    store->setAccountLoginRefused(QStringLiteral("is.hesabi@outlook.com"),
                                  QStringLiteral("Yeniden oturum acilmali: saglayici oturumu sonlandirdi."));

    const auto alert = [](const QString &account, const QString &from, const QString &subject) {
        MailItem m;
        m.account = account;
        m.from = from;
        m.subject = subject;
        m.preview = subject;
        m.received = QDateTime::currentDateTime();
        return m;
    };
    store->addMail(alert(QStringLiteral("oyuncu@gmail.com"), QStringLiteral("Google <no-reply@accounts.google.com>"),
                         QStringLiteral("Security alert: New sign-in on Windows")));
    store->addMail(alert(QStringLiteral("oyuncu@gmail.com"),
                         QStringLiteral("Instagram <security@mail.instagram.com>"),
                         QStringLiteral("Yeni giris: hesabina yeni bir cihazdan giris yapildi")));

    // A phone paired earlier, played by a joining link manager in-process.
    LinkManager *link = w.services()->link();
    link->startPairing();
    settle(400);
    LinkOptions phoneOptions;
    phoneOptions.databaseBaseUrl = link->databaseBaseUrl();
    phoneOptions.devicesFile = QDir::tempPath() + QStringLiteral("/mirelo-screenshot-phone.json");
    QFile::remove(phoneOptions.devicesFile);
    auto *phone = new LinkManager(&w, phoneOptions);
    phone->joinSession(link->sessionId(), link->pairingCode(), QStringLiteral("Pixel 8"));
    for (int i = 0; i < 60 && link->devices().isEmpty(); ++i)
        settle(100);
    QFile::remove(phoneOptions.devicesFile);
}

} // namespace

int main(int argc, char **argv)
{
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(MIRELO_SCREENSHOT_DIR);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "screenshots: no X server (run it under xvfb-run)\n");
        return 1;
    }
    // Demo data only: the settings and data folders are a throw-away folder,
    // never the user's own.
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "screenshots: no temporary folder\n");
        return 1;
    }
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, (home.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
    qputenv("MIRELO_DATA_DIR", (home.path() + QStringLiteral("/XDG_DATA_HOME/MIRELOPLUS/MireloPlus")).toLocal8Bit());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path() + QStringLiteral("/config"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path() + QStringLiteral("/config"));
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

    AppServicesOptions services;
    // Empty: the embedded local database (its data in the isolated folders),
    // so the link page can show a live pairing and a paired device.
    services.databaseUrl = QString();
    services.startPolling = false;
    services.registerHotkey = false;
    services.guard = [] { return false; };
    AppServices s(services);
    MainWindowOptions opt;
    opt.trayFactory = [](QObject *) { return nullptr; };
    opt.quit = [] {};
    MainWindow w(&s, opt);
    s.start();
    w.services()->store()->loadDemoMails();
    fillServicePages(w);
    w.show();
    settle(600);

    // Later pages add their shots here.
    const QList<Shot> shots = {
        {"inbox", InboxPageIndex, nullptr},
        {"inbox_filtered", InboxPageIndex,
         [](MainWindow &win) { win.inboxFilter()->setCategory(win.services()->store()->categories().value(0).name); }},
        {"vault_locked", VaultPageIndex, [](MainWindow &win) { win.services()->vault()->lock(); }},
        {"vault", VaultPageIndex,
         [](MainWindow &win) {
             if (win.services()->vault()->isLocked())
                 win.services()->vault()->unlock(QStringLiteral("demo-kasa"));
         }},
        {"accounts", AccountsPageIndex, nullptr},
        {"link", LinkPageIndex,
         [](MainWindow &win) {
             if (!win.services()->link()->isPairing())
                 win.services()->link()->startPairing();
         }},
        {"activity", ActivityPageIndex, nullptr},
    };

    QStringList written;
    for (int theme = 0; theme < 2; ++theme) {
        const QString suffix = isLightTheme() ? "_light" : "_dark";
        for (const Shot &shot : shots) {
            w.inboxFilter()->setCategory(QString());
            w.inboxFilter()->clearAccount();
            if (shot.prepare)
                shot.prepare(w);
            w.switchPage(shot.page);
            settle(500);
            if (!save(w, outDir, shot.name + suffix, &written)) {
                std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(shot.name + suffix));
                return 1;
            }
        }
        {
            // A reply to the GitHub demo mail: the bare sender address in "Kime".
            w.replies()->open(QStringLiteral("oyuncu@gmail.com"), QStringLiteral("\"GitHub\" <noreply@github.com>"),
                              QStringLiteral("GitHub OTP"));
            ReplyDialog *reply = w.replies()->dialog();
            if (reply) {
                reply->resize(480, 400);
                settle(300);
                const QString path = outDir + "/reply" + suffix + ".png";
                if (!reply->grab().toImage().save(path))
                    return 1;
                written << path;
                reply->close();
            }
        }
        {
            CategoryDialog dialog(w.services()->store(), &w);
            dialog.show();
            settle(300);
            const QString path = outDir + "/categories" + suffix + ".png";
            if (!dialog.grab().toImage().save(path))
                return 1;
            written << path;
        }
        w.toggleTheme();
        settle(500);
    }
    for (const QString &p : written)
        std::printf("%s\n", qPrintable(QDir::cleanPath(p)));
    return 0;
}
