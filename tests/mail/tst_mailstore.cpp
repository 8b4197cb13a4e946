#include "mail/codetrust.h"
#include "mail/mailstore.h"
#include "mail/storedrecords.h"
#include "memorydisk.h"
#include "support/isolatedsettings.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

MailItem mail(const QString &id, const QString &subject, const QString &body, const QString &account = "a@gmail.com")
{
    MailItem m;
    m.id = id;
    m.account = account;
    m.from = "Steam <noreply@steampowered.com>";
    m.subject = subject;
    m.body = body;
    return m;
}

// The \Seen flags the account's next session is to set.
QStringList seenUids(const MailStore &store)
{
    QStringList out;
    for (const MailAction &a : store.pollableAccounts().value(0).pendingActions) {
        if (a.kind == MailActionKind::MarkSeen)
            out << a.serverUid;
    }
    return out;
}

QStringList ids(const QList<MailItem> &mails)
{
    QStringList out;
    for (const MailItem &m : mails)
        out << m.id;
    return out;
}

// Records the store's signals in the order they come.
struct SignalLog
{
    QStringList events;
    QList<MailItem> codes;

    explicit SignalLog(MailStore &store)
    {
        QObject::connect(&store, &MailStore::mailsChanged, [this] { events << "mails"; });
        QObject::connect(&store, &MailStore::newCode, [this](const MailItem &m) {
            events << "code:" + m.id;
            codes << m;
        });
        QObject::connect(&store, &MailStore::accountsChanged, [this] { events << "accounts"; });
        QObject::connect(&store, &MailStore::categoriesChanged, [this] { events << "categories"; });
    }
};

void storeRaw(const char *key, const QByteArray &value)
{
    QSettings("MIRELOPLUS", "MireloPlus").setValue(key, value);
}

} // namespace

class TestMailStore : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void batchOrderAndSignals();
    void duplicatesAndIds();
    void keepsAtMost500();
    void existingCodeKept();
    void previewUsedWhenBodyEmpty();
    void markSeen();
    void newestFirstByTheMailsOwnTime();
    void readMarksWaitForTheServer();
    void refusedLoginLeavesThePollUntilTheUserActs();
    void outgoingServerFieldsAreOptional();
    void mailsMatchingAccountAndCategory();
    void demoMails();
    void accountOperations();
    void accountsRoundTrip();
    void pollsLeaveTheStoredAccountsAlone();
    void recordsOfOtherVersionsOutlastPolls();
    void categoryOperations();
    void defaultCategoriesAtStart();
    void loadingDamagedSettings_data();
    void loadingDamagedSettings();

private:
    std::unique_ptr<IsolatedSettings> m_settings;
};

void TestMailStore::batchOrderAndSignals()
{
    MailStore store;
    store.addMail(mail("C", "Steam Guard", "kod 111111"));
    SignalLog log(store);

    store.addMails({mail("A", "Steam Guard", "Kodun: 222222"), mail("B", "Bilgi", "kod yok burada"),
                    mail("D", "Steam", "code 333333")});
    QCOMPARE(ids(store.mails()), (QStringList{"A", "B", "D", "C"}));
    QCOMPARE(log.events, (QStringList{"mails", "code:A", "code:D"}));
    QCOMPARE(log.codes.at(0).code, QStringLiteral("222222"));
    // A code named by its keyword is sure enough to act on.
    QVERIFY(log.codes.at(0).confidence >= kDefaultMinConfidence);

    log.events.clear();
    store.addMails({});
    QVERIFY(log.events.isEmpty());
}

