#include "pages/inboxpage.h"

#include "desktop/plaintext.h"
#include "mail/categories.h"
#include "mail/codetrust.h"
#include "mail/mailstore.h"
#include "pages/inboxfilter.h"
#include "pages/inboxmodel.h"
#include "pages/maillistview.h"
#include "recognition/brands.h"
#include "recognition/headerdecode.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

static QPushButton *ghostButton(const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setProperty("class", "ghostBtn");
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

InboxPage::InboxPage(MailStore *store, InboxFilter *filter, QWidget *parent)
    : QWidget(parent), m_store(store), m_filter(filter)
{
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(10);

    auto *title = new QLabel("Gelen Kutusu", this);
    title->setProperty("class", "h1");
    auto *sub = new QLabel("Dogrulama kodlarin tum maillerinden burada toplanir.", this);
    sub->setProperty("class", "pageSub");
    auto *head = new QVBoxLayout;
    head->setSpacing(2);
    head->addWidget(title);
    head->addWidget(sub);

    m_search = new QLineEdit(this);
    m_search->setProperty("class", "search");
    m_search->setPlaceholderText("Ara: gonderen, konu, kod...");
    m_search->setClearButtonEnabled(true);
    m_refresh = ghostButton("Yenile", this);
    m_refresh->setIcon(QIcon(":/icons/refresh.svg"));
    m_demo = ghostButton("Demo verisi", this);

    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    top->addLayout(head, 1);
    top->addWidget(m_refresh, 0, Qt::AlignBottom);
    top->addWidget(m_demo, 0, Qt::AlignBottom);
    lay->addLayout(top);
    lay->addWidget(m_search);

    m_banner = new QLabel(this);
    m_banner->setTextFormat(Qt::PlainText); // names an account or category
    m_banner->setProperty("class", "banner");
    m_banner->setWordWrap(true);
    m_banner->hide();
    lay->addWidget(m_banner);

    m_list = new MailListView(this);
    m_list->setObjectName("mailList");
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setSpacing(4); // 4 around each item: 8 between neighbours
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFrameShape(QFrame::NoFrame);
    m_model = new InboxModel(this);
    m_list->setModel(m_model);
    m_delegate = new MailCardDelegate(m_list, m_model);
    m_list->setItemDelegate(m_delegate);
    m_list->setCardDelegate(m_delegate);
    lay->addWidget(m_list, 1);

    auto *hint = new QLabel("Mailler otomatik ayrilir (oyun maili > Oyunlar). Sag tik: goster / kopyala / yaz / "
                            "cevapla  •  Cift tik: kopyala  •  Ctrl+Shift+V: otomatik yaz",
                            this);
    hint->setProperty("class", "muted");
    hint->setWordWrap(true);
    lay->addWidget(hint);

    connect(m_search, &QLineEdit::textChanged, this, &InboxPage::searchEdited);
    connect(m_refresh, &QPushButton::clicked, this, &InboxPage::refreshRequested);
    connect(m_demo, &QPushButton::clicked, this, [this] { m_store->loadDemoMails(); });
    connect(m_list, &QWidget::customContextMenuRequested, this, &InboxPage::showContextMenu);
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &idx) { copyRow(idx.row()); });
    connect(m_list, &MailListView::copyClicked, this, &InboxPage::copyRow);
    connect(m_list, &MailListView::typeClicked, this, &InboxPage::typeRow);
    connect(m_list, &MailListView::replyClicked, this, &InboxPage::replyRow);
}

QListView *InboxPage::mailList() const
{
    return m_list;
}

void InboxPage::setLightTheme(bool light)
{
    m_delegate->setLightTheme(light);
}

QString InboxPage::rowCode(int row) const
{
    const MailCardData *c = m_model->card(row);
    return c ? c->code : QString();
}

