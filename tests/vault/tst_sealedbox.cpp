#include "servers/hostprocess.h"
#include "vault/sealedbox.h"

#include <QCryptographicHash>
#include <QtTest>

namespace {

const QString kPassword = QStringLiteral("g\u00fc\u00e7l\u00fc-\u015fifre \u20ac");
const QByteArray kSalt = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");

QByteArray pattern(int n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 37 + 11) & 0xff);
    return b;
}

// Runs the independent Python implementation (the host's, on the Windows
// build); the password goes in on stdin.
bool runPeer(const QStringList &args, const QString &password, QByteArray *out)
{
    HostProcess p;
    p.setInput(password.toUtf8());
    if (!p.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(MIRELO_TEST_SOURCE_DIR "/tests/vault/mrc1_peer.py")} + args)
        || !p.waitForFinished(60000))
        return false;
    *out = QByteArray::fromHex(p.readAllStandardOutput().trimmed());
    return p.exitCode() == 0;
}

} // namespace

class TestSealedBox : public QObject
{
    Q_OBJECT
private slots:
    void roundTripAndLayout_data();
    void roundTripAndLayout();
    void rejectsWrongPasswordAndAlteredBytes();
    void rejectsMalformedBoxes();
    void sealingIsDeterministicPerSalt();
    void keystreamUsesBigEndianBlockCounter();
    void saltsAreFreshAndSized();
    void pythonPeerOpensOurBoxesByteForByte_data();
    void pythonPeerOpensOurBoxesByteForByte();
    void pythonPeerRefusesAlteredBox();
};

void TestSealedBox::roundTripAndLayout_data()
{
    QTest::addColumn<int>("size");
    for (int n : {1, 31, 32, 33, 1000})
        QTest::addRow("%d bytes", n) << n;
}

void TestSealedBox::roundTripAndLayout()
{
    QFETCH(int, size);
    const QByteArray plain = pattern(size);
    const QByteArray box = sealBox(plain, kPassword, kSalt);
    QCOMPARE(box.size(), size + 52);
    QCOMPARE(box.left(4), QByteArray("MRC1"));
    QCOMPARE(box.mid(4, 16), kSalt);
    QVERIFY(box.mid(20, size) != plain);
    QCOMPARE(openBox(box, kPassword), plain);
}

void TestSealedBox::rejectsWrongPasswordAndAlteredBytes()
{
    const QByteArray plain = pattern(40);
    const QByteArray box = sealBox(plain, kPassword, kSalt);
    QVERIFY(openBox(box, kPassword + QLatin1Char('x')).isEmpty());
    QVERIFY(openBox(box, QString()).isEmpty());
    // The same text in another normalisation is a different password.
    QVERIFY(openBox(sealBox(plain, QStringLiteral("\u00e7"), kSalt), QStringLiteral("c\u0327")).isEmpty());

    // One flipped bit anywhere after the magic (salt, ciphertext, tag) is refused.
    for (int i = 4; i < box.size(); ++i) {
        QByteArray altered = box;
        altered[i] = char(altered[i] ^ (1 << (i % 8)));
        QVERIFY2(openBox(altered, kPassword).isEmpty(), qPrintable(QStringLiteral("byte %1").arg(i)));
    }
}

void TestSealedBox::rejectsMalformedBoxes()
{
    const QByteArray box = sealBox(pattern(5), kPassword, kSalt);
    QVERIFY(openBox(QByteArray(), kPassword).isEmpty());
    QVERIFY(openBox(box.left(51), kPassword).isEmpty());
    QByteArray magic = box;
    magic[3] = '2';
    QVERIFY(openBox(magic, kPassword).isEmpty());
    // A 52-byte box is well formed and holds an empty plaintext, which reads
    // as a failure too.
    const QByteArray empty = sealBox(QByteArray(), kPassword, kSalt);
    QCOMPARE(empty.size(), 52);
    QVERIFY(openBox(empty, kPassword).isEmpty());
    // Dropping the last byte shifts the tag: refused, not misread.
    QVERIFY(openBox(box.left(box.size() - 1), kPassword).isEmpty());
}

