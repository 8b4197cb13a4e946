#include "qr/qrwidget.h"

#include "qr/qrencoder.h"

#include <QPainter>
#include <QPixmap>

namespace {
const char *const kPlaceholder = "QR bekleniyor...";
constexpr int kQuietZone = 4;
}

QrWidget::QrWidget(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setMinimumSize(240, 240);
    setProperty("class", QStringLiteral("qrCard"));
    setText(QString::fromLatin1(kPlaceholder));
}

QPixmap renderQrPixmap(const QString &text, int pixelSize)
{
    QrCode qr;
    try {
        qr = encodeBinary(text.toUtf8(), QrLevelM, -1);
    } catch (const std::exception &) {
        return {};
    }
    const int modules = qr.size + 2 * kQuietZone;
    const int scale = std::max(1, pixelSize / modules);
    QPixmap pixmap(modules * scale, modules * scale);
    if (pixmap.isNull())
        return {};
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (int y = 0; y < qr.size; ++y)
        for (int x = 0; x < qr.size; ++x)
            if (qr.dark(x, y))
                painter.drawRect((x + kQuietZone) * scale, (y + kQuietZone) * scale, scale, scale);
    return pixmap;
}

bool QrWidget::setPayload(const QString &text, int pixelSize)
{
    const QPixmap pixmap = renderQrPixmap(text, pixelSize);
    if (pixmap.isNull())
        return false;
    setPixmap(pixmap);
    return true;
}

void QrWidget::showPlaceholder()
{
    setPixmap(QPixmap());
    setText(QString::fromLatin1(kPlaceholder));
}
