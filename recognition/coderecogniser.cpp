#include "recognition/coderecogniser.h"

#include "recognition/codewords.h"

#include <QVarLengthArray>
#include <QVector>

#include <algorithm>
#include <utility>

namespace {

using namespace CodeWord;

// Work stays bounded on huge texts; codes sit near the top of a mail.
constexpr qsizetype kMaxTextChars = 128 * 1024;
// How far a keyword may stand from its code, in words other than fillers.
constexpr int kKeywordReach = 4;

enum class Kind : quint8 { Digits, Letters, Mixed, Word };

struct Token
{
    qsizetype start = 0;
    qsizetype end = 0;
    int line = 0;
    Kind kind = Kind::Word;
    unsigned flags = 0;
    bool upper = false;  // every letter is an ASCII capital in the mail
    bool masked = false; // inside a link or an e-mail address
    bool negated = false; // a code noun turned into a label (promo code)
};

struct Line
{
    int firstToken = 0;
    int endToken = 0;
    bool css = false;
    bool address = false;
    bool price = false; // an amount stands on it: 12,99 or a currency
};

enum class Shape { Six, Digits, Split, Spaced, Mixed, Letters, AlnumDash };

struct Candidate
{
    int firstTok = 0;
    int lastTok = 0;
    Shape shape = Shape::Digits;
    QString code;
};

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlnum(char16_t c)
{
    return isAsciiDigit(c) || isAsciiLetter(c);
}

bool isWordChar(char16_t c)
{
    return isAsciiAlnum(c) || (c >= 0x80 && !QChar::isSurrogate(c) && QChar::isLetter(char32_t(c)));
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Characters that tie a number to a link, an amount, an id or a colour.
bool isGlueChar(char16_t c)
{
    switch (c) {
    case u'/': case u'\\': case u'=': case u'@': case u'#': case u'&': case u'%': case u'+': case u'$':
    case u'_': case u'~': case u'^': case 0x20AC: case 0xA3: case 0xA5: case 0x20BA: case 0x20BD: case 0xA9:
        return true;
    default:
        return false;
    }
}

bool isCurrencySymbol(char16_t c)
{
    return c == u'$' || c == 0x20AC || c == 0xA3 || c == 0xA5 || c == 0x20BA || c == 0x20BD;
}

// Mail text as the scanner wants it: invisible characters gone, exotic
// spaces and hyphens made plain, full-width digits made ASCII.
void appendClean(QString &out, QStringView in, bool oneLine)
{
    const qsizetype start = out.size();
    out.resize(start + in.size());
    char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + start;
    qsizetype written = 0;
    for (qsizetype i = 0; i < in.size(); ++i) {
        char16_t c = in.at(i).unicode();
        switch (c) {
        case 0x200B: case 0x200C: case 0x200D: case 0x2060: case 0xFEFF: case 0xAD: case 0x34F:
            continue;
        case u'\r':
            if (i + 1 < in.size() && in.at(i + 1) == u'\n')
                continue;
            c = u'\n';
            break;
        case 0xA0: case 0x2007: case 0x202F: case 0x205F: case 0x3000: case u'\f': case u'\v':
            c = u' ';
            break;
        case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2212: case 0xFE63: case 0xFF0D:
            c = u'-';
            break;
        default:
            if (c >= 0x2000 && c <= 0x200A)
                c = u' ';
            else if (c >= 0xFF10 && c <= 0xFF19)
                c = char16_t(u'0' + (c - 0xFF10));
            break;
        }
        if (oneLine && c == u'\n')
            c = u' ';
        dst[written++] = c;
    }
    out.resize(start + written);
}

class Scanner
{
public:
    Scanner(const QString &subject, const QString &text);
    CodeMatch best() const;

private:
    void tokenise();
    void maskLinksAndAddresses();
    void classifyWords();
    void describeLines();
    void collectCandidates(QVector<Candidate> &out) const;
    void collectDigitChain(int &i, QVector<Candidate> &out) const;
    void collectWordCandidate(int &i, QVector<Candidate> &out) const;
    bool gluedBefore(qsizetype pos) const;
    bool gluedAfter(qsizetype pos) const;
    bool breakBetween(qsizetype from, qsizetype to) const;
    bool onlySpacesBetween(qsizetype from, qsizetype to) const;
    int score(const Candidate &c, QString *tag) const;
    bool sentenceHas(int tok, unsigned flag) const;
    bool percentInSentence(int tok) const;
    int previousFilledLine(int line) const;
    int nextFilledLine(int line) const;
    QStringView fold(const Token &t) const { return QStringView(m_fold).mid(t.start, t.end - t.start); }

    QString m_text;
    QString m_fold;
    QVector<Token> m_tokens;
    QVector<Line> m_lines;
    QVarLengthArray<std::pair<qsizetype, qsizetype>, 16> m_masks;
    bool m_mailCode = false;
    bool m_mailContext = false;
    bool m_subjectCode = false;
    bool m_subjectContext = false;
    bool m_booking = false; // a reservation or ticket: its codes are booking references
};

Scanner::Scanner(const QString &subject, const QString &text)
{
    m_text.reserve(subject.size() + 1 + std::min(text.size(), kMaxTextChars));
    appendClean(m_text, subject, true);
    m_text.append(QLatin1Char('\n'));
    appendClean(m_text, QStringView(text).left(kMaxTextChars), false);
    m_fold = m_text;
    char16_t *f = reinterpret_cast<char16_t *>(m_fold.data());
    for (qsizetype i = 0; i < m_fold.size(); ++i)
        f[i] = foldedChar(f[i]);
    tokenise();
    maskLinksAndAddresses();
    classifyWords();
    describeLines();
}

void Scanner::tokenise()
{
    const char16_t *s = reinterpret_cast<const char16_t *>(m_text.constData());
    const qsizetype n = m_text.size();
    int line = 0;
    m_lines.append(Line{});
    for (qsizetype i = 0; i < n;) {
        if (s[i] == u'\n') {
            m_lines.last().endToken = int(m_tokens.size());
            m_lines.append(Line{int(m_tokens.size()), int(m_tokens.size()), false, false, false});
            ++line;
            ++i;
            continue;
        }
        if (!isWordChar(s[i])) {
            ++i;
            continue;
        }
        Token t;
        t.start = i;
        t.line = line;
        bool digit = false, letter = false, other = false, lower = false;
        while (i < n && isWordChar(s[i])) {
            digit |= isAsciiDigit(s[i]);
            letter |= isAsciiLetter(s[i]);
            lower |= s[i] >= u'a' && s[i] <= u'z';
            other |= s[i] >= 0x80;
            ++i;
        }
        t.end = i;
        t.kind = other ? Kind::Word : !letter ? Kind::Digits : !digit ? Kind::Letters : Kind::Mixed;
        t.upper = letter && !lower && !other;
        m_tokens.append(t);
    }
    m_lines.last().endToken = int(m_tokens.size());
}

void Scanner::maskLinksAndAddresses()
{
    const qsizetype n = m_fold.size();
    const auto spanEnd = [&](qsizetype from) {
        while (from < n) {
            const char16_t c = m_fold.at(from).unicode();
            if (isSpace(c) || c == u'<' || c == u'>' || c == u'"' || c == u'\'' || c == u'`')
                break;
            ++from;
        }
        return from;
    };
    for (qsizetype i = 0; i < n;) {
        qsizetype hit = -1;
        for (const char16_t *scheme : {u"http://", u"https://", u"www."}) {
            const qsizetype at = m_fold.indexOf(QStringView(scheme), i);
            if (at >= 0 && (hit < 0 || at < hit))
                hit = at;
        }
        if (hit < 0)
            break;
        const qsizetype end = spanEnd(hit);
        m_masks.append({hit, end});
        i = end;
    }
    for (qsizetype at = m_fold.indexOf(QLatin1Char('@')); at >= 0; at = m_fold.indexOf(QLatin1Char('@'), at + 1)) {
        qsizetype left = at;
        while (left > 0) {
            const char16_t c = m_fold.at(left - 1).unicode();
            if (!isAsciiAlnum(c) && c != u'.' && c != u'_' && c != u'%' && c != u'+' && c != u'-')
                break;
            --left;
        }
        qsizetype right = at + 1;
        bool dot = false;
        while (right < n) {
            const char16_t c = m_fold.at(right).unicode();
            if (!isAsciiAlnum(c) && c != u'.' && c != u'-')
                break;
            dot |= c == u'.';
            ++right;
        }
        if (left < at && dot)
            m_masks.append({left, right});
    }
    if (m_masks.isEmpty())
        return;
    for (Token &t : m_tokens) {
        for (const auto &m : m_masks) {
            if (t.start < m.second && t.end > m.first) {
                t.masked = true;
                break;
            }
        }
    }
}

void Scanner::classifyWords()
{
    for (int i = 0; i < m_tokens.size(); ++i) {
        Token &t = m_tokens[i];
        if (t.masked || t.kind == Kind::Digits)
            continue;
        QStringView next;
        if (i + 1 < m_tokens.size() && m_tokens[i + 1].line == t.line && m_tokens[i + 1].start - t.end <= 1)
            next = fold(m_tokens[i + 1]);
        t.flags = codeWordFlags(fold(t), next);
    }
    // A code noun next to a modifier names something else: "promo code",
    // "posta kodu", "code postal", "codigo de descuento".
    for (int i = 0; i < m_tokens.size(); ++i) {
        Token &t = m_tokens[i];
        if (!(t.flags & CodeNoun))
            continue;
        if (i > 0 && m_tokens[i - 1].line == t.line && (m_tokens[i - 1].flags & Modifier)
            && onlySpacesBetween(m_tokens[i - 1].end, t.start))
            t.negated = true;
        for (int j = i + 1; j < m_tokens.size() && j <= i + 2 && m_tokens[j].line == t.line; ++j) {
            const QStringView w = fold(m_tokens[j]);
            if (m_tokens[j].flags & Modifier) {
                t.negated = true;
                break;
            }
            if (w != u"de" && w != u"du" && w != u"of" && w != u"del")
                break;
        }
        // Turkish "<noun> kodu" names that noun's code ("bina kodu", "urun
        // kodu"); only verification words, fillers and a few others make
        // it a code to type.
        if (!t.negated && fold(t) == u"kodu" && i > 0 && m_tokens[i - 1].line == t.line
            && onlySpacesBetween(m_tokens[i - 1].end, t.start)) {
            const Token &p = m_tokens[i - 1];
            static const char16_t *const owners[] = {u"onay", u"aktivasyon", u"erisim", u"icin", u"olan", u"bu",
                                                     u"yeni", u"tek", u"gecici", u"mail", u"eposta", u"islem"};
            bool owned = (p.flags & (Context | CodeNoun | Filler)) != 0;
            for (const char16_t *o : owners)
                owned |= fold(p) == QStringView(o);
            t.negated = !owned;
        }
        if (t.negated) {
            t.flags = (t.flags & ~unsigned(CodeNoun)) | Label;
            continue;
        }
        (t.line == 0 ? m_subjectCode : m_mailCode) = true;
    }
    for (const Token &t : std::as_const(m_tokens)) {
        if (t.flags & Context)
            (t.line == 0 ? m_subjectContext : m_mailContext) = true;
    }
    m_mailCode |= m_subjectCode;
    m_mailContext |= m_subjectContext;
    bool booking = false, signIn = false;
    for (const Token &t : std::as_const(m_tokens)) {
        booking |= (t.flags & Booking) != 0;
        signIn |= (t.flags & Context) != 0;
    }
    m_booking = booking && !signIn;
}

void Scanner::describeLines()
{
    for (Line &l : m_lines) {
        if (l.firstToken >= l.endToken)
            continue;
        const qsizetype from = m_tokens[l.firstToken].start;
        const qsizetype to = m_tokens[l.endToken - 1].end;
        int colons = 0, semicolons = 0;
        for (qsizetype i = from; i < to; ++i) {
            const QChar c = m_text.at(i);
            if (c == u'{' || c == u'}')
                l.css = true;
            colons += c == u':';
            semicolons += c == u';';
        }
        l.css |= colons >= 2 && semicolons >= 2;
        for (int t = l.firstToken; t < l.endToken; ++t) {
            const Token &k = m_tokens[t];
            l.address |= (k.flags & Street) && !k.masked;
            l.price |= (k.flags & Currency) != 0;
            // Two decimals after a separator: 1.299,00 or 12.99.
            if (k.kind == Kind::Digits && k.end - k.start == 2 && k.start >= 2
                && (m_text.at(k.start - 1) == u',' || m_text.at(k.start - 1) == u'.')
                && isAsciiDigit(m_text.at(k.start - 2).unicode())
                && (k.end >= m_text.size() || !isAsciiAlnum(m_text.at(k.end).unicode())))
                l.price = true;
        }
        for (qsizetype i = from; i < to && !l.price; ++i)
            l.price = isCurrencySymbol(m_text.at(i).unicode());
    }
}

bool Scanner::onlySpacesBetween(qsizetype from, qsizetype to) const
{
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = m_text.at(i).unicode();
        if (c != u' ' && c != u'\t' && c != u'-')
            return false;
    }
    return true;
}

// A line end or the end of a sentence between two positions.
bool Scanner::breakBetween(qsizetype from, qsizetype to) const
{
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = m_text.at(i).unicode();
        if (c == u'\n' || c == u'|')
            return true;
        if ((c == u'.' || c == u'!' || c == u'?') && (i + 1 >= m_text.size() || isSpace(m_text.at(i + 1).unicode())))
            return true;
    }
    return false;
}

