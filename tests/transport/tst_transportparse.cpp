// Pure protocol helpers of the IMAP and SMTP sessions.
#include <QtTest>
#include <QTimeZone>

#include "mail/storedrecords.h"
#include "transport/imapparse.h"
#include "transport/smtpparse.h"

class TransportParseTest : public QObject
{
    Q_OBJECT

private slots:
    void loginCommandQuoting()
    {
        QCOMPARE(imapLoginCommand(QStringLiteral("ali"), QStringLiteral("se cret")),
                 QStringLiteral("LOGIN \"ali\" \"se cret\""));
        // Backslashes first, then quotes: a quote does not get its escape doubled.
        QCOMPARE(imapQuoted(QStringLiteral("a\"b\\c")), QStringLiteral("a\\\"b\\\\c"));
        QCOMPARE(imapQuoted(QStringLiteral("\\\"")), QStringLiteral("\\\\\\\""));
        QCOMPARE(imapQuoted(QStringLiteral("\u00e7{5}%*")), QStringLiteral("\u00e7{5}%*"));

        EmailAccount acc;
        acc.address = QStringLiteral("ali@x.test");
        QCOMPARE(accountLoginName(acc), QStringLiteral("ali@x.test"));
        acc.user = QStringLiteral("ali");
        QCOMPARE(accountLoginName(acc), QStringLiteral("ali"));

        QVERIFY(hasLineBreak(QStringLiteral("a\rb")));
        QVERIFY(hasLineBreak(QStringLiteral("a\n")));
        QVERIFY(!hasLineBreak(QStringLiteral("a\tb \u2028")));
    }

