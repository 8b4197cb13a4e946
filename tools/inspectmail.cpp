#include "tools/inspectmail.h"

#include "mail/categories.h"
#include "mail/mailstore.h"
#include "mailtext/mailreader.h"
#include "recognition/brands.h"
#include "recognition/headerdecode.h"

#include <algorithm>

namespace {

const int kPreviewChars = 140;

// IMAP servers hand out messages with CRLF line ends whatever the file on
// disk used, so bare LF (and lone CR) become CRLF first.
QByteArray withCrlf(const QByteArray &raw)
{
    QByteArray out;
    out.reserve(raw.size() + raw.size() / 32);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c == '\r') {
            out.append("\r\n");
            if (i + 1 < raw.size() && raw.at(i + 1) == '\n')
                ++i;
        } else if (c == '\n') {
            out.append("\r\n");
        } else {
            out.append(c);
        }
    }
    return out;
}

void appendJsonString(QByteArray &out, const QString &text)
{
    out.append('"');
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        switch (u) {
        case u'"': out.append("\\\""); break;
        case u'\\': out.append("\\\\"); break;
        case u'\n': out.append("\\n"); break;
        case u'\r': out.append("\\r"); break;
        case u'\t': out.append("\\t"); break;
        default:
            if (u < 0x20 || ch.isSurrogate()) {
                // Lone surrogates cannot be written as UTF-8; escape them too.
                out.append(QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0')).toLatin1());
            } else {
                out.append(QString(ch).toUtf8());
            }
        }
    }
    out.append('"');
}

void appendMember(QByteArray &out, const char *key, const QString &value)
{
    if (out.size() > 1)
        out.append(',');
    appendJsonString(out, QString::fromLatin1(key));
    out.append(':');
    appendJsonString(out, value);
}

} // namespace

RawMailParts parseRawMail(const QByteArray &raw)
{
    RawMailParts parts;
    if (raw.isEmpty()) {
        parts.error = QStringLiteral("Dosya bos");
        return parts;
    }
    if (raw.contains('\0')) {
        parts.error = QStringLiteral("Ikili veri, mail degil");
        return parts;
    }

    // The poll's own reader, so that what is printed is what the poll keeps.
    const MailText mail = readMail(withCrlf(raw));
    if (mail.from.isEmpty() && mail.subject.isEmpty()) {
        // The mail poll skips such a message too.
        parts.error = QStringLiteral("From ve Subject basligi yok");
        return parts;
    }
    parts.from = mail.from;
    parts.subject = mail.subject;
    parts.text = mail.text;
    parts.part = mail.part;
    parts.sent = mail.sent;
    parts.emphasis = mail.emphasis;
    return parts;
}

MailItem inspectedMail(const QString &from, const QString &subject, const QString &text, const QDateTime &sent,
                       CodeMatch *match, const EmphasisSpans &emphasis)
{
    MailItem mail;
    mail.from = from;
    mail.subject = subject;
    mail.body = text;
    mail.preview = text.simplified().left(kPreviewChars);
    if (mail.preview.isEmpty())
        mail.preview = subject.left(kPreviewChars);
    mail.sent = sent;
    mail.emphasis = emphasis;
    const CodeMatch found = extractMailCode(mail);
    mail.code = found.code;
    mail.confidence = found.confidence;
    if (match)
        *match = found;
    return mail;
}

CodeTrust freshMailTrust(const MailItem &mail, int minConfidence)
{
    MailItem fresh = mail;
    const QDateTime now = mail.sent.isValid() ? mail.sent.addSecs(60) : QDateTime::currentDateTime();
    fresh.received = now;
    return codeTrust(fresh, now, minConfidence);
}

QByteArray inspectionLine(const QString &file, const QString &from, const QString &subject, const QString &text,
                          const QString &part, const QDateTime &sent, int minConfidence,
                          const EmphasisSpans &emphasis)
{
    CodeMatch match;
    const MailItem mail = inspectedMail(from, subject, text, sent, &match, emphasis);
    const CodeTrust trust = freshMailTrust(mail, minConfidence);
    const Brand brand = brandOf(from, subject);

    QByteArray out("{");
    if (file.isEmpty()) {
        out.append("\"file\":null");
    } else {
        appendMember(out, "file", file);
    }
    appendMember(out, "from", from);
    appendMember(out, "subject", subject);
    appendMember(out, "code", match.code);
    out.append(",\"confidence\":").append(QByteArray::number(match.confidence));
    appendMember(out, "tag", match.tag);
    appendMember(out, "category", categoryOf(defaultCategories(), mail));
    appendMember(out, "brand", brand.name);
    appendMember(out, "color", brand.color.isEmpty() ? QString::fromLatin1(kNoBrandColor) : brand.color);
    appendMember(out, "senderName", senderName(from));
    appendMember(out, "senderAddress", senderAddress(from));
    appendMember(out, "initial", avatarInitial(from, brand.name));
    appendMember(out, "part", part);
    out.append(",\"trusted\":").append(trust.trusted ? "true" : "false");
    appendMember(out, "reason", trust.reason);
    out.append(",\"emphasis\":[");
    constexpr int kMaxListed = 40;
    for (int i = 0; i < std::min(int(emphasis.size()), kMaxListed); ++i) {
        const EmphasisSpan &span = emphasis.at(i);
        if (span.start < 0 || span.length <= 0 || span.start + span.length > text.size())
            continue;
        QByteArray item("{");
        appendMember(item, "text", text.mid(span.start, std::min<qsizetype>(span.length, 80)));
        appendMember(item, "kinds", emphasisNames(span.kinds));
        item.append('}');
        if (!out.endsWith('['))
            out.append(',');
        out.append(item);
    }
    out.append(']');
    out.append('}');
    return out;
}
