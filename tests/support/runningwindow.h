#pragma once

#include "app/appservices.h"
#include "app/mainwindow.h"

#include <memory>

// The window over services of its own, built and started as start-up does
// and taken down in its order: the window first, then the services.
struct RunningWindow
{
    RunningWindow(const AppServicesOptions &services, const MainWindowOptions &window)
        : services(std::make_unique<AppServices>(services)),
          window(std::make_unique<MainWindow>(this->services.get(), window))
    {
        this->services->start();
    }

    MainWindow *operator->() const { return window.get(); }
    MainWindow *get() const { return window.get(); }

    std::unique_ptr<AppServices> services;
    std::unique_ptr<MainWindow> window;
};
