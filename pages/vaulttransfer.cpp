// The vault page's imports and exports: files and pasted text in through a
// preview, the vault out for the master password only.

#include "pages/pagedialogs.h"
#include "pages/vaultpage.h"
#include "qr/qrdecoder.h"
#include "vault/totpmanager.h"
#include "vault/vaultexport.h"
#include "vault/vaultimport.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr int kPreviewLines = 15;
const QString kImportTitle = QStringLiteral("Iceri aktar");

QString previewText(const ImportResult &r, const VaultImportCount &count, const QList<TotpImport> &fresh)
{
    QString text = QStringLiteral("Iceri aktar (%1%2): %3 kayit eklenecek.\n")
                       .arg(importFormatName(r.format), r.encrypted ? QStringLiteral(", sifreli") : QString())
                       .arg(count.added);
    for (int i = 0; i < fresh.size() && i < kPreviewLines; ++i) {
        const TotpImport &e = fresh[i];
        text += QStringLiteral("\n- ") + (e.issuer.isEmpty() ? e.label : e.issuer + QStringLiteral(" (") + e.label + QLatin1Char(')'));
        if (e.steam)
            text += QStringLiteral(" [Steam]");
    }
    if (fresh.size() > kPreviewLines)
        text += QStringLiteral("\n... ve %1 kayit daha").arg(fresh.size() - kPreviewLines);
    if (count.duplicates > 0)
        text += QStringLiteral("\n\n%1 kopya atlanacak (ayni servis, hesap ve anahtar zaten var).").arg(count.duplicates);
    if (r.unsupported > 0)
        text += QStringLiteral("\n%1 desteklenmeyen kayit (sayac tabanli vb.) atlanacak.").arg(r.unsupported);
    return text + QStringLiteral("\n\nEklensin mi?");
}

} // namespace

void VaultPage::importFromFile()
{
    const QString path = m_dialogs->openFileName(
        this, QStringLiteral("Iceri aktarilacak dosya"),
        QStringLiteral("Disa aktarimlar (*.json *.2fas *.txt);;Tum dosyalar (*)"));
    if (path.isEmpty())
        return;
    // Read no more than the importers take, whatever the file's size.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_dialogs->warn(this, QStringLiteral("Iceri aktarilamadi: dosya okunamadi (%1).").arg(file.errorString()));
        return;
    }
    importData(file.read(kImportMaxBytes + 1));
}

void VaultPage::importFromText()
{
    const auto text = m_dialogs->askText(this,
                                         QStringLiteral("Disa aktarilan metni yapistir (otpauth:// linkleri, "
                                                        "otpauth-migration:// veya JSON):"),
                                         PageDialogs::TextKind::Block);
    if (text && !text->trimmed().isEmpty())
        importData(text->toUtf8());
}

void VaultPage::importData(const QByteArray &data)
{
    if (m_vault->isLocked())
        return;
    ImportResult r = parseImport(data);
    if (r.ok() && r.needsPassword) {
        const auto password = m_dialogs->askText(
            this, QStringLiteral("Dosya sifreli (%1): disa aktarirken verdigin sifreyi gir:").arg(importFormatName(r.format)),
            PageDialogs::TextKind::Password);
        if (!password)
            return;
        r = parseImport(data, *password);
    }
    if (!r.ok()) {
        m_dialogs->warn(this, r.error);
        return;
    }
    QList<TotpImport> fresh;
    const VaultImportCount preview = m_vault->previewImport(r.entries, &fresh);
    if (preview.added == 0) {
        m_dialogs->inform(this, kImportTitle,
                          QStringLiteral("Eklenecek yeni kayit yok: %1 kopya atlandi.").arg(preview.duplicates));
        return;
    }
    if (!m_dialogs->ask(this, previewText(r, preview, fresh)))
        return;
    VaultImportCount done;
    if (!m_vault->importEntries(r.entries, &done)) {
        const QString why = m_vault->lastFailureText();
        m_dialogs->warn(this, why.isEmpty() ? QStringLiteral("Iceri aktarilamadi: kasa kilitli.") : why);
        return;
    }
    const QString summary = QStringLiteral("Iceri aktarildi: %1 kayit eklendi, %2 kopya atlandi.")
                                .arg(done.added)
                                .arg(done.duplicates);
    m_dialogs->inform(this, kImportTitle, summary);
    emit statusMessage(summary);
}

