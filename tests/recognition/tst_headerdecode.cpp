#include "recognition/headerdecode.h"

#include <QStringDecoder>
#include <QtTest>

class TestHeaderDecode : public QObject
{
    Q_OBJECT
private slots:
    void headerValue_data();
    void headerValue();
    void turkishCharsets();
    void legacyTablesMatchQt();
    void lengthLimit();
    void sender_data();
    void sender();
    void initial_data();
    void initial();
    void mailDate();
};

void TestHeaderDecode::headerValue_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");

    QTest::newRow("plain") << "From: a@b.com\r\nSubject: Hello\r\n" << "Subject" << "Hello";
    QTest::newRow("folded with tab") << "Subject: first part\r\n\tsecond part\r\nFrom: x\r\n" << "Subject"
                                     << "first part second part";
    QTest::newRow("folded twice") << "Subject: a\r\n b\r\n  c\r\nX: y" << "Subject" << "a b c";
    QTest::newRow("fold stops at empty line") << "Subject: a\r\n\r\n b" << "Subject" << "a";
    QTest::newRow("name case") << "subject: lower\r\n" << "Subject" << "lower";
    QTest::newRow("longer name not taken") << "Subjects: no\r\nSubject: yes\r\n" << "Subject" << "yes";
    QTest::newRow("first of two") << "Subject: one\r\nSubject: two\r\n" << "Subject" << "one";
    QTest::newRow("absent") << "From: a@b.com\r\n" << "Subject" << "";
    QTest::newRow("empty block") << "" << "From" << "";
    QTest::newRow("bare LF is not a line break") << "From: a\nSubject: b" << "Subject" << "";
    QTest::newRow("adjacent words keep space") << "Subject: =?UTF-8?Q?Merhaba?= =?UTF-8?B?ZMO8bnlh?=" << "Subject"
                                               << QString::fromUtf8("Merhaba dünya");
    QTest::newRow("lower-case q") << "Subject: =?utf-8?q?g=C3=BCn_ayd=C4=B1n?=" << "Subject"
                                  << QString::fromUtf8("gün aydın");
    QTest::newRow("lower-case b") << "Subject: =?utf-8?b?R2lyacWfIGtvZHVudXo=?=" << "Subject"
                                  << QString::fromUtf8("Giriş kodunuz");
    QTest::newRow("text around words") << "Subject: [Ak] =?UTF-8?Q?=C3=BC?= son" << "Subject"
                                       << QString::fromUtf8("[Ak] ü son");
    QTest::newRow("trailing equals and one digit") << "Subject: =?UTF-8?Q?ab=4?=" << "Subject" << "ab=4";
    QTest::newRow("non-hex nibble counts zero") << "Subject: =?UTF-8?Q?=4G?=" << "Subject" << "@";
    QTest::newRow("base64 junk skipped") << "Subject: =?UTF-8?B?SG!!Vs*bG8=?=" << "Subject" << "Hello";
    QTest::newRow("malformed utf-8") << "Subject: =?UTF-8?Q?a=FFb?=" << "Subject" << QString::fromUtf8("a\xEF\xBF\xBD" "b");
    QTest::newRow("unknown charset falls back to utf-8") << "Subject: =?x-unknown?Q?=C3=BC?=" << "Subject"
                                                         << QString::fromUtf8("ü");
    QTest::newRow("language suffix") << "Subject: =?ISO-8859-9*tr?Q?=FE?=" << "Subject" << QString::fromUtf8("ş");
    QTest::newRow("not an encoded word") << "Subject: =?UTF-8?X?abc?=" << "Subject" << "=?UTF-8?X?abc?=";
}

void TestHeaderDecode::headerValue()
{
    QFETCH(QString, block);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QCOMPARE(::headerValue(block, field), value);
}

// Turkish mail often comes in the legacy single-byte charsets; their letters
// must come out as letters, not replacement characters.
void TestHeaderDecode::turkishCharsets()
{
    QCOMPARE(::headerValue("Subject: =?ISO-8859-9?Q?=DD=FE_g=FCn=FC?=", "Subject"), QString::fromUtf8("İş günü"));
    QCOMPARE(::headerValue("Subject: =?windows-1254?B?RG/wcnVsYW1hIP5pZnJlc2kg3edpbg==?=", "Subject"),
             QString::fromUtf8("Doğrulama şifresi İçin"));
    QCOMPARE(::headerValue("From: =?iso-8859-9?q?=D0=FDz=FDr?= <a@b.com>", "From"),
             QString::fromUtf8("Ğızır <a@b.com>"));
    QCOMPARE(decodeCharset("\xFD\xF0", "LATIN5"), QString::fromUtf8("ığ"));
}

