// HTML to the text a reader sees, in one pass over the octets. Mail HTML is
// read for its text only, so no tree is built: tags mark line breaks, cells
// and regions to leave out (head, style, script, comments, hidden elements).
// A tree-building parser cost 7 to 15 times more per mail (see
// bench/mailtext_bench.cpp) for the same text.
#include "mailtext/htmltext.h"
#include "mailtext/htmlsink.h"
#include "mailtext/htmlstyle.h"
#include "mailtext/mailreader.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace {

using htmltext::TextSink;

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

// The attributes of a start tag that bear on what is seen; values point
// into the document, entities left as they are.
struct Attributes
{
    std::string_view style, classes, bgcolor, color, size;
    bool hidden = false;     // `hidden`, aria-hidden="true", width or height 0
    bool imageBehind = false; // a background picture: colours say nothing then
};

Attributes readAttributes(const char *p, const char *end)
{
    Attributes a;
    while (p < end) {
        while (p < end && (isSpace(*p) || *p == '/'))
            ++p;
        const char *name = p;
        while (p < end && !isSpace(*p) && *p != '=' && *p != '/')
            ++p;
        const std::string_view key(name, std::size_t(p - name));
        while (p < end && isSpace(*p))
            ++p;
        std::string_view value;
        if (p < end && *p == '=') {
            ++p;
            while (p < end && isSpace(*p))
                ++p;
            const char quote = p < end && (*p == '"' || *p == '\'') ? *p : 0;
            if (quote)
                ++p;
            const char *v = p;
            while (p < end && (quote ? *p != quote : !isSpace(*p)))
                ++p;
            value = std::string_view(v, std::size_t(p - v));
            if (quote && p < end)
                ++p;
        }
        const auto is = [&](std::string_view want) {
            if (key.size() != want.size())
                return false;
            for (std::size_t i = 0; i < want.size(); ++i) {
                if (lower(key[i]) != want[i])
                    return false;
            }
            return true;
        };
        const auto valueIs = [&](std::string_view want) {
            if (value.size() != want.size())
                return false;
            for (std::size_t i = 0; i < want.size(); ++i) {
                if (lower(value[i]) != want[i])
                    return false;
            }
            return true;
        };
        if (key.empty()) {
            if (p < end)
                ++p; // a stray character; never stall
            continue;
        }
        if (is("style"))
            a.style = value;
        else if (is("class"))
            a.classes = value;
        else if (is("bgcolor"))
            a.bgcolor = value;
        else if (is("color"))
            a.color = value;
        else if (is("size"))
            a.size = value;
        else if (is("hidden"))
            a.hidden = true;
        else if (is("aria-hidden"))
            a.hidden |= valueIs("true");
        else if (is("width") || is("height"))
            a.hidden |= valueIs("0") || valueIs("0px");
        else if (is("background"))
            a.imageBehind = true;
    }
    return a;
}

