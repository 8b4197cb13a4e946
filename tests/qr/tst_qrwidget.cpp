// The widget's rendering, and its pictures read back by an independent
// decoder (zbarimg).
#include "qr/qrencoder.h"
#include "qr/qrwidget.h"
#include "servers/hostprocess.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Decodes a picture with zbarimg; returns the raw bytes, or a null array
// when nothing was found.
QByteArray zbarDecode(const QPixmap &pixmap, const QString &dir)
{
    const QString file = dir + QStringLiteral("/qr.png");
    if (!pixmap.save(file))
        return {};
    // The host's zbarimg, on the Windows build too.
    HostProcess zbar;
    if (!zbar.start(QStringLiteral("/usr/bin/zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-Sbinary"),
                                                         QStringLiteral("--nodbus"), QStringLiteral("-q"), hostPath(file)})
        || !zbar.waitForFinished(60000) || zbar.exitCode() != 0)
        return {};
    return zbar.readAllStandardOutput();
}

} // namespace

class TestQrWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (HostProcess::run(QStringLiteral("/usr/bin/test"), {QStringLiteral("-x"), QStringLiteral("/usr/bin/zbarimg")})
            != 0)
            QFAIL("zbarimg (zbar-tools) is needed for this test");
    }

    void pairingUriRendersWithQuietZoneAndIntegerScale()
    {
        QrWidget widget;
        QCOMPARE(widget.text(), QStringLiteral("QR bekleniyor..."));
        QCOMPARE(widget.property("class").toString(), QStringLiteral("qrCard"));
        QVERIFY(widget.minimumWidth() >= 240 && widget.minimumHeight() >= 240);

        const QString uri = QStringLiteral("MIRELOPLUS://pair?s=ABCDEFGH&c=123456");
        QCOMPARE(uri.toUtf8().size(), 37);
        QCOMPARE(encodeBinary(uri.toUtf8(), QrLevelM).size, 29);
        QVERIFY(widget.setPayload(uri, 240));
        const QImage image = widget.pixmap().toImage();
        QCOMPARE(image.size(), QSize(222, 222)); // (29 + 8) * 6
        // The quiet zone is white; the first finder's corner module is black.
        for (int i = 0; i < 24; ++i) {
            QCOMPARE(QColor(image.pixel(i, i)), QColor(Qt::white));
            QCOMPARE(QColor(image.pixel(221 - i, 221 - i)), QColor(Qt::white));
        }
        QCOMPARE(QColor(image.pixel(24, 24)), QColor(Qt::black));
        QCOMPARE(QColor(image.pixel(29, 29)), QColor(Qt::black));

        QVERIFY(widget.setPayload(uri, 10)); // smaller than the module count
        QCOMPARE(widget.pixmap().size(), QSize(37, 37));
    }

    void placeholderAndTooLongText()
    {
        QrWidget widget;
        QVERIFY(widget.setPayload(QStringLiteral("first"), 240));
        const QImage before = widget.pixmap().toImage();
        QVERIFY(!widget.setPayload(QString(2332, QLatin1Char('x')), 240));
        QCOMPARE(widget.pixmap().toImage(), before);

        widget.showPlaceholder();
        QVERIFY(widget.pixmap().isNull());
        QCOMPARE(widget.text(), QStringLiteral("QR bekleniyor..."));
    }

    void picturesDecodeBackToTheInput_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("pairing uri") << QByteArrayLiteral("MIRELOPLUS://pair?s=K7M2P9QX&c=049311") << 240;
        QTest::newRow("utf-8 text") << QStringLiteral("Guvenlik kodun 739201 – ğüşıöç ĞÜŞİÖÇ €").toUtf8() << 300;
        QRandomGenerator rng(7);
        for (int length : {1, 50, 200, 700, 1500, 2331}) {
            QByteArray bytes(length, Qt::Uninitialized);
            for (char &c : bytes)
                c = char(rng.bounded(256));
            // At least four pixels per module whatever the version.
            const int modules = encodeBinary(bytes, QrLevelM).size + 8;
            QTest::newRow(qPrintable(QStringLiteral("random %1 bytes").arg(length))) << bytes << modules * 4;
        }
    }

    void picturesDecodeBackToTheInput()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, pixelSize);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Arbitrary bytes go through the same renderer the widget uses; text
        // payloads go through the widget itself.
        QPixmap pixmap;
        const QString asText = QString::fromUtf8(payload);
        if (asText.toUtf8() == payload) {
            QrWidget widget;
            QVERIFY(widget.setPayload(asText, pixelSize));
            pixmap = widget.pixmap();
        } else {
            const QrCode qr = encodeBinary(payload, QrLevelM);
            const int scale = qMax(1, pixelSize / (qr.size + 8));
            QImage image((qr.size + 8) * scale, (qr.size + 8) * scale, QImage::Format_RGB32);
            image.fill(Qt::white);
            for (int y = 0; y < qr.size; ++y)
                for (int x = 0; x < qr.size; ++x)
                    if (qr.dark(x, y))
                        for (int dy = 0; dy < scale; ++dy)
                            for (int dx = 0; dx < scale; ++dx)
                                image.setPixel((x + 4) * scale + dx, (y + 4) * scale + dy, qRgb(0, 0, 0));
            pixmap = QPixmap::fromImage(image);
        }
        QCOMPARE(zbarDecode(pixmap, dir.path()), payload);
    }
};

QTEST_MAIN(TestQrWidget)
#include "tst_qrwidget.moc"
