// A code's road through the window and its services (clipboard, phone,
// tray), masked mode, the sign-in gate, and the window's life beside its
// tray icon: hidden, shown, closed and quit.
#include "app/mainwindow.h"
#include "app/titlebar.h"
#include "app/windowtray.h"
#include "desktop/autotyper.h"
#include "link/linkmanager.h"
#include "link/linkpayload.h"
#include "rest/rest.h"
#include "mail/mailstore.h"
#include "pages/inboxmodel.h"
#include "pages/inboxpage.h"
#include "pages/sidebar.h"
#include "protection/protectionservice.h"
#include "router/coderouter.h"
#include "transport/imapclient.h"
#include "vault/totpmanager.h"
#include "windowfixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTimer>

class TestWindowFlow : public WindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { startDatabase(); }
    void init() { resetState(); }

    void nothingShowsBeforeTheGateLetsTheUserIn()
    {
        QSettings("MIRELOPLUS", "MireloPlus").setValue("auth/logged", false);
        auto w = makeWindow();
        m_now += 100;
        // Signed out, a code stays inside: nothing to type, copy or announce.
        w.services->router()->onNewCode(codeMail("246810"));
        QVERIFY(w.services->typer()->lastText().isEmpty());
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
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
        QVERIFY(!runSignInGate(w.services->auth(), w.get(), tryTheTray));
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
        signedIn->windowTray()->showFromTray();
        QVERIFY(!signedIn->isVisible());
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
        w.services->router()->onNewCode(m);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("482913"));
        QCOMPARE(w.services->typer()->lastText(), QString("482913"));
        QCOMPARE(w->statusLine()->text(), QString("Yeni kod: 482913 <- Steam <noreply@steampowered.com>"));
        QCOMPARE(w.services->router()->pending().size(), 1);
        QVERIFY(m_tray->messages.isEmpty());
        w.services->router()->flushNotices();
        QCOMPARE(m_tray->messages.size(), 1);
        QCOMPARE(m_tray->messages[0].title, QString("MIRELO+ - Steam"));
        QVERIFY(m_tray->messages[0].text.startsWith("482913  (Giris kodun)\n"));
        QCOMPARE(m_tray->messages[0].msecs, 6000);
        QVERIFY(w.services->router()->pending().isEmpty());

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

    void maskedModeOnlyTellsTheStatusLine()
    {
        m_guard = true;
        auto w = makeWindow(10);
        QVERIFY(w.services->protection()->isMasked());
        QCOMPARE(w->statusLine()->text(), QString("Koruma: analiz ortami algilandi, kodlar gizlendi."));
        QCOMPARE(m_tray->messages.size(), 1);
        QCOMPARE(m_tray->messages[0].title, QString("MIRELO+ Koruma"));
        QCOMPARE(m_tray->messages[0].icon, QSystemTrayIcon::Warning);
        m_now += 100;
        w.services->router()->onNewCode(codeMail("424242"));
        QTest::qWait(50);
        QCOMPARE(w->statusLine()->text(), QString("Yeni kod geldi (koruma: gizli)."));
        QCOMPARE(m_tray->messages.size(), 2);
        QCOMPARE(m_tray->messages[1].text, QString("Yeni kod geldi (koruma aktif, gizli)."));
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        QVERIFY(w.services->typer()->lastText().isEmpty());
        QVERIFY(w.services->router()->pending().isEmpty());
        // copy actions only report
        w.services->router()->copyCode("424242");
        QCOMPARE(w->statusLine()->text(), QString("Koruma aktif: kod gizli."));
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    }

    void typedCodeMailMovesToTheTrashAndComesBackFromTheNotice()
    {
        auto w = makeWindow();
        MailStore *store = w.services->store();
        EmailAccount acc;
        acc.address = "me@example.com";
        acc.pass = "pw";
        acc.afterUse = AfterUse::MoveToTrash;
        store->addOrUpdateAccount(acc);
        m_now += 100;
        MailItem m = codeMail("731904");
        m.account = acc.address;
        m.serverUid = "5:12";
        m.received = QDateTime::fromSecsSinceEpoch(m_now);
        store->addMail(m);
        // copied on its own only: not used yet
        QVERIFY(store->pendingActions(acc.address).isEmpty());

        w->inboxPage()->refreshMailList();
        w->inboxPage()->typeRow(0); // the card's "Otomatik yaz"
        QCOMPARE(store->pendingActions(acc.address).size(), 1);
        MailActionResult done;
        done.action = store->pendingActions(acc.address).first();
        QCOMPARE(done.action.kind, MailActionKind::MoveToTrash);
        done.outcome = MailActionResult::Outcome::Done;
        done.newUid = "8:3";
        done.newFolder = "Trash";
        store->actionsDone(acc.address, {done});
        QVERIFY(!w->undoButton()->isHidden());
        QCOMPARE(m_tray->messages.last().text, QString("Kod postasi cop kutusuna tasindi. Geri almak icin tikla."));

        m_now += 5;
        m_tray->clickMessage();
        const QList<MailAction> back = store->pendingActions(acc.address);
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.first().kind, MailActionKind::Restore);
        QCOMPARE(back.first().serverUid, QString("8:3"));
        QVERIFY(w->undoButton()->isHidden());
        // a later click on the same notice does nothing more
        m_tray->clickMessage();
        QCOMPARE(store->pendingActions(acc.address).size(), 1);
    }

    void hotkeyLeavesAStaleCodeUntyped()
    {
        auto w = makeWindow();
        m_now += 100;
        MailItem m = codeMail("318842");
        m.received = QDateTime::fromSecsSinceEpoch(m_now);
        w.services->router()->onNewCode(m);
        QVERIFY(w.services->typer()->hotkeyAction());
        m_now += 11 * 60;
        const int shown = m_tray->messages.size();
        w.services->typer()->hotkeyAction()();
        QCOMPARE(w->statusLine()->text(), QString("Son kod 11 dk once geldi; yazilmadi"));
        QCOMPARE(m_tray->messages.size(), shown + 1);
        QVERIFY(w.services->router()->typableLastCode().isEmpty());
    }

    void guardTickEntersMaskedModeOnce()
    {
        auto w = makeWindow();
        m_now += 100;
        w.services->router()->onNewCode(codeMail("135790"));
        QCOMPARE(w.services->typer()->lastText(), QString("135790"));
        w.services->store()->loadDemoMails();
        w->inboxPage()->refreshMailList();
        QVERIFY(!w.services->protection()->isMasked());
        m_guard = true;
        w.services->protection()->check();
        w.services->protection()->check();
        QVERIFY(w.services->protection()->isMasked());
        QCOMPARE(m_tray->messages.size(), 1);
        // neither the hotkey nor the tray types the code from before
        QVERIFY(w.services->typer()->lastText().isEmpty());
        w.services->router()->typeLastCode();
        QCOMPARE(w->statusLine()->text(), QString("Koruma aktif: kod gizli."));
        // the list was rebuilt at once, masked
        const MailCardData *c = w->inboxPage()->model()->card(0);
        QVERIFY(c);
        QCOMPARE(c->codeShown, QString("***"));
    }

    void closeHidesToTrayAndLocksTheVault()
    {
        auto w = makeWindow();
        w->show();
        QVERIFY(w.services->vault()->setupVault("master-pass"));
        QVERIFY(!w.services->vault()->isLocked());
        QVERIFY(!w->close());
        QVERIFY(!w->isVisible());
        QVERIFY(w.services->vault()->isLocked());
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
        QVERIFY(w.services->vault()->setupVault("master-pass"));
        const int before = m_tray->messages.size();
        emit w->titleBar()->closeRequested();
        QVERIFY(!w->isVisible());
        QVERIFY(w.services->vault()->isLocked());
        QCOMPARE(m_tray->messages.size(), before);
        QCOMPARE(m_quits, 0);

        // a click on the tray icon hides as well, and locks as well
        m_tray->activate(QSystemTrayIcon::Trigger);
        QVERIFY(w->isVisible());
        QVERIFY(w.services->vault()->unlock("master-pass"));
        m_tray->activate(QSystemTrayIcon::Trigger);
        QVERIFY(!w->isVisible());
        QVERIFY(w.services->vault()->isLocked());
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
        w.services->protection()->check();
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
        QVERIFY(w.services->vault()->setupVault("master-pass"));
        bool closed = false;
        m_onQuit = [&] { closed = w->close(); };
        QAction *quit = m_tray->menu->actions().last();
        QCOMPARE(quit->text(), QString("Cikis"));
        quit->trigger();
        QCOMPARE(m_quits, 1);
        QVERIFY(closed);
        QVERIFY(w.services->vault()->isLocked());
        QVERIFY(!m_tray->visible);
        // no "still running in the background" notice for a quit
        QVERIFY(m_tray->messages.isEmpty());
    }

    void trayQuitEndsTheProgramInOneStep()
    {
        // The real quit: with the window showing, one "Cikis" must end the
        // event loop (a close handler that hides to the tray would cancel it).
        AppServicesOptions s = servicesOptions();
        s.guard = [] { return false; };
        MainWindowOptions o;
        o.fadeMs = 1;
        RecordingTray *tray = nullptr;
        o.trayFactory = [&tray](QObject *parent) -> Tray * {
            tray = new RecordingTray(parent);
            return tray;
        };
        o.message = [](QMessageBox::Icon, const QString &) {};
        RunningWindow w(s, o);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w.services->vault()->setupVault("master-pass"));
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
        // Not the fallback above (its code is 7); under Wine the quit itself
        // takes about 2 s.
        QCOMPARE(rc, 0);
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(w.services->vault()->isLocked());
        QVERIFY(!w->isVisible());
        QVERIFY(!tray->visible);
    }

    void withoutTrayClosingQuitsWithTheVaultLocked()
    {
        m_withTray = false;
        auto w = makeWindow();
        w->show();
        QVERIFY(w.services->vault()->setupVault("master-pass"));
        emit w->titleBar()->closeRequested();
        QCOMPARE(m_quits, 1);
        QVERIFY(w.services->vault()->isLocked());
        // the batch is kept without a tray
        m_now += 100;
        w.services->router()->onNewCode(codeMail("777777"));
        w.services->router()->flushNotices();
        QCOMPARE(w.services->router()->pending().size(), 1);
    }

    void signOutHidesEverythingBeforeTheSignIn()
    {
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "mirelo_user");
        s.setValue("auth/logged", true);
        auto w = makeWindow();
        w->show();
        QVERIFY(w.services->vault()->setupVault("master-pass"));
        w.services->store()->loadDemoMails();
        bool contentShown = true, vaultOpen = true;
        // what the sign-in dialog has behind it
        m_onDialog = [&] {
            contentShown = w->centralWidget()->isVisible();
            vaultOpen = !w.services->vault()->isLocked();
        };
        m_dialogResult = QDialog::Rejected;
        w->signOut();
        QVERIFY(!contentShown);
        QVERIFY(!vaultOpen);
        QCOMPARE(m_quits, 1);
    }

    void signedOutEverythingStopsUntilTheNextUser()
    {
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "ilk_kisi");
        s.setValue("auth/logged", true);
        PairedDevice dev{"ABCDEFGH", "Telefon", QString(64, 'a'), "2026-01-01T10:00:00"};
        s.setValue("link/devices", QString::fromUtf8(serializePairedDevices({dev})));
        auto w = makeWindow();
        w->show();
        EmailAccount acc;
        acc.address = "ilk@firma.test";
        acc.host = "127.0.0.1";
        acc.pass = "pw";
        w.services->store()->addOrUpdateAccount(acc);
        QVERIFY(w.services->vault()->setupVault("master-pass"));
        QVERIFY(!w.services->imap()->isStopped());
        m_now += 100;
        MailItem m = codeMail("482913");
        m.account = acc.address;
        w.services->router()->onNewCode(m);
        QCOMPARE(w.services->typer()->lastText(), QString("482913"));
        QSignalSpy pushes(w.services->router(), &CodeRouter::pushRequested);
        QSignalSpy copies(w.services->router(), &CodeRouter::copyRequested);
        QCOMPARE(w.services->link()->devices().size(), 1);

        bool stopped = false, emptied = false;
        m_onDialog = [&] {
            AppServices *sv = w.services.get();
            stopped = sv->imap()->isStopped();
            emptied = sv->store()->accounts().isEmpty() && sv->store()->mails().isEmpty()
                      && sv->link()->devices().isEmpty() && !sv->vault()->isSet()
                      && sv->typer()->lastText().isEmpty() && sv->router()->lastCode().isEmpty();
            // a code, the tray's "type the last code" and a hand copy while the dialog is up
            MailItem late = codeMail("135790");
            late.account = acc.address;
            sv->router()->onNewCode(late);
            sv->router()->copyCode("135790");
            m_tray->menu->actions().at(1)->trigger();
            sv->router()->flushNotices();
            return int(QDialog::Rejected);
        };
        const int notices = m_tray->messages.size();
        w->signOut();
        QVERIFY(stopped);
        QVERIFY(emptied);
        QVERIFY(pushes.isEmpty());
        QVERIFY(copies.isEmpty());
        QCOMPARE(m_tray->messages.size(), notices);
        QVERIFY(w.services->typer()->lastText().isEmpty());
        QVERIFY(QGuiApplication::clipboard()->text() != QString("135790"));
        // Nothing of it was lost: the stored data is still the first user's.
        QVERIFY(s.value("accounts").toByteArray().contains("ilk@firma.test"));
        QVERIFY(s.value("link/devices").toString().contains("ABCDEFGH"));
        QVERIFY(s.value("vault/set").toBool());
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
};

QTEST_MAIN(TestWindowFlow)
#include "tst_windowflow.moc"
