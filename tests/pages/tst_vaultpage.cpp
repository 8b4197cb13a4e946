#include "desktop/autotyper.h"
#include "pages/pagetexts.h"
#include "pages/vaultpage.h"
#include "recordingdialogs.h"
#include "servers/hostprocess.h"
#include "support/recordingplatform.h"
#include "support/isolatedsettings.h"
#include "vault/autolock.h"
#include "vault/totp.h"
#include "vault/sealedbox.h"
#include "vault/totpmanager.h"
#include "vault/vaultexport.h"
#include "vault/vaultimport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
// RFC 6238's 20-byte SHA-1 secret "12345678901234567890" in Base32.
const QString kSecret = QStringLiteral("GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ");
// The start of a 30-second step.
constexpr qint64 kStepStart = 1700000010;
} // namespace

class TestVaultPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstSetupAndMismatch();
    void setupUnlockAndWrongPassword();
    void cardsShowGroupedLiveCodes();
    void eachEntryCountsDownItsOwnStep();
    void realBoxesSpeakTurkish();
    void removeAndLock();
    void autoLockAndRestartOnCopy();
    void maskedCards();
    void refusedWriteAndDamagedBoxHaveTheirOwnMessages();
    void importGoesThroughPasswordAndPreview();
    void exportAsksWarningAndMasterPassword();
    void qrPicturesFeedTheImport();

private:
    QLineEdit *edit(const QString &placeholderStart) const;
    QPushButton *button(const QString &text) const;
    void setUp(const QString &password);

    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_owner;
    TotpManager *m_vault = nullptr;
    RecordingPlatform m_platform;
    qint64 m_now = kStepStart + 7;
    AutoTyper *m_typer = nullptr;
    AutoLock *m_autoLock = nullptr;
    VaultPage *m_page = nullptr;
};

void TestVaultPage::init()
{
    m_settings = std::make_unique<IsolatedSettings>();
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_owner = std::make_unique<QWidget>();
    m_now = kStepStart + 7;
    // The smallest Argon2id cost: the page is under test, not the key derivation.
    m_vault = new TotpManager(m_owner.get(), kVaultTickMs, Clock::fromSeconds([this] { return m_now; }),
                              VaultSealing{{1, 8}, {}});
    m_typer = new AutoTyper(&m_platform, m_owner.get());
    m_autoLock = new AutoLock(m_vault, m_owner.get(), 1000);
    m_page = new VaultPage(m_vault, m_typer, m_autoLock, m_owner.get());
    m_page->setDialogs(m_dialogs.get());
    m_owner->show();
}

void TestVaultPage::cleanup()
{
    m_owner.reset();
    m_dialogs.reset();
    m_settings.reset();
}

QLineEdit *TestVaultPage::edit(const QString &placeholderStart) const
{
    for (QLineEdit *e : m_page->findChildren<QLineEdit *>()) {
        if (e->placeholderText().startsWith(placeholderStart))
            return e;
    }
    return nullptr;
}

