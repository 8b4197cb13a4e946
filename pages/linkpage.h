#pragma once

#include <QString>
#include <QWidget>

class LinkManager;
class PageDialogs;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class QrWidget;

inline constexpr int kLinkPageTickMs = 1000;

// Page 3: start or stop a pairing, show its QR code, code and time left,
// list the paired devices and unpair them.
class LinkPage : public QWidget
{
    Q_OBJECT
public:
    LinkPage(LinkManager *link, QWidget *parent = nullptr, int tickMs = kLinkPageTickMs);

    QrWidget *qrWidget() const { return m_qr; }
    QLabel *pairCodeLabel() const { return m_code; }
    QLabel *timeLeftLabel() const { return m_timeLeft; }
    // "Oturum: <id>" while pairing: what `mirelo-peer join` needs beside the code.
    QLabel *sessionLabel() const { return m_session; }
    QLabel *logLabel() const { return m_log; }
    QListWidget *deviceList() const { return m_list; }
    // The context menu of the device with this sid (the caller owns it).
    QMenu *deviceMenu(const QString &sid, QWidget *parent = nullptr);
    void setDialogs(PageDialogs *dialogs);

public slots:
    // Rebuild from the link manager's state.
    void refreshLink();
    // A link message: shown in the page's log and passed on to the status line.
    void onLinkLog(const QString &msg);
    // Only the time-left label, every second while a pairing runs.
    void updateTimeLeft();

signals:
    void statusMessage(const QString &msg);

private:
    void onContextMenu(const QPoint &pos);

    LinkManager *m_link;
    PageDialogs *m_dialogs;
    QString m_lastUri; // the link last drawn into the QR widget
    QrWidget *m_qr = nullptr;
    QLabel *m_code = nullptr;
    QLabel *m_timeLeft = nullptr;
    QLabel *m_session = nullptr;
    QPushButton *m_startBtn = nullptr;
    QPushButton *m_stopBtn = nullptr;
    QListWidget *m_list = nullptr;
    QLabel *m_log = nullptr;
    QTimer *m_timer = nullptr;
};
