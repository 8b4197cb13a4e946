#include "router/notifytext.h"

#include "recognition/brands.h"
#include "recognition/headerdecode.h"

#include <QStringList>

QString notifySenderName(const MailItem &m)
{
    // The notice names the sender as its card does: by brand when it has one.
    const Brand brand = brandOf(m.from, m.subject);
    if (!brand.name.isEmpty())
        return brand.name;
    return senderName(m.from.isEmpty() ? m.account : m.from);
}

TrayText codeBatchNotification(const QList<MailItem> &batch)
{
    TrayText out;
    if (batch.isEmpty())
        return out;
    if (batch.size() == 1) {
        const MailItem &m = batch.first();
        out.title = QStringLiteral("MIRELO+ - ") + notifySenderName(m).left(40);
        out.text = m.code + QStringLiteral("  (") + m.subject.left(60)
                   + QStringLiteral(")\nPanoya kopyalandi. Ctrl+Shift+V ile otomatik yaz.");
        return out;
    }
    QStringList lines;
    for (int i = 0; i < batch.size() && i < 3; ++i)
        lines << batch[i].code + QStringLiteral(" (") + notifySenderName(batch[i]).left(24) + QStringLiteral(")");
    if (batch.size() > 3)
        lines << QStringLiteral("+%1 kod daha").arg(batch.size() - 3);
    out.title = QStringLiteral("MIRELO+ - %1 yeni kod").arg(batch.size());
    out.text = QStringLiteral("Son kod panoda: ") + batch.last().code + QStringLiteral("\n") + lines.join('\n');
    return out;
}

QString newCodeStatusText(const MailItem &m)
{
    return QStringLiteral("Yeni kod: ") + m.code + QStringLiteral(" <- ") + m.from;
}
