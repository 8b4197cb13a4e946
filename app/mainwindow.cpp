#include "app/mainwindow.h"

#include "account/firebaseauth.h"
#include "app/notifytext.h"
#include "app/replycontroller.h"
#include "theme/theme.h"
#include "app/titlebar.h"
#include "app/tray.h"
#include "desktop/autotyper.h"
#include "desktop/autostart.h"
#include "desktop/captureprotection.h"
#include "desktop/platform.h"
#include "desktop/protectionguard.h"
#include "pages/accountspage.h"
#include "pages/activitypage.h"
#include "pages/linkpage.h"
#include "pages/pagedialogs.h"
#include "pages/vaultpage.h"
#include "vault/autolock.h"
#include "clouddb/embeddeddb.h"
#include "link/linkmanager.h"
#include "mail/codetrust.h"
#include "mail/mailstore.h"
#include "pages/categorydialog.h"
#include "pages/inboxpage.h"
#include "pages/sidebar.h"
#include "transport/imapclient.h"
#include "transport/replydialog.h"
#include "transport/smtpclient.h"
#include "vault/totpmanager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

static void defaultMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    // Plain-text boxes: the texts carry server answers and account names.
    if (icon == QMessageBox::Warning)
        PageDialogs::standard()->warn(parent, text);
    else
        PageDialogs::standard()->inform(parent, "MIRELO+", text);
}

MainWindow::MainWindow(const MainWindowOptions &options, QWidget *parent) : QMainWindow(parent), m_opt(options)
{
    if (!m_opt.clock)
        m_opt.clock = [] { return QDateTime::currentSecsSinceEpoch(); };
    if (!m_opt.guard)
        m_opt.guard = analysisEnvironmentPresent;
    if (!m_opt.trayFactory)
        m_opt.trayFactory = createSystemTray;
    if (!m_opt.runDialog)
        m_opt.runDialog = execDialog;
    if (!m_opt.captureAvailable)
        m_opt.captureAvailable = captureProtectionAvailable;
    if (!m_opt.quit)
        m_opt.quit = [] { QCoreApplication::quit(); };
    if (!m_opt.message)
        m_opt.message = [this](QMessageBox::Icon icon, const QString &text) { defaultMessage(this, icon, text); };
    initMireloResources();
    registerMailMetaTypes();

    // 1. frame
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, false);
    resize(1080, 680);
    setMinimumSize(920, 560);
    setWindowTitle("MIRELO+");
    setWindowIcon(logoIcon());

    // 2. services, children of the window
    const QString dbUrl = m_opt.databaseUrl.isEmpty() ? startCloudDatabase(this) : m_opt.databaseUrl;
    m_store = new MailStore(this);
    m_vault = new TotpManager(this);
    m_typer = new AutoTyper(&nativeDesktopPlatform(), this);
    m_auth = new FirebaseAuth(this, dbUrl);
    m_imap = new ImapClient(m_store, this);
    m_smtp = new SmtpClient(this);
    m_smtp->setTokenService(m_imap->tokens());
    m_link = new LinkManager(this, dbUrl);
    m_link->cleanUpLeftSessions();

    // 3. layout and pages, then the saved theme
    buildLayout();
    buildServicePages();
    applyTheme();

    // 4. timers and connections
    m_mailRefreshTimer = new QTimer(this);
    m_mailRefreshTimer->setSingleShot(true);
    m_mailRefreshTimer->setInterval(m_opt.mailRefreshMs);
    connect(m_mailRefreshTimer, &QTimer::timeout, this, &MainWindow::refreshMailList);
    // the counts beside the categories follow the mails too
    connect(m_mailRefreshTimer, &QTimer::timeout, this, &MainWindow::refreshCategories);
    connect(m_store, &MailStore::mailsChanged, this, &MainWindow::scheduleMailRefresh);
    connect(m_store, &MailStore::categoriesChanged, this, &MainWindow::refreshCategories);
    connect(m_store, &MailStore::newCode, this, &MainWindow::onNewCode);
    connect(m_auth, &FirebaseAuth::authChanged, this, &MainWindow::refreshUserChip);
    connect(m_auth, &FirebaseAuth::authError, this, &MainWindow::setStatus);
    connect(m_auth, &FirebaseAuth::authOk, this, &MainWindow::setStatus);
    connect(m_imap, &ImapClient::status, this, &MainWindow::setStatus);
    connect(m_imap, &ImapClient::testLog, this, &MainWindow::onTestLog);
    m_replies = new ReplyController(m_store, m_smtp, this, m_opt.message);
    connect(m_replies, &ReplyController::status, this, &MainWindow::setStatus);
    connect(m_link, &LinkManager::linkLog, this, &MainWindow::setStatus);

    // 5. global hotkey
    if (m_opt.registerHotkey)
        m_typer->registerHotkey();

    // 6. quiet period, then polling
    m_quietUntil = now() + m_opt.quietSeconds;
    if (m_opt.startPolling)
        m_imap->start();

    // 7. tray
    buildTray();

    // 8. first fill
    refreshCategories();
    refreshMailList();

    // 9. user chip
    refreshUserChip();

    // 10. guard, now and from time to time
    if (m_opt.guard())
        enterMaskedMode();
    m_guardTimer = new QTimer(this);
    m_guardTimer->setInterval(m_opt.guardTickMs);
    connect(m_guardTimer, &QTimer::timeout, this, &MainWindow::onGuardTick);
    m_guardTimer->start();

    // 11. screen capture
    setCaptureProtection(winId(), captureProtectionEnabled());
}

