#include "vault/sealedbox.h"
#include "vault/vaultbox.h"

#include <QtTest>

namespace {

VaultSealing cheap(VaultRandom random = {})
{
    VaultSealing sealing;
    sealing.cost = {1, 8};
    sealing.random = std::move(random);
    return sealing;
}

void setCost(QByteArray &box, quint32 ops, quint32 memKiB)
{
    qToBigEndian<quint32>(ops, box.data() + 5);
    qToBigEndian<quint32>(memKiB, box.data() + 9);
}

} // namespace

class TestVaultBox : public QObject
{
    Q_OBJECT
private slots:
    void roundTripsAndRefusesEveryAlteration();
    void costIsBoundedBeforeAnyDerivation();
    void randomnessIsInjected();
    void realCostRoundTrips();
};

void TestVaultBox::roundTripsAndRefusesEveryAlteration()
{
    const QByteArray password = QStringLiteral("k\u00e2sa-42").toUtf8();
    for (const QByteArray &plain : {QByteArray(), QByteArray("[]"), QByteArray(1000, 'x')}) {
        const QByteArray box = sealVaultBox(plain, password, cheap());
        QCOMPARE(box.size(), plain.size() + kVaultBoxOverhead);
        VaultBoxError error = VaultBoxError::Malformed;
        QCOMPARE(openVaultBox(box, password, &error), plain);
        QCOMPARE(error, VaultBoxError::None);
    }
    const QByteArray box = sealVaultBox("[{\"id\":\"a\"}]", password, cheap());
    VaultBoxError error = VaultBoxError::None;
    QVERIFY(openVaultBox(box, "kasa-43", &error).isEmpty());
    QCOMPARE(error, VaultBoxError::WrongPassword);
    // Any bit after the magic and algorithm, header included, breaks the tag.
    for (int i = 5; i < box.size(); i += 3) {
        QByteArray bent = box;
        bent[i] = char(bent[i] ^ (i == 5 || i == 9 ? 0x01 : 0x80));
        openVaultBox(bent, password, &error);
        QVERIFY2(error == VaultBoxError::WrongPassword || error == VaultBoxError::Malformed,
                 qPrintable(QString::number(i)));
    }
    // Cheaper cost written over the stored one: the tag notices.
    QByteArray cheaper = sealVaultBox("[]", password, VaultSealing{{2, 16}, {}});
    setCost(cheaper, 1, 8);
    openVaultBox(cheaper, password, &error);
    QCOMPARE(error, VaultBoxError::WrongPassword);
    // An MRC1 box, a short box and another algorithm are not this box.
    openVaultBox(sealBox("[]", QString::fromUtf8(password), generateSalt()), password, &error);
    QCOMPARE(error, VaultBoxError::Malformed);
    openVaultBox(box.left(kVaultBoxOverhead - 1), password, &error);
    QCOMPARE(error, VaultBoxError::Malformed);
    QByteArray otherAlg = box;
    otherAlg[4] = 2;
    openVaultBox(otherAlg, password, &error);
    QCOMPARE(error, VaultBoxError::Malformed);
}

void TestVaultBox::costIsBoundedBeforeAnyDerivation()
{
    const QByteArray box = sealVaultBox("[]", "pw", cheap());
    VaultKdfCost cost;
    QVERIFY(vaultBoxCost(box, &cost));
    QCOMPARE(cost.opsLimit, 1u);
    QCOMPARE(cost.memLimitKiB, 8u);
    // A stored cost that would take minutes or gigabytes is refused unread.
    for (const auto &[ops, mem] : {std::pair<quint32, quint32>{0xFFFFFFFF, 8}, {1, 0xFFFFFFFF}, {0, 8}, {1, 7}}) {
        QByteArray bad = box;
        setCost(bad, ops, mem);
        QVERIFY(!vaultBoxCost(bad, &cost));
        VaultBoxError error = VaultBoxError::None;
        QVERIFY(openVaultBox(bad, "pw", &error).isEmpty());
        QCOMPARE(error, VaultBoxError::Malformed);
    }
    QVERIFY(sealVaultBox("[]", "pw", VaultSealing{{1, kVaultBoxMaxMemKiB + 1}, {}}).isEmpty());
}

void TestVaultBox::randomnessIsInjected()
{
    quint32 next = 0;
    auto counting = [&next] { return next++; };
    const QByteArray a = sealVaultBox("[]", "pw", cheap(counting));
    next = 0;
    const QByteArray b = sealVaultBox("[]", "pw", cheap(counting));
    QCOMPARE(a, b);
    // Salt and nonce come from the draws, little end first: 00000000 01000000 ...
    QCOMPARE(a.mid(13, 8), QByteArray::fromHex("0000000001000000"));
    QCOMPARE(a.mid(29, 4), QByteArray::fromHex("04000000"));
    // The generator itself gives a new salt and nonce every time.
    QVERIFY(sealVaultBox("[]", "pw", cheap()).mid(13, 40) != sealVaultBox("[]", "pw", cheap()).mid(13, 40));
}

void TestVaultBox::realCostRoundTrips()
{
    // The one use of the program's cost: 64 MiB and 3 passes are what it writes.
    const VaultSealing real;
    QCOMPARE(real.cost.memLimitKiB, 64u * 1024);
    QVERIFY(real.cost.opsLimit >= 3);
    const QByteArray box = sealVaultBox("[]", "pw", real);
    VaultKdfCost cost;
    QVERIFY(vaultBoxCost(box, &cost));
    QCOMPARE(cost.memLimitKiB, real.cost.memLimitKiB);
    QCOMPARE(openVaultBox(box, "pw"), QByteArray("[]"));
}

QTEST_APPLESS_MAIN(TestVaultBox)
#include "tst_vaultbox.moc"
