#include "servers/hostprocess.h"
#include "support/isolatedsettings.h"
#include "vault/totpmanager.h"
#include "vault/vaultexport.h"
#include "vault/vaultimport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kPassword = QStringLiteral("k\u00e2sa-\u015fifre");

QList<VaultEntry> sampleEntries()
{
    VaultEntry a;
    a.id = QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301");
    a.label = QStringLiteral("me@example.com");
    a.issuer = QStringLiteral("Git Hub");
    a.secret = QStringLiteral("JBSWY3DPEHPK3PXP");
    VaultEntry b = a;
    b.id = QStringLiteral("not a uuid");
    b.label = QStringLiteral("oyuncu");
    b.issuer = QStringLiteral("Valve");
    b.secret = QStringLiteral("GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ");
    b.algorithm = QString::fromLatin1(kSteamAlgorithm);
    VaultEntry c = a;
    c.label = QStringLiteral("ops & co");
    c.issuer = QString();
    c.algorithm = QStringLiteral("SHA512");
    c.digits = 8;
    c.period = 60;
    return {a, b, c};
}

QStringList describe(const QList<VaultEntry> &entries)
{
    QStringList out;
    for (const VaultEntry &e : entries)
        out << QStringLiteral("%1|%2|%3|%4").arg(e.label, e.issuer, e.secret, totpCode(e, 1700000000));
    return out;
}

QStringList describe(const QList<TotpImport> &imports)
{
    QStringList out;
    for (const TotpImport &i : imports) {
        VaultEntry e;
        e.label = i.label;
        e.issuer = i.issuer;
        e.secret = i.secret;
        e.algorithm = i.steam ? QString::fromLatin1(kSteamAlgorithm) : totpAlgorithmName(i.algorithm);
        e.digits = i.digits;
        e.period = i.period;
        out << QStringLiteral("%1|%2|%3|%4").arg(e.label, e.issuer, e.secret, totpCode(e, 1700000000));
    }
    return out;
}

} // namespace

class TestVaultExport : public QObject
{
    Q_OBJECT
private slots:
    void aegisExportOpensInThePeerAndHere();
    void plainListReadsBack();
    void exportNeedsTheMasterPassword();
};

void TestVaultExport::aegisExportOpensInThePeerAndHere()
{
    const QList<VaultEntry> entries = sampleEntries();
    const QByteArray file = aegisEncryptedExport(entries, kPassword, {}, AegisSlotCost{quint64(1) << 12, 8, 1});
    QVERIFY(!file.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("aegis.json"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(file);
    f.close();

    auto peerOpen = [&](const QString &password) {
        HostProcess peer;
        if (!peer.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(MIRELO_TEST_SOURCE_DIR "/tests/vault/import_peer.py"),
                         QStringLiteral("aegis-open"), hostPath(path), password})
            || !peer.waitForFinished(60000))
            return std::make_pair(-1, QByteArray());
        return std::make_pair(peer.exitCode(), peer.readAllStandardOutput());
    };
    const auto [rc, out] = peerOpen(kPassword);
    QCOMPARE(rc, 0);
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    const QJsonArray steam = QJsonDocument::fromJson(lines[1]).array();
    QCOMPARE(steam[0].toString(), QStringLiteral("oyuncu"));
    QCOMPARE(steam[2].toString(), entries[1].secret);
    QCOMPARE(steam[6].toBool(), true);
    const QJsonArray sha512 = QJsonDocument::fromJson(lines[2]).array();
    QCOMPARE(sha512[3].toString(), QStringLiteral("SHA512"));
    QCOMPARE(sha512[5].toInt(), 60);
    QCOMPARE(peerOpen(QStringLiteral("yanlis")).first, 1);

    // And back in through our own importer, with the same codes.
    const ImportResult back = parseImport(file, kPassword);
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(describe(back.entries), describe(entries));
}

void TestVaultExport::plainListReadsBack()
{
    const QList<VaultEntry> entries = sampleEntries();
    const QByteArray list = otpauthListExport(entries);
    QCOMPARE(list.count('\n'), 3);
    const ImportResult back = parseImport(list);
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(describe(back.entries), describe(entries));
}

void TestVaultExport::exportNeedsTheMasterPassword()
{
    IsolatedSettings settings;
    TotpManager vault(nullptr, kVaultTickMs, Clock(), VaultSealing{{1, 8}, {}});
    QList<VaultEntry> out;
    QVERIFY(!vault.entriesForExport(kPassword, &out));
    QVERIFY(vault.setupVault(kPassword));
    QVERIFY(vault.addEntry(QStringLiteral("a"), QStringLiteral("JBSWY3DPEHPK3PXP")));
    for (const QString &wrong : {QString(), QStringLiteral("k\u00e2sa-\u015fifr"), kPassword + QLatin1Char('x')}) {
        QVERIFY(!vault.entriesForExport(wrong, &out));
        QCOMPARE(vault.lastFailure(), VaultFailure::WrongPassword);
    }
    QVERIFY(out.isEmpty());
    QVERIFY(vault.entriesForExport(kPassword, &out));
    QCOMPARE(out.size(), 1);
    QCOMPARE(out[0].secret, QStringLiteral("JBSWY3DPEHPK3PXP"));
    vault.lock();
    QVERIFY(!vault.entriesForExport(kPassword, &out));
}

QTEST_GUILESS_MAIN(TestVaultExport)
#include "tst_vaultexport.moc"
