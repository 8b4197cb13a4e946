#pragma once

#include "pages/mailcard.h"

#include <QAbstractListModel>
#include <QVector>

// The inbox rows: the cards of one rebuild, or the single empty-state line.
class InboxModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // Account, code and id sit on the roles the window and the tests read.
    enum Roles { AccountRole = Qt::UserRole, CodeRole = Qt::UserRole + 1, IdRole = Qt::UserRole + 2 };

    using QAbstractListModel::QAbstractListModel;

    // Replaces every row at once; an empty list shows the empty-state line.
    void setCards(QVector<MailCardData> cards);

    // The line the empty list shows.
    void setEmptyText(const QString &text) { m_emptyText = text; }
    QString emptyText() const { return m_emptyText; }
    bool isEmptyState() const { return m_cards.isEmpty(); }
    int cardCount() const { return m_cards.size(); }
    const MailCardData *card(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QVector<MailCardData> m_cards;
    QString m_emptyText = QString::fromLatin1(kInboxEmptyText);
};