void TestMailStore::duplicatesAndIds()
{
    MailStore store;
    store.addMail(mail("X1", "Steam", "kod 123456"));
    SignalLog log(store);

    // Only mail of its batch and already held: nothing happens.
    store.addMail(mail("X1", "Other subject", "kod 654321"));
    QVERIFY(log.events.isEmpty());
    QCOMPARE(store.mails().size(), 1);
    QCOMPARE(store.mails().first().code, QStringLiteral("123456"));

    // Ids are exact: another letter case is another mail.
    store.addMail(mail("x1", "Steam", "kod 777777"));
    QCOMPARE(ids(store.mails()), (QStringList{"x1", "X1"}));

    // Mails of one batch are not compared with each other.
    store.addMails({mail("Y", "a", ""), mail("Y", "b", "")});
    QCOMPARE(ids(store.mails()).count("Y"), 2);

    // An empty id becomes a UUID without braces.
    store.addMail(mail("", "Steam", "kod 999999"));
    const QString fresh = store.mails().first().id;
    QCOMPARE(fresh.size(), 36);
    QVERIFY(!fresh.contains('{'));
    QCOMPARE(fresh, fresh.toLower());
    QVERIFY(!QUuid::fromString(fresh).isNull());
}

void TestMailStore::keepsAtMost500()
{
    MailStore store;
    for (int i = 0; i < 501; ++i)
        store.addMail(mail(QString::number(i), "s", ""));
    const QList<MailItem> held = store.mails();
    QCOMPARE(held.size(), 500);
    QCOMPARE(held.first().id, QStringLiteral("500"));
    QCOMPARE(held.last().id, QStringLiteral("1"));
    QVERIFY(!ids(held).contains("0"));
}

void TestMailStore::existingCodeKept()
{
    MailStore store;
    MailItem m = mail("K", "Steam Guard", "kod 123456");
    m.code = "ZZ99";
    m.confidence = 12;
    store.addMail(m);
    QCOMPARE(store.mails().first().code, QStringLiteral("ZZ99"));
    QCOMPARE(store.mails().first().confidence, 12);

    MailItem none = mail("N", "Merhaba", "nasilsin");
    store.addMail(none);
    QVERIFY(store.mails().first().code.isEmpty());
    QCOMPARE(store.mails().first().confidence, 0);

    // A receipt's year and order number are no codes (the old rule table took
    // the year), so no newCode either.
    SignalLog log(store);
    store.addMail(mail("R", "Makbuz", "Siparis no: 123456\nToplam: 1.299,00 TL\n(c) 2024 Magaza A.S."));
    QVERIFY(store.mails().first().code.isEmpty());
    QCOMPARE(log.events, (QStringList{"mails"}));
}

void TestMailStore::previewUsedWhenBodyEmpty()
{
    MailStore store;
    MailItem m = mail("P", "Bilgi", "");
    m.preview = "Kodun: 4455";
    store.addMail(m);
    QCOMPARE(store.mails().first().code, QStringLiteral("4455"));
}

void TestMailStore::markSeen()
{
    MailStore store;
    store.addMails({mail("A", "s", ""), mail("B", "s", "")});
    SignalLog log(store);
    store.markSeen("A");
    store.markSeen("nope");
    QCOMPARE(log.events, (QStringList{"mails", "mails"}));
    QVERIFY(store.mails().at(0).seen);
    QVERIFY(!store.mails().at(1).seen);
    store.markSeen("b");
    QVERIFY(!store.mails().at(1).seen);
}

void TestMailStore::newestFirstByTheMailsOwnTime()
{
    MailStore store;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    auto at = [&](const QString &id, int minutesAgo, bool withDate) {
        MailItem m = mail(id, "s", "");
        m.received = now; // all taken in together, as after a restart
        if (withDate)
            m.sent = now.addSecs(-60 * minutesAgo);
        return m;
    };
    // one batch in server order, one late delivery of an older mail
    store.addMails({at("old", 90, true), at("new", 5, true), at("mid", 30, true)});
    store.addMail(at("oldest", 600, true));
    QCOMPARE(ids(store.mails()), (QStringList{"new", "mid", "old", "oldest"}));
    // no Date: the time it was taken in counts
    MailItem undated = at("undated", 0, false);
    undated.received = now.addSecs(-60 * 60);
    store.addMail(undated);
    QCOMPARE(ids(store.mails()), (QStringList{"new", "mid", "undated", "old", "oldest"}));
}

