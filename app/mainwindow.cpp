#include "app/mainwindow.h"

#include "account/firebaseauth.h"
#include "app/appservices.h"
#include "app/replycontroller.h"
#include "app/servicepages.h"
#include "theme/theme.h"
#include "app/titlebar.h"
#include "app/tray.h"
#include "app/windowtray.h"
#include "desktop/autotyper.h"
#include "link/linkmanager.h"
#include "mail/codetrust.h"
#include "mail/mailstore.h"
#include "pages/accountspage.h"
#include "pages/activitypage.h"
#include "pages/categorydialog.h"
#include "pages/inboxfilter.h"
#include "pages/inboxpage.h"
#include "pages/linkpage.h"
#include "pages/sidebar.h"
#include "pages/vaultpage.h"
#include "protection/protectionservice.h"
#include "router/afteruse.h"
#include "router/coderouter.h"
#include "router/notifytext.h"
#include "transport/imapclient.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

MainWindow::MainWindow(AppServices *services, const MainWindowOptions &options, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_opt(options)
{
    if (!m_opt.trayFactory)
        m_opt.trayFactory = createSystemTray;
    if (!m_opt.runDialog)
        m_opt.runDialog = execDialog;
    if (!m_opt.quit)
        m_opt.quit = [] { QCoreApplication::quit(); };
    if (!m_opt.message)
        m_opt.message = standardMessageHook(this);
    initMireloResources();
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, false);
    resize(1080, 680);
    setMinimumSize(920, 560);
    setWindowTitle("MIRELO+");
    setWindowIcon(logoIcon());

    buildLayout();
    buildServicePages();
    m_windowTray = new WindowTray(this, m_services, m_opt.trayFactory(this), m_opt.quit);
    applyTheme();
    connectServices();
    m_inbox->refreshMailList();
    refreshUserChip();
    m_services->protection()->protectWindow(winId());
}

MainWindow::~MainWindow() = default;

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
    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    rootLay->addLayout(body, 1);
    m_filter = new InboxFilter(m_services->store(), this);
    m_sidebar = new Sidebar(m_services->store(), m_filter, root);
    body->addWidget(m_sidebar);

    auto *content = new QWidget(root);
    content->setObjectName("content");
    content->setAttribute(Qt::WA_StyledBackground, true);
    auto *contentLay = new QVBoxLayout(content);
    contentLay->setContentsMargins(24, 18, 24, 10);
    contentLay->setSpacing(8);
    m_stack = new QStackedWidget(content);
    m_inbox = new InboxPage(m_services->store(), m_filter, m_stack);
    m_stack->addWidget(m_inbox);
    for (int i = VaultPageIndex; i < PageCount; ++i)
        m_stack->addWidget(new QWidget(m_stack));
    contentLay->addWidget(m_stack, 1);
    m_status = new QLabel(QString::fromLatin1(kInitialStatus), content);
    // Server errors, device and account names end up here.
    m_status->setTextFormat(Qt::PlainText);
    m_status->setObjectName("statusLine");
    m_status->setProperty("class", "muted");
    m_undo = new QPushButton(QStringLiteral("Geri al"), content);
    m_undo->setObjectName("undoButton");
    m_undo->setProperty("class", "ghostBtn");
    m_undo->hide();
    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_undo);
    contentLay->addLayout(statusRow);
    body->addWidget(content, 1);
    setCentralWidget(root);
    m_mailRefreshTimer = new QTimer(this);
    m_mailRefreshTimer->setSingleShot(true);
    m_mailRefreshTimer->setInterval(m_opt.mailRefreshMs);
    m_ageTimer = new QTimer(this);
    m_ageTimer->setInterval(m_opt.ageRefreshMs);
    m_ageTimer->start();
}

void MainWindow::buildServicePages()
{
    const ServicePages pages = ::buildServicePages(m_services, m_stack, m_opt.message);
    m_vaultPage = pages.vault;
    m_accountsPage = pages.accounts;
    m_linkPage = pages.link;
    m_activityPage = pages.activity;
    setPage(VaultPageIndex, m_vaultPage);
    setPage(AccountsPageIndex, m_accountsPage);
    setPage(LinkPageIndex, m_linkPage);
    setPage(ActivityPageIndex, m_activityPage);
}

