#pragma once

// Internal to the HTML reader: where its text goes.

#include "recognition/emphasis.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>

namespace htmltext {

inline bool isHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
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
                } else if (isHtmlSpace(char(c))) {
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
                mark(length);
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
    // What the text from now on is set off by (Emphasis::Kind bits).
    void setEmphasis(unsigned kinds) { m_emphasis = kinds; }

    QString take(EmphasisSpans *spans) const
    {
        const QString text = QString::fromUtf8(m_out).left(m_limit);
        if (!spans)
            return text;
        // Octet offsets to UTF-16 offsets, in one walk as spans are in order.
        qsizetype octet = 0, unit = 0;
        const auto unitAt = [&](qsizetype target) {
            while (octet < target && octet < m_out.size()) {
                const auto c = static_cast<unsigned char>(m_out.at(octet));
                const int length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
                octet += length;
                unit += length == 4 ? 2 : 1;
            }
            return unit;
        };
        for (const RawSpan &r : m_spans) {
            const qsizetype from = unitAt(r.from);
            const qsizetype to = std::min(unitAt(r.to), text.size());
            if (to > from)
                spans->append({from, to - from, r.kinds});
        }
        return text;
    }

private:
    struct RawSpan
    {
        qsizetype from, to;
        unsigned kinds;
    };
    static constexpr int kMaxSpans = 512;

    // Records the next `length` octets as emphasised; a run broken only by
    // one space ("482 913") stays one span.
    void mark(int length)
    {
        if (m_emphasis == 0)
            return;
        const qsizetype at = m_out.size();
        if (!m_spans.isEmpty() && m_spans.last().kinds == m_emphasis
            && (m_spans.last().to == at || (m_spans.last().to == at - 1 && m_out.endsWith(' ')))) {
            m_spans.last().to = at + length;
            return;
        }
        if (m_spans.size() < kMaxSpans)
            m_spans.append({at, at + length, m_emphasis});
    }

    void put(char c)
    {
        flush();
        mark(1);
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
    QList<RawSpan> m_spans;
    unsigned m_emphasis = 0;
    qsizetype m_limit;
    qsizetype m_chars = 0;
    bool m_space = false;
    int m_breaks = 0;
};

} // namespace htmltext
