// Reading raw mail as its sender meant it: transfer encodings, charsets,
// MIME structures (sound and broken) and HTML turned into visible text.
#include "mailtext/mailreader.h"

#include <QtTest>

namespace {

// Mails are written with LF here and go to the reader with CRLF, as IMAP
// servers hand them out.
QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

QByteArray mime(const QByteArray &contentType, const QByteArray &body)
{
    return crlf("From: Kargo <bilgi@kargo.test>\nSubject: Kod\nMIME-Version: 1.0\n" + contentType + "\n\n") + body;
}

const QByteArray kAlternative = R"(--b1
Content-Type: text/plain; charset=utf-8
Content-Transfer-Encoding: quoted-printable

Dogrulama kodun: 481=
516
--b1
Content-Type: text/html; charset=utf-8

<p>HTML 999999</p>
--b1--
)";

} // namespace

class TestMailReader : public QObject
{
    Q_OBJECT
private slots:
    void bodies_data();
    void bodies();
    void headersAndDate();
    void brokenInputStaysBounded();
    void htmlVisibleText_data();
    void htmlVisibleText();
    void emphasisSpans();
    void hostileStylesStayBounded();
};

void TestMailReader::bodies_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("part");

    QTest::newRow("no MIME at all") << crlf("From: a@b.test\nSubject: s\n\nKodunuz 123456\n\n\n\nIyi gunler  \n")
                                    << "Kodunuz 123456\n\nIyi gunler" << "text/plain; 7bit";
    QTest::newRow("bare LF line ends") << QByteArray("From: a@b.test\nSubject: s\n\nsatir 1\nsatir 2\n")
                                       << "satir 1\nsatir 2" << "text/plain; 7bit";
    QTest::newRow("base64 utf-8")
        << mime("Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: base64",
                crlf(QStringLiteral("Giriş kodunuz: 735102 — iyi günler").toUtf8().toBase64() + "\n"))
        << QStringLiteral("Giriş kodunuz: 735102 — iyi günler") << "text/plain; charset=utf-8; base64";
    QTest::newRow("alternative takes the plain part") << mime("Content-Type: multipart/alternative; boundary=\"b1\"", crlf(kAlternative))
        << "Dogrulama kodun: 481516" << "text/plain; charset=utf-8; quoted-printable";
    QTest::newRow("quoted-printable html in a table")
        << mime("Content-Type: text/html; charset=\"iso-8859-9\"\nContent-Transfer-Encoding: quoted-printable",
                crlf("<html><head><style>td{color:#006699}</style><title>Hesap</title></head><body>\n"
                     "<table><tr><td>Do=F0rulama kodu:</td><td>=\n<b>4821</b>77</td></tr>\n"
                     "<tr><td>Te=FEekk=FCrler</td></tr></table></body></html>\n"))
        << QStringLiteral("Doğrulama kodu: 482177\nTeşekkürler") << "text/html; charset=iso-8859-9; quoted-printable";
    QTest::newRow("blank plain part gives way to html")
        << mime("Content-Type: multipart/alternative; boundary=x",
                crlf("--x\nContent-Type: text/plain\n\n   \n--x\nContent-Type: text/html\n"
                     "Content-Transfer-Encoding: base64\n\n"
                     + QByteArray("<div>Kod&nbsp;:&nbsp;<span>90&#x31;2</span></div>").toBase64() + "\n--x--\n"))
        << "Kod : 9012" << "text/html; base64";
    QTest::newRow("related html with an inline image")
        << mime("Content-Type: multipart/related; boundary=\"r\"",
                crlf("--r\nContent-Type: text/html; charset=utf-8\n\n<p>Kod <img src=\"cid:a\" alt=\"777777\">"
                     "246810</p>\n--r\nContent-Type: image/png\nContent-ID: <a>\nContent-Transfer-Encoding: "
                     "base64\n\niVBORw0KGgo=\n--r--\n"))
        << "Kod 246810" << "text/html; charset=utf-8; 7bit";
    QTest::newRow("mixed skips the attachments")
        << mime("Content-Type: multipart/mixed; boundary=m",
                crlf("--m\nContent-Type: text/plain; name=fatura.txt\nContent-Disposition: attachment; "
                     "filename=fatura.txt\n\nFatura no 2024-998877\n--m\nContent-Type: text/plain; "
                     "charset=windows-1254\nContent-Transfer-Encoding: 8bit\n\n")
                + QByteArray::fromHex("fef0fddd") + crlf(" kod 5555\n--m--\n"))
        << QStringLiteral("şğıİ kod 5555") << "text/plain; charset=windows-1254; 8bit";
    QTest::newRow("forwarded mail follows the note")
        << mime("Content-Type: multipart/mixed; boundary=f",
                crlf("--f\nContent-Type: text/plain\n\nBak bu geldi\n--f\nContent-Type: message/rfc822\n\n"
                     "From: Banka <no@banka.test>\nSubject: Sifre\nContent-Type: text/plain; charset=utf-8\n"
                     "Content-Transfer-Encoding: base64\n\n"
                     + QByteArray("Tek kullanimlik sifreniz 3141").toBase64() + "\n--f--\n"))
        << "Bak bu geldi\n\nTek kullanimlik sifreniz 3141"
        << "text/plain; 7bit + message/rfc822 > text/plain; charset=utf-8; base64";
    QTest::newRow("GBK")
        << mime("Content-Type: text/plain; charset=GBK\nContent-Transfer-Encoding: base64",
                crlf(QByteArray::fromHex("d1e9d6a4c2eb3a20383838383838").toBase64() + "\n"))
        << QStringLiteral("验证码: 888888") << "text/plain; charset=gbk; base64";
    QTest::newRow("unknown charset reads as UTF-8")
        << mime("Content-Type: text/plain; charset=x-nonesuch", QByteArray("kod \xc3\xa7 \xff 42"))
        << QStringLiteral("kod ç \uFFFD 42") << "text/plain; charset=x-nonesuch; 7bit";
    QTest::newRow("UTF-8 label on Windows-1254 bytes")
        << mime("Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: 8bit",
                QByteArray::fromHex("fef0fddd") + " 1234")
        << QStringLiteral("şğıİ 1234") << "text/plain; charset=utf-8; 8bit";
    QTest::newRow("UTF-8 cut inside its last letter stays UTF-8")
        << mime("Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: base64",
                crlf(QStringLiteral("Şifre 4242 ğ").toUtf8().chopped(1).toBase64() + "\n"))
        << QStringLiteral("Şifre 4242 \uFFFD") << "text/plain; charset=utf-8; base64";
    QTest::newRow("boundary never closed, base64 cut short")
        << mime("Content-Type: multipart/alternative; boundary=c",
                crlf("--c\nContent-Type: text/plain\nContent-Transfer-Encoding: base64\n\n"
                     + QByteArray("Kodunuz 606060 ve daha uzun bir metin").toBase64().left(24)))
        << "Kodunuz 606060 ve" << "text/plain; base64";
    QTest::newRow("headers only") << crlf("From: a@b.test\nSubject: s\n") << QString() << QString();
}

