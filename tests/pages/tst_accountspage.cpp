#include "mail/mailstore.h"
#include "pages/accountspage.h"
#include "pages/codeusesection.h"
#include "recordingdialogs.h"
#include "support/isolatedsettings.h"
#include "transport/imapclient.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QUrlQuery>
#include <QtTest>

#include <memory>

namespace {

// A loopback port nobody listens on: the test session fails at connect.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

} // namespace

class TestAccountsPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void formRefusalsKeepContents();
    void serverPlaceholderFollowsAddress();
    void handSetServersBelongToTheirAddress();
    void testStoresAccountAndWaitsForResult();
    void retestUpdatesStoredAccount();
    void listStatusesAndMenu();
    void providerHelp();
    void browserSignInOffer();
    void markedSignInAccountOffersANewSignIn();
    void silencedListIsEditable();

private:
    QLineEdit *edit(const QString &placeholderStart) const;
    QLineEdit *portEdit() const;
    QPushButton *button(const QString &text) const;
    void fillForm(const QString &address, const QString &password, const QString &host, const QString &port);

    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_owner;
    MailStore *m_store = nullptr;
    ImapClient *m_imap = nullptr;
    AccountsPage *m_page = nullptr;
};

void TestAccountsPage::init()
{
    m_settings = std::make_unique<IsolatedSettings>();
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_owner = std::make_unique<QWidget>();
    m_store = new MailStore(m_owner.get());
    m_imap = new ImapClient(m_store, m_owner.get());
    m_page = new AccountsPage(m_store, m_imap, m_owner.get());
    m_page->setDialogs(m_dialogs.get());
}

void TestAccountsPage::cleanup()
{
    m_owner.reset();
    m_dialogs.reset();
    m_settings.reset();
}

QLineEdit *TestAccountsPage::edit(const QString &placeholderStart) const
{
    for (QLineEdit *e : m_page->findChildren<QLineEdit *>())
        if (e->placeholderText().startsWith(placeholderStart))
            return e;
    return nullptr;
}

QLineEdit *TestAccountsPage::portEdit() const
{
    return m_page->findChild<QLineEdit *>(QStringLiteral("portField"));
}

