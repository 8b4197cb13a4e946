#include "app/windowtray.h"

#include "account/firebaseauth.h"
#include "app/appservices.h"
#include "app/tray.h"
#include "app/traymenu.h"
#include "core/notice.h"
#include "protection/protectionservice.h"
#include "router/coderouter.h"
#include "router/notifytext.h"
#include "vault/totpmanager.h"

#include <QCloseEvent>
#include <QWidget>

WindowTray::WindowTray(QWidget *window, AppServices *services, Tray *tray, std::function<void()> quit)
    : QObject(window), m_window(window), m_services(services), m_tray(tray), m_quit(std::move(quit))
{
    ProtectionService *protection = m_services->protection();
    connect(protection, &ProtectionService::checked, this, &WindowTray::onGuardChecked);
    if (!m_tray)
        return;
    m_menu = new TrayMenu(protection->captureAvailable(), protection->captureEnabled(), window);
    m_tray->setToolTip(QString::fromLatin1(kTrayToolTip));
    m_tray->setContextMenu(m_menu);
    m_tray->setVisible(true);
    connect(m_tray, &Tray::activated, this, &WindowTray::onActivated);
    connect(m_tray, &Tray::messageClicked, this, [this] {
        if (m_lastOffersUndo)
            emit undoRequested();
    });
    connect(m_menu, &TrayMenu::showRequested, this, &WindowTray::showFromTray);
    connect(m_menu, &TrayMenu::typeLastCodeRequested, m_services->router(), &CodeRouter::typeLastCode);
    connect(m_menu, &TrayMenu::captureProtectionToggled, protection, &ProtectionService::setCaptureProtection);
    connect(m_menu, &TrayMenu::quitRequested, this, &WindowTray::quitProgram);
    connect(m_menu, &TrayMenu::status, this, &WindowTray::status);
}

bool WindowTray::reachable() const
{
    return m_tray && m_tray->isVisible() && m_tray->isAvailable();
}

void WindowTray::setIcon(const QIcon &icon)
{
    if (m_tray)
        m_tray->setIcon(icon);
}

void WindowTray::showNotice(const Notice &notice)
{
    if (!m_tray)
        return;
    m_lastOffersUndo = notice.offersUndo;
    m_tray->showMessage(notice.title, notice.text,
                        notice.warning ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information, notice.msecs);
}

void WindowTray::setCodeAge(const QString &age)
{
    if (m_tray)
        m_tray->setToolTip(age.isEmpty() ? QString::fromLatin1(kTrayToolTip)
                                         : QString::fromLatin1(kTrayToolTip) + QStringLiteral(" · Son kod: ") + age);
}

void WindowTray::lockVault()
{
    if (!m_services->vault()->isLocked())
        m_services->vault()->lock();
}

void WindowTray::hideToTray()
{
    // Hiding without a tray icon would leave a process nobody can reach.
    if (!reachable()) {
        m_window->close();
        return;
    }
    lockVault();
    m_window->hide();
}

void WindowTray::quitProgram()
{
    m_quitting = true;
    lockVault();
    // The sessions end when start-up takes the services down after the
    // event loop returns.
    if (m_tray)
        m_tray->setVisible(false);
    m_window->hide();
    m_quit();
}

void WindowTray::showFromTray()
{
    // Before the sign-in gate lets the user in, nothing of the window shows.
    if (!m_services->auth()->isLogged())
        return;
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

void WindowTray::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger || !m_services->auth()->isLogged())
        return;
    if (m_window->isVisible() && !m_window->isMinimized()) {
        hideToTray();
    } else {
        m_window->showNormal();
        m_window->raise();
    }
}

void WindowTray::onGuardChecked()
{
    // The tray went away while the window was hidden in it: show the window
    // again rather than keep a process running that nobody can reach.
    if (!m_window->isVisible() && !m_quitting && m_tray && !m_tray->isAvailable())
        showFromTray();
}

void WindowTray::handleClose(QCloseEvent *e)
{
    lockVault();
    // Quitting closes every window first; hiding here would cancel the quit.
    if (m_quitting) {
        e->accept();
        return;
    }
    if (reachable()) {
        e->ignore();
        m_window->hide();
        m_lastOffersUndo = false;
        m_tray->showMessage("MIRELO+", QString::fromLatin1(kCloseToTrayText), QSystemTrayIcon::Information, 2500);
        return;
    }
    // No tray to come back from: closing ends the program.
    e->accept();
    quitProgram();
}
