#pragma once

#include "pages/pagetexts.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class MailStore;
class QLabel;
class QListWidget;
class QObject;

// Page 4: security-alert mails, this machine's access summary, the guard
// status and the system shield.
class ActivityPage : public QWidget
{
    Q_OBJECT
public:
    using InterfaceSource = std::function<QList<NetInterfaceInfo>()>;
    // Starts the Defender query; calls back with (real-time protection on,
    // an answer was obtained) on the GUI thread, or never.
    using DefenderQuery = std::function<void(QObject *context, std::function<void(bool, bool)> done)>;

    explicit ActivityPage(MailStore *store, QWidget *parent = nullptr);

    // Tests replace the machine's interfaces and the Defender query.
    void setInterfaceSource(InterfaceSource source);
    void setDefenderQuery(DefenderQuery query);
    // Whether this system has the shield's checks at all (Windows only);
    // without them the section says so instead of reporting everything off.
    void setShieldAvailable(bool available);

    QLabel *summaryLabel() const { return m_summary; }
    QLabel *guardLabel() const { return m_guard; }
    QLabel *shieldLabel() const { return m_shield; }
    QListWidget *alertList() const { return m_list; }

public slots:
    // Alerts and access summary.
    void refreshActivity();
    // Registry checks now, the Defender answer later.
    void refreshHealth();
    void setGuardStatus(const QString &text);

private:
    void showShield();

    MailStore *m_store;
    InterfaceSource m_interfaces;
    DefenderQuery m_defenderQuery;
    QLabel *m_summary = nullptr;
    QLabel *m_guard = nullptr;
    QLabel *m_shield = nullptr;
    QListWidget *m_list = nullptr;
    bool m_defenderOn = false;
    bool m_defenderKnown = false;
#ifdef Q_OS_WIN
    bool m_shieldAvailable = true;
#else
    bool m_shieldAvailable = false;
#endif
    // The registry answers of the last refresh, kept for the Defender reply.
    bool m_hvci = false, m_secureBoot = false, m_uac = false, m_testSigning = false;
};
