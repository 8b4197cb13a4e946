#pragma once

#include "app/signingate.h"
#include "mail/mailrecords.h"
#include "transport/replydialog.h"

#include <QList>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>

class AccountsPage;
class ActivityPage;
class AutoLock;
class AutoTyper;
class FirebaseAuth;
class ImapClient;
class InboxPage;
class LinkManager;
class LinkPage;
class MailStore;
class QAction;
class QLabel;
class ReplyController;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTimer;
class Sidebar;
class SmtpClient;
class TitleBar;
class TotpManager;
class VaultPage;
class Tray;

// What the window takes from outside; tests replace the clock, the timer
// intervals, the tray, the guard and the endpoints.
struct MainWindowOptions
{
    // Cloud database base URL; empty: the configured one or the embedded server.
    QString databaseUrl;
    // Seconds since the Unix epoch.
    std::function<qint64()> clock;
    int quietSeconds = 45;
    int mailRefreshMs = 250;
    int notifyMs = 3000;
    int guardTickMs = 5000;
    int fadeMs = 220;
    // The vault locks itself this long after the last unlock or code copy.
    int vaultAutoLockMs = 300000;
    // Whether an analysis environment is present.
    std::function<bool()> guard;
    // The tray icon, or null when the desktop has none.
    std::function<Tray *(QObject *parent)> trayFactory;
    // Runs the sign-in dialog after a sign-out.
    DialogRunner runDialog;
    // Whether capture protection does anything on this platform.
    std::function<bool()> captureAvailable;
    // Ends the program.
    std::function<void()> quit;
    // Shows a message box titled "MIRELO+" (warning or information).
    std::function<void(QMessageBox::Icon icon, const QString &text)> message;
    bool startPolling = true;
    bool registerHotkey = true;
};

enum PageIndex { InboxPageIndex = 0, VaultPageIndex = 1, AccountsPageIndex = 2, LinkPageIndex = 3, ActivityPageIndex = 4 };

// The hub: owns every service, builds the pages and wires them, turns new
// codes into clipboard, push and tray notice, and hides to the tray.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowOptions &options = MainWindowOptions(), QWidget *parent = nullptr);
    ~MainWindow() override;

    MailStore *store() const { return m_store; }
    TotpManager *vault() const { return m_vault; }
    AutoTyper *typer() const { return m_typer; }
    FirebaseAuth *auth() const { return m_auth; }
    ImapClient *imap() const { return m_imap; }
    SmtpClient *smtp() const { return m_smtp; }
    LinkManager *link() const { return m_link; }

    InboxPage *inboxPage() const { return m_inbox; }
    VaultPage *vaultPage() const { return m_vaultPage; }
    AccountsPage *accountsPage() const { return m_accountsPage; }
    LinkPage *linkPage() const { return m_linkPage; }
    ActivityPage *activityPage() const { return m_activityPage; }
    AutoLock *vaultAutoLock() const { return m_autoLock; }
    Sidebar *sidebar() const { return m_sidebar; }
    TitleBar *titleBar() const { return m_titleBar; }
    QStackedWidget *pageStack() const { return m_stack; }
    QLabel *statusLine() const { return m_status; }
    QList<QPushButton *> navButtons() const { return m_navButtons; }
    QPushButton *themeButton() const { return m_themeButton; }
    Tray *tray() const { return m_tray; }
    QMenu *trayMenu() const { return m_trayMenu; }
    ReplyDialog *replyDialog() const;

    bool isMasked() const { return m_masked; }
    int currentPage() const { return m_currentPage; }
    QList<MailItem> pendingNotifications() const { return m_pending; }
    qint64 quietUntil() const { return m_quietUntil; }

    // Puts a page into its slot of the stack (the slot's placeholder goes).
    void setPage(int index, QWidget *page);
    void setStatus(const QString &msg);

signals:
    // After every theme switch; pages that draw theme icons follow it.
    void themeChanged(bool light);
    // Masked mode began; pages that show codes rebuild.
    void maskedModeEntered();

public slots:
    void refreshMailList();
    void refreshCategories();
    void onNewCode(const MailItem &m);
    void onMailContext(const QPoint &pos);
    void showOnlyAccount(const QString &addr);
    void switchPage(int idx);
    void fadeTo(int idx);
    void onTestLog(const QString &msg);
    void onGuardTick();
    void scheduleMailRefresh();
    void toggleTheme();
    void openReply(const QString &account, const QString &to, const QString &subject);
    // A send's result with no reply window waiting for it.
    void onSendFinished(bool ok, const QString &msg);
    void flushCodeNotify();
    void refreshVault();
    void refreshAccounts();
    void updateVaultCodes();
    void showProviderHelp();
    void refreshHealth();

    void copyCode(const QString &code);
    void typeCode(const QString &code);
    void signOut();
    void setCaptureProtectionOn(bool on);
    void setAutostartOn(bool on);
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void typeLastCode();
    void showFromTray();
    // "Cikis": locks the vault, ends the sessions and the program in one step.
    void quitProgram();
    // Hides the window to the tray, vault locked; without a reachable tray
    // icon the program quits instead.
    void hideToTray();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void buildLayout();
    void buildTray();
    void buildServicePages();
    void applyTheme();
    void enterMaskedMode();
    void refreshUserChip();
    bool trayReachable() const;
    qint64 now() const;

    MainWindowOptions m_opt;
    MailStore *m_store = nullptr;
    TotpManager *m_vault = nullptr;
    AutoTyper *m_typer = nullptr;
    FirebaseAuth *m_auth = nullptr;
    ImapClient *m_imap = nullptr;
    SmtpClient *m_smtp = nullptr;
    LinkManager *m_link = nullptr;

    TitleBar *m_titleBar = nullptr;
    Sidebar *m_sidebar = nullptr;
    InboxPage *m_inbox = nullptr;
    VaultPage *m_vaultPage = nullptr;
    AccountsPage *m_accountsPage = nullptr;
    LinkPage *m_linkPage = nullptr;
    ActivityPage *m_activityPage = nullptr;
    AutoLock *m_autoLock = nullptr;
    QStackedWidget *m_stack = nullptr;
    QLabel *m_status = nullptr;
    QList<QPushButton *> m_navButtons;
    QPushButton *m_themeButton = nullptr;

    Tray *m_tray = nullptr;
    QMenu *m_trayMenu = nullptr;
    QAction *m_captureAction = nullptr;
    QAction *m_autostartAction = nullptr;
    ReplyController *m_replies = nullptr;
    bool m_quitting = false;

    int m_currentPage = 0;
    bool m_masked = false;
    QTimer *m_mailRefreshTimer = nullptr;
    QTimer *m_notifyTimer = nullptr;
    QTimer *m_guardTimer = nullptr;
    QList<MailItem> m_pending;
    qint64 m_quietUntil = 0;
};