void TestMailReader::bodies()
{
    QFETCH(QByteArray, raw);
    QFETCH(QString, text);
    QFETCH(QString, part);
    const MailText mail = readMail(raw);
    QCOMPARE(mail.text, text);
    QCOMPARE(mail.part, part);
}

void TestMailReader::headersAndDate()
{
    const MailText mail = readMail(QByteArray("From: =?UTF-8?B?xZ5pcmtldA==?= <a@b.test>\nSubject: =?iso-8859-9?Q?Do=F0rulama?=\n"
                                              " kodu\nDate: Tue, 8 Dec 2026 12:30:00 +0300\n\ngovde"));
    QCOMPARE(mail.from, QStringLiteral("Şirket <a@b.test>"));
    QCOMPARE(mail.subject, QStringLiteral("Doğrulama kodu"));
    QCOMPARE(mail.sent, QDateTime(QDate(2026, 12, 8), QTime(9, 30), Qt::UTC));
    QCOMPARE(mail.text, QStringLiteral("govde"));
    QVERIFY(!readMail("Subject: x\r\n\r\ny").sent.isValid());
}

void TestMailReader::brokenInputStaysBounded()
{
    // Nesting far past anything real, and a flood of parts: read quickly,
    // without running out of stack.
    QByteArray deep = "From: a@b.test\r\nContent-Type: multipart/mixed; boundary=d0\r\n\r\n";
    for (int i = 1; i < 3000; ++i)
        deep += "--d" + QByteArray::number(i - 1) + "\r\nContent-Type: multipart/mixed; boundary=d"
            + QByteArray::number(i) + "\r\n\r\n";
    deep += "--d2999\r\nContent-Type: text/plain\r\n\r\nderin 1234\r\n";
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(readMail(deep).from, QStringLiteral("a@b.test"));

    QByteArray many = "From: a@b.test\r\nContent-Type: multipart/mixed; boundary=p\r\n\r\n";
    for (int i = 0; i < 5000; ++i)
        many += "--p\r\nContent-Type: image/gif\r\n\r\nGIF\r\n";
    many += "--p\r\nContent-Type: text/plain\r\n\r\ngec kalan 4321\r\n--p--\r\n";
    const MailText flood = readMail(many);
    QVERIFY(!flood.text.contains(QLatin1String("4321"))); // past the walk's bound

    // The text is capped, and so is the octet count read from the body.
    const MailText longPlain = readMail(mime("Content-Type: text/plain", QByteArray(600 * 1024, 'a')));
    QCOMPARE(longPlain.text.size(), kMailTextChars);

    // A declared boundary that is never used, or none at all: the one the
    // body uses is found. Without any, the raw start stands as text.
    const QByteArray parts = crlf("--var\nContent-Type: text/plain\n\nkod 1\n--var--\n");
    for (const QByteArray &type : {QByteArray("multipart/alternative; boundary=yok"), QByteArray("multipart/mixed")}) {
        const MailText wrong = readMail(mime("Content-Type: " + type, parts));
        QCOMPARE(wrong.text, QStringLiteral("kod 1"));
        QCOMPARE(wrong.part, QStringLiteral("text/plain; 7bit"));
    }
    const MailText none = readMail(mime("Content-Type: multipart/mixed; boundary=yok", crlf("--var\n\nkod 1\n")));
    QVERIFY(none.part.isEmpty());
    QCOMPARE(none.text, QStringLiteral("--var\r\n\r\nkod 1\r\n"));

    for (const QByteArray &junk : {QByteArray(), QByteArray("\0\0\xff\r\n\r\n\0", 8), QByteArray(5000, '\n'),
                                   QByteArray("Content-Type: multipart/mixed\r\n\r\n--\r\n--\r\n")})
        readMail(junk);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
}

