#include "servers/hostprocess.h"
#include "support/isolatedsettings.h"
#include "vault/totpmanager.h"
#include "vault/vaultimport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kPassword = QStringLiteral("d\u0131\u015fa-aktar-42");

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One entry as the peer lists it: account, issuer, secret, algorithm, digits, period, steam.
QString describe(const TotpImport &e)
{
    if (e.steam)
        return QStringLiteral("%1|%2|%3|steam").arg(e.label, e.issuer, e.secret);
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(e.label, e.issuer, e.secret, totpAlgorithmName(e.algorithm))
        .arg(e.digits)
        .arg(e.period);
}

// Google's export has no period: its codes are always 30-second ones.
QStringList describeExpected(const QJsonArray &expected, bool withSteam, bool withPeriod)
{
    QStringList out;
    for (const QJsonValue &v : expected) {
        const QJsonArray e = v.toArray();
        if (e[6].toBool()) {
            if (withSteam)
                out << QStringLiteral("%1|%2|%3|steam").arg(e[0].toString(), e[1].toString(), e[2].toString());
            continue;
        }
        out << QStringLiteral("%1|%2|%3|%4|%5|%6")
                   .arg(e[0].toString(), e[1].toString(), e[2].toString(), e[3].toString())
                   .arg(e[4].toInt())
                   .arg(withPeriod ? e[5].toInt() : kTotpDefaultPeriod);
    }
    return out;
}

QStringList describe(const QList<TotpImport> &entries)
{
    QStringList out;
    for (const TotpImport &e : entries)
        out << describe(e);
    return out;
}

QByteArray varint(quint64 v)
{
    QByteArray out;
    while (v >= 0x80) {
        out += char((v & 0x7f) | 0x80);
        v >>= 7;
    }
    out += char(v);
    return out;
}

} // namespace

class TestVaultImport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void readsWhatTheOtherAppsWrite_data();
    void readsWhatTheOtherAppsWrite();
    void refusesWrongPasswordTruncatedAndForeignFiles();
    void boundsHostileInput();
    void vaultSkipsDuplicatesAndAddsAllOrNothing();

private:
    QTemporaryDir m_dir;
    QJsonArray m_expected;
};

void TestVaultImport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    HostProcess peer;
    QVERIFY2(peer.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(MIRELO_TEST_SOURCE_DIR "/tests/vault/import_peer.py"), QStringLiteral("write"),
                         hostPath(m_dir.path()), kPassword}),
             qPrintable(peer.errorString()));
    QVERIFY(peer.waitForFinished(60000));
    QVERIFY2(peer.exitCode() == 0, peer.readAllStandardError().constData());
    m_expected = QJsonDocument::fromJson(readFile(m_dir.filePath(QStringLiteral("expected.json")))).array();
    QCOMPARE(m_expected.size(), 3);
}

void TestVaultImport::readsWhatTheOtherAppsWrite_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<bool>("withSteam");
    QTest::addColumn<int>("unsupported");
    QTest::newRow("otpauth list") << "list.txt" << int(ImportFormat::OtpauthList) << false << false << 0;
    QTest::newRow("google batch") << "migration.txt" << int(ImportFormat::GoogleMigration) << false << false << 1;
    QTest::newRow("aegis plain") << "aegis_plain.json" << int(ImportFormat::Aegis) << false << true << 1;
    QTest::newRow("aegis sealed") << "aegis_enc.json" << int(ImportFormat::Aegis) << true << true << 1;
    QTest::newRow("2fas plain") << "plain.2fas" << int(ImportFormat::TwoFas) << false << true << 0;
    QTest::newRow("2fas sealed") << "enc.2fas" << int(ImportFormat::TwoFas) << true << true << 0;
    QTest::newRow("bitwarden") << "bitwarden.json" << int(ImportFormat::Bitwarden) << false << true << 0;
}

void TestVaultImport::readsWhatTheOtherAppsWrite()
{
    QFETCH(QString, file);
    QFETCH(int, format);
    QFETCH(bool, encrypted);
    QFETCH(bool, withSteam);
    QFETCH(int, unsupported);
    const QByteArray data = readFile(m_dir.filePath(file));
    if (encrypted) {
        const ImportResult locked = parseImport(data);
        QVERIFY(locked.ok() && locked.needsPassword && locked.entries.isEmpty());
    }
    // As saved by a Windows editor, with a byte order mark.
    const ImportResult r = parseImport("\xEF\xBB\xBF" + data, encrypted ? kPassword : QString());
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(int(r.format), format);
    QCOMPARE(r.encrypted, encrypted);
    QCOMPARE(r.unsupported, unsupported);
    QCOMPARE(describe(r.entries), describeExpected(m_expected, withSteam, format != int(ImportFormat::GoogleMigration)));
}

