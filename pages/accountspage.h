#pragma once

#include "mail/mailrecords.h"
#include "pages/pagetexts.h"
#include "oauth/oauthflow.h"
#include "transport/tokenservice.h"

#include <QIcon>
#include <QString>
#include <QWidget>

class ImapClient;
class MailStore;
class PageDialogs;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QNetworkAccessManager;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// Page 2: add a mailbox with its address and application password, test it,
// and manage the stored accounts.
class AccountsPage : public QWidget
{
    Q_OBJECT
public:
    AccountsPage(MailStore *store, ImapClient *imap, QWidget *parent = nullptr);

    void setDialogs(PageDialogs *dialogs);
    // The plus icon of the primary button for the current theme.
    void setPlusIcon(const QIcon &icon);

    QPlainTextEdit *testLog() const { return m_log; }
    QPushButton *testButton() const { return m_testBtn; }
    // "Yine de kaydet": shown after a failed test of the form's account.
    QPushButton *saveAnywayButton() const { return m_saveAnywayBtn; }
    // "Gelismis ayarlar (otomatik)" while the servers come from the address.
    QPushButton *advancedButton() const { return m_advancedBtn; }
    QListWidget *accountList() const { return m_list; }
    // "Microsoft ile oturum ac" / "Google ile oturum ac"; hidden for other providers.
    QPushButton *signInButton() const { return m_signInBtn; }
    // How the browser is opened and where providers sign in (tests: the
    // browser step and the endpoints of their own servers).
    void setSignInOptions(const OAuthFlowOptions &flow, const SignInEndpoints &endpoints);
    // The context menu of the account with this address (the caller owns it).
    QMenu *accountMenu(const QString &address, QWidget *parent = nullptr);

public slots:
    void refreshAccounts();
    void showProviderHelp();
    void onTestLog(const QString &msg);
    void onTestFinished(const QString &addr, bool ok, const QString &msg);
    // "Bagla ve Test Et".
    void connectAndTest();
    // A browser sign-in for the address in the form.
    void signIn();
    // A browser sign-in again for a stored account whose session ended.
    void signInAgain(const QString &address);
    // Stores the form's account although its test failed.
    void saveAnyway();
    // A new, empty form: no address, password or servers left from before.
    void resetForm();

signals:
    void statusMessage(const QString &msg);
    // "Sadece bu hesabin maillerini goster": the window filters the inbox and shows it.
    void showOnlyAccountRequested(const QString &address);
    // A successful test: the window switches to the inbox.
    void inboxRequested();

private:
    // The form as typed, password aside.
    AccountFormInput formInput() const;
    void updateServerPlaceholder();
    // Servers set by hand belong to the address they were set for; another
    // address gets its own from the catalogue.
    void onAddressChanged();
    void onServersEdited();
    void bindServersToAddress();
    bool serversSetByHand() const;
    void clearServerFields();
    void updateAdvancedLabel();
    // Shows the provider's sign-in and hides the password where it no longer works.
    void updateSignInOffer();
    void startSignIn(const EmailAccount &acc);
    void onSignedIn(const TokenReply &tokens);
    void onSignInFailed(const QString &error);
    void onContextMenu(const QPoint &pos);

    MailStore *m_store;
    ImapClient *m_imap;
    PageDialogs *m_dialogs;
    QComboBox *m_provider = nullptr;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_showBtn = nullptr;
    QPushButton *m_advancedBtn = nullptr;
    QWidget *m_advanced = nullptr;
    QLineEdit *m_host = nullptr;
    QLineEdit *m_port = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_smtpHost = nullptr;
    QLineEdit *m_smtpPort = nullptr;
    QCheckBox *m_smtpStartTls = nullptr;
    QComboBox *m_afterUse = nullptr;
    QPushButton *m_helpBtn = nullptr;
    QPushButton *m_signInBtn = nullptr;
    QWidget *m_passRow = nullptr;
    QNetworkAccessManager *m_nam = nullptr;
    OAuthFlow *m_flow = nullptr;
    SignInEndpoints m_endpoints;
    // The account the running sign-in is for: stored already (signing in
    // again) or to be made from the form.
    EmailAccount m_signInAccount;
    bool m_signInStored = false;
    QPushButton *m_testBtn = nullptr;
    QPushButton *m_saveAnywayBtn = nullptr;
    // Lower-cased address the hand-set servers were set for; empty while
    // they were set before any address (bound when the address is done).
    QString m_serversFor;
    bool m_clearingServers = false;
    // The form's account under test; stored only when the test succeeds.
    EmailAccount m_testing;
    bool m_testPending = false;
    QPlainTextEdit *m_log = nullptr;
    QListWidget *m_list = nullptr;
};