MainWindow::~MainWindow() = default;

qint64 MainWindow::now() const
{
    return m_opt.clock();
}

void MainWindow::buildLayout()
{
    auto *root = new QWidget(this);
    root->setObjectName("root");
    root->setAttribute(Qt::WA_StyledBackground, true);
    auto *rootLay = new QVBoxLayout(root);
    rootLay->setContentsMargins(1, 1, 1, 1);
    rootLay->setSpacing(0);

    m_titleBar = new TitleBar(root);
    rootLay->addWidget(m_titleBar);
    connect(m_titleBar, &TitleBar::minimizeRequested, this, &QWidget::showMinimized);
    connect(m_titleBar, &TitleBar::maximizeRequested, this, [this] {
        if (isMaximized())
            showNormal();
        else
            showMaximized();
    });
    connect(m_titleBar, &TitleBar::closeRequested, this, &MainWindow::hideToTray);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    rootLay->addLayout(body, 1);

    m_sidebar = new Sidebar(m_store, root);
    body->addWidget(m_sidebar);
    m_navButtons = m_sidebar->navButtons();
    m_themeButton = m_sidebar->themeButton();
    connect(m_sidebar, &Sidebar::pageRequested, this, &MainWindow::switchPage);
    connect(m_sidebar, &Sidebar::themeToggleRequested, this, &MainWindow::toggleTheme);
    connect(m_sidebar, &Sidebar::signOutRequested, this, &MainWindow::signOut);
    connect(m_sidebar, &Sidebar::categoryDialogRequested, this, [this] {
        CategoryDialog dialog(m_store, this);
        m_opt.runDialog(&dialog);
    });

    auto *content = new QWidget(root);
    content->setObjectName("content");
    content->setAttribute(Qt::WA_StyledBackground, true);
    auto *contentLay = new QVBoxLayout(content);
    contentLay->setContentsMargins(24, 18, 24, 10);
    contentLay->setSpacing(8);
    m_stack = new QStackedWidget(content);
    m_inbox = new InboxPage(m_store, m_stack);
    m_stack->addWidget(m_inbox);
    for (int i = VaultPageIndex; i <= ActivityPageIndex; ++i)
        m_stack->addWidget(new QWidget(m_stack));
    contentLay->addWidget(m_stack, 1);
    m_status = new QLabel(QString::fromLatin1(kInitialStatus), content);
    // Server errors, device and account names end up here.
    m_status->setTextFormat(Qt::PlainText);
    m_status->setObjectName("statusLine");
    m_status->setProperty("class", "muted");
    contentLay->addWidget(m_status);
    body->addWidget(content, 1);
    setCentralWidget(root);

    connect(m_inbox, &InboxPage::searchEdited, this, &MainWindow::scheduleMailRefresh);
    connect(m_inbox, &InboxPage::refreshRequested, this, [this] {
        m_imap->pollNow();
        refreshMailList();
    });
    connect(m_inbox, &InboxPage::copyRequested, this, &MainWindow::copyCode);
    connect(m_inbox, &InboxPage::quietCopyRequested, m_typer, &AutoTyper::copyToClipboard);
    connect(m_inbox, &InboxPage::typeRequested, this, &MainWindow::typeCode);
    connect(m_inbox, &InboxPage::replyRequested, this, &MainWindow::openReply);
    connect(m_inbox, &InboxPage::showOnlyAccountRequested, this, &MainWindow::showOnlyAccount);
    connect(m_inbox, &InboxPage::statusMessage, this, &MainWindow::setStatus);
    // the window owns the context-menu slot; the page builds the menu
    disconnect(m_inbox->mailList(), &QWidget::customContextMenuRequested, m_inbox, &InboxPage::showContextMenu);
    connect(m_inbox->mailList(), &QWidget::customContextMenuRequested, this, &MainWindow::onMailContext);
}