void VaultPage::importQrFile()
{
    const QString path = m_dialogs->openFileName(this, QStringLiteral("QR kodlu resim"),
                                                 QStringLiteral("Resimler (*.png *.jpg *.jpeg *.bmp *.gif);;Tum dosyalar (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_dialogs->warn(this, QStringLiteral("QR okunamadi: dosya acilamadi (%1).").arg(file.errorString()));
        return;
    }
    // A picture file over the import limit is no screenshot of a QR code.
    if (file.size() > kImportMaxBytes * 5) {
        m_dialogs->warn(this, QStringLiteral("QR okunamadi: dosya cok buyuk."));
        return;
    }
    importQrResult(decodeQrImageData(file.readAll()));
}

void VaultPage::importQrClipboard()
{
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        m_dialogs->warn(this, QStringLiteral("QR okunamadi: panoda resim yok."));
        return;
    }
    importQrResult(decodeQrImage(image));
}

void VaultPage::importQrResult(const QrDecodeResult &result)
{
    if (!result.error.isEmpty()) {
        m_dialogs->warn(this, QStringLiteral("QR okunamadi: ") + result.error);
        return;
    }
    if (result.payloads.isEmpty()) {
        m_dialogs->warn(this, QStringLiteral("QR okunamadi: resimde QR kod bulunamadi."));
        return;
    }
    QStringList links;
    QStringList others;
    for (const QString &payload : result.payloads) {
        const QString t = payload.trimmed();
        if (t.startsWith(QLatin1String("otpauth://"), Qt::CaseInsensitive)
            || t.startsWith(QLatin1String("otpauth-migration://"), Qt::CaseInsensitive))
            links << t;
        else
            others << t;
    }
    if (links.isEmpty()) {
        // Say what it is, so a wrong code (a web address, a Wi-Fi code) is recognised.
        QString found = others.first();
        if (found.size() > 80)
            found = found.left(77) + QStringLiteral("...");
        m_dialogs->warn(this, QStringLiteral("QR'da 2FA linki yok: bulunan \"%1\"").arg(found));
        return;
    }
    importData(links.join(QLatin1Char('\n')).toUtf8());
}

bool VaultPage::exportEntries(QList<VaultEntry> *entries, QString *given)
{
    if (m_vault->isLocked())
        return false;
    const auto password = m_dialogs->askText(this, QStringLiteral("Disa aktarmak icin kasa sifreni tekrar gir:"),
                                             PageDialogs::TextKind::Password);
    if (!password)
        return false;
    if (!m_vault->entriesForExport(*password, entries)) {
        m_dialogs->warn(this, QStringLiteral("Sifre yanlis."));
        return false;
    }
    if (given)
        *given = *password;
    return true;
}

void VaultPage::writeExport(const QString &title, const QString &suggested, const QString &filter,
                            const QByteArray &data, int count)
{
    const QString path = m_dialogs->saveFileName(this, title, suggested, filter);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    // Owner-only from the first byte: the file holds the keys.
    const bool ok = file.open(QIODevice::WriteOnly)
                    && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
                    && file.write(data) == data.size() && file.commit();
    if (!ok) {
        m_dialogs->warn(this, QStringLiteral("Disa aktarilamadi: %1").arg(file.errorString()));
        return;
    }
    emit statusMessage(QStringLiteral("Disa aktarildi: %1 kayit, %2").arg(count).arg(QFileInfo(path).fileName()));
}

void VaultPage::exportAegis()
{
    QList<VaultEntry> entries;
    QString password;
    if (!exportEntries(&entries, &password))
        return;
    // Sealed under the master password just given: Aegis, Ente and 2FAS ask for it on import.
    const QByteArray data = aegisEncryptedExport(entries, password);
    password.fill(QChar(0));
    if (data.isEmpty()) {
        m_dialogs->warn(this, QStringLiteral("Disa aktarilamadi: sifreleme basarisiz."));
        return;
    }
    writeExport(QStringLiteral("Sifreli Aegis dosyasi (sifresi kasa sifren)"), QStringLiteral("mirelo-aegis.json"),
                QStringLiteral("Aegis (*.json)"), data, int(entries.size()));
}

void VaultPage::exportPlainList()
{
    if (!m_dialogs->ask(this, QStringLiteral("UYARI: sifresiz listede tum 2FA anahtarlarin acik yazilir. Dosyayi "
                                             "okuyan herkes kodlarini uretebilir; isin bitince sil. Devam edilsin mi?")))
        return;
    QList<VaultEntry> entries;
    if (!exportEntries(&entries))
        return;
    writeExport(QStringLiteral("Sifresiz otpauth listesi"), QStringLiteral("mirelo-otpauth.txt"),
                QStringLiteral("Metin (*.txt)"), otpauthListExport(entries), int(entries.size()));
}
