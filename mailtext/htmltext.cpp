// HTML to the text a reader sees, in one pass over the octets. Mail HTML is
// read for its text only, so no tree is built: tags mark line breaks, cells
// and regions to leave out (head, style, script, comments, hidden elements).
// A tree-building parser cost 7 to 15 times more per mail (see
// bench/mailtext_bench.cpp) for the same text.
#include "mailtext/htmltext.h"
#include "mailtext/mailreader.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Builds UTF-8 text with HTML's white space rules: runs collapse to one
// space, blocks end lines, at most one empty line in a row, no space at line
// ends; characters that take no room on screen (senders pad preheaders with
// them) are dropped, no-break spaces count as spaces.
class TextSink
{
public:
    explicit TextSink(qsizetype limit) : m_limit(limit) {}

    void text(const char *s, const char *end, bool preformatted)
    {
        while (s < end) {
            const auto c = static_cast<unsigned char>(*s);
            if (c < 0x80) {
                ++s;
                if (preformatted && (c == '\n' || c == '\r')) {
                    if (c == '\n')
                        lineBreak(1, true);
                } else if (isSpace(char(c))) {
                    m_space = true;
                } else if (c != 0) {
                    put(char(c));
                }
                continue;
            }
            // A multi-octet character; the input is valid UTF-8.
            const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            if (end - s < length)
                return;
            const auto c1 = static_cast<unsigned char>(s[1]);
            const auto c2 = length > 2 ? static_cast<unsigned char>(s[2]) : 0;
            if (c == 0xC2 && c1 == 0xA0) {
                m_space = true;
            } else if (!((c == 0xC2 && c1 == 0xAD) || (c == 0xCD && c1 == 0x8F)
                         || (c == 0xE2 && c1 == 0x80 && c2 >= 0x8B && c2 <= 0x8F)
                         || (c == 0xE2 && c1 == 0x81 && c2 == 0xA0) || (c == 0xEF && c1 == 0xBB && c2 == 0xBF))) {
                flush();
                m_out.append(s, length);
                ++m_chars;
            }
            s += length;
        }
    }
    void codePoint(char32_t code)
    {
        char buffer[4];
        int n = 0;
        if (code < 0x80) {
            buffer[n++] = char(code);
        } else if (code < 0x800) {
            buffer[n++] = char(0xC0 | (code >> 6));
            buffer[n++] = char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            buffer[n++] = char(0xE0 | (code >> 12));
            buffer[n++] = char(0x80 | ((code >> 6) & 0x3F));
            buffer[n++] = char(0x80 | (code & 0x3F));
        } else {
            buffer[n++] = char(0xF0 | (code >> 18));
            buffer[n++] = char(0x80 | ((code >> 12) & 0x3F));
            buffer[n++] = char(0x80 | ((code >> 6) & 0x3F));
            buffer[n++] = char(0x80 | (code & 0x3F));
        }
        text(buffer, buffer + n, false);
    }
    void space() { m_space = true; }
    // `add`: a <br> adds a line, a block only makes sure one is there.
    void lineBreak(int lines, bool add = false)
    {
        m_breaks = add ? qMin(2, m_breaks + lines) : qMax(m_breaks, lines);
    }
    bool full() const { return m_chars >= m_limit; }
    QString take() const { return QString::fromUtf8(m_out).left(m_limit); }

private:
    void put(char c)
    {
        flush();
        m_out.append(c);
        ++m_chars;
    }
    void flush()
    {
        if (m_breaks > 0 && !m_out.isEmpty()) {
            while (m_out.endsWith(' '))
                m_out.chop(1);
            m_out.append(m_breaks > 1 ? "\n\n" : "\n");
            m_chars += m_breaks > 1 ? 2 : 1;
        } else if (m_space && !m_out.isEmpty() && !m_out.endsWith('\n')) {
            m_out.append(' ');
            ++m_chars;
        }
        m_breaks = 0;
        m_space = false;
    }

    QByteArray m_out;
    qsizetype m_limit;
    qsizetype m_chars = 0;
    bool m_space = false;
    int m_breaks = 0;
};