QPushButton *TestAccountsPage::button(const QString &text) const
{
    for (QPushButton *b : m_page->findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

void TestAccountsPage::fillForm(const QString &address, const QString &password, const QString &host,
                                const QString &port)
{
    edit(QStringLiteral("Mail adresin"))->setText(address);
    edit(QStringLiteral("Uygulama sifresi"))->setText(password);
    m_page->findChild<QLineEdit *>(QStringLiteral("hostField"))->setText(host);
    portEdit()->setText(port);
}

void TestAccountsPage::formRefusalsKeepContents()
{
    // A new form is empty: every server comes from the address.
    QVERIFY(portEdit()->text().isEmpty());
    const QStringList badPorts{QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("abc")};
    for (const QString &port : badPorts) {
        fillForm(QStringLiteral("ali@firma.com"), QStringLiteral("pw"), QString(), port);
        button(QStringLiteral("Bagla ve Test Et"))->click();
        QCOMPARE(m_dialogs->warnings.last(), QStringLiteral("Port 993 olmali."));
    }
    QCOMPARE(m_dialogs->warnings.size(), 3);
    // Nothing stored, nothing tested, the form as the user left it.
    QVERIFY(m_store->accounts().isEmpty());
    QVERIFY(button(QStringLiteral("Bagla ve Test Et"))->isEnabled());
    QCOMPARE(edit(QStringLiteral("Uygulama sifresi"))->text(), QStringLiteral("pw"));
    QCOMPARE(edit(QStringLiteral("Mail adresin"))->text(), QStringLiteral("ali@firma.com"));

    fillForm(QStringLiteral("ali@"), QStringLiteral("pw"), QString(), QString());
    button(QStringLiteral("Bagla ve Test Et"))->click();
    QVERIFY(m_dialogs->warnings.last().startsWith(QStringLiteral("Gecerli bir mail yaz: ")));
    QVERIFY(m_store->accounts().isEmpty());

    // Show/hide of the password.
    QLineEdit *pass = edit(QStringLiteral("Uygulama sifresi"));
    QCOMPARE(pass->echoMode(), QLineEdit::Password);
    button(QStringLiteral("Goster"))->click();
    QCOMPARE(pass->echoMode(), QLineEdit::Normal);
    button(QStringLiteral("Goster"))->click();
    QCOMPARE(pass->echoMode(), QLineEdit::Password);
}

void TestAccountsPage::serverPlaceholderFollowsAddress()
{
    QLineEdit *host = m_page->findChild<QLineEdit *>(QStringLiteral("hostField"));
    QLineEdit *addr = edit(QStringLiteral("Mail adresin"));
    QTest::keyClicks(addr, QStringLiteral("veli@outlook.com"));
    QVERIFY(host->placeholderText().endsWith(QStringLiteral(" (otomatik)")));
    QVERIFY(host->placeholderText() != QStringLiteral("otomatik"));
    const QString outlook = host->placeholderText();
    addr->clear();
    QTest::keyClicks(addr, QStringLiteral("veli@sirket.com.tr"));
    QCOMPARE(host->placeholderText(), QStringLiteral("imap.sirket.com.tr (otomatik)"));
    QCOMPARE(portEdit()->placeholderText(), QStringLiteral("993 (otomatik)"));
    QCOMPARE(m_page->advancedButton()->text(), QStringLiteral("Gelismis ayarlar (otomatik)"));

    // A provider chosen by hand shows its own servers, and says it is set by hand.
    auto *combo = m_page->findChild<QComboBox *>();
    combo->setCurrentIndex(combo->findData(QStringLiteral("gmail")));
    QCOMPARE(host->placeholderText(), QStringLiteral("imap.gmail.com (otomatik)"));
    QCOMPARE(m_page->advancedButton()->text(), QStringLiteral("Gelismis ayarlar (elle)"));
    // Another address: the choice was for the one before.
    addr->clear();
    QTest::keyClicks(addr, QStringLiteral("veli@outlook.com"));
    QCOMPARE(host->placeholderText(), outlook);
    QCOMPARE(combo->currentData().toString(), QStringLiteral("auto"));
    QCOMPARE(m_page->advancedButton()->text(), QStringLiteral("Gelismis ayarlar (otomatik)"));
}

void TestAccountsPage::handSetServersBelongToTheirAddress()
{
    QLineEdit *addr = edit(QStringLiteral("Mail adresin"));
    QLineEdit *host = m_page->findChild<QLineEdit *>(QStringLiteral("hostField"));
    QLineEdit *user = m_page->findChild<QLineEdit *>(QStringLiteral("userField"));
    QLineEdit *smtp = m_page->findChild<QLineEdit *>(QStringLiteral("smtpHostField"));
    // Set before any address: they are for the address typed next.
    host->setText(QStringLiteral("127.0.0.1"));
    portEdit()->setText(QStringLiteral("9931"));
    QCOMPARE(m_page->advancedButton()->text(), QStringLiteral("Gelismis ayarlar (elle)"));
    QTest::keyClicks(addr, QStringLiteral("ali@firma.com"));
    QCOMPARE(host->text(), QStringLiteral("127.0.0.1"));
    emit addr->editingFinished();
    user->setText(QStringLiteral("ali"));
    smtp->setText(QStringLiteral("127.0.0.1"));
    // Editing the address: another address, the catalogue's servers.
    QTest::keyClick(addr, Qt::Key_Backspace);
    for (QLineEdit *field : {host, portEdit(), user, smtp})
        QVERIFY(field->text().isEmpty());
    QCOMPARE(m_page->advancedButton()->text(), QStringLiteral("Gelismis ayarlar (otomatik)"));
    // What the empty fields stand for is what the address gets.
    addr->setText(QStringLiteral("veli@gmail.com"));
    QCOMPARE(host->placeholderText(), QStringLiteral("imap.gmail.com (otomatik)"));
    QCOMPARE(smtp->placeholderText(), QStringLiteral("smtp.gmail.com:465 (otomatik)"));
    // Set again for this address, they stay while it does.
    host->setText(QStringLiteral("127.0.0.2"));
    addr->setText(QStringLiteral("VELI@gmail.com "));
    QCOMPARE(host->text(), QStringLiteral("127.0.0.2"));
}

void TestAccountsPage::testStoresAccountAndWaitsForResult()
{
    QSignalSpy finished(m_imap, &ImapClient::testFinished);
    QSignalSpy status(m_page, &AccountsPage::statusMessage);
    QSignalSpy inbox(m_page, &AccountsPage::inboxRequested);
    const quint16 port = closedPort();
    fillForm(QStringLiteral("ali@firma.com"), QStringLiteral("uygulama-sifresi"), QStringLiteral("127.0.0.1"),
             QString::number(port));
    auto *afterUse = m_page->findChild<QComboBox *>(QStringLiteral("afterUseBox"));
    QCOMPARE(afterUse->currentData().toInt(), int(AfterUse::Leave)); // "Dokunma" unless chosen
    afterUse->setCurrentIndex(afterUse->findData(int(AfterUse::MoveToTrash)));
    QPushButton *test = button(QStringLiteral("Bagla ve Test Et"));
    test->click();

    QVERIFY(!test->isEnabled());
    QCOMPARE(test->text(), QStringLiteral("Test ediliyor..."));
    QCOMPARE(m_page->testLog()->toPlainText().split(QLatin1Char('\n')).first(),
             QStringLiteral("Test baslatildi: ali@firma.com (127.0.0.1:%1)").arg(port));
    // Nothing stored while the test runs.
    QVERIFY(m_store->accounts().isEmpty());

    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    QTRY_VERIFY(test->isEnabled());
    QCOMPARE(test->text(), QStringLiteral("Bagla ve Test Et"));
    const QString msg = finished.at(0).at(2).toString();
    QVERIFY(m_page->testLog()->toPlainText().endsWith(QStringLiteral("HATA: ") + msg));
    QCOMPARE(m_dialogs->warnings, QStringList{msg});
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("Hata: ali@firma.com — ") + msg);
    QCOMPARE(inbox.size(), 0);
    // A failed test stores nothing: the form stays as it was, and the user decides.
    QVERIFY(m_store->accounts().isEmpty());
    QCOMPARE(edit(QStringLiteral("Mail adresin"))->text(), QStringLiteral("ali@firma.com"));
    QCOMPARE(edit(QStringLiteral("Uygulama sifresi"))->text(), QStringLiteral("uygulama-sifresi"));
    QVERIFY(m_page->saveAnywayButton()->isVisibleTo(m_page));
    m_page->saveAnywayButton()->click();
    QCOMPARE(m_store->accounts().size(), 1);
    const EmailAccount stored = m_store->accounts().at(0);
    QCOMPARE(stored.host, QStringLiteral("127.0.0.1"));
    QCOMPARE(stored.port, port);
    QCOMPARE(stored.pass, QStringLiteral("uygulama-sifresi"));
    QCOMPARE(stored.afterUse, AfterUse::MoveToTrash);
    QCOMPARE(afterUse->currentData().toInt(), int(AfterUse::Leave));
    // changed later from the account's menu, the password and servers kept
    std::unique_ptr<QMenu> menu(m_page->accountMenu(stored.address, m_page));
    QMenu *choice = nullptr;
    for (QAction *a : menu->actions())
        if (a->menu() && a->text() == QStringLiteral("Kod kullanildiktan sonra"))
            choice = a->menu();
    QVERIFY(choice);
    QVERIFY(choice->actions().at(2)->isChecked());
    choice->actions().at(1)->trigger();
    QCOMPARE(m_store->accounts().at(0).afterUse, AfterUse::MarkSeen);
    QCOMPARE(m_store->accounts().at(0).pass, QStringLiteral("uygulama-sifresi"));
    QCOMPARE(MailStore().accounts().at(0).afterUse, AfterUse::MarkSeen);
    // then a new, empty form
    QVERIFY(!m_page->saveAnywayButton()->isVisibleTo(m_page));
    QVERIFY(edit(QStringLiteral("Mail adresin"))->text().isEmpty());
    QVERIFY(edit(QStringLiteral("Uygulama sifresi"))->text().isEmpty());
    QVERIFY(m_page->findChild<QLineEdit *>(QStringLiteral("hostField"))->text().isEmpty());
}

void TestAccountsPage::retestUpdatesStoredAccount()
{
    QSignalSpy finished(m_imap, &ImapClient::testFinished);
    fillForm(QStringLiteral("ali@firma.com"), QStringLiteral("eski"), QStringLiteral("127.0.0.1"),
             QString::number(closedPort()));
    button(QStringLiteral("Bagla ve Test Et"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    m_page->saveAnywayButton()->click();
    fillForm(QStringLiteral("ALI@firma.com"), QStringLiteral("yeni"), QStringLiteral("127.0.0.2"), QString());
    button(QStringLiteral("Bagla ve Test Et"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 20000);
    // refused again: the stored account keeps its settings until the user saves
    QCOMPARE(m_store->accounts().at(0).pass, QStringLiteral("eski"));
    m_page->saveAnywayButton()->click();
    QCOMPARE(m_store->accounts().size(), 1);
    QCOMPARE(m_store->accounts().at(0).address, QStringLiteral("ALI@firma.com"));
    QCOMPARE(m_store->accounts().at(0).pass, QStringLiteral("yeni"));
    QCOMPARE(m_store->accounts().at(0).host, QStringLiteral("127.0.0.2"));
    // Empty port: the detected provider's.
    QCOMPARE(m_store->accounts().at(0).port, quint16(993));
}

void TestAccountsPage::listStatusesAndMenu()
{
    QListWidget *list = m_page->accountList();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->flags(), Qt::NoItemFlags);

    EmailAccount a;
    a.address = QStringLiteral("ali@firma.com");
    a.host = QStringLiteral("imap.firma.com");
    a.pass = QStringLiteral("x");
    m_store->addOrUpdateAccount(a);
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("ali@firma.com  —  kaydedildi, yoklaniyor...  ·  her 25 sn"));
    // Its IDLE connection up and down again: the row follows at once.
    m_imap->onInstantChanged(QStringLiteral("ALI@firma.com"), true);
    QCOMPARE(list->item(0)->text(), QStringLiteral("ali@firma.com  —  kaydedildi, yoklaniyor...  ·  anlik"));
    m_imap->onInstantChanged(QStringLiteral("ali@firma.com"), false);
    QVERIFY(list->item(0)->text().endsWith(QStringLiteral("  ·  her 25 sn")));
    QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), QStringLiteral("ali@firma.com"));
    const QImage green = list->item(0)->icon().pixmap(32, 32).toImage();
    QCOMPARE(QColor(green.pixel(3, 16)).name(), QStringLiteral("#22c55e"));

    m_store->setAccountError(a.address, QString(120, QLatin1Char('x')));
    QCOMPARE(list->item(0)->text(),
             QStringLiteral("ali@firma.com  —  hata: ") + QString(90, QLatin1Char('x')));

    // Pause through the menu: grey icon, grey text, "Devam et" offered.
    std::unique_ptr<QMenu> menu(m_page->accountMenu(QStringLiteral("ALI@FIRMA.COM")));
    QVERIFY(menu);
    QStringList texts;
    for (QAction *act : menu->actions())
        texts << act->text();
    QCOMPARE(texts, (QStringList{QStringLiteral("Sadece bu hesabin maillerini goster"), QStringLiteral("Test et"),
                                 QStringLiteral("Duraklat"), QStringLiteral("Kod kullanildiktan sonra"),
                                 QStringLiteral("Kaldir")}));
    menu->actions().at(2)->trigger();
    QVERIFY(!m_store->accounts().at(0).enabled);
    QCOMPARE(list->item(0)->text(), QStringLiteral("ali@firma.com  —  duraklatildi"));
    const QImage grey = list->item(0)->icon().pixmap(32, 32).toImage();
    QCOMPARE(QColor(grey.pixel(3, 16)).name(), QStringLiteral("#77777f"));
    QCOMPARE(list->item(0)->foreground().color().name(), QStringLiteral("#77777f"));

    menu.reset(m_page->accountMenu(a.address));
    QCOMPARE(menu->actions().at(2)->text(), QStringLiteral("Devam et"));
    menu->actions().at(2)->trigger();
    QVERIFY(m_store->accounts().at(0).enabled);

    QSignalSpy only(m_page, &AccountsPage::showOnlyAccountRequested);
    menu.reset(m_page->accountMenu(a.address));
    menu->actions().at(0)->trigger();
    QCOMPARE(only.size(), 1);
    QCOMPARE(only.at(0).at(0).toString(), a.address);

    // Remove asks first; "No" keeps the account.
    m_dialogs->answer = false;
    menu->actions().last()->trigger(); // "Kaldir"
    QCOMPARE(m_dialogs->questions, QStringList{QStringLiteral("ali@firma.com kaldirilsin mi?")});
    QCOMPARE(m_store->accounts().size(), 1);
    m_dialogs->answer = true;
    menu->actions().last()->trigger();
    QVERIFY(m_store->accounts().isEmpty());
    QCOMPARE(list->item(0)->flags(), Qt::NoItemFlags);

    QVERIFY(!m_page->accountMenu(QStringLiteral("yok@firma.com")));
}