void TestMailStore::readMarksWaitForTheServer()
{
    EmailAccount acc;
    acc.address = "Ali@Example.com";
    acc.pass = "p";
    {
        MailStore store;
        store.addOrUpdateAccount(acc);
        MailItem a = mail("A", "s", "", "ali@example.com");
        a.serverUid = "7:42";
        MailItem demo = mail("D", "s", "", "ali@example.com"); // no place on a server
        store.addMails({a, demo});
        store.markSeen("A");
        store.markSeen("A");
        store.markSeen("D");
        QCOMPARE(seenUids(store), QStringList{"7:42"});
    }
    // the queue outlives a restart, and leaves once the server has the flags
    MailStore store;
    QCOMPARE(seenUids(store), QStringList{"7:42"});
    store.actionsDone("ALI@example.com", {{store.pendingActions(acc.address).value(0), MailActionResult::Outcome::Done, {}, {}, {}}});
    QVERIFY(seenUids(store).isEmpty());
    QVERIFY(MailStore().pollableAccounts().first().pendingActions.isEmpty());
    // a removed account takes its queue along
    MailItem b = mail("B", "s", "", "ali@example.com");
    b.serverUid = "7:43";
    store.addMail(b);
    store.markSeen("B");
    store.removeAccount("ali@example.com");
    store.addOrUpdateAccount(acc);
    QVERIFY(seenUids(store).isEmpty());
}

void TestMailStore::refusedLoginLeavesThePollUntilTheUserActs()
{
    EmailAccount acc;
    acc.address = "ali@example.com";
    acc.pass = "p";
    MailStore store;
    store.addOrUpdateAccount(acc);
    store.setAccountLoginRefused("ALI@example.com", "Sifre reddedildi.");
    QVERIFY(store.pollableAccounts().isEmpty());
    QVERIFY(MailStore().accounts().first().loginRefused);
    // resuming, a good test, or saving the settings again each bring it back
    store.setAccountEnabled(acc.address, true);
    QCOMPARE(store.pollableAccounts().size(), 1);
    store.setAccountLoginRefused(acc.address, "x");
    store.setAccountOk(acc.address, "10:00");
    QCOMPARE(store.pollableAccounts().size(), 1);
    store.setAccountLoginRefused(acc.address, "x");
    store.addOrUpdateAccount(acc);
    QCOMPARE(store.pollableAccounts().size(), 1);
    QVERIFY(!MailStore().accounts().first().loginRefused);
}

void TestMailStore::outgoingServerFieldsAreOptional()
{
    // a record from before the outgoing-server fields reads as it did
    storeRaw("accounts", R"([{"address":"a@b.com","provider":"auto","host":"imap.b.com","port":993,"user":"",)"
                         R"("pass":"cA==","enabled":true}])");
    const EmailAccount old = MailStore().accounts().first();
    QVERIFY(old.smtpHost.isEmpty());
    QCOMPARE(old.smtpPort, quint16(0));
    QVERIFY(!old.loginRefused);
    // and the keys are written only when set
    QVERIFY(!accountsToJson({old}).contains("smtp"));
    EmailAccount set = old;
    set.smtpHost = "smtp.b.com";
    set.smtpPort = 587;
    set.smtpStartTls = true;
    // what becomes of a used code mail: missing reads as leave, unknown too
    QCOMPARE(old.afterUse, AfterUse::Leave);
    QVERIFY(!accountsToJson({old}).contains("afterUse"));
    set.afterUse = AfterUse::MoveToTrash;
    const EmailAccount back = accountsFromJson(accountsToJson({set})).first();
    QCOMPARE(back.afterUse, AfterUse::MoveToTrash);
    QCOMPARE(accountsFromJson(QByteArray(accountsToJson({set})).replace("trash", "shred")).first().afterUse,
             AfterUse::Leave);
    QCOMPARE(back.smtpHost, QStringLiteral("smtp.b.com"));
    QCOMPARE(back.smtpPort, quint16(587));
    QVERIFY(back.smtpStartTls);
    // a damaged port falls back to the default one, never another port
    const EmailAccount damaged = accountsFromJson(R"([{"address":"a@b.com","smtpHost":"s.b.com","smtpPort":70000}])").first();
    QCOMPARE(damaged.smtpPort, quint16(0));
}