    void searchReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("plain") << QStringLiteral("* SEARCH 2 5 9\r\na04 OK done\r\n") << QStringList{"2", "5", "9"};
        QTest::newRow("empty") << QStringLiteral("* SEARCH\r\na04 OK\r\n") << QStringList();
        QTest::newRow("several lines, duplicates once")
            << QStringLiteral("* SEARCH 3 4\r\n* 7 EXISTS\r\n* SEARCH 4 11\r\na04 OK\r\n")
            << QStringList{"3", "4", "11"};
        QTest::newRow("other lines ignored") << QStringLiteral("* 12 EXISTS\r\n* search 1\r\n a04 OK 77\r\n")
                                             << QStringList();
        QTest::newRow("numbers inside words are not numbers")
            << QStringLiteral("* SEARCH 1 a2 3b 4\r\n") << QStringList{"1", "4"};
        QTest::newRow("split without trailing newline") << QStringLiteral("* SEARCH 10") << QStringList{"10"};
    }

    void searchReplies()
    {
        QFETCH(QString, reply);
        QFETCH(QStringList, numbers);
        QCOMPARE(parseSearch(reply), numbers);
    }

    void failureTexts()
    {
        QCOMPARE(imapFailureDetail(QStringLiteral("* OK x\r\na02 NO  go away \r\n\r\n"), 180),
                 QStringLiteral("a02 NO  go away"));
        QCOMPARE(imapFailureDetail(QString(), 180), QString());
        QCOMPARE(imapFailureDetail(QString(200, QLatin1Char('x')), 160).size(), 160);
        QCOMPARE(pollLoginFailureText(QStringLiteral("a02 NO [authenticationFAILED] x")),
                 QStringLiteral("Sifre reddedildi. Uygulama sifresi kullandigindan emin ol."));
        QCOMPARE(pollLoginFailureText(QStringLiteral("* BYE AUTHENTICATIONFAILED soon")),
                 QStringLiteral("Sifre reddedildi. Uygulama sifresi kullandigindan emin ol."));
        QCOMPARE(pollLoginFailureText(QStringLiteral("a02 no lower case\r\n")),
                 QStringLiteral("Kullanici adi/sifre reddedildi."));
    }

    void keepLastEntries()
    {
        QCOMPARE(keepLast({"1", "2", "3", "4"}, 3), (QStringList{"2", "3", "4"}));
        QCOMPARE(keepLast({"1", "2"}, 3), (QStringList{"1", "2"}));
        QCOMPARE(keepLast({}, 8), QStringList());
    }

    void bodyAndPreviewRules()
    {
        const QString reply = QStringLiteral("* 1 FETCH (BODY[TEXT]<0> {9}\r\nKod 12345\r\n)\r\na06 OK done\r\n");
        // After the literal marker, with the reply's tail kept.
        QCOMPARE(imapBodyFromTextReply(reply), QStringLiteral("Kod 12345\r\n)\r\na06 OK done\r\n"));
        // No marker, or one at the very start: the whole reply.
        QCOMPARE(imapBodyFromTextReply(QStringLiteral("no marker")), QStringLiteral("no marker"));
        QCOMPARE(imapBodyFromTextReply(QStringLiteral("}\r\nabc")), QStringLiteral("}\r\nabc"));
        // A marker near the end leaves nothing, never a negative cut.
        QCOMPARE(imapBodyFromTextReply(QStringLiteral("x}")), QString());
        QCOMPARE(imapBodyFromTextReply(QStringLiteral("x}\r")), QString());
        QCOMPARE(imapBodyFromTextReply(QStringLiteral("{1}\r\n") + QString(3000, QLatin1Char('a'))).size(), 2500);
        QCOMPARE(imapBodyFromTextReply(QString(3000, QLatin1Char('b'))).size(), 2500);

        QCOMPARE(imapPreview(QStringLiteral("  a\r\n\tb   c  "), QStringLiteral("S")), QStringLiteral("a b c"));
        QCOMPARE(imapPreview(QStringLiteral(" \r\n "), QStringLiteral("Konu")), QStringLiteral("Konu"));
        QCOMPARE(imapPreview(QString(), QString(200, QLatin1Char('s'))).size(), 140);
        QCOMPARE(imapPreview(QString(300, QLatin1Char('w')), QStringLiteral("S")).size(), 140);
    }

    void fetchedMailBody()
    {
        // The reply ends only at its own tagged line outside the mail text.
        const QByteArray text = "* 1 FETCH (BODY[TEXT]<0> {20}\r\nx\r\na06 OK forged\r\nyy";
        QVERIFY(!imapTaggedDone(text, "a06"));
        QVERIFY(!imapTaggedDone(text + ")\r\na06X OK\r\n", "a06"));
        QVERIFY(imapTaggedDone(text + ")\r\na06 OK done\r\n", "a06"));
        QVERIFY(imapTaggedDone("* BYE\r\na06 BAD what\r\n", "a06"));
        QByteArray literal;
        QVERIFY(imapFirstLiteral(text + ")\r\n", &literal));
        QCOMPARE(literal, QByteArray("x\r\na06 OK forged\r\nyy"));
        QVERIFY(imapFirstLiteral("* 1 FETCH (BODY[TEXT] {50}\r\ncut", &literal));
        QCOMPARE(literal, QByteArray("cut"));
        QVERIFY(!imapFirstLiteral("* 1 FETCH (BODY[TEXT] NIL)\r\n{x}\r\n", &literal));

        // The fetched MIME fields decide how the text reads.
        const QByteArray fields = "Subject: S\r\nContent-Type: text/plain; charset=iso-8859-9\r\n"
                                  "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
        const QByteArray header = "* 1 FETCH (UID 4 BODY[HEADER.FIELDS (SUBJECT)] {" + QByteArray::number(fields.size())
            + "}\r\n" + fields + ")\r\na05 OK\r\n";
        const QByteArray qp = "* 1 FETCH (BODY[TEXT]<0> {16}\r\nKod=FDn: 12=\r\n34\r\n)\r\na06 OK\r\n";
        QCOMPARE(imapMailBody(header, qp), QStringLiteral("Kod\u0131n: 1234"));
        // Fields without their empty line still end before the text.
        const QByteArray bare = "* 1 FETCH (BODY[HEADER.FIELDS (SUBJECT)] {10}\r\nSubject: S)\r\na05 OK\r\n";
        QCOMPARE(imapMailBody(bare, "* 1 FETCH (BODY[TEXT]<0> {13}\r\nFrom: x\r\n\r\nab)\r\n"),
                 QStringLiteral("From: x\n\nab"));
        QCOMPARE(imapMailBody(QByteArray(), "* 1 FETCH (BODY[TEXT]<0> {3}\r\nabc)\r\n"), QStringLiteral("abc"));
        // No literal: the raw reply, as ever.
        QCOMPARE(imapMailBody(header, "* 1 FETCH (BODY[TEXT]<0> NIL)\r\n"),
                 QStringLiteral("* 1 FETCH (BODY[TEXT]<0> NIL)\r\n"));
        // An HTML text hands on what it set off, for the recogniser.
        const QByteArray htmlFields = "Subject: S\r\nContent-Type: text/html\r\n\r\n";
        const QByteArray htmlHeader = "* 1 FETCH (BODY[HEADER.FIELDS (SUBJECT)] {"
            + QByteArray::number(htmlFields.size()) + "}\r\n" + htmlFields + ")\r\n";
        EmphasisSpans spans;
        QCOMPARE(imapMailBody(htmlHeader, "* 1 FETCH (BODY[TEXT]<0> {22}\r\nKod: <b>4410</b> tamam)\r\n", &spans),
                 QStringLiteral("Kod: 4410 tamam"));
        QCOMPARE(spans.size(), 1);
        QCOMPARE(spans[0].start, 5);
        QCOMPARE(spans[0].length, 4);
    }

    void uidValidityAndUid()
    {
        QCOMPARE(parseUidValidity(QStringLiteral("* 3 EXISTS\r\n* OK [UIDVALIDITY 1796702554] UIDs valid\r\n")),
                 QStringLiteral("1796702554"));
        QCOMPARE(parseUidValidity(QStringLiteral("a03 OK\r\n")), QString());

        const QByteArray ours = "* 4 FETCH (UID 17 BODY[HEADER.FIELDS (FROM SUBJECT DATE)] {37}\r\n"
                                "From: a@b.test\r\nSubject: UID 99 x\r\n\r\n)\r\na05 OK\r\n";
        QCOMPARE(parseFetchUid(ours, QStringLiteral("4")), QStringLiteral("17"));
        // An unsolicited update for another message comes first.
        QCOMPARE(parseFetchUid("* 2 FETCH (UID 5 FLAGS (\\Seen))\r\n" + ours, QStringLiteral("4")),
                 QStringLiteral("17"));
        // The UID after the literal still counts; header text that looks like
        // a FETCH response does not.
        const QByteArray after = "* 4 FETCH (BODY[HEADER.FIELDS (FROM)] {32}\r\n"
                                 "From: x\r\n* 4 FETCH (UID 666)\r\n\r\n UID 21)\r\na05 OK\r\n";
        QCOMPARE(parseFetchUid(after, QStringLiteral("4")), QStringLiteral("21"));
        const QByteArray forged = "* 4 FETCH (BODY[HEADER.FIELDS (FROM)] {32}\r\n"
                                  "From: x\r\n* 4 FETCH (UID 666)\r\n\r\n)\r\na05 OK\r\n";
        QCOMPARE(parseFetchUid(forged, QStringLiteral("4")), QString());
        QCOMPARE(parseFetchUid(ours, QStringLiteral("40")), QString());
        // A literal longer than the reply just ends the scan.
        QCOMPARE(parseFetchUid("* 4 FETCH (UID 3 X {99999999999999999}\r\nabc", QStringLiteral("4")),
                 QStringLiteral("3"));
    }

    void messageIds()
    {
        const QString id = imapMessageId(QStringLiteral("Ali@X.test"), QStringLiteral("7"), QStringLiteral("42"), QString());
        QCOMPARE(id.size(), 37);
        QVERIFY(id.startsWith(QStringLiteral("imap-")));
        // Account identity ignores case, as everywhere else.
        QCOMPARE(imapMessageId(QStringLiteral("ali@x.test"), QStringLiteral("7"), QStringLiteral("42"), QString()), id);
        QVERIFY(imapMessageId(QStringLiteral("ali@x.test"), QStringLiteral("7"), QStringLiteral("43"), QString()) != id);
        QVERIFY(imapMessageId(QStringLiteral("ali@x.test"), QStringLiteral("8"), QStringLiteral("42"), QString()) != id);
        QVERIFY(imapMessageId(QStringLiteral("veli@x.test"), QStringLiteral("7"), QStringLiteral("42"), QString()) != id);
        // "74" + "2" and "7" + "42" must not meet.
        QVERIFY(imapMessageId(QStringLiteral("a"), QStringLiteral("74"), QStringLiteral("2"), QString())
                != imapMessageId(QStringLiteral("a"), QStringLiteral("7"), QStringLiteral("42"), QString()));

        const QString h1 = QStringLiteral("From: a@b\r\nSubject: Kod\r\nDate: Mon, 1 Jan 2024 10:00:00 +0000\r\n");
        const QString h2 = QStringLiteral("From: a@b\r\nSubject: Kod\r\nDate: Mon, 1 Jan 2024 10:00:01 +0000\r\n");
        const QString byHeaders = imapMessageId(QStringLiteral("a"), QStringLiteral("7"), QString(), h1);
        QCOMPARE(imapMessageId(QStringLiteral("a"), QStringLiteral("7"), QString(), h1), byHeaders);
        QVERIFY(imapMessageId(QStringLiteral("a"), QStringLiteral("7"), QString(), h2) != byHeaders);
    }

    void outgoingServer_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("imapHost");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("startTls");
        QTest::newRow("gmail") << "ali@gmail.com" << "imap.gmail.com" << "smtp.gmail.com" << 465 << false;
        QTest::newRow("googlemail domain") << "ali@GoogleMail.com" << "imap.x.test" << "smtp.gmail.com" << 465 << false;
        QTest::newRow("gmail host wins over the domain")
            << "ali@outlook.com" << "imap.GMAIL.com" << "smtp.gmail.com" << 465 << false;
        QTest::newRow("yahoo") << "ali@yahoo.com.tr" << "" << "smtp.mail.yahoo.com" << 465 << false;
        QTest::newRow("yandex") << "ali@yandex.com" << "imap.yandex.com" << "smtp.yandex.com" << 465 << false;
        QTest::newRow("icloud") << "ali@icloud.com" << "imap.mail.me.com" << "smtp.mail.me.com" << 587 << true;
        QTest::newRow("me.com") << "ali@me.com" << "" << "smtp.mail.me.com" << 587 << true;
        QTest::newRow("mac.com") << "ali@mac.com" << "" << "smtp.mail.me.com" << 587 << true;
        QTest::newRow("acme.com is not me.com") << "ali@acme.com" << "imap.acme.com" << "smtp.acme.com" << 465 << false;
        QTest::newRow("outlook") << "ali@outlook.com" << "outlook.office365.com" << "smtp.office365.com" << 587 << true;
        QTest::newRow("hotmail") << "ali@hotmail.com" << "" << "smtp.office365.com" << 587 << true;
        QTest::newRow("live anywhere") << "ali@olive.test" << "imap.olive.test" << "smtp.office365.com" << 587 << true;
        QTest::newRow("custom domain") << "Ali@Firma.COM.tr" << "mail.firma.com.tr" << "smtp.firma.com.tr" << 465
                                       << false;
        QTest::newRow("no domain") << "ali" << "mail.firma.test" << "smtp.gmail.com" << 465 << false;
    }

    void outgoingServer()
    {
        QFETCH(QString, address);
        QFETCH(QString, imapHost);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(bool, startTls);
        EmailAccount acc;
        acc.address = address;
        acc.host = imapHost;
        const SmtpServer s = smtpServerFor(acc);
        QCOMPARE(s.host, host);
        QCOMPARE(int(s.port), port);
        QCOMPARE(s.startTls, startTls);
    }

    void outgoingServerSetByHandOrChosen()
    {
        EmailAccount acc;
        acc.address = QStringLiteral("ali@firma.com");
        acc.host = QStringLiteral("mail.firma.com");
        // a provider chosen on the page brings its own outgoing server
        acc.provider = QStringLiteral("icloud");
        SmtpServer s = smtpServerFor(acc);
        QCOMPARE(s.host, QStringLiteral("smtp.mail.me.com"));
        QCOMPARE(int(s.port), 587);
        QVERIFY(s.startTls);
        // the fields set by hand win; the port follows the kind when unset
        acc.smtpHost = QStringLiteral(" posta.firma.com ");
        acc.smtpStartTls = true;
        s = smtpServerFor(acc);
        QCOMPARE(s.host, QStringLiteral("posta.firma.com"));
        QCOMPARE(int(s.port), 587);
        QVERIFY(s.startTls);
        acc.smtpStartTls = false;
        QCOMPARE(int(smtpServerFor(acc).port), 465);
        acc.smtpPort = 2525;
        QCOMPARE(int(smtpServerFor(acc).port), 2525);
    }

    void messageText()
    {
        QCOMPARE(smtpBodyText(QStringLiteral("  .a\n\n..b\r\n c \r\n.")),
                 QStringLiteral("..a\r\n\r\n...b\r\nc\r\n.."));
        QCOMPARE(smtpBodyText(QString()), QString());
    }

    void replyHeaders()
    {
        SmtpMessage m;
        m.from = QStringLiteral("ali@Posta.Example");
        m.to = QStringLiteral("b@y");
        // Long and with two-byte letters: the encoded words must fold and never
        // split a letter.
        m.subject = QStringLiteral("Re: ") + QString(40, QChar(0x015e));
        m.body = QStringLiteral("Selam\n.");
        m.date = QDateTime(QDate(2026, 12, 9), QTime(2, 41, 5), QTimeZone(-5 * 3600 - 1800));
        m.messageId = smtpNewMessageId(m.from, QByteArray::fromHex("00ff10"));
        m.inReplyTo = QStringLiteral("Re: <orig@y>");
        m.references = QStringLiteral("<root@y> <orig@y> <cut@");
        QCOMPARE(m.messageId, QStringLiteral("<00ff10@posta.example>"));
        QCOMPARE(smtpNewMessageId(QStringLiteral("yerel"), "\x01"), QStringLiteral("<01@localhost>"));

        const QByteArray text = smtpMessageText(m);
        const QByteArray head = text.left(text.indexOf("\r\n\r\n"));
        QVERIFY(head.startsWith("Date: Wed, 09 Dec 2026 02:41:05 -0530\r\n"));
        QVERIFY(head.contains("\r\nMessage-ID: <00ff10@posta.example>\r\n"));
        QVERIFY(head.contains("\r\nIn-Reply-To: <orig@y>\r\n"));
        // The parent comes last and once; a cut id is dropped.
        QVERIFY(head.contains("\r\nReferences: <root@y>\r\n <orig@y>\r\n"));
        QVERIFY(head.contains("\r\nContent-Transfer-Encoding: 7bit"));
        QVERIFY(text.endsWith("\r\n\r\nSelam\r\n..\r\n.\r\n"));
        QString subject;
        for (const QByteArray &line : head.split('\n')) {
            QVERIFY2(line.size() <= 78, line.constData());
            for (char c : line)
                QVERIFY(uchar(c) < 0x80);
            const QByteArray word = line.trimmed();
            if (word.startsWith("Subject: ") || (!subject.isEmpty() && word.startsWith("=?"))) {
                const QByteArray w = word.mid(word.indexOf("=?UTF-8?B?") + 10).chopped(2);
                const QString part = QString::fromUtf8(QByteArray::fromBase64(w));
                QVERIFY(!part.contains(QChar::ReplacementCharacter));
                subject += part;
            }
        }
        QCOMPARE(subject, m.subject);

        // A body with other letters goes as base64, a plain subject as it is.
        m.subject = QStringLiteral("Re: Kod");
        m.body = QStringLiteral(" \u00c7ok  \n.iyi");
        const QByteArray other = smtpMessageText(m);
        QVERIFY(other.contains("\r\nSubject: Re: Kod\r\n"));
        QVERIFY(other.contains("Content-Transfer-Encoding: base64\r\n\r\n"));
        const QByteArray b64 = other.mid(other.indexOf("\r\n\r\n") + 4).chopped(5);
        QCOMPARE(QString::fromUtf8(QByteArray::fromBase64(b64)), QStringLiteral("\u00c7ok\r\n.iyi"));
    }

    void replyReading()
    {
        QVERIFY(smtpReplyHasCode(QStringLiteral("250 ok\r\n"), {"250"}));
        QVERIFY(smtpReplyHasCode(QStringLiteral("251 fwd\r\n"), {"250", "251"}));
        QVERIFY(!smtpReplyHasCode(QStringLiteral("550 no\r\n"), {"250", "251"}));
        // The code anywhere counts, as the session has always judged it.
        QVERIFY(smtpReplyHasCode(QStringLiteral("500 error 2501\r\n"), {"250"}));

        QVERIFY(smtpReplyComplete(QStringLiteral("250 ok\r\n")));
        QVERIFY(smtpReplyComplete(QStringLiteral("250-a\r\n250-b\r\n250 c\r\n")));
        QVERIFY(smtpReplyComplete(QStringLiteral("354\r\n")));
        QVERIFY(smtpReplyComplete(QStringLiteral("220 x\n")));
        QVERIFY(!smtpReplyComplete(QStringLiteral("250-a\r\n")));
        QVERIFY(!smtpReplyComplete(QStringLiteral("250-a\r\n250 c")));
        QVERIFY(!smtpReplyComplete(QStringLiteral("25\r\n")));
        QVERIFY(!smtpReplyComplete(QStringLiteral("abc ok\r\n")));
        QVERIFY(!smtpReplyComplete(QString()));
        QVERIFY(!smtpReplyComplete(QStringLiteral("\r\n")));
    }
};

