#include "pages/sidebar.h"
#include "desktop/plaintext.h"

#include "theme/theme.h"
#include "mail/categories.h"
#include "mail/mailstore.h"
#include "pages/inboxfilter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QHash<QString, int> categoryCounts(const QList<MailItem> &mails, const QList<Category> &categories)
{
    QHash<QString, int> counts;
    for (const MailItem &m : mails) {
        const QString name = categoryOf(categories, m);
        if (!name.isEmpty())
            ++counts[name];
    }
    return counts;
}

QString categoryButtonText(const QString &name, int count)
{
    return QStringLiteral("  %1%2").arg(name, count >= 1 ? QStringLiteral(" (%1)").arg(count) : QString());
}

static QLabel *sideLabel(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setProperty("class", "sideLabel");
    return l;
}

Sidebar::Sidebar(MailStore *store, InboxFilter *filter, QWidget *parent)
    : QWidget(parent), m_store(store), m_filter(filter)
{
    setObjectName("sidebar");
    setAttribute(Qt::WA_StyledBackground, true);
    setFixedWidth(208);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(10, 8, 10, 12);
    lay->setSpacing(4);

    lay->addWidget(sideLabel("POSTA", this));
    m_all = addNavButton(lay, "Tum Mailler", "inbox");
    m_all->setObjectName("btnAll");
    connect(m_all, &QPushButton::clicked, this, [this] {
        m_filter->clearAccount();
        m_filter->setCategory(QString());
        emit pageRequested(InboxPageIndex);
        QMetaObject::invokeMethod(this, &Sidebar::refreshCategories, Qt::QueuedConnection);
    });

    auto *catHead = new QHBoxLayout;
    catHead->setContentsMargins(0, 0, 0, 0);
    catHead->addWidget(sideLabel("KATEGORILER", this), 1);
    m_addCat = new QPushButton("+", this);
    m_addCat->setProperty("class", "miniBtn");
    m_addCat->setObjectName("addCategoryBtn");
    m_addCat->setFixedSize(26, 26);
    m_addCat->setCursor(Qt::PointingHandCursor);
    m_addCat->setToolTip("Kategori ekle / sil");
    catHead->addWidget(m_addCat, 0, Qt::AlignBottom);
    lay->addLayout(catHead);
    connect(m_addCat, &QPushButton::clicked, this, &Sidebar::categoryDialogRequested);

    m_catBox = new QVBoxLayout;
    m_catBox->setSpacing(6);
    lay->addLayout(m_catBox);

    lay->addWidget(sideLabel("GUVENLIK", this));
    addPageButton(lay, "MIRELO Kasasi", "vault", VaultPageIndex);
    addPageButton(lay, "Hesaplar", "accounts", AccountsPageIndex);
    addPageButton(lay, "Baglanti", "link", LinkPageIndex)->setToolTip("Android ile eslestir: QR + kod");
    addPageButton(lay, "Hareketler", "shield", ActivityPageIndex)
        ->setToolTip("Hesap hareketleri: giris uyarilari + bu cihaz");
    lay->addStretch(1);

    m_theme = new QPushButton("  Koyu Tema", this);
    m_theme->setProperty("class", "sideBtn");
    m_theme->setMinimumHeight(34);
    m_theme->setCursor(Qt::PointingHandCursor);
    m_theme->setProperty("iconName", "theme");
    lay->addWidget(m_theme);
    connect(m_theme, &QPushButton::clicked, this, &Sidebar::themeToggleRequested);

    auto *chip = new QWidget(this);
    chip->setObjectName("userChip");
    chip->setAttribute(Qt::WA_StyledBackground, true);
    auto *chipLay = new QVBoxLayout(chip);
    chipLay->setContentsMargins(10, 10, 10, 10);
    chipLay->setSpacing(8);
    auto *who = new QHBoxLayout;
    who->setSpacing(8);
    m_avatar = new QLabel(QStringLiteral("M"), chip);
    m_avatar->setFixedSize(28, 28);
    m_avatar->setAlignment(Qt::AlignCenter);
    m_avatar->setStyleSheet("background: #55555E; color: white; border-radius: 14px; font-weight: 800;");
    m_userName = new QLabel("MIRELO+ Hesabi", chip);
    m_userName->setProperty("class", "userName");
    m_userName->setMinimumWidth(20);
    who->addWidget(m_avatar);
    who->addWidget(m_userName, 1);
    m_signOut = new QPushButton("Cikis Yap", chip);
    m_signOut->setProperty("class", "miniBtn");
    m_signOut->setCursor(Qt::PointingHandCursor);
    chipLay->addLayout(who);
    chipLay->addWidget(m_signOut);
    lay->addSpacing(6);
    lay->addWidget(chip);
    connect(m_signOut, &QPushButton::clicked, this, &Sidebar::signOutRequested);
}

