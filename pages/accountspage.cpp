#include "pages/accountspage.h"

#include "pages/codeusesection.h"

#include "mail/mailstore.h"
#include "mail/providers.h"
#include "pages/lettericon.h"
#include "pages/pagedialogs.h"
#include "pages/pagetexts.h"
#include "pages/pagewidgets.h"
#include "transport/imapclient.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const QString kTestText = QStringLiteral("Bagla ve Test Et");
const QString kAdvancedAutoText = QStringLiteral("Gelismis ayarlar (otomatik)");
const QString kAdvancedHandText = QStringLiteral("Gelismis ayarlar (elle)");

QString formAddress(const QLineEdit *edit)
{
    return edit->text().trimmed().toLower();
}

QString noClientIdText(const MailProvider &p)
{
    return QStringLiteral("Oturum acilamiyor: %1 icin istemci kimligi (client id) ayarli degil. "
                          "Ayarlarda %2clientId anahtarini doldur (README'de anlatiliyor).")
        .arg(p.displayName, oauthSettingsPrefix(p.signIn));
}

} // namespace

AccountsPage::AccountsPage(MailStore *store, ImapClient *imap, QWidget *parent)
    : QWidget(parent), m_store(store), m_imap(imap), m_dialogs(PageDialogs::standard())
{
    // The open "Gelismis" form is taller than the page at the default window
    // size: it scrolls instead of squashing its fields.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("accountsScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget(scroll);
    content->setObjectName(QStringLiteral("accountsContent"));
    scroll->setWidget(content);
    outer->addWidget(scroll);
    auto *root = new QVBoxLayout(content);
    root->addWidget(classedLabel(QStringLiteral("Mail Bagla"), "h1", this));
    root->addWidget(classedLabel(
        QStringLiteral("Birden fazla mail ekleyebilirsin, hepsi ayni kutuda izlenir."), "pageSub", this));
    auto *hint = classedLabel(
        QStringLiteral("Sadece mail + sifre yeter. Sunucu otomatik bulunur. Sifre, mail saglayicindan aldigin "
                       "uygulama sifresidir (normal sifren degil). Outlook/Hotmail/Live/MSN ve istersen Gmail "
                       "tarayicida oturum acarak baglanir."),
        "muted", this);
    hint->setWordWrap(true);
    root->addWidget(hint);

    auto *card = new QWidget(this);
    card->setObjectName(QStringLiteral("card"));
    card->setAttribute(Qt::WA_StyledBackground);
    auto *form = new QVBoxLayout(card);

    m_provider = new QComboBox(card);
    m_provider->setProperty("class", QStringLiteral("combo"));
    m_provider->setCursor(Qt::PointingHandCursor);
    for (const MailProvider &p : providerCatalogue())
        m_provider->addItem(p.displayName, p.id);
    form->addWidget(m_provider);

    m_address = new QLineEdit(card);
    m_address->setPlaceholderText(QStringLiteral("Mail adresin: ") + QLatin1String(kExampleAddress));
    m_address->setClearButtonEnabled(true);
    form->addWidget(m_address);

    m_passRow = new QWidget(card);
    auto *passRow = new QHBoxLayout(m_passRow);
    passRow->setContentsMargins(0, 0, 0, 0);
    m_password = new QLineEdit(card);
    m_password->setPlaceholderText(QStringLiteral("Uygulama sifresi (saglayicidan alinir)"));
    m_password->setEchoMode(QLineEdit::Password);
    m_showBtn = classedButton(QStringLiteral("Goster"), "ghostBtn", card);
    m_showBtn->setCheckable(true);
    passRow->addWidget(m_password, 1);
    passRow->addWidget(m_showBtn);
    form->addWidget(m_passRow);
    m_signInBtn = classedButton(QString(), "primaryBtn", card);
    m_signInBtn->setObjectName(QStringLiteral("signInButton"));
    m_signInBtn->setVisible(false);
    form->addWidget(m_signInBtn, 0, Qt::AlignLeft);
    form->addWidget(afterUseRow(card, &m_afterUse));

    m_advancedBtn = classedButton(kAdvancedAutoText, "ghostBtn", card);
    m_advancedBtn->setCheckable(true);
    form->addWidget(m_advancedBtn, 0, Qt::AlignLeft);

    m_advanced = new QWidget(card);
    auto *adv = new QFormLayout(m_advanced);
    adv->setContentsMargins(0, 0, 0, 0);
    m_host = new QLineEdit(m_advanced);
    m_host->setPlaceholderText(QStringLiteral("otomatik"));
    m_port = new QLineEdit(m_advanced);
    m_port->setPlaceholderText(QStringLiteral("993 (otomatik)"));
    m_user = new QLineEdit(m_advanced);
    m_user->setPlaceholderText(QStringLiteral("bos = mail adresi kullanilir"));
    m_host->setObjectName(QStringLiteral("hostField"));
    m_port->setObjectName(QStringLiteral("portField"));
    m_user->setObjectName(QStringLiteral("userField"));
    adv->addRow(QStringLiteral("Sunucu:"), m_host);
    adv->addRow(QStringLiteral("Port:"), m_port);
    adv->addRow(QStringLiteral("Kullanici:"), m_user);
    // The outgoing server for replies; empty: the provider's.
    m_smtpHost = new QLineEdit(m_advanced);
    m_smtpHost->setObjectName(QStringLiteral("smtpHostField"));
    m_smtpHost->setPlaceholderText(QStringLiteral("otomatik"));
    m_smtpPort = new QLineEdit(m_advanced);
    m_smtpPort->setObjectName(QStringLiteral("smtpPortField"));
    m_smtpPort->setPlaceholderText(QStringLiteral("465 (SSL) / 587 (STARTTLS)"));
    m_smtpStartTls = new QCheckBox(QStringLiteral("STARTTLS (genelde 587)"), m_advanced);
    m_smtpStartTls->setObjectName(QStringLiteral("smtpStartTlsBox"));
    adv->addRow(QStringLiteral("Giden sunucu:"), m_smtpHost);
    adv->addRow(QStringLiteral("Giden port:"), m_smtpPort);
    adv->addRow(QString(), m_smtpStartTls);
    m_advanced->setVisible(false);
    form->addWidget(m_advanced);

    auto *btnRow = new QHBoxLayout;
    m_helpBtn = classedButton(QStringLiteral("Uygulama sifresi nasil alinir?"), "ghostBtn", card);
    m_testBtn = classedButton(kTestText, "primaryBtn", card);
    m_saveAnywayBtn = classedButton(QStringLiteral("Yine de kaydet"), "ghostBtn", card);
    m_saveAnywayBtn->setObjectName(QStringLiteral("saveAnywayButton"));
    m_saveAnywayBtn->setVisible(false);
    btnRow->addWidget(m_helpBtn);
    btnRow->addStretch(1);
    btnRow->addWidget(m_saveAnywayBtn);
    btnRow->addWidget(m_testBtn);
    form->addLayout(btnRow);
    root->addWidget(card);

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setProperty("class", QStringLiteral("log"));
    m_log->setFixedHeight(74);
    m_log->setPlaceholderText(QStringLiteral("Baglanti adimlari burada gorunur: sunucu > giris > inbox..."));
    root->addWidget(m_log);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("accList"));
    m_list->setSpacing(6);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    // A long reason wraps instead of hiding behind a sideways scroll bar.
    m_list->setWordWrap(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setMinimumHeight(140);
    root->addWidget(m_list, 1);
    auto *codeUse = new CodeUseSection(m_store, this);
    root->addWidget(codeUse);
    connect(codeUse, &CodeUseSection::statusMessage, this, &AccountsPage::statusMessage);

    connect(m_showBtn, &QPushButton::toggled, this, [this](bool on) {
        m_password->setEchoMode(on ? QLineEdit::Normal : QLineEdit::Password);
    });
    connect(m_advancedBtn, &QPushButton::toggled, m_advanced, &QWidget::setVisible);
    connect(m_address, &QLineEdit::textChanged, this, &AccountsPage::onAddressChanged);
    connect(m_address, &QLineEdit::editingFinished, this, &AccountsPage::bindServersToAddress);
    for (QLineEdit *field : {m_host, m_port, m_user, m_smtpHost, m_smtpPort})
        connect(field, &QLineEdit::textChanged, this, &AccountsPage::onServersEdited);
    connect(m_smtpStartTls, &QCheckBox::toggled, this, &AccountsPage::onServersEdited);
    connect(m_provider, &QComboBox::currentIndexChanged, this, &AccountsPage::onServersEdited);
    connect(m_provider, &QComboBox::currentIndexChanged, this, &AccountsPage::updateServerPlaceholder);
    connect(m_saveAnywayBtn, &QPushButton::clicked, this, &AccountsPage::saveAnyway);
    connect(m_address, &QLineEdit::textChanged, this, &AccountsPage::updateSignInOffer);
    connect(m_provider, &QComboBox::currentIndexChanged, this, &AccountsPage::updateSignInOffer);
    connect(m_signInBtn, &QPushButton::clicked, this, &AccountsPage::signIn);
    m_nam = new QNetworkAccessManager(this);
    OAuthFlowOptions flow;
    flow.openBrowser = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    setSignInOptions(flow, accountSignInEndpoints);
    connect(m_helpBtn, &QPushButton::clicked, this, &AccountsPage::showProviderHelp);
    connect(m_testBtn, &QPushButton::clicked, this, &AccountsPage::connectAndTest);
    connect(m_list, &QListWidget::customContextMenuRequested, this, &AccountsPage::onContextMenu);
    if (m_store)
        connect(m_store, &MailStore::accountsChanged, this, &AccountsPage::refreshAccounts);
    if (m_imap) {
        connect(m_imap, &ImapClient::testLog, this, &AccountsPage::onTestLog);
        connect(m_imap, &ImapClient::testFinished, this, &AccountsPage::onTestFinished);
        connect(m_imap, &ImapClient::instantChanged, this, &AccountsPage::refreshAccounts);
    }
    updateServerPlaceholder();
    refreshAccounts();
}