void MainWindow::setPage(int index, QWidget *page)
{
    if (index <= InboxPageIndex || index > ActivityPageIndex || !page)
        return;
    QWidget *old = m_stack->widget(index);
    m_stack->insertWidget(index, page);
    if (old) {
        m_stack->removeWidget(old);
        old->deleteLater();
    }
    if (m_currentPage == index)
        m_stack->setCurrentIndex(index);
}

void MainWindow::setStatus(const QString &msg)
{
    m_status->setText(msg);
}

void MainWindow::buildTray()
{
    m_tray = m_opt.trayFactory(this);
    if (!m_tray)
        return;
    m_tray->setIcon(logoIcon());
    m_tray->setToolTip(QString::fromLatin1(kTrayToolTip));
    m_trayMenu = new QMenu(this);
    m_trayMenu->setToolTipsVisible(true);
    m_trayMenu->addAction("Goster", this, &MainWindow::showFromTray);
    m_trayMenu->addAction("Son kodu otomatik yaz (Ctrl+Shift+V)", this, &MainWindow::typeLastCode);
    m_captureAction = m_trayMenu->addAction("Ekran yakalama korumasi");
    m_captureAction->setCheckable(true);
    if (m_opt.captureAvailable()) {
        m_captureAction->setChecked(captureProtectionEnabled());
        m_captureAction->setToolTip("Acikken RAT/ekran goruntusu pencereyi siyah gorur. Sen de goruntu alamazsin.");
    } else {
        // A ticked entry that protects nothing would promise what is not there.
        m_captureAction->setText("Ekran yakalama korumasi (bu sistemde yok)");
        m_captureAction->setChecked(false);
        m_captureAction->setEnabled(false);
        m_captureAction->setToolTip("Bu sistem pencereyi ekran goruntusunden gizleyemez; koruma sadece Windows'ta "
                                    "calisir.");
    }
    connect(m_captureAction, &QAction::toggled, this, &MainWindow::setCaptureProtectionOn);
    m_autostartAction = m_trayMenu->addAction("Oturum acilinca baslat");
    m_autostartAction->setCheckable(true);
    m_autostartAction->setChecked(Autostart::forCurrentUser().isEnabled());
    m_autostartAction->setToolTip("Oturum acildiginda MIRELO+ pencere gostermeden tepside baslar.");
    connect(m_autostartAction, &QAction::toggled, this, &MainWindow::setAutostartOn);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction("Cikis", this, &MainWindow::quitProgram);
    m_tray->setContextMenu(m_trayMenu);
    m_tray->setVisible(true);
    connect(m_tray, &Tray::activated, this, &MainWindow::onTrayActivated);
}

bool MainWindow::trayReachable() const
{
    return m_tray && m_tray->isVisible() && m_tray->isAvailable();
}

void MainWindow::hideToTray()
{
    // Hiding without a tray icon would leave a process nobody can reach.
    if (!trayReachable()) {
        close();
        return;
    }
    if (!m_vault->isLocked())
        m_vault->lock();
    hide();
}

void MainWindow::quitProgram()
{
    m_quitting = true;
    if (!m_vault->isLocked())
        m_vault->lock();
    // The sessions end when the window takes the clients down after the
    // event loop returns.
    if (m_tray)
        m_tray->setVisible(false);
    hide();
    m_opt.quit();
}

