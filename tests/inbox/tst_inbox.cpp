#include "mail/categories.h"
#include "mail/mailstore.h"
#include "pages/categorydialog.h"
#include "pages/inboxfilter.h"
#include "pages/inboxmodel.h"
#include "pages/inboxpage.h"
#include "pages/mailcard.h"
#include "pages/maillistview.h"
#include "pages/sidebar.h"
#include "support/isolatedsettings.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>
#include <QApplication>
#include <QtTest>

#include <memory>

namespace {

MailItem mail(int i, const QString &from = "Someone <someone@example.org>", const QString &code = "123456")
{
    MailItem m;
    m.id = QString("id-%1").arg(i);
    m.account = i % 2 ? "odd@example.com" : "even@example.com";
    m.from = from;
    m.subject = QString("Konu %1").arg(i);
    m.preview = "Onizleme";
    m.code = code.isEmpty() ? QString() : code;
    m.received = QDateTime(QDate(2026, 1, 2), QTime(9, 5));
    return m;
}

QStringList ids(const QList<MailItem> &mails)
{
    QStringList out;
    for (const MailItem &m : mails)
        out << m.id;
    return out;
}

CardSource plainSource()
{
    CardSource s;
    s.displayName = "Someone";
    s.bareAddress = "someone@example.org";
    s.avatarInitial = "S";
    return s;
}

} // namespace

