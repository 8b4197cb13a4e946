#include "vault/otpauth.h"

#include <QtTest>

namespace {

const QString kSecret = QStringLiteral("JBSWY3DPEHPK3PXP");

bool import(const QString &label, const QString &input, TotpImport *out, const QString &issuer = {})
{
    return importTotpInput(label, input, issuer, out);
}

} // namespace

class TestOtpauth : public QObject
{
    Q_OBJECT
private slots:
    void normalizesSecretsAndUris();
    void validSecretLengthsAndAlphabet();
    void acceptsGroupedLowerCaseSecret();
    void takesLabelAndIssuerFromUri();
    void cutsLongFieldsWithoutSplittingPairs();
    void honoursCodeParameters();
    void readsSteamKeys();
    void refusesWhatCannotGiveWorkingCodes_data();
    void refusesWhatCannotGiveWorkingCodes();
};

void TestOtpauth::normalizesSecretsAndUris()
{
    QCOMPARE(normalizeSecret(QStringLiteral("  jbsw-y3dp ehpk=3pxp== \n")), kSecret);
    QCOMPARE(normalizeSecret(QStringLiteral("otpauth://totp/A?secret=jbsw%20y3dp-ehpk3pxp&issuer=B")), kSecret);
    QCOMPARE(normalizeSecret(QStringLiteral("OTPAUTH://TOTP/A?secret=JBSWY3DPEHPK3PXP")), kSecret);
    // Without a "secret" item the URI text itself comes back and is invalid.
    const QString noSecret = normalizeSecret(QStringLiteral("otpauth://totp/a-b?SECRET=JBSWY3DPEHPK3PXP"));
    QCOMPARE(noSecret, QStringLiteral("OTPAUTH://TOTP/AB?SECRETJBSWY3DPEHPK3PXP"));
    QVERIFY(!isValidSecret(noSecret));
    // A URI nested in the secret item is taken as plain text, not parsed again.
    QVERIFY(!isValidSecret(normalizeSecret(
        QStringLiteral("otpauth://totp/a?secret=otpauth%3A%2F%2Ftotp%2Fb%3Fsecret%3DJBSWY3DPEHPK3PXP"))));
}

void TestOtpauth::validSecretLengthsAndAlphabet()
{
    QVERIFY(!isValidSecret(QStringLiteral("ABCDEFG")));
    QVERIFY(isValidSecret(QStringLiteral("ABCDEFGH")));
    QVERIFY(isValidSecret(QString(128, QLatin1Char('A'))));
    QVERIFY(!isValidSecret(QString(129, QLatin1Char('A'))));
    QVERIFY(!isValidSecret(QStringLiteral("ABCDEFG0")));
    QVERIFY(!isValidSecret(QStringLiteral("ABCDEFG1")));
    QVERIFY(!isValidSecret(QStringLiteral("abcdefgh")));
    QVERIFY(!isValidSecret(QStringLiteral("ABCDEFGH=")));
    QVERIFY(isValidSecret(QStringLiteral("ABCDEF27")));

    TotpImport out;
    QVERIFY(!import(QStringLiteral("x"), QStringLiteral("JBSWY3DP0HPK3PXP"), &out));
    QVERIFY(!import(QStringLiteral("x"), QStringLiteral("ABCDEFG"), &out));
    QVERIFY(import(QStringLiteral("x"), QString(128, QLatin1Char('B')), &out));
}

void TestOtpauth::acceptsGroupedLowerCaseSecret()
{
    TotpImport out;
    QVERIFY(import(QStringLiteral("  Riot Games "), QStringLiteral("jbsw y3dp-ehpk 3pxp"), &out));
    QCOMPARE(out.label, QStringLiteral("Riot Games"));
    QCOMPARE(out.secret, kSecret);
    QCOMPARE(out.issuer, QString());
    QCOMPARE(out.algorithm, TotpAlgorithm::Sha1);
    QCOMPARE(out.digits, 6);
    QCOMPARE(out.period, 30);
    // No label and no URI to take one from.
    TotpImport untouched;
    untouched.label = QStringLiteral("keep");
    QVERIFY(!import(QStringLiteral("   "), kSecret, &untouched));
    QCOMPARE(untouched.label, QStringLiteral("keep"));
}

