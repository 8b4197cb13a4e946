#include "link/linkpayload.h"
#include "link/pairing.h"
#include "mail/mailrecords.h"
#include "vault/sealedbox.h"

#include "link/linktestsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

class TestLinkPure : public QObject
{
    Q_OBJECT

private slots:
    void sessionIdsUseTheTopFiveBits()
    {
        TestRandom random;
        for (quint32 i = 0; i < 8; ++i)
            random.queued << ((i << 27) | 0x07FFFFFFu);
        QCOMPARE(generateSessionId(random.fn()), QStringLiteral("ABCDEFGH"));
        random.queued = {31u << 27, 30u << 27, 29u << 27, 28u << 27, 27u << 27, 26u << 27, 25u << 27, 24u << 27};
        QCOMPARE(generateSessionId(random.fn()), QStringLiteral("98765432"));

        // Whatever the draws, an id is valid.
        TestRandom any;
        for (int n = 0; n < 200; ++n)
            QVERIFY(isValidSessionId(generateSessionId(any.fn())));
    }

    void codesAreSixDigitsAndKeepLeadingZeros()
    {
        TestRandom random;
        random.queued = {0u, 0xFFFFFFFFu, 1u << 22, 0x80000000u};
        QCOMPARE(generatePairingCode(random.fn()), QStringLiteral("000000"));
        QCOMPARE(generatePairingCode(random.fn()), QStringLiteral("999999"));
        QCOMPARE(generatePairingCode(random.fn()), QStringLiteral("000976"));
        QCOMPARE(generatePairingCode(random.fn()), QStringLiteral("500000"));

        random.queued = {0xAB000000u, 0x01FFFFFFu};
        const QByteArray salt = generateLinkSalt(random.fn());
        QCOMPARE(salt.size(), 16);
        QCOMPARE(quint8(salt.at(0)), quint8(0xAB));
        QCOMPARE(quint8(salt.at(1)), quint8(0x01));
    }