void TestAccountsPage::providerHelp()
{
    button(QStringLiteral("Uygulama sifresi nasil alinir?"))->click();
    QCOMPARE(m_dialogs->infoTitles, QStringList{QStringLiteral("Uygulama sifresi")});
    const QString text = m_dialogs->infos.last();
    // No address typed: the example address, a Gmail one.
    QVERIFY(text.contains(QStringLiteral("Secili saglayici: Gmail (imap.gmail.com)\nNot: ")));
    QVERIFY(text.endsWith(QStringLiteral("hicbir buluta gonderilmez.")));

    edit(QStringLiteral("Mail adresin"))->setText(QStringLiteral("ali@firma.com"));
    button(QStringLiteral("Uygulama sifresi nasil alinir?"))->click();
    QVERIFY(m_dialogs->infos.last().contains(
        QStringLiteral("Secili saglayici: Diger / Ozel IMAP (imap.firma.com)\n\nSifreler")));
}

void TestAccountsPage::browserSignInOffer()
{
    QPushButton *signIn = m_page->signInButton();
    QLineEdit *pass = edit(QStringLiteral("Uygulama sifresi"));
    QLineEdit *addr = edit(QStringLiteral("Mail adresin"));
    // Microsoft: the sign-in in place of the password, which no longer works there.
    addr->setText(QStringLiteral("veli@hotmail.com"));
    QVERIFY(!signIn->isHidden());
    QCOMPARE(signIn->text(), QStringLiteral("Microsoft ile oturum ac"));
    QVERIFY(!pass->isVisibleTo(m_page));
    QVERIFY(!m_page->testButton()->isVisibleTo(m_page));
    // Gmail: both ways.
    addr->setText(QStringLiteral("veli@gmail.com"));
    QCOMPARE(signIn->text(), QStringLiteral("Google ile oturum ac"));
    QVERIFY(!signIn->isHidden());
    QVERIFY(pass->isVisibleTo(m_page));
    QVERIFY(m_page->testButton()->isVisibleTo(m_page));
    // Others as before.
    addr->setText(QStringLiteral("veli@yahoo.com"));
    QVERIFY(signIn->isHidden());
    QVERIFY(pass->isVisibleTo(m_page));

    // No client id in the settings: said plainly, nothing stored, no browser.
    bool opened = false;
    OAuthFlowOptions flow;
    flow.openBrowser = [&opened](const QUrl &) { return opened = true; };
    m_page->setSignInOptions(flow, accountSignInEndpoints);
    addr->setText(QStringLiteral("veli@live.com"));
    QVERIFY(signIn->toolTip().startsWith(QStringLiteral("Oturum acilamiyor: ")));
    signIn->click();
    QCOMPARE(m_dialogs->warnings.size(), 1);
    QVERIFY(m_dialogs->warnings.last().startsWith(QStringLiteral("Oturum acilamiyor: ")));
    QVERIFY(m_dialogs->warnings.last().contains(QStringLiteral("oauth/microsoft/clientId")));
    QVERIFY(!opened);
    QVERIFY(m_store->accounts().isEmpty());

    // The help does not send Microsoft users after an application password.
    button(QStringLiteral("Uygulama sifresi nasil alinir?"))->click();
    QVERIFY(m_dialogs->infos.last().contains(QStringLiteral("Microsoft ile oturum ac")));
    QVERIFY(!m_dialogs->infos.last().contains(QStringLiteral("'Uygulama sifresi' uret")));
}