void MainWindow::showFromTray()
{
    // Before the sign-in gate lets the user in, nothing of the window shows.
    if (!m_auth->isLogged())
        return;
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::typeLastCode()
{
    // It would show the window (minimised) and a code before sign-in.
    if (!m_auth->isLogged())
        return;
    if (m_masked) {
        setStatus(QString::fromLatin1(kMaskedActionStatus));
        return;
    }
    const QString text = m_typer->lastText();
    if (text.isEmpty())
        return;
    showMinimized();
    m_typer->autoType(text);
}

void MainWindow::onTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger || !m_auth->isLogged())
        return;
    if (isVisible() && !isMinimized()) {
        hideToTray();
    } else {
        showNormal();
        raise();
    }
}

void MainWindow::setAutostartOn(bool on)
{
    QString error;
    if (!Autostart::forCurrentUser().setEnabled(on, &error)) {
        const QSignalBlocker block(m_autostartAction);
        m_autostartAction->setChecked(!on);
        setStatus(QStringLiteral("Baslangic ayari kaydedilemedi: ") + error);
        return;
    }
    setStatus(on ? QStringLiteral("MIRELO+ oturum acilinca tepside baslayacak.")
                 : QStringLiteral("MIRELO+ oturum acilinca baslamayacak."));
}

void MainWindow::setCaptureProtectionOn(bool on)
{
    QSettings("MIRELOPLUS", "MireloPlus").setValue("captureProt", on);
    setCaptureProtection(winId(), on);
    setStatus(QStringLiteral("Ekran yakalama korumasi: ") + (on ? "ACIK" : "KAPALI"));
}

void MainWindow::refreshMailList()
{
    m_inbox->refreshMailList();
}

void MainWindow::refreshCategories()
{
    m_sidebar->refreshCategories();
}

void MainWindow::scheduleMailRefresh()
{
    m_mailRefreshTimer->start();
}

void MainWindow::onNewCode(const MailItem &m)
{
    if (m.code.isEmpty())
        return;
    if (now() < m_quietUntil)
        return;
    if (m_masked) {
        setStatus(QString::fromLatin1(kMaskedCodeStatus));
        if (m_tray)
            m_tray->showMessage("MIRELO+", QString::fromLatin1(kMaskedCodeTray), QSystemTrayIcon::Information, 4000);
        return;
    }
    // Only a sure code from a fresh mail acts on its own; the card still
    // shows any other, and copying it by hand still works.
    const CodeTrust trust = codeTrust(m, QDateTime::fromSecsSinceEpoch(now()), minConfidenceSetting());
    if (!trust.trusted) {
        setStatus(QStringLiteral("Kod kopyalanmadi: ") + trust.reason);
        return;
    }
    m_pending.append(m);
    // Without a tray the batch is never shown; keep it from growing for ever.
    while (m_pending.size() > 500)
        m_pending.removeFirst();
    m_typer->setLastText(m.code);
    m_typer->copyToClipboard(m.code);
    m_link->pushCode(m);
    setStatus(newCodeStatusText(m));
    if (!m_notifyTimer) {
        m_notifyTimer = new QTimer(this);
        m_notifyTimer->setSingleShot(true);
        m_notifyTimer->setInterval(m_opt.notifyMs);
        connect(m_notifyTimer, &QTimer::timeout, this, &MainWindow::flushCodeNotify);
    }
    if (!m_notifyTimer->isActive())
        m_notifyTimer->start();
    if (isVisible() && !isMinimized())
        QApplication::alert(this, 3000);
}

void MainWindow::flushCodeNotify()
{
    if (m_pending.isEmpty() || !m_tray)
        return;
    const TrayText t = codeBatchNotification(m_pending);
    m_tray->showMessage(t.title, t.text, QSystemTrayIcon::Information, 6000);
    m_pending.clear();
}

void MainWindow::onMailContext(const QPoint &pos)
{
    m_inbox->showContextMenu(pos);
}

void MainWindow::showOnlyAccount(const QString &addr)
{
    m_store->setAccountFilter(addr);
    switchPage(InboxPageIndex);
    m_sidebar->refreshCategories();
    setStatus(QStringLiteral("Filtre: ") + addr);
}

void MainWindow::switchPage(int idx)
{
    // One marked entry in the sidebar: the page's own, or the inbox's filter.
    if (idx >= 0 && idx < m_stack->count())
        m_sidebar->setCurrentPage(idx);
    fadeTo(idx);
}

