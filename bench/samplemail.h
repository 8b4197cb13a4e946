#pragma once

#include <QByteArray>

// A 50 KiB HTML-only mail in the shape large senders deliver: several KiB of
// trace and signature headers, quoted-printable HTML with a long style head,
// nested layout tables, tracking links and a footer; the code sits in a
// table cell of its own in the middle.
inline QByteArray sampleHtmlMail(int code, int targetBytes = 50 * 1024)
{
    QByteArray header;
    for (int i = 0; i < 12; ++i)
        header += "Received: from mta" + QByteArray::number(i) + ".mail.example.test (mta" + QByteArray::number(i)
            + ".mail.example.test [198.51.100." + QByteArray::number(i) + "])\r\n\tby mx.example.test with ESMTPS id "
              "a1b2c3d4e5f6g7h8\r\n\tfor <user@example.test>; Tue, 8 Dec 2026 12:00:0" + QByteArray::number(i % 10)
            + " +0000\r\n";
    for (int i = 0; i < 3; ++i)
        header += "ARC-Message-Signature: i=" + QByteArray::number(i + 1)
            + "; a=rsa-sha256; c=relaxed/relaxed; d=example.test; s=arc-20240605;\r\n\th=to:subject:message-id:date:from"
              ":mime-version:dkim-signature;\r\n\tbh=" + QByteArray(44, 'Q') + "=;\r\n\tb=" + QByteArray(340, 'Z')
            + "\r\n";
    header += "From: Ornek Hesap <no-reply@accounts.example.test>\r\nTo: user@example.test\r\n"
              "Subject: Hesabiniza giris\r\nDate: Tue, 8 Dec 2026 12:00:00 +0000\r\nMIME-Version: 1.0\r\n"
              "Content-Type: text/html; charset=\"UTF-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n";

    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style type=\"text/css\">\n";
    for (int i = 0; html.size() < targetBytes / 3; ++i)
        html += ".c" + QByteArray::number(i) + " { font-family: 'Helvetica Neue', Arial, sans-serif; color: #006699; "
                "padding: 12px 24px; line-height: 1.5; } @media (max-width: 600px) { .c" + QByteArray::number(i)
            + " { width: 100% !important; } }\n";
    html += "</style></head><body><div style=\"display:none\">Giris kodunuz icinde</div>"
            "<table role=\"presentation\" width=\"100%\"><tr><td align=\"center\"><table width=\"600\">";
    int row = 0;
    while (html.size() < targetBytes * 2 / 3) {
        html += "<tr><td class=\"c" + QByteArray::number(row % 40) + "\" style=\"padding:8px;font-size:14px\">"
                "Hesabinizla ilgili bilgilendirme &ndash; satir " + QByteArray::number(row)
            + ". <a href=\"https://click.example.test/track?u=" + QByteArray::number(9000000 + row)
            + "&amp;id=abc123def456\">Ayrintilar</a></td></tr>\n";
        if (++row == 20)
            html += "<tr><td>Giris kodunuz:</td><td style=\"font-size:28px;font-weight:bold\">"
                + QByteArray::number(code) + "</td></tr>\n";
    }
    while (html.size() < targetBytes - 2000)
        html += "<tr><td style=\"color:#888888;font-size:11px\">&copy; 2025 Ornek A.S. Buyukdere Cad. No:1 34394 "
                "Istanbul &middot; <a href=\"https://example.test/unsubscribe?id=" + QByteArray::number(row++)
            + "\">Abonelikten cik</a></td></tr>\n";
    html += "</table></td></tr></table></body></html>\n";

    // Quoted-printable: '=' escaped, lines soft-broken at 76.
    QByteArray qp;
    int column = 0;
    for (const char c : html) {
        QByteArray piece = c == '=' ? QByteArray("=3D") : c == '\n' ? QByteArray("\r\n") : QByteArray(1, c);
        if (c != '\n' && column + piece.size() > 75) {
            qp += "=\r\n";
            column = 0;
        }
        qp += piece;
        column = c == '\n' ? 0 : column + int(piece.size());
    }
    return header + qp;
}
