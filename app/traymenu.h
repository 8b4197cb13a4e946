#pragma once

#include <QMenu>

class QAction;

// The tray icon's menu with its texts: show, type the last code, capture
// protection, start at login and quit. The entries only ask; the window and
// the services answer. Start at login is kept here, where its tick is.
class TrayMenu : public QMenu
{
    Q_OBJECT
public:
    // `captureAvailable`: whether capture protection does anything here;
    // `captureOn`: its stored setting.
    TrayMenu(bool captureAvailable, bool captureOn, QWidget *parent = nullptr);

signals:
    void showRequested();
    void typeLastCodeRequested();
    void captureProtectionToggled(bool on);
    void quitRequested();
    void status(const QString &text);

private:
    void setAutostartOn(bool on);

    QAction *m_capture = nullptr;
    QAction *m_autostart = nullptr;
};