void TestMailReader::htmlVisibleText_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("text");

    QTest::newRow("head, style, script and comments are not text")
        << QByteArray("<!DOCTYPE html><html><head><meta charset=utf-8><title>T 1111</title>"
                      "<style>.a{color:#006699}</style></head><body><!-- 2222 --><script>var x=3333;</script>"
                      "<p>Kod: 4444</p><!--[if mso]>5555<![endif]--></body></html>")
        << QString() << "Kod: 4444";
    QTest::newRow("cells, rows and breaks")
        << QByteArray("<table><tr><td>Code:</td><td>123456</td></tr><tr><th>A</th><td>B<br>C<br><br><br>D"
                      "</td></tr></table>sonra")
        << QString() << "Code: 123456\nA B\nC\n\nD\n\nsonra";
    QTest::newRow("entities and padding characters")
        << QByteArray("<p>&Uuml;&ccedil; &amp; &#351;&#x131;&nbsp;&nbsp;kod&zwnj;&#8203;&shy;: 7&#48;7</p>")
        << QString() << QStringLiteral("Üç & şı kod: 707");
    QTest::newRow("hidden elements are not read")
        << QByteArray("<div style=\"DISPLAY: none !important\">onizleme 1111</div><span hidden>2222</span>"
                      "<div style='mso-hide:all'>3333</div><div>gorunen 4444</div>")
        << QString() << "gorunen 4444";
    QTest::newRow("preformatted keeps its lines")
        << QByteArray("<pre>kod\n  8080\n</pre>") << QString() << "kod\n8080";
    QTest::newRow("meta charset decides without a label")
        << (QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1254\">"
                       "</head><body>") + QByteArray::fromHex("fef0") + "</body></html>")
        << QString() << QStringLiteral("şğ");
    QTest::newRow("a label beats the meta")
        << (QByteArray("<meta charset=\"utf-8\"><b>") + QByteArray::fromHex("dd") + "</b>")
        << QStringLiteral("ISO-8859-9") << QStringLiteral("İ");
    QTest::newRow("markup in quotes, odd comments, raw text")
        << QByteArray("<A HREF=\"x>y\" title='a>b'>bir</A><!-->iki<!--- -- -->uc<SCRIPT>if (a</b) "
                      "document.write('</scr'+'ipt>')</SCRIPT > dort<!-- acik kalan")
        << QString() << "birikiuc dort";
    QTest::newRow("hidden regions nest and end")
        << QByteArray("<div style=display:none><div>a</div><div>b</div>c</div>d<img hidden>e<br hidden>f")
        << QString() << "def";
    QTest::newRow("references: legacy, numeric, invalid")
        << QByteArray("&copy 2025 &#150; &#x110000; &#0; &#65&#x42; &unknown; & &amp;amp;")
        << QString() << QStringLiteral("© 2025 – � � AB &unknown; & &amp;");
    QTest::newRow("text in the head starts the body")
        << QByteArray("<head><meta charset=utf-8><link rel=x>Kod 1212<style>p{}</style></head><p>son</p>")
        << QString() << "Kod 1212\n\nson";
    QTest::newRow("unclosed junk") << QByteArray("<td><<p>a</x><div>b<table><td>c") << QString() << "<\n\na\nb\n\nc";
    // Filler a phishing mail hides from the reader but not from a scanner.
    QTest::newRow("invisible text is not read")
        << QByteArray("<style>.x{display:none} .big{font-size:30px} @media (max-width:600px){.m{display:none}}</style>"
                      "<div class=\"a x\">1</div><div style=\"font-size:5px\">2</div><div style=\"font-size:0.2em\">3</div>"
                      "<div style=\"color:#fdfdfd\">4</div><div style=\"color:rgba(0,0,0,0)\">5</div>"
                      "<div style=\"opacity:0.0\">6</div><div style=\"position:absolute;left:-5000px\">7</div>"
                      "<div style=\"width:0px;overflow:hidden\">8</div><p aria-hidden=\"true\">9</p>"
                      "<div style=\"text-indent:-9999px\">10</div><div class=m>mobil</div>"
                      "<div style=\"height:1px;overflow:hidden\">11</div><font color=\"white\">12</font>"
                      "<td bgcolor=\"#000000\"><a style=\"color:#fff\">beyaz</a><span>siyah</span></td>"
                      "<div style=\"background:url(p.png) #000;color:#000\">resimli</div>"
                      "<div style=\"transform:scale(0)\">13</div><div style=\"transform:scaleY(0)\">14</div>"
                      "<div style=\"transform:scale(0.5)\">yarim</div>")
        << QString() << "mobil\nbeyaz\nresimli\nyarim";
}