void AccountsPage::setDialogs(PageDialogs *dialogs)
{
    m_dialogs = dialogs ? dialogs : PageDialogs::standard();
}

void AccountsPage::setSignInOptions(const OAuthFlowOptions &flow, const SignInEndpoints &endpoints)
{
    delete m_flow;
    m_flow = new OAuthFlow(m_nam, flow, this);
    m_endpoints = endpoints ? endpoints : SignInEndpoints(accountSignInEndpoints);
    updateSignInOffer();
    connect(m_flow, &OAuthFlow::succeeded, this, &AccountsPage::onSignedIn);
    connect(m_flow, &OAuthFlow::failed, this, &AccountsPage::onSignInFailed);
}

void AccountsPage::updateSignInOffer()
{
    const MailProvider p = resolveProvider(m_address->text().trimmed(), m_provider->currentData().toString());
    const bool offered = !p.signIn.key.isEmpty();
    m_signInBtn->setVisible(offered);
    if (offered) {
        m_signInBtn->setText(p.signIn.buttonText);
        EmailAccount probe;
        probe.address = m_address->text().trimmed();
        probe.provider = p.id;
        m_signInBtn->setToolTip(m_endpoints(probe).isUsable() ? QString() : noClientIdText(p));
    }
    // Where application passwords no longer work, the form does not ask for one.
    const bool passwords = !offered || p.signIn.passwordsWork;
    m_passRow->setVisible(passwords);
    m_testBtn->setVisible(passwords);
}