bool Scanner::gluedBefore(qsizetype pos) const
{
    if (pos == 0)
        return false;
    const char16_t c = m_text.at(pos - 1).unicode();
    if (isGlueChar(c))
        return true;
    const char16_t b = pos >= 2 ? m_text.at(pos - 2).unicode() : u' ';
    if ((c == u'.' || c == u',') && isAsciiAlnum(b))
        return true;
    if (c == u':' && isAsciiDigit(b))
        return true;
    if (c == u'-' && isAsciiAlnum(b)) {
        // "G-123456": a one-letter prefix before the digits is the sender's mark.
        const bool oneLetter = isAsciiLetter(b) && (pos < 3 || !isAsciiAlnum(m_text.at(pos - 3).unicode()));
        return !oneLetter;
    }
    return false;
}

bool Scanner::gluedAfter(qsizetype pos) const
{
    if (pos >= m_text.size())
        return false;
    const char16_t c = m_text.at(pos).unicode();
    if (isGlueChar(c) && c != u'+')
        return true;
    const char16_t a = pos + 1 < m_text.size() ? m_text.at(pos + 1).unicode() : u' ';
    return (c == u'.' || c == u',' || c == u':' || c == u'-') && isAsciiAlnum(a);
}

void Scanner::collectCandidates(QVector<Candidate> &out) const
{
    for (int i = 0; i < m_tokens.size();) {
        const Token &t = m_tokens[i];
        if (t.masked || m_lines[t.line].css) {
            ++i;
            continue;
        }
        if (t.kind == Kind::Digits)
            collectDigitChain(i, out);
        else
            collectWordCandidate(i, out);
    }
}