// The built-in tables stand in for Qt on builds without ICU; they must agree
// with Qt's converters wherever the code page defines a character.
void TestHeaderDecode::legacyTablesMatchQt()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));

    QStringDecoder iso("ISO-8859-9");
    QStringDecoder win("windows-1254");
    if (!iso.isValid() || !win.isValid())
        QSKIP("this Qt has no converters for the Turkish code pages");
    QCOMPARE(decodeTurkishLegacy(all, false), QString(iso.decode(all)));

    const QString ours = decodeTurkishLegacy(all, true);
    const QString qt = win.decode(all);
    QCOMPARE(ours.size(), 256);
    QCOMPARE(qt.size(), 256);
    for (int b = 0; b < 256; ++b) {
        if (ours.at(b) == QChar(0xFFFD))
            continue; // undefined in the code page; converters differ there
        QCOMPARE(ours.at(b), qt.at(b));
    }
}

void TestHeaderDecode::lengthLimit()
{
    const QString long300 = QString(300, QLatin1Char('k'));
    QCOMPARE(::headerValue("Subject: " + long300, "Subject"), QString(220, QLatin1Char('k')));
    // The limit applies after decoding.
    const QString encoded = "Subject: =?UTF-8?B?" + QString::fromLatin1(QByteArray(300, 'z').toBase64()) + "?=";
    QCOMPARE(::headerValue(encoded, "Subject"), QString(220, QLatin1Char('z')));
}

void TestHeaderDecode::sender_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");

    QTest::newRow("bare") << "noreply@steampowered.com" << "noreply@steampowered.com" << "noreply";
    QTest::newRow("quoted name") << "\"Steam Support\" <noreply@steampowered.com>" << "noreply@steampowered.com"
                                 << "Steam Support";
    QTest::newRow("name with at") << "\"help@epic\" <help@epicgames.com>" << "help@epicgames.com" << "help";
    QTest::newRow("spaces in brackets") << "Ali < ali@x.org >" << "ali@x.org" << "Ali";
    QTest::newRow("only brackets") << "<only@x.org>" << "only@x.org" << "only";
    QTest::newRow("address in text") << "mail from bob@site.co today" << "bob@site.co" << "bob";
    QTest::newRow("no address") << "  Just a name  " << "Just a name" << "Just a name";
    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("long name") << QString(60, QLatin1Char('n')) + " <a@b.cc>" << "a@b.cc" << QString(48, QLatin1Char('n'));
}

void TestHeaderDecode::sender()
{
    QFETCH(QString, from);
    QFETCH(QString, address);
    QFETCH(QString, name);
    QCOMPARE(senderAddress(from), address);
    QCOMPARE(senderName(from), name);
}

void TestHeaderDecode::initial_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("brand");
    QTest::addColumn<QString>("initial");

    QTest::newRow("brand wins") << "\"zed\" <z@x.org>" << "Steam" << "S";
    QTest::newRow("leading punctuation") << "\"_dev\" <d@x.org>" << "" << "D";
    QTest::newRow("symbols only") << "\"!!\" <@>" << "" << "?";
    QTest::newRow("digit") << "\"7even\" <s@x.org>" << "" << "7";
    QTest::newRow("turkish letter") << QString::fromUtf8("\"şule\" <s@x.org>") << "" << QString::fromUtf8("Ş");
    QTest::newRow("empty") << "" << "" << "?";
}

void TestHeaderDecode::initial()
{
    QFETCH(QString, from);
    QFETCH(QString, brand);
    QFETCH(QString, initial);
    QCOMPARE(avatarInitial(from, brand), initial);
}

void TestHeaderDecode::mailDate()
{
    const QDateTime utc(QDate(2026, 12, 8), QTime(9, 30, 5), Qt::UTC);
    QCOMPARE(parseMailDate(QStringLiteral("Tue, 08 Dec 2026 12:30:05 +0300")), utc);
    QCOMPARE(parseMailDate(QStringLiteral("8 Dec 2026 09:30:05 +0000 (UTC)")), utc);
    QCOMPARE(parseMailDate(QStringLiteral("Tue, 8 Dec 26 04:30:05 EST")), utc);
    QCOMPARE(parseMailDate(QStringLiteral("Tue, 08 Dec 2026 09:30 GMT")), utc.addSecs(-5));
    QCOMPARE(parseMailDate(QStringLiteral("Mon, 07 Dec 2026 23:30:05 -1000")), utc);
    for (const char *bad : {"", "yesterday", "31 Feb 2026 10:00:00 +0000", "08 Foo 2026 10:00:00 +0000",
                            "08 Dec 2026 25:00:00 +0000", "08 Dec 2026 10:00:00 +9900"})
        QVERIFY2(!parseMailDate(QString::fromLatin1(bad)).isValid(), bad);
}

QTEST_GUILESS_MAIN(TestHeaderDecode)
#include "tst_headerdecode.moc"
