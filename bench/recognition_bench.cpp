#include "mailtext/mailreader.h"
#include "recognition/coderecogniser.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

namespace {

// A 50 KiB HTML code mail as large senders send it: quoted-printable, a
// long style head, a table layout with links, years and an address, the
// code in its own cell after the first paragraphs, then a long footer.
QByteArray htmlMail50KiB()
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>";
    for (int i = 0; html.size() < 14 * 1024; ++i)
        html += ".r" + QByteArray::number(i) + " td{color:#006699;font:14px/20px Arial,sans-serif;padding:0 24px}";
    html += "</style></head><body><table width=\"600\">";
    const QByteArray row = "<tr><td class=\"r1\">Hesabinizin guvenligi icin yeni bir cihazdan yapilan giris "
                           "isteklerini dogruluyoruz. Ayrintilar icin <a href=\"https://example.com/help?id=2024"
                           "&amp;ref=552211\">yardim sayfasina</a> bakin.</td></tr>\n";
    for (int i = 0; i < 8; ++i)
        html += row;
    html += "<tr><td>Dogrulama kodunuz:</td></tr><tr><td style=\"font-size:32px\">603918</td></tr>\n";
    while (html.size() < 50 * 1024 - 300)
        html += row;
    html += "<tr><td>&copy; 2025 Ornek A.S., 1600 Main Street, Mountain View, CA 94043</td></tr>"
            "</table></body></html>";

    QByteArray qp;
    int column = 0;
    for (const char c : html) {
        const unsigned char u = static_cast<unsigned char>(c);
        QByteArray piece;
        if (c == '\n') {
            qp += "\r\n";
            column = 0;
            continue;
        }
        if (u == '=' || u >= 0x7F || u < 0x20)
            piece = "=" + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            piece = QByteArray(1, c);
        if (column + piece.size() > 75) {
            qp += "=\r\n";
            column = 0;
        }
        qp += piece;
        column += int(piece.size());
    }
    return "From: Ornek <guvenlik@ornek.com.tr>\r\nSubject: Giris dogrulamasi\r\n"
           "Date: Tue, 08 Dec 2026 13:00:00 +0000\r\nMIME-Version: 1.0\r\n"
           "Content-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
           + qp;
}

void BM_ReadAndRecognise50KiBHtml(benchmark::State &state)
{
    const QByteArray raw = htmlMail50KiB();
    const MailText check = readMail(raw);
    if (raw.size() < 50 * 1024 || recogniseCode(check.subject, check.text).code != QStringLiteral("603918")) {
        state.SkipWithError("the benchmark mail does not read as its code");
        return;
    }
    for (auto _ : state) {
        const MailText mail = readMail(raw);
        benchmark::DoNotOptimize(recogniseCode(mail.subject, mail.text));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * raw.size());
}
BENCHMARK(BM_ReadAndRecognise50KiBHtml)->Unit(benchmark::kMicrosecond);

// The recogniser alone on a long text where the code comes last.
void BM_RecogniseLongText(benchmark::State &state)
{
    QString text;
    while (text.size() < state.range(0))
        text += QStringLiteral("Merhaba, bu haftanin firsatlari 2025 yilinda, siparis no 552211, toplam "
                               "1.299,00 TL; destek +90 212 555 01 99.\n");
    text += QStringLiteral("Tek kullanimlik kodun: 731 904");
    for (auto _ : state)
        benchmark::DoNotOptimize(recogniseCode(QStringLiteral("Haftalik bulten"), text));
}
BENCHMARK(BM_RecogniseLongText)->Arg(2500)->Arg(20000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
