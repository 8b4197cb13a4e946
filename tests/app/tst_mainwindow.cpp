// The window's frame: chrome, pages and their slots, text shown as text,
// the theme, the title bar, replies, the sidebar's marks and the tray menu's
// settings entries.
#include "app/mainwindow.h"
#include "app/replycontroller.h"
#include "theme/theme.h"
#include "app/titlebar.h"
#include "app/windowtray.h"
#include "link/linkmanager.h"
#include "link/linkpayload.h"
#include "mail/mailstore.h"
#include "pages/inboxmodel.h"
#include "pages/inboxpage.h"
#include "pages/sidebar.h"
#include "router/coderouter.h"
#include "transport/replydialog.h"
#include "windowfixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>

namespace {

// A loopback port nothing listens on.
quint16 freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost);
    return s.serverPort();
}

// What Qt shows for a tool tip: it renders one that looks like HTML.
QString shownToolTip(const QString &tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument doc;
    doc.setHtml(tip);
    return doc.toPlainText();
}

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage();
}

} // namespace

class TestMainWindow : public WindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { startDatabase(); }
    void init() { resetState(); }

    void textFromOutsideIsShownAsText()
    {
        // Markup in a display name, a device name, a category and a server
        // error: every label, tip and button shows it literally.
        const QString evil = "<b>Kotu</b> & <img src=x>";
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", evil);
        PairedDevice dev{"ABCDEFGH", evil, QString(64, 'a'), "2026-01-01T10:00:00"};
        s.setValue("link/devices", QString::fromUtf8(serializePairedDevices({dev})));
        auto w = makeWindow();
        w->show();
        w.services->store()->addOrUpdateCategory(Category{evil, "game", {evil}});
        w->sidebar()->refreshCategories();
        emit w.services->link()->linkLog(QStringLiteral("Eslesme tamam: ") + evil);
        w->setStatus(QStringLiteral("Sunucu: ") + evil);
        for (int page = 0; page < w->pageStack()->count(); ++page) {
            w->switchPage(PageIndex(page));
            QCoreApplication::processEvents();
        }
        int seen = 0;
        for (QLabel *l : w->findChildren<QLabel *>()) {
            if (!l->text().contains("Kotu"))
                continue;
            ++seen;
            QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->text()));
        }
        QVERIFY(seen >= 3); // user chip, link page log, status line
        seen = 0;
        for (QWidget *widget : w->findChildren<QWidget *>()) {
            if (!widget->toolTip().contains("Kotu"))
                continue;
            ++seen;
            QVERIFY2(shownToolTip(widget->toolTip()).contains(evil), qPrintable(widget->toolTip()));
        }
        QVERIFY(seen >= 2); // user chip, category button
        bool categoryButton = false;
        for (QPushButton *b : w->sidebar()->categoryButtons()) {
            if (!b->text().contains("Kotu"))
                continue;
            categoryButton = true;
            // '&' shown as such, never a shortcut
            QVERIFY(QKeySequence::mnemonic(b->text()).isEmpty());
        }
        QVERIFY(categoryButton);
    }

    void startsWithChromeTrayAndFivePages()
    {
        auto w = makeWindow();
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w->size(), QSize(1080, 680));
        QCOMPARE(w->minimumSize(), QSize(920, 560));
        QCOMPARE(w->pageStack()->count(), 5);
        QCOMPARE(w->statusLine()->text(), QString("Hazir. Demo veriyle baslayabilirsin."));
        QCOMPARE(w.services->router()->quietUntil(), m_now + 45);
        QVERIFY(m_tray && m_tray->visible);
        QCOMPARE(m_tray->toolTip, QString("MIRELO+ - arka planda calisiyor"));
        QStringList items;
        for (QAction *a : m_tray->menu->actions())
            items << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(items, QStringList({"Goster", "Son kodu otomatik yaz (Ctrl+Shift+V)", "Ekran yakalama korumasi",
                                     "Oturum acilinca baslat", "-", "Cikis"}));
        // a new page lands in its slot
        auto *page = new QWidget;
        w->setPage(VaultPageIndex, page);
        QCOMPARE(w->pageStack()->widget(VaultPageIndex), page);
        QCOMPARE(w->pageStack()->count(), 5);
    }

    void tenChangesCostOneRebuild()
    {
        auto w = makeWindow();
        const int before = w->inboxPage()->rebuildCount();
        for (int i = 0; i < 10; ++i)
            w.services->store()->markSeen("none");
        QCOMPARE(w->inboxPage()->rebuildCount(), before);
        QTRY_COMPARE(w->inboxPage()->rebuildCount(), before + 1);
        QTest::qWait(400);
        QCOMPARE(w->inboxPage()->rebuildCount(), before + 1);
        // the search field goes through the same debounce
        w->inboxPage()->searchField()->setText("a");
        w->inboxPage()->searchField()->setText("ab");
        QTRY_COMPARE(w->inboxPage()->rebuildCount(), before + 2);
    }

    void themeSwitchTwiceRestoresEverything()
    {
        auto w = makeWindow();
        QVERIFY(!isLightTheme());
        const QString sheet = w->styleSheet();
        QVERIFY(sheet.contains(".mailCardNew"));
        const QString btnText = w->sidebar()->themeButton()->text();
        QCOMPARE(btnText, QString("  Acik Tema"));
        QPushButton *vaultBtn = w->sidebar()->navButtons().at(1);
        const QImage vaultIcon = iconImage(vaultBtn->icon());
        const QImage closeIcon = iconImage(w->titleBar()->closeButton()->icon());

        w->toggleTheme();
        QVERIFY(isLightTheme());
        QCOMPARE(QSettings("MIRELOPLUS", "MireloPlus").value("theme").toString(), QString("light"));
        QVERIFY(w->styleSheet() != sheet);
        QCOMPARE(w->sidebar()->themeButton()->text(), QString("  Koyu Tema"));
        QVERIFY(iconImage(vaultBtn->icon()) != vaultIcon);
        QVERIFY(iconImage(w->titleBar()->closeButton()->icon()) != closeIcon);

        w->toggleTheme();
        QCOMPARE(w->styleSheet(), sheet);
        QCOMPARE(w->sidebar()->themeButton()->text(), btnText);
        QCOMPARE(iconImage(vaultBtn->icon()), vaultIcon);
        QCOMPARE(iconImage(w->titleBar()->closeButton()->icon()), closeIcon);
    }

    void onlyExactLightIsLight()
    {
        QSettings("MIRELOPLUS", "MireloPlus").setValue("theme", "Light");
        QVERIFY(!isLightTheme());
        QCOMPARE(iconPath("inbox"), QString(":/icons/inbox.svg"));
        auto w = makeWindow();
        QFile dark(":/style.qss");
        QVERIFY(dark.open(QIODevice::ReadOnly));
        QCOMPARE(w->styleSheet(), QString::fromUtf8(dark.readAll()));
        QSettings("MIRELOPLUS", "MireloPlus").setValue("theme", "light");
        QCOMPARE(iconPath("inbox"), QString(":/icons/inbox_dark.svg"));
        QCOMPARE(primaryPlusIconPath(), QString(":/icons/plus_light.svg"));
    }

    void everyThemeIconExists()
    {
        initMireloResources();
        const QStringList names = {"accounts", "close", "copy", "filter", "game", "inbox", "link", "logo", "max", "min",
                                   "moon", "plus", "refresh", "search", "send", "settings", "shield", "sun", "vault"};
        for (const QString &n : names) {
            QVERIFY2(QFile::exists(":/icons/" + n + ".svg"), qPrintable(n));
            QVERIFY2(QFile::exists(":/icons/" + n + "_dark.svg"), qPrintable(n));
            QVERIFY2(!QIcon(":/icons/" + n + ".svg").pixmap(16, 16).isNull(), qPrintable(n));
        }
        QVERIFY(QFile::exists(":/icons/plus_light.svg"));
        QVERIFY(!QImage(":/logo.png").isNull());
        QVERIFY(!QImage(":/logo_full.png").isNull());
    }

    void logoFileInTheWorkingFolderWins()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("resources"));
        QImage red(64, 64, QImage::Format_ARGB32);
        red.fill(QColor("#FF0000"));
        QVERIFY(red.save(dir.path() + "/resources/logo.png"));
        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QImage title = titleLogoPixmap(22).toImage();
        const QImage icon = logoIcon().pixmap(32, 32).toImage();
        QDir::setCurrent(old);
        QCOMPARE(title.size(), QSize(22, 22));
        QCOMPARE(QColor(title.pixel(11, 11)), QColor("#FF0000"));
        QCOMPARE(QColor(icon.pixel(16, 16)), QColor("#FF0000"));
        // without it the embedded logo is used
        QVERIFY(QColor(titleLogoPixmap(22).toImage().pixel(11, 11)) != QColor("#FF0000"));
    }

    void titleBarButtonsAndDoubleClick()
    {
        auto w = makeWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        TitleBar *bar = w->titleBar();
        QCOMPARE(bar->height(), 40);
        QCOMPARE(bar->closeButton()->property("class").toString(), QString("titleBtnClose"));
        QCOMPARE(bar->minimizeButton()->toolTip(), QString("Kucult"));
        QSignalSpy max(bar, &TitleBar::maximizeRequested);
        QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(300, 20));
        QCOMPARE(max.size(), 1);
        bar->maximizeButton()->click();
        QCOMPARE(max.size(), 2);
    }

    void replyNeedsAKnownAccount()
    {
        auto w = makeWindow();
        w->replies()->open("nobody@example.com", "x@y.com", "Konu");
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].second, QString("Hesap bulunamadi: nobody@example.com"));
        QVERIFY(!w->replies()->dialog());

        EmailAccount acc;
        acc.address = "Me@Example.com";
        w.services->store()->addOrUpdateAccount(acc);
        w->replies()->open("me@example.com", "x@y.com", "Konu");
        QPointer<ReplyDialog> first = w->replies()->dialog();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->subject(), QString("Re: Konu"));
        w->replies()->open("me@example.com", "z@y.com", "Diger");
        QVERIFY(w->replies()->dialog() != first);
        QTRY_VERIFY(!first); // the first one was closed and deleted
        QCOMPARE(w->replies()->dialog()->toAddress(), QString("z@y.com"));
    }

    void emptyReplyKeepsWhatWasWritten()
    {
        auto w = makeWindow();
        EmailAccount acc;
        acc.address = "me@example.com";
        w.services->store()->addOrUpdateAccount(acc);
        w->replies()->open("me@example.com", "", "Konu");
        QPointer<ReplyDialog> dialog = w->replies()->dialog();
        auto *body = dialog->findChild<QPlainTextEdit *>();
        QVERIFY(body);
        body->setPlainText("yazdigim cevap");
        emit dialog->sendRequested();
        QCOMPARE(m_messages.last().second, QString("Alici ve mesaj gerekli."));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(w->replies()->dialog(), dialog.data());
        QCOMPARE(dialog->body(), QString("yazdigim cevap"));
    }

    void replyGoesToTheBareSenderAndAFailureKeepsTheText()
    {
        auto w = makeWindow();
        // the outgoing server set by hand; nothing listens there
        const quint16 port = freePort();
        EmailAccount acc;
        acc.address = "me@example.com";
        acc.pass = "secret";
        acc.smtpHost = "127.0.0.1";
        acc.smtpPort = port;
        acc.smtpStartTls = true;
        w.services->store()->addOrUpdateAccount(acc);

        // from the card's own menu
        MailItem m = codeMail("123456", "GitHub <noreply@github.com>");
        m.account = "me@example.com";
        w.services->store()->addMail(m);
        w->inboxPage()->refreshMailList();
        QListView *list = w->inboxPage()->mailList();
        list->resize(600, 400);
        std::unique_ptr<QMenu> menu(w->inboxPage()->contextMenuAt(list->visualRect(list->model()->index(0, 0)).center(), w.get()));
        QVERIFY(menu);
        QAction *reply = nullptr;
        for (QAction *a : menu->actions())
            if (a->text() == "Cevapla")
                reply = a;
        QVERIFY(reply);
        reply->trigger();
        QPointer<ReplyDialog> first = w->replies()->dialog();
        QVERIFY(first);
        QCOMPARE(first->toAddress(), QString("noreply@github.com"));
        QCOMPARE(first->subject(), QString("Re: Giris kodun"));

        first->findChild<QPlainTextEdit *>()->setPlainText("ilk cevap");
        emit first->sendRequested();
        QVERIFY(first->isBusy());
        // a second window while the first one is still sending
        w->replies()->open("me@example.com", "Biri <biri@example.com>", "Baska");
        QPointer<ReplyDialog> second = w->replies()->dialog();
        QVERIFY(second != first);
        QCOMPARE(second->toAddress(), QString("biri@example.com"));

        // the failure lands in the window that sent, which stays open with its text
        QTRY_VERIFY_WITH_TIMEOUT(!first->isBusy(), 15000);
        QVERIFY(first->isVisible());
        QCOMPARE(first->body(), QString("ilk cevap"));
        const QString shown = first->findChild<QLabel *>("replyStatus")->text();
        QVERIFY2(shown.contains(QString("127.0.0.1:%1").arg(port)), qPrintable(shown));
        QVERIFY2(shown.contains("baglanti reddedildi"), qPrintable(shown));
        QVERIFY2(!shown.contains("refused", Qt::CaseInsensitive), qPrintable(shown));
        QVERIFY(second->findChild<QLabel *>("replyStatus")->text().isEmpty());
        QVERIFY(second->isVisible());
        // the technical text stays at hand as a tool tip
        QVERIFY(first->findChild<QLabel *>("replyStatus")->toolTip().contains("refused", Qt::CaseInsensitive));
    }

    void sendResultWithoutDialogWarnsOnlyOnFailure()
    {
        auto w = makeWindow();
        w->replies()->resultWithoutDialog(true, "Cevap gonderildi: a@b.com");
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(w->statusLine()->text(), QString("Cevap gonderildi: a@b.com"));
        w->replies()->resultWithoutDialog(false, "Sifre reddedildi.");
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].first, QMessageBox::Warning);
    }

    void oneSidebarEntryIsMarked()
    {
        auto w = makeWindow();
        w.services->store()->loadDemoMails();
        auto marked = [&] {
            QStringList out;
            for (QPushButton *b : w->sidebar()->navButtons() + w->sidebar()->categoryButtons())
                if (b->isChecked())
                    out << b->text().trimmed();
            return out;
        };
        const QString category = w.services->store()->categories().first().name;
        w->sidebar()->categoryButtons().first()->click();
        QCoreApplication::processEvents();
        QCOMPARE(marked().size(), 1);
        QVERIFY(marked().first().startsWith(category));
        w->switchPage(VaultPageIndex);
        QCoreApplication::processEvents();
        QCOMPARE(marked(), QStringList{"MIRELO Kasasi"});
        // a click on the page's own button again keeps it marked
        w->sidebar()->navButtons().at(VaultPageIndex)->click();
        QCOMPARE(marked(), QStringList{"MIRELO Kasasi"});
        w->sidebar()->allButton()->click();
        QCoreApplication::processEvents();
        QCOMPARE(marked().size(), 1);
        QVERIFY(marked().first().startsWith("Tum Mailler"));
        // Removing the category filtered by marks "Tum Mailler" at once.
        w->sidebar()->categoryButtons().first()->click();
        QCoreApplication::processEvents();
        w.services->store()->removeCategory(category);
        QCOMPARE(marked().size(), 1);
        QVERIFY(marked().first().startsWith("Tum Mailler"));
    }

    void captureEntryIsUnavailableWhereItDoesNothing()
    {
        m_captureAvailable = false;
        auto w = makeWindow();
        QAction *capture = m_tray->menu->actions().at(2);
        QVERIFY(!capture->isEnabled());
        QVERIFY(!capture->isChecked());
        QVERIFY(capture->text().contains("yok"));
    }

    void showOnlyAccountFiltersAndSwitches()
    {
        auto w = makeWindow();
        w.services->store()->loadDemoMails();
        w->switchPage(AccountsPageIndex);
        QCOMPARE(w->currentPage(), int(AccountsPageIndex));
        w->sidebar()->refreshCategories();
        QVERIFY(w->sidebar()->navButtons().at(AccountsPageIndex)->isChecked());
        QVERIFY(!w->sidebar()->allButton()->isChecked());
        const QString addr = w.services->store()->mails().first().account;
        w->showOnlyAccount(addr.toUpper());
        QCOMPARE(w->currentPage(), int(InboxPageIndex));
        QCOMPARE(w->statusLine()->text(), "Filtre: " + addr.toUpper());
        w->inboxPage()->refreshMailList();
        QVERIFY(w->inboxPage()->banner()->isVisibleTo(w.get()));
        for (int r = 0; r < w->inboxPage()->model()->cardCount(); ++r)
            QVERIFY(sameAccount(w->inboxPage()->model()->card(r)->account, addr));
        QVERIFY(!w->sidebar()->allButton()->isChecked());
    }

    void captureToggleIsSaved()
    {
        auto w = makeWindow();
        QAction *capture = m_tray->menu->actions().at(2);
        QVERIFY(capture->isCheckable());
        const bool was = capture->isChecked();
        capture->toggle();
        QCOMPARE(QSettings("MIRELOPLUS", "MireloPlus").value("captureProt").toBool(), !was);
        QCOMPARE(w->statusLine()->text(), QString("Ekran yakalama korumasi: ") + (was ? "KAPALI" : "ACIK"));
    }

    void autostartToggleWritesAndRemovesTheEntry()
    {
#ifdef Q_OS_WIN
        // The Run value of the user's branch, which the test maps onto its own.
        QSettings run("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", QSettings::NativeFormat);
        run.setValue("MIRELO+", "\"C:\\eski\\mireloplus.exe\" --tray"); // written by an earlier run
        run.sync();
        auto w = makeWindow();
        QAction *autostart = m_tray->menu->actions().at(3);
        QVERIFY(autostart->isChecked());
        autostart->toggle();
        run.sync();
        QVERIFY(!run.contains("MIRELO+"));
        autostart->toggle();
        run.sync();
        QVERIFY(run.value("MIRELO+").toString().contains("--tray"));
#else
        const QString entry = m_settings->path() + "/config/autostart/mireloplus.desktop";
        QDir().mkpath(m_settings->path() + "/config/autostart");
        QFile existing(entry);
        QVERIFY(existing.open(QIODevice::WriteOnly)); // written by an earlier run
        existing.close();
        auto w = makeWindow();
        QAction *autostart = m_tray->menu->actions().at(3);
        QVERIFY(autostart->isChecked());
        autostart->toggle();
        QVERIFY(!QFile::exists(entry));
        autostart->toggle();
        QFile written(entry);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().contains("--tray"));
#endif
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
