#include "qr/qrdecoder.h"

#include <QBuffer>
#include <QImageReader>

#include <zbar.h>

#include <cstring>
#include <memory>

namespace {

QString tooBig(QSize size)
{
    return QStringLiteral("Resim cok buyuk: %1 x %2 piksel (en fazla %3 x %3, %4 milyon piksel).")
        .arg(size.width())
        .arg(size.height())
        .arg(kQrImageMaxSide)
        .arg(kQrImageMaxPixels / 1'000'000);
}

bool sizeAllowed(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kQrImageMaxSide
           && size.height() <= kQrImageMaxSide && qint64(size.width()) * size.height() <= kQrImageMaxPixels;
}

} // namespace

QrDecodeResult decodeQrImage(const QImage &image)
{
    QrDecodeResult result;
    if (image.isNull()) {
        result.error = QStringLiteral("Resim okunamadi.");
        return result;
    }
    if (!sizeAllowed(image.size())) {
        result.error = tooBig(image.size());
        return result;
    }
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const int w = gray.width();
    const int h = gray.height();
    // ZBar wants rows back to back; QImage pads them to 4 bytes.
    QByteArray pixels(qsizetype(w) * h, Qt::Uninitialized);
    for (int y = 0; y < h; ++y)
        std::memcpy(pixels.data() + qsizetype(y) * w, gray.constScanLine(y), size_t(w));

    std::unique_ptr<zbar::zbar_image_scanner_t, decltype(&zbar::zbar_image_scanner_destroy)> scanner(
        zbar::zbar_image_scanner_create(), &zbar::zbar_image_scanner_destroy);
    std::unique_ptr<zbar::zbar_image_t, decltype(&zbar::zbar_image_destroy)> zimage(zbar::zbar_image_create(),
                                                                                   &zbar::zbar_image_destroy);
    if (!scanner || !zimage) {
        result.error = QStringLiteral("Resim okunamadi: bellek yetmedi.");
        return result;
    }
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::zbar_image_set_format(zimage.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(zimage.get(), unsigned(w), unsigned(h));
    zbar::zbar_image_set_data(zimage.get(), pixels.constData(), static_cast<unsigned long>(pixels.size()), nullptr);
    if (zbar::zbar_scan_image(scanner.get(), zimage.get()) < 0) {
        result.error = QStringLiteral("Resim okunamadi.");
        return result;
    }
    for (const zbar::zbar_symbol_t *symbol = zbar::zbar_image_first_symbol(zimage.get()); symbol;
         symbol = zbar::zbar_symbol_next(symbol)) {
        const char *data = zbar::zbar_symbol_get_data(symbol);
        const unsigned length = zbar::zbar_symbol_get_data_length(symbol);
        if (data)
            result.payloads << QString::fromUtf8(data, qsizetype(length));
    }
    return result;
}

QrDecodeResult decodeQrImageData(const QByteArray &data)
{
    QrDecodeResult result;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid()) {
        result.error = QStringLiteral("Resim okunamadi: bicim taninmadi.");
        return result;
    }
    if (!sizeAllowed(size)) {
        result.error = tooBig(size);
        return result;
    }
    QImage image;
    if (!reader.read(&image)) {
        result.error = QStringLiteral("Resim okunamadi: %1.").arg(reader.errorString());
        return result;
    }
    return decodeQrImage(image);
}
