#include "app/appservices.h"

#include "account/firebaseauth.h"
#include "desktop/autotyper.h"
#include "desktop/platform.h"
#include "clouddb/embeddeddb.h"
#include "link/linkmanager.h"
#include "mail/mailstore.h"
#include "protection/protectionservice.h"
#include "router/afteruse.h"
#include "router/coderouter.h"
#include "transport/imapclient.h"
#include "transport/smtpclient.h"
#include "vault/autolock.h"
#include "vault/totpmanager.h"

AppServices::AppServices(const AppServicesOptions &options, QObject *parent) : QObject(parent), m_options(options)
{
    registerMailMetaTypes();
    m_databaseUrl = m_options.databaseUrl.isEmpty() ? startDatabase() : m_options.databaseUrl;
    const Clock &clock = m_options.clock;
    m_store = new MailStore(this, clock);
    m_vault = new TotpManager(this, kVaultTickMs, clock, options.vaultSealing);
    m_autoLock = new AutoLock(m_vault, this, m_options.vaultAutoLockMs);
    m_typer = new AutoTyper(&nativeDesktopPlatform(), this);
    m_auth = new FirebaseAuth(this, m_databaseUrl, clock);
    m_imap = new ImapClient(m_store, this);
    m_smtp = new SmtpClient(this);
    m_smtp->setTokenService(m_imap->tokens());
    LinkOptions link;
    link.databaseBaseUrl = m_databaseUrl;
    link.clock = clock;
    m_link = new LinkManager(this, link);
    m_link->cleanUpLeftSessions();

    ProtectionOptions protection;
    protection.guardTickMs = m_options.guardTickMs;
    protection.guard = m_options.guard;
    protection.captureAvailable = m_options.captureAvailable;
    m_protection = new ProtectionService(protection, this);

    CodeRouterOptions routing;
    routing.clock = clock;
    routing.quietSeconds = m_options.quietSeconds;
    routing.notifyMs = m_options.notifyMs;
    routing.admitted = [auth = m_auth] { return auth->isLogged(); };
    m_router = new CodeRouter(routing, this);
    AfterUseOptions afterUse;
    afterUse.clock = clock;
    afterUse.undoMs = m_options.undoMs;
    afterUse.clipboardMs = m_typer->clipboardClearInterval();
    m_afterUse = new CodeAfterUse(m_store, afterUse, this);

    connect(m_store, &MailStore::newCode, m_router, &CodeRouter::onNewCode);
    connect(m_router, &CodeRouter::lastCodeChanged, m_typer, &AutoTyper::setLastText);
    connect(m_router, &CodeRouter::copyRequested, m_typer, &AutoTyper::copyToClipboard);
    connect(m_router, &CodeRouter::pushRequested, m_link, &LinkManager::pushCode);
    connect(m_protection, &ProtectionService::maskedChanged, m_router, &CodeRouter::setMasked);
    // The hotkey goes through the router's gate: a stale code is not typed.
    m_typer->setHotkeyAction([router = m_router, typer = m_typer] {
        const QString code = router->typableLastCode();
        if (!code.isEmpty())
            typer->autoType(code);
    });
    connect(m_router, &CodeRouter::autoCopied, m_afterUse, &CodeAfterUse::codeAutoCopied);
    connect(m_router, &CodeRouter::lastCodeTyped, m_afterUse, &CodeAfterUse::codeUsed);

    connect(m_auth, &FirebaseAuth::authChanged, this, &AppServices::onAuthChanged);
    if (m_auth->isLogged())
        m_activeUser = m_auth->displayName();
    else
        signedOut();
}

// The window and its pages go first (start-up resets the window before the
// services); the clients stop their sessions as they go.
AppServices::~AppServices() = default;

void AppServices::start()
{
    m_started = true;
    m_protection->start();
    if (m_options.registerHotkey)
        m_typer->registerHotkey();
    if (m_options.startPolling && m_auth->isLogged())
        m_imap->start();
}

void AppServices::onAuthChanged()
{
    if (!m_auth->isLogged())
        signedOut();
    else if (m_auth->displayName() != m_activeUser || m_imap->isStopped())
        signedIn();
}

void AppServices::signedOut()
{
    m_activeUser.clear();
    m_imap->stop();
    m_router->signedOut();
    m_afterUse->reset();
    m_typer->setLastText(QString());
    m_vault->lock();
    // The store now reads as nobody's: the memory is emptied, nothing is written.
    m_store->reload();
    m_vault->reload();
    m_link->reloadDevices();
}

void AppServices::signedIn()
{
    m_activeUser = m_auth->displayName();
    m_store->reload();
    m_vault->reload();
    m_link->reloadDevices();
    m_router->restartQuietPeriod();
    if (m_started && m_options.startPolling)
        m_imap->start();
}

QString AppServices::startDatabase()
{
    return startCloudDatabase(this, m_options.clock);
}
