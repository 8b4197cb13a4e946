#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include <functional>

class AppServices;
class QCloseEvent;
class QIcon;
class QWidget;
class Tray;
class TrayMenu;
struct Notice;

// The window's life beside its tray icon: hidden to the tray with the vault
// locked, shown again from it, closed to it, and quit from its menu. Without
// a reachable tray icon, closing quits, so no process is left that nobody
// can reach.
class WindowTray : public QObject
{
    Q_OBJECT
public:
    // `tray` may be null (no tray on this desktop); `quit` ends the program.
    WindowTray(QWidget *window, AppServices *services, Tray *tray, std::function<void()> quit);

    Tray *tray() const { return m_tray; }
    bool reachable() const;
    void setIcon(const QIcon &icon);
    // The window's close event: hidden to the tray, or accepted and quit.
    void handleClose(QCloseEvent *e);
    void lockVault();

public slots:
    void showNotice(const Notice &notice);
    void showFromTray();
    void hideToTray();
    void quitProgram();

    // The tool tip with the last code's age; empty age: none.
    void setCodeAge(const QString &age);

signals:
    void status(const QString &text);
    // The notice clicked offered to take back a move.
    void undoRequested();

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void onGuardChecked();

    QWidget *m_window;
    AppServices *m_services;
    Tray *m_tray;
    TrayMenu *m_menu = nullptr;
    std::function<void()> m_quit;
    bool m_quitting = false;
    // Whether the message shown last offers to take back a move.
    bool m_lastOffersUndo = false;
};