// Signing in with a token: what the server offers, where the exchange
// stands, and what goes on the wire.
class SaslParseTest : public QObject
{
    Q_OBJECT
private slots:
    void capabilities()
    {
        const QByteArray greeting = "* OK [CAPABILITY IMAP4rev1 SASL-IR ID IDLE AUTH=PLAIN auth=xoauth2] Ready.\r\n";
        const QStringList caps = imapCapabilities(greeting);
        QVERIFY(caps.contains(QStringLiteral("SASL-IR")));
        QVERIFY(caps.contains(QStringLiteral("AUTH=XOAUTH2")));
        QVERIFY(!caps.contains(QStringLiteral("READY.")));
        QCOMPARE(imapCapabilities("* CAPABILITY IMAP4rev1 AUTH=OAUTHBEARER\r\nc1 OK done\r\n"),
                 (QStringList{QStringLiteral("IMAP4REV1"), QStringLiteral("AUTH=OAUTHBEARER")}));
        // A mail's text (a literal) cannot announce anything.
        QVERIFY(imapCapabilities("* 1 FETCH (BODY[] {30}\r\n* CAPABILITY SASL-IR X\r\n\r\n)\r\n").isEmpty());
        QVERIFY(imapCapabilities("* OK Dovecot ready.\r\n").isEmpty());
        // Bytes no atom can hold are dropped, the rest kept.
        QCOMPARE(imapCapabilities("* CAPABILITY A\xff" "B SASL-IR\r\n"), QStringList{QStringLiteral("SASL-IR")});
    }

