#include "recognition/codeextractor.h"
#include "plainextract.h"
#include "workedexamples.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <atomic>

class TestCodeExtractor : public QObject
{
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void ruleTableOrder();
    void concurrentCallers();
    void agreesWithPlainRuleTable();
};

namespace {

// Text made of pieces that sit on the rules' edges: digit groups of every
// length, separators, letters glued to digits, keywords, Turkish letters and
// the non-ASCII letters that fold to ASCII ones.
QString randomMailText(QRandomGenerator &rng)
{
    static const QStringList pieces = {
        "0", "12", "345", "6789", "01234", "567890", "1234567", "87654321", "123456789", " ", " ", "-", "--", ".",
        ": ", "\n", "_", "a", "Ab", "xyz", "kod", "Kodun", "kodunuz", "code", "OTP", "token", "Verification",
        "giris", QString::fromUtf8("giriş"), QString::fromUtf8("ı"), QString::fromUtf8("İ"), QString::fromUtf8("ş"),
        QString::fromUtf8("\u212A"), QString::fromUtf8("\u017F"), "AB12", "cd34", "2fa", QString::fromUtf8("ü"),
    };
    QString out;
    const int count = rng.bounded(1, 24);
    for (int i = 0; i < count; ++i)
        out += pieces.at(rng.bounded(int(pieces.size())));
    return out;
}

} // namespace

void TestCodeExtractor::rules_data()
{
    addWorkedExampleRows();
    QTest::newRow("nothing plausible") << "Hello" << "no digits here 12 345" << "" << "" << 0;
    QTest::newRow("eight digits") << "" << "12345678" << "12345678" << "8digit" << 70;
    QTest::newRow("five digits") << "" << "ticket 55123" << "55123" << "5digit" << 60;
    QTest::newRow("seven digits") << "" << "ticket 5512345" << "5512345" << "7digit" << 65;
    QTest::newRow("split 222") << "" << "12-34-56" << "123456" << "split_222" << 67;
    // Letters after the keyword block rule 1 ("kod" + "un"); "kodunuz" is a keyword form.
    QTest::newRow("kodunuz") << "Giris" << "Kodunuz: 12 34 56 78" << "12345678" << "keyword_near" << 100;
    // Only the first match of a rule counts: "1 - 2" is too short once
    // normalised, and rule 1 is abandoned rather than tried further on.
    QTest::newRow("first match only") << "" << "otp 1 - 2, otp 987654" << "987654" << "6digit" << 95;
    // Keyword with Turkish letters counts for confidence.
    QTest::newRow("turkish keyword") << QString::fromUtf8("Giriş") << "8812" << "8812" << "4digit" << 75;
    QTest::newRow("subject holds code") << "Your code: 44115" << "" << "44115" << "keyword_near" << 100;
    // Letters between keyword and digits stop rule 1.
    QTest::newRow("word between") << "Your code is 4411" << "" << "4411" << "4digit" << 75;
    // Digits glued to letters are not a word of their own.
    QTest::newRow("no boundary") << "" << "abc123456def" << "" << "" << 0;
    // Non-ASCII digits are not \d.
    QTest::newRow("arabic-indic digits") << "" << QString::fromUtf8("\u0661\u0662\u0663\u0664\u0665\u0666") << ""
                                         << "" << 0;
}

void TestCodeExtractor::rules()
{
    QFETCH(QString, subject);
    QFETCH(QString, text);
    QFETCH(QString, code);
    QFETCH(QString, tag);
    QFETCH(int, confidence);

    const CodeMatch m = extractCode(subject, text);
    QCOMPARE(m.code, code);
    QCOMPARE(m.tag, tag);
    QCOMPARE(m.confidence, confidence);
}

void TestCodeExtractor::ruleTableOrder()
{
    QStringList tags;
    for (const CodeRule &r : codeRules())
        tags << r.tag;
    QCOMPARE(tags, (QStringList{"keyword_near", "6digit", "8digit", "4digit", "5digit", "7digit", "split_6",
                                "split_222", "alnum_dash"}));
}

// Callers on several threads at once get the same answers as one caller.
void TestCodeExtractor::concurrentCallers()
{
    std::atomic<int> wrong{0};
    QList<QThread *> threads;
    for (int t = 0; t < 4; ++t) {
        threads << QThread::create([&wrong] {
            for (int i = 0; i < 300; ++i) {
                const CodeMatch a = extractCode("VALORANT giris kodun", "Dogrulama kodun: 482 913.");
                const CodeMatch b = extractCode("GitHub OTP", "Verification code: 902-114");
                if (a.code != u"482913" || b.code != u"902114" || b.confidence != 100)
                    ++wrong;
            }
        });
    }
    for (QThread *t : threads)
        t->start();
    for (QThread *t : threads) {
        QVERIFY(t->wait(60000));
        delete t;
    }
    QCOMPARE(wrong.load(), 0);
}

// The extractor skips rules that cannot match and starts the others late;
// it must still give exactly what the plain table gives.
void TestCodeExtractor::agreesWithPlainRuleTable()
{
    QRandomGenerator rng(20261208);
    for (int i = 0; i < 60000; ++i) {
        const QString subject = rng.bounded(3) == 0 ? QString() : randomMailText(rng);
        const QString text = randomMailText(rng);
        const CodeMatch fast = extractCode(subject, text);
        const CodeMatch plain = plainExtract(subject, text);
        if (fast.code != plain.code || fast.tag != plain.tag || fast.confidence != plain.confidence)
            QFAIL(qPrintable(QStringLiteral("differs on [%1] [%2]: %3/%4 vs %5/%6")
                                 .arg(subject, text, fast.code, fast.tag, plain.code, plain.tag)));
    }
}

QTEST_GUILESS_MAIN(TestCodeExtractor)
#include "tst_codeextractor.moc"
