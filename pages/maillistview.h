#pragma once

#include "pages/mailcard.h"

#include <QListView>
#include <QStyledItemDelegate>
#include <QVector>

class InboxModel;

// Paints the inbox cards; one delegate replaces a widget tree per card, which
// keeps a rebuild of a hundred cards within one frame.
class MailCardDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    MailCardDelegate(QListView *view, InboxModel *model);

    void setLightTheme(bool light);
    void setHover(int row, CardPart part);
    // Card geometry of a row at the view's current width.
    CardLayout layoutFor(int row) const;
    int cardWidth() const;

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *e, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
    // The code badge turns into a read-only field while the user selects in it.
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *, const QModelIndex &) const override {}
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override {}
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    void invalidate();

    QListView *m_view;
    InboxModel *m_model;
    CardPalette m_palette;
    mutable QVector<CardLayout> m_layouts;
    mutable int m_layoutWidth = -1;
    mutable QFont m_fontsBase;
    mutable CardFonts m_fonts;
    int m_hoverRow = -1;
    CardPart m_hoverPart = CardPart::None;
};

// The list view of the inbox: forwards clicks on the painted buttons.
class MailListView : public QListView
{
    Q_OBJECT
public:
    explicit MailListView(QWidget *parent = nullptr);
    void setCardDelegate(MailCardDelegate *d) { m_delegate = d; }
    // The card part under a viewport point, and its row.
    CardPart partAt(const QPoint &viewportPos, int *row) const;
    // The selectable code field over a card's badge, if one is open.
    QWidget *codeField() const;

signals:
    void copyClicked(int row);
    void typeClicked(int row);
    void replyClicked(int row);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    MailCardDelegate *m_delegate = nullptr;
    void closeCodeField();

    int m_pressRow = -1;
    CardPart m_pressPart = CardPart::None;
    QPersistentModelIndex m_codeIndex;
};