    void authenticateStates()
    {
        QCOMPARE(imapAuthState("", "a02"), ImapAuthState::Incomplete);
        QCOMPARE(imapAuthState("+ ", "a02"), ImapAuthState::Incomplete); // the line has not ended
        QCOMPARE(imapAuthState("+ \r\n", "a02"), ImapAuthState::Continuation);
        // The refused token's report, then, after the empty line, the NO.
        QCOMPARE(imapAuthState("+ eyJzdGF0dXMiOiI0MDEifQ==\r\n", "a02"), ImapAuthState::Continuation);
        QCOMPARE(imapAuthState("a02 NO [AUTHENTICATIONFAILED] Authentication failed.\r\n", "a02"), ImapAuthState::No);
        QCOMPARE(imapAuthState("* CAPABILITY IMAP4rev1\r\na02 OK Logged in\r\n", "a02"), ImapAuthState::Ok);
        QCOMPARE(imapAuthState("a02 BAD syntax\r\n", "a02"), ImapAuthState::Bad);
        // Another tag, or the tag as a prefix of a longer one, is no answer.
        QCOMPARE(imapAuthState("a021 OK x\r\n", "a02"), ImapAuthState::Incomplete);
        QCOMPARE(imapAuthState("* OK still here\r\n", "a02"), ImapAuthState::Incomplete);
    }

