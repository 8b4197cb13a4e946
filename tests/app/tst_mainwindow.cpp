#include "app/mainwindow.h"
#include "app/notifytext.h"
#include "theme/theme.h"
#include "app/titlebar.h"
#include "desktop/autotyper.h"
#include "link/linkmanager.h"
#include "link/linkpayload.h"
#include "rest/rest.h"
#include "mail/mailstore.h"
#include "pages/inboxmodel.h"
#include "pages/inboxpage.h"
#include "pages/sidebar.h"
#include "recordingtray.h"
#include "support/clouddbfixture.h"
#include "support/isolatedsettings.h"
#include "vault/totpmanager.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTcpServer>
#include <QTimer>
#include <QElapsedTimer>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {

MailItem codeMail(const QString &code, const QString &from = "Steam <noreply@steampowered.com>")
{
    MailItem m;
    m.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m.account = "me@example.com";
    m.from = from;
    m.subject = "Giris kodun";
    m.code = code;
    m.confidence = 95;
    // Fetched just after the fake clock's start: fresh for the tests' minutes.
    m.received = QDateTime::fromSecsSinceEpoch(1'700'000'030);
    return m;
}

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

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<CloudDbFixture> m_db;
    qint64 m_now = 1'700'000'000;
    int m_quits = 0;
    bool m_guard = false;
    bool m_withTray = true;
    RecordingTray *m_tray = nullptr;
    QList<QPair<QMessageBox::Icon, QString>> m_messages;
    int m_dialogResult = QDialog::Rejected;
    std::function<void()> m_onDialog;
    std::function<void()> m_onQuit;
    bool m_captureAvailable = true;

    std::unique_ptr<MainWindow> makeWindow(int notifyMs = 3000)
    {
        MainWindowOptions o;
        o.databaseUrl = m_db->baseUrl();
        o.clock = [this] { return m_now; };
        o.notifyMs = notifyMs;
        o.fadeMs = 1;
        o.guard = [this] { return m_guard; };
        o.trayFactory = [this](QObject *parent) -> Tray * {
            if (!m_withTray)
                return nullptr;
            m_tray = new RecordingTray(parent);
            return m_tray;
        };
        o.runDialog = [this](QDialog *) {
            if (m_onDialog)
                m_onDialog();
            return m_dialogResult;
        };
        o.quit = [this] {
            ++m_quits;
            if (m_onQuit)
                m_onQuit();
        };
        o.message = [this](QMessageBox::Icon icon, const QString &text) { m_messages.append({icon, text}); };
        o.startPolling = false;
        o.registerHotkey = false;
        o.captureAvailable = [this] { return m_captureAvailable; };
        return std::make_unique<MainWindow>(o);
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<CloudDbFixture>();
        QVERIFY2(m_db->startInProcess(), qPrintable(m_db->errorText()));
    }

    void init()
    {
        m_settings = std::make_unique<IsolatedSettings>();
        m_now = 1'700'000'000;
        m_quits = 0;
        m_guard = false;
        m_withTray = true;
        m_tray = nullptr;
        m_messages.clear();
        m_dialogResult = QDialog::Rejected;
        m_onDialog = nullptr;
        m_onQuit = nullptr;
        m_captureAvailable = true;
        QGuiApplication::clipboard()->clear();
        // A user let in by the sign-in gate, unless a test says otherwise.
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "tester");
        s.setValue("auth/logged", true);
    }

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
        w->store()->addOrUpdateCategory(Category{evil, "game", {evil}});
        w->refreshCategories();
        emit w->link()->linkLog(QStringLiteral("Eslesme tamam: ") + evil);
        w->setStatus(QStringLiteral("Sunucu: ") + evil);
        for (int page = 0; page < w->pageStack()->count(); ++page) {
            w->switchPage(page);
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

    void nothingShowsBeforeTheGateLetsTheUserIn()
    {
        QSettings("MIRELOPLUS", "MireloPlus").setValue("auth/logged", false);
        auto w = makeWindow();
        m_now += 100;
        w->onNewCode(codeMail("246810"));
        QCOMPARE(w->typer()->lastText(), QString("246810"));
        // While the gate's dialog is open (over the window, as at start-up),
        // every road from the tray to the window stays shut.
        bool seen = false;
        auto tryTheTray = [&](QDialog *) {
            m_tray->activate(QSystemTrayIcon::Trigger);
            m_tray->activate(QSystemTrayIcon::DoubleClick);
            m_tray->menu->actions().at(0)->trigger(); // "Goster"
            m_tray->menu->actions().at(1)->trigger(); // type the last code
            seen = w->isVisible() || w->isMinimized();
            return int(QDialog::Rejected);
        };
        QVERIFY(!runSignInGate(w->auth(), w.get(), tryTheTray));
        QVERIFY(!seen);
        QVERIFY(!w->isVisible());

        // Signed out from a shown window: hidden while the gate runs again.
        QSettings("MIRELOPLUS", "MireloPlus").setValue("auth/logged", true);
        auto signedIn = makeWindow();
        signedIn->show();
        m_dialogResult = QDialog::Rejected;
        signedIn->signOut();
        QCOMPARE(m_quits, 1);
        QVERIFY(!signedIn->isVisible());
        m_tray->activate(QSystemTrayIcon::Trigger);
        signedIn->showFromTray();
        QVERIFY(!signedIn->isVisible());
    }

    void startsWithChromeTrayAndFivePages()
    {
        auto w = makeWindow();
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w->size(), QSize(1080, 680));
        QCOMPARE(w->minimumSize(), QSize(920, 560));
        QCOMPARE(w->pageStack()->count(), 5);
        QCOMPARE(w->statusLine()->text(), QString("Hazir. Demo veriyle baslayabilirsin."));
        QCOMPARE(w->quietUntil(), m_now + 45);
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

    void oneCodeIsCopiedPushedAndNotified()
    {
        // a paired device in the real local database receives the sealed code
        PairedDevice dev{"ABCDEFGH", "Telefon", QString(64, 'a'), "2026-01-01T10:00:00"};
        QSettings("MIRELOPLUS", "MireloPlus")
            .setValue("link/devices", QString::fromUtf8(serializePairedDevices({dev})));
        auto w = makeWindow();
        m_now += 46;
        const MailItem m = codeMail("482913");
        w->onNewCode(m);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("482913"));
        QCOMPARE(w->typer()->lastText(), QString("482913"));
        QCOMPARE(w->statusLine()->text(), QString("Yeni kod: 482913 <- Steam <noreply@steampowered.com>"));
        QCOMPARE(w->pendingNotifications().size(), 1);
        QVERIFY(m_tray->messages.isEmpty());
        w->flushCodeNotify();
        QCOMPARE(m_tray->messages.size(), 1);
        QCOMPARE(m_tray->messages[0].title, QString("MIRELO+ - Steam"));
        QVERIFY(m_tray->messages[0].text.startsWith("482913  (Giris kodun)\n"));
        QCOMPARE(m_tray->messages[0].msecs, 6000);
        QVERIFY(w->pendingNotifications().isEmpty());

        QNetworkAccessManager nam;
        QByteArray inbox;
        int entries = 0;
        for (int attempt = 0; attempt < 50 && entries == 0; ++attempt) {
            bool done = false;
            restGet(&nam, this, m_db->baseUrl(), "/mirelo_link/ABCDEFGH/inbox", [&](bool ok, const QByteArray &b) {
                if (ok)
                    inbox = b;
                done = true;
            });
            QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
            entries = QJsonDocument::fromJson(inbox).object().size();
            if (entries == 0)
                QTest::qWait(100);
        }
        QCOMPARE(entries, 1);
        QVERIFY(!inbox.contains("482913")); // sealed, never in clear
    }

    void burstsShareOneNotification_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("three") << 3 << "MIRELO+ - 3 yeni kod" << "333 (Sender3)";
        QTest::newRow("five") << 5 << "MIRELO+ - 5 yeni kod" << "+2 kod daha";
    }

    void burstsShareOneNotification()
    {
        QFETCH(int, count);
        QFETCH(QString, title);
        QFETCH(QString, lastLine);
        auto w = makeWindow(80);
        m_now += 60;
        for (int i = 1; i <= count; ++i)
            w->onNewCode(codeMail(QString::number(i * 111), QString("Sender%1 <s%1@x.com>").arg(i)));
        QTRY_COMPARE(m_tray->messages.size(), 1);
        QCOMPARE(m_tray->messages[0].title, title);
        QCOMPARE(m_tray->messages[0].text.split('\n').last(), lastLine);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::number(count * 111));
        // the burst is over: no second message follows
        QTest::qWait(200);
        QCOMPARE(m_tray->messages.size(), 1);
    }

    void untrustedCodesOnlyExplainThemselves()
    {
        PairedDevice dev{"QRSTUVWX", "Telefon", QString(64, 'a'), "2026-01-01T10:00:00"};
        QSettings("MIRELOPLUS", "MireloPlus")
            .setValue("link/devices", QString::fromUtf8(serializePairedDevices({dev})));
        auto w = makeWindow(10);
        m_now += 60;

        MailItem unsure = codeMail("111111");
        unsure.confidence = 55;
        w->onNewCode(unsure);
        QCOMPARE(w->statusLine()->text(), QString("Kod kopyalanmadi: dusuk guven (55 < 70)"));

        MailItem stale = codeMail("222222");
        stale.sent = QDateTime::fromSecsSinceEpoch(m_now - 42 * 60);
        w->onNewCode(stale);
        QCOMPARE(w->statusLine()->text(), QString("Kod kopyalanmadi: eski posta (42 dk once)"));

        QTest::qWait(50);
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        QVERIFY(w->typer()->lastText().isEmpty());
        QVERIFY(w->pendingNotifications().isEmpty());
        QVERIFY(m_tray->messages.isEmpty());

        // By hand it still copies.
        w->copyCode("111111");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("111111"));

        // The threshold is the user's setting.
        QSettings("MIRELOPLUS", "MireloPlus").setValue("codes/minConfidence", 50);
        w->onNewCode(unsure);
        QCOMPARE(w->typer()->lastText(), QString("111111"));

        // Only that one reached the phone.
        QNetworkAccessManager nam;
        QJsonObject inbox;
        for (int attempt = 0; attempt < 50 && inbox.isEmpty(); ++attempt) {
            bool done = false;
            restGet(&nam, this, m_db->baseUrl(), "/mirelo_link/QRSTUVWX/inbox", [&](bool ok, const QByteArray &b) {
                if (ok)
                    inbox = QJsonDocument::fromJson(b).object();
                done = true;
            });
            QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
            if (inbox.isEmpty())
                QTest::qWait(100);
        }
        QTest::qWait(300);
        bool done = false;
        restGet(&nam, this, m_db->baseUrl(), "/mirelo_link/QRSTUVWX/inbox", [&](bool ok, const QByteArray &b) {
            if (ok)
                inbox = QJsonDocument::fromJson(b).object();
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        QCOMPARE(inbox.size(), 1);
    }

    void quietPeriodAndCodelessMailsRaiseNothing()
    {
        auto w = makeWindow(10);
        const QString status = w->statusLine()->text();
        m_now += 44;
        w->onNewCode(codeMail("111111"));
        m_now += 10;
        w->onNewCode(codeMail(""));
        QTest::qWait(50);
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        QVERIFY(w->typer()->lastText().isEmpty());
        QVERIFY(w->pendingNotifications().isEmpty());
        QVERIFY(m_tray->messages.isEmpty());
        QCOMPARE(w->statusLine()->text(), status);
    }

    void maskedModeOnlyTellsTheStatusLine()
    {
        m_guard = true;
        auto w = makeWindow(10);
        QVERIFY(w->isMasked());
        QCOMPARE(w->statusLine()->text(), QString("Koruma: analiz ortami algilandi, kodlar gizlendi."));
        QCOMPARE(m_tray->messages.size(), 1);
        QCOMPARE(m_tray->messages[0].title, QString("MIRELO+ Koruma"));
        QCOMPARE(m_tray->messages[0].icon, QSystemTrayIcon::Warning);
        m_now += 100;
        w->onNewCode(codeMail("424242"));
        QTest::qWait(50);
        QCOMPARE(w->statusLine()->text(), QString("Yeni kod geldi (koruma: gizli)."));
        QCOMPARE(m_tray->messages.size(), 2);
        QCOMPARE(m_tray->messages[1].text, QString("Yeni kod geldi (koruma aktif, gizli)."));
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        QVERIFY(w->typer()->lastText().isEmpty());
        QVERIFY(w->pendingNotifications().isEmpty());
        // copy actions only report
        w->copyCode("424242");
        QCOMPARE(w->statusLine()->text(), QString("Koruma aktif: kod gizli."));
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    }

    void guardTickEntersMaskedModeOnce()
    {
        auto w = makeWindow();
        m_now += 100;
        w->onNewCode(codeMail("135790"));
        QCOMPARE(w->typer()->lastText(), QString("135790"));
        w->store()->loadDemoMails();
        w->refreshMailList();
        QVERIFY(!w->isMasked());
        m_guard = true;
        w->onGuardTick();
        w->onGuardTick();
        QVERIFY(w->isMasked());
        QCOMPARE(m_tray->messages.size(), 1);
        // neither the hotkey nor the tray types the code from before
        QVERIFY(w->typer()->lastText().isEmpty());
        w->typeLastCode();
        QCOMPARE(w->statusLine()->text(), QString("Koruma aktif: kod gizli."));
        // the list was rebuilt at once, masked
        const MailCardData *c = w->inboxPage()->model()->card(0);
        QVERIFY(c);
        QCOMPARE(c->codeShown, QString("***"));
    }

    void tenChangesCostOneRebuild()
    {
        auto w = makeWindow();
        const int before = w->inboxPage()->rebuildCount();
        for (int i = 0; i < 10; ++i)
            w->store()->markSeen("none");
        QCOMPARE(w->inboxPage()->rebuildCount(), before);
        QTRY_COMPARE(w->inboxPage()->rebuildCount(), before + 1);
        QTest::qWait(400);
        QCOMPARE(w->inboxPage()->rebuildCount(), before + 1);
        // the search field goes through the same debounce
        w->inboxPage()->searchField()->setText("a");
        w->inboxPage()->searchField()->setText("ab");
        QTRY_COMPARE(w->inboxPage()->rebuildCount(), before + 2);
    }

    void closeHidesToTrayAndLocksTheVault()
    {
        auto w = makeWindow();
        w->show();
        QVERIFY(w->vault()->setupVault("master-pass"));
        QVERIFY(!w->vault()->isLocked());
        QVERIFY(!w->close());
        QVERIFY(!w->isVisible());
        QVERIFY(w->vault()->isLocked());
        QCOMPARE(m_quits, 0);
        QCOMPARE(m_tray->messages.last().text,
                 QString("Arka planda calismaya devam ediyor. Kod gelince bildirecegim."));
        QCOMPARE(m_tray->messages.last().msecs, 2500);
        // tray click brings it back, a second click hides it again
        m_tray->activate(QSystemTrayIcon::Trigger);
        QVERIFY(w->isVisible());
        m_tray->activate(QSystemTrayIcon::DoubleClick);
        QVERIFY(w->isVisible());
        m_tray->activate(QSystemTrayIcon::Trigger);
        QVERIFY(!w->isVisible());
    }

    void everyHideToTheTrayLocksTheVault()
    {
        auto w = makeWindow();
        w->show();
        QVERIFY(w->vault()->setupVault("master-pass"));
        const int before = m_tray->messages.size();
        emit w->titleBar()->closeRequested();
        QVERIFY(!w->isVisible());
        QVERIFY(w->vault()->isLocked());
        QCOMPARE(m_tray->messages.size(), before);
        QCOMPARE(m_quits, 0);

        // a click on the tray icon hides as well, and locks as well
        m_tray->activate(QSystemTrayIcon::Trigger);
        QVERIFY(w->isVisible());
        QVERIFY(w->vault()->unlock("master-pass"));
        m_tray->activate(QSystemTrayIcon::Trigger);
        QVERIFY(!w->isVisible());
        QVERIFY(w->vault()->isLocked());
        QCOMPARE(m_quits, 0);
    }

    void aHiddenWindowNeverOutlivesItsTrayIcon()
    {
        auto w = makeWindow();
        w->show();
        // the tray goes away while the window is hidden in it: the window comes back
        emit w->titleBar()->closeRequested();
        QVERIFY(!w->isVisible());
        m_tray->available = false;
        w->onGuardTick();
        QVERIFY(w->isVisible());
        // without a reachable tray, closing quits instead of hiding
        emit w->titleBar()->closeRequested();
        QCOMPARE(m_quits, 1);
    }

    void quittingIsNotCancelledByHidingToTheTray()
    {
        // Qt 6 closes the windows before it quits and gives up when one
        // refuses: the close that quitting sends must be accepted.
        auto w = makeWindow();
        w->show();
        QVERIFY(w->vault()->setupVault("master-pass"));
        bool closed = false;
        m_onQuit = [&] { closed = w->close(); };
        QAction *quit = m_tray->menu->actions().last();
        QCOMPARE(quit->text(), QString("Cikis"));
        quit->trigger();
        QCOMPARE(m_quits, 1);
        QVERIFY(closed);
        QVERIFY(w->vault()->isLocked());
        QVERIFY(!m_tray->visible);
        // no "still running in the background" notice for a quit
        QVERIFY(m_tray->messages.isEmpty());
    }

    void trayQuitEndsTheProgramInOneStep()
    {
        // The real quit: with the window showing, one "Cikis" must end the
        // event loop (a close handler that hides to the tray would cancel it).
        MainWindowOptions o;
        o.databaseUrl = m_db->baseUrl();
        o.clock = [this] { return m_now; };
        o.fadeMs = 1;
        o.guard = [] { return false; };
        RecordingTray *tray = nullptr;
        o.trayFactory = [&tray](QObject *parent) -> Tray * {
            tray = new RecordingTray(parent);
            return tray;
        };
        o.message = [](QMessageBox::Icon, const QString &) {};
        o.startPolling = false;
        o.registerHotkey = false;
        auto w = std::make_unique<MainWindow>(o);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->vault()->setupVault("master-pass"));
        QAction *quit = nullptr;
        for (QAction *a : tray->menu->actions())
            if (a->text() == "Cikis")
                quit = a;
        QVERIFY(quit);
        const bool quitOnLast = QGuiApplication::quitOnLastWindowClosed();
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QTimer::singleShot(0, quit, &QAction::trigger);
        // a second action, had the first one only hidden the window
        QTimer::singleShot(4000, qApp, [] { QCoreApplication::exit(7); });
        QElapsedTimer clock;
        clock.start();
        const int rc = QCoreApplication::exec();
        QGuiApplication::setQuitOnLastWindowClosed(quitOnLast);
        QCOMPARE(rc, 0);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(w->vault()->isLocked());
        QVERIFY(!w->isVisible());
        QVERIFY(!tray->visible);
    }

    void withoutTrayClosingQuitsWithTheVaultLocked()
    {
        m_withTray = false;
        auto w = makeWindow();
        w->show();
        QVERIFY(w->vault()->setupVault("master-pass"));
        emit w->titleBar()->closeRequested();
        QCOMPARE(m_quits, 1);
        QVERIFY(w->vault()->isLocked());
        // the batch is kept without a tray
        m_now += 100;
        w->onNewCode(codeMail("777777"));
        w->flushCodeNotify();
        QCOMPARE(w->pendingNotifications().size(), 1);
    }

    void signOutHidesEverythingBeforeTheSignIn()
    {
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "mirelo_user");
        s.setValue("auth/logged", true);
        auto w = makeWindow();
        w->show();
        QVERIFY(w->vault()->setupVault("master-pass"));
        w->store()->loadDemoMails();
        bool contentShown = true, vaultOpen = true;
        // what the sign-in dialog has behind it
        m_onDialog = [&] {
            contentShown = w->centralWidget()->isVisible();
            vaultOpen = !w->vault()->isLocked();
        };
        m_dialogResult = QDialog::Rejected;
        w->signOut();
        QVERIFY(!contentShown);
        QVERIFY(!vaultOpen);
        QCOMPARE(m_quits, 1);
    }

    void signOutThenCancelledSignInQuits()
    {
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "mirelo_user");
        s.setValue("auth/logged", true);
        auto w = makeWindow();
        QCOMPARE(w->sidebar()->avatarLabel()->text(), QString("M"));
        QCOMPARE(w->sidebar()->userNameLabel()->toolTip(), QString("mirelo_user"));
        m_dialogResult = QDialog::Rejected;
        w->signOut();
        QCOMPARE(m_quits, 1);
        QCOMPARE(w->sidebar()->userNameLabel()->toolTip(), QString("Giris bekleniyor"));
        QCOMPARE(w->sidebar()->avatarLabel()->text(), QString("?"));
        // accepted but still signed out is no sign-in either
        m_dialogResult = QDialog::Accepted;
        w->signOut();
        QCOMPARE(m_quits, 2);
    }

    void themeSwitchTwiceRestoresEverything()
    {
        auto w = makeWindow();
        QVERIFY(!isLightTheme());
        const QString sheet = w->styleSheet();
        QVERIFY(sheet.contains(".mailCardNew"));
        const QString btnText = w->themeButton()->text();
        QCOMPARE(btnText, QString("  Acik Tema"));
        QPushButton *vaultBtn = w->navButtons().at(1);
        const QImage vaultIcon = iconImage(vaultBtn->icon());
        const QImage closeIcon = iconImage(w->titleBar()->closeButton()->icon());

        w->toggleTheme();
        QVERIFY(isLightTheme());
        QCOMPARE(QSettings("MIRELOPLUS", "MireloPlus").value("theme").toString(), QString("light"));
        QVERIFY(w->styleSheet() != sheet);
        QCOMPARE(w->themeButton()->text(), QString("  Koyu Tema"));
        QVERIFY(iconImage(vaultBtn->icon()) != vaultIcon);
        QVERIFY(iconImage(w->titleBar()->closeButton()->icon()) != closeIcon);

        w->toggleTheme();
        QCOMPARE(w->styleSheet(), sheet);
        QCOMPARE(w->themeButton()->text(), btnText);
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
        w->openReply("nobody@example.com", "x@y.com", "Konu");
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].second, QString("Hesap bulunamadi: nobody@example.com"));
        QVERIFY(!w->replyDialog());

        EmailAccount acc;
        acc.address = "Me@Example.com";
        w->store()->addOrUpdateAccount(acc);
        w->openReply("me@example.com", "x@y.com", "Konu");
        QPointer<ReplyDialog> first = w->replyDialog();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->subject(), QString("Re: Konu"));
        w->openReply("me@example.com", "z@y.com", "Diger");
        QVERIFY(w->replyDialog() != first);
        QTRY_VERIFY(!first); // the first one was closed and deleted
        QCOMPARE(w->replyDialog()->toAddress(), QString("z@y.com"));
    }

    void emptyReplyKeepsWhatWasWritten()
    {
        auto w = makeWindow();
        EmailAccount acc;
        acc.address = "me@example.com";
        w->store()->addOrUpdateAccount(acc);
        w->openReply("me@example.com", "", "Konu");
        QPointer<ReplyDialog> dialog = w->replyDialog();
        auto *body = dialog->findChild<QPlainTextEdit *>();
        QVERIFY(body);
        body->setPlainText("yazdigim cevap");
        emit dialog->sendRequested();
        QCOMPARE(m_messages.last().second, QString("Alici ve mesaj gerekli."));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(w->replyDialog(), dialog.data());
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
        w->store()->addOrUpdateAccount(acc);

        // from the card's own menu
        MailItem m = codeMail("123456", "GitHub <noreply@github.com>");
        m.account = "me@example.com";
        w->store()->addMail(m);
        w->refreshMailList();
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
        QPointer<ReplyDialog> first = w->replyDialog();
        QVERIFY(first);
        QCOMPARE(first->toAddress(), QString("noreply@github.com"));
        QCOMPARE(first->subject(), QString("Re: Giris kodun"));

        first->findChild<QPlainTextEdit *>()->setPlainText("ilk cevap");
        emit first->sendRequested();
        QVERIFY(first->isBusy());
        // a second window while the first one is still sending
        w->openReply("me@example.com", "Biri <biri@example.com>", "Baska");
        QPointer<ReplyDialog> second = w->replyDialog();
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
        w->onSendFinished(true, "Cevap gonderildi: a@b.com");
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(w->statusLine()->text(), QString("Cevap gonderildi: a@b.com"));
        w->onSendFinished(false, "Sifre reddedildi.");
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].first, QMessageBox::Warning);
    }

    void oneSidebarEntryIsMarked()
    {
        auto w = makeWindow();
        w->store()->loadDemoMails();
        auto marked = [&] {
            QStringList out;
            for (QPushButton *b : w->navButtons() + w->sidebar()->categoryButtons())
                if (b->isChecked())
                    out << b->text().trimmed();
            return out;
        };
        const QString category = w->store()->categories().first().name;
        w->sidebar()->categoryButtons().first()->click();
        QCoreApplication::processEvents();
        QCOMPARE(marked().size(), 1);
        QVERIFY(marked().first().startsWith(category));
        w->switchPage(VaultPageIndex);
        QCoreApplication::processEvents();
        QCOMPARE(marked(), QStringList{"MIRELO Kasasi"});
        // a click on the page's own button again keeps it marked
        w->navButtons().at(VaultPageIndex)->click();
        QCOMPARE(marked(), QStringList{"MIRELO Kasasi"});
        w->sidebar()->allButton()->click();
        QCoreApplication::processEvents();
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
        w->store()->loadDemoMails();
        w->switchPage(AccountsPageIndex);
        QCOMPARE(w->currentPage(), int(AccountsPageIndex));
        w->refreshCategories();
        QVERIFY(w->navButtons().at(AccountsPageIndex)->isChecked());
        QVERIFY(!w->sidebar()->allButton()->isChecked());
        const QString addr = w->store()->mails().first().account;
        w->showOnlyAccount(addr.toUpper());
        QCOMPARE(w->currentPage(), int(InboxPageIndex));
        QCOMPARE(w->statusLine()->text(), "Filtre: " + addr.toUpper());
        w->refreshMailList();
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
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
