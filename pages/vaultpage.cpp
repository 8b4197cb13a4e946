#include "pages/vaultpage.h"

#include "desktop/autotyper.h"
#include "pages/pagedialogs.h"
#include "pages/pagetexts.h"
#include "pages/pagewidgets.h"
#include "vault/autolock.h"
#include "vault/totpmanager.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

} // namespace

VaultPage::VaultPage(TotpManager *vault, AutoTyper *typer, AutoLock *autoLock, QWidget *parent)
    : QWidget(parent), m_vault(vault), m_typer(typer), m_autoLock(autoLock), m_dialogs(PageDialogs::standard())
{
    auto *root = new QVBoxLayout(this);
    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(classedLabel(QStringLiteral("MIRELO Kasasi"), "h1", this));
    titleRow->addStretch(1);
    m_countdown = classedLabel(QStringLiteral("30"), "timer", this);
    titleRow->addWidget(m_countdown);
    root->addLayout(titleRow);
    root->addWidget(classedLabel(QStringLiteral("2FA kodlarin, master sifrenle sifreli. Cift tikla kopyala."),
                                 "pageSub", this));
    auto *hint = classedLabel(QStringLiteral("MIRELO+ Kasasi: 2FA kodlarin kasa sifresiyle sifreli. Kilitliyken "
                                             "gizli anahtarlar bellekte bile durmaz."),
                              "muted", this);
    hint->setWordWrap(true);
    root->addWidget(hint);

    // The lock form sits at the top; the space below stays empty.
    m_lockArea = new QWidget(this);
    auto *lockAreaLay = new QVBoxLayout(m_lockArea);
    lockAreaLay->setContentsMargins(0, 0, 0, 0);
    m_lockPanel = new QWidget(m_lockArea);
    m_lockPanel->setObjectName(QStringLiteral("card"));
    m_lockPanel->setAttribute(Qt::WA_StyledBackground);
    auto *lockLay = new QVBoxLayout(m_lockPanel);
    m_lockMessage = classedLabel(QString(), "h2", m_lockPanel);
    m_lockMessage->setWordWrap(true);
    lockLay->addWidget(m_lockMessage);
    auto *passRow = new QHBoxLayout;
    m_password = new QLineEdit(m_lockPanel);
    m_password->setEchoMode(QLineEdit::Password);
    m_confirm = new QLineEdit(m_lockPanel);
    m_confirm->setEchoMode(QLineEdit::Password);
    m_confirm->setPlaceholderText(QStringLiteral("Sifre tekrar"));
    m_unlockBtn = classedButton(QString(), "primaryBtn", m_lockPanel);
    passRow->addWidget(m_password, 1);
    passRow->addWidget(m_confirm, 1);
    passRow->addWidget(m_unlockBtn);
    lockLay->addLayout(passRow);
    lockAreaLay->addWidget(m_lockPanel);
    lockAreaLay->addStretch(1);
    root->addWidget(m_lockArea, 1);

    m_vaultPanel = new QWidget(this);
    auto *vaultLay = new QVBoxLayout(m_vaultPanel);
    vaultLay->setContentsMargins(0, 0, 0, 0);
    auto *addRow = new QHBoxLayout;
    m_label = new QLineEdit(m_vaultPanel);
    m_label->setPlaceholderText(QStringLiteral("Etiket: Riot Games"));
    m_secret = new QLineEdit(m_vaultPanel);
    m_secret->setPlaceholderText(QStringLiteral("Gizli anahtar (Base32) veya otpauth://..."));
    m_addBtn = classedButton(QStringLiteral("Ekle"), "primaryBtn", m_vaultPanel);
    addRow->addWidget(m_label, 1);
    addRow->addWidget(m_secret, 2);
    addRow->addWidget(m_addBtn);
    vaultLay->addLayout(addRow);
    auto *lockRow = new QHBoxLayout;
    auto *importBtn = classedButton(QStringLiteral("Iceri aktar"), "ghostBtn", m_vaultPanel);
    auto *importMenu = new QMenu(importBtn);
    importMenu->addAction(QStringLiteral("Dosyadan (Aegis, 2FAS, Bitwarden, Google, otpauth listesi)"), this,
                          &VaultPage::importFromFile);
    importMenu->addAction(QStringLiteral("Metin yapistir"), this, &VaultPage::importFromText);
    importBtn->setMenu(importMenu);
    auto *exportBtn = classedButton(QStringLiteral("Disa aktar"), "ghostBtn", m_vaultPanel);
    auto *exportMenu = new QMenu(exportBtn);
    exportMenu->addAction(QStringLiteral("Sifreli Aegis dosyasi (.json)"), this, &VaultPage::exportAegis);
    exportMenu->addAction(QStringLiteral("Sifresiz otpauth listesi (.txt)"), this, &VaultPage::exportPlainList);
    exportBtn->setMenu(exportMenu);
    auto *qrBtn = classedButton(QStringLiteral("QR'dan ekle"), "ghostBtn", m_vaultPanel);
    auto *qrMenu = new QMenu(qrBtn);
    qrMenu->addAction(QStringLiteral("Resim dosyasindan"), this, &VaultPage::importQrFile);
    qrMenu->addAction(QStringLiteral("Panodaki resimden"), this, &VaultPage::importQrClipboard);
    qrBtn->setMenu(qrMenu);
    lockRow->addWidget(qrBtn);
    lockRow->addWidget(importBtn);
    lockRow->addWidget(exportBtn);
    lockRow->addStretch(1);
    auto *lockBtn = classedButton(QStringLiteral("Kasayi Kilitle"), "ghostBtn", m_vaultPanel);
    lockRow->addWidget(lockBtn);
    vaultLay->addLayout(lockRow);
    m_list = new QListWidget(m_vaultPanel);
    m_list->setObjectName(QStringLiteral("vaultList"));
    m_list->setSpacing(8);
    vaultLay->addWidget(m_list, 1);
    root->addWidget(m_vaultPanel, 1);

    connect(m_unlockBtn, &QPushButton::clicked, this, &VaultPage::submitPassword);
    connect(m_password, &QLineEdit::returnPressed, this, &VaultPage::submitPassword);
    connect(m_confirm, &QLineEdit::returnPressed, this, &VaultPage::submitPassword);
    connect(m_addBtn, &QPushButton::clicked, this, &VaultPage::addEntry);
    connect(lockBtn, &QPushButton::clicked, this, &VaultPage::lockVault);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { copyEntry(item->data(kIdRole).toString()); });
    if (m_autoLock)
        connect(m_autoLock, &AutoLock::autoLocked, this, &VaultPage::onAutoLocked);
    connect(m_vault, &TotpManager::changed, this, &VaultPage::refreshVault);
    connect(m_vault, &TotpManager::lockChanged, this, [this] {
        // Nothing typed on the page outlives a lock, a secret half added least of all.
        if (m_vault->isLocked())
            clearFields();
        refreshVault();
    });
    connect(m_vault, &TotpManager::tick, this, &VaultPage::updateVaultCodes);
    // A refused write undoes the change; the user must see why, not guess.
    connect(m_vault, &TotpManager::saveFailed, this, &VaultPage::statusMessage);

    refreshVault();
}