void TestOtpauth::takesLabelAndIssuerFromUri()
{
    TotpImport out;
    QVERIFY(import(QString(),
                   QStringLiteral("otpauth://totp/ACME%20Co:john%40example.com?secret=JBSWY3DPEHPK3PXP"
                                  "&issuer=ACME%20Co"),
                   &out));
    QCOMPARE(out.label, QStringLiteral("ACME Co:john@example.com"));
    QCOMPARE(out.issuer, QStringLiteral("ACME Co"));
    QCOMPARE(out.secret, kSecret);

    QVERIFY(import(QStringLiteral("Mine"), QStringLiteral("otpauth://totp/Theirs?secret=JBSWY3DPEHPK3PXP"), &out,
                   QStringLiteral("Given")));
    QCOMPARE(out.label, QStringLiteral("Mine"));
    QCOMPARE(out.issuer, QStringLiteral("Given"));
    QVERIFY(import(QString(), QStringLiteral("otpauth://totp/G%C3%BCl?secret=JBSWY3DPEHPK3PXP"), &out));
    QCOMPARE(out.label, QStringLiteral("G\u00fcl"));
    QCOMPARE(out.issuer, QString());
    // Empty path and no typed label: nothing to show, refused.
    QVERIFY(!import(QString(), QStringLiteral("otpauth://totp/?secret=JBSWY3DPEHPK3PXP"), &out));
    // Item names are matched exactly.
    QVERIFY(!import(QStringLiteral("x"), QStringLiteral("OTPAUTH://TOTP/X?SECRET=JBSWY3DPEHPK3PXP"), &out));
    QVERIFY(import(QStringLiteral("x"), QStringLiteral("OTPAUTH://TOTP/X?secret=JBSWY3DPEHPK3PXP"), &out));
}

void TestOtpauth::cutsLongFieldsWithoutSplittingPairs()
{
    TotpImport out;
    const QString seventy(70, QLatin1Char('L'));
    QVERIFY(import(seventy, kSecret, &out, QString(70, QLatin1Char('I'))));
    QCOMPARE(out.label, QString(64, QLatin1Char('L')));
    QCOMPARE(out.issuer, QString(64, QLatin1Char('I')));
    // A character outside the BMP across the limit is dropped whole.
    const QString emoji = QString(63, QLatin1Char('x')) + QStringLiteral("\U0001F600") + QStringLiteral("yyy");
    QVERIFY(import(emoji, kSecret, &out));
    QCOMPARE(out.label, QString(63, QLatin1Char('x')));
}

void TestOtpauth::honoursCodeParameters()
{
    TotpImport out;
    QVERIFY(import(QStringLiteral("x"),
                   QStringLiteral("otpauth://totp/x?secret=JBSWY3DPEHPK3PXP&algorithm=SHA256&digits=8&period=60"),
                   &out));
    QCOMPARE(out.algorithm, TotpAlgorithm::Sha256);
    QCOMPARE(out.digits, 8);
    QCOMPARE(out.period, 60);
    QVERIFY(import(QStringLiteral("x"),
                   QStringLiteral("otpauth://totp/x?secret=JBSWY3DPEHPK3PXP&algorithm=sha512&digits=7&period=1"),
                   &out));
    QCOMPARE(out.algorithm, TotpAlgorithm::Sha512);
    QCOMPARE(out.digits, 7);
    QCOMPARE(out.period, 1);
    QVERIFY(import(QStringLiteral("x"),
                   QStringLiteral("otpauth://totp/x?secret=JBSWY3DPEHPK3PXP&algorithm=SHA1&digits=6&period=300"),
                   &out));
    QCOMPARE(out.algorithm, TotpAlgorithm::Sha1);
    QCOMPARE(out.period, 300);
}

