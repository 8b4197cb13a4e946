#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// Reading QR codes out of pictures (a screenshot, a photo, the clipboard's
// image) with ZBar. Pure functions.

// Larger pictures are refused unread: a QR code on a screen fits well within.
inline constexpr int kQrImageMaxSide = 10000;
inline constexpr qint64 kQrImageMaxPixels = 40'000'000;

struct QrDecodeResult
{
    QStringList payloads; // every QR code found, top to bottom as ZBar reports them
    QString error;        // Turkish, empty when the picture could be read
};

// The codes in an image already in memory.
QrDecodeResult decodeQrImage(const QImage &image);
// The codes in an image file's bytes (PNG, JPEG, BMP, ...); the size in its
// header is checked before any pixel is decoded.
QrDecodeResult decodeQrImageData(const QByteArray &data);
