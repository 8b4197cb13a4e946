#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QIcon;
class QMenu;

// The window talks to the tray through this seam so that tests can watch
// its messages on platforms without a tray (offscreen, bare X servers).
class Tray : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Tray() override = default;

    virtual void setIcon(const QIcon &icon) = 0;
    virtual void setToolTip(const QString &tip) = 0;
    virtual void setContextMenu(QMenu *menu) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    // Whether the desktop still shows tray icons (a panel can go away).
    virtual bool isAvailable() const { return true; }
    virtual void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                             int msecs) = 0;

signals:
    void activated(QSystemTrayIcon::ActivationReason reason);
    // The user clicked the message shown last.
    void messageClicked();
};

// The desktop's own tray icon.
class SystemTray : public Tray
{
    Q_OBJECT
public:
    explicit SystemTray(QObject *parent = nullptr);

    void setIcon(const QIcon &icon) override;
    void setToolTip(const QString &tip) override;
    void setContextMenu(QMenu *menu) override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    bool isAvailable() const override;
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int msecs) override;

private:
    QSystemTrayIcon *m_icon;
};

// A system tray icon when the desktop offers a tray, else null.
Tray *createSystemTray(QObject *parent);
