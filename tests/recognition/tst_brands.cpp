#include "recognition/brands.h"

#include <QSet>
#include <QtTest>

class TestBrands : public QObject
{
    Q_OBJECT
private slots:
    void catalogueShape();
    void brandOf_data();
    void brandOf();
};

void TestBrands::catalogueShape()
{
    const QList<Brand> &all = brandCatalogue();
    QCOMPARE(all.size(), 19);
    int domains = 0;
    QSet<QString> seen;
    for (const Brand &b : all) {
        domains += int(b.domains.size());
        QVERIFY2(QRegularExpression("^#[0-9A-F]{6}$").match(b.color).hasMatch(), qPrintable(b.color));
        for (const QString &d : b.domains) {
            QCOMPARE(d, d.toLower());
            QVERIFY2(!seen.contains(d), qPrintable(d));
            seen.insert(d);
        }
    }
    QCOMPARE(domains, 30);
    QCOMPARE(all.first().name, QStringLiteral("Riot Games"));
    QCOMPARE(all.last().name, QStringLiteral("Google"));
}

void TestBrands::brandOf_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("color");

    QTest::newRow("steam") << "Steam <noreply@steampowered.com>" << "Steam Guard" << "Steam" << "#1B78D6";
    QTest::newRow("github") << "GitHub <noreply@github.com>" << "" << "GitHub" << "#333338";
    QTest::newRow("xbox before x") << "Xbox <account@xbox.com>" << "" << "Xbox" << "#107C10";
    QTest::newRow("x itself") << "info@x.com" << "" << "X" << "#111114";
    QTest::newRow("x subdomain") << "X <verify@mail.x.com>" << "" << "X" << "#111114";
    // Whole labels only: a domain that merely ends in the letters is someone else.
    QTest::newRow("dropbox not x") << "files@dropbox.com" << "" << "" << "#55555E";
    QTest::newRow("netflix not x") << "Netflix <info@account.netflix.com>" << "" << "" << "#55555E";
    QTest::newRow("firefox not x") << "accounts@firefox.com" << "Firefox hesabi" << "" << "#55555E";
    QTest::newRow("fooea not ea") << "team@fooea.com" << "" << "" << "#55555E";
    QTest::newRow("x.com as a prefix") << "a@x.com.evil.example" << "" << "" << "#55555E";
    QTest::newRow("display name ignored") << "github.com <someone@example.org>" << "" << "" << "#55555E";
    QTest::newRow("google is google") << "no-reply@accounts.google.com" << "Security alert" << "Google" << "#4285F4";
    QTest::newRow("youtube") << "noreply@youtube.com" << "" << "YouTube" << "#FF0000";
    QTest::newRow("sony") << "mail@sony.com" << "" << "PlayStation" << "#0070D1";
    QTest::newRow("live") << "security@live.com" << "" << "Microsoft" << "#00A4EF";
    QTest::newRow("subject names domain") << "friend@example.org" << "see epicgames.com" << "Epic Games"
                                          << "#2E2E35";
    QTest::newRow("case ignored") << "NOREPLY@DISCORD.COM" << "" << "Discord" << "#5865F2";
    QTest::newRow("subject inside a longer name") << "friend@example.org" << "netflix.com hesabin" << ""
                                                  << "#55555E";
    // The sender's domain decides; the subject is only a hint without one.
    QTest::newRow("sender beats subject") << "noreply@discord.com" << "riotgames.com etkinligi" << "Discord"
                                          << "#5865F2";
    QTest::newRow("none") << "someone@example.org" << "hello" << "" << "#55555E";
}

void TestBrands::brandOf()
{
    QFETCH(QString, from);
    QFETCH(QString, subject);
    QFETCH(QString, name);
    QFETCH(QString, color);
    const Brand b = ::brandOf(from, subject);
    QCOMPARE(b.name, name);
    QCOMPARE(b.color, color);
    if (name.isEmpty()) {
        QCOMPARE(b.icon, QStringLiteral("game"));
        QVERIFY(b.domains.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestBrands)
#include "tst_brands.moc"
