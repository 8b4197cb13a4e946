#include "app/tray.h"

#include <QIcon>

SystemTray::SystemTray(QObject *parent) : Tray(parent), m_icon(new QSystemTrayIcon(this))
{
    connect(m_icon, &QSystemTrayIcon::activated, this, &Tray::activated);
    connect(m_icon, &QSystemTrayIcon::messageClicked, this, &Tray::messageClicked);
}

void SystemTray::setIcon(const QIcon &icon) { m_icon->setIcon(icon); }
void SystemTray::setToolTip(const QString &tip) { m_icon->setToolTip(tip); }
void SystemTray::setContextMenu(QMenu *menu) { m_icon->setContextMenu(menu); }
void SystemTray::setVisible(bool visible) { m_icon->setVisible(visible); }
bool SystemTray::isVisible() const { return m_icon->isVisible(); }
bool SystemTray::isAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void SystemTray::showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                             int msecs)
{
    m_icon->showMessage(title, text, icon, msecs);
}

Tray *createSystemTray(QObject *parent)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return nullptr;
    return new SystemTray(parent);
}
