#include "mailtext/htmltext.h"
#include "mailtext/mailreader.h"

#include <gumbo.h>

#include <QRegularExpression>

#include <cstring>
#include <limits>
#include <vector>

namespace {

// Characters that take no room on screen; senders pad preheaders with them.
bool invisible(char16_t c)
{
    return c == 0x00AD || c == 0x034F || (c >= 0x200B && c <= 0x200F) || c == 0x2060 || c == 0xFEFF;
}

bool collapsible(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == 0x00A0;
}

// Builds the text with HTML's white space rules: runs collapse to one space,
// blocks end lines, at most one empty line in a row, no space at line ends.
class TextSink
{
public:
    explicit TextSink(qsizetype limit) : m_limit(limit) {}

    void text(const char *utf8, size_t length, bool preformatted)
    {
        const QString chunk = QString::fromUtf8(utf8, qsizetype(length));
        for (const QChar ch : chunk) {
            const char16_t c = ch.unicode();
            if (invisible(c))
                continue;
            if (preformatted && (c == u'\n' || c == u'\r')) {
                if (c == u'\n')
                    lineBreak(1, true);
                continue;
            }
            if (collapsible(c)) {
                m_space = true;
                continue;
            }
            flush();
            m_out.append(ch);
        }
    }
    void space() { m_space = true; }
    // `add`: a <br> adds a line, a block only makes sure one is there.
    void lineBreak(int lines, bool add = false)
    {
        m_breaks = add ? qMin(2, m_breaks + lines) : qMax(m_breaks, lines);
    }
    bool full() const { return m_out.size() >= m_limit; }
    QString take() { return m_out.left(m_limit); }

private:
    void flush()
    {
        if (m_breaks > 0 && !m_out.isEmpty()) {
            while (m_out.endsWith(QLatin1Char(' ')))
                m_out.chop(1);
            m_out.append(m_breaks > 1 ? QLatin1String("\n\n") : QLatin1String("\n"));
        } else if (m_space && !m_out.isEmpty() && !m_out.endsWith(QLatin1Char('\n'))) {
            m_out.append(QLatin1Char(' '));
        }
        m_breaks = 0;
        m_space = false;
    }

    QString m_out;
    qsizetype m_limit;
    bool m_space = false;
    int m_breaks = 0;
};

bool skipped(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_SELECT:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_MAP:
        return true;
    default:
        return false;
    }
}

// Lines a block element puts around its content; 0 for inline elements.
int blockLines(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_P:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_PRE:
        return 2;
    case GUMBO_TAG_ADDRESS:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_FIGURE:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_SUMMARY:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TFOOT:
    case GUMBO_TAG_TR:
    case GUMBO_TAG_UL:
        return 1;
    default:
        return 0;
    }
}

bool cell(GumboTag tag)
{
    return tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH;
}

// Whether an element's inline style or attributes hide it from the reader.
bool hidden(const GumboElement &element)
{
    if (gumbo_get_attribute(&element.attributes, "hidden"))
        return true;
    const GumboAttribute *style = gumbo_get_attribute(&element.attributes, "style");
    if (!style || !style->value)
        return false;
    QByteArray css(style->value);
    css = css.toLower();
    css.replace(' ', QByteArray()).replace('\t', QByteArray()).replace('\n', QByteArray()).replace('\r', QByteArray());
    return css.contains("display:none") || css.contains("visibility:hidden") || css.contains("mso-hide:all");
}

struct Step
{
    const GumboNode *node;
    bool leaving; // after the element's children
};

void walk(const GumboNode *root, TextSink &sink)
{
    std::vector<Step> stack{{root, false}};
    int preformatted = 0;
    while (!stack.empty() && !sink.full()) {
        const Step step = stack.back();
        stack.pop_back();
        const GumboNode *node = step.node;
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE
            || node->type == GUMBO_NODE_CDATA) {
            sink.text(node->v.text.text, std::strlen(node->v.text.text), preformatted > 0);
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT
            && node->type != GUMBO_NODE_TEMPLATE)
            continue; // comments
        const GumboVector *children =
            node->type == GUMBO_NODE_DOCUMENT ? &node->v.document.children : &node->v.element.children;
        const GumboTag tag = node->type == GUMBO_NODE_DOCUMENT ? GUMBO_TAG_UNKNOWN : node->v.element.tag;
        if (step.leaving) {
            if (tag == GUMBO_TAG_PRE)
                --preformatted;
            if (const int lines = blockLines(tag))
                sink.lineBreak(lines);
            else if (cell(tag))
                sink.space();
            continue;
        }
        if (node->type != GUMBO_NODE_DOCUMENT) {
            if (skipped(tag) || hidden(node->v.element))
                continue;
            if (tag == GUMBO_TAG_BR) {
                sink.lineBreak(1, true);
                continue;
            }
            if (const int lines = blockLines(tag))
                sink.lineBreak(lines);
            else if (cell(tag))
                sink.space();
            if (tag == GUMBO_TAG_PRE)
                ++preformatted;
        }
        stack.push_back({node, true});
        for (unsigned i = children->length; i > 0; --i)
            stack.push_back({static_cast<const GumboNode *>(children->data[i - 1]), false});
    }
}

} // namespace

QString htmlVisibleText(const QByteArray &utf8, qsizetype limit)
{
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // parse errors are of no use here and cost allocations
    GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    if (!output)
        return QString();
    TextSink sink(limit);
    walk(output->document, sink);
    gumbo_destroy_output(&options, output);
    return sink.take();
}

QString htmlMetaCharset(const QByteArray &html)
{
    static const QRegularExpression meta(
        QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:-]{1,40})"),
        QRegularExpression::CaseInsensitiveOption);
    return meta.match(QString::fromLatin1(html.left(4096))).captured(1);
}

QString htmlToText(const QByteArray &html, const QString &charset)
{
    const QString label = charset.isEmpty() ? htmlMetaCharset(html) : charset;
    const qsizetype unbounded = std::numeric_limits<qsizetype>::max();
    if (isUtf8Label(label) && html.isValidUtf8())
        return htmlVisibleText(html, unbounded);
    return htmlVisibleText(textFromCharset(html, label).toUtf8(), unbounded);
}