QPushButton *TestVaultPage::button(const QString &text) const
{
    for (QPushButton *b : m_page->findChildren<QPushButton *>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

void TestVaultPage::setUp(const QString &password)
{
    edit(QStringLiteral("Yeni kasa sifresi"))->setText(password);
    edit(QStringLiteral("Sifre tekrar"))->setText(password);
    button(QStringLiteral("Sifre Belirle ve Ac"))->click();
}

void TestVaultPage::firstSetupAndMismatch()
{
    QLineEdit *confirm = edit(QStringLiteral("Sifre tekrar"));
    QVERIFY(confirm);
    QVERIFY(confirm->isVisible());
    QVERIFY(button(QStringLiteral("Sifre Belirle ve Ac")));
    QVERIFY(!m_page->entryList()->isVisible());

    edit(QStringLiteral("Yeni kasa sifresi"))->setText(QStringLiteral("abcd"));
    confirm->setText(QStringLiteral("abce"));
    button(QStringLiteral("Sifre Belirle ve Ac"))->click();
    QCOMPARE(m_dialogs->warnings, QStringList{QStringLiteral("Sifreler ayni degil.")});
    QVERIFY(!m_vault->isSet());

    setUp(QStringLiteral("abc"));
    QCOMPARE(m_dialogs->warnings.last(), QStringLiteral("En az 4 karakter olmali."));
    QVERIFY(!m_vault->isSet());
}

void TestVaultPage::setupUnlockAndWrongPassword()
{
    setUp(QStringLiteral("kasa-1234"));
    QVERIFY(m_dialogs->warnings.isEmpty());
    QVERIFY(m_vault->isSet());
    QVERIFY(!m_vault->isLocked());
    QVERIFY(m_page->entryList()->isVisible());
    QVERIFY(m_autoLock->isActive());

    button(QStringLiteral("Kasayi Kilitle"))->click();
    QVERIFY(m_vault->isLocked());
    QLineEdit *pass = edit(QStringLiteral("Kasa sifresi"));
    QVERIFY(pass && pass->isVisible());
    QVERIFY(!edit(QStringLiteral("Sifre tekrar"))->isVisible());
    pass->setText(QStringLiteral("yanlis"));
    button(QStringLiteral("Kilidi Ac"))->click();
    QCOMPARE(m_dialogs->warnings, QStringList{QStringLiteral("Sifre yanlis.")});
    QVERIFY(m_vault->isLocked());
    QCOMPARE(pass->text(), QStringLiteral("yanlis")); // the form keeps it for correction

    pass->setText(QStringLiteral("kasa-1234"));
    button(QStringLiteral("Kilidi Ac"))->click();
    QVERIFY(!m_vault->isLocked());
    QVERIFY(pass->text().isEmpty());
}

void TestVaultPage::cardsShowGroupedLiveCodes()
{
    setUp(QStringLiteral("kasa-1234"));
    edit(QStringLiteral("Etiket"))->setText(QStringLiteral("Riot"));
    edit(QStringLiteral("Gizli anahtar"))->setText(QStringLiteral("not base32 !!"));
    button(QStringLiteral("Ekle"))->click();
    QCOMPARE(m_dialogs->warnings,
             QStringList{QStringLiteral("Anahtar Base32 degil: sadece A-Z ve 2-7 olur (0, 1, 8, 9 olmaz).")});
    QCOMPARE(edit(QStringLiteral("Etiket"))->text(), QStringLiteral("Riot"));

    edit(QStringLiteral("Gizli anahtar"))->setText(kSecret);
    button(QStringLiteral("Ekle"))->click();
    QVERIFY(edit(QStringLiteral("Etiket"))->text().isEmpty());
    QVERIFY(m_vault->addEntry(QStringLiteral("Eight"),
                              QStringLiteral("otpauth://totp/X:y?secret=") + kSecret + QStringLiteral("&digits=8")));
    const QList<VaultRow> entries = m_vault->rows();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(m_page->entryList()->count(), 2);

    const QRegularExpression six(QStringLiteral("^\\d{3} \\d{3}$"));
    const QRegularExpression eight(QStringLiteral("^\\d{4} \\d{4}$"));
    QLabel *first = m_page->codeLabel(entries[0].id);
    QLabel *second = m_page->codeLabel(entries[1].id);
    QVERIFY(first && second);
    QVERIFY2(six.match(first->text()).hasMatch(), qPrintable(first->text()));
    QVERIFY2(eight.match(second->text()).hasMatch(), qPrintable(second->text()));
    QCOMPARE(first->property("totpCode").toString(), first->text());
    QCOMPARE(QString(first->text()).remove(QLatin1Char(' ')), entries[0].code);

    // The tick rewrites the code in place without rebuilding the list.
    QListWidgetItem *itemBefore = m_page->entryList()->item(0);
    first->setText(QStringLiteral("stale"));
    emit m_vault->tick();
    QCOMPARE(m_page->entryList()->item(0), itemBefore);
    QVERIFY(six.match(first->text()).hasMatch());

    // Codes and the countdown come from the vault's clock.
    QLabel *countdown = nullptr;
    for (QLabel *l : m_page->findChildren<QLabel *>())
        if (l->property("class").toString() == QStringLiteral("timer"))
            countdown = l;
    QVERIFY(countdown);
    QCOMPARE(countdown->text(), QStringLiteral("23 sn"));
    m_now = kStepStart + 30;
    emit m_vault->tick();
    QCOMPARE(countdown->text(), QStringLiteral("30 sn"));
    QCOMPARE(first->text(), groupedCode(totpCode(kSecret, m_now)));
    QCOMPARE(second->text(), groupedCode(totpCode(kSecret, m_now, TotpAlgorithm::Sha1, 8)));
}

void TestVaultPage::eachEntryCountsDownItsOwnStep()
{
    setUp(QStringLiteral("kasa-1234"));
    QVERIFY(m_vault->addEntry(QStringLiteral("Otuz"), kSecret));
    QVERIFY(m_vault->addEntry(QStringLiteral("Altmis"),
                              QStringLiteral("otpauth://totp/X:y?secret=") + kSecret + QStringLiteral("&period=60")));
    const QList<VaultRow> rows = m_vault->rows();
    QCOMPARE(rows.size(), 2);
    for (qint64 t : {kStepStart + 7, kStepStart + 31, kStepStart + 59}) {
        m_now = t;
        emit m_vault->tick();
        QLabel *thirty = m_page->countdownLabel(rows[0].id);
        QLabel *sixty = m_page->countdownLabel(rows[1].id);
        QVERIFY(thirty && sixty);
        QCOMPARE(thirty->text(), QString::number(secondsRemaining(t, 30)) + QStringLiteral(" sn"));
        QCOMPARE(sixty->text(), QString::number(secondsRemaining(t, 60)) + QStringLiteral(" sn"));
        QCOMPARE(m_page->codeLabel(rows[1].id)->text(), groupedCode(totpCode(kSecret, t, TotpAlgorithm::Sha1, 6, 60)));
    }
    // With the steps apart, no single header countdown claims to speak for both.
    QLabel *header = nullptr;
    for (QLabel *l : m_page->findChildren<QLabel *>())
        if (l->property("class").toString() == QStringLiteral("timer"))
            header = l;
    QVERIFY(header);
    QVERIFY(!header->isVisibleTo(m_page));
    m_vault->removeEntry(rows[1].id);
    QVERIFY(header->isVisibleTo(m_page));
}

void TestVaultPage::removeAndLock()
{
    setUp(QStringLiteral("kasa-1234"));
    QVERIFY(m_vault->addEntry(QStringLiteral("A"), kSecret));
    QVERIFY(m_vault->addEntry(QStringLiteral("B"), kSecret));
    const QString keep = m_vault->rows().at(1).id;
    QPushButton *del = nullptr;
    QWidget *card = m_page->entryList()->itemWidget(m_page->entryList()->item(0));
    for (QPushButton *b : card->findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("Sil"))
            del = b;
    QVERIFY(del);
    del->click();
    QVERIFY(m_dialogs->questions.isEmpty());
    QCOMPARE(m_vault->rows().size(), 1);
    QCOMPARE(m_vault->rows().at(0).id, keep);
    QCOMPARE(m_page->entryList()->count(), 1);

    // A secret typed but not added goes with the lock, as does every other field.
    const QList<QLineEdit *> fields = m_page->findChildren<QLineEdit *>();
    for (QLineEdit *field : fields)
        field->setText(QStringLiteral("JBSWY3DPEHPK3PXP"));
    QSignalSpy status(m_page, &VaultPage::statusMessage);
    button(QStringLiteral("Kasayi Kilitle"))->click();
    QVERIFY(m_vault->isLocked());
    for (QLineEdit *field : fields)
        QVERIFY2(field->text().isEmpty(), qPrintable(field->placeholderText()));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("Kasa kilitlendi."));
    QCOMPARE(m_page->entryList()->count(), 0);
    QVERIFY(!m_page->codeLabel(keep));
}

void TestVaultPage::autoLockAndRestartOnCopy()
{
    // The window's five minutes shrink to one second here.
    setUp(QStringLiteral("kasa-1234"));
    QVERIFY(m_vault->addEntry(QStringLiteral("A"), kSecret));
    QSignalSpy status(m_page, &VaultPage::statusMessage);

    QTest::qWait(650);
    QVERIFY(!m_vault->isLocked());
    m_page->copyEntry(m_vault->rows().at(0).id);
    const QString code = m_vault->rows().at(0).code;
    QCOMPARE(QGuiApplication::clipboard()->text(), code);
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("TOTP kopyalandi: ") + code);

    // Past the first deadline: the copy restarted the countdown.
    QTest::qWait(600);
    QVERIFY(!m_vault->isLocked());

    const QList<QLineEdit *> fields = m_page->findChildren<QLineEdit *>();
    for (QLineEdit *field : fields)
        field->setText(kSecret);
    QTRY_VERIFY_WITH_TIMEOUT(m_vault->isLocked(), 3000);
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("Kasa otomatik kilitlendi (5 dk)."));
    for (QLineEdit *field : fields)
        QVERIFY(field->text().isEmpty());
    QVERIFY(edit(QStringLiteral("Kasa sifresi"))->isVisible());
    QCOMPARE(m_page->entryList()->count(), 0);

    // Copying while locked does nothing.
    const int before = status.size();
    m_page->copyEntry(QStringLiteral("whatever"));
    QCOMPARE(status.size(), before);
}

