#include "recognition/headerdecode.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringConverter>
#include <QStringList>

#include <glib.h>

#include <cerrno>

namespace {

const int kMaxHeaderValue = 220;
const int kMaxSenderName = 48;

const QRegularExpression &encodedWordPattern()
{
    static const QRegularExpression re = [] {
        QRegularExpression r(QStringLiteral("=\\?([^?]+)\\?([BQbq])\\?([^?]*)\\?="));
        r.optimize();
        return r;
    }();
    return re;
}

const QRegularExpression &angleAddressPattern()
{
    static const QRegularExpression re = [] {
        QRegularExpression r(QStringLiteral("<\\s*([^<>\\s]+@[^<>\\s]+)\\s*>"));
        r.optimize();
        return r;
    }();
    return re;
}

const QRegularExpression &bareAddressPattern()
{
    static const QRegularExpression re = [] {
        QRegularExpression r(QStringLiteral("([A-Za-z0-9._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,})"));
        r.optimize();
        return r;
    }();
    return re;
}

int hexNibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0; // a stray character counts as zero rather than failing the word
}

QByteArray decodeQ(const QString &text)
{
    QByteArray in = text.toUtf8();
    in.replace('_', ' ');
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '=' && i + 2 < in.size()) {
            out.append(char((hexNibble(in.at(i + 1)) << 4) | hexNibble(in.at(i + 2))));
            i += 2;
        } else {
            out.append(c);
        }
    }
    return out;
}

// ISO-8859-9 is Latin-1 with six Turkish letters in place of Icelandic ones;
// Windows-1254 adds the Windows punctuation row. Used only where Qt has no
// converter for the label (builds without ICU).
char16_t turkishLatin(unsigned char b)
{
    switch (b) {
    case 0xD0: return u'\u011E';
    case 0xDD: return u'\u0130';
    case 0xDE: return u'\u015E';
    case 0xF0: return u'\u011F';
    case 0xFD: return u'\u0131';
    case 0xFE: return u'\u015F';
    default: return char16_t(b);
    }
}

char16_t windows1254(unsigned char b)
{
    static const char16_t row80[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0xFFFD, 0xFFFD,
        0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0xFFFD, 0x0178,
    };
    if (b >= 0x80 && b < 0xA0)
        return row80[b - 0x80];
    return turkishLatin(b);
}

QString normalisedLabel(const QString &label)
{
    QString l = label.trimmed().toLower();
    // RFC 2231 allows a language after an asterisk ("utf-8*tr").
    const qsizetype star = l.indexOf(QLatin1Char('*'));
    if (star >= 0)
        l.truncate(star);
    return l;
}

// Qt built without ICU (the Windows build) converts only UTF and Latin-1;
// glib's iconv knows the charsets mail is written in. A broken sequence
// becomes one replacement character and the reading goes on.
bool decodeWithIconv(const QByteArray &bytes, const QString &label, QString *out)
{
    const GIConv cd = g_iconv_open("UTF-8", label.toLatin1().constData());
    if (cd == reinterpret_cast<GIConv>(-1))
        return false;
    QByteArray utf8;
    utf8.reserve(bytes.size() * 2);
    gchar *in = const_cast<gchar *>(bytes.constData());
    gsize inLeft = gsize(bytes.size());
    char buf[4096];
    while (inLeft > 0) {
        gchar *o = buf;
        gsize oLeft = sizeof buf;
        const gsize r = g_iconv(cd, &in, &inLeft, &o, &oLeft);
        const int err = errno;
        utf8.append(buf, qsizetype(sizeof buf - oLeft));
        if (r != gsize(-1) || err == E2BIG)
            continue;
        utf8.append("\xEF\xBF\xBD");
        ++in;
        --inLeft;
        g_iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    g_iconv_close(cd);
    *out = QString::fromUtf8(utf8);
    return true;
}

} // namespace

QString decodeTurkishLegacy(const QByteArray &bytes, bool windowsCodePage)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(QChar(windowsCodePage ? windows1254(b) : turkishLatin(b)));
    }
    return out;
}

