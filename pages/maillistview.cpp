#include "pages/maillistview.h"
#include "desktop/plaintext.h"

#include "pages/inboxmodel.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

MailCardDelegate::MailCardDelegate(QListView *view, InboxModel *model)
    : QStyledItemDelegate(view), m_view(view), m_model(model), m_palette(cardPalette(false)),
      m_fonts(view->font())
{
    connect(model, &QAbstractItemModel::modelReset, this, &MailCardDelegate::invalidate);
}

void MailCardDelegate::setLightTheme(bool light)
{
    m_palette = cardPalette(light);
    m_view->viewport()->update();
}

void MailCardDelegate::setHover(int row, CardPart part)
{
    if (row == m_hoverRow && part == m_hoverPart)
        return;
    m_hoverRow = row;
    m_hoverPart = part;
    m_view->viewport()->update();
}

void MailCardDelegate::invalidate()
{
    m_layouts.clear();
    m_layoutWidth = -1;
    m_hoverRow = -1;
    m_hoverPart = CardPart::None;
}

int MailCardDelegate::cardWidth() const
{
    return qMax(200, m_view->viewport()->width() - 2 * m_view->spacing());
}

CardLayout MailCardDelegate::layoutFor(int row) const
{
    const MailCardData *d = m_model->card(row);
    if (!d)
        return {};
    const int w = cardWidth();
    if (w != m_layoutWidth || m_view->font() != m_fontsBase) {
        m_layouts = QVector<CardLayout>(m_model->cardCount());
        m_layoutWidth = w;
        m_fontsBase = m_view->font();
        m_fonts = CardFonts(m_fontsBase);
    }
    if (m_layouts.size() != m_model->cardCount())
        m_layouts.resize(m_model->cardCount());
    CardLayout &l = m_layouts[row];
    if (l.height == 0)
        l = layoutMailCard(*d, w, m_fonts);
    return l;
}

void MailCardDelegate::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const MailCardData *d = m_model->card(index.row());
    if (!d) {
        p->save();
        QFont f(option.font);
        f.setPixelSize(13);
        p->setFont(f);
        p->setPen(m_palette.emptyText);
        p->drawText(option.rect.adjusted(16, 0, -16, 0), Qt::AlignCenter | Qt::TextWordWrap,
                    index.data(Qt::DisplayRole).toString());
        p->restore();
        return;
    }
    const CardLayout l = layoutFor(index.row());
    const bool hovered = index.row() == m_hoverRow;
    paintMailCard(p, option.rect, *d, l, m_fonts, m_palette, hovered, hovered ? m_hoverPart : CardPart::None);
}

QSize MailCardDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!m_model->card(index.row()))
        return QSize(cardWidth(), QFontMetrics(option.font).height() * 2 + 40);
    return QSize(cardWidth(), layoutFor(index.row()).height);
}

bool MailCardDelegate::helpEvent(QHelpEvent *e, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    const MailCardData *d = m_model->card(index.row());
    if (!d || e->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(e, view, option, index);
    const CardLayout l = layoutFor(index.row());
    QString tip;
    switch (l.partAt(e->pos() - option.rect.topLeft())) {
    case CardPart::Avatar: tip = d->avatarTip; break;
    case CardPart::Sender: tip = d->from; break;
    case CardPart::UnreadDot: tip = QStringLiteral("Okunmadi"); break;
    case CardPart::Badge: tip = d->badgeTip; break;
    case CardPart::Code: tip = d->codeTip; break;
    case CardPart::CopyButton:
    case CardPart::TypeButton:
        if (d->masked)
            tip = QString::fromLatin1(kMaskedButtonTip);
        break;
    default: break;
    }
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    // Sender and address come from the mail's own headers.
    QToolTip::showText(e->globalPos(), plainToolTip(tip), view->viewport());
    return true;
}

QWidget *MailCardDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                        const QModelIndex &index) const
{
    const MailCardData *d = m_model->card(index.row());
    if (!d || d->code.isEmpty())
        return nullptr;
    auto *field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setFrame(false);
    field->setAlignment(Qt::AlignCenter);
    field->setFont(m_fonts.code);
    field->setText(d->codeShown);
    field->setStyleSheet(QStringLiteral("QLineEdit { background: %1; color: %2; border: none; border-radius: 6px; "
                                        "padding: 0; selection-background-color: #3B82F6; selection-color: white; }")
                             .arg(m_palette.primary.name(), m_palette.primaryText.name()));
    field->selectAll();
    return field;
}

void MailCardDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const
{
    editor->setGeometry(layoutFor(index.row()).code.translated(option.rect.topLeft()));
}

MailListView::MailListView(QWidget *parent) : QListView(parent)
{
    setMouseTracking(true);
}

CardPart MailListView::partAt(const QPoint &pos, int *row) const
{
    const QModelIndex idx = indexAt(pos);
    *row = idx.isValid() ? idx.row() : -1;
    if (!idx.isValid() || !m_delegate)
        return CardPart::None;
    const CardLayout l = m_delegate->layoutFor(idx.row());
    return l.partAt(pos - visualRect(idx).topLeft());
}

static bool isButton(CardPart p)
{
    return p == CardPart::CopyButton || p == CardPart::TypeButton || p == CardPart::ReplyButton;
}

QWidget *MailListView::codeField() const
{
    return m_codeIndex.isValid() ? indexWidget(m_codeIndex) : nullptr;
}

void MailListView::closeCodeField()
{
    if (m_codeIndex.isValid() && isPersistentEditorOpen(m_codeIndex))
        closePersistentEditor(m_codeIndex);
    m_codeIndex = QPersistentModelIndex();
}

void MailListView::mousePressEvent(QMouseEvent *e)
{
    m_pressPart = partAt(e->position().toPoint(), &m_pressRow);
    closeCodeField();
    if (e->button() == Qt::LeftButton && m_pressPart == CardPart::Code) {
        // the code can be selected with the mouse like text
        m_codeIndex = model()->index(m_pressRow, 0);
        openPersistentEditor(m_codeIndex);
        if (QWidget *field = codeField()) {
            field->installEventFilter(this);
            field->setFocus();
        }
    }
    if (e->button() == Qt::LeftButton && isButton(m_pressPart))
        return; // a button press does not select the card
    QListView::mousePressEvent(e);
}

bool MailListView::eventFilter(QObject *watched, QEvent *e)
{
    // a double-click on the code still copies it, as anywhere on the card
    if (e->type() == QEvent::MouseButtonDblClick && watched == codeField()) {
        emit doubleClicked(m_codeIndex);
        return true;
    }
    return QListView::eventFilter(watched, e);
}

void MailListView::mouseReleaseEvent(QMouseEvent *e)
{
    int row = -1;
    const CardPart part = partAt(e->position().toPoint(), &row);
    if (e->button() == Qt::LeftButton && isButton(part) && part == m_pressPart && row == m_pressRow) {
        m_pressPart = CardPart::None;
        if (part == CardPart::CopyButton)
            emit copyClicked(row);
        else if (part == CardPart::TypeButton)
            emit typeClicked(row);
        else
            emit replyClicked(row);
        return;
    }
    QListView::mouseReleaseEvent(e);
}

void MailListView::mouseDoubleClickEvent(QMouseEvent *e)
{
    int row = -1;
    if (isButton(partAt(e->position().toPoint(), &row)))
        return; // a quick second click on a button is not a card double-click
    QListView::mouseDoubleClickEvent(e);
}

void MailListView::mouseMoveEvent(QMouseEvent *e)
{
    int row = -1;
    const CardPart part = partAt(e->position().toPoint(), &row);
    if (m_delegate)
        m_delegate->setHover(row, part);
    viewport()->setCursor(isButton(part) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QListView::mouseMoveEvent(e);
}

void MailListView::leaveEvent(QEvent *e)
{
    if (m_delegate)
        m_delegate->setHover(-1, CardPart::None);
    QListView::leaveEvent(e);
}
