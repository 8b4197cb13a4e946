#include "mail/categories.h"
#include "mail/mailrecords.h"
#include "mail/providers.h"
#include "mail/storedrecords.h"

#include <QMetaType>
#include <QtTest>

class TestMailCatalogues : public QObject
{
    Q_OBJECT
private slots:
    void recordDefaults();
    void categoryMatching();
    void defaultCategoryFilters();
    void resolveProvider_data();
    void resolveProvider();
    void providerCatalogue();
    void addressCheck_data();
    void addressCheck();
    void storedAccountFields();
    void storedPorts_data();
    void storedPorts();
    void storedCategoryFields();
};

void TestMailCatalogues::recordDefaults()
{
    const EmailAccount a;
    QCOMPARE(a.provider, QStringLiteral("auto"));
    QCOMPARE(a.port, quint16(993));
    QVERIFY(a.enabled);
    QVERIFY(a.address.isEmpty() && a.user.isEmpty() && a.pass.isEmpty() && a.lastError.isEmpty() && a.lastOk.isEmpty());
    QCOMPARE(a.host, ::resolveProvider("x@gmail.com", "gmail").host);

    registerMailMetaTypes();
    for (const char *name : {"EmailAccount", "MailItem", "QList<EmailAccount>", "QList<MailItem>"})
        QVERIFY2(QMetaType::fromName(name).isValid(), name);
}

void TestMailCatalogues::categoryMatching()
{
    Category games;
    games.name = "Oyunlar";
    games.filters = {"", "STEAMPOWERED.COM"};
    Category social;
    social.name = "Sosyal";
    social.filters = {"instagram.com"};
    Category empty;
    empty.name = "Bos";
    empty.filters = {"", ""};

    MailItem m;
    m.from = "noreply@steampowered.com";
    QCOMPARE(categoryOf({games, social}, m), QStringLiteral("Oyunlar"));
    // A game newsletter sent through a social network: the first category wins.
    // The sender's domain decides over a domain named in the subject.
    m.from = "news@instagram.com";
    m.subject = "steampowered.com yaz indirimi";
    QCOMPARE(categoryOf({social, games}, m), QStringLiteral("Sosyal"));
    QCOMPARE(categoryOf({games, social}, m), QStringLiteral("Sosyal"));
    // Without a matching sender the subject is a hint, first category first.
    m.from = "Haber <news@ornek.example>";
    m.subject = "instagram.com ve steampowered.com";
    QCOMPARE(categoryOf({games, social}, m), QStringLiteral("Oyunlar"));
    QCOMPARE(categoryOf({social, games}, m), QStringLiteral("Sosyal"));
    QCOMPARE(categoryOf({empty}, m), QString());
    QCOMPARE(categoryOf({}, m), QString());

    QCOMPARE(categoryRuleText(social), QStringLiteral("Otomatik kural: instagram.com"));
    QCOMPARE(categoryRuleText(games), QStringLiteral("Otomatik kural: , STEAMPOWERED.COM"));
}

void TestMailCatalogues::defaultCategoryFilters()
{
    const QList<Category> defaults = defaultCategories();
    QCOMPARE(defaults.size(), 2);
    QCOMPARE(defaults.at(0).name, QStringLiteral("Oyunlar"));
    QCOMPARE(defaults.at(0).icon, QStringLiteral("game"));
    QCOMPARE(defaults.at(0).filters.size(), 10);
    QCOMPARE(defaults.at(1).name, QStringLiteral("Sosyal"));
    QCOMPARE(defaults.at(1).icon, QStringLiteral("inbox"));
    QCOMPARE(defaults.at(1).filters.size(), 5);

    // Short filters match whole domain labels only, never inside a longer name.
    MailItem m;
    for (const char *from : {"info@idea.com", "team@fooea.com", "files@dropbox.com", "info@netflix.com",
                             "accounts@firefox.com", "x.com <a@example.org>"}) {
        m.from = QString::fromLatin1(from);
        QVERIFY2(categoryOf(defaults, m).isEmpty(), from);
    }
    m.from = "EA <no-reply@mail.ea.com>";
    QCOMPARE(categoryOf(defaults, m), QStringLiteral("Oyunlar"));
    m.from = "Xbox <xbox@xbox.com>";
    QCOMPARE(categoryOf(defaults, m), QStringLiteral("Oyunlar"));
    m.from = "verify@x.com";
    QCOMPARE(categoryOf(defaults, m), QStringLiteral("Sosyal"));
    // A filter typed with an at sign or in capitals still means the domain.
    Category own;
    own.name = "Is";
    own.filters = {"@Firma.COM"};
    m.from = "ik@mail.firma.com";
    QCOMPARE(categoryOf({own}, m), QStringLiteral("Is"));
}

void TestMailCatalogues::resolveProvider_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("host");

    QTest::newRow("gmail auto") << "me@gmail.com" << "auto" << "gmail" << "imap.gmail.com";
    QTest::newRow("googlemail") << "me@GoogleMail.com" << "auto" << "gmail" << "imap.gmail.com";
    // whole domain labels only: another domain that merely ends the same way is not the provider
    QTest::newRow("ends with gmail") << "me@notgmail.com" << "auto" << "custom" << "imap.notgmail.com";
    QTest::newRow("acme is not me.com") << "me@acme.com" << "auto" << "custom" << "imap.acme.com";
    QTest::newRow("subdomain") << "me@eu.yahoo.com" << "auto" << "yahoo" << "imap.mail.yahoo.com";
    QTest::newRow("explicit wins") << "me@gmail.com" << "yahoo" << "yahoo" << "imap.mail.yahoo.com";
    QTest::newRow("unknown id is auto") << "me@hotmail.com" << "aol" << "outlook" << "outlook.office365.com";
    QTest::newRow("yandex tr") << "me@yandex.com.tr" << "auto" << "yandex" << "imap.yandex.com";
    QTest::newRow("icloud old domain") << "me@mac.com" << "auto" << "icloud" << "imap.mail.me.com";
    QTest::newRow("company") << " me@Corp.Example.COM " << "auto" << "custom" << "imap.corp.example.com";
    QTest::newRow("custom guesses too") << "me@corp.example" << "custom" << "custom" << "imap.corp.example";
    QTest::newRow("no at") << "nobody" << "auto" << "custom" << "";
}

