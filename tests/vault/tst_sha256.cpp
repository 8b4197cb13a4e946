// Our SHA-256 (both the SHA-instruction path and the portable one) against
// Qt's, on the known vectors and on every length across the block edges.
#include "vault/sha256.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>

namespace {
QByteArray ours(const QByteArray &data)
{
    std::uint8_t digest[32];
    sha256(data.constData(), size_t(data.size()), digest);
    return QByteArray(reinterpret_cast<const char *>(digest), 32);
}
} // namespace

class TestSha256 : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { setSha256AccelerationAllowed(true); }

    void agreesWithQt_data()
    {
        QTest::addColumn<bool>("accelerated");
        QTest::newRow("sha instructions when present") << true;
        QTest::newRow("portable") << false;
    }

    void agreesWithQt()
    {
        QFETCH(bool, accelerated);
        setSha256AccelerationAllowed(accelerated);
        if (!accelerated)
            QVERIFY(!sha256Accelerated());
        QCOMPARE(ours("abc").toHex(), QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        QCOMPARE(ours(QByteArray()).toHex(), QByteArray("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
        QCOMPARE(ours("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq").toHex(),
                 QByteArray("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"));
        QRandomGenerator rng(42);
        for (int length = 0; length <= 300; ++length) {
            QByteArray data(length, Qt::Uninitialized);
            for (char &c : data)
                c = char(rng.bounded(256));
            QCOMPARE(ours(data), QCryptographicHash::hash(data, QCryptographicHash::Sha256));
        }
    }
};

QTEST_APPLESS_MAIN(TestSha256)
#include "tst_sha256.moc"