void TestMailReader::emphasisSpans()
{
    // Spans cover what was set off and nothing around it, in the text's own
    // UTF-16 offsets (an astral character before them counts twice).
    EmphasisSpans spans;
    const QString text = htmlToText(
        QByteArray("<style>.c{letter-spacing:8px}</style><body style=\"background:#fff\">\xF0\x9F\x94\x92 Kodun:"
                   "<div class=c style=\"font-size:28px;font-family:'Courier New'\"><b>482 913</b></div>"
                   "<p style=\"background:#eef\">kutu</p><h1>Baslik</h1><p>duz</p>"),
        QString(), &spans);
    QStringList seen;
    for (const EmphasisSpan &s : std::as_const(spans))
        seen << text.mid(s.start, s.length) + "=" + emphasisNames(s.kinds);
    QCOMPARE(seen, QStringList({"482 913=large+bold+spaced+mono", "kutu=boxed", "Baslik=large"}));

    // Units, inheritance, the cascade's order and which rules of a sheet count.
    const auto kindsOf = [](const QByteArray &html) {
        EmphasisSpans marks;
        const QString t = htmlToText(html, QString(), &marks);
        QStringList out;
        for (const EmphasisSpan &m : std::as_const(marks))
            out << t.mid(m.start, m.length) + "=" + emphasisNames(m.kinds);
        return out.join(' ');
    };
    QCOMPARE(kindsOf("<div style=\"font-size:18pt\">a</div><div style=\"font-size:12px\"><span "
                     "style=\"font-size:200%\">b</span></div><div style=\"font-size:1.1em\">c</div>"),
             QStringLiteral("a=large b=large"));
    QCOMPARE(kindsOf("<style>td.k, .m { font-weight: 700 !important } .a .b{font-weight:bold} #i{font-weight:bold}"
                     "@font-face{font-family:x} .z{letter-spacing:0.2em}</style><td class=k>1</td>"
                     "<p class=\"b a\">2</p><p id=i>3</p><p class=\"m z\">4</p>"),
             QStringLiteral("1=bold 4=bold+spaced"));
    // A style attribute after the class wins; black on near-black is unseen.
    QCOMPARE(htmlToText("<style>.w{color:#fff}</style><div style=\"background:rgb(20,20,20)\">"
                        "<p class=w style=\"color:#111\">gizli</p><p class=w>acik</p></div>"),
             QStringLiteral("acik"));

    // Through the mail reader: offsets over the whole text, after the plain part.
    const MailText mail = readMail("From: a@b.cc\r\nSubject: s\r\nContent-Type: text/html\r\n\r\n<p>Kod</p><b>7KQ2M</b>");
    QCOMPARE(mail.emphasis.size(), 1);
    QCOMPARE(mail.text.mid(mail.emphasis[0].start, mail.emphasis[0].length), QStringLiteral("7KQ2M"));
}

void TestMailReader::hostileStylesStayBounded()
{
    // Thousands of classes, deep nesting, huge numbers and unclosed blocks:
    // the text still comes, in bounded work (this runs under ASan in CI).
    QByteArray css = "<style>";
    for (int i = 0; i < 20000; ++i)
        css += ".c" + QByteArray::number(i) + "{font-size:99999999999999999px;letter-spacing:-1e308px}";
    css += "@media{{{{ .z{display:none} </style>";
    QByteArray html = css + "<body>";
    for (int i = 0; i < 5000; ++i)
        html += "<div class=\"c1 c2 c3 c4 c5 c6 c7 c8 c9 c10 c11 c12 c13 c14 c15 c16 c17 c18\" style=\"font-size:200%;"
                "color:rgb(999999999,-5,1e9)\">";
    html += "482913";
    EmphasisSpans spans;
    const QString text = htmlToText(html, QString(), &spans);
    QCOMPARE(text, QStringLiteral("482913"));
    QVERIFY(spans.size() <= 512);
}

void TestMailReader::htmlVisibleText()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, charset);
    QFETCH(QString, text);
    QCOMPARE(htmlToText(html, charset), text);
}

QTEST_GUILESS_MAIN(TestMailReader)
#include "tst_mailreader.moc"