void MainWindow::connectServices()
{
    AppServices *s = m_services;
    m_replies = new ReplyController(s->store(), s->smtp(), this, m_opt.message);
    connect(m_titleBar, &TitleBar::minimizeRequested, this, &QWidget::showMinimized);
    connect(m_titleBar, &TitleBar::maximizeRequested, this, [this] { isMaximized() ? showNormal() : showMaximized(); });
    connect(m_titleBar, &TitleBar::closeRequested, m_windowTray, &WindowTray::hideToTray);
    connect(m_sidebar, &Sidebar::pageRequested, this, &MainWindow::switchPage);
    connect(m_sidebar, &Sidebar::themeToggleRequested, this, &MainWindow::toggleTheme);
    connect(m_sidebar, &Sidebar::signOutRequested, this, &MainWindow::signOut);
    connect(m_sidebar, &Sidebar::categoryDialogRequested, this, [this] {
        CategoryDialog dialog(m_services->store(), this);
        m_opt.runDialog(&dialog);
    });
    connect(m_mailRefreshTimer, &QTimer::timeout, m_inbox, &InboxPage::refreshMailList);
    // the counts beside the categories follow the mails too
    connect(m_mailRefreshTimer, &QTimer::timeout, m_sidebar, &Sidebar::refreshCategories);
    connect(s->store(), &MailStore::mailsChanged, m_mailRefreshTimer, qOverload<>(&QTimer::start));
    connect(m_filter, &InboxFilter::changed, m_mailRefreshTimer, qOverload<>(&QTimer::start));
    connect(s->store(), &MailStore::categoriesChanged, m_sidebar, &Sidebar::refreshCategories);
    connect(m_inbox, &InboxPage::searchEdited, m_mailRefreshTimer, qOverload<>(&QTimer::start));
    connect(m_inbox, &InboxPage::refreshRequested, s->imap(), &ImapClient::pollNow);
    connect(m_inbox, &InboxPage::refreshRequested, m_inbox, &InboxPage::refreshMailList);
    connect(m_inbox, &InboxPage::copyRequested, s->router(), &CodeRouter::copyCode);
    connect(m_inbox, &InboxPage::quietCopyRequested, s->typer(), &AutoTyper::copyToClipboard);
    connect(m_inbox, &InboxPage::typeRequested, s->router(), &CodeRouter::typeCode);
    connect(m_inbox, &InboxPage::replyRequested, m_replies, &ReplyController::open);
    connect(m_inbox, &InboxPage::showOnlyAccountRequested, this, &MainWindow::showOnlyAccount);
    connect(m_inbox, &InboxPage::statusMessage, this, &MainWindow::setStatus);
    connect(m_vaultPage, &VaultPage::statusMessage, this, &MainWindow::setStatus);
    connect(m_accountsPage, &AccountsPage::statusMessage, this, &MainWindow::setStatus);
    connect(m_linkPage, &LinkPage::statusMessage, this, &MainWindow::setStatus);
    connect(m_accountsPage, &AccountsPage::showOnlyAccountRequested, this, &MainWindow::showOnlyAccount);
    connect(m_accountsPage, &AccountsPage::inboxRequested, this, [this] { switchPage(InboxPageIndex); });

    connect(s->auth(), &FirebaseAuth::authChanged, this, &MainWindow::refreshUserChip);
    connect(s->auth(), &FirebaseAuth::authError, this, &MainWindow::setStatus);
    connect(s->auth(), &FirebaseAuth::authOk, this, &MainWindow::setStatus);
    connect(s->imap(), &ImapClient::status, this, &MainWindow::setStatus);
    connect(s->imap(), &ImapClient::testLog, this, &MainWindow::setStatus);
    connect(s->link(), &LinkManager::linkLog, this, &MainWindow::setStatus);
    connect(m_replies, &ReplyController::status, this, &MainWindow::setStatus);

    CodeRouter *router = s->router();
    router->setNoticesShown(m_windowTray->tray() != nullptr);
    connect(router, &CodeRouter::status, this, &MainWindow::setStatus);
    connect(router, &CodeRouter::notice, m_windowTray, &WindowTray::showNotice);
    connect(router, &CodeRouter::typeRequested, this, [this](const QString &code) {
        showMinimized();
        m_services->typer()->autoType(code);
    });
    CodeAfterUse *afterUse = s->afterUse();
    connect(m_inbox, &InboxPage::codeUsed, afterUse, &CodeAfterUse::codeUsed);
    connect(afterUse, &CodeAfterUse::status, this, &MainWindow::setStatus);
    connect(afterUse, &CodeAfterUse::notice, m_windowTray, &WindowTray::showNotice);
    connect(afterUse, &CodeAfterUse::undoAvailable, m_undo, &QWidget::setVisible);
    connect(m_undo, &QPushButton::clicked, afterUse, &CodeAfterUse::undo);
    connect(m_windowTray, &WindowTray::undoRequested, afterUse, &CodeAfterUse::undo);
    connect(m_ageTimer, &QTimer::timeout, m_mailRefreshTimer, qOverload<>(&QTimer::start));
    connect(m_ageTimer, &QTimer::timeout, this, [this] {
        const MailItem last = m_services->router()->lastMail();
        const qint64 age = last.code.isEmpty() ? -1 : codeAgeSeconds(last, m_services->clock().now());
        m_windowTray->setCodeAge(codeAgeText(age));
    });
    connect(router, &CodeRouter::codeTaken, this, [this] {
        if (isVisible() && !isMinimized())
            QApplication::alert(this, 3000);
    });

    ProtectionService *protection = s->protection();
    connect(protection, &ProtectionService::status, this, &MainWindow::setStatus);
    connect(protection, &ProtectionService::notice, m_windowTray, &WindowTray::showNotice);
    connect(m_windowTray, &WindowTray::status, this, &MainWindow::setStatus);
    connect(protection, &ProtectionService::maskedChanged, m_inbox, &InboxPage::setMasked);
    connect(protection, &ProtectionService::maskedChanged, m_inbox, &InboxPage::refreshMailList);
}