void TestMailCatalogues::resolveProvider()
{
    QFETCH(QString, address);
    QFETCH(QString, provider);
    QFETCH(QString, id);
    QFETCH(QString, host);
    const MailProvider p = ::resolveProvider(address, provider);
    QCOMPARE(p.id, id);
    QCOMPARE(p.host, host);
    QCOMPARE(p.port, quint16(993));
    if (id == u"custom")
        QVERIFY(p.help.isEmpty());
}

void TestMailCatalogues::providerCatalogue()
{
    QStringList ids;
    for (const MailProvider &p : ::providerCatalogue()) {
        ids << p.id;
        QCOMPARE(p.port, quint16(993));
        QCOMPARE(p.host.isEmpty(), p.id == u"auto" || p.id == u"custom");
        QCOMPARE(p.help.isEmpty(), p.host.isEmpty());
    }
    QCOMPARE(ids, (QStringList{"auto", "gmail", "outlook", "yahoo", "yandex", "icloud", "custom"}));
}

void TestMailCatalogues::addressCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("spaces around") << "  a.b+c@mail.example.com \t" << true;
    QTest::newRow("no dot") << "a@localhost" << false;
    QTest::newRow("short tld") << "a@b.c" << false;
    QTest::newRow("non-ascii") << QString::fromUtf8("ş@b.com") << false;
    QTest::newRow("two at") << "a@b@c.com" << false;
    QTest::newRow("inner newline") << "a@b.com\nx@y.com" << false;
    QTest::newRow("empty") << "" << false;
}

void TestMailCatalogues::addressCheck()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(isValidMailAddress(text), valid);
}

void TestMailCatalogues::storedAccountFields()
{
    const QList<EmailAccount> list = accountsFromJson(
        R"([{"address":"a@corp.example","host":""},)"
        R"({"address":"b@gmail.com","provider":7,"host":3,"enabled":"no","pass":"!!c2Vj\ncmV0"},)"
        R"({"address":"c@x.org","user":"cuser","enabled":false,"pass":"w7w="}])");
    QCOMPARE(list.size(), 3);
    // An empty stored host is detected from the address.
    QCOMPARE(list.at(0).host, QStringLiteral("imap.corp.example"));
    QCOMPARE(list.at(0).provider, QStringLiteral("auto"));
    QVERIFY(list.at(0).enabled);
    // Members of the wrong type take their defaults.
    QCOMPARE(list.at(1).provider, QStringLiteral("auto"));
    QCOMPARE(list.at(1).host, QString::fromLatin1(kGmailImapHost));
    QVERIFY(list.at(1).enabled);
    QCOMPARE(list.at(1).pass, QStringLiteral("secret"));
    QCOMPARE(list.at(2).user, QStringLiteral("cuser"));
    QVERIFY(!list.at(2).enabled);
    QCOMPARE(list.at(2).pass, QString::fromUtf8("ü"));

    QCOMPARE(accountsFromJson(accountsToJson(list)).at(2).pass, QString::fromUtf8("ü"));
    QCOMPARE(accountsToJson({}), QByteArray("[]"));
}

void TestMailCatalogues::storedPorts_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<int>("port");
    QTest::newRow("missing") << QByteArray() << 993;
    QTest::newRow("zero") << QByteArray(R"("port":0,)") << 993;
    QTest::newRow("kept") << QByteArray(R"("port":143,)") << 143;
    QTest::newRow("highest") << QByteArray(R"("port":65535,)") << 65535;
    // Out of range would otherwise wrap: 65536 to 0, 66529 to 993, -1 to 65535.
    QTest::newRow("65536") << QByteArray(R"("port":65536,)") << 993;
    QTest::newRow("66529") << QByteArray(R"("port":66529,)") << 993;
    QTest::newRow("negative") << QByteArray(R"("port":-1,)") << 993;
    QTest::newRow("huge") << QByteArray(R"("port":1e300,)") << 993;
    QTest::newRow("fraction") << QByteArray(R"("port":993.5,)") << 993;
    QTest::newRow("string") << QByteArray(R"("port":"143",)") << 993;
}

void TestMailCatalogues::storedPorts()
{
    QFETCH(QByteArray, member);
    QFETCH(int, port);
    const QList<EmailAccount> list = accountsFromJson("[{" + member + R"("address":"a@b.cc"}])");
    QCOMPARE(list.size(), 1);
    QCOMPARE(int(list.first().port), port);
}

void TestMailCatalogues::storedCategoryFields()
{
    const QList<Category> list = categoriesFromJson(
        R"([{"name":"A","filters":["x.com",5,"y.com"]},{"name":"B","icon":"game","filters":[]},{"icon":"game"}])");
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).icon, QStringLiteral("inbox"));
    QCOMPARE(list.at(0).filters, (QStringList{"x.com", "", "y.com"}));
    QCOMPARE(list.at(1).icon, QStringLiteral("game"));
    QCOMPARE(categoriesFromJson(categoriesToJson(list)).at(0).filters, list.at(0).filters);
}

QTEST_GUILESS_MAIN(TestMailCatalogues)
#include "tst_mailcatalogues.moc"