QPushButton *Sidebar::addNavButton(QVBoxLayout *lay, const QString &label, const QString &icon)
{
    auto *b = new QPushButton(QStringLiteral("  ") + label, this);
    b->setProperty("iconName", icon);
    b->setIcon(themeIcon(icon));
    b->setIconSize(QSize(16, 16));
    b->setCursor(Qt::PointingHandCursor);
    b->setCheckable(true);
    b->setProperty("class", "sideBtn");
    b->setMinimumHeight(38);
    lay->addWidget(b);
    m_nav.append(b);
    return b;
}

QPushButton *Sidebar::addPageButton(QVBoxLayout *lay, const QString &label, const QString &icon, PageIndex page)
{
    QPushButton *b = addNavButton(lay, label, icon);
    connect(b, &QPushButton::clicked, this, [this, page] { emit pageRequested(page); });
    return b;
}

QList<QPushButton *> Sidebar::categoryButtons() const
{
    QList<QPushButton *> out;
    for (int i = 0; i < m_catBox->count(); ++i)
        if (auto *b = qobject_cast<QPushButton *>(m_catBox->itemAt(i)->widget()))
            out << b;
    return out;
}

void Sidebar::setUser(const QString &name, const QString &letter)
{
    // a long name is elided; the full one stays in the tool tip
    const int room = 208 - 20 - 20 - 28 - 8;
    // The name comes from the database: shown as text, never as markup.
    m_userName->setTextFormat(Qt::PlainText);
    m_avatar->setTextFormat(Qt::PlainText);
    m_userName->setText(m_userName->fontMetrics().elidedText(name, Qt::ElideRight, room));
    m_userName->setToolTip(plainToolTip(name));
    m_avatar->setText(letter);
}

void Sidebar::refreshIcons()
{
    for (QPushButton *b : m_nav) {
        const QString name = b->property("iconName").toString();
        if (!name.isEmpty() && name != QLatin1String("theme"))
            b->setIcon(themeIcon(name));
    }
}

void Sidebar::setLightTheme(bool light)
{
    m_theme->setIcon(QIcon(light ? QStringLiteral(":/icons/moon.svg") : QStringLiteral(":/icons/sun.svg")));
    m_theme->setText(light ? QStringLiteral("  Koyu Tema") : QStringLiteral("  Acik Tema"));
    refreshIcons();
    refreshCategories();
}

void Sidebar::refreshCategories()
{
    // deleteLater: the rebuild may run inside one of these buttons' clicks
    while (QLayoutItem *item = m_catBox->takeAt(0)) {
        if (QWidget *w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    const QList<MailItem> mails = m_store->mails();
    const QList<Category> cats = m_store->categories();
    const QHash<QString, int> counts = categoryCounts(mails, cats);
    for (const Category &c : cats) {
        auto *b = new QPushButton(plainMenuText(categoryButtonText(c.name, counts.value(c.name))), this);
        b->setCheckable(true);
        b->setProperty("class", "sideBtn");
        b->setMinimumHeight(36);
        b->setCursor(Qt::PointingHandCursor);
        b->setIcon(themeIcon(c.icon.isEmpty() ? QStringLiteral("game") : c.icon));
        b->setIconSize(QSize(16, 16));
        b->setToolTip(plainToolTip(categoryRuleText(c)));
        const QString name = c.name;
        connect(b, &QPushButton::clicked, this, [this, name] {
            m_filter->setCategory(m_filter->category() == name ? QString() : name);
            emit pageRequested(InboxPageIndex);
            // the checked marks follow the filter
            QMetaObject::invokeMethod(this, &Sidebar::refreshCategories, Qt::QueuedConnection);
        });
        m_catBox->addWidget(b);
    }
    m_all->setText(QStringLiteral("  Tum Mailler (%1)").arg(mails.size()));
    updateMarks();
}

void Sidebar::setCurrentPage(PageIndex page)
{
    m_page = page;
    updateMarks();
}

void Sidebar::updateMarks()
{
    const bool inbox = m_page == InboxPageIndex;
    const QString filter = m_filter->category();
    // m_nav holds "Tum Mailler" first, then the pages in their order.
    for (int i = 1; i < m_nav.size(); ++i)
        m_nav[i]->setChecked(i == m_page);
    m_all->setChecked(inbox && filter.isEmpty() && m_filter->account().isEmpty());
    const QList<Category> cats = m_store->categories();
    const QList<QPushButton *> buttons = categoryButtons();
    for (int i = 0; i < buttons.size() && i < cats.size(); ++i)
        buttons[i]->setChecked(inbox && filter == cats[i].name);
}