enum TagFlag : unsigned {
    Raw = 1,        // content is never text on screen, read raw up to the end tag
    Region = 2,     // left out with everything in it
    Void = 4,       // has no content and no end tag
    Block = 8,      // ends a line
    Paragraph = 16, // leaves an empty line
    Cell = 32,      // kept apart from its neighbours by a space
    HeadOnly = 64,  // may stand in the head without starting the body
};

struct TagInfo
{
    std::string_view name;
    unsigned flags;
};

// Sorted by name for a binary search; tags not listed are inline.
const TagInfo kTags[] = {
    {"address", Block}, {"area", Void}, {"article", Block}, {"aside", Block}, {"base", Void | HeadOnly},
    {"basefont", Void | HeadOnly}, {"bgsound", Void | HeadOnly}, {"blockquote", Block | Paragraph},
    {"body", Block}, {"br", Void}, {"caption", Block}, {"center", Block}, {"col", Void}, {"dd", Block},
    {"details", Block}, {"dialog", Block}, {"div", Block}, {"dl", Block}, {"dt", Block}, {"embed", Void},
    {"fieldset", Block}, {"figcaption", Block}, {"figure", Block}, {"footer", Block}, {"form", Block},
    {"h1", Block | Paragraph}, {"h2", Block | Paragraph}, {"h3", Block | Paragraph}, {"h4", Block | Paragraph},
    {"h5", Block | Paragraph}, {"h6", Block | Paragraph}, {"header", Block}, {"hr", Block | Void},
    {"html", Block}, {"iframe", Raw}, {"img", Void}, {"input", Void}, {"li", Block}, {"link", Void | HeadOnly},
    {"main", Block}, {"map", Region}, {"math", Region}, {"meta", Void | HeadOnly}, {"nav", Block},
    {"noembed", Raw}, {"noframes", Raw}, {"noscript", Raw}, {"object", Region}, {"ol", Block},
    {"p", Block | Paragraph}, {"param", Void}, {"pre", Block | Paragraph}, {"script", Raw}, {"section", Block},
    {"select", Region}, {"source", Void}, {"style", Raw}, {"summary", Block}, {"svg", Region},
    {"table", Block | Paragraph}, {"tbody", Block}, {"td", Cell}, {"template", Region}, {"textarea", Raw},
    {"tfoot", Block}, {"th", Cell}, {"thead", Block}, {"title", Raw}, {"tr", Block}, {"track", Void},
    {"ul", Block}, {"wbr", Void}, {"xmp", Raw},
};

unsigned tagFlags(std::string_view tag)
{
    const auto found = std::lower_bound(std::begin(kTags), std::end(kTags), tag,
                                        [](const TagInfo &t, std::string_view key) { return t.name < key; });
    return found != std::end(kTags) && found->name == tag ? found->flags : 0;
}

int blockLines(unsigned flags)
{
    return (flags & Paragraph) ? 2 : (flags & Block) ? 1 : 0;
}

// Whether the octets may hold a hiding attribute: "hidden", "none" or
// "mso-hide" in any case; one pass, as most tags hold none of them.
bool mayHide(const char *p, const char *end)
{
    for (; p < end; ++p) {
        const char c = lower(*p);
        if (c == 'h' && end - p >= 6 && lower(p[1]) == 'i' && lower(p[2]) == 'd' && lower(p[3]) == 'd')
            return true;
        if (c == 'n' && end - p >= 4 && lower(p[1]) == 'o' && lower(p[2]) == 'n' && lower(p[3]) == 'e')
            return true;
        if (c == 'm' && end - p >= 8 && lower(p[1]) == 's' && lower(p[2]) == 'o' && p[3] == '-')
            return true;
    }
    return false;
}

