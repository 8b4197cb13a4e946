#include "mailtext/mailreader.h"

#include "mailtext/htmltext.h"
#include "mailtext/mimewalk.h"
#include "recognition/headerdecode.h"

#include <QStringList>

namespace {

// Header blocks of real mail run to several KiB (DKIM, ARC, Received); past
// this the rest is not headers worth reading.
const qsizetype kMaxHeaderBytes = 64 * 1024;
// Decoded octets looked at per mail, all parts together.
const qsizetype kMaxDecodedBytes = 512 * 1024;

struct Split
{
    QByteArray header; // without the empty line
    qsizetype bodyStart = 0;
};

Split splitHeader(const QByteArray &raw)
{
    Split s;
    if (raw.startsWith("\r\n")) {
        s.bodyStart = 2;
        return s;
    }
    if (raw.startsWith('\n')) {
        s.bodyStart = 1;
        return s;
    }
    const qsizetype crlf = raw.indexOf("\r\n\r\n");
    const qsizetype lf = raw.indexOf("\n\n");
    if (crlf >= 0 && (lf < 0 || crlf < lf)) {
        s.header = raw.left(crlf);
        s.bodyStart = crlf + 4;
    } else if (lf >= 0) {
        s.header = raw.left(lf);
        s.bodyStart = lf + 2;
    } else {
        s.header = raw;
        s.bodyStart = raw.size();
    }
    return s;
}

// The header block with CRLF line ends, as headerValue reads it.
QString headerText(const QByteArray &header)
{
    QByteArray out;
    const QByteArray cut = header.left(kMaxHeaderBytes);
    out.reserve(cut.size() + cut.size() / 32);
    for (qsizetype i = 0; i < cut.size(); ++i) {
        const char c = cut.at(i);
        if (c == '\r') {
            out.append("\r\n");
            if (i + 1 < cut.size() && cut.at(i + 1) == '\n')
                ++i;
        } else if (c == '\n') {
            out.append("\r\n");
        } else {
            out.append(c);
        }
    }
    return QString::fromUtf8(out);
}

// Plain text tidied for reading: LF line ends, no invisible padding, no
// trailing blanks, at most one empty line in a row.
QString tidyPlain(const QString &text)
{
    QString out;
    out.reserve(text.size());
    int newlines = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text.at(i).unicode();
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                continue;
            c = u'\n';
        }
        if (c == 0x00AD || c == 0x034F || (c >= 0x200B && c <= 0x200F) || c == 0x2060 || c == 0xFEFF)
            continue;
        if (c == 0x00A0)
            c = u' ';
        if (c == u'\n') {
            while (out.endsWith(QLatin1Char(' ')) || out.endsWith(QLatin1Char('\t')))
                out.chop(1);
            if (++newlines <= 2 && !out.isEmpty())
                out.append(QLatin1Char('\n'));
            continue;
        }
        if (newlines > 0 && c != u' ' && c != u'\t')
            newlines = 0;
        out.append(QChar(c));
    }
    return out.trimmed();
}

QString describe(const MimeTextPart &part)
{
    QString out;
    for (int i = 0; i < part.forwardDepth; ++i)
        out += QLatin1String("message/rfc822 > ");
    out += QString::fromLatin1(part.type);
    if (!part.charset.isEmpty())
        out += QLatin1String("; charset=") + QString::fromLatin1(part.charset).toLower();
    out += QLatin1String("; ")
        + (part.encoding.isEmpty() ? QStringLiteral("7bit") : QString::fromLatin1(part.encoding));
    return out;
}

} // namespace

bool isUtf8Label(const QString &label)
{
    const QString l = label.trimmed().toLower();
    return l.isEmpty() || l == u"utf-8" || l == u"utf8" || l == u"us-ascii" || l == u"ascii";
}

QString textFromCharset(const QByteArray &bytes, const QString &charset)
{
    if (isUtf8Label(charset)) {
        if (bytes.isValidUtf8())
            return QString::fromUtf8(bytes);
        return decodeCharset(bytes, QStringLiteral("windows-1254"));
    }
    return decodeCharset(bytes, charset.trimmed());
}

MailText readMail(const QByteArray &raw)
{
    MailText mail;
    const Split split = splitHeader(raw);
    const QString header = headerText(split.header);
    mail.from = headerValue(header, QStringLiteral("From"));
    mail.subject = headerValue(header, QStringLiteral("Subject"));
    mail.sent = parseMailDate(headerValue(header, QStringLiteral("Date")));

    const QList<MimeTextPart> parts =
        mimeTextParts(raw.left(split.bodyStart + kMailBodyBytes), kMaxDecodedBytes);
    QStringList texts;
    QStringList sources;
    qsizetype length = 0;
    for (const MimeTextPart &part : parts) {
        if (length >= kMailTextChars)
            break;
        const QString label = QString::fromLatin1(part.charset);
        QString text;
        if (part.type == "text/html") {
            const QString html = textFromCharset(part.bytes, label.isEmpty() ? htmlMetaCharset(part.bytes) : label);
            text = htmlVisibleText(html.toUtf8(), kMailTextChars - length);
        } else {
            text = tidyPlain(textFromCharset(part.bytes, label));
        }
        sources.append(describe(part));
        if (text.isEmpty())
            continue;
        length += text.size() + 2;
        texts.append(text);
    }
    if (sources.isEmpty()) {
        // Nothing readable: the start of the body as it stands, for the card.
        mail.text = QString::fromUtf8(raw.mid(split.bodyStart, 2048));
        return mail;
    }
    mail.text = texts.join(QLatin1String("\n\n")).left(kMailTextChars);
    mail.part = sources.join(QLatin1String(" + "));
    return mail;
}