void TestMailStore::mailsMatchingAccountAndCategory()
{
    MailStore store;
    MailItem game = mail("G", "Steam", "", "Me@Gmail.com");
    MailItem social = mail("S", "Discord", "", "other@outlook.com");
    social.from = "Discord <noreply@discord.com>";
    MailItem plain = mail("P", "hi", "", "me@gmail.com");
    plain.from = "friend@example.org";
    store.addMails({game, social, plain});

    SignalLog log(store);
    QCOMPARE(ids(store.mailsMatching("me@gmail.com", "")), (QStringList{"G", "P"}));
    QCOMPARE(ids(store.mailsMatching("me@gmail.com", "Oyunlar")), (QStringList{"G"}));
    QCOMPARE(ids(store.mailsMatching("", "Sosyal")), (QStringList{"S"}));
    QCOMPARE(ids(store.mailsMatching("", "")), (QStringList{"G", "S", "P"}));
    QVERIFY(log.events.isEmpty());

    // A removed category matches nothing any more; the removal is announced once.
    store.removeCategory("Sosyal");
    QVERIFY(store.mailsMatching("", "Sosyal").isEmpty());
    QCOMPARE(log.events, (QStringList{"categories", "mails"}));
}

void TestMailStore::demoMails()
{
    MailStore store;
    SignalLog log(store);
    store.loadDemoMails();
    const QList<MailItem> mails = store.mails();
    QCOMPARE(mails.size(), 5);
    QStringList codes;
    for (const MailItem &m : mails) {
        codes << m.code;
        QVERIFY(m.received.isValid());
        QVERIFY(!m.seen);
        QCOMPARE(m.preview, m.body.left(90));
    }
    // Added singly, so the last demo mail is on top.
    QCOMPARE(codes, (QStringList{"902114", "5518", "739201", "847204", "482913"}));
    QCOMPARE(log.events.count("mails"), 5);
    QCOMPARE(log.codes.size(), 5);

    const QList<Category> cats = store.categories();
    QCOMPARE(categoryOf(cats, mails.at(4)), QStringLiteral("Oyunlar")); // Riot
    QCOMPARE(categoryOf(cats, mails.at(3)), QStringLiteral("Oyunlar")); // Steam
    QCOMPARE(categoryOf(cats, mails.at(2)), QStringLiteral("Oyunlar")); // Epic
    QCOMPARE(categoryOf(cats, mails.at(1)), QStringLiteral("Sosyal"));  // Discord

    store.loadDemoMails();
    QCOMPARE(store.mails().size(), 10);
}

void TestMailStore::accountOperations()
{
    MailStore store;
    SignalLog log(store);
    EmailAccount a;
    a.address = "User@Gmail.com";
    a.pass = "secret";
    store.addOrUpdateAccount(a);
    EmailAccount b;
    b.address = "b@outlook.com";
    store.addOrUpdateAccount(b);

    EmailAccount changed;
    changed.address = "user@gmail.com";
    changed.pass = "new";
    store.addOrUpdateAccount(changed);
    QCOMPARE(store.accounts().size(), 2);
    QCOMPARE(store.accounts().at(0).address, QStringLiteral("user@gmail.com"));
    QCOMPARE(store.accounts().at(0).pass, QStringLiteral("new"));

    store.setAccountError("USER@gmail.com", "Baglanti hatasi: zaman asimi");
    QCOMPARE(store.accounts().at(0).lastError, QStringLiteral("Baglanti hatasi: zaman asimi"));
    store.setAccountEnabled("user@gmail.com", false);
    QVERIFY(!store.accounts().at(0).enabled);
    QVERIFY(store.accounts().at(0).lastError.isEmpty());
    store.setAccountError("user@gmail.com", "x");
    store.setAccountOk("user@gmail.com", "12:34");
    QVERIFY(store.accounts().at(0).lastError.isEmpty());
    QCOMPARE(store.accounts().at(0).lastOk, QStringLiteral("12:34"));

    store.removeAccount("nobody@x.org");
    store.removeAccount("USER@GMAIL.COM");
    QCOMPARE(store.accounts().size(), 1);
    QCOMPARE(store.accounts().at(0).address, QStringLiteral("b@outlook.com"));
    // Every account operation signals, matched or not.
    QCOMPARE(log.events.count("accounts"), 9);
    QCOMPARE(log.events.size(), 9);
}