void TestSealedBox::sealingIsDeterministicPerSalt()
{
    const QByteArray plain = pattern(100);
    const QByteArray a = sealBox(plain, kPassword, kSalt);
    QCOMPARE(sealBox(plain, kPassword, kSalt), a);
    QByteArray otherSalt = kSalt;
    otherSalt[15] = char(otherSalt[15] ^ 0x80);
    const QByteArray b = sealBox(plain, kPassword, otherSalt);
    QCOMPARE(b.size(), a.size());
    int same = 0;
    for (int i = 20; i < a.size(); ++i)
        same += a[i] == b[i];
    // Unrelated streams agree on about one byte in 256 by chance.
    QVERIFY2(same < 8, qPrintable(QString::number(same)));
    QCOMPARE(deriveKey(kPassword, kSalt).size(), 32);
    QVERIFY(deriveKey(kPassword, kSalt) != deriveKey(kPassword, otherSalt));
}

void TestSealedBox::keystreamUsesBigEndianBlockCounter()
{
    const QByteArray plain = pattern(70);
    const QByteArray box = sealBox(plain, kPassword, kSalt);
    const QByteArray key = deriveKey(kPassword, kSalt);
    for (int block = 0; block < 3; ++block) {
        QByteArray counter(8, '\0');
        counter[7] = char(block);
        const QByteArray stream =
            QCryptographicHash::hash(key + kSalt + counter, QCryptographicHash::Sha256);
        for (int i = block * 32; i < qMin(70, block * 32 + 32); ++i)
            QCOMPARE(char(box[20 + i] ^ plain[i]), stream[i - block * 32]);
    }
    QCOMPARE(box.right(32),
             QCryptographicHash::hash(key + box.mid(20, 70), QCryptographicHash::Sha256));
}

void TestSealedBox::saltsAreFreshAndSized()
{
    const QByteArray a = generateSalt();
    const QByteArray b = generateSalt();
    QCOMPARE(a.size(), 16);
    QVERIFY(a != b);
    QVERIFY(openBox(sealBox("x", kPassword, a), kPassword) == "x");
}

void TestSealedBox::pythonPeerOpensOurBoxesByteForByte_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("password");
    QTest::addRow("1 byte, ascii") << 1 << QStringLiteral("abcd");
    QTest::addRow("33 bytes, non-ascii") << 33 << kPassword;
    QTest::addRow("1000 bytes, empty password") << 1000 << QString();
}

void TestSealedBox::pythonPeerOpensOurBoxesByteForByte()
{
    QFETCH(int, size);
    QFETCH(QString, password);
    const QByteArray plain = pattern(size);
    const QByteArray salt = generateSalt();
    const QByteArray ours = sealBox(plain, password, salt);

    QByteArray opened;
    QVERIFY(runPeer({QStringLiteral("open"), QString::fromLatin1(ours.toHex())}, password, &opened));
    QCOMPARE(opened, plain);

    QByteArray theirs;
    QVERIFY(runPeer({QStringLiteral("seal"), QString::fromLatin1(salt.toHex()),
                     QString::fromLatin1(plain.toHex())}, password, &theirs));
    QCOMPARE(theirs, ours);
    QCOMPARE(openBox(theirs, password), plain);
}

void TestSealedBox::pythonPeerRefusesAlteredBox()
{
    QByteArray box = sealBox("{\"code\":\"123456\"}", kPassword, kSalt);
    QByteArray out;
    QVERIFY(runPeer({QStringLiteral("open"), QString::fromLatin1(box.toHex())}, kPassword, &out));
    box[25] = char(box[25] ^ 1);
    QVERIFY(!runPeer({QStringLiteral("open"), QString::fromLatin1(box.toHex())}, kPassword, &out));
    QVERIFY(!runPeer({QStringLiteral("open"), QString::fromLatin1(sealBox("x", kPassword, kSalt).toHex())},
                     QStringLiteral("other"), &out));
}

QTEST_GUILESS_MAIN(TestSealedBox)
#include "tst_sealedbox.moc"