void TestVaultImport::refusesWrongPasswordTruncatedAndForeignFiles()
{
    for (const char *file : {"aegis_enc.json", "enc.2fas"}) {
        const ImportResult r = parseImport(readFile(m_dir.filePath(QLatin1String(file))), QStringLiteral("yanlis"));
        QCOMPARE(r.error, QStringLiteral("Iceri aktarilamadi: sifre yanlis ya da dosya bozuk."));
        QVERIFY(r.entries.isEmpty());
    }
    // Cut short anywhere: refused as a whole, never a part of the entries. (A
    // plain list of links has nothing to tell a shorter list from a cut one.)
    for (const char *file : {"migration.txt", "aegis_plain.json", "aegis_enc.json", "plain.2fas",
                             "enc.2fas", "bitwarden.json"}) {
        const QByteArray data = readFile(m_dir.filePath(QLatin1String(file)));
        for (qsizetype cut : {data.size() / 3, data.size() * 2 / 3, data.size() - 12}) {
            const ImportResult r = parseImport(data.left(cut), kPassword);
            QVERIFY2(!r.ok() && r.entries.isEmpty(), qPrintable(QStringLiteral("%1 at %2").arg(file).arg(cut)));
            QVERIFY(r.error.startsWith(QStringLiteral("Iceri aktarilamadi: ")));
        }
    }
    const QList<QByteArray> foreign{QByteArray("\x89PNG\r\n\x1a\n", 8), QByteArray("{\"foo\":1}"),
                                    QByteArray("JBSWY3DPEHPK3PXP"), QByteArray("[1,2]"), QByteArray("  \n ")};
    for (const QByteArray &data : foreign) {
        const ImportResult r = parseImport(data);
        QVERIFY2(!r.ok() && r.entries.isEmpty(), data.constData());
    }
    QVERIFY(parseImport("{\"encrypted\":true,\"items\":[]}").error.contains(QStringLiteral("sifresiz")));
    // One QR code of a batch of two is not the export.
    const QByteArray second = readFile(m_dir.filePath(QStringLiteral("migration.txt"))).split('\n').value(1);
    QCOMPARE(parseImport(second).error, QStringLiteral("Iceri aktarilamadi: Google Authenticator disa aktarimi 2 QR "
                                                       "koddan olusuyor, 1 tanesi var: hepsini birlikte ekle."));
}

void TestVaultImport::boundsHostileInput()
{
    QByteArray big(50 * 1024 * 1024, 'A');
    QVERIFY(parseImport(big).error.contains(QStringLiteral("cok buyuk")));
    big.clear();
    const QByteArray deep = "{\"items\":" + QByteArray(10000, '[') + QByteArray(10000, ']') + "}";
    QVERIFY(!parseImport(deep).ok());
    // 100,000 entries in one payload: refused past the limit, with nothing kept.
    QByteArray param;
    param += char(0x0a) + varint(10) + QByteArray("0123456789");
    param += char(0x12) + varint(1) + QByteArray("a");
    param += char(0x30) + varint(2);
    QByteArray payload;
    payload.reserve(100000 * (param.size() + 2));
    for (int i = 0; i < 100000; ++i)
        payload += char(0x0a) + varint(quint64(param.size())) + param;
    payload += char(0x10) + varint(1);
    const ImportResult r = parseImport("otpauth-migration://offline?data=" + payload.toBase64(QByteArray::Base64UrlEncoding));
    QCOMPARE(r.error, QStringLiteral("Iceri aktarilamadi: satir 1: cok fazla kayit (en fazla %1).").arg(kImportMaxEntries));
    QVERIFY(r.entries.isEmpty());
    // A length running past the end is damage, not an allocation.
    QByteArray lying;
    lying += char(0x0a) + varint(quint64(1) << 40);
    lying += char(0x10) + varint(1);
    QVERIFY(!parseImport("otpauth-migration://offline?data=" + lying.toBase64()).ok());
}

void TestVaultImport::vaultSkipsDuplicatesAndAddsAllOrNothing()
{
    IsolatedSettings settings;
    TotpManager vault(nullptr, kVaultTickMs, Clock(), VaultSealing{{1, 8}, {}});
    const ImportResult r = parseImport(readFile(m_dir.filePath(QStringLiteral("plain.2fas"))));
    QVERIFY(r.ok());
    VaultImportCount count;
    QVERIFY(!vault.importEntries(r.entries, &count));
    QVERIFY(vault.setupVault(kPassword));
    QVERIFY(vault.addEntry(QStringLiteral("me@example.com"), QStringLiteral("JBSWY3DPEHPK3PXP"), QStringLiteral("GitHub")));
    // Same file twice in one batch: the copies count as duplicates too.
    const QList<TotpImport> twice = r.entries + r.entries;
    QCOMPARE(vault.previewImport(twice).added, 2);
    QCOMPARE(vault.previewImport(twice).duplicates, 4);
    QSignalSpy changed(&vault, &TotpManager::changed);
    QVERIFY(vault.importEntries(twice, &count));
    QCOMPARE(count.added, 2);
    QCOMPARE(count.duplicates, 4);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(vault.rows().size(), 3);
    QCOMPARE(vault.rows()[1].code.size(), kSteamCodeLength);
    QVERIFY(vault.importEntries(r.entries, &count));
    QCOMPARE(count.added, 0);
    QCOMPARE(changed.count(), 1);

    TotpManager reopened(nullptr, kVaultTickMs, Clock(), VaultSealing{{1, 8}, {}});
    QVERIFY(reopened.unlock(kPassword));
    QCOMPARE(reopened.rows().size(), 3);
}

QTEST_GUILESS_MAIN(TestVaultImport)
#include "tst_vaultimport.moc"