void AccountsPage::signIn()
{
    AccountFormInput in = formInput();
    in.signedIn = true;
    const AccountFormResult r = accountFromForm(in);
    if (!r.ok) {
        m_dialogs->warn(this, r.error);
        return;
    }
    m_signInStored = false;
    startSignIn(r.account);
}

void AccountsPage::signInAgain(const QString &address)
{
    if (!m_store)
        return;
    for (const EmailAccount &acc : m_store->accounts()) {
        if (sameAccount(acc.address, address)) {
            m_signInStored = true;
            startSignIn(acc);
            return;
        }
    }
}

void AccountsPage::startSignIn(const EmailAccount &acc)
{
    const MailProvider p = resolveProvider(acc.address, acc.provider);
    const OAuthEndpoints endpoints = m_endpoints(acc);
    if (p.signIn.key.isEmpty() || !endpoints.isUsable()) {
        m_dialogs->warn(this, noClientIdText(p));
        return;
    }
    m_signInAccount = acc;
    m_log->clear();
    m_log->appendPlainText(QStringLiteral("Tarayicida oturum ac: %1 (%2)").arg(acc.address, p.displayName));
    m_signInBtn->setEnabled(false);
    if (!m_flow->start(endpoints, acc.address))
        return;
    m_log->appendPlainText(QStringLiteral("Tarayici acilmadiysa bu adresi ac: ")
                           + m_flow->authorizationPage().toString(QUrl::FullyEncoded));
}

