#include "qr/qrdecoder.h"
#include "servers/hostprocess.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <zlib.h>

namespace {

// A picture of `text` drawn by the qrencode tool (the host's, on the
// Windows build).
QByteArray qrencodePng(const QString &text, int moduleSize = 4)
{
    HostProcess p;
    if (!p.start(QStringLiteral("/usr/bin/qrencode"),
                 {QStringLiteral("-o"), QStringLiteral("-"), QStringLiteral("-s"), QString::number(moduleSize),
                  QStringLiteral("-m"), QStringLiteral("4"), text})
        || !p.waitForFinished(20000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

QByteArray pngChunk(const char *type, const QByteArray &body)
{
    QByteArray chunk(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(body.size()), chunk.data());
    const QByteArray typed = QByteArray(type, 4) + body;
    QByteArray crc(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()), uInt(typed.size()))),
                          crc.data());
    return chunk + typed + crc;
}

// A PNG whose header claims `w` x `h` grey pixels; its data is one tiny chunk.
QByteArray hugePngHeader(quint32 w, quint32 h)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(w, ihdr.data());
    qToBigEndian<quint32>(h, ihdr.data() + 4);
    ihdr[8] = 8; // bit depth; colour type 0 (grey)
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", QByteArray(16, '\0'))
           + pngChunk("IEND", {});
}

} // namespace

class TestQrDecoder : public QObject
{
    Q_OBJECT
private slots:
    void readsWhatQrencodeDraws();
    void refusesHugeAndForeignPictures();
};

void TestQrDecoder::readsWhatQrencodeDraws()
{
    const QString link = QStringLiteral("otpauth://totp/ACME:me%40example.com?secret=JBSWY3DPEHPK3PXP&issuer=ACME");
    const QString migration = QStringLiteral("otpauth-migration://offline?data=CjEKCkhlbGxvId6tvu8SFUdpdEh1YjptZUBleGFtc"
                                             "GxlLmNvbRoGR2l0SHViIAEoATACEAEYAiAAKE0%3D");
    for (const QString &text : {link, migration, QStringLiteral("https://example.com/kurulum")}) {
        const QByteArray png = qrencodePng(text);
        QVERIFY(!png.isEmpty());
        const QrDecodeResult r = decodeQrImageData(png);
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        QCOMPARE(r.payloads, QStringList{text});
    }
    // The same code inside a larger light picture, as in a screenshot.
    QImage shot(900, 700, QImage::Format_RGB32);
    shot.fill(QColor(240, 240, 240));
    QImage code;
    QVERIFY(code.loadFromData(qrencodePng(link, 3)));
    {
        QPainter painter(&shot);
        painter.drawImage(QPoint(350, 220), code);
    }
    QCOMPARE(decodeQrImage(shot).payloads, QStringList{link});
    // A picture without a code reads, and finds nothing.
    QImage blank(200, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const QrDecodeResult none = decodeQrImage(blank);
    QVERIFY(none.error.isEmpty());
    QVERIFY(none.payloads.isEmpty());
}

void TestQrDecoder::refusesHugeAndForeignPictures()
{
    // 20,000 x 20,000 is refused from the header alone, before 400 MB of pixels.
    const QrDecodeResult huge = decodeQrImageData(hugePngHeader(20000, 20000));
    QVERIFY2(huge.error.startsWith(QStringLiteral("Resim cok buyuk: 20000 x 20000 piksel")), qPrintable(huge.error));
    QVERIFY(decodeQrImage(QImage(kQrImageMaxSide + 1, 1, QImage::Format_Grayscale8)).error.startsWith(
        QStringLiteral("Resim cok buyuk")));
    QCOMPARE(decodeQrImageData("not a picture").error, QStringLiteral("Resim okunamadi: bicim taninmadi."));
}

QTEST_MAIN(TestQrDecoder)
#include "tst_qrdecoder.moc"
