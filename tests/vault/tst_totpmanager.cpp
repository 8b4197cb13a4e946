#include "support/isolatedsettings.h"
#include "vault/autolock.h"
#include "vault/sealedbox.h"
#include "vault/securememory_platform.h"
#include "vault/totpmanager.h"
#include "vault/vaultbox.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const QString kPassword = QStringLiteral("k\u00e2se-42");
const QString kSecret = QStringLiteral("JBSWY3DPEHPK3PXP");

QSettings store()
{
    return QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
}

// The smallest Argon2id cost: these tests are about the vault, not the KDF.
VaultSealing cheap()
{
    VaultSealing sealing;
    sealing.cost = {1, 8};
    return sealing;
}

QByteArray storedPlaintext(const QString &password)
{
    QSettings s(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
    return openVaultBox(QByteArray::fromBase64(s.value("vault/data").toString().toLatin1()), password.toUtf8());
}

// Records the manager's signals in the order they arrive.
struct SignalLog
{
    explicit SignalLog(TotpManager *m)
    {
        QObject::connect(m, &TotpManager::changed, [this] { names << QStringLiteral("changed"); });
        QObject::connect(m, &TotpManager::lockChanged, [this] { names << QStringLiteral("lockChanged"); });
    }
    QStringList names;
};

#ifdef Q_OS_UNIX
// Caps the size of files this process writes for as long as it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
#endif

} // namespace

class TestTotpManager : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void freshStartIsUnconfiguredAndLocked();
    void legacyKeyRemovedOnlyWhileUnconfigured();
    void setupStoresSaltAndEmptyBox();
    void entriesSurviveRestartInOrder();
    void wrongPasswordOrDamagedDataChangesNothing();
    void oldVaultsLoadAndSaveUnchanged();
    void steamKeysKeepSteamCodes();
    void lockWipesPasswordAndEntries();
    void addAndRemoveRules();
    void everySaveSealsUnderAFreshSalt();
    void boxOpeningToNoVaultRefusesUnlock();
    void failedSaveKeepsStoredEntries();
    void damagedSaltKeyDoesNotBreakNextSave();
    void secureBytesLockAndWipe();
    void tickUsesInjectedInterval();
    void autoLockLocksOpenVaultOnly();

private:
    std::unique_ptr<IsolatedSettings> m_settings;
};

void TestTotpManager::freshStartIsUnconfiguredAndLocked()
{
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(!m.isSet());
    QVERIFY(m.isLocked());
    QVERIFY(m.rows().isEmpty());
    QVERIFY(!m.unlock(QStringLiteral("anything")));
    QVERIFY(!m.unlock(QString()));
    QVERIFY(!m.addEntry(QStringLiteral("x"), kSecret));
    QVERIFY(!store().contains("vault/data"));
}

void TestTotpManager::legacyKeyRemovedOnlyWhileUnconfigured()
{
    store().setValue("totp", QStringLiteral("[{\"secret\":\"JBSWY3DPEHPK3PXP\"}]"));
    {
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        QVERIFY(!store().contains("totp"));
        QVERIFY(m.setupVault(kPassword));
        QCOMPARE(storedPlaintext(kPassword), QByteArray("[]"));
    }
    store().setValue("totp", QStringLiteral("left alone"));
    TotpManager again(nullptr, kVaultTickMs, Clock(), cheap());
    QCOMPARE(store().value("totp").toString(), QStringLiteral("left alone"));
}

void TestTotpManager::setupStoresSaltAndEmptyBox()
{
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    SignalLog log(&m);
    QVERIFY(!m.setupVault(QStringLiteral("abc")));
    QVERIFY(!m.isSet());
    QVERIFY(log.names.isEmpty());
    QVERIFY(!store().contains("vault/set"));

    QVERIFY(m.setupVault(QStringLiteral("abcd")));
    QCOMPARE(log.names, QStringList({"lockChanged", "changed"}));
    QVERIFY(m.isSet());
    QVERIFY(!m.isLocked());
    QVERIFY(store().value("vault/set").toBool());
    const QByteArray salt = QByteArray::fromBase64(store().value("vault/salt").toString().toLatin1());
    QCOMPARE(salt.size(), 16);
    const QByteArray box = QByteArray::fromBase64(store().value("vault/data").toString().toLatin1());
    QVERIFY(isVaultBox(box));
    QCOMPARE(box.mid(13, 16), salt);
    QCOMPARE(openVaultBox(box, "abcd"), QByteArray("[]"));
}