void MainWindow::fadeTo(int idx)
{
    if (idx < 0 || idx >= m_stack->count())
        return;
    m_currentPage = idx;
    QWidget *page = m_stack->widget(idx);
    m_stack->setCurrentIndex(idx);
    auto *effect = new QGraphicsOpacityEffect(page);
    effect->setOpacity(0.0);
    page->setGraphicsEffect(effect);
    // The animation is the effect's child: a newer fade replacing the effect
    // takes the old animation with it.
    auto *anim = new QPropertyAnimation(effect, "opacity", effect);
    anim->setDuration(m_opt.fadeMs);
    anim->setStartValue(0.0);
    anim->setEndValue(1.0);
    anim->setEasingCurve(QEasingCurve::OutCubic);
    connect(anim, &QPropertyAnimation::finished, effect, &QObject::deleteLater);
    anim->start(QAbstractAnimation::DeleteWhenStopped);
}

void MainWindow::onTestLog(const QString &msg)
{
    setStatus(msg);
}

void MainWindow::onGuardTick()
{
    // The tray went away while the window was hidden in it: show the window
    // again rather than keep a process running that nobody can reach.
    if (!isVisible() && !m_quitting && m_tray && !m_tray->isAvailable())
        showFromTray();
    const bool present = m_opt.guard();
    if (m_activityPage)
        m_activityPage->setGuardStatus(protectionGuardStatus(present || m_masked));
    if (!m_masked && present)
        enterMaskedMode();
}

void MainWindow::enterMaskedMode()
{
    if (m_masked)
        return;
    m_masked = true;
    m_inbox->setMasked(true);
    // the hotkey types the last code on its own; it must not reveal one now
    m_typer->setLastText(QString());
    setStatus(QString::fromLatin1(kMaskedEnterStatus));
    if (m_tray)
        m_tray->showMessage(kMaskedEnterTrayTitle, QString::fromLatin1(kMaskedEnterTray), QSystemTrayIcon::Warning,
                            4000);
    refreshMailList();
    emit maskedModeEntered();
}

void MainWindow::applyTheme()
{
    const bool light = isLightTheme();
    const QString sheet = themeStyleSheet();
    if (!sheet.isNull())
        setStyleSheet(sheet);
    setWindowIcon(logoIcon());
    if (m_tray)
        m_tray->setIcon(logoIcon());
    m_themeButton->setIcon(QIcon(light ? QStringLiteral(":/icons/moon.svg") : QStringLiteral(":/icons/sun.svg")));
    m_themeButton->setText(light ? QStringLiteral("  Koyu Tema") : QStringLiteral("  Acik Tema"));
    m_titleBar->refreshTheme();
    m_inbox->setLightTheme(light);
}

void MainWindow::toggleTheme()
{
    setLightTheme(!isLightTheme());
    applyTheme();
    m_sidebar->refreshIcons();
    refreshCategories();
    scheduleMailRefresh();
    emit themeChanged(isLightTheme());
}

void MainWindow::refreshUserChip()
{
    if (m_auth->isLogged()) {
        const QString name = m_auth->displayName();
        m_sidebar->setUser(name, name.left(1).toUpper());
    } else {
        m_sidebar->setUser(QStringLiteral("Giris bekleniyor"), QStringLiteral("?"));
    }
}

void MainWindow::signOut()
{
    m_auth->signOut();
    if (m_auth->isLogged())
        return;
    // Nothing of the last user's codes stays on screen behind the sign-in,
    // and the codes stay out of sight until the next user is let in.
    if (!m_vault->isLocked())
        m_vault->lock();
    const bool wasVisible = isVisible();
    hide();
    if (!runSignInGate(m_auth, this, m_opt.runDialog)) {
        quitProgram();
        return;
    }
    if (wasVisible)
        showNormal();
}

void MainWindow::copyCode(const QString &code)
{
    if (m_masked) {
        setStatus(QString::fromLatin1(kMaskedActionStatus));
        return;
    }
    m_typer->copyToClipboard(code);
    setStatus(QStringLiteral("Kopyalandi: ") + code);
}

void MainWindow::typeCode(const QString &code)
{
    if (m_masked) {
        setStatus(QString::fromLatin1(kMaskedActionStatus));
        return;
    }
    showMinimized();
    m_typer->autoType(code);
    setStatus(QStringLiteral("Yaziliyor: ") + code);
}

