#include "app/mainwindow.h"
#include "app/traymenu.h"
#include "protection/protectionservice.h"
#include "support/runningwindow.h"
#include "link/linkmanager.h"
#include "mail/mailstore.h"
#include "pages/accountspage.h"
#include "pages/activitypage.h"
#include "pages/inboxfilter.h"
#include "pages/linkpage.h"
#include "pages/vaultpage.h"
#include "support/isolatedsettings.h"
#include "theme/theme.h"
#include "vault/autolock.h"
#include "vault/totpmanager.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

// The service pages inside the real main window: their slots in the stack,
// the status line, page switches, masked mode, theme icons and auto-lock.
class TestWindowPages : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pagesSitInTheirSlots();
    void vaultAutoLockAndClose();
    void maskedModeReachesVaultAndGuardLine();
    void accountMenuFiltersInbox();
    void themeSwitchRedrawsPlusIcons();
    void advancedFieldsKeepTheirHeight();
    void lightThemeSelectedRowIsReadable();
    void unavailableTrayEntryIsGreyed();

private:
    RunningWindow makeWindow(int autoLockMs = 300000);

    std::unique_ptr<IsolatedSettings> m_settings;
    bool m_guard = false;
    QList<QPair<QMessageBox::Icon, QString>> m_messages;
};

namespace {
// Darkest grey level (light theme) or brightest (dark theme) inside `r`: the text.
int inkOf(const QImage &shot, const QRect &r, bool light)
{
    int ink = light ? 255 : 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ink = light ? qMin(ink, qGray(shot.pixel(x, y))) : qMax(ink, qGray(shot.pixel(x, y)));
    return ink;
}
} // namespace

void TestWindowPages::init()
{
    m_settings = std::make_unique<IsolatedSettings>();
    m_guard = false;
    m_messages.clear();
}

void TestWindowPages::cleanup()
{
    m_settings.reset();
}

RunningWindow TestWindowPages::makeWindow(int autoLockMs)
{
    AppServicesOptions s;
    s.databaseUrl = QStringLiteral("http://127.0.0.1:9");
    s.guard = [this] { return m_guard; };
    s.startPolling = false;
    s.registerHotkey = false;
    s.guardTickMs = 3600000;
    s.vaultAutoLockMs = autoLockMs;
    s.vaultSealing.cost = {1, 8}; // the smallest Argon2id cost
    MainWindowOptions o;
    o.trayFactory = [](QObject *) -> Tray * { return nullptr; };
    o.message = [this](QMessageBox::Icon icon, const QString &text) { m_messages.append({icon, text}); };
    o.quit = [] {};
    o.fadeMs = 1;
    return RunningWindow(s, o);
}

void TestWindowPages::pagesSitInTheirSlots()
{
    auto w = makeWindow();
    QCOMPARE(w->pageStack()->count(), 5);
    QCOMPARE(w->pageStack()->widget(VaultPageIndex), static_cast<QWidget *>(w->vaultPage()));
    QCOMPARE(w->pageStack()->widget(AccountsPageIndex), static_cast<QWidget *>(w->accountsPage()));
    QCOMPARE(w->pageStack()->widget(LinkPageIndex), static_cast<QWidget *>(w->linkPage()));
    QCOMPARE(w->pageStack()->widget(ActivityPageIndex), static_cast<QWidget *>(w->activityPage()));
    QCOMPARE(w.services->vaultAutoLock()->interval(), 300000);
    // Filled at construction.
    QVERIFY(!w->activityPage()->shieldLabel()->text().isEmpty());
    QVERIFY(w->activityPage()->shieldLabel()->text() != QStringLiteral("Denetleniyor..."));
    QVERIFY(w->activityPage()->summaryLabel()->text().startsWith(QStringLiteral("Bu cihaz: ")));
    QCOMPARE(w->linkPage()->pairCodeLabel()->text(), QStringLiteral("------"));

    // Link messages reach both the page's log and the status line.
    emit w.services->link()->linkLog(QStringLiteral("Cihaz baglantisi kesildi."));
    QCOMPARE(w->linkPage()->logLabel()->text(), QStringLiteral("Cihaz baglantisi kesildi."));
    QCOMPARE(w->statusLine()->text(), QStringLiteral("Cihaz baglantisi kesildi."));

    w->switchPage(ActivityPageIndex);
    QCOMPARE(w->pageStack()->currentWidget(), static_cast<QWidget *>(w->activityPage()));
}

