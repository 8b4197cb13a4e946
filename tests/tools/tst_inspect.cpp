#include "mail/codetrust.h"
#include "recognition/coderecogniser.h"
#include "support/isolatedsettings.h"
#include "tools/inspectmail.h"

#include "../recognition/workedexamples.h"

#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

struct Run
{
    int exitCode = -1;
    QList<QJsonObject> lines;
    QString errors;
};

QString mailsDir()
{
    return QStringLiteral(MIRELO_TEST_SOURCE_DIR "/tests/tools/mails");
}

Run inspect(const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(mailsDir());
    p.start(QStringLiteral(MIRELO_TEST_BIN_DIR "/mirelo-inspect"), args);
    Run run;
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = p.exitCode();
    run.errors = QString::fromUtf8(p.readAllStandardError());
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        if (!doc.isObject())
            qWarning("not a JSON object: %s (%s)", line.constData(), qPrintable(error.errorString()));
        run.lines << doc.object();
    }
    return run;
}

struct RawRun
{
    int exitCode = -1;
    QString out;
};

RawRun inspectRaw(const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(mailsDir());
    p.start(QStringLiteral(MIRELO_TEST_BIN_DIR "/mirelo-inspect"), args);
    RawRun run;
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    return run;
}

} // namespace

class TestInspect : public QObject
{
    Q_OBJECT
    // The tool reads the user's threshold; runs see a fresh store.
    std::unique_ptr<IsolatedSettings> m_settings;

private slots:
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }
    void demoMailFiles();
    void workedExamples_data();
    void workedExamples();
    void gateFollowsTheThreshold();
    void manifestScoresTheCorpus();
    void badFilesDoNotStopTheOthers();
    void turkishLegacyHeaders();
    void encodedAndLongTexts();
    void usageErrors();
    void rawMailSplitting();
};

void TestInspect::demoMailFiles()
{
    const Run run = inspect({"valorant.eml", "steam.eml", "epic.eml", "discord.eml", "github.eml"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.errors.isEmpty());
    QCOMPARE(run.lines.size(), 5);

    const QStringList keys{"brand",  "category",      "code",       "color",   "confidence", "emphasis",
                           "file",   "from",          "initial",    "part",    "reason",
                           "senderAddress", "senderName", "subject", "tag", "trusted"};
    QCOMPARE(run.lines.at(0).keys(), keys);

    const QJsonObject riot = run.lines.at(0);
    QCOMPARE(riot.value("file").toString(), QStringLiteral("valorant.eml"));
    QCOMPARE(riot.value("from").toString(), QStringLiteral("\"Riot Games\" <noreply@mail.accounts.riotgames.com>"));
    QCOMPARE(riot.value("subject").toString(), QStringLiteral("VALORANT giris kodun"));
    QCOMPARE(riot.value("code").toString(), QStringLiteral("482913"));
    QCOMPARE(riot.value("confidence").toInt(), 100);
    QCOMPARE(riot.value("tag").toString(), QStringLiteral("keyword_before"));
    QCOMPARE(riot.value("category").toString(), QStringLiteral("Oyunlar"));
    QCOMPARE(riot.value("brand").toString(), QStringLiteral("Riot Games"));
    QCOMPARE(riot.value("color").toString(), QStringLiteral("#EB0029"));
    QCOMPARE(riot.value("senderName").toString(), QStringLiteral("Riot Games"));
    QCOMPARE(riot.value("senderAddress").toString(), QStringLiteral("noreply@mail.accounts.riotgames.com"));
    QCOMPARE(riot.value("initial").toString(), QStringLiteral("R"));
    QCOMPARE(riot.value("part").toString(), QStringLiteral("text/plain; charset=utf-8; 7bit"));
    // Its Date is long past, but the mail is judged as just delivered.
    QCOMPARE(riot.value("trusted").toBool(), true);
    QCOMPARE(riot.value("reason").toString(), QStringLiteral("guvenilir kod"));

    const QStringList codes{"482913", "847204", "739201", "5518", "902114"};
    const QList<int> confidences{100, 100, 100, 95, 100};
    const QStringList categories{"Oyunlar", "Oyunlar", "Oyunlar", "Sosyal", ""};
    const QStringList brands{"Riot Games", "Steam", "Epic Games", "Discord", "GitHub"};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(run.lines.at(i).value("code").toString(), codes.at(i));
        QCOMPARE(run.lines.at(i).value("confidence").toInt(), confidences.at(i));
        QCOMPARE(run.lines.at(i).value("category").toString(), categories.at(i));
        QCOMPARE(run.lines.at(i).value("brand").toString(), brands.at(i));
    }
}

void TestInspect::workedExamples_data()
{
    addWorkedExampleRows();
}