// A run of digit groups joined by one separator each: a code in groups
// ("482 913"), a phone or card number, a date, a time or an amount.
void Scanner::collectDigitChain(int &i, QVector<Candidate> &out) const
{
    const int first = i;
    QVarLengthArray<QStringView, 8> seps;
    int last = i;
    while (last + 1 < m_tokens.size()) {
        const Token &a = m_tokens[last];
        const Token &b = m_tokens[last + 1];
        if (b.kind != Kind::Digits || b.line != a.line || b.masked)
            break;
        const QStringView sep = QStringView(m_text).mid(a.end, b.start - a.end);
        static const char16_t *const allowed[] = {u" ", u"-", u".", u"/", u":", u",", u") ", u")", u" (", u"("};
        bool ok = false;
        for (const char16_t *s : allowed)
            ok |= sep == QStringView(s);
        if (!ok)
            break;
        seps.append(sep);
        ++last;
    }
    i = last + 1;

    const Token &head = m_tokens[first];
    const Token &tail = m_tokens[last];
    // A leading plus or an opening parenthesis makes it a phone number.
    qsizetype before = head.start;
    while (before > 0 && m_text.at(before - 1) == u' ' && head.start - before < 1)
        --before;
    if (before > 0 && (m_text.at(before - 1) == u'+' || m_text.at(before - 1) == u'('))
        return;
    if (gluedBefore(head.start) || gluedAfter(tail.end))
        return;

    if (seps.isEmpty()) {
        const qsizetype len = head.end - head.start;
        if (len >= 4 && len <= 8)
            out.append({first, first, len == 6 ? Shape::Six : Shape::Digits, m_text.mid(head.start, len)});
        return;
    }

    QVarLengthArray<int, 8> lengths;
    int total = 0;
    for (int k = first; k <= last; ++k) {
        lengths.append(int(m_tokens[k].end - m_tokens[k].start));
        total += lengths.last();
    }
    const bool sameSep = std::all_of(seps.begin(), seps.end(), [&](QStringView s) { return s == seps.first(); });
    const bool spaces = sameSep && seps.first() == u" ";
    if (sameSep && (spaces || seps.first() == u"-")) {
        const bool shape33 = lengths.size() == 2 && lengths[0] == 3 && lengths[1] == 3;
        const bool shape44 = lengths.size() == 2 && lengths[0] == 4 && lengths[1] == 4;
        const bool shape222 = lengths.size() == 3 && lengths[0] == 2 && lengths[1] == 2 && lengths[2] == 2;
        if (shape33 || shape44 || shape222) {
            QString code;
            for (int k = first; k <= last; ++k)
                code += m_text.mid(m_tokens[k].start, m_tokens[k].end - m_tokens[k].start);
            out.append({first, last, Shape::Split, code});
            return;
        }
    }
    if (!spaces)
        return; // dates, times, amounts, phone numbers, ids
    if (std::all_of(lengths.begin(), lengths.end(), [](int l) { return l == 1; })) {
        if (lengths.size() >= 4 && lengths.size() <= 8) {
            QString code;
            for (int k = first; k <= last; ++k)
                code += m_text.at(m_tokens[k].start);
            out.append({first, last, Shape::Spaced, code});
        }
        return;
    }
    if (std::all_of(lengths.begin(), lengths.end(), [](int l) { return l <= 4; }) && total >= 9)
        return; // a phone or card number in groups
    for (int k = first; k <= last; ++k) {
        const int len = lengths[k - first];
        if (len >= 4 && len <= 8)
            out.append({k, k, len == 6 ? Shape::Six : Shape::Digits,
                        m_text.mid(m_tokens[k].start, m_tokens[k].end - m_tokens[k].start)});
    }
}