void TestMailStore::accountsRoundTrip()
{
    {
        MailStore store;
        EmailAccount a;
        a.address = "ayse@yandex.com.tr";
        a.provider = "yandex";
        a.host = "imap.yandex.com";
        a.port = 1993;
        a.user = "ayse";
        a.pass = QString::fromUtf8("şifre:ğüİ");
        a.enabled = false;
        a.lastError = "runtime";
        a.lastOk = "10:00";
        store.addOrUpdateAccount(a);
    }
    // The password is Base64 of its UTF-8 bytes in the stored JSON.
    const QByteArray raw = QSettings("MIRELOPLUS", "MireloPlus").value("accounts").toByteArray();
    QVERIFY(raw.contains(QString::fromUtf8("şifre:ğüİ").toUtf8().toBase64()));
    QVERIFY(!raw.contains('\n'));
    QVERIFY(!raw.contains("runtime"));

    MailStore again;
    QCOMPARE(again.accounts().size(), 1);
    const EmailAccount b = again.accounts().first();
    QCOMPARE(b.address, QStringLiteral("ayse@yandex.com.tr"));
    QCOMPARE(b.provider, QStringLiteral("yandex"));
    QCOMPARE(b.host, QStringLiteral("imap.yandex.com"));
    QCOMPARE(b.port, quint16(1993));
    QCOMPARE(b.user, QStringLiteral("ayse"));
    QCOMPARE(b.pass, QString::fromUtf8("şifre:ğüİ"));
    QVERIFY(!b.enabled);
    QVERIFY(b.lastError.isEmpty());
    QVERIFY(b.lastOk.isEmpty());
}

void TestMailStore::pollsLeaveTheStoredAccountsAlone()
{
    MemoryDisk disk;
    EmailAccount a;
    a.address = "ali@example.com";
    a.pass = "gizli-1";
    MailStore store(disk.storage());
    store.addOrUpdateAccount(a);
    const QByteArray stored = disk.values.value("accounts");

    // What a poll reports changes what the pages show, not what is stored.
    SignalLog log(store);
    store.setAccountOk("ALI@example.com", "10:00");
    store.setAccountError(a.address, "Baglanti hatasi: zaman asimi");
    store.actionsDone(a.address, {{MailAction{MailActionKind::MarkSeen, "5:1", {}, {}, {}}, MailActionResult::Outcome::Done, {}, {}, {}}});
    QCOMPARE(log.events, (QStringList{"accounts", "accounts"}));
    QCOMPARE(store.accounts().at(0).lastError, QStringLiteral("Baglanti hatasi: zaman asimi"));
    QCOMPARE(disk.writes.value("accounts"), 1);
    QCOMPARE(disk.writes.value("seenQueue"), 0);

    // A refused login must outlast a restart: written once, when it changes,
    // without the error text; a good connection test lifts it again.
    store.setAccountLoginRefused(a.address, "Sifre reddedildi.");
    store.setAccountLoginRefused(a.address, "Sifre reddedildi.");
    QCOMPARE(disk.writes.value("accounts"), 2);
    QVERIFY(MailStore(disk.storage()).accounts().at(0).loginRefused);
    QVERIFY(!disk.values.value("accounts").contains("Sifre reddedildi"));
    store.setAccountOk(a.address, "10:05");
    QCOMPARE(disk.writes.value("accounts"), 3);
    QCOMPARE(disk.values.value("accounts"), stored);
}

void TestMailStore::recordsOfOtherVersionsOutlastPolls()
{
    // A record with a key this version does not know, and a port it reads
    // as the default: polls leave it exactly as stored.
    const QByteArray foreign = R"([{"address":"a@b.com","provider":"auto","host":"imap.b.com","port":0,)"
                               R"("user":"a","pass":"cA==","enabled":true,"signIn":"oauth"}])";
    storeRaw("accounts", foreign);
    {
        MailStore store;
        QCOMPARE(store.accounts().first().port, quint16(993));
        store.setAccountOk("a@b.com", "09:00");
        store.setAccountError("a@b.com", "Baglanti hatasi");
        store.setAccountEnabled("a@b.com", true);
    }
    QCOMPARE(QSettings("MIRELOPLUS", "MireloPlus").value("accounts").toByteArray(), foreign);
    // A real change writes the record in this version's form.
    MailStore store;
    store.setAccountEnabled("a@b.com", false);
    const QByteArray now = QSettings("MIRELOPLUS", "MireloPlus").value("accounts").toByteArray();
    QVERIFY(now.contains("\"enabled\":false"));
    QCOMPARE(MailStore().accounts().first().pass, QStringLiteral("p"));
}