// Whether a start tag's attributes hide the element: a `hidden` attribute,
// or an inline style with display:none, visibility:hidden or mso-hide:all.
bool hiddenByAttributes(const char *p, const char *end)
{
    if (!mayHide(p, end))
        return false;
    while (p < end) {
        while (p < end && (isSpace(*p) || *p == '/'))
            ++p;
        const char *name = p;
        while (p < end && !isSpace(*p) && *p != '=' && *p != '/')
            ++p;
        std::string key;
        for (const char *q = name; q < p; ++q)
            key += lower(*q);
        while (p < end && isSpace(*p))
            ++p;
        std::string value;
        if (p < end && *p == '=') {
            ++p;
            while (p < end && isSpace(*p))
                ++p;
            const char quote = p < end && (*p == '"' || *p == '\'') ? *p : 0;
            if (quote)
                ++p;
            while (p < end && (quote ? *p != quote : !isSpace(*p))) {
                if (!isSpace(*p))
                    value += lower(*p);
                ++p;
            }
            if (quote && p < end)
                ++p;
        }
        if (key == "hidden")
            return true;
        if (key == "style"
            && (value.find("display:none") != std::string::npos
                || value.find("visibility:hidden") != std::string::npos
                || value.find("mso-hide:all") != std::string::npos))
            return true;
        if (name == p && p < end)
            ++p; // a stray character; never stall
    }
    return false;
}

class Scanner
{
public:
    Scanner(const QByteArray &html, TextSink &sink)
        : m_p(html.constData()), m_end(html.constData() + html.size()), m_sink(sink)
    {
    }

    void run()
    {
        while (m_p < m_end && !m_sink.full()) {
            const char c = *m_p;
            if (c == '<') {
                markup();
            } else if (c == '&') {
                reference();
            } else {
                const char *q = m_p;
                while (q < m_end && *q != '<' && *q != '&')
                    ++q;
                text(m_p, q);
                m_p = q;
            }
        }
    }

private:
    void text(const char *from, const char *to)
    {
        if (m_skipDepth > 0)
            return;
        if (m_inHead) {
            // Text in the head that is not white space starts the body, as in browsers.
            const char *q = from;
            while (q < to && isSpace(*q))
                ++q;
            if (q == to)
                return;
            m_inHead = false;
        }
        m_sink.text(from, to, m_preformatted > 0);
    }

    void reference()
    {
        char32_t code = 0;
        const qsizetype used = htmlEntity(m_p + 1, m_end, &code);
        if (used == 0) {
            text(m_p, m_p + 1);
            ++m_p;
            return;
        }
        if (m_skipDepth == 0 && !m_inHead)
            m_sink.codePoint(code);
        m_p += 1 + used;
    }

    // Skips past the next occurrence of `needle`, or to the end.
    void skipPast(std::string_view needle)
    {
        const char *q = m_p;
        while (q + needle.size() <= m_end) {
            q = static_cast<const char *>(std::memchr(q, needle[0], std::size_t(m_end - q)));
            if (!q || q + needle.size() > m_end)
                break;
            if (std::memcmp(q, needle.data(), needle.size()) == 0) {
                m_p = q + needle.size();
                return;
            }
            ++q;
        }
        m_p = m_end;
    }

    // Skips the raw content of `tag` and its end tag.
    void skipRaw(std::string_view tag)
    {
        const char *q = m_p;
        while ((q = static_cast<const char *>(std::memchr(q, '<', std::size_t(m_end - q))))) {
            if (q + 2 + tag.size() <= m_end && q[1] == '/') {
                std::size_t i = 0;
                while (i < tag.size() && lower(q[2 + i]) == tag[i])
                    ++i;
                const char *after = q + 2 + tag.size();
                if (i == tag.size() && (after == m_end || isSpace(*after) || *after == '>' || *after == '/')) {
                    m_p = after;
                    skipPast(">");
                    return;
                }
            }
            ++q;
        }
        m_p = m_end;
    }