void TestTotpManager::entriesSurviveRestartInOrder()
{
    {
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        QVERIFY(m.setupVault(kPassword));
        QVERIFY(m.addEntry(QStringLiteral("Riot"), QStringLiteral("jbsw y3dp ehpk 3pxp")));
        QVERIFY(m.addEntry(QString(),
                           QStringLiteral("otpauth://totp/ACME:me?secret=GEZDGNBVGY3TQOJQ&issuer=ACME"
                                          "&algorithm=SHA256&digits=8&period=60")));
        QVERIFY(m.addEntry(QStringLiteral("Riot"), kSecret));
    }
    qint64 now = 120;
    TotpManager m(nullptr, kVaultTickMs, Clock::fromSeconds([&now] { return now; }), cheap());
    QVERIFY(m.isSet());
    QVERIFY(m.isLocked());
    QVERIFY(m.rows().isEmpty());
    QVERIFY(m.unlock(kPassword));
    QList<VaultRow> e = m.rows();
    QCOMPARE(e.size(), 3);
    QCOMPARE(e[0].label, QStringLiteral("Riot"));
    QCOMPARE(e[0].code, totpCode(kSecret, 120));
    QCOMPARE(e[0].secondsLeft, 30);
    QCOMPARE(e[1].label, QStringLiteral("ACME:me"));
    QCOMPARE(e[1].issuer, QStringLiteral("ACME"));
    // SHA-256, eight digits, a 60-second step: all three came back.
    QCOMPARE(e[1].code, totpCode(QStringLiteral("GEZDGNBVGY3TQOJQ"), 120, TotpAlgorithm::Sha256, 8, 60));
    QCOMPARE(e[1].secondsLeft, 60);
    QCOMPARE(e[0].id.size(), 36);
    QVERIFY(e[0].id != e[2].id);

    // Rows follow the injected clock; one row answers like the list.
    now = 159;
    e = m.rows();
    QCOMPARE(e[0].secondsLeft, 21);
    QCOMPARE(e[1].secondsLeft, 21);
    QCOMPARE(e[0].code, totpCode(kSecret, 159));
    QCOMPARE(m.secondsLeft(), 21);
    now = 170;
    QCOMPARE(m.row(e[1].id)->secondsLeft, 10);
    QCOMPARE(m.row(e[1].id)->code, e[1].code);  // same 60-second step
    now = 180;
    QCOMPARE(m.row(e[0].id)->code, totpCode(kSecret, 180));
    QVERIFY(!m.row(QStringLiteral("no such id")));
    m.lock();
    QVERIFY(!m.row(e[0].id));
}

void TestTotpManager::wrongPasswordOrDamagedDataChangesNothing()
{
    {
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        QVERIFY(m.setupVault(kPassword));
        QVERIFY(m.addEntry(QStringLiteral("a"), kSecret));
    }
    const QString good = store().value("vault/data").toString();
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    SignalLog log(&m);
    QVERIFY(!m.unlock(QStringLiteral("wrong")));
    QVERIFY(m.isLocked());
    QVERIFY(m.rows().isEmpty());
    QVERIFY(log.names.isEmpty());

    // Damaged text must not read as an empty vault that the next save
    // would write over the real one.
    const QStringList damaged{QStringLiteral("!!!!"), good.left(good.size() - 8),
                              QStringLiteral("TVJDMQ==")};
    for (const QString &text : damaged) {
        store().setValue("vault/data", text);
        QVERIFY2(!m.unlock(kPassword), qPrintable(text));
        QVERIFY(m.isLocked());
        QCOMPARE(store().value("vault/data").toString(), text);
    }
    QVERIFY(log.names.isEmpty());
    store().setValue("vault/data", good);
    QVERIFY(m.unlock(kPassword));
    QCOMPARE(m.rows().size(), 1);
    QCOMPARE(log.names, QStringList({"lockChanged", "changed"}));
}