void TestAccountsPage::markedSignInAccountOffersANewSignIn()
{
    EmailAccount acc;
    acc.address = QStringLiteral("veli@outlook.com");
    acc.provider = QStringLiteral("outlook");
    acc.host = QStringLiteral("127.0.0.1");
    acc.auth = MailAuth::XOAuth2;
    acc.refreshToken = QStringLiteral("rt");
    m_store->addOrUpdateAccount(acc);
    m_store->setAccountLoginRefused(acc.address, QStringLiteral("Yeniden oturum acilmali: saglayici oturumu sonlandirdi."));
    QListWidget *list = m_page->accountList();
    QCOMPARE(list->count(), 1);
    QVERIFY(list->item(0)->text().contains(QStringLiteral("Yeniden oturum acilmali")));
    auto *again = m_page->findChild<QPushButton *>(QStringLiteral("signInAgainButton"));
    QVERIFY(again);
    QUrl opened;
    OAuthFlowOptions flow;
    flow.openBrowser = [&opened](const QUrl &url) {
        opened = url;
        return true;
    };
    // The stored account's provider and address go to the browser.
    m_page->setSignInOptions(flow, [](const EmailAccount &) {
        OAuthEndpoints e;
        e.authorizeUrl = QUrl(QStringLiteral("http://127.0.0.1:9/authorize"));
        e.tokenUrl = QUrl(QStringLiteral("http://127.0.0.1:9/token"));
        e.clientId = QStringLiteral("cid");
        return e;
    });
    again->click();
    QVERIFY(m_dialogs->warnings.isEmpty());
    QVERIFY(opened.isValid());
    QCOMPARE(QUrlQuery(opened).queryItemValue(QStringLiteral("login_hint"), QUrl::FullyDecoded), acc.address);
    // A password account has no such button.
    EmailAccount plain = acc;
    plain.address = QStringLiteral("ali@firma.com");
    plain.auth = MailAuth::Password;
    plain.pass = QStringLiteral("pw");
    m_store->addOrUpdateAccount(plain);
    m_store->setAccountLoginRefused(plain.address, QStringLiteral("Sifre reddedildi."));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // rows of the old list
    QCOMPARE(m_page->findChildren<QPushButton *>(QStringLiteral("signInAgainButton")).size(), 1);
}

