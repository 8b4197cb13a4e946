#pragma once

#include "core/clock.h"
#include "vault/vaultbox.h"

#include <QObject>
#include <QString>

#include <functional>

class AutoLock;
class AutoTyper;
class CodeAfterUse;
class CodeRouter;
class FirebaseAuth;
class ImapClient;
class LinkManager;
class MailStore;
class ProtectionService;
class SmtpClient;
class TotpManager;

// What the services are built with; tests replace the clock, the intervals,
// the guard and the endpoints.
struct AppServicesOptions
{
    // Cloud database base URL; empty: the configured one or the embedded server.
    QString databaseUrl;
    Clock clock;
    int quietSeconds = 45;
    int notifyMs = 3000;
    int guardTickMs = 5000;
    // The vault locks itself this long after the last unlock or code copy.
    int vaultAutoLockMs = 300000;
    // Cost and randomness of the vault's boxes; tests pass the smallest cost.
    VaultSealing vaultSealing;
    // Whether an analysis environment is present.
    std::function<bool()> guard;
    // Whether capture protection does anything on this platform.
    std::function<bool()> captureAvailable;
    bool startPolling = true;
    bool registerHotkey = true;
    // How long a move to the trash can be taken back.
    int undoMs = 10000;
};

// Every service of the program, built once at start-up and wired to each
// other: mails to the new-code router, the router to the typer and the link,
// masked mode to the router. The window only connects pages to them.
class AppServices : public QObject
{
    Q_OBJECT
public:
    explicit AppServices(const AppServicesOptions &options = AppServicesOptions(), QObject *parent = nullptr);
    ~AppServices() override;

    // Starts what runs on its own: the guard, the hotkey and, once a user
    // is signed in, mail polling. Called once the window listens.
    void start();
    // The user whose data the services hold; empty while signed out.
    QString activeUser() const { return m_activeUser; }

    QString databaseUrl() const { return m_databaseUrl; }
    const Clock &clock() const { return m_options.clock; }
    MailStore *store() const { return m_store; }
    TotpManager *vault() const { return m_vault; }
    AutoLock *vaultAutoLock() const { return m_autoLock; }
    AutoTyper *typer() const { return m_typer; }
    FirebaseAuth *auth() const { return m_auth; }
    ImapClient *imap() const { return m_imap; }
    SmtpClient *smtp() const { return m_smtp; }
    LinkManager *link() const { return m_link; }
    ProtectionService *protection() const { return m_protection; }
    CodeRouter *router() const { return m_router; }
    CodeAfterUse *afterUse() const { return m_afterUse; }

private:
    // The configured database, or the embedded server started here.
    QString startDatabase();
    // Signed out, nothing of the last user's runs or stays in memory; a
    // user signing in gets their own accounts, vault and devices.
    void onAuthChanged();
    void signedOut();
    void signedIn();

    AppServicesOptions m_options;
    QString m_databaseUrl;
    MailStore *m_store = nullptr;
    TotpManager *m_vault = nullptr;
    AutoLock *m_autoLock = nullptr;
    AutoTyper *m_typer = nullptr;
    FirebaseAuth *m_auth = nullptr;
    ImapClient *m_imap = nullptr;
    SmtpClient *m_smtp = nullptr;
    LinkManager *m_link = nullptr;
    ProtectionService *m_protection = nullptr;
    CodeRouter *m_router = nullptr;
    CodeAfterUse *m_afterUse = nullptr;
    QString m_activeUser;
    bool m_started = false;
};
