#include "pages/codeusesection.h"

#include "core/settings.h"
#include "mail/mailstore.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

QWidget *afterUseRow(QWidget *parent, QComboBox **combo)
{
    auto *row = new QWidget(parent);
    auto *lay = new QHBoxLayout(row);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(new QLabel(QStringLiteral("Kod kullanildiktan sonra"), row));
    auto *box = new QComboBox(row);
    box->setObjectName(QStringLiteral("afterUseBox"));
    box->addItem(QStringLiteral("Dokunma"), int(AfterUse::Leave));
    box->addItem(QStringLiteral("Okundu isaretle"), int(AfterUse::MarkSeen));
    box->addItem(QStringLiteral("Cop kutusuna tasi"), int(AfterUse::MoveToTrash));
    box->setToolTip(QStringLiteral("Yazilan ya da elle kopyalanan guvenilir kodun postasi sunucuda okundu "
                                   "isaretlenir ya da cop kutusuna tasinir (10 sn icinde geri alinabilir)."));
    lay->addWidget(box, 1);
    *combo = box;
    return row;
}

void addAfterUseMenu(QMenu *menu, MailStore *store, const QString &address)
{
    EmailAccount acc;
    for (const EmailAccount &a : store->accounts())
        if (sameAccount(a.address, address))
            acc = a;
    if (acc.address.isEmpty())
        return;
    QMenu *sub = menu->addMenu(QStringLiteral("Kod kullanildiktan sonra"));
    auto *group = new QActionGroup(sub);
    const std::pair<AfterUse, const char *> choices[] = {
        {AfterUse::Leave, "Dokunma"}, {AfterUse::MarkSeen, "Okundu isaretle"}, {AfterUse::MoveToTrash, "Cop kutusuna tasi"}};
    for (const auto &[use, text] : choices) {
        QAction *action = sub->addAction(QString::fromLatin1(text));
        action->setCheckable(true);
        action->setChecked(acc.afterUse == use);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, store, [store, address, use = use] {
            for (EmailAccount a : store->accounts()) {
                if (sameAccount(a.address, address) && a.afterUse != use) {
                    a.afterUse = use;
                    store->addOrUpdateAccount(a);
                }
            }
        });
    }
}

CodeUseSection::CodeUseSection(MailStore *store, QWidget *parent) : QWidget(parent), m_store(store)
{
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    auto *autoUsed = new QCheckBox(QStringLiteral("Otomatik kopyalanan da kullanilmis sayilsin"), this);
    autoUsed->setObjectName(QStringLiteral("autoCopyUsedBox"));
    autoUsed->setChecked(Settings::autoCopyCountsUsed());
    connect(autoUsed, &QCheckBox::toggled, this, [](bool on) { Settings::setAutoCopyCountsUsed(on); });
    auto *staleRow = new QHBoxLayout;
    staleRow->addWidget(new QLabel(QStringLiteral("Kisayol bundan eski kodu yazmaz (dk):"), this));
    auto *stale = new QSpinBox(this);
    stale->setObjectName(QStringLiteral("staleMinutesBox"));
    stale->setRange(1, 1440);
    stale->setValue(Settings::staleMinutes());
    connect(stale, &QSpinBox::valueChanged, this, [](int v) { Settings::setStaleMinutes(v); });
    staleRow->addWidget(stale);
    staleRow->addStretch(1);
    lay->addWidget(autoUsed);
    lay->addLayout(staleRow);

    lay->addWidget(new QLabel(QStringLiteral("Kodlari yok sayilan gondericiler:"), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("silencedList"));
    m_list->setMaximumHeight(90);
    lay->addWidget(m_list);
    auto *editRow = new QHBoxLayout;
    m_field = new QLineEdit(this);
    m_field->setPlaceholderText(QStringLiteral("adres (a@b.com) ya da alan adi (b.com)"));
    auto *add = new QPushButton(QStringLiteral("Ekle"), this);
    auto *remove = new QPushButton(QStringLiteral("Kaldir"), this);
    editRow->addWidget(m_field, 1);
    editRow->addWidget(add);
    editRow->addWidget(remove);
    lay->addLayout(editRow);

    connect(add, &QPushButton::clicked, this, &CodeUseSection::addFromField);
    connect(m_field, &QLineEdit::returnPressed, this, &CodeUseSection::addFromField);
    connect(remove, &QPushButton::clicked, this, &CodeUseSection::removeSelected);
    connect(m_store, &MailStore::silencedChanged, this, &CodeUseSection::refreshSilenced);
    refreshSilenced();
}

void CodeUseSection::refreshSilenced()
{
    m_list->clear();
    for (const SilencedSender &e : m_store->silencedSenders().entries()) {
        auto *item = new QListWidgetItem(e.domain ? QStringLiteral("alan adi: ") + e.value : e.value, m_list);
        item->setData(Qt::UserRole, e.value);
        item->setData(Qt::UserRole + 1, e.domain);
    }
}

void CodeUseSection::addFromField()
{
    const QString text = m_field->text().trimmed();
    if (text.isEmpty())
        return;
    SilencedSenders list = m_store->silencedSenders();
    if (!list.add(silencedSender(text, !text.contains(QLatin1Char('@'))))) {
        emit statusMessage(QStringLiteral("Gonderici eklenemedi: gecersiz ya da zaten listede (") + text + ')');
        return;
    }
    m_store->setSilencedSenders(list);
    m_field->clear();
    emit statusMessage(QStringLiteral("Gonderici yok sayiliyor: ") + text);
}

void CodeUseSection::removeSelected()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    SilencedSenders list = m_store->silencedSenders();
    const SilencedSender e{item->data(Qt::UserRole).toString(), item->data(Qt::UserRole + 1).toBool()};
    if (list.remove(e))
        m_store->setSilencedSenders(list);
}
