#pragma once

#include <QSettings>

#include <memory>

#include "app/appservices.h"
#include "app/mainwindow.h"
#include "benchsettings.h"
#include "transport/imapclient.h"

// The main window with its services on throw-away settings, signed in (signed
// out, nothing is polled), without tray, hotkey or message boxes, and with the
// poll an hour away so that only IDLE brings mail.
struct BenchWindow
{
    BenchSettings settings;
    std::unique_ptr<AppServices> services;
    std::unique_ptr<MainWindow> window;

    BenchWindow()
    {
        QSettings signedIn(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
        signedIn.setValue("auth/display", "bench_user");
        signedIn.setValue("auth/logged", true);
        signedIn.sync();
        AppServicesOptions so;
        so.quietSeconds = 0;
        so.guard = [] { return false; };
        so.registerHotkey = false;
        MainWindowOptions o;
        o.trayFactory = [](QObject *) -> Tray * { return nullptr; };
        o.message = [](QMessageBox::Icon, const QString &) {};
        services = std::make_unique<AppServices>(so);
        window = std::make_unique<MainWindow>(services.get(), o);
        services->start();
        services->imap()->setPollInterval(3600 * 1000);
    }
};