void TestWindowPages::vaultAutoLockAndClose()
{
    auto w = makeWindow(200); // the five minutes, shortened
    VaultPage *page = w->vaultPage();
    w->show();
    QVERIFY(w.services->vault()->setupVault(QStringLiteral("kasa-1234")));
    // Set-up through the page starts the auto-lock; here the vault was opened
    // directly, so the page's copy is what (re)starts it.
    QVERIFY(w.services->vault()->addEntry(QStringLiteral("A"), QStringLiteral("JBSWY3DPEHPK3PXP")));
    page->copyEntry(w.services->vault()->rows().at(0).id);
    QVERIFY(w.services->vaultAutoLock()->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(w.services->vault()->isLocked(), 3000);
    QCOMPARE(w->statusLine()->text(), QStringLiteral("Kasa otomatik kilitlendi (5 dk)."));
    QCOMPARE(page->entryList()->count(), 0);

    // Page warnings reach the window's message hook, not a blocking box.
    for (QLineEdit *e : page->findChildren<QLineEdit *>())
        if (e->placeholderText() == QStringLiteral("Kasa sifresi"))
            e->setText(QStringLiteral("yanlis"));
    for (QPushButton *b : page->findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("Kilidi Ac"))
            b->click();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).first, QMessageBox::Warning);
    QCOMPARE(m_messages.at(0).second, QStringLiteral("Sifre yanlis."));

    // Closing the window (no tray) locks an open vault and the page follows.
    QVERIFY(w.services->vault()->unlock(QStringLiteral("kasa-1234")));
    QCOMPARE(page->entryList()->count(), 1);
    w->close();
    QVERIFY(w.services->vault()->isLocked());
    QCOMPARE(page->entryList()->count(), 0);
}

void TestWindowPages::maskedModeReachesVaultAndGuardLine()
{
    auto w = makeWindow();
    QVERIFY(w.services->vault()->setupVault(QStringLiteral("kasa-1234")));
    QVERIFY(w.services->vault()->addEntry(QStringLiteral("A"), QStringLiteral("JBSWY3DPEHPK3PXP")));
    const QString id = w.services->vault()->rows().at(0).id;
    QVERIFY(w->vaultPage()->codeLabel(id)->text() != QStringLiteral("***"));
    const QString calm = w->activityPage()->guardLabel()->text();
    QVERIFY(!calm.isEmpty());

    m_guard = true;
    w.services->protection()->check();
    QVERIFY(w.services->protection()->isMasked());
    QVERIFY(w->vaultPage()->isMasked());
    QCOMPARE(w->vaultPage()->codeLabel(id)->text(), QStringLiteral("***"));
    QVERIFY(w->activityPage()->guardLabel()->text() != calm);

    // Even when the guard calms down the run stays masked, and says so.
    m_guard = false;
    w.services->protection()->check();
    QVERIFY(w->activityPage()->guardLabel()->text() != calm);
    w->vaultPage()->copyEntry(id);
    QCOMPARE(w->statusLine()->text(), QStringLiteral("Koruma aktif: kod gizli."));
}

void TestWindowPages::accountMenuFiltersInbox()
{
    auto w = makeWindow();
    EmailAccount a;
    a.address = QStringLiteral("ali@firma.com");
    a.pass = QStringLiteral("x");
    w.services->store()->addOrUpdateAccount(a);
    w->switchPage(AccountsPageIndex);
    std::unique_ptr<QMenu> menu(w->accountsPage()->accountMenu(a.address));
    menu->actions().at(0)->trigger();
    QCOMPARE(w->inboxFilter()->account(), a.address);
    QCOMPARE(w->currentPage(), int(InboxPageIndex));
    QCOMPARE(w->statusLine()->text(), QStringLiteral("Filtre: ali@firma.com"));
    // The activity summary follows the account list.
    QVERIFY(w->activityPage()->summaryLabel()->text().endsWith(QStringLiteral("ali@firma.com: baglanti bekleniyor")));
}