void TestMailStore::categoryOperations()
{
    MailStore store;
    SignalLog log(store);
    Category c;
    c.name = "Is";
    c.filters = {"corp.example"};
    store.addOrUpdateCategory(c);
    c.filters = {"CORP.EXAMPLE", "second.example"};
    c.icon = "inbox";
    store.addOrUpdateCategory(c);
    Category lower;
    lower.name = "is"; // names are exact: another category
    store.addOrUpdateCategory(lower);
    QCOMPARE(log.events, (QStringList{"categories", "mails", "categories", "mails", "categories", "mails"}));

    MailStore again;
    QStringList names;
    for (const Category &k : again.categories())
        names << k.name;
    QCOMPARE(names, (QStringList{"Oyunlar", "Sosyal", "Is", "is"}));
    QCOMPARE(again.categories().at(2).filters, (QStringList{"CORP.EXAMPLE", "second.example"}));
    QCOMPARE(again.categories().at(2).icon, QStringLiteral("inbox"));
}

void TestMailStore::defaultCategoriesAtStart()
{
    {
        MailStore store;
        QCOMPARE(store.categories().size(), 2);
        store.removeCategory("Oyunlar");
        store.removeCategory("Sosyal");
        QVERIFY(store.categories().isEmpty());
        QCOMPARE(QSettings("MIRELOPLUS", "MireloPlus").value("categories").toByteArray(), QByteArray("[]"));
    }
    MailStore again;
    QCOMPARE(again.categories().size(), 2);
    QCOMPARE(again.categories().at(0).name, QStringLiteral("Oyunlar"));
    QCOMPARE(again.categories().at(1).name, QStringLiteral("Sosyal"));
    // The defaults were saved at once.
    QVERIFY(QSettings("MIRELOPLUS", "MireloPlus").value("categories").toByteArray().contains("Oyunlar"));
}

void TestMailStore::loadingDamagedSettings_data()
{
    QTest::addColumn<QByteArray>("accounts");
    QTest::addColumn<QByteArray>("categories");
    QTest::addColumn<int>("accountCount");
    QTest::addColumn<QStringList>("categoryNames");

    const QStringList defaults{"Oyunlar", "Sosyal"};
    QTest::newRow("garbage") << QByteArray("\x01\xff not json") << QByteArray("{{{") << 0 << defaults;
    QTest::newRow("objects not arrays") << QByteArray(R"({"address":"a@b.cc"})") << QByteArray(R"({"name":"A"})") << 0
                                        << defaults;
    QTest::newRow("wrong element types") << QByteArray(R"([1,"x",null,[],{"address":5}])")
                                         << QByteArray(R"([true,{"name":["A"]},{"name":"Ok","filters":"nope"}])") << 0
                                         << QStringList{"Ok"};
    QTest::newRow("mixed good and bad") << QByteArray(R"([{"address":"a@b.cc"},{"address":""},{"address":"c@d.ee"}])")
                                        << QByteArray(R"([{"name":""},{"name":"Is"}])") << 2 << QStringList{"Is"};
}

void TestMailStore::loadingDamagedSettings()
{
    QFETCH(QByteArray, accounts);
    QFETCH(QByteArray, categories);
    QFETCH(int, accountCount);
    QFETCH(QStringList, categoryNames);

    storeRaw("accounts", accounts);
    storeRaw("categories", categories);
    MailStore store;
    QCOMPARE(store.accounts().size(), accountCount);
    QStringList names;
    for (const Category &c : store.categories())
        names << c.name;
    QCOMPARE(names, categoryNames);
}


QTEST_GUILESS_MAIN(TestMailStore)
#include "tst_mailstore.moc"
