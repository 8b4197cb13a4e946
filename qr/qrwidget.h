#pragma once

#include <QLabel>

// Shows a text as a QR code (level M, four modules of quiet zone), or a
// placeholder while there is none. Renders once into the label's pixmap.
class QrWidget : public QLabel
{
    Q_OBJECT
public:
    explicit QrWidget(QWidget *parent = nullptr);

    // Encodes and shows `text`; false (and the label unchanged) when it
    // cannot be encoded.
    bool setPayload(const QString &text, int pixelSize);
    void showPlaceholder();
};

// The pixmap QrWidget shows for `text`; a null pixmap when it cannot be encoded.
QPixmap renderQrPixmap(const QString &text, int pixelSize);
