#include "pages/categorydialog.h"
#include "desktop/plaintext.h"

#include "desktop/capturewidget.h"
#include "mail/categories.h"
#include "mail/mailstore.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

QStringList parseCategoryFilters(const QString &text)
{
    QStringList out;
    for (const QString &part : text.split(',', Qt::SkipEmptyParts)) {
        const QString t = part.trimmed();
        if (!t.isEmpty())
            out << t;
    }
    return out;
}

CategoryDialog::CategoryDialog(MailStore *store, QWidget *parent) : QDialog(parent), m_store(store)
{
    setWindowTitle("Kategoriler");
    setModal(true);
    setMinimumSize(420, 340);
    resize(560, 440); // room for a rule's domains without cutting them
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(22, 20, 22, 20);
    lay->setSpacing(10);

    auto *head = new QLabel("Kategori Ekle", this);
    head->setProperty("class", "h1");
    auto *explain = new QLabel("Mail gelince otomatik ayrilir. Ornek: Bankalar — garantibbva.com.tr, ziraatbank.com.tr",
                               this);
    explain->setProperty("class", "muted");
    explain->setWordWrap(true);
    m_name = new QLineEdit(this);
    m_name->setPlaceholderText("Kategori adi: Ornegin Bankalar");
    m_filters = new QLineEdit(this);
    m_filters->setPlaceholderText("Filtreler (virgulle): garantibbva.com.tr, ziraatbank.com.tr");
    auto *add = new QPushButton("Ekle", this);
    add->setProperty("class", "primaryBtn");
    add->setCursor(Qt::PointingHandCursor);
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(m_filters, 1);
    row->addWidget(add);

    m_list = new QListWidget(this);
    m_list->setObjectName("accList");
    m_list->setSpacing(4);
    auto *close = new QPushButton("Kapat", this);
    close->setProperty("class", "ghostBtn");
    close->setCursor(Qt::PointingHandCursor);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);

    lay->addWidget(head);
    lay->addWidget(explain);
    lay->addWidget(m_name);
    lay->addLayout(row);
    lay->addWidget(m_list, 1);
    lay->addLayout(bottom);

    connect(add, &QPushButton::clicked, this, &CategoryDialog::addCategory);
    connect(m_filters, &QLineEdit::returnPressed, this, &CategoryDialog::addCategory);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_store, &MailStore::categoriesChanged, this, &CategoryDialog::rebuildList);
    applyCaptureProtection(this);
    rebuildList();
}

void CategoryDialog::addCategory()
{
    const QString name = m_name->text().trimmed();
    if (name.isEmpty())
        return;
    const QStringList filters = parseCategoryFilters(m_filters->text());
    if (filters.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("MIRELO+"),
                        QStringLiteral("En az bir filtre yaz (ornek: garantibbva.com.tr)."), QMessageBox::Ok, this);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("Tamam"));
        box.exec();
        return;
    }
    Category c;
    c.name = name;
    c.icon = QStringLiteral("game");
    c.filters = filters;
    m_name->clear();
    m_filters->clear();
    m_store->addOrUpdateCategory(c);
    rebuildList();
}

void CategoryDialog::rebuildList()
{
    // The view releases row widgets with deleteLater, so this is safe inside
    // one of their own "Sil" clicks.
    m_list->clear();
    for (const Category &c : m_store->categories()) {
        auto *item = new QListWidgetItem(m_list);
        item->setSizeHint(QSize(0, 36));
        auto *w = new QWidget;
        auto *rl = new QHBoxLayout(w);
        rl->setContentsMargins(4, 2, 4, 2);
        auto *label = new QLabel(c.name + QStringLiteral("  —  ") + c.filters.join(QStringLiteral(", ")), w);
        label->setTextFormat(Qt::PlainText);
        label->setProperty("class", "subj");
        label->setToolTip(plainToolTip(label->text()));
        auto *del = new QPushButton("Sil", w);
        del->setProperty("class", "miniBtn");
        del->setCursor(Qt::PointingHandCursor);
        rl->addWidget(label, 1);
        rl->addWidget(del);
        const QString name = c.name;
        connect(del, &QPushButton::clicked, this, [this, name] { m_store->removeCategory(name); });
        m_list->setItemWidget(item, w);
    }
}