    void initialResponses()
    {
        EmailAccount acc;
        acc.address = QStringLiteral("veli@outlook.com");
        acc.accessToken = QStringLiteral("tok");
        QVERIFY(saslInitialResponse(acc, QStringLiteral("h"), 993).isEmpty()); // a password account
        QVERIFY(saslMechanismName(acc).isEmpty());
        acc.auth = MailAuth::XOAuth2;
        QCOMPARE(saslMechanismName(acc), QStringLiteral("XOAUTH2"));
        QCOMPARE(QByteArray::fromBase64(saslInitialResponse(acc, QStringLiteral("h"), 993)),
                 QByteArray("user=veli@outlook.com\x01" "auth=Bearer tok\x01\x01"));
        acc.auth = MailAuth::OAuthBearer;
        acc.user = QStringLiteral("a,b=c");
        QCOMPARE(QByteArray::fromBase64(saslInitialResponse(acc, QStringLiteral("imap.test"), 143)),
                 QByteArray("n,a=a=2Cb=3Dc,\x01host=imap.test\x01port=143\x01" "auth=Bearer tok\x01\x01"));
    }

    void smtpCodes()
    {
        QCOMPARE(smtpFinalCode(QStringLiteral("334 eyJzdGF0dXMiOiI0MDEifQ==\r\n")), QStringLiteral("334"));
        QCOMPARE(smtpFinalCode(QStringLiteral("250-a\r\n250 b\r\n")), QStringLiteral("250"));
        QVERIFY(smtpFinalCode(QStringLiteral("250-a\r\n")).isEmpty());
        QVERIFY(smtpFinalCode(QStringLiteral("235 ok")).isEmpty());
    }