void AccountsPage::onSignedIn(const TokenReply &tokens)
{
    m_signInBtn->setEnabled(true);
    EmailAccount acc = m_signInAccount;
    if (m_signInStored && m_store) {
        // The stored settings may have changed meanwhile; only the session is new.
        for (const EmailAccount &held : m_store->accounts()) {
            if (sameAccount(held.address, acc.address))
                acc = held;
        }
    }
    acc.auth = resolveProvider(acc.address, acc.provider).signIn.mechanism;
    acc.refreshToken = tokens.refreshToken;
    acc.pass.clear();
    acc.accessToken.clear();
    acc.loginRefused = false;
    acc.lastError.clear();
    acc.enabled = true;
    m_log->appendPlainText(QStringLiteral("Oturum acildi. Baglanti test ediliyor..."));
    m_testBtn->setEnabled(false);
    m_testBtn->setText(QStringLiteral("Test ediliyor..."));
    if (m_imap)
        m_imap->tokens()->signedIn(acc.address, tokens);
    if (m_store)
        m_store->addOrUpdateAccount(acc);
    m_password->clear();
    if (m_imap)
        m_imap->testAccount(acc);
}

void AccountsPage::onSignInFailed(const QString &error)
{
    m_signInBtn->setEnabled(true);
    m_log->appendPlainText(QStringLiteral("HATA: ") + error);
    m_dialogs->warn(this, error);
}

void AccountsPage::setPlusIcon(const QIcon &icon)
{
    m_testBtn->setIcon(icon);
}

void AccountsPage::updateServerPlaceholder()
{
    // Exactly what an empty field stands for: the servers the account would get.
    QString id = m_provider->currentData().toString();
    if (id.isEmpty())
        id = QStringLiteral("auto");
    const MailProvider p = resolveProvider(m_address->text().trimmed(), id);
    m_host->setPlaceholderText(p.host.isEmpty() ? QStringLiteral("otomatik") : p.host + QStringLiteral(" (otomatik)"));
    m_port->setPlaceholderText(QStringLiteral("%1 (otomatik)").arg(p.port != 0 ? p.port : 993));
    m_smtpHost->setPlaceholderText(p.smtpHost.isEmpty()
                                       ? QStringLiteral("otomatik")
                                       : QStringLiteral("%1:%2 (otomatik)").arg(p.smtpHost).arg(p.smtpPort));
}

bool AccountsPage::serversSetByHand() const
{
    for (const QLineEdit *field : {m_host, m_port, m_user, m_smtpHost, m_smtpPort})
        if (!field->text().trimmed().isEmpty())
            return true;
    return m_smtpStartTls->isChecked() || m_provider->currentData().toString() != QLatin1String("auto");
}

void AccountsPage::onServersEdited()
{
    if (m_clearingServers)
        return;
    m_serversFor = serversSetByHand() ? formAddress(m_address) : QString();
    updateAdvancedLabel();
}

void AccountsPage::bindServersToAddress()
{
    if (serversSetByHand() && m_serversFor.isEmpty())
        m_serversFor = formAddress(m_address);
}

void AccountsPage::onAddressChanged()
{
    // Servers set for one address never carry another's password.
    if (serversSetByHand() && !m_serversFor.isEmpty() && formAddress(m_address) != m_serversFor)
        clearServerFields();
    updateServerPlaceholder();
    m_saveAnywayBtn->setVisible(false);
}

void AccountsPage::clearServerFields()
{
    m_clearingServers = true;
    for (QLineEdit *field : {m_host, m_port, m_user, m_smtpHost, m_smtpPort})
        field->clear();
    m_smtpStartTls->setChecked(false);
    m_provider->setCurrentIndex(qMax(0, m_provider->findData(QStringLiteral("auto"))));
    m_clearingServers = false;
    m_serversFor.clear();
    updateAdvancedLabel();
}