void InboxPage::refreshMailList()
{
    ++m_rebuilds;
    const QString needle = m_search->text().trimmed().toLower();
    const QList<MailItem> mails = m_filter->mails();
    const QList<Category> cats = m_store->categories();

    const QString bannerText = inboxBannerText(m_filter->account(), m_filter->category());
    m_banner->setText(bannerText);
    m_banner->setVisible(!bannerText.isEmpty());

    // Each card shows the decision made when its mail came in.
    const int minConfidence = minConfidenceSetting();
    const QDateTime now = QDateTime::currentDateTime();

    QVector<MailCardData> cards;
    cards.reserve(kMaxInboxCards);
    for (const MailItem &m : mails) {
        if (!mailMatchesNeedle(m, needle))
            continue;
        const Brand brand = brandOf(m.from, m.subject);
        CardSource src;
        src.brandName = brand.name;
        src.brandColor = brand.color;
        src.displayName = senderName(m.from);
        src.bareAddress = senderAddress(m.from);
        src.avatarInitial = avatarInitial(m.from, brand.name);
        src.category = categoryOf(cats, m);
        if (!m.code.isEmpty()) {
            const CodeTrust trust = codeTrust(m, m.received.isValid() ? m.received : now, minConfidence);
            src.codeTrusted = trust.trusted;
            src.trustReason = trust.reason;
        }
        cards.append(buildMailCard(m, src, m_masked));
        if (cards.size() >= kMaxInboxCards)
            break;
    }
    // a rebuild keeps the reader where they were
    const int scroll = m_list->verticalScrollBar()->value();
    m_model->setEmptyText(inboxEmptyText(m_search->text().trimmed(), m_filter->isActive()));
    m_model->setCards(std::move(cards));
    m_list->verticalScrollBar()->setValue(scroll);
}

QString InboxPage::actionCode(int row)
{
    if (m_masked) {
        emit statusMessage(kMaskedActionText);
        return QString();
    }
    return rowCode(row);
}

void InboxPage::copyRow(int row)
{
    const QString code = actionCode(row);
    if (code.isEmpty())
        return;
    emit copyRequested(code);
    emit codeUsed(m_model->card(row)->id);
}

void InboxPage::typeRow(int row)
{
    const QString code = actionCode(row);
    if (code.isEmpty())
        return;
    emit typeRequested(code);
    emit codeUsed(m_model->card(row)->id);
}

void InboxPage::replyRow(int row)
{
    const MailCardData *c = m_model->card(row);
    if (!c)
        return;
    emit replyRequested(c->account, senderAddress(c->from), c->mailSubject, c->id);
}

QMenu *InboxPage::contextMenuAt(const QPoint &viewportPos, QWidget *parent)
{
    const QModelIndex idx = m_list->indexAt(viewportPos);
    const MailCardData *c = idx.isValid() ? m_model->card(idx.row()) : nullptr;
    if (!c)
        return nullptr;
    const QString account = c->account, code = c->code, id = c->id, from = c->from, subject = c->mailSubject;
    auto *menu = new QMenu(parent);
    menu->addAction("Sadece bu hesabin maillerini goster", this, [this, account] { emit showOnlyAccountRequested(account); });
    if (!code.isEmpty() && !m_masked) {
        menu->addAction(plainMenuText((QStringLiteral("Kodu kopyala: ") + code).left(40)), this,
                        [this, code, id] {
                            emit quietCopyRequested(code);
                            emit codeUsed(id);
                        });
        menu->addAction("Otomatik yaz", this, [this, code, id] {
            emit typeRequested(code);
            emit codeUsed(id);
        });
    }
    menu->addAction("Cevapla", this,
                    [this, account, from, subject, id] { emit replyRequested(account, senderAddress(from), subject, id); });
    menu->addAction("Okundu isaretle", this, [this, id] { m_store->markSeen(id); });
    const QString address = senderAddress(from);
    if (!code.isEmpty() && !m_masked && !c->demo && address.contains(QLatin1Char('@'))) {
        menu->addSeparator();
        menu->addAction("Bu gondericinin kodlarini yok say", this, [this, id, address] {
            if (m_store->silenceSenderOf(id, false))
                emit statusMessage(QStringLiteral("Gonderici yok sayiliyor: ") + address);
        });
        const QString domain = address.mid(address.lastIndexOf(QLatin1Char('@')) + 1);
        menu->addAction(plainMenuText(QStringLiteral("Bu alan adinin kodlarini yok say: ") + domain), this,
                        [this, id, domain] {
                            if (m_store->silenceSenderOf(id, true))
                                emit statusMessage(QStringLiteral("Alan adi yok sayiliyor: ") + domain);
                        });
    }
    return menu;
}

void InboxPage::showContextMenu(const QPoint &viewportPos)
{
    QMenu *menu = contextMenuAt(viewportPos, this);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_list->viewport()->mapToGlobal(viewportPos));
}