void TestTotpManager::oldVaultsLoadAndSaveUnchanged()
{
    // A vault as written before code parameters existed, with two elements
    // that have no id or no secret.
    const QByteArray old =
        "[{\"id\":\"11111111-2222-3333-4444-555555555555\",\"label\":\"Old\",\"issuer\":\"\",\"secret\":\"JBSWY3DPEHPK3PXP\"},"
        "{\"id\":\"\",\"label\":\"NoId\",\"issuer\":\"\",\"secret\":\"JBSWY3DPEHPK3PXP\"},"
        "{\"id\":\"x\",\"label\":\"NoSecret\",\"issuer\":\"\"},"
        "{\"id\":\"66666666-2222-3333-4444-555555555555\",\"label\":\"Two\",\"issuer\":\"Iss\",\"secret\":\"GEZDGNBVGY3TQOJQ\"}]";
    const QByteArray salt = generateSalt();
    store().setValue("vault/set", true);
    store().setValue("vault/salt", QString::fromLatin1(salt.toBase64()));
    store().setValue("vault/data", QString::fromLatin1(sealBox(old, kPassword, salt).toBase64()));

    TotpManager m(nullptr, kVaultTickMs, Clock::fromSeconds([] { return qint64(59); }), cheap());
    QVERIFY(m.unlock(kPassword));
    QCOMPARE(m.rows().size(), 2);
    QCOMPARE(m.rows()[1].label, QStringLiteral("Two"));
    // Defaults for the missing parameters: SHA-1, six digits, 30 seconds.
    QCOMPARE(m.rows()[0].code, totpCode(kSecret, 59));
    QCOMPARE(m.rows()[0].secondsLeft, 1);

    // Opening an MRC1 box seals it again at once, as MRV2 with the vault's cost.
    const QByteArray resealed = QByteArray::fromBase64(store().value("vault/data").toString().toLatin1());
    VaultKdfCost cost;
    QVERIFY(vaultBoxCost(resealed, &cost));
    QCOMPARE(cost.opsLimit, cheap().cost.opsLimit);
    QVERIFY(openBox(resealed, kPassword).isEmpty());
    TotpManager again(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(again.unlock(kPassword));
    QCOMPARE(again.rows().size(), 2);
    QVERIFY(!again.unlock(QStringLiteral("wrong")));
    QCOMPARE(again.lastFailure(), VaultFailure::WrongPassword);

    m.removeEntry(QStringLiteral("no such id"));
    const QByteArray expected =
        "[{\"id\":\"11111111-2222-3333-4444-555555555555\",\"issuer\":\"\",\"label\":\"Old\",\"secret\":\"JBSWY3DPEHPK3PXP\"},"
        "{\"id\":\"66666666-2222-3333-4444-555555555555\",\"issuer\":\"Iss\",\"label\":\"Two\",\"secret\":\"GEZDGNBVGY3TQOJQ\"}]";
    QCOMPARE(storedPlaintext(kPassword), expected);
    // The save draws a new salt; the box carries it, and "vault/salt" follows.
    const QByteArray saved = QByteArray::fromBase64(store().value("vault/data").toString().toLatin1());
    QVERIFY(saved.mid(13, 16) != salt);
    QCOMPARE(store().value("vault/salt").toString(), QString::fromLatin1(saved.mid(13, 16).toBase64()));

    // Anything but an array is an empty vault.
    QVERIFY(vaultEntriesFromJson("{\"id\":\"a\",\"secret\":\"B\"}").isEmpty());
    QVERIFY(vaultEntriesFromJson("[1,\"x\",null]").isEmpty());
    // Unreadable parameters refuse to give a code rather than a wrong one.
    const QList<VaultEntry> odd =
        vaultEntriesFromJson("[{\"id\":\"a\",\"secret\":\"JBSWY3DPEHPK3PXP\",\"digits\":\"8\"}]");
    QCOMPARE(odd.size(), 1);
    QCOMPARE(totpCode(odd[0], 59), QStringLiteral("------"));
}

void TestTotpManager::steamKeysKeepSteamCodes()
{
    const Clock clock = Clock::fromSeconds([] { return qint64(1700000000); });
    {
        TotpManager m(nullptr, kVaultTickMs, clock, cheap());
        QVERIFY(m.setupVault(kPassword));
        QVERIFY(m.addEntry(QStringLiteral("oyun"), QStringLiteral("steam://") + kSecret, QStringLiteral("Valve")));
    }
    TotpManager m(nullptr, kVaultTickMs, clock, cheap());
    QVERIFY(m.unlock(kPassword));
    QCOMPARE(m.rows().size(), 1);
    QCOMPARE(m.rows()[0].code, steamGuardCode(kSecret, 1700000000));
    QCOMPARE(m.rows()[0].code.size(), kSteamCodeLength);
}

void TestTotpManager::lockWipesPasswordAndEntries()
{
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(m.setupVault(kPassword));
    QVERIFY(m.addEntry(QStringLiteral("a"), kSecret));
    // Root or a normal memlock limit lets a few bytes be locked.
    QVERIFY(m.isKeyPageLocked());
    SignalLog log(&m);
    m.lock();
    QVERIFY(m.isLocked());
    QVERIFY(m.rows().isEmpty());
    QVERIFY(!m.isKeyPageLocked());
    QCOMPARE(log.names, QStringList({"lockChanged", "changed"}));
    m.lock();
    QCOMPARE(log.names.size(), 2);
    // Locked: add and remove are refused and nothing is written.
    const QString data = store().value("vault/data").toString();
    QVERIFY(!m.addEntry(QStringLiteral("b"), kSecret));
    m.removeEntry(QStringLiteral("x"));
    QCOMPARE(log.names.size(), 2);
    QCOMPARE(store().value("vault/data").toString(), data);

    TotpManager unset(nullptr, kVaultTickMs, Clock(), cheap());
    QSignalSpy spy(&unset, &TotpManager::changed);
    unset.lock();
    QCOMPARE(spy.count(), 0);
}

void TestTotpManager::addAndRemoveRules()
{
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(m.setupVault(kPassword));
    SignalLog log(&m);
    QVERIFY(!m.addEntry(QStringLiteral("x"), QStringLiteral("ABC")));
    QVERIFY(!m.addEntry(QStringLiteral("x"), QStringLiteral("otpauth://hotp/x?secret=JBSWY3DPEHPK3PXP")));
    QVERIFY(log.names.isEmpty());
    QVERIFY(m.addEntry(QStringLiteral("twin"), kSecret));
    QVERIFY(m.addEntry(QStringLiteral("twin"), kSecret));
    QCOMPARE(log.names, QStringList({"changed", "changed"}));
    const QString first = m.rows()[0].id;
    const QString second = m.rows()[1].id;
    m.removeEntry(QStringLiteral("unknown"));
    QCOMPARE(log.names.size(), 3);
    QCOMPARE(m.rows().size(), 2);
    m.removeEntry(first);
    QCOMPARE(m.rows().size(), 1);
    QCOMPARE(m.rows()[0].id, second);
    QCOMPARE(vaultEntriesFromJson(storedPlaintext(kPassword)).size(), 1);
}

void TestTotpManager::everySaveSealsUnderAFreshSalt()
{
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(m.setupVault(kPassword));
    QSet<QByteArray> salts;
    QSet<QByteArray> nonces;
    QList<QByteArray> boxes;
    for (const QString &label : {QStringLiteral("a"), QStringLiteral("b")}) {
        QVERIFY(m.addEntry(label, kSecret));
        const QByteArray box = QByteArray::fromBase64(store().value("vault/data").toString().toLatin1());
        QCOMPARE(QByteArray::fromBase64(store().value("vault/salt").toString().toLatin1()), box.mid(13, 16));
        salts.insert(box.mid(13, 16));
        nonces.insert(box.mid(29, 24));
        boxes << box;
    }
    m.removeEntry(m.rows().at(0).id);
    const QByteArray last = QByteArray::fromBase64(store().value("vault/data").toString().toLatin1());
    salts.insert(last.mid(13, 16));
    nonces.insert(last.mid(29, 24));
    QCOMPARE(salts.size(), 3);
    QCOMPARE(nonces.size(), 3);
    // Two copies of the store do not share a keystream: the XOR of the
    // two ciphertexts is not the XOR of the two plaintexts.
    const QByteArray p0 = openVaultBox(boxes[0], kPassword.toUtf8());
    const QByteArray p1 = openVaultBox(boxes[1], kPassword.toUtf8());
    const qsizetype n = qMin(p0.size(), p1.size());
    QVERIFY(n > 0);
    int sameXor = 0;
    for (qsizetype i = 0; i < n; ++i)
        sameXor += (boxes[0][kVaultBoxHeaderSize + i] ^ boxes[1][kVaultBoxHeaderSize + i]) == (p0[i] ^ p1[i]);
    QVERIFY(sameXor < n / 2);

    TotpManager reopened(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(reopened.unlock(kPassword));
    QCOMPARE(reopened.rows().size(), 1);
    QCOMPARE(reopened.rows()[0].label, QStringLiteral("b"));
}

void TestTotpManager::boxOpeningToNoVaultRefusesUnlock()
{
    {
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        QVERIFY(m.setupVault(kPassword));
        QVERIFY(m.addEntry(QStringLiteral("kept"), kSecret));
    }
    const QByteArray real = storedPlaintext(kPassword);
    // A box lengthened without the key opens to the old plaintext, SHA-256
    // padding and whatever was appended; other boxes open to other shapes.
    const QList<QByteArray> plains{real + QByteArray("\x80\0\0\0\x01\x58", 6) + "junk",
                                   QByteArray("not json"), QByteArray("{\"id\":\"a\",\"secret\":\"B\"}"),
                                   QByteArray("[1,\"x\"]"), QByteArray("[[]]")};
    for (const QByteArray &plain : plains) {
        const QString box = QString::fromLatin1(sealBox(plain, kPassword, generateSalt()).toBase64());
        store().setValue("vault/data", box);
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        SignalLog log(&m);
        QVERIFY2(!m.unlock(kPassword), plain.constData());
        QCOMPARE(m.lastFailure(), VaultFailure::DamagedContent);
        QCOMPARE(m.lastFailureText(), QStringLiteral("Kasa acilamadi: icerik bozuk."));
        QVERIFY(m.isLocked());
        QVERIFY(log.names.isEmpty());
        // Locked, so nothing can be saved over the damaged box.
        QVERIFY(!m.addEntry(QStringLiteral("x"), kSecret));
        m.removeEntry(QStringLiteral("x"));
        QCOMPARE(store().value("vault/data").toString(), box);
    }
    // A wrong password stays a wrong password.
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(!m.unlock(QStringLiteral("other")));
    QCOMPARE(m.lastFailure(), VaultFailure::WrongPassword);
}

void TestTotpManager::failedSaveKeepsStoredEntries()
{
#ifdef Q_OS_UNIX
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(m.setupVault(kPassword));
    QVERIFY(m.addEntry(QStringLiteral("kept"), kSecret));
    const QString file = m_settings->settingsFile();
    QFile before(file);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray stored = before.readAll();
    before.close();

    {
        // Like a full disk: no file may grow past a few bytes.
        FileSizeLimit limit(64);
        QSignalSpy failed(&m, &TotpManager::saveFailed);
        QVERIFY(!m.addEntry(QStringLiteral("lost"), QStringLiteral("GEZDGNBVGY3TQOJQ")));
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.at(0).at(0).toString().startsWith(QStringLiteral("Kasa kaydedilemedi: ")));
        QCOMPARE(m.lastFailure(), VaultFailure::SaveFailed);
        QCOMPARE(m.rows().size(), 1);
        m.removeEntry(m.rows()[0].id);
        QCOMPARE(failed.count(), 2);
        QCOMPARE(m.rows().size(), 1);
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), stored);
    }

    // Once the store is writable again the vault holds exactly what it showed.
    QVERIFY(m.addEntry(QStringLiteral("later"), QStringLiteral("GEZDGNBVGY3TQOJQ")));
    TotpManager reopened(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(reopened.unlock(kPassword));
    QCOMPARE(reopened.rows().size(), 2);
    QCOMPARE(reopened.rows()[0].label, QStringLiteral("kept"));
    QCOMPARE(reopened.rows()[1].label, QStringLiteral("later"));
#else
    QSKIP("needs a file size limit");
#endif
}