void VaultPage::setDialogs(PageDialogs *dialogs)
{
    m_dialogs = dialogs ? dialogs : PageDialogs::standard();
}

void VaultPage::setPlusIcon(const QIcon &icon)
{
    m_addBtn->setIcon(icon);
}

void VaultPage::setMasked(bool masked)
{
    m_masked = masked;
    refreshVault();
}

void VaultPage::refreshVault()
{
    const bool locked = m_vault->isLocked();
    m_lockArea->setVisible(locked);
    m_vaultPanel->setVisible(!locked);

    const bool set = m_vault->isSet();
    m_lockMessage->setText(set ? QStringLiteral("Kasa kilitli. Acmak icin kasa sifreni gir.")
                               : QStringLiteral("Ilk kurulum: kasa sifreni belirle (unutursan kasa acilmaz, "
                                                "sifirlaman gerekir)."));
    m_password->setPlaceholderText(set ? QStringLiteral("Kasa sifresi") : QStringLiteral("Yeni kasa sifresi"));
    m_confirm->setVisible(!set);
    m_unlockBtn->setText(set ? QStringLiteral("Kilidi Ac") : QStringLiteral("Sifre Belirle ve Ac"));

    m_list->clear();
    m_codeLabels.clear();
    m_countdownLabels.clear();
    if (locked) {
        m_countdown->setVisible(true);
        m_countdown->setText(QStringLiteral("--"));
        return;
    }
    const QList<VaultRow> rows = m_vault->rows();
    for (const VaultRow &e : rows) {
        auto *item = new QListWidgetItem(m_list);
        item->setData(kIdRole, e.id);
        item->setSizeHint(QSize(0, 64));

        auto *card = new QWidget;
        card->setProperty("class", QStringLiteral("mailCard"));
        card->setAttribute(Qt::WA_StyledBackground);
        auto *lay = new QHBoxLayout(card);
        lay->setContentsMargins(12, 10, 12, 10);
        auto *col = new QVBoxLayout;
        const VaultRowText text = vaultRowText(e.label, e.issuer);
        col->addWidget(classedLabel(text.title, "subj", card));
        col->addWidget(classedLabel(text.subtitle, "muted", card));
        lay->addLayout(col, 1);
        const QString code = m_masked ? QStringLiteral("***") : groupedCode(e.code);
        auto *codeLabel = classedLabel(code, "codeBadgeBig", card);
        codeLabel->setProperty("totpCode", code);
        lay->addWidget(codeLabel);
        m_codeLabels.insert(e.id, codeLabel);
        auto *left = classedLabel(QString(), "muted", card);
        left->setMinimumWidth(40);
        left->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lay->addWidget(left);
        m_countdownLabels.insert(e.id, left);
        auto *del = classedButton(QStringLiteral("Sil"), "miniBtn", card);
        const QString id = e.id;
        connect(del, &QPushButton::clicked, this, [this, id] { m_vault->removeEntry(id); });
        lay->addWidget(del);
        m_list->setItemWidget(item, card);
    }
    showCountdowns(rows);
}