bool hasUnitSuffix(QStringView token)
{
    qsizetype digits = 0;
    while (digits < token.size() && isAsciiDigit(token.at(digits).unicode()))
        ++digits;
    if (digits == 0)
        return false;
    const QStringView rest = token.mid(digits);
    for (qsizetype k = 0; k < rest.size(); ++k) {
        if (!isAsciiLetter(rest.at(k).unicode()))
            return false;
    }
    return rest.size() <= 3;
}

void Scanner::collectWordCandidate(int &i, QVector<Candidate> &out) const
{
    const Token &t = m_tokens[i];
    const int here = i++;
    if (t.kind == Kind::Word)
        return;
    const qsizetype len = t.end - t.start;
    // "ABCD-1234", "ZXR-4TK": two halves of three to five around a hyphen.
    if (len >= 3 && len <= 5 && here + 1 < m_tokens.size()) {
        const Token &u = m_tokens[here + 1];
        const qsizetype ulen = u.end - u.start;
        if (u.line == t.line && u.start == t.end + 1 && m_text.at(t.end) == u'-' && u.kind != Kind::Word
            && ulen >= 3 && ulen <= 5 && !gluedBefore(t.start) && !gluedAfter(u.end) && !u.masked
            && (t.kind != Kind::Letters || u.kind != Kind::Letters)
            && (t.kind != Kind::Digits || u.kind != Kind::Digits)
            && !(t.kind == Kind::Letters && u.kind == Kind::Digits)) { // PROJ-4821, INV-2024: ids
            i = here + 2;
            out.append({here, here + 1, Shape::AlnumDash, m_text.mid(t.start, len) + m_text.mid(u.start, ulen)});
            return;
        }
    }
    if (len < 4 || len > 10 || gluedBefore(t.start) || gluedAfter(t.end))
        return;
    const QStringView raw = QStringView(m_text).mid(t.start, len);
    if (t.kind == Kind::Mixed) {
        if (!hasUnitSuffix(raw))
            out.append({here, here, Shape::Mixed, raw.toString()});
        return;
    }
    // Letters alone: only shapes no word has (all capitals, or capitals
    // inside), and no known word.
    if (t.flags != 0)
        return;
    bool innerUpper = false;
    for (qsizetype k = 1; k < raw.size(); ++k)
        innerUpper |= raw.at(k).isUpper();
    if (t.upper || innerUpper)
        out.append({here, here, Shape::Letters, raw.toString()});
}