    void markup()
    {
        const char *start = m_p;
        if (m_end - start >= 4 && std::memcmp(start, "<!--", 4) == 0) {
            m_p = start + 4;
            if (m_p < m_end && *m_p == '>')
                ++m_p; // "<!-->" is an empty comment
            else
                skipPast("-->");
            return;
        }
        if (m_end - start >= 2 && (start[1] == '!' || start[1] == '?')) {
            m_p = start + 2;
            skipPast(">");
            return;
        }
        const bool closing = m_end - start >= 2 && start[1] == '/';
        const char *name = start + (closing ? 2 : 1);
        if (name >= m_end || !isLetter(*name)) {
            text(start, start + 1); // a lone '<' is text
            m_p = start + 1;
            return;
        }
        std::string tag;
        const char *q = name;
        while (q < m_end && !isSpace(*q) && *q != '>' && *q != '/' && tag.size() < 16)
            tag += lower(*q++);
        while (q < m_end && !isSpace(*q) && *q != '>' && *q != '/')
            ++q;
        // Attributes run to the first '>' outside quotes.
        const char *attributes = q;
        char quote = 0;
        while (q < m_end && (quote || *q != '>')) {
            if (quote && *q == quote)
                quote = 0;
            else if (!quote && (*q == '"' || *q == '\'') && q > attributes && (q[-1] == '=' || isSpace(q[-1])))
                quote = *q;
            ++q;
        }
        m_p = q < m_end ? q + 1 : m_end;
        if (closing)
            endTag(tag);
        else
            startTag(tag, attributes, q);
    }

    void startTag(const std::string &tag, const char *attributes, const char *attributesEnd)
    {
        const unsigned flags = tagFlags(tag);
        if (m_skipDepth > 0) {
            if (tag == m_skipTag && !(flags & Void))
                ++m_skipDepth;
            return;
        }
        if (flags & Raw) {
            skipRaw(tag);
            return;
        }
        if (tag == "body") {
            m_inHead = false;
            return;
        }
        if (m_inHead) {
            if (flags & HeadOnly)
                return;
            m_inHead = false;
        }
        if (tag == "head") {
            m_inHead = true;
            return;
        }
        if ((flags & Region) || hiddenByAttributes(attributes, attributesEnd)) {
            if (!(flags & Void)) {
                m_skipTag = tag;
                m_skipDepth = 1;
            }
            return;
        }
        if (tag == "br")
            m_sink.lineBreak(1, true);
        else if (flags & Block)
            m_sink.lineBreak(blockLines(flags));
        else if (flags & Cell)
            m_sink.space();
        if (tag == "pre")
            ++m_preformatted;
    }

    void endTag(const std::string &tag)
    {
        if (m_skipDepth > 0) {
            if (tag == m_skipTag)
                --m_skipDepth;
            return;
        }
        const unsigned flags = tagFlags(tag);
        if (tag == "head")
            m_inHead = false;
        else if (tag == "br")
            m_sink.lineBreak(1, true); // browsers read </br> as <br>
        else if (flags & Block)
            m_sink.lineBreak(blockLines(flags));
        else if (flags & Cell)
            m_sink.space();
        if (tag == "pre" && m_preformatted > 0)
            --m_preformatted;
    }

    const char *m_p;
    const char *m_end;
    TextSink &m_sink;
    std::string m_skipTag;
    int m_skipDepth = 0;
    int m_preformatted = 0;
    bool m_inHead = false;
};

} // namespace

QString htmlVisibleText(const QByteArray &utf8, qsizetype limit)
{
    TextSink sink(limit);
    Scanner(utf8, sink).run();
    return sink.take();
}

QString htmlMetaCharset(const QByteArray &html)
{
    static const QRegularExpression meta(
        QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:-]{1,40})"),
        QRegularExpression::CaseInsensitiveOption);
    return meta.match(QString::fromLatin1(html.left(4096))).captured(1);
}

QString htmlText(const QByteArray &html, const QString &charset, qsizetype limit)
{
    const QString label = charset.isEmpty() ? htmlMetaCharset(html) : charset;
    if (isUtf8Label(label)) {
        // Checking the whole input first costs more than the scan; only a
        // replacement character in the text calls for the check.
        const QString text = htmlVisibleText(html, limit);
        if (!text.contains(QChar::ReplacementCharacter) || readsAsUtf8(html))
            return text;
    }
    return htmlVisibleText(textFromCharset(html, label).toUtf8(), limit);
}

QString htmlToText(const QByteArray &html, const QString &charset)
{
    return htmlText(html, charset, std::numeric_limits<qsizetype>::max());
}