void VaultPage::showCountdowns(const QList<VaultRow> &rows)
{
    bool shared = true;
    for (const VaultRow &e : rows) {
        shared = shared && e.period == rows.first().period;
        if (QLabel *left = m_countdownLabels.value(e.id))
            left->setText(QString::number(e.secondsLeft) + QStringLiteral(" sn"));
    }
    m_countdown->setVisible(shared);
    m_countdown->setText(QString::number(rows.isEmpty() ? m_vault->secondsLeft() : rows.first().secondsLeft)
                         + QStringLiteral(" sn"));
}

void VaultPage::updateVaultCodes()
{
    if (m_vault->isLocked()) {
        m_countdown->setVisible(true);
        m_countdown->setText(QStringLiteral("--"));
        return;
    }
    const QList<VaultRow> rows = m_vault->rows();
    showCountdowns(rows);
    if (m_masked)
        return;
    for (const VaultRow &e : rows) {
        QLabel *label = m_codeLabels.value(e.id);
        if (!label)
            continue;
        const QString code = groupedCode(e.code);
        if (label->text() != code) {
            label->setText(code);
            label->setProperty("totpCode", code);
        }
    }
}

void VaultPage::submitPassword()
{
    const QString password = m_password->text();
    bool ok = false;
    if (m_vault->isSet()) {
        ok = m_vault->unlock(password);
        if (!ok) {
            m_dialogs->warn(this, m_vault->lastFailure() == VaultFailure::None ? QStringLiteral("Sifre yanlis.")
                                                                              : m_vault->lastFailureText());
            return;
        }
    } else {
        if (password != m_confirm->text()) {
            m_dialogs->warn(this, QStringLiteral("Sifreler ayni degil."));
            return;
        }
        ok = m_vault->setupVault(password);
        if (!ok) {
            m_dialogs->warn(this, m_vault->lastFailure() == VaultFailure::None
                                      ? QStringLiteral("En az 4 karakter olmali.")
                                      : m_vault->lastFailureText());
            return;
        }
    }
    m_password->clear();
    m_confirm->clear();
    if (m_autoLock)
        m_autoLock->restart();
    refreshVault();
}

void VaultPage::addEntry()
{
    if (m_vault->addEntry(m_label->text(), m_secret->text(), QString())) {
        m_label->clear();
        m_secret->clear();
        return;
    }
    // Says which part of the input is wrong, or that the store could not be written.
    if (m_vault->lastFailure() != VaultFailure::None)
        m_dialogs->warn(this, m_vault->lastFailureText());
}

void VaultPage::clearFields()
{
    for (QLineEdit *field : {m_label, m_secret, m_password, m_confirm})
        field->clear();
}

void VaultPage::lockVault()
{
    m_vault->lock();
    if (m_autoLock)
        m_autoLock->stop();
    refreshVault();
    emit statusMessage(QStringLiteral("Kasa kilitlendi."));
}

void VaultPage::copyEntry(const QString &id)
{
    if (m_masked) {
        emit statusMessage(QStringLiteral("Koruma aktif: kod gizli."));
        return;
    }
    const std::optional<VaultRow> row = m_vault->row(id);
    if (!row)
        return;
    if (m_typer)
        m_typer->copyToClipboard(row->code);
    emit statusMessage(QStringLiteral("TOTP kopyalandi: ") + row->code);
    if (m_autoLock)
        m_autoLock->restart();
}

void VaultPage::onAutoLocked()
{
    refreshVault();
    emit statusMessage(QStringLiteral("Kasa otomatik kilitlendi (5 dk)."));
}