void TestOtpauth::readsSteamKeys()
{
    TotpImport in;
    QVERIFY(importTotpInput(QString(), QStringLiteral("steam://jbsw y3dp ehpk 3pxp"), QString(), &in));
    QVERIFY(in.steam);
    QCOMPARE(in.secret, QStringLiteral("JBSWY3DPEHPK3PXP"));
    QCOMPARE(in.label, QStringLiteral("Steam"));
    QCOMPARE(in.issuer, QStringLiteral("Steam"));
    QVERIFY(importTotpInput(QString(), QStringLiteral("otpauth://totp/Me?secret=JBSWY3DPEHPK3PXP&encoder=steam"),
                            QString(), &in));
    QVERIFY(in.steam);
    QCOMPARE(in.label, QStringLiteral("Me"));
    QVERIFY(importTotpInput(QString(), QStringLiteral("otpauth://totp/Me?secret=JBSWY3DPEHPK3PXP"), QString(), &in));
    QVERIFY(!in.steam);
    QVERIFY(!importTotpInput(QString(), QStringLiteral("steam://01"), QString(), &in));
}

void TestOtpauth::refusesWhatCannotGiveWorkingCodes_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("uri");
    // Each fault has its own words, so the user knows what to fix.
    QTest::addColumn<QString>("why");
    const QString base = QStringLiteral("otpauth://totp/x?secret=JBSWY3DPEHPK3PXP");
    const QString x = QStringLiteral("x");
    const QString hotp = QStringLiteral("HOTP linki desteklenmiyor");
    const QString badUri = QStringLiteral("otpauth linki gecersiz: ");
    QTest::newRow("hotp") << x << QStringLiteral("otpauth://hotp/x?secret=JBSWY3DPEHPK3PXP&counter=1") << hotp;
    QTest::newRow("HOTP") << x << QStringLiteral("OTPAUTH://HOTP/x?secret=JBSWY3DPEHPK3PXP") << hotp;
    QTest::newRow("md5") << x << base + QStringLiteral("&algorithm=MD5") << badUri + QStringLiteral("algoritma");
    QTest::newRow("empty algorithm") << x << base + QStringLiteral("&algorithm=") << badUri + QStringLiteral("algoritma");
    QTest::newRow("5 digits") << x << base + QStringLiteral("&digits=5") << badUri + QStringLiteral("digits");
    QTest::newRow("9 digits") << x << base + QStringLiteral("&digits=9") << badUri + QStringLiteral("digits");
    QTest::newRow("word digits") << x << base + QStringLiteral("&digits=six") << badUri + QStringLiteral("digits");
    QTest::newRow("period 0") << x << base + QStringLiteral("&period=0") << badUri + QStringLiteral("period");
    QTest::newRow("period 301") << x << base + QStringLiteral("&period=301") << badUri + QStringLiteral("period");
    QTest::newRow("negative period") << x << base + QStringLiteral("&period=-30") << badUri + QStringLiteral("period");
    QTest::newRow("no secret") << x << QStringLiteral("otpauth://totp/x?issuer=y") << badUri + QStringLiteral("icinde secret= yok");
    QTest::newRow("other kind") << x << QStringLiteral("otpauth://steam/x?secret=JBSWY3DPEHPK3PXP") << badUri + QStringLiteral("otpauth://totp/");
    QTest::newRow("missing secret") << x << QStringLiteral("   ") << QStringLiteral("Anahtar eksik");
    QTest::newRow("twelve digits") << x << QStringLiteral("123456789012") << QStringLiteral("Anahtar Base32 degil");
    QTest::newRow("seven letters") << x << QStringLiteral("ABCDEFG") << QStringLiteral("Anahtar uzunlugu yanlis: 7 karakter");
    QTest::newRow("too long") << x << QString(129, QLatin1Char('B')) << QStringLiteral("Anahtar uzunlugu yanlis: 129 karakter");
    QTest::newRow("no label") << QString() << QStringLiteral("JBSWY3DPEHPK3PXP") << QStringLiteral("Etiket eksik");
}

void TestOtpauth::refusesWhatCannotGiveWorkingCodes()
{
    QFETCH(QString, label);
    QFETCH(QString, uri);
    QFETCH(QString, why);
    TotpImport out;
    QString problem;
    QVERIFY(!importTotpInput(label, uri, QString(), &out, &problem));
    QVERIFY2(problem.startsWith(why), qPrintable(problem));
}

QTEST_GUILESS_MAIN(TestOtpauth)
#include "tst_otpauth.moc"