    void keysAreLowerHexSha256OfSidAndCode()
    {
        QCOMPARE(sha256Hex("abc"),
                 QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        const QString key = linkKeyFor(QStringLiteral("ABCDEFGH"), QStringLiteral("012345"));
        QCOMPARE(key, sha256Hex("ABCDEFGH:012345"));
        QCOMPARE(key.size(), 64);
        QCOMPARE(key, key.toLower());
        QVERIFY(key != linkKeyFor(QStringLiteral("ABCDEFGH"), QStringLiteral("012346")));
    }

    void sessionIdValidation_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "ABCDEFGH" << "ABCDEFGH";
        QTest::newRow("trimmed lower") << "  abcdefgh\n" << "ABCDEFGH";
        QTest::newRow("digits") << "23456789" << "23456789";
        QTest::newRow("seven") << "ABCDEFG" << "";
        QTest::newRow("nine") << "ABCDEFGHJ" << "";
        QTest::newRow("letter O") << "ABCDEFGO" << "";
        QTest::newRow("digit 1") << "ABCDEFG1" << "";
        QTest::newRow("slash") << "ABC/EFGH" << "";
        QTest::newRow("dots") << "ABCD..GH" << "";
        QTest::newRow("query") << "ABCDEFG?" << "";
        QTest::newRow("hash") << "ABCDEFG#" << "";
        QTest::newRow("inner space") << "ABCD EFG" << "";
        QTest::newRow("traversal") << "../mirelo_users" << "";
        QTest::newRow("empty") << "" << "";
    }
    void sessionIdValidation()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(normalizeSessionId(input), expected);
    }

    void inboxKeys()
    {
        QVERIFY(isPlainInboxKey(QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e")));
        QVERIFY(isPlainInboxKey(QStringLiteral("-Nx_abc123")));
        QVERIFY(isPlainInboxKey(QString(768, QLatin1Char('a'))));
        for (const char *bad : {"", "a.b", "..", "a/b", "a?b", "a#b", "a b", "a%2Fb", "ü"})
            QVERIFY2(!isPlainInboxKey(QString::fromUtf8(bad)), bad);
        QVERIFY(!isPlainInboxKey(QString(769, QLatin1Char('a'))));
    }

    void pairingUriRoundTrip()
    {
        QCOMPARE(pairingUri(QStringLiteral("ABCDEFGH"), QStringLiteral("012345")),
                 QStringLiteral("MIRELOPLUS://pair?s=ABCDEFGH&c=012345"));
        QString sid, code;
        QVERIFY(parsePairingUri(QStringLiteral("MIRELOPLUS://pair?s=ABCDEFGH&c=012345"), &sid, &code));
        QCOMPARE(sid, QStringLiteral("ABCDEFGH"));
        QCOMPARE(code, QStringLiteral("012345"));
        QVERIFY(parsePairingUri(QStringLiteral(" mireloplus://PAIR?c=999999&s=zzzzzzzz "), &sid, &code));
        QCOMPARE(sid, QStringLiteral("zzzzzzzz"));
        QCOMPARE(code, QStringLiteral("999999"));

        // Values come back unvalidated; the id check is what keeps them out of paths.
        QVERIFY(parsePairingUri(QStringLiteral("MIRELOPLUS://pair?s=..%2Fmirelo_users&c=1"), &sid, &code));
        QCOMPARE(sid, QStringLiteral("../mirelo_users"));
        QVERIFY(normalizeSessionId(sid).isEmpty());

        for (const char *bad : {"", "garbage", "http://pair?s=ABCDEFGH&c=012345",
                                "MIRELOPLUS://other?s=ABCDEFGH&c=012345", "MIRELOPLUS://pair?s=ABCDEFGH",
                                "MIRELOPLUS://pair?c=012345", "MIRELOPLUS://pair?s=&c=012345",
                                "MIRELOPLUS://pair/x?s=ABCDEFGH&c=012345"})
            QVERIFY2(!parsePairingUri(QString::fromLatin1(bad), &sid, &code), bad);
    }

    void cutsNeverSplitASurrogatePair()
    {
        QCOMPARE(cutText(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
        QCOMPARE(cutText(QStringLiteral("ab"), 4), QStringLiteral("ab"));
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
        const QString text = QString(3, QLatin1Char('x')) + smile + QStringLiteral("y");
        QCOMPARE(cutText(text, 4), QStringLiteral("xxx"));
        QCOMPARE(cutText(text, 5), QStringLiteral("xxx") + smile);
    }

    void sessionRecords()
    {
        const QJsonObject fresh = newSessionRecord(QStringLiteral("h"), QStringLiteral("2026-01-01T00:00:00Z"));
        QCOMPARE(fresh.value(QLatin1String("status")).toString(), QStringLiteral("waiting"));
        QVERIFY(!sessionIsPaired(fresh));
        QCOMPARE(sessionDeviceName(fresh), QStringLiteral("Telefon"));

        const QJsonObject joined = joinedSessionRecord(fresh, QString(70, QLatin1Char('n')), QStringLiteral("T"));
        QVERIFY(sessionIsPaired(joined));
        QCOMPARE(joined.value(QLatin1String("codeHash")).toString(), QStringLiteral("h"));
        QCOMPARE(sessionDeviceName(joined), QString(64, QLatin1Char('n')));
        QCOMPARE(joined.value(QLatin1String("pairedAt")).toString(), QStringLiteral("T"));

        QJsonObject record;
        QVERIFY(parseSessionRecord(R"({"status":"Paired","device":"X"})", &record));
        QVERIFY(!sessionIsPaired(record));
        QVERIFY(parseSessionRecord(R"({"status":"paired","device":42})", &record));
        QVERIFY(sessionIsPaired(record));
        QCOMPARE(sessionDeviceName(record), QStringLiteral("Telefon"));
        // A record written by some other joiner is cut on this side too.
        QVERIFY(parseSessionRecord(QByteArray(R"({"status":"paired","device":")") + QByteArray(5000, 'd') + "\"}",
                                   &record));
        QCOMPARE(sessionDeviceName(record), QString(64, QLatin1Char('d')));
        QVERIFY(!parseSessionRecord("null", &record));
        QVERIFY(!parseSessionRecord("[1,2]", &record));
        QVERIFY(!parseSessionRecord("\"paired\"", &record));
        QVERIFY(!parseSessionRecord("{", &record));
    }

    void payloadCutsAndClearTimestamp()
    {
        MailItem item;
        item.from = QString(130, QLatin1Char('f'));
        item.subject = QString(200, QLatin1Char('s'));
        item.code = QStringLiteral("004711");
        const QString ts = QStringLiteral("2026-03-14T09:26:53Z");
        const QByteArray payload = buildLinkPayload(item, ts);

        const QString keyA = linkKeyFor(QStringLiteral("ABCDEFGH"), QStringLiteral("111111"));
        const QString keyB = linkKeyFor(QStringLiteral("JKLMNPQR"), QStringLiteral("111111"));
        const QJsonObject message = sealLinkMessage(payload, ts, keyA, QByteArray(16, 'x'));
        QCOMPARE(message.value(QLatin1String("ts")).toString(), ts);
        QVERIFY(!message.value(QLatin1String("data")).toString().contains(QLatin1String("004711")));

        QJsonObject inbox;
        inbox.insert(QLatin1String("m1"), message);
        const QList<InboxEntry> entries = parseInbox(QJsonDocument(inbox).toJson());
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.at(0).key, QStringLiteral("m1"));

        LinkCode code;
        QVERIFY(!openLinkMessage(entries.at(0).box, keyB, &code));
        QVERIFY(openLinkMessage(entries.at(0).box, keyA, &code));
        QCOMPARE(code.from, QString(120, QLatin1Char('f')));
        QCOMPARE(code.subject, QString(160, QLatin1Char('s')));
        QCOMPARE(code.code, QStringLiteral("004711"));
        QCOMPARE(code.ts, ts);
    }

    void hostileInboxMembersAreLeftOut()
    {
        const QString key = linkKeyFor(QStringLiteral("ABCDEFGH"), QStringLiteral("111111"));
        MailItem item;
        item.code = QStringLiteral("1");
        const QJsonObject good = sealLinkMessage(buildLinkPayload(item, QStringLiteral("t")), QStringLiteral("t"),
                                                 key, QByteArray(16, 's'));
        QJsonObject inbox;
        inbox.insert(QLatin1String("good"), good);
        inbox.insert(QLatin1String("../x"), good);
        inbox.insert(QLatin1String("a b"), good);
        inbox.insert(QLatin1String(""), good);
        inbox.insert(QLatin1String("scalar"), 5);
        inbox.insert(QLatin1String("nodata"), QJsonObject{{QLatin1String("ts"), 1}});
        inbox.insert(QLatin1String("numdata"), QJsonObject{{QLatin1String("data"), 7}});
        inbox.insert(QLatin1String("notb64"), QJsonObject{{QLatin1String("data"), QLatin1String("@@@@")}});
        inbox.insert(QLatin1String("short"), QJsonObject{{QLatin1String("data"), QLatin1String("TVJDMQ==")}});
        const QList<InboxEntry> entries = parseInbox(QJsonDocument(inbox).toJson());
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.at(0).key, QStringLiteral("good"));

        // An inbox shown as an array keeps its indexes as keys.
        const QList<InboxEntry> fromArray = parseInbox(QJsonDocument(QJsonArray{QJsonValue(), good}).toJson());
        QCOMPARE(fromArray.size(), 1);
        QCOMPARE(fromArray.at(0).key, QStringLiteral("1"));

        for (const char *body : {"", "null", "5", "\"x\"", "{", "[[[[", "{\"a\":}"})
            QVERIFY2(parseInbox(body).isEmpty(), body);

        // A sealed text that is no JSON object is not a code.
        LinkCode code;
        QVERIFY(!openLinkMessage(sealBox("[1]", key, QByteArray(16, 'q')), key, &code));
        QVERIFY(!parseLinkPayload("null", &code));
        // Nor is an object of the wrong shape, or a good message with bytes
        // appended (what a box lengthened without the key opens to).
        const QByteArray shaped = R"({"code":"1","from":"f","subject":"s","ts":"t"})";
        QVERIFY(parseLinkPayload(shaped, &code));
        for (const QByteArray &plain :
             {QByteArray("{}"), QByteArray(R"({"code":"","from":"f","subject":"s","ts":"t"})"),
              QByteArray(R"({"code":123456,"from":"f","subject":"s","ts":"t"})"),
              QByteArray(R"({"code":"1","subject":"s","ts":"t"})"), QByteArray(shaped + QByteArray("\x80\0\x01junk", 7))}) {
            QVERIFY2(!openLinkMessage(sealBox(plain, key, QByteArray(16, 'q')), key, &code), plain.constData());
        }
    }

    void storedDevices()
    {
        const QByteArray stored = R"([
            {"sid":"ABCDEFGH","name":"Pixel","key":"k1","at":"2026-01-01T10:00:00"},
            {"sid":"JKLMNPQR","name":"NoKey"},
            {"sid":"","key":"k3"},
            {"sid":5,"key":"k4"},
            "text",
            {"sid":"STUVWXYZ","key":"k5"}
        ])";
        const QList<PairedDevice> devices = parsePairedDevices(stored);
        QCOMPARE(devices.size(), 2);
        QCOMPARE(devices.at(0).name, QStringLiteral("Pixel"));
        QCOMPARE(devices.at(0).at, QStringLiteral("2026-01-01T10:00:00"));
        QCOMPARE(devices.at(1).sid, QStringLiteral("STUVWXYZ"));
        QVERIFY(devices.at(1).name.isEmpty());

        const QList<PairedDevice> again = parsePairedDevices(serializePairedDevices(devices));
        QCOMPARE(again.size(), 2);
        QCOMPARE(again.at(0).key, QStringLiteral("k1"));
        QCOMPARE(again.at(1).sid, QStringLiteral("STUVWXYZ"));
        QCOMPARE(serializePairedDevices({}), QByteArray("[]"));

        for (const char *bad : {"", "{", "{}", "null", "\"x\""})
            QVERIFY2(parsePairedDevices(bad).isEmpty(), bad);
    }
};

QTEST_GUILESS_MAIN(TestLinkPure)
#include "tst_linkpure.moc"
