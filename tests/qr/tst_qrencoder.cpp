// The encoder against an independent one (Nayuki's qrcodegen, as Debian
// packages it), module for module, plus the symbol's own invariants.
#include "qr/qrencoder.h"

#include <qrcodegen/qrcodegen.hpp>

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray randomBytes(QRandomGenerator &rng, int n)
{
    QByteArray out(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        out[i] = char(rng.bounded(256));
    return out;
}

qrcodegen::QrCode reference(const QByteArray &data, int level, int mask)
{
    static const qrcodegen::QrCode::Ecc levels[] = {qrcodegen::QrCode::Ecc::LOW, qrcodegen::QrCode::Ecc::MEDIUM,
                                                    qrcodegen::QrCode::Ecc::QUARTILE, qrcodegen::QrCode::Ecc::HIGH};
    const std::vector<std::uint8_t> bytes(data.begin(), data.end());
    // boostEcl=false: the other encoder would otherwise raise the level
    // whenever that costs no extra version.
    return qrcodegen::QrCode::encodeSegments({qrcodegen::QrSegment::makeBytes(bytes)}, levels[level], 1, 40, mask, false);
}

// Returns an empty string when both grids agree, else where they differ.
QString compare(const QrCode &ours, const qrcodegen::QrCode &theirs)
{
    if (ours.version != theirs.getVersion())
        return QStringLiteral("version %1 != %2").arg(ours.version).arg(theirs.getVersion());
    if (ours.size != theirs.getSize() || int(ours.modules.size()) != ours.size)
        return QStringLiteral("size");
    for (int y = 0; y < ours.size; ++y)
        for (int x = 0; x < ours.size; ++x)
            if (ours.dark(x, y) != theirs.getModule(x, y))
                return QStringLiteral("module x=%1 y=%2").arg(x).arg(y);
    return {};
}

// Reads the first copy of the format information: (level bits, mask), or
// (-1, -1) when its BCH check fails or the two copies disagree.
QPair<int, int> readFormat(const QrCode &qr)
{
    auto bit = [&](int x, int y) { return qr.dark(x, y) ? 1 : 0; };
    int first = 0, second = 0;
    for (int i = 0; i <= 5; ++i)
        first |= bit(8, i) << i;
    first |= bit(8, 7) << 6;
    first |= bit(8, 8) << 7;
    first |= bit(7, 8) << 8;
    for (int i = 9; i < 15; ++i)
        first |= bit(14 - i, 8) << i;
    for (int i = 0; i < 8; ++i)
        second |= bit(qr.size - 1 - i, 8) << i;
    for (int i = 8; i < 15; ++i)
        second |= bit(8, qr.size - 15 + i) << i;
    if (first != second)
        return {-1, -1};
    const int raw = first ^ 0x5412;
    const int data = raw >> 10;
    int rem = data;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    if ((raw & 0x3FF) != (rem & 0x3FF))
        return {-1, -1};
    return {data >> 3, data & 7};
}

} // namespace

class TestQrEncoder : public QObject
{
    Q_OBJECT
private slots:
    void matchesIndependentEncoderEveryVersionLevelAndMask()
    {
        QRandomGenerator rng(20261208);
        int compared = 0;
        for (int level = 0; level < 4; ++level) {
            for (int version = 1; version <= 40; ++version) {
                // The longest payload of this version and the shortest one
                // that needs it.
                QList<int> lengths{qrByteCapacity(version, level)};
                if (version > 1)
                    lengths << qrByteCapacity(version - 1, level) + 1;
                for (int length : lengths) {
                    const QByteArray data = randomBytes(rng, length);
                    for (int mask = -1; mask < 8; ++mask) {
                        const QrCode ours = encodeBinary(data, level, mask);
                        QCOMPARE(ours.version, version);
                        const QString diff = compare(ours, reference(data, level, mask));
                        if (!diff.isEmpty())
                            QFAIL(qPrintable(QStringLiteral("level %1 version %2 length %3 mask %4: %5")
                                                 .arg(level).arg(version).arg(length).arg(mask).arg(diff)));
                        ++compared;
                    }
                }
            }
        }
        QCOMPARE(compared, 4 * (40 + 39) * 9);
    }

    void matchesIndependentEncoderOnTextPayloads()
    {
        const QList<QByteArray> payloads{
            QByteArray(),
            QByteArrayLiteral("MIRELOPLUS://pair?s=ABCDEFGH&c=123456"),
            QStringLiteral("Dogrulama kodun: 482 913 - ğüşıöç ĞÜŞİÖÇ").toUtf8(),
            QByteArray(300, 'a'),
            QByteArray(1000, '\0'),
        };
        for (const QByteArray &data : payloads)
            for (int level = 0; level < 4; ++level) {
                const QString diff = compare(encodeBinary(data, level), reference(data, level, -1));
                QVERIFY2(diff.isEmpty(), qPrintable(diff));
            }
    }

    void capacityEdgesAtLevelM()
    {
        const QList<QPair<int, int>> edges{{14, 1}, {15, 2}, {26, 2}, {27, 3}, {42, 3}, {43, 4},
                                           {180, 9}, {181, 10}, {213, 10}, {214, 11}, {2331, 40}};
        for (const auto &[length, version] : edges) {
            const QrCode qr = encodeBinary(QByteArray(length, 'x'), QrLevelM);
            QCOMPARE(qr.version, version);
            QCOMPARE(qr.size, 4 * version + 17);
        }
        QCOMPARE(encodeBinary(QByteArray(), QrLevelM).version, 1);
        QCOMPARE(encodeBinary(QByteArray(), QrLevelM).size, 21);
    }

    void tooLongDataIsRefusedWithItsMessage()
    {
        try {
            encodeBinary(QByteArray(2332, 'x'), QrLevelM);
            QFAIL("2332 bytes at level M must not fit");
        } catch (const QrLengthError &e) {
            QCOMPARE(QByteArray(e.what()), QByteArray("veri buyuk"));
        }
        QVERIFY_THROWS_EXCEPTION(QrLengthError, encodeBinary(QByteArray(2954, 'x'), QrLevelL));
        QCOMPARE(encodeBinary(QByteArray(2953, 'x'), QrLevelL).version, 40);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, encodeBinary("x", 4));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, encodeBinary("x", QrLevelM, 8));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, encodeBinary("x", QrLevelM, -2));
    }

    void formatInformationCarriesLevelAndForcedMask()
    {
        const int levelBits[4] = {1, 0, 3, 2};
        for (int level = 0; level < 4; ++level)
            for (int mask = 0; mask < 8; ++mask) {
                const QrCode qr = encodeBinary("format check", level, mask);
                const auto [bits, readMask] = readFormat(qr);
                QCOMPARE(bits, levelBits[level]);
                QCOMPARE(readMask, mask);
                QVERIFY(qr.dark(8, qr.size - 8)); // the fixed dark module
            }
    }
};

QTEST_APPLESS_MAIN(TestQrEncoder)
#include "tst_qrencoder.moc"
