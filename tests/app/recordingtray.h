#pragma once

#include "app/tray.h"

#include <QList>

// A tray that only records what the window asks of it.
class RecordingTray : public Tray
{
    Q_OBJECT
public:
    struct Message
    {
        QString title, text;
        QSystemTrayIcon::MessageIcon icon;
        int msecs;
    };
    using Tray::Tray;

    void setIcon(const QIcon &) override { ++iconSets; }
    void setToolTip(const QString &tip) override { toolTip = tip; }
    void setContextMenu(QMenu *m) override { menu = m; }
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }
    bool isAvailable() const override { return available; }
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int msecs) override
    {
        messages.append({title, text, icon, msecs});
    }
    void activate(QSystemTrayIcon::ActivationReason r) { emit activated(r); }
    void clickMessage() { emit messageClicked(); }

    QList<Message> messages;
    QString toolTip;
    QMenu *menu = nullptr;
    bool visible = false;
    bool available = true;
    int iconSets = 0;
};