bool Scanner::sentenceHas(int tok, unsigned flag) const
{
    const Token &t = m_tokens[tok];
    for (int j = tok - 1, seen = 0; j >= 0 && seen < 40; --j, ++seen) {
        if (breakBetween(m_tokens[j].end, m_tokens[j + 1].start))
            break;
        if (m_tokens[j].flags & flag)
            return true;
    }
    for (int j = tok + 1, seen = 0; j < m_tokens.size() && seen < 40; ++j, ++seen) {
        if (breakBetween(m_tokens[j - 1].end, m_tokens[j].start))
            break;
        if (m_tokens[j].flags & flag)
            return true;
    }
    return (t.flags & flag) != 0;
}

// "20%", "%20": the sentence talks about a discount or a rate.
bool Scanner::percentInSentence(int tok) const
{
    qsizetype from = m_tokens[tok].start, to = m_tokens[tok].end;
    while (from > 0 && !breakBetween(from - 1, from))
        --from;
    while (to < m_text.size() && !breakBetween(to, to + 1))
        ++to;
    for (qsizetype i = from; i < to; ++i) {
        if (m_text.at(i) != u'%')
            continue;
        if ((i > 0 && isAsciiDigit(m_text.at(i - 1).unicode()))
            || (i + 1 < m_text.size() && isAsciiDigit(m_text.at(i + 1).unicode())))
            return true;
    }
    return false;
}

