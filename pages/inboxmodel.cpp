#include "pages/inboxmodel.h"

void InboxModel::setCards(QVector<MailCardData> cards)
{
    beginResetModel();
    m_cards = std::move(cards);
    endResetModel();
}

const MailCardData *InboxModel::card(int row) const
{
    return row >= 0 && row < m_cards.size() ? &m_cards[row] : nullptr;
}

int InboxModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_cards.isEmpty() ? 1 : m_cards.size();
}

QVariant InboxModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (m_cards.isEmpty())
        return role == Qt::DisplayRole ? QVariant(m_emptyText) : QVariant();
    const MailCardData &c = m_cards[index.row()];
    switch (role) {
    case AccountRole: return c.account;
    case CodeRole: return c.code;
    case IdRole: return c.id;
    case Qt::DisplayRole: return c.sender + QStringLiteral(" - ") + c.subject;
    default: return {};
    }
}

Qt::ItemFlags InboxModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || m_cards.isEmpty())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