void TestInspect::workedExamples()
{
    // What inspect prints for a subject and text is what the store computes.
    QFETCH(QString, subject);
    QFETCH(QString, text);
    const Run run = inspect({"--subject", subject, "--text", text});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines.size(), 1);
    const QJsonObject o = run.lines.first();
    QVERIFY(o.value("file").isNull());
    QCOMPARE(o.value("subject").toString(), subject);
    const CodeMatch m = recogniseCode(subject, text);
    QCOMPARE(o.value("code").toString(), m.code);
    QCOMPARE(o.value("tag").toString(), m.tag);
    QCOMPARE(o.value("confidence").toInt(), m.confidence);
    QCOMPARE(o.value("trusted").toBool(), !m.code.isEmpty() && m.confidence >= kDefaultMinConfidence);
}

void TestInspect::gateFollowsTheThreshold()
{
    const QStringList loose{"--subject", "Hesap guvenligi", "--text", "Kod istegi alindi.\nMerhaba 482913 dostum"};
    Run run = inspect(loose);
    QCOMPARE(run.lines.size(), 1);
    QCOMPARE(run.lines.first().value("code").toString(), QStringLiteral("482913"));
    QCOMPARE(run.lines.first().value("trusted").toBool(), false);
    QCOMPARE(run.lines.first().value("reason").toString(), QStringLiteral("dusuk guven (55 < 70)"));

    QSettings("MIRELOPLUS", "MireloPlus").setValue("codes/minConfidence", 50);
    run = inspect(loose);
    QCOMPARE(run.lines.first().value("trusted").toBool(), true);
}

void TestInspect::manifestScoresTheCorpus()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&](const QString &name, const QByteArray &data) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    };
    for (const char *name : {"valorant.eml", "steam.eml"})
        QVERIFY(QFile::copy(mailsDir() + "/" + name, dir.filePath(name)));
    write("receipt.eml", "From: Magaza <a@b.tr>\nSubject: Makbuz\nDate: Tue, 08 Dec 2026 03:00:00 +0000\n\n"
                         "Siparis no: 123456\nToplam: 1.299,00 TL\n(c) 2024 Magaza\n");
    write("ok.tsv", "# corpus\nvalorant.eml\t482913\tsplit code\n\nsteam.eml\t847204\nreceipt.eml\t\n");
    const RawRun good = inspectRaw({"--manifest", dir.filePath("ok.tsv")});
    QCOMPARE(good.exitCode, 0);
    QVERIFY2(good.out.contains("positives right: 2/2 (100.0 %); through the gate: 2/2"), qPrintable(good.out));
    QVERIFY(good.out.contains("false codes on negatives: 0/1 (0.0 %)"));
    QVERIFY(good.out.contains("false codes through the gate: 0"));

    // A wrong expectation, and a year that would be a false code if read as one.
    write("bad.tsv", "valorant.eml\t111111\nreceipt.eml\nmissing.eml\t5555\n");
    const RawRun bad = inspectRaw({"--manifest", dir.filePath("bad.tsv")});
    QCOMPARE(bad.exitCode, 1);
    QVERIFY(bad.out.contains("yanlis valorant.eml: beklenen \"111111\", bulunan \"482913\""));
    QVERIFY(bad.out.contains("okunamadi missing.eml"));
    QVERIFY(bad.out.contains("positives right: 0/2"));
    // The found code is wrong and sure: it would have been copied.
    QVERIFY(bad.out.contains("false codes through the gate: 1"));

    // A right code rated under 85 leaves no margin above the gate: a miss too.
    write("unsure.eml", "From: Hesap <a@b.tr>\nSubject: Hesap\nDate: Tue, 08 Dec 2026 03:00:00 +0000\n\n"
                        "Kod istegi alindi.\nMerhaba 482913 dostum\n");
    write("unsure.tsv", "unsure.eml\t482913\n");
    const RawRun unsure = inspectRaw({"--manifest", dir.filePath("unsure.tsv")});
    QCOMPARE(unsure.exitCode, 1);
    QVERIFY2(unsure.out.contains("emin degil unsure.eml") && unsure.out.contains("code mails rated under 85: 1"),
             qPrintable(unsure.out));

    // What the HTML set off is printed, and read: a code in a large cell far
    // below its keyword is trusted.
    write("setoff.eml", "From: Ornek <a@b.tr>\nSubject: Yeni giris\nDate: Tue, 08 Dec 2026 03:00:00 +0000\n"
                        "Content-Type: text/html; charset=utf-8\n\n<p>Kodunuz geldi.</p><p>Yeni bir tarayici.</p>"
                        "<p>Konum: Ankara</p><p>Cihaz 44120987</p><div style=\"font-size:30px;letter-spacing:4px\">"
                        "930571</div><div style=\"font-size:2px\">111222</div>");
    const Run setOff = inspect({dir.filePath("setoff.eml")});
    QCOMPARE(setOff.lines.size(), 1);
    const QJsonObject seen = setOff.lines.at(0);
    QCOMPARE(seen.value("code").toString(), QStringLiteral("930571"));
    QVERIFY(seen.value("trusted").toBool());
    const QJsonArray marks = seen.value("emphasis").toArray();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.at(0).toObject().value("text").toString(), QStringLiteral("930571"));
    QCOMPARE(marks.at(0).toObject().value("kinds").toString(), QStringLiteral("large+spaced"));

    write("broken.tsv", "\t5555\n");
    QCOMPARE(inspectRaw({"--manifest", dir.filePath("broken.tsv")}).exitCode, 2);
    QCOMPARE(inspectRaw({"--manifest", dir.filePath("ok.tsv"), "steam.eml"}).exitCode, 2);
}