int Scanner::previousFilledLine(int line) const
{
    for (int l = line - 1; l >= 1; --l) {
        if (m_lines[l].firstToken < m_lines[l].endToken)
            return l;
    }
    return -1;
}

int Scanner::nextFilledLine(int line) const
{
    if (line == 0)
        return -1;
    for (int l = line + 1; l < m_lines.size(); ++l) {
        if (m_lines[l].firstToken < m_lines[l].endToken)
            return l;
    }
    return -1;
}

// The candidate's score (0 or less: not a code) and what carried it.
int Scanner::score(const Candidate &c, QString *tag) const
{
    const Token &head = m_tokens[c.firstTok];
    const Token &tail = m_tokens[c.lastTok];
    const Line &line = m_lines[head.line];
    const bool digits = c.shape == Shape::Six || c.shape == Shape::Digits || c.shape == Shape::Split
                        || c.shape == Shape::Spaced;

    // Words before the candidate, in its sentence.
    bool codeBefore = false, contextBefore = false;
    int codeGap = 0, contextGap = 0;
    int words = 0;
    for (int j = c.firstTok - 1; j >= 0 && c.firstTok - j <= 8; --j) {
        const Token &t = m_tokens[j];
        if (breakBetween(t.end, m_tokens[j + 1].start))
            break;
        if (j == c.firstTok - 1) {
            const bool adjacent = t.end + 2 >= head.start;
            if ((t.flags & Month) && adjacent)
                return 0;
            if ((t.flags & Currency) && adjacent)
                return 0;
            if (digits && c.code.size() == 5 && isUsState(QStringView(m_text).mid(t.start, t.end - t.start)))
                return 0;
        }
        if (t.flags & Copyright)
            return 0;
        if (t.flags & CodeNoun) {
            codeBefore = true;
            codeGap = words;
            break;
        }
        if ((t.flags & Label) && words < 2)
            return 0;
        if (t.flags & Context) {
            if (!contextBefore) {
                contextBefore = true;
                contextGap = words;
            }
            continue;
        }
        if (t.flags & Filler)
            continue;
        if (++words > kKeywordReach)
            break;
    }
    for (qsizetype k = head.start - 1; k >= 0 && head.start - k <= 3; --k) {
        const char16_t ch = m_text.at(k).unicode();
        if (ch == 0xA9 || isCurrencySymbol(ch))
            return 0;
        if (ch != u' ' && ch != u'(' && ch != u')' && ch != u'c' && ch != u'C')
            break;
    }

    // Words after it.
    bool codeAfter = false, contextAfter = false;
    words = 0;
    for (int j = c.lastTok + 1; j < m_tokens.size() && j - c.lastTok <= 8; ++j) {
        const Token &t = m_tokens[j];
        if (breakBetween(m_tokens[j - 1].end, t.start))
            break;
        if (j == c.lastTok + 1 && (t.flags & (Unit | Currency | Month)) && t.start <= tail.end + 2)
            return 0;
        if (t.flags & CodeNoun) {
            codeAfter = true;
            break;
        }
        if (t.flags & Label)
            return 0;
        if (t.flags & Context) {
            contextAfter = true;
            continue;
        }
        if (t.flags & Filler)
            continue;
        if (++words > kKeywordReach)
            break;
    }

    // Alone on its line, and what the lines around say.
    const bool alone = line.firstToken == c.firstTok && line.endToken == c.lastTok + 1;
    bool announced = false, announcedByContext = false, announcedAfter = false, announcedRightAbove = false;
    if (alone) {
        const int prev = previousFilledLine(head.line);
        // A short label line right above: "Order number" over its number.
        if (head.line > 0 && prev > 0 && m_lines[prev].endToken - m_lines[prev].firstToken <= 4) {
            const Line &p = m_lines[prev];
            int last = p.endToken - 1;
            while (last > p.firstToken && (m_tokens[last].flags & Filler))
                --last;
            if ((m_tokens[last].flags & Label) && !(m_tokens[last].flags & CodeNoun))
                return 0; // "Order number" above the number
        }
        for (int l = head.line - 1, seen = 0; l >= 1 && seen < 3; --l) {
            const Line &p = m_lines[l];
            if (p.firstToken == p.endToken)
                continue;
            ++seen;
            for (int t = p.firstToken; t < p.endToken; ++t) {
                announced |= (m_tokens[t].flags & CodeNoun) != 0;
                announcedByContext |= (m_tokens[t].flags & Context) != 0;
                announcedRightAbove |= seen == 1 && (m_tokens[t].flags & CodeNoun);
            }
        }
        const int next = nextFilledLine(head.line);
        if (next > 0) {
            for (int t = m_lines[next].firstToken; t < m_lines[next].endToken; ++t)
                announcedAfter |= (m_tokens[t].flags & CodeNoun) != 0;
        }
    }

    // Things that make it something else.
    if (c.shape == Shape::Digits && c.code.size() == 4) {
        const int value = c.code.toInt();
        const bool year = value >= 1900 && value <= 2099;
        if (year && !(codeBefore && codeGap <= 1) && !(alone && announced))
            return 0;
    }
    if (line.address && digits && !(codeBefore && codeGap == 0) && !(alone && announced))
        return 0;
    if (sentenceHas(c.firstTok, Promo) || percentInSentence(c.firstTok))
        return 0;

    int bonus = 0;
    QString carried = QStringLiteral("loose");
    const auto take = [&](bool cond, int value, const char *name) {
        if (cond && value > bonus) {
            bonus = value;
            carried = QString::fromLatin1(name);
        }
    };
    take(codeBefore && codeGap == 0, 50, "keyword_before");
    take(codeBefore && codeGap > 0, 40, "keyword_before");
    take(codeAfter, 40, "keyword_after");
    take(contextBefore && contextGap == 0, 30, "keyword_before");
    take(contextBefore && contextGap > 0, 20, "keyword_before");
    take(contextAfter, 30, "keyword_after");
    take(alone && announced, 45, "announced");
    take(alone && announcedByContext, 30, "announced");
    take(alone && announcedAfter, 35, "announced");
    take(alone && head.line > 0 && m_subjectCode, 25, "alone");
    take(alone && head.line > 0 && m_mailCode, 15, "alone");

    // A bare number on a line with an amount is a product or price number.
    if (line.price && bonus == 0)
        return 0;

    if (!digits) {
        // Letters need a keyword right before or an announcement; mixed
        // tokens at least a keyword nearby.
        const bool strong = (codeBefore && codeGap <= 1) || (alone && announcedRightAbove);
        if (c.shape == Shape::Letters && !strong)
            return 0;
        if (bonus < 40)
            return 0;
    }

    int base = 0;
    switch (c.shape) {
    case Shape::Six: base = 40; break;
    case Shape::Digits: base = c.code.size() == 4 ? 30 : 35; break;
    case Shape::Split: base = 38; break;
    case Shape::Spaced: base = 35; break;
    case Shape::Mixed: base = 35; break;
    case Shape::AlnumDash: base = 30; break;
    case Shape::Letters: base = 25; break;
    }
    int total = base + bonus + (m_mailCode ? 10 : m_mailContext ? 5 : 0);
    if (head.line == 0 && (m_subjectCode || m_subjectContext) && bonus > 0)
        total += 15;
    if (sentenceHas(c.firstTok, OrderTalk))
        total -= 20;
    if (m_booking)
        total -= 45;
    *tag = carried;
    return total;
}