void TestVaultPage::maskedCards()
{
    setUp(QStringLiteral("kasa-1234"));
    QVERIFY(m_vault->addEntry(QStringLiteral("A"), kSecret));
    const QString id = m_vault->rows().at(0).id;
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));

    m_page->setMasked(true);
    QCOMPARE(m_page->codeLabel(id)->text(), QStringLiteral("***"));
    emit m_vault->tick();
    QCOMPARE(m_page->codeLabel(id)->text(), QStringLiteral("***"));

    QSignalSpy status(m_page, &VaultPage::statusMessage);
    QListWidgetItem *item = m_page->entryList()->item(0);
    emit m_page->entryList()->itemDoubleClicked(item);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("Koruma aktif: kod gizli."));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
}

// The real boxes behind the recording fake: their buttons carry Turkish names
// and the answer still follows the button pressed.
void TestVaultPage::realBoxesSpeakTurkish()
{
    for (bool yes : {true, false}) {
        QStringList seen;
        QTimer::singleShot(0, this, [&seen, yes] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *b : box->buttons())
                seen << b->text();
            for (QAbstractButton *b : box->buttons())
                if (b->text() == (yes ? QStringLiteral("Evet") : QStringLiteral("Hayir")))
                    b->click();
        });
        QCOMPARE(PageDialogs::standard()->ask(nullptr, QStringLiteral("Emin misin?")), yes);
        seen.sort();
        QCOMPARE(seen, (QStringList{QStringLiteral("Evet"), QStringLiteral("Hayir")}));
    }
    QStringList seen;
    QTimer::singleShot(0, this, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        for (QAbstractButton *b : box->buttons())
            seen << b->text();
        box->accept();
    });
    PageDialogs::standard()->warn(nullptr, QStringLiteral("Uyari"));
    QCOMPARE(seen, QStringList{QStringLiteral("Tamam")});
}