class Scanner
{
public:
    Scanner(const QByteArray &html, TextSink &sink)
        : m_p(html.constData()), m_end(html.constData() + html.size()), m_sink(sink)
    {
        Frame root;
        root.color = parseCssColor("black");
        root.background = parseCssColor("white");
        m_stack.push_back(root);
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
    // Text the reader cannot tell from its background is not there for him.
    bool unseen() const
    {
        const Frame &top = m_stack.back();
        return !top.imageBehind && colorsClose(top.color, top.background);
    }

    void text(const char *from, const char *to)
    {
        if (m_skipDepth > 0 || unseen())
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
        m_sink.setEmphasis(m_stack.back().emphasis);
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
        if (m_skipDepth == 0 && !m_inHead && !unseen()) {
            m_sink.setEmphasis(m_stack.back().emphasis);
            m_sink.codePoint(code);
        }
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
                    if (tag == "style")
                        m_sheet.add(std::string_view(m_p, std::size_t(q - m_p)));
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
        if (tag == "body")
            m_inHead = false;
        if (m_inHead) {
            if (flags & HeadOnly)
                return;
            m_inHead = false;
        }
        if (tag == "head") {
            m_inHead = true;
            return;
        }
        const bool selfClosed = attributesEnd > attributes && attributesEnd[-1] == '/';
        Frame frame;
        bool hidden = (flags & Region) != 0;
        if (!hidden)
            hidden = !describe(tag, attributes, attributesEnd, &frame);
        if (hidden) {
            if (!(flags & Void) && !selfClosed) {
                m_skipTag = tag;
                m_skipDepth = 1;
            }
            return;
        }
        if (!(flags & Void) && !selfClosed && m_stack.size() < kMaxDepth)
            m_stack.push_back(std::move(frame));
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
        // Close the element and any left open inside it; a stray end tag
        // closes nothing.
        for (std::size_t k = m_stack.size() - 1, seen = 0; k > 0 && seen < kEndTagSearch; --k, ++seen) {
            if (m_stack[k].tag == tag) {
                m_stack.resize(k);
                break;
            }
        }
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

    // What an element passes on to the text inside it.
    struct Frame
    {
        std::string tag;
        CssColor color, background;
        int fontPx = 16;
        unsigned emphasis = 0;
        bool imageBehind = false;
    };
    // Hostile nesting costs bounded work: deeper elements are read as
    // their parent, an end tag looks this far for its start.
    static constexpr std::size_t kMaxDepth = 256;
    static constexpr std::size_t kEndTagSearch = 24;
    static constexpr int kBodyFontPx = 16;

    // The element's frame; false when it hides its content.
    bool describe(const std::string &tag, const char *attributes, const char *attributesEnd, Frame *frame) const
    {
        const Frame &parent = m_stack.back();
        frame->tag = tag;
        frame->color = parent.color;
        frame->background = parent.background;
        frame->fontPx = parent.fontPx;
        frame->emphasis = parent.emphasis;
        frame->imageBehind = parent.imageBehind;
        if (tag == "b" || tag == "strong")
            frame->emphasis |= Emphasis::Bold;
        else if (tag == "code" || tag == "pre" || tag == "tt" || tag == "kbd" || tag == "samp")
            frame->emphasis |= Emphasis::Mono;
        else if (tag == "h1")
            frame->fontPx = std::max(frame->fontPx, 32);
        else if (tag == "h2")
            frame->fontPx = std::max(frame->fontPx, 24);
        if (attributes == attributesEnd) {
            setLarge(frame);
            return true;
        }
        const Attributes a = readAttributes(attributes, attributesEnd);
        if (a.hidden)
            return false;
        StyleFacts facts;
        if (!a.classes.empty() && !m_sheet.empty()) {
            std::string_view rest = a.classes;
            for (int n = 0; n < 16 && !rest.empty(); ++n) {
                while (!rest.empty() && isSpace(rest.front()))
                    rest.remove_prefix(1);
                std::size_t cut = 0;
                while (cut < rest.size() && !isSpace(rest[cut]))
                    ++cut;
                if (const StyleFacts *c = m_sheet.find(rest.substr(0, cut)))
                    mergeFacts(*c, &facts);
                rest.remove_prefix(cut);
            }
        }
        if (!a.style.empty()) {
            readDeclarations(a.style, &facts);
            frame->imageBehind |= a.style.find("url(") != std::string_view::npos;
        }
        if (facts.hidden)
            return false;
        frame->imageBehind |= a.imageBehind;
        if (!a.color.empty() && tag == "font")
            frame->color = parseCssColor(a.color);
        if (!a.size.empty() && tag == "font" && a.size[0] >= '5' && a.size[0] <= '7')
            frame->fontPx = std::max(frame->fontPx, 24);
        if (!a.bgcolor.empty()) {
            const CssColor bg = parseCssColor(a.bgcolor);
            if (bg.set && bg.a > 0)
                frame->background = bg;
        }
        if (facts.color.set)
            frame->color = facts.color;
        if (facts.background.set && facts.background.a > 0)
            frame->background = facts.background;
        if (!colorsClose(frame->background, parent.background))
            frame->emphasis |= Emphasis::Boxed;
        if (facts.fontPx >= 0)
            frame->fontPx = facts.fontPx;
        else if (facts.fontPercent >= 0)
            frame->fontPx = int(std::min<qint64>(qint64(parent.fontPx) * facts.fontPercent / 100, 1000));
        if (frame->fontPx < 6)
            return false;
        frame->emphasis |= facts.emphasis;
        setLarge(frame);
        return true;
    }

    static void setLarge(Frame *frame)
    {
        if (frame->fontPx >= kBodyFontPx * 5 / 4 && frame->fontPx >= 20)
            frame->emphasis |= Emphasis::Large;
    }

    const char *m_p;
    const char *m_end;
    TextSink &m_sink;
    std::vector<Frame> m_stack;
    ClassSheet m_sheet;
    std::string m_skipTag;
    int m_skipDepth = 0;
    int m_preformatted = 0;
    bool m_inHead = false;
};

} // namespace

QString htmlVisibleText(const QByteArray &utf8, qsizetype limit, EmphasisSpans *emphasis)
{
    TextSink sink(limit);
    Scanner(utf8, sink).run();
    return sink.take(emphasis);
}

QString htmlMetaCharset(const QByteArray &html)
{
    static const QRegularExpression meta(
        QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:-]{1,40})"),
        QRegularExpression::CaseInsensitiveOption);
    return meta.match(QString::fromLatin1(html.left(4096))).captured(1);
}

QString htmlText(const QByteArray &html, const QString &charset, qsizetype limit, EmphasisSpans *emphasis)
{
    const QString label = charset.isEmpty() ? htmlMetaCharset(html) : charset;
    if (isUtf8Label(label)) {
        // Checking the whole input first costs more than the scan; only a
        // replacement character in the text calls for the check.
        EmphasisSpans spans;
        const QString text = htmlVisibleText(html, limit, emphasis ? &spans : nullptr);
        if (!text.contains(QChar::ReplacementCharacter) || readsAsUtf8(html)) {
            if (emphasis)
                *emphasis += spans;
            return text;
        }
    }
    return htmlVisibleText(textFromCharset(html, label).toUtf8(), limit, emphasis);
}

QString htmlToText(const QByteArray &html, const QString &charset, EmphasisSpans *emphasis)
{
    return htmlText(html, charset, std::numeric_limits<qsizetype>::max(), emphasis);
}