class TestInbox : public QObject
{
    Q_OBJECT
    std::unique_ptr<IsolatedSettings> m_settings;

private slots:
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }

    void demoMailsAreMarkedAsSuch()
    {
        MailStore store;
        QSignalSpy codes(&store, &MailStore::newCode);
        store.loadDemoMails();
        QVERIFY(!store.mails().isEmpty());
        QCOMPARE(codes.size(), store.mails().size());
        for (const MailItem &m : store.mails()) {
            QVERIFY(m.demo);
            const MailCardData d = buildMailCard(m, plainSource(), false, m.received);
            QCOMPARE(d.accountLine, "DEMO · " + m.account);
            // outlined, with the reason, though trusted by every other measure
            QVERIFY(d.unsure);
            QCOMPARE(d.codeTip, QString("Demo posta: ornek kod, kopyalanmaz ve gonderilmez."));
        }
        // a real mail's card says nothing of the kind
        const MailCardData real = buildMailCard(mail(1), plainSource(), false, QDateTime());
        QCOMPARE(real.accountLine, QString("odd@example.com"));
        QVERIFY(!real.unsure);
        // moved to the trash after use: the card says where it is now
        MailItem moved = mail(1);
        moved.inTrash = true;
        moved.seen = true;
        const MailCardData gone = buildMailCard(moved, plainSource(), false, QDateTime());
        QCOMPARE(gone.accountLine, QString("odd@example.com · Cop kutusunda"));
        QVERIFY(!gone.unread);
    }

    void cardShowsWhatTheMailGives()
    {
        MailItem m = mail(1);
        m.subject.clear();
        m.preview = QString(200, 'p');
        MailCardData d = buildMailCard(m, plainSource(), false, m.received.addSecs(3600));
        QCOMPARE(d.subject, QString("(konu yok)"));
        QCOMPARE(d.mailSubject, QString());
        QCOMPARE(d.preview, QString(140, 'p'));
        // no Date header: the time it was taken in, on its own day without the date
        QCOMPARE(d.time, QString("09:05"));
        // the code's age rides beside it, from the arrival when there is no Date
        QCOMPARE(d.codeAge, QString("1 sa once"));
        QCOMPARE(buildMailCard(m, plainSource(), false, m.received.addSecs(150)).codeAge, QString("2 dk once"));
        // the mail's own Date wins, in local time, with the day once it is not today
        m.sent = QDateTime(m.received.date().addDays(-1), QTime(22, 30), Qt::UTC);
        const QDateTime sentLocal = m.sent.toLocalTime();
        QCOMPARE(buildMailCard(m, plainSource(), false, m.received).time,
                 sentLocal.date() == m.received.date() ? sentLocal.toString("HH:mm")
                                                       : sentLocal.toString("dd.MM HH:mm"));
        QCOMPARE(buildMailCard(m, plainSource(), false, m.received.addYears(1)).time, sentLocal.toString("dd.MM.yyyy"));
        QCOMPARE(d.avatarColor, QColor("#55555E"));
        QCOMPARE(d.avatarTip, QString("someone@example.org"));
        QVERIFY(d.badge.isEmpty());
        QVERIFY(d.unread);

        CardSource branded = plainSource();
        branded.brandName = "Steam";
        branded.brandColor = "#1B2838";
        branded.category = "Oyunlar";
        d = buildMailCard(m, branded, true);
        QCOMPARE(d.sender, QString("Steam"));
        QCOMPARE(d.badge, QString("Steam"));
        QCOMPARE(d.badgeTip, QString("Marka: Steam"));
        QCOMPARE(d.avatarTip, QString("Steam — someone@example.org"));
        QCOMPARE(d.codeShown, QString("***"));
        QCOMPARE(d.code, QString("123456"));

        CardSource categorised = plainSource();
        categorised.category = "Sosyal";
        QCOMPARE(buildMailCard(m, categorised, false).badge, QString("Sosyal"));
    }

    void searchAndBanner()
    {
        const MailItem m = mail(3);
        QVERIFY(mailMatchesNeedle(m, ""));
        QVERIFY(mailMatchesNeedle(m, "someone@"));
        QVERIFY(mailMatchesNeedle(m, "konu 3"));
        QVERIFY(mailMatchesNeedle(m, "123456"));
        QVERIFY(mailMatchesNeedle(m, "odd@example"));
        QVERIFY(!mailMatchesNeedle(m, "steam"));
        QVERIFY(inboxBannerText("", "").isEmpty());
        QVERIFY(inboxBannerText("a@b.com", "Oyunlar").startsWith("Sadece bu hesabin mailleri gosteriliyor: a@b.com   —  "));
        QCOMPARE(inboxBannerText("", "Oyunlar"), QString("Kategori: Oyunlar  —  Tum mailler icin [Tum Mailler]."));
    }

    void layoutPlacesButtonsOnlyForCodes()
    {
        const CardFonts fonts(QFont("DejaVu Sans"));
        const MailCardData withCode = buildMailCard(mail(1), plainSource(), false);
        const MailCardData noCode = buildMailCard(mail(2, "X <x@y.z>", ""), plainSource(), false);
        const CardLayout a = layoutMailCard(withCode, 700, fonts);
        const CardLayout b = layoutMailCard(noCode, 700, fonts);
        QCOMPARE(a.partAt(a.copyBtn.center()), CardPart::CopyButton);
        QCOMPARE(a.partAt(a.typeBtn.center()), CardPart::TypeButton);
        QCOMPARE(a.partAt(a.replyBtn.center()), CardPart::ReplyButton);
        QCOMPARE(a.partAt(a.code.center()), CardPart::Code);
        QVERIFY(b.copyBtn.isNull() && b.typeBtn.isNull() && b.code.isNull());
        QVERIFY(!b.replyBtn.isNull());
        // nothing overlaps on the bottom row and all of it fits the card
        QVERIFY(!a.copyBtn.intersects(a.typeBtn) && !a.typeBtn.intersects(a.replyBtn) && !a.code.intersects(a.copyBtn));
        QVERIFY(a.replyBtn.right() < 700 && a.account.left() >= a.avatar.right());
        // a long subject wraps and makes the card taller
        MailItem longOne = mail(1);
        longOne.subject = QString("kelime ").repeated(40);
        QVERIFY(layoutMailCard(buildMailCard(longOne, plainSource(), false), 700, fonts).height > a.height);
    }

    void emptyStoreAndEmptySearchShowTheHint()
    {
        MailStore store;
        InboxFilter filter(&store);
        InboxPage page(&store, &filter);
        page.refreshMailList();
        QListView *list = page.mailList();
        QCOMPARE(list->model()->rowCount(), 1);
        const QModelIndex idx = list->model()->index(0, 0);
        QCOMPARE(idx.data().toString(), QString(kInboxEmptyText));
        QCOMPARE(list->model()->flags(idx), Qt::NoItemFlags);

        store.addMails({mail(1), mail(2)});
        page.refreshMailList();
        QCOMPARE(page.model()->cardCount(), 2);
        page.searchField()->setText("  NO SUCH THING ");
        page.refreshMailList();
        QVERIFY(page.model()->isEmptyState());
        // a search without hits says so, instead of offering demo data
        QCOMPARE(list->model()->index(0, 0).data().toString(),
                 QString("Aramayla eslesen mail yok: \"NO SUCH THING\". Aramayi temizle ya da baska bir kelime dene."));
        page.searchField()->clear();
        filter.setCategory("Oyunlar");
        page.refreshMailList();
        QCOMPARE(list->model()->index(0, 0).data().toString(), QString(kInboxFilterEmptyText));
        filter.setCategory(QString());
        page.searchField()->setText(" ODD@EXAMPLE ");
        page.refreshMailList();
        QCOMPARE(page.model()->cardCount(), 1);
        const QModelIndex first = list->model()->index(0, 0);
        QCOMPARE(first.data(InboxModel::AccountRole).toString(), QString("odd@example.com"));
        QCOMPARE(first.data(InboxModel::CodeRole).toString(), QString("123456"));
        QCOMPARE(first.data(InboxModel::IdRole).toString(), QString("id-1"));
    }

    void aHundredCardsAtMostInStoreOrder()
    {
        MailStore store;
        QList<MailItem> batch;
        for (int i = 0; i < 150; ++i)
            batch << mail(i);
        store.addMails(batch);
        InboxFilter filter(&store);
        InboxPage page(&store, &filter);
        page.refreshMailList();
        QCOMPARE(page.model()->cardCount(), 100);
        QCOMPARE(page.model()->card(0)->id, filter.mails().first().id);
        QCOMPARE(page.model()->card(99)->id, filter.mails().at(99).id);
    }

    void maskedCardsAndMenus()
    {
        MailStore store;
        store.addMails({mail(1), mail(2, "NoCode <n@c.com>", "")});
        InboxFilter filter(&store);
        InboxPage page(&store, &filter);
        page.resize(800, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.refreshMailList();
        QListView *list = page.mailList();
        const QPoint firstPos = list->visualRect(list->model()->index(0, 0)).center();
        std::unique_ptr<QMenu> menu(page.contextMenuAt(firstPos));
        QVERIFY(menu);
        QStringList texts;
        for (QAction *a : menu->actions())
            texts << a->text();
        QCOMPARE(texts, QStringList({"Sadece bu hesabin maillerini goster", "Kodu kopyala: 123456", "Otomatik yaz", "Cevapla",
                                     "Okundu isaretle", "", "Bu gondericinin kodlarini yok say",
                                     "Bu alan adinin kodlarini yok say: example.org"}));
        QSignalSpy quiet(&page, &InboxPage::quietCopyRequested);
        QSignalSpy used(&page, &InboxPage::codeUsed);
        menu->actions().at(1)->trigger();
        QCOMPARE(quiet.size(), 1);
        QCOMPARE(used.size(), 1);
        QCOMPARE(used.first().first().toString(), QString("id-1"));
        menu->actions().at(4)->trigger();
        QVERIFY(store.mails().first().seen || store.mails().last().seen);

        // a card without a code offers no copy in its menu
        const QPoint secondPos = list->visualRect(list->model()->index(1, 0)).center();
        menu.reset(page.contextMenuAt(secondPos));
        QCOMPARE(menu->actions().size(), 3);
        QVERIFY(!page.contextMenuAt(QPoint(5, list->viewport()->height() - 2)));

        page.setMasked(true);
        page.refreshMailList();
        QCOMPARE(page.model()->card(0)->codeShown, QString("***"));
        menu.reset(page.contextMenuAt(firstPos));
        QCOMPARE(menu->actions().size(), 3);
        QSignalSpy status(&page, &InboxPage::statusMessage);
        QSignalSpy copies(&page, &InboxPage::copyRequested);
        // a real double-click starts with a press
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, firstPos);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, firstPos);
        QCOMPARE(copies.size(), 0);
        QCOMPARE(status.size(), 1);
        QCOMPARE(status.first().first().toString(), QString("Koruma aktif: kod gizli."));
    }

    void paintedButtonsAct()
    {
        MailStore store;
        EmailAccount acc;
        store.addMails({mail(1)});
        InboxFilter filter(&store);
        InboxPage page(&store, &filter);
        page.resize(900, 600);
        page.show();
        page.refreshMailList();
        auto *list = static_cast<MailListView *>(page.mailList());
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const QRect item = list->visualRect(list->model()->index(0, 0));
        const auto *delegate = static_cast<MailCardDelegate *>(list->itemDelegate());
        const CardLayout l = delegate->layoutFor(0);
        QCOMPARE(item.height(), l.height);

        QSignalSpy copy(&page, &InboxPage::copyRequested);
        QSignalSpy type(&page, &InboxPage::typeRequested);
        QSignalSpy reply(&page, &InboxPage::replyRequested);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.copyBtn.center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.typeBtn.center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.replyBtn.center());
        QCOMPARE(copy.size(), 1);
        QCOMPARE(copy.first().first().toString(), QString("123456"));
        QCOMPARE(type.size(), 1);
        QCOMPARE(reply.size(), 1);
        // the server wants the bare address, not the From header
        QCOMPARE(reply.first().mid(0, 3), QVariantList({"odd@example.com", "someone@example.org", "Konu 1"}));
        // the mail itself rides along, so the reply can thread under it
        QCOMPARE(reply.first().at(3).toString(), page.model()->card(0)->id);
        // a click on the card body is no button
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.subject.center());
        QCOMPARE(copy.size() + type.size() + reply.size(), 3);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.subject.center());
        QCOMPARE(copy.size(), 2);

        // pressing the code badge gives a field whose text can be selected and copied
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.code.center());
        auto *field = qobject_cast<QLineEdit *>(list->codeField());
        QVERIFY(field);
        QVERIFY(field->isReadOnly());
        QCOMPARE(field->selectedText(), QString("123456"));
        QCOMPARE(field->geometry(), l.code.translated(item.topLeft()));
        QTest::mouseDClick(field, Qt::LeftButton);
        QCOMPARE(copy.size(), 3);
        // a press elsewhere closes it; a rebuild never leaves one behind
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.subject.center());
        QTRY_VERIFY(!list->codeField());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.code.center());
        QVERIFY(list->codeField());
        page.refreshMailList();
        QVERIFY(!list->codeField());
    }

    void silencingFromTheMenuMarksTheSendersCards()
    {
        MailStore store;
        MailItem shop = mail(1, "Shop <deals@shop.com>");
        shop.confidence = 95;
        MailItem news = mail(2, "News <a@news.shop.com>");
        news.confidence = 95;
        MailItem other = mail(3, "Other <b@myshop.com>");
        other.confidence = 95;
        store.addMails({shop, news, other});
        InboxFilter filter(&store);
        InboxPage page(&store, &filter);
        page.resize(800, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.refreshMailList();
        QListView *list = page.mailList();
        int shopRow = -1;
        for (int row = 0; row < 3; ++row)
            if (page.model()->card(row)->id == "id-1")
                shopRow = row;
        QVERIFY(shopRow >= 0);
        std::unique_ptr<QMenu> menu(page.contextMenuAt(list->visualRect(list->model()->index(shopRow, 0)).center()));
        QCOMPARE(menu->actions().last()->text(), QString("Bu alan adinin kodlarini yok say: shop.com"));
        menu->actions().last()->trigger();
        page.refreshMailList();
        for (int row = 0; row < 3; ++row) {
            const MailCardData *c = page.model()->card(row);
            const bool silenced = c->id != "id-3"; // shop.com and news.shop.com, not myshop.com
            QCOMPARE(c->unsure, silenced);
            if (silenced)
                QCOMPARE(c->codeTip, QString("Emin degilim, kopyalanmadi: gonderici yok sayiliyor"));
        }
        // kept for the user: a store reading the settings again has it
        MailStore again;
        QVERIFY(again.silencedSenders().covers("x@shop.com"));
        QVERIFY(!again.silencedSenders().covers("x@myshop.com"));
    }

    void unsureCodesAreMarkedAndStillCopy()
    {
        MailStore store;
        MailItem sure = mail(1);
        sure.confidence = 95;
        MailItem weak = mail(2, "Someone <someone@example.org>", "654321");
        weak.confidence = 55;
        MailItem stale = mail(3, "Someone <someone@example.org>", "777777");
        stale.confidence = 95;
        stale.sent = stale.received.addSecs(-42 * 60);
        store.addMails({sure, weak, stale});
        InboxFilter filter(&store);
        InboxPage page(&store, &filter);
        page.resize(900, 600);
        page.show();
        page.refreshMailList();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        QVERIFY(!page.model()->card(0)->unsure);
        QVERIFY(page.model()->card(0)->codeTip.isEmpty());
        QVERIFY(page.model()->card(1)->unsure);
        QCOMPARE(page.model()->card(1)->codeTip, QString("Emin degilim, kopyalanmadi: dusuk guven (55 < 70)"));
        QCOMPARE(page.model()->card(2)->codeTip, QString("Emin degilim, kopyalanmadi: eski posta (42 dk once)"));

        auto *list = static_cast<MailListView *>(page.mailList());
        const auto *delegate = static_cast<MailCardDelegate *>(list->itemDelegate());
        const QRect item = list->visualRect(list->model()->index(1, 0));
        const CardLayout l = delegate->layoutFor(1);
        const QPoint onCode = item.topLeft() + l.code.center();
        QHelpEvent tip(QEvent::ToolTip, onCode, list->viewport()->mapToGlobal(onCode));
        QApplication::sendEvent(list->viewport(), &tip);
        QTRY_COMPARE(QToolTip::text(), page.model()->card(1)->codeTip);

        QSignalSpy copy(&page, &InboxPage::copyRequested);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.topLeft() + l.copyBtn.center());
        QCOMPARE(copy.size(), 1);
        QCOMPARE(copy.first().first().toString(), QString("654321"));
    }

    void categoryButtonsCountAndToggle()
    {
        MailStore store;
        store.addMails({mail(1, "Steam <noreply@steampowered.com>"), mail(2, "Riot <noreply@riotgames.com>"),
                        mail(3, "Epic <help@epicgames.com>"), mail(4)});
        InboxFilter filter(&store);
        Sidebar bar(&store, &filter);
        bar.refreshCategories();
        const QList<QPushButton *> buttons = bar.categoryButtons();
        QCOMPARE(buttons.size(), store.categories().size());
        QCOMPARE(buttons[0]->text(), QString("  Oyunlar (3)"));
        QCOMPARE(buttons[1]->text(), QString("  Sosyal"));
        QCOMPARE(buttons[0]->toolTip(), categoryRuleText(store.categories().first()));
        QCOMPARE(bar.allButton()->text(), QString("  Tum Mailler (4)"));
        QVERIFY(bar.allButton()->isChecked());

        QSignalSpy pages(&bar, &Sidebar::pageRequested);
        buttons[0]->click();
        QCOMPARE(filter.category(), QString("Oyunlar"));
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.first().first().toInt(), 0);
        // the marks follow once the rebuilt buttons are in
        QTRY_VERIFY(!bar.allButton()->isChecked());
        QVERIFY(bar.categoryButtons()[0]->isChecked());
        QVERIFY(!bar.categoryButtons()[1]->isChecked());
        bar.categoryButtons()[0]->click();
        QVERIFY(filter.category().isEmpty());

        filter.setAccount("odd@example.com");
        bar.refreshCategories();
        QVERIFY(!bar.allButton()->isChecked());
        filter.setCategory("Sosyal");
        bar.allButton()->click();
        QVERIFY(filter.account().isEmpty());
        QVERIFY(filter.category().isEmpty());
        QTRY_VERIFY(bar.allButton()->isChecked());
        QCOMPARE(bar.navButtons().size(), 5);
        QCOMPARE(bar.navButtons().first()->objectName(), QString("btnAll"));
    }

    void filterNarrowsAndLeavesWithItsCategory()
    {
        MailStore store;
        store.addMails({mail(1, "Steam <noreply@steampowered.com>"), mail(2, "Discord <noreply@discord.com>"), mail(3)});
        InboxFilter filter(&store);
        QSignalSpy changed(&filter, &InboxFilter::changed);
        QVERIFY(!filter.isActive());
        QCOMPARE(ids(filter.mails()), (QStringList{"id-1", "id-2", "id-3"}));
        filter.setAccount("ODD@example.com");
        QVERIFY(filter.isActive());
        QCOMPARE(ids(filter.mails()), (QStringList{"id-1", "id-3"}));
        filter.setCategory("Oyunlar");
        QCOMPARE(ids(filter.mails()), (QStringList{"id-1"}));
        filter.clearAccount();
        filter.setCategory("Sosyal");
        QCOMPARE(ids(filter.mails()), (QStringList{"id-2"}));
        // the same value again still rebuilds the inbox
        filter.setCategory("Sosyal");
        QCOMPARE(changed.size(), 5);

        // Another category going leaves the filter; its own going empties it.
        store.removeCategory("Oyunlar");
        QCOMPARE(filter.category(), QString("Sosyal"));
        QCOMPARE(changed.size(), 5);
        store.removeCategory("Sosyal");
        QVERIFY(filter.category().isEmpty());
        QCOMPARE(changed.size(), 6);
        QCOMPARE(filter.mails().size(), 3);

        // The account's mails stay when it is removed, and so does its filter.
        EmailAccount odd;
        odd.address = "odd@example.com";
        store.addOrUpdateAccount(odd);
        filter.setAccount(odd.address);
        store.removeAccount(odd.address);
        QCOMPARE(filter.account(), odd.address);
        QCOMPARE(ids(filter.mails()), (QStringList{"id-1", "id-3"}));
    }

    void filtersParse()
    {
        QCOMPARE(parseCategoryFilters(" bank.com , ,other.com.tr ,,  "), QStringList({"bank.com", "other.com.tr"}));
        QVERIFY(parseCategoryFilters(" , ,").isEmpty());
    }

    void dialogAddsAndRemoves()
    {
        MailStore store;
        InboxFilter filter(&store);
        Sidebar bar(&store, &filter);
        QObject::connect(&store, &MailStore::categoriesChanged, &bar, &Sidebar::refreshCategories);
        bar.refreshCategories();
        const int before = store.categories().size();
        CategoryDialog dialog(&store);
        QCOMPARE(dialog.windowTitle(), QString("Kategoriler"));
        QCOMPARE(dialog.categoryList()->count(), before);

        // an empty name does nothing and says nothing
        dialog.filtersField()->setText("bank.com");
        dialog.addCategory();
        QCOMPARE(store.categories().size(), before);

        // no filter: a warning, nothing added
        dialog.nameField()->setText("Bankalar");
        dialog.filtersField()->setText(" , ");
        QString warning;
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                warning = box->text();
                box->accept();
            }
        });
        dialog.addCategory();
        QVERIFY(warning.startsWith("En az bir filtre yaz"));
        QCOMPARE(store.categories().size(), before);

        dialog.filtersField()->setText(" bank.com, ,other.com ");
        dialog.addCategory();
        QCOMPARE(store.categories().size(), before + 1);
        QCOMPARE(store.categories().last().name, QString("Bankalar"));
        QCOMPARE(store.categories().last().filters, QStringList({"bank.com", "other.com"}));
        QCOMPARE(store.categories().last().icon, QString("game"));
        QVERIFY(dialog.nameField()->text().isEmpty() && dialog.filtersField()->text().isEmpty());
        QCOMPARE(dialog.categoryList()->count(), before + 1);
        QCOMPARE(bar.categoryButtons().size(), before + 1);

        // "Sil" on the new row removes it from the store, the list and the sidebar
        QWidget *row = dialog.categoryList()->itemWidget(dialog.categoryList()->item(before));
        QVERIFY(row);
        auto *label = row->findChild<QLabel *>();
        QCOMPARE(label->text(), QString("Bankalar  —  bank.com, other.com"));
        row->findChild<QPushButton *>()->click();
        QCOMPARE(store.categories().size(), before);
        QCOMPARE(dialog.categoryList()->count(), before);
        QCOMPARE(bar.categoryButtons().size(), before);
    }
};

QTEST_MAIN(TestInbox)
#include "tst_inbox.moc"