void TestInspect::badFilesDoNotStopTheOthers()
{
    const Run run = inspect({"empty.eml", "steam.eml", "junk.bin", "missing.eml", "no_headers.txt", ".", "github.eml"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.lines.size(), 2);
    QCOMPARE(run.lines.at(0).value("file").toString(), QStringLiteral("steam.eml"));
    QCOMPARE(run.lines.at(1).value("file").toString(), QStringLiteral("github.eml"));
    const QStringList errors = run.errors.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(errors.size(), 5);
    QVERIFY(errors.at(0).contains("Dosya bos: empty.eml"));
    QVERIFY(errors.at(1).contains("Ikili veri, mail degil: junk.bin"));
    QVERIFY(errors.at(2).contains("Dosya okunamadi: missing.eml"));
    QVERIFY(errors.at(3).contains("From ve Subject basligi yok: no_headers.txt"));
    QVERIFY(errors.at(4).contains("Dosya okunamadi: ."));
}

void TestInspect::turkishLegacyHeaders()
{
    // ISO-8859-9 and Windows-1254 encoded words, a folded subject and old
    // Mac line ends.
    const Run run = inspect({"turkish.eml"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines.size(), 1);
    const QJsonObject o = run.lines.first();
    QCOMPARE(o.value("from").toString(), QString::fromUtf8("Şirket İnsan Kaynakları <ik@sirket.com.tr>"));
    QCOMPARE(o.value("subject").toString(), QString::fromUtf8("Doğrulama şifreniz [Giris]"));
    QCOMPARE(o.value("senderName").toString(), QString::fromUtf8("Şirket İnsan Kaynakları"));
    QCOMPARE(o.value("initial").toString(), QString::fromUtf8("Ş"));
    QCOMPARE(o.value("code").toString(), QStringLiteral("771290"));
}

void TestInspect::encodedAndLongTexts()
{
    const Run run = inspect({"long.eml", "headers_only.eml", "base64_html.eml"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines.size(), 3);
    // The code stands past the first 2 KiB of the body and is still read.
    QCOMPARE(run.lines.at(0).value("code").toString(), QStringLiteral("445566"));
    // Without a body the subject stands in as text; nothing was decoded.
    QCOMPARE(run.lines.at(1).value("code").toString(), QStringLiteral("9911"));
    QCOMPARE(run.lines.at(1).value("part").toString(), QString());
    // Base64 HTML with a long style head reads as its visible text.
    QCOMPARE(run.lines.at(2).value("code").toString(), QStringLiteral("318204"));
    QCOMPARE(run.lines.at(2).value("part").toString(), QStringLiteral("text/html; charset=utf-8; base64"));
}

void TestInspect::usageErrors()
{
    QCOMPARE(inspect({}).exitCode, 2);
    QCOMPARE(inspect({"--subject", "x", "steam.eml"}).exitCode, 2);
    QCOMPARE(inspect({"--bogus"}).exitCode, 2);
}

void TestInspect::rawMailSplitting()
{
    RawMailParts p = parseRawMail("Subject: a\n b\nFrom: x@y.zz\n\nbody\nline");
    QCOMPARE(p.subject, QStringLiteral("a b"));
    QCOMPARE(p.from, QStringLiteral("x@y.zz"));
    QCOMPARE(p.text, QStringLiteral("body\nline"));
    QCOMPARE(p.part, QStringLiteral("text/plain; 7bit"));
    QVERIFY(p.error.isEmpty());
    QVERIFY(!p.sent.isValid());
    QCOMPARE(parseRawMail("Subject: s\nDate: 1 Feb 2026 10:00 +0100\n\nx").sent,
             QDateTime(QDate(2026, 2, 1), QTime(9, 0), Qt::UTC));

    // Letters stay whole; the text is cut where the poll cuts it.
    p = parseRawMail("Subject: s\r\n\r\n" + QByteArray(2047, 'a') + "\xC3\xBC" + QByteArray(3000, 'b'));
    QCOMPARE(p.text.size(), 2500);
    QCOMPARE(p.text.at(2047), QChar(0xFC));

    QVERIFY(!parseRawMail("\r\njust a body").error.isEmpty());
    QVERIFY(!parseRawMail(QByteArray("Subject: x\0", 11)).error.isEmpty());

    // Control characters and quotes stay valid JSON.
    const QByteArray line = inspectionLine("f\"\x01.eml", "a\tb", QString::fromUtf8("x\\y \xF0\x9F\x98\x80"), "");
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    QCOMPARE(o.value("file").toString(), QStringLiteral("f\"\x01.eml"));
    QCOMPARE(o.value("from").toString(), QStringLiteral("a\tb"));
    QCOMPARE(o.value("subject").toString(), QString::fromUtf8("x\\y \xF0\x9F\x98\x80"));
}

QTEST_GUILESS_MAIN(TestInspect)
#include "tst_inspect.moc"