    void storedAuthAndRefreshToken()
    {
        // The mechanism and the refresh token survive a save; the access
        // token never reaches the store.
        EmailAccount acc;
        acc.address = QStringLiteral("veli@outlook.com");
        acc.auth = MailAuth::OAuthBearer;
        acc.refreshToken = QStringLiteral("rt-\u00e7");
        acc.accessToken = QStringLiteral("at-secret");
        const QByteArray json = accountsToJson({acc});
        QVERIFY(!json.contains("at-secret"));
        QVERIFY(!json.contains("rt-"));
        const EmailAccount back = accountsFromJson(json).value(0);
        QCOMPARE(back.auth, MailAuth::OAuthBearer);
        QCOMPARE(back.refreshToken, acc.refreshToken);
        QVERIFY(back.accessToken.isEmpty());
        QVERIFY(hasCredentials(back));
        // Records from before sign-ins existed read as password accounts.
        const EmailAccount old =
            accountsFromJson(R"([{"address":"a@b.com","pass":"cA==","refreshToken":"eA=="}])").value(0);
        QCOMPARE(old.auth, MailAuth::Password);
        QVERIFY(old.refreshToken.isEmpty());
        QVERIFY(!accountsToJson({old}).contains("auth"));
        EmailAccount noGrant = back;
        noGrant.refreshToken.clear();
        QVERIFY(!hasCredentials(noGrant));
        QCOMPARE(mailAuthFromName(QStringLiteral("bogus")), MailAuth::Password);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TransportParseTest parse;
    SaslParseTest sasl;
    return QTest::qExec(&parse, argc, argv) | QTest::qExec(&sasl, argc, argv);
}

#include "tst_transportparse.moc"