void MainWindow::setPage(PageIndex index, QWidget *page)
{
    if (index <= InboxPageIndex || index >= PageCount || !page)
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

void MainWindow::showOnlyAccount(const QString &addr)
{
    m_filter->setAccount(addr);
    switchPage(InboxPageIndex);
    m_sidebar->refreshCategories();
    setStatus(QStringLiteral("Filtre: ") + addr);
}

void MainWindow::switchPage(PageIndex page)
{
    if (page < InboxPageIndex || page >= PageCount)
        return;
    // One marked entry in the sidebar: the page's own, or the inbox's filter.
    m_sidebar->setCurrentPage(page);
    fadeTo(page);
}

void MainWindow::fadeTo(PageIndex page)
{
    m_currentPage = page;
    QWidget *widget = m_stack->widget(page);
    m_stack->setCurrentIndex(page);
    auto *effect = new QGraphicsOpacityEffect(widget);
    effect->setOpacity(0.0);
    widget->setGraphicsEffect(effect);
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

void MainWindow::applyTheme()
{
    const bool light = isLightTheme();
    const QString sheet = themeStyleSheet();
    if (!sheet.isNull())
        setStyleSheet(sheet);
    setWindowIcon(logoIcon());
    m_windowTray->setIcon(logoIcon());
    m_sidebar->setLightTheme(light);
    m_titleBar->refreshTheme();
    m_inbox->setLightTheme(light);
    const QIcon plus(primaryPlusIconPath());
    m_vaultPage->setPlusIcon(plus);
    m_accountsPage->setPlusIcon(plus);
}

void MainWindow::toggleTheme()
{
    setLightTheme(!isLightTheme());
    applyTheme();
    m_mailRefreshTimer->start();
    m_accountsPage->refreshAccounts();
    m_vaultPage->refreshVault();
}

void MainWindow::refreshUserChip()
{
    FirebaseAuth *auth = m_services->auth();
    if (auth->isLogged())
        m_sidebar->setUser(auth->displayName(), auth->displayName().left(1).toUpper());
    else
        m_sidebar->setUser(QStringLiteral("Giris bekleniyor"), QStringLiteral("?"));
}

void MainWindow::signOut()
{
    FirebaseAuth *auth = m_services->auth();
    auth->signOut();
    if (auth->isLogged())
        return;
    // Nothing of the last user's codes stays on screen behind the sign-in,
    // and the codes stay out of sight until the next user is let in. The
    // services have emptied themselves already (see AppServices).
    m_windowTray->lockVault();
    m_vaultPage->clearFields();
    m_accountsPage->resetForm();
    m_accountsPage->testLog()->clear();
    m_filter->setAccount(QString());
    m_filter->setCategory(QString());
    m_inbox->searchField()->clear();
    m_inbox->refreshMailList();
    m_sidebar->refreshCategories();
    setStatus(QString::fromLatin1(kInitialStatus));
    const bool wasVisible = isVisible();
    hide();
    if (!runSignInGate(auth, this, m_opt.runDialog)) {
        m_windowTray->quitProgram();
        return;
    }
    if (wasVisible)
        showNormal();
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    m_windowTray->handleClose(e);
}