void TestWindowPages::themeSwitchRedrawsPlusIcons()
{
    auto w = makeWindow();
    QPushButton *test = w->accountsPage()->testButton();
    QVERIFY(!test->icon().isNull());
    const QImage before = test->icon().pixmap(16, 16).toImage();
    w->toggleTheme();
    const QImage after = test->icon().pixmap(16, 16).toImage();
    QVERIFY(!after.isNull());
    QVERIFY(before != after);
}

QTEST_MAIN(TestWindowPages)
#include "tst_windowpages.moc"

void TestWindowPages::advancedFieldsKeepTheirHeight()
{
    auto w = makeWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    w->switchPage(AccountsPageIndex);
    AccountsPage *page = w->accountsPage();
    for (QPushButton *b : page->findChildren<QPushButton *>()) {
        if (b->isCheckable() && b->text().startsWith(QStringLiteral("Gelismis")))
            b->setChecked(true);
    }
    QCoreApplication::processEvents();
    // At the default window size every field of the open form is readable:
    // none is squashed below the height its text needs.
    const QList<QLineEdit *> fields = page->findChildren<QLineEdit *>();
    QVERIFY(fields.size() >= 7);
    for (QLineEdit *field : fields) {
        if (!field->isVisibleTo(page))
            continue;
        QVERIFY2(field->height() >= field->sizeHint().height(),
                 qPrintable(QStringLiteral("%1: %2 < %3").arg(field->objectName()).arg(field->height())
                                .arg(field->sizeHint().height())));
    }
}

void TestWindowPages::lightThemeSelectedRowIsReadable()
{
    auto w = makeWindow();
    EmailAccount a;
    a.address = QStringLiteral("ali@firma.com");
    a.pass = QStringLiteral("x");
    w.services->store()->addOrUpdateAccount(a);
    if (!isLightTheme())
        w->toggleTheme();
    QVERIFY(isLightTheme());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    w->switchPage(AccountsPageIndex);
    auto *list = w->accountsPage()->findChild<QListWidget *>(QStringLiteral("accList"));
    QVERIFY(list && list->count() > 0);
    list->setFocus();
    list->setCurrentRow(0);
    QCoreApplication::processEvents();
    // The text part of the row, right of the letter icon, in the window as
    // drawn (the viewport is see-through): its darkest pixel is the text, and
    // it must stand out from the light background once the page has faded in.
    QRect row = list->visualItemRect(list->item(0)).adjusted(48, 0, 0, 0);
    row.moveTopLeft(list->viewport()->mapTo(w.window.get(), row.topLeft()));
    auto darkest = [&] {
        const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return inkOf(shot, row & shot.rect(), true);
    };
    QTRY_VERIFY2(darkest() < 120, qPrintable(QString::number(darkest())));
}


void TestWindowPages::unavailableTrayEntryIsGreyed()
{
    for (bool light : {false, true}) {
        setLightTheme(light);
        QWidget owner;
        owner.setStyleSheet(themeStyleSheet());
        TrayMenu menu(false, false, &owner);
        menu.popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        const QImage shot = menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QAction *show = menu.actions().at(0);
        QAction *capture = menu.actions().at(2);
        QVERIFY(!capture->isEnabled());
        const int enabledInk = inkOf(shot, menu.actionGeometry(show), light);
        const int disabledInk = inkOf(shot, menu.actionGeometry(capture), light);
        // Clearly fainter than an entry that works.
        QVERIFY2(qAbs(disabledInk - enabledInk) > 60,
                 qPrintable(QStringLiteral("%1 vs %2 (light %3)").arg(disabledInk).arg(enabledInk).arg(light)));
        menu.close();
    }
}