void TestVaultPage::importGoesThroughPasswordAndPreview()
{
    setUp(QStringLiteral("kasa-1234"));
    QVERIFY(m_vault->addEntry(QStringLiteral("me"), kSecret, QStringLiteral("GitHub")));
    VaultEntry known;
    known.label = QStringLiteral("me");
    known.issuer = QStringLiteral("GitHub");
    known.secret = kSecret;
    VaultEntry fresh = known;
    fresh.label = QStringLiteral("oyuncu");
    fresh.issuer = QStringLiteral("Steam");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("aegis.json"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(aegisEncryptedExport({known, fresh}, QStringLiteral("dosya-pw"), {}, AegisSlotCost{quint64(1) << 12, 8, 1}));
    f.close();

    m_dialogs->files = {path};
    m_dialogs->texts = {QStringLiteral("yanlis")};
    m_page->importFromFile();
    QCOMPARE(m_dialogs->warnings.value(0), QStringLiteral("Iceri aktarilamadi: sifre yanlis ya da dosya bozuk."));
    // Declined at the preview: nothing is added.
    m_dialogs->answer = false;
    m_dialogs->files = {path};
    m_dialogs->texts = {QStringLiteral("dosya-pw")};
    m_page->importFromFile();
    QCOMPARE(m_dialogs->questions.size(), 1);
    QVERIFY(m_dialogs->questions[0].startsWith(QStringLiteral("Iceri aktar (Aegis, sifreli): 1 kayit eklenecek.")));
    QVERIFY(m_dialogs->questions[0].contains(QStringLiteral("- Steam (oyuncu) [Steam]")));
    QVERIFY(m_dialogs->questions[0].contains(QStringLiteral("1 kopya atlanacak")));
    QCOMPARE(m_vault->rows().size(), 1);
    m_dialogs->answer = true;
    m_dialogs->files = {path};
    m_dialogs->texts = {QStringLiteral("dosya-pw")};
    m_page->importFromFile();
    QCOMPARE(m_dialogs->infos.value(0), QStringLiteral("Iceri aktarildi: 1 kayit eklendi, 1 kopya atlandi."));
    QCOMPARE(m_vault->rows().size(), 2);
    QCOMPARE(m_page->entryList()->count(), 2);

    m_dialogs->texts = {QStringLiteral("merhaba dunya")};
    m_page->importFromText();
    QVERIFY(m_dialogs->warnings.last().startsWith(QStringLiteral("Iceri aktarilamadi: bicim taninmadi")));
    QCOMPARE(m_vault->rows().size(), 2);
}

void TestVaultPage::exportAsksWarningAndMasterPassword()
{
    setUp(QStringLiteral("kasa-1234"));
    QVERIFY(m_vault->addEntry(QStringLiteral("me"), kSecret, QStringLiteral("GitHub")));
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("list.txt"));
    m_dialogs->answer = false;
    m_page->exportPlainList();
    QVERIFY(m_dialogs->questions.value(0).startsWith(QStringLiteral("UYARI:")));
    QVERIFY(m_dialogs->prompts.isEmpty());
    m_dialogs->answer = true;
    m_dialogs->texts = {QStringLiteral("kasa-123")};
    m_dialogs->files = {plain};
    m_page->exportPlainList();
    QCOMPARE(m_dialogs->warnings.value(0), QStringLiteral("Sifre yanlis."));
    QVERIFY(!QFile::exists(plain));
    m_dialogs->texts = {QStringLiteral("kasa-1234")};
    m_dialogs->files = {plain};
    m_page->exportPlainList();
    QFile list(plain);
    QVERIFY(list.open(QIODevice::ReadOnly));
    QCOMPARE(parseImport(list.readAll()).entries.value(0).secret, kSecret);
#ifdef Q_OS_UNIX
    QCOMPARE(list.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
#endif

    const QString aegis = dir.filePath(QStringLiteral("aegis.json"));
    m_dialogs->texts = {QStringLiteral("kasa-1234")};
    m_dialogs->files = {aegis};
    m_page->exportAegis();
    QFile sealed(aegis);
    QVERIFY(sealed.open(QIODevice::ReadOnly));
    const QByteArray data = sealed.readAll();
    QVERIFY(!data.contains(kSecret.toLatin1()));
    const ImportResult back = parseImport(data, QStringLiteral("kasa-1234"));
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(back.entries.value(0).secret, kSecret);
}

void TestVaultPage::qrPicturesFeedTheImport()
{
    setUp(QStringLiteral("kasa-1234"));
    QTemporaryDir dir;
    auto draw = [&dir](const QString &name, const QString &text) {
        const QString path = dir.filePath(name);
        // The host's qrencode, on the Windows build too.
        HostProcess::run(QStringLiteral("/usr/bin/qrencode"), {QStringLiteral("-o"), hostPath(path), text});
        return path;
    };
    m_dialogs->files = {draw(QStringLiteral("a.png"),
                             QStringLiteral("otpauth://totp/ACME:me?secret=JBSWY3DPEHPK3PXP&issuer=ACME"))};
    m_page->importQrFile();
    QVERIFY2(m_dialogs->warnings.isEmpty(), qPrintable(m_dialogs->warnings.join(QLatin1Char('\n'))));
    QVERIFY(m_dialogs->questions.value(0).contains(QStringLiteral("- ACME (me)")));
    QCOMPARE(m_vault->rows().size(), 1);
    QCOMPARE(m_vault->rows()[0].label, QStringLiteral("me"));

    QImage web;
    QVERIFY(web.load(draw(QStringLiteral("b.png"), QStringLiteral("https://example.com/2fa"))));
    QGuiApplication::clipboard()->setImage(web);
    m_page->importQrClipboard();
    QCOMPARE(m_dialogs->warnings.value(0), QStringLiteral("QR'da 2FA linki yok: bulunan \"https://example.com/2fa\""));
    QGuiApplication::clipboard()->clear();
    m_page->importQrClipboard();
    QCOMPARE(m_dialogs->warnings.value(1), QStringLiteral("QR okunamadi: panoda resim yok."));
    QCOMPARE(m_vault->rows().size(), 1);
}

QTEST_MAIN(TestVaultPage)
#include "tst_vaultpage.moc"

void TestVaultPage::refusedWriteAndDamagedBoxHaveTheirOwnMessages()
{
    setUp(QStringLiteral("kasa-1234"));
    QSignalSpy status(m_page, &VaultPage::statusMessage);
#ifdef Q_OS_WIN
    QVERIFY(m_settings->refuseRegistryWrites());
#else
    // A folder where the settings file belongs: every write is refused, also for root.
    const QString file = m_settings->settingsFile();
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir().mkpath(file));
#endif
    edit(QStringLiteral("Etiket"))->setText(QStringLiteral("Riot"));
    edit(QStringLiteral("Gizli anahtar"))->setText(kSecret);
    button(QStringLiteral("Ekle"))->click();
    QCOMPARE(m_dialogs->warnings.size(), 1);
    QVERIFY2(m_dialogs->warnings.at(0).startsWith(QStringLiteral("Kasa kaydedilemedi: ")),
             qPrintable(m_dialogs->warnings.at(0)));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.at(0).at(0).toString(), m_dialogs->warnings.at(0));
    QVERIFY(m_vault->rows().isEmpty());
#ifdef Q_OS_WIN
    m_settings->allowRegistryWrites();
#else
    QVERIFY(QDir(file).removeRecursively());
#endif

    // A box that opens to something that is no vault is not a wrong password.
    QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
        .setValue(QStringLiteral("vault/data"),
                  QString::fromLatin1(sealBox("[]\x80junk", QStringLiteral("kasa-1234"), generateSalt()).toBase64()));
    button(QStringLiteral("Kasayi Kilitle"))->click();
    edit(QStringLiteral("Kasa sifresi"))->setText(QStringLiteral("kasa-1234"));
    button(QStringLiteral("Kilidi Ac"))->click();
    QCOMPARE(m_dialogs->warnings.last(), QStringLiteral("Kasa acilamadi: icerik bozuk."));
    QVERIFY(m_vault->isLocked());
}