QString decodeCharset(const QByteArray &bytes, const QString &charsetLabel)
{
    const QString label = normalisedLabel(charsetLabel);
    if (!label.isEmpty()) {
        QStringDecoder decoder(label.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
        QString text;
        if (decodeWithIconv(bytes, label, &text))
            return text;
        if (label == u"iso-8859-9" || label == u"latin5" || label == u"iso_8859-9")
            return decodeTurkishLegacy(bytes, false);
        if (label == u"windows-1254" || label == u"cp1254")
            return decodeTurkishLegacy(bytes, true);
    }
    return QString::fromUtf8(bytes);
}

QString headerValue(const QString &headerBlock, const QString &field)
{
    const QStringList lines = headerBlock.split(QStringLiteral("\r\n"));
    const QString prefix = field + QLatin1Char(':');

    QString value;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines.at(i).startsWith(prefix, Qt::CaseInsensitive))
            continue;
        value = lines.at(i).mid(prefix.size()).trimmed();
        for (qsizetype j = i + 1; j < lines.size(); ++j) {
            const QString &next = lines.at(j);
            if (next.isEmpty() || (next.at(0) != QLatin1Char(' ') && next.at(0) != QLatin1Char('\t')))
                break;
            value += QLatin1Char(' ') + next.trimmed();
        }
        break;
    }

    QRegularExpressionMatchIterator it = encodedWordPattern().globalMatch(value);
    if (it.hasNext()) {
        QString decoded;
        qsizetype last = 0;
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            decoded += QStringView(value).mid(last, m.capturedStart() - last);
            const QByteArray bytes = m.captured(2).toUpper() == u"B"
                ? QByteArray::fromBase64(m.captured(3).toUtf8())
                : decodeQ(m.captured(3));
            decoded += decodeCharset(bytes, m.captured(1));
            last = m.capturedEnd();
        }
        decoded += QStringView(value).mid(last);
        value = decoded;
    }

    value = value.trimmed();
    if (value.size() > kMaxHeaderValue)
        value.truncate(kMaxHeaderValue);
    return value;
}

QString senderAddress(const QString &from)
{
    QRegularExpressionMatch m = angleAddressPattern().match(from);
    if (m.hasMatch())
        return m.captured(1).trimmed();
    m = bareAddressPattern().match(from);
    if (m.hasMatch())
        return m.captured(1).trimmed();
    return from.trimmed();
}

QString senderName(const QString &from)
{
    QString name = from.trimmed();
    const qsizetype angle = name.indexOf(QLatin1Char('<'));
    if (angle > 0)
        name.truncate(angle);
    name = name.trimmed();
    name.remove(QLatin1Char('"'));
    if (name.isEmpty() || name.contains(QLatin1Char('@'))) {
        const QString address = senderAddress(from);
        const qsizetype at = address.indexOf(QLatin1Char('@'));
        name = at >= 0 ? address.left(at) : address;
    }
    if (name.size() > kMaxSenderName)
        name.truncate(kMaxSenderName);
    return name;
}

QString avatarInitial(const QString &from, const QString &brandName)
{
    const QString source = brandName.isEmpty() ? senderName(from) : brandName;
    for (const char32_t cp : source.toUcs4()) {
        const bool asciiAlnum = (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9');
        if (asciiAlnum || (cp > 0x7F && QChar::isLetterOrNumber(cp))) {
            const char32_t upper = QChar::toUpper(cp);
            return QString::fromUcs4(&upper, 1);
        }
    }
    return QStringLiteral("?");
}

QDateTime parseMailDate(const QString &value)
{
    // [day ","] d month yyyy hh:mm[:ss] zone [comment]
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(?:[A-Za-z]{3},?\s*)?(\d{1,2})\s+([A-Za-z]{3})[a-z]*\s+(\d{2,4})\s+)"
                       R"((\d{1,2}):(\d{2})(?::(\d{2}))?\s*([+-]\d{4}|[A-Za-z]{1,5})?)"));
    const QRegularExpressionMatch m = re.match(value);
    if (!m.hasMatch())
        return {};
    static const QStringList months = {QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mar"),
                                       QStringLiteral("apr"), QStringLiteral("may"), QStringLiteral("jun"),
                                       QStringLiteral("jul"), QStringLiteral("aug"), QStringLiteral("sep"),
                                       QStringLiteral("oct"), QStringLiteral("nov"), QStringLiteral("dec")};
    const int month = int(months.indexOf(m.captured(2).toLower())) + 1;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += year < 50 ? 2000 : 1900;
    else if (m.captured(3).size() == 3)
        year += 1900;
    const QDate date(year, month, m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (month == 0 || !date.isValid() || !time.isValid())
        return {};
    int offsetSeconds = 0;
    const QString zone = m.captured(7).toUpper();
    if (zone.startsWith(QLatin1Char('+')) || zone.startsWith(QLatin1Char('-'))) {
        const int hh = zone.mid(1, 2).toInt();
        const int mm = zone.mid(3, 2).toInt();
        if (hh > 23 || mm > 59)
            return {};
        offsetSeconds = (hh * 60 + mm) * 60 * (zone.startsWith(QLatin1Char('-')) ? -1 : 1);
    } else {
        // Obsolete zone names; unknown ones count as UTC, as the standard says.
        static const QHash<QString, int> names = {{QStringLiteral("EST"), -5}, {QStringLiteral("EDT"), -4},
                                                  {QStringLiteral("CST"), -6}, {QStringLiteral("CDT"), -5},
                                                  {QStringLiteral("MST"), -7}, {QStringLiteral("MDT"), -6},
                                                  {QStringLiteral("PST"), -8}, {QStringLiteral("PDT"), -7}};
        offsetSeconds = names.value(zone, 0) * 3600;
    }
    return QDateTime(date, time, Qt::OffsetFromUTC, offsetSeconds).toUTC();
}