void AccountsPage::updateAdvancedLabel()
{
    m_advancedBtn->setText(serversSetByHand() ? kAdvancedHandText : kAdvancedAutoText);
}

void AccountsPage::resetForm()
{
    m_address->clear();
    m_password->clear();
    m_afterUse->setCurrentIndex(0);
    clearServerFields();
    m_saveAnywayBtn->setVisible(false);
    updateServerPlaceholder();
    updateSignInOffer();
}

AccountFormInput AccountsPage::formInput() const
{
    AccountFormInput in;
    in.providerId = m_provider->currentData().toString();
    if (in.providerId.isEmpty())
        in.providerId = QStringLiteral("auto");
    in.address = m_address->text();
    in.host = m_host->text();
    in.port = m_port->text();
    in.user = m_user->text();
    in.smtpHost = m_smtpHost->text();
    in.smtpPort = m_smtpPort->text();
    in.smtpStartTls = m_smtpStartTls->isChecked();
    in.afterUse = AfterUse(m_afterUse->currentData().toInt());
    return in;
}

void AccountsPage::connectAndTest()
{
    AccountFormInput in = formInput();
    in.password = m_password->text();
    const AccountFormResult r = accountFromForm(in);
    if (!r.ok) {
        m_dialogs->warn(this, r.error);
        return;
    }
    bindServersToAddress();
    const EmailAccount &acc = r.account;
    m_log->clear();
    m_log->appendPlainText(QStringLiteral("Test baslatildi: %1 (%2:%3)").arg(acc.address, acc.host).arg(acc.port));
    m_testBtn->setEnabled(false);
    m_testBtn->setText(QStringLiteral("Test ediliyor..."));
    m_saveAnywayBtn->setVisible(false);
    // Stored only once the test succeeds; a failure leaves the choice to the user.
    m_testing = acc;
    m_testPending = true;
    if (m_imap)
        m_imap->testAccount(acc);
}

void AccountsPage::saveAnyway()
{
    AccountFormInput in = formInput();
    in.password = m_password->text();
    const AccountFormResult r = accountFromForm(in);
    if (!r.ok) {
        m_dialogs->warn(this, r.error);
        return;
    }
    if (m_store)
        m_store->addOrUpdateAccount(r.account);
    m_log->appendPlainText(QStringLiteral("Kaydedildi (test basarisizdi): ") + r.account.address);
    emit statusMessage(QStringLiteral("Kaydedildi: %1 (test basarisizdi, yoklanacak)").arg(r.account.address));
    resetForm();
}

void AccountsPage::onTestLog(const QString &msg)
{
    m_log->appendPlainText(msg);
    emit statusMessage(msg);
}

void AccountsPage::onTestFinished(const QString &addr, bool ok, const QString &msg)
{
    m_testBtn->setEnabled(true);
    m_testBtn->setText(kTestText);
    const bool formTest = m_testPending && sameAccount(addr, m_testing.address);
    if (formTest) {
        m_testPending = false;
        if (ok && m_store)
            m_store->addOrUpdateAccount(m_testing);
        m_testing = EmailAccount();
        if (ok)
            resetForm();
        else
            m_saveAnywayBtn->setVisible(true);
    }
    m_log->appendPlainText((ok ? QStringLiteral("OK: ") : QStringLiteral("HATA: ")) + msg);
    emit statusMessage((ok ? QStringLiteral("Baglandi: ") : QStringLiteral("Hata: ")) + addr
                       + QStringLiteral(" — ") + msg);
    if (ok) {
        if (m_imap)
            m_imap->pollNow();
        emit inboxRequested();
    } else {
        m_dialogs->warn(this, msg);
    }
    refreshAccounts();
}

void AccountsPage::showProviderHelp()
{
    QString id = m_provider->currentData().toString();
    if (id.isEmpty())
        id = QStringLiteral("auto");
    QString address = m_address->text().trimmed();
    if (address.isEmpty())
        address = QLatin1String(kExampleAddress);
    m_dialogs->inform(this, QStringLiteral("Uygulama sifresi"), providerHelpText(id, address));
}