void TestTotpManager::damagedSaltKeyDoesNotBreakNextSave()
{
    {
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        QVERIFY(m.setupVault(kPassword));
        QVERIFY(m.addEntry(QStringLiteral("a"), kSecret));
    }
    store().setValue("vault/salt", QStringLiteral("AAAA"));
    {
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        QVERIFY(m.unlock(kPassword));
        QVERIFY(m.addEntry(QStringLiteral("b"), kSecret));
    }
    {
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        QVERIFY(m.unlock(kPassword));
        QCOMPARE(m.rows().size(), 2);
        QCOMPARE(QByteArray::fromBase64(store().value("vault/salt").toString().toLatin1()).size(), 16);
    }

    // Configured but with neither salt nor data: it opens empty, and what is
    // added then must still open after a restart.
    store().remove("vault/salt");
    store().remove("vault/data");
    {
        TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
        QVERIFY(m.unlock(kPassword));
        QVERIFY(m.addEntry(QStringLiteral("c"), kSecret));
    }
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    QVERIFY(m.unlock(kPassword));
    QCOMPARE(m.rows().size(), 1);
}

void TestTotpManager::secureBytesLockAndWipe()
{
    QByteArray secret("hunter22");
    SecureBytes bytes;
    bytes.assign(std::move(secret));
    QVERIFY(secret.isEmpty());
    QCOMPARE(bytes.view(), QByteArrayView("hunter22"));
    QVERIFY(bytes.isPageLocked());
    QByteArray other("second");
    bytes.assign(std::move(other));
    QCOMPARE(bytes.view(), QByteArrayView("second"));
    QVERIFY(bytes.isPageLocked());
    bytes.wipe();
    QVERIFY(bytes.isEmpty());
    QVERIFY(!bytes.isPageLocked());
    bytes.assign(QByteArray());
    QVERIFY(!bytes.isPageLocked());

    char buffer[16];
    memset(buffer, 0x5a, sizeof buffer);
    secureZero(buffer, 12);
    QCOMPARE(QByteArray(buffer, 16), QByteArray(12, '\0') + QByteArray(4, 0x5a));
}