void TestAccountsPage::silencedListIsEditable()
{
    auto *section = m_page->findChild<CodeUseSection *>();
    QVERIFY(section);
    QSignalSpy status(section, &CodeUseSection::statusMessage);
    section->silenceField()->setText(QStringLiteral(" Shop.com "));
    section->addFromField();
    section->silenceField()->setText(QStringLiteral("Ali@Firma.com"));
    section->addFromField();
    QVERIFY(m_store->silencedSenders().covers(QStringLiteral("x@news.shop.com")));
    QVERIFY(m_store->silencedSenders().covers(QStringLiteral("ali@firma.com")));
    QVERIFY(!m_store->silencedSenders().covers(QStringLiteral("veli@firma.com")));
    QCOMPARE(section->silencedList()->count(), 2);
    section->silenceField()->setText(QStringLiteral("shop.com")); // there already
    section->addFromField();
    QCOMPARE(status.last().first().toString(),
             QStringLiteral("Gonderici eklenemedi: gecersiz ya da zaten listede (shop.com)"));
    QCOMPARE(section->silenceField()->text(), QStringLiteral("shop.com")); // kept to fix
    section->silencedList()->setCurrentRow(0);
    section->removeSelected();
    QVERIFY(!m_store->silencedSenders().covers(QStringLiteral("x@news.shop.com")));
    QCOMPARE(section->silencedList()->count(), 1);
}

QTEST_MAIN(TestAccountsPage)
#include "tst_accountspage.moc"