void AccountsPage::refreshAccounts()
{
    m_list->clear();
    const QList<EmailAccount> accounts = m_store ? m_store->accounts() : QList<EmailAccount>();
    for (const EmailAccount &acc : accounts) {
        const bool healthy = acc.enabled && !acc.loginRefused && acc.lastError.isEmpty();
        QString text = acc.address + QStringLiteral("  —  ") + accountListStatus(acc);
        // How new mail arrives: at once over IDLE, or with the next poll.
        if (healthy) {
            const bool instant = m_imap && m_imap->isInstant(acc.address);
            text += instant ? QStringLiteral("  ·  anlik") : QStringLiteral("  ·  her 25 sn");
        }
        auto *item = new QListWidgetItem(text, m_list);
        item->setData(Qt::UserRole, acc.address);
        // The server's own words, for the curious.
        if (!acc.lastError.isEmpty())
            item->setToolTip(acc.lastError);
        item->setIcon(letterIcon(QColor(healthy ? kLetterGreen : kLetterGrey), firstLetterUpper(acc.address)));
        if (!acc.enabled)
            item->setForeground(QColor(kLetterGrey));
        if (acc.enabled && acc.loginRefused && usesOAuth(acc)) {
            // The session ended at the provider: one click starts a new sign-in.
            auto *row = new QWidget(m_list);
            auto *rowLayout = new QHBoxLayout(row);
            rowLayout->setContentsMargins(0, 0, 4, 0);
            rowLayout->addStretch(1);
            auto *again = classedButton(QStringLiteral("Yeniden oturum ac"), "ghostBtn", row);
            again->setObjectName(QStringLiteral("signInAgainButton"));
            const QString addr = acc.address;
            connect(again, &QPushButton::clicked, this, [this, addr] { signInAgain(addr); });
            rowLayout->addWidget(again);
            m_list->setItemWidget(item, row);
        }
    }
    if (accounts.isEmpty()) {
        auto *item = new QListWidgetItem(
            QStringLiteral("Henuz bagli mail yok. Yukaridan mail + sifre gir, Bagla ve Test Et'e bas."), m_list);
        item->setFlags(Qt::NoItemFlags);
    }
}

QMenu *AccountsPage::accountMenu(const QString &address, QWidget *parent)
{
    if (!m_store)
        return nullptr;
    EmailAccount acc;
    bool found = false;
    for (const EmailAccount &a : m_store->accounts()) {
        if (sameAccount(a.address, address)) {
            acc = a;
            found = true;
            break;
        }
    }
    if (!found)
        return nullptr;

    auto *menu = new QMenu(parent);
    const QString addr = acc.address;
    menu->addAction(QStringLiteral("Sadece bu hesabin maillerini goster"), this,
                    [this, addr] { emit showOnlyAccountRequested(addr); });
    menu->addAction(QStringLiteral("Test et"), this, [this, acc] {
        m_log->clear();
        if (m_imap)
            m_imap->testAccount(acc);
    });
    // A refused login has stopped polling as a pause would; "Devam et" resumes both.
    if (usesOAuth(acc))
        menu->addAction(QStringLiteral("Yeniden oturum ac"), this, [this, addr] { signInAgain(addr); });
    const bool running = acc.enabled && !acc.loginRefused;
    menu->addAction(running ? QStringLiteral("Duraklat") : QStringLiteral("Devam et"), this,
                    [this, addr, running] { m_store->setAccountEnabled(addr, !running); });
    addAfterUseMenu(menu, m_store, addr);
    menu->addAction(QStringLiteral("Kaldir"), this, [this, addr] {
        if (m_dialogs->ask(this, addr + QStringLiteral(" kaldirilsin mi?")))
            m_store->removeAccount(addr);
    });
    return menu;
}

void AccountsPage::onContextMenu(const QPoint &pos)
{
    QListWidgetItem *item = m_list->itemAt(pos);
    if (!item)
        return;
    const QString address = item->data(Qt::UserRole).toString();
    if (address.isEmpty())
        return;
    QMenu *menu = accountMenu(address, this);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_list->viewport()->mapToGlobal(pos));
}