void TestTotpManager::tickUsesInjectedInterval()
{
    TotpManager m(nullptr, 10, Clock(), cheap());
    QSignalSpy spy(&m, &TotpManager::tick);
    QVERIFY(spy.wait(2000));
    QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 3, 2000);
}

void TestTotpManager::autoLockLocksOpenVaultOnly()
{
    TotpManager m(nullptr, kVaultTickMs, Clock(), cheap());
    AutoLock autoLock(&m, nullptr, 40);
    QCOMPARE(AutoLock(&m).interval(), 300000);
    QSignalSpy locked(&autoLock, &AutoLock::autoLocked);

    autoLock.restart();
    QVERIFY(!autoLock.isActive()); // nothing to lock yet
    QVERIFY(m.setupVault(kPassword));
    autoLock.restart();
    QVERIFY(autoLock.isActive());
    QVERIFY(locked.wait(2000));
    QVERIFY(m.isLocked());
    QCOMPARE(locked.count(), 1);

    // A manual lock stops the countdown; nothing fires afterwards.
    QVERIFY(m.unlock(kPassword));
    autoLock.restart();
    m.lock();
    QVERIFY(!autoLock.isActive());
    QVERIFY(m.unlock(kPassword));
    QTest::qWait(120);
    QVERIFY(!m.isLocked());
    QCOMPARE(locked.count(), 1);
}

QTEST_GUILESS_MAIN(TestTotpManager)
#include "tst_totpmanager.moc"
