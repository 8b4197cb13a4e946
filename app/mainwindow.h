#pragma once

#include "app/signingate.h"
#include "pages/pageindex.h"

#include <QMainWindow>
#include <QMessageBox>

#include <functional>

class AccountsPage;
class ActivityPage;
class AppServices;
class InboxFilter;
class InboxPage;
class LinkPage;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;
class ReplyController;
class Sidebar;
class TitleBar;
class Tray;
class VaultPage;
class WindowTray;

// What the window takes from outside; tests replace the intervals, the
// tray, the dialogs, the message boxes and the quit.
struct MainWindowOptions
{
    int mailRefreshMs = 250;
    int fadeMs = 220;
    int ageRefreshMs = 60000;
    // The tray icon, or null when the desktop has none.
    std::function<Tray *(QObject *parent)> trayFactory;
    // Runs the sign-in dialog after a sign-out.
    DialogRunner runDialog;
    // Ends the program.
    std::function<void()> quit;
    // Shows a message box titled "MIRELO+" (warning or information).
    std::function<void(QMessageBox::Icon icon, const QString &text)> message;
};

// The frame: title bar, sidebar, the page stack and the status line, the
// tray icon, and the connections between the pages and the services. The
// rules live in the services.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(AppServices *services, const MainWindowOptions &options = MainWindowOptions(),
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    AppServices *services() const { return m_services; }
    InboxPage *inboxPage() const { return m_inbox; }
    InboxFilter *inboxFilter() const { return m_filter; }
    VaultPage *vaultPage() const { return m_vaultPage; }
    AccountsPage *accountsPage() const { return m_accountsPage; }
    LinkPage *linkPage() const { return m_linkPage; }
    ActivityPage *activityPage() const { return m_activityPage; }
    Sidebar *sidebar() const { return m_sidebar; }
    TitleBar *titleBar() const { return m_titleBar; }
    QStackedWidget *pageStack() const { return m_stack; }
    QLabel *statusLine() const { return m_status; }
    // "Geri al" beside the status line, shown while a move can be taken back.
    QPushButton *undoButton() const { return m_undo; }
    WindowTray *windowTray() const { return m_windowTray; }
    ReplyController *replies() const { return m_replies; }
    int currentPage() const { return m_currentPage; }

    // Puts a page into its slot of the stack (the slot's placeholder goes).
    void setPage(PageIndex index, QWidget *page);

public slots:
    void setStatus(const QString &msg);
    void showOnlyAccount(const QString &addr);
    void switchPage(PageIndex page);
    void toggleTheme();
    // Signs out, hides everything and runs the sign-in gate again; a
    // cancelled sign-in quits.
    void signOut();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void buildLayout();
    void buildServicePages();
    void connectServices();
    void applyTheme();
    void fadeTo(PageIndex page);
    void refreshUserChip();

    AppServices *m_services;
    MainWindowOptions m_opt;
    TitleBar *m_titleBar = nullptr;
    Sidebar *m_sidebar = nullptr;
    InboxFilter *m_filter = nullptr;
    InboxPage *m_inbox = nullptr;
    VaultPage *m_vaultPage = nullptr;
    AccountsPage *m_accountsPage = nullptr;
    LinkPage *m_linkPage = nullptr;
    ActivityPage *m_activityPage = nullptr;
    QStackedWidget *m_stack = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_undo = nullptr;
    // Cards and the tray tool tip show the codes' ages; once a minute is enough.
    QTimer *m_ageTimer = nullptr;
    WindowTray *m_windowTray = nullptr;
    ReplyController *m_replies = nullptr;
    QTimer *m_mailRefreshTimer = nullptr;
    PageIndex m_currentPage = InboxPageIndex;
};