CodeMatch Scanner::best() const
{
    QVector<Candidate> candidates;
    collectCandidates(candidates);
    int bestScore = 0;
    const Candidate *winner = nullptr;
    QString winnerTag;
    for (const Candidate &c : std::as_const(candidates)) {
        QString tag;
        const int s = score(c, &tag);
        if (s > bestScore) {
            bestScore = s;
            winner = &c;
            winnerTag = tag;
        }
    }
    if (!winner)
        return {};
    // The rule table read over the code's own neighbourhood agreeing adds a
    // little: the two readings are made differently.
    const int line = m_tokens[winner->firstTok].line;
    const int prev = previousFilledLine(line);
    const qsizetype from = m_tokens[m_lines[prev > 0 ? prev : line].firstToken].start;
    const qsizetype to = m_tokens[winner->lastTok].end;
    if (extractCode(QString(), m_text.mid(from, to - from)).code == winner->code)
        bestScore += 5;
    if (bestScore < kCodeReportFloor)
        return {};
    CodeMatch m;
    m.code = winner->code;
    m.confidence = std::min(bestScore, 100);
    m.tag = winnerTag;
    return m;
}

} // namespace

CodeMatch recogniseCode(const QString &subject, const QString &text)
{
    return Scanner(subject, text).best();
}
