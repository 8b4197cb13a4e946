#include "mailtext/mailreader.h"

#include "mailtext/htmltext.h"
#include "mailtext/mimewalk.h"
#include "recognition/headerdecode.h"

#include <QStringList>

#include <cstring>

namespace {

// Header blocks of real mail run to several KiB (DKIM, ARC, Received); past
// this the rest is not headers worth reading.
const qsizetype kMaxHeaderBytes = 64 * 1024;
// Decoded octets looked at per mail, all parts together.
const qsizetype kMaxDecodedBytes = 512 * 1024;
// Octets of a plain part turned into text; blank runs shrink, but never this far.
const qsizetype kMaxPlainBytes = 64 * 1024;

struct Split
{
    QByteArray header; // without the empty line
    qsizetype bodyStart = 0;
};

Split splitHeader(const QByteArray &raw)
{
    Split s;
    // The first empty line ends the header block, whatever the line ends.
    const char *data = raw.constData();
    const qsizetype n = raw.size();
    if (n > 0 && (data[0] == '\n' || (n > 1 && data[0] == '\r' && data[1] == '\n'))) {
        s.bodyStart = data[0] == '\n' ? 1 : 2;
        return s;
    }
    for (qsizetype i = raw.indexOf('\n'); i >= 0; i = raw.indexOf('\n', i + 1)) {
        if (i + 1 < n && data[i + 1] == '\n') {
            s.header = raw.left(i > 0 && data[i - 1] == '\r' ? i - 1 : i);
            s.bodyStart = i + 2;
            return s;
        }
        if (i + 2 < n && data[i + 1] == '\r' && data[i + 2] == '\n') {
            s.header = raw.left(i > 0 && data[i - 1] == '\r' ? i - 1 : i);
            s.bodyStart = i + 3;
            return s;
        }
    }
    s.header = raw;
    s.bodyStart = n;
    return s;
}

// The fields read here, with their folded continuation lines, and CRLF line
// ends as headerValue reads them. Trace and signature fields, several KiB in
// real mail, are left out before any decoding.
QString headerText(const QByteArray &header)
{
    static const char *const kFields[] = {"from:", "subject:", "date:", "content-type:"};
    QByteArray out;
    bool keep = false;
    const QByteArray cut = header.left(kMaxHeaderBytes);
    qsizetype at = 0;
    while (at < cut.size()) {
        qsizetype end = cut.indexOf('\n', at);
        if (end < 0)
            end = cut.size();
        qsizetype stop = end;
        if (stop > at && cut.at(stop - 1) == '\r')
            --stop;
        const char first = at < stop ? cut.at(at) : '\0';
        if (first != ' ' && first != '\t') {
            keep = false;
            for (const char *field : kFields) {
                const qsizetype length = qsizetype(std::strlen(field));
                if (stop - at >= length && qstrnicmp(cut.constData() + at, field, length) == 0)
                    keep = true;
            }
        }
        if (keep)
            out.append(cut.constData() + at, stop - at).append("\r\n");
        at = end + 1;
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

// The delimiter a multipart body really uses when its declared boundary is
// missing or wrong: a "--token" line followed by a part header.
QByteArray usedBoundary(const QByteArray &body)
{
    const QByteArray head = body.left(64 * 1024);
    qsizetype at = 0;
    while (at < head.size()) {
        qsizetype end = head.indexOf('\n', at);
        if (end < 0)
            break;
        const QByteArray line = head.mid(at, end - at).trimmed();
        const QByteArray next = head.mid(end + 1, 8);
        at = end + 1;
        if (!line.startsWith("--") || line.size() < 3 || line.size() > 72
            || !next.toLower().startsWith("content-"))
            continue;
        const QByteArray token = line.mid(2);
        bool usable = true;
        for (const char c : token) {
            const bool letter = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (!letter && !QByteArray("'()+_,-./:=? ").contains(c))
                usable = false;
        }
        if (usable)
            return token;
    }
    return QByteArray();
}

QString describe(const MimeTextPart &part)
{
    QString out;
    for (int i = 0; i < part.forwardDepth; ++i)
        out += QLatin1String("message/rfc822 > ");
    out += QString::fromLatin1(part.type);
    if (!part.charset.isEmpty())
        out += QLatin1String("; charset=") + QString::fromLatin1(part.charset.left(40)).toLower();
    out += QLatin1String("; ")
        + (part.encoding.isEmpty() ? QStringLiteral("7bit") : QString::fromLatin1(part.encoding));
    return out;
}

} // namespace

bool readsAsUtf8(const QByteArray &bytes)
{
    // A fetch cut at its octet bound may end inside a character; that alone
    // does not make the rest another charset.
    qsizetype end = bytes.size();
    for (int back = 1; back <= 3 && end - back >= 0; ++back) {
        const auto c = static_cast<unsigned char>(bytes.at(end - back));
        if (c < 0x80)
            break;
        if (c >= 0xC0) {
            const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            if (length > back)
                end -= back;
            break;
        }
    }
    return QByteArrayView(bytes.constData(), end).isValidUtf8();
}

bool isUtf8Label(const QString &label)
{
    const QString l = label.trimmed().toLower();
    return l.isEmpty() || l == u"utf-8" || l == u"utf8" || l == u"us-ascii" || l == u"ascii";
}

QString textFromCharset(const QByteArray &bytes, const QString &charset)
{
    if (isUtf8Label(charset)) {
        if (readsAsUtf8(bytes))
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

    QList<MimeTextPart> parts = mimeTextParts(raw.left(split.bodyStart + kMailBodyBytes), kMaxDecodedBytes);
    if (parts.isEmpty() && headerValue(header, QStringLiteral("Content-Type")).startsWith(u"multipart/", Qt::CaseInsensitive)) {
        const QByteArray body = raw.mid(split.bodyStart, kMailBodyBytes);
        const QByteArray boundary = usedBoundary(body);
        if (!boundary.isEmpty())
            parts = mimeTextParts("Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n" + body,
                                  kMaxDecodedBytes);
    }
    QStringList texts;
    QStringList sources;
    qsizetype length = 0;
    for (const MimeTextPart &part : parts) {
        if (length >= kMailTextChars)
            break;
        const QString label = QString::fromLatin1(part.charset);
        QString text;
        if (part.type == "text/html") {
            EmphasisSpans spans;
            text = htmlText(part.bytes, label, kMailTextChars - length, &spans);
            for (EmphasisSpan &span : spans) {
                span.start += length;
                mail.emphasis.append(span);
            }
        } else {
            // Far more octets than the text keeps are never decoded.
            text = tidyPlain(textFromCharset(part.bytes.left(kMaxPlainBytes), label));
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
    mail.emphasis.removeIf([&](const EmphasisSpan &span) { return span.start + span.length > mail.text.size(); });
    mail.part = sources.join(QLatin1String(" + "));
    return mail;
}
