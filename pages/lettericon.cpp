#include "pages/lettericon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

QImage letterImage(const QColor &color, const QString &letter)
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(0, 0, 32, 32));
    QFont f = p.font();
    f.setBold(true);
    f.setPointSize(14);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, letter);
    p.end();
    return img;
}

QIcon letterIcon(const QColor &color, const QString &letter)
{
    return QIcon(QPixmap::fromImage(letterImage(color, letter)));
}

QString firstLetterUpper(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("?") : text.left(1).toUpper();
}