ReplyDialog *MainWindow::replyDialog() const
{
    return m_replies->dialog();
}

void MainWindow::openReply(const QString &account, const QString &to, const QString &subject)
{
    m_replies->open(account, to, subject);
}

void MainWindow::onSendFinished(bool ok, const QString &msg)
{
    m_replies->resultWithoutDialog(ok, msg);
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    if (m_vault->isLocked() == false)
        m_vault->lock();
    // Quitting closes every window first; hiding here would cancel the quit.
    if (m_quitting) {
        e->accept();
        return;
    }
    if (trayReachable()) {
        e->ignore();
        hide();
        m_tray->showMessage("MIRELO+", QString::fromLatin1(kCloseToTrayText), QSystemTrayIcon::Information, 2500);
        return;
    }
    // No tray to come back from: closing ends the program.
    e->accept();
    quitProgram();
}

namespace {

// The service pages' warnings go through the window's own message hook.
class WindowPageDialogs : public QObject, public PageDialogs
{
public:
    WindowPageDialogs(std::function<void(QMessageBox::Icon, const QString &)> message, QObject *parent)
        : QObject(parent), m_message(std::move(message))
    {
    }
    void warn(QWidget *, const QString &text) override { m_message(QMessageBox::Warning, text); }

private:
    std::function<void(QMessageBox::Icon, const QString &)> m_message;
};

} // namespace

// The vault, accounts, link and activity pages: each follows its service's
// change signals itself; the window gives them the status line, the page
// switches, the theme's plus icon, masked mode and its message hook.
void MainWindow::buildServicePages()
{
    m_autoLock = new AutoLock(m_vault, this, m_opt.vaultAutoLockMs);
    auto *dialogs = new WindowPageDialogs(m_opt.message, this);
    m_vaultPage = new VaultPage(m_vault, m_typer, m_autoLock, m_stack);
    m_vaultPage->setDialogs(dialogs);
    m_accountsPage = new AccountsPage(m_store, m_imap, m_stack);
    m_accountsPage->setDialogs(dialogs);
    m_linkPage = new LinkPage(m_link, m_stack);
    m_activityPage = new ActivityPage(m_store, m_stack);
    setPage(VaultPageIndex, m_vaultPage);
    setPage(AccountsPageIndex, m_accountsPage);
    setPage(LinkPageIndex, m_linkPage);
    setPage(ActivityPageIndex, m_activityPage);

    connect(m_vaultPage, &VaultPage::statusMessage, this, &MainWindow::setStatus);
    connect(m_accountsPage, &AccountsPage::statusMessage, this, &MainWindow::setStatus);
    connect(m_linkPage, &LinkPage::statusMessage, this, &MainWindow::setStatus);
    connect(m_accountsPage, &AccountsPage::showOnlyAccountRequested, this, &MainWindow::showOnlyAccount);
    connect(m_accountsPage, &AccountsPage::inboxRequested, this, [this] { switchPage(InboxPageIndex); });
    connect(this, &MainWindow::maskedModeEntered, m_vaultPage, [this] { m_vaultPage->setMasked(true); });
    connect(this, &MainWindow::themeChanged, this, [this] {
        const QIcon plus(primaryPlusIconPath());
        m_vaultPage->setPlusIcon(plus);
        m_accountsPage->setPlusIcon(plus);
        refreshAccounts();
        refreshVault();
    });
    const QIcon plus(primaryPlusIconPath());
    m_vaultPage->setPlusIcon(plus);
    m_accountsPage->setPlusIcon(plus);
    m_activityPage->setGuardStatus(protectionGuardStatus(m_opt.guard()));
    refreshHealth();
}

void MainWindow::refreshVault()
{
    if (m_vaultPage)
        m_vaultPage->refreshVault();
}

void MainWindow::refreshAccounts()
{
    if (m_accountsPage)
        m_accountsPage->refreshAccounts();
}

void MainWindow::updateVaultCodes()
{
    if (m_vaultPage)
        m_vaultPage->updateVaultCodes();
}

void MainWindow::showProviderHelp()
{
    if (m_accountsPage)
        m_accountsPage->showProviderHelp();
}

void MainWindow::refreshHealth()
{
    if (m_activityPage)
        m_activityPage->refreshHealth();
}
