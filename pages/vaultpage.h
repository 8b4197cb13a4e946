#pragma once

#include <QHash>
#include <QList>
#include <QIcon>
#include <QString>
#include <QWidget>

class AutoLock;
class AutoTyper;
class PageDialogs;
class QLabel;
class QLineEdit;
class QListWidget;
struct VaultRow;
class QListWidgetItem;
class QPushButton;
class TotpManager;

// Page 1: the TOTP vault. A set-up or unlock form while locked; the entries
// with their live codes, the add row and the lock button while open.
class VaultPage : public QWidget
{
    Q_OBJECT
public:
    // `autoLock` is the window's timer that locks the vault after five quiet
    // minutes; the page restarts it on unlock, set-up and every copy.
    VaultPage(TotpManager *vault, AutoTyper *typer, AutoLock *autoLock, QWidget *parent = nullptr);

    void setDialogs(PageDialogs *dialogs);
    // The plus icon of the primary button for the current theme.
    void setPlusIcon(const QIcon &icon);
    // Masked mode: cards show "***", codes are not refreshed or copied.
    void setMasked(bool masked);
    bool isMasked() const { return m_masked; }

    QListWidget *entryList() const { return m_list; }
    // The code label of the card of entry `id`, or null.
    QLabel *codeLabel(const QString &id) const { return m_codeLabels.value(id); }
    // The entry's own countdown: entries of 30 s and 60 s steps run apart.
    QLabel *countdownLabel(const QString &id) const { return m_countdownLabels.value(id); }

public slots:
    void refreshVault();
    void updateVaultCodes();
    // The unlock or set-up button.
    void submitPassword();
    void addEntry();
    void lockVault();
    // Empties every field of the page; locking does it, and so does signing out.
    void clearFields();
    // Double-click on a card.
    void copyEntry(const QString &id);
    // Imports: a file, pasted text, or bytes already read (preview, then add).
    void importFromFile();
    void importFromText();
    void importData(const QByteArray &data);
    // "QR'dan ekle": a picture file or the clipboard's image; its 2FA links
    // go through the import above.
    void importQrFile();
    void importQrClipboard();
    // Exports; both ask for the master password again.
    void exportAegis();
    void exportPlainList();

signals:
    void statusMessage(const QString &msg);

private:
    void onAutoLocked();
    void importQrResult(const struct QrDecodeResult &result);
    // The entries for an export once the master password is given again.
    bool exportEntries(QList<struct VaultEntry> *entries, QString *given = nullptr);
    void writeExport(const QString &title, const QString &suggested, const QString &filter, const QByteArray &data,
                     int count);

    TotpManager *m_vault;
    AutoTyper *m_typer;
    AutoLock *m_autoLock;
    PageDialogs *m_dialogs;
    bool m_masked = false;
    QLabel *m_countdown = nullptr;
    QWidget *m_lockArea = nullptr;
    QWidget *m_lockPanel = nullptr;
    QLabel *m_lockMessage = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_confirm = nullptr;
    QPushButton *m_unlockBtn = nullptr;
    QWidget *m_vaultPanel = nullptr;
    QLineEdit *m_label = nullptr;
    QLineEdit *m_secret = nullptr;
    QPushButton *m_addBtn = nullptr;
    QListWidget *m_list = nullptr;
    QHash<QString, QLabel *> m_codeLabels;
    QHash<QString, QLabel *> m_countdownLabels;
    // The header countdown speaks for all entries only while they share a step.
    void showCountdowns(const QList<VaultRow> &rows);
};
