#include "recognition/codescanner.h"

#include "recognition/codewords.h"

#include <algorithm>

namespace codescan {

using namespace CodeWord;

namespace {

// Mail text as the scanner wants it: invisible characters gone, exotic
// spaces and hyphens made plain, full-width digits made ASCII.
void appendClean(QString &out, QStringView in, bool oneLine, QVector<qsizetype> *origin = nullptr)
{
    const qsizetype start = out.size();
    out.resize(start + in.size());
    char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + start;
    qsizetype written = 0;
    const char16_t *src = reinterpret_cast<const char16_t *>(in.utf16());
    for (qsizetype i = 0; i < in.size(); ++i) {
        char16_t c = src[i];
        if (c >= 0x20 && c < 0x7F) { // most of a mail: nothing to do
            if (origin)
                origin->append(i);
            dst[written++] = c;
            continue;
        }
        switch (c) {
        case 0x200B: case 0x200C: case 0x200D: case 0x2060: case 0xFEFF: case 0xAD: case 0x34F:
        case 0x200E: case 0x200F: case 0x061C: // direction marks around a code in right-to-left text
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
            else if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
                continue; // embeddings and isolates
            else if (c >= 0x660 && c <= 0x669) // Arabic-Indic digits
                c = char16_t(u'0' + (c - 0x660));
            else if (c >= 0x6F0 && c <= 0x6F9) // Persian digits
                c = char16_t(u'0' + (c - 0x6F0));
            else if (c >= 0xFF10 && c <= 0xFF19)
                c = char16_t(u'0' + (c - 0xFF10));
            break;
        }
        if (oneLine && c == u'\n')
            c = u' ';
        if (origin)
            origin->append(i);
        dst[written++] = c;
    }
    out.resize(start + written);
}

} // namespace

Scanner::Scanner(const QString &subject, const QString &text, const EmphasisSpans &emphasis)
    : m_emphasis(emphasis)
{
    m_text.reserve(subject.size() + 1 + std::min(text.size(), kMaxTextChars));
    appendClean(m_text, subject, true);
    m_text.append(QLatin1Char('\n'));
    m_textStart = m_text.size();
    appendClean(m_text, QStringView(text).left(kMaxTextChars), false, m_emphasis.isEmpty() ? nullptr : &m_origin);
    m_fold = m_text;
    char16_t *f = reinterpret_cast<char16_t *>(m_fold.data());
    for (qsizetype i = 0; i < m_fold.size(); ++i) {
        const char16_t c = f[i];
        f[i] = c < 0x80 ? (c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c) : foldedChar(c);
    }
    m_tokens.reserve(m_text.size() / 5);
    tokenise();
    maskLinksAndAddresses();
    classifyWords();
    describeLines();
    if (m_payment && m_paymentNeedsAmount)
        m_payment = std::any_of(m_lines.cbegin(), m_lines.cend(), [](const Line &l) { return l.price; });
    describeSentences();
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
            // Digits written against other scripts ("验证码为835206") stand apart.
            if (i > t.start && (isAsciiDigit(s[i]) ? s[i - 1] >= 0x80 : s[i] >= 0x80 && isAsciiDigit(s[i - 1])))
                break;
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
    // Each scheme's next place is looked up again only once passed, so that
    // a text full of links stays one pass.
    static const char16_t *const schemes[] = {u"http://", u"https://", u"www."};
    qsizetype next[3] = {-2, -2, -2};
    for (qsizetype i = 0; i < n;) {
        qsizetype hit = -1;
        for (int k = 0; k < 3; ++k) {
            if (next[k] != -1 && next[k] < i)
                next[k] = m_fold.indexOf(QStringView(schemes[k]), i);
            if (next[k] >= 0 && (hit < 0 || next[k] < hit))
                hit = next[k];
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
    std::sort(m_masks.begin(), m_masks.end());
    qsizetype m = 0;
    for (Token &t : m_tokens) {
        while (m < m_masks.size() && m_masks[m].second <= t.start)
            ++m;
        if (m == m_masks.size())
            break;
        t.masked = m_masks[m].first < t.end;
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
        // ... unless a sign-in word names the modifier itself: "login approval code".
        if (i > 0 && m_tokens[i - 1].line == t.line && (m_tokens[i - 1].flags & Modifier)
            && onlySpacesBetween(m_tokens[i - 1].end, t.start)
            && !(i > 1 && (m_tokens[i - 2].flags & Context) && onlySpacesBetween(m_tokens[i - 2].end, m_tokens[i - 1].start)))
            t.negated = true;
        for (int j = i + 1; j < m_tokens.size() && j <= i + 2 && m_tokens[j].line == t.line; ++j) {
            const QStringView w = fold(m_tokens[j]);
            if (m_tokens[j].flags & Modifier) {
                t.negated = true;
                break;
            }
            if (w != u"de" && w != u"du" && w != u"of" && w != u"del" && w != u"d" && w != u"di" && w != u"da"
                && w != u"do")
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
    // Only a subject about signing in or a code makes such a mail a code
    // mail; words like "password" in an invitation's body do not.
    bool booking = false;
    for (const Token &t : std::as_const(m_tokens))
        booking |= (t.flags & Booking) != 0;
    m_booking = booking && !m_subjectContext && !m_subjectCode;
    for (int i = 0; i < m_tokens.size() && m_tokens[i].line == 0; ++i)
        m_subjectBooking |= (m_tokens[i].flags & Booking) != 0;
    // An invoice, receipt or payment whose subject says nothing of signing in
    // or verifying: its "code" is the document's or the card payment's number.
    // A one-time password for a card payment ("one-time passcode for your
    // purchase") stays a code: only the plain word "code" leaves it a number.
    // "Device authorization" alone is no payment: an authorisation or an
    // approval counts as one only where an amount stands in the mail.
    bool payment = false, approvalOnly = true, passcode = false;
    for (int i = 0; i < m_tokens.size() && m_tokens[i].line == 0; ++i) {
        if (m_tokens[i].flags & Payment) {
            payment = true;
            approvalOnly &= (m_tokens[i].flags & Approval) != 0;
        }
        if (m_tokens[i].flags & CodeNoun) {
            const QStringView w = fold(m_tokens[i]);
            passcode |= w != u"code" && w != u"codes" && w != u"codigo" && w != u"codice" && w != u"kod"
                        && w != u"kode" && w != u"cod" && w != u"\u043a\u043e\u0434";
        }
    }
    m_payment = payment && !m_subjectContext && !passcode;
    m_paymentNeedsAmount = approvalOnly;
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
                && (k.end >= m_text.size() || !isAsciiAlnum(m_text.at(k.end).unicode())) && !versionPart(k))
                l.price = true;
        }
        for (qsizetype i = from; i < to && !l.price; ++i)
            l.price = isCurrencySymbol(m_text.at(i).unicode());
    }
}

// "v3.12.0", "2.4.10": a version's parts, not an amount's decimals. A
// thousands separator differs from the decimal one (1.299,00).
bool Scanner::versionPart(const Token &k) const
{
    const char16_t sep = m_text.at(k.start - 1).unicode();
    if (k.end + 1 < m_text.size() && m_text.at(k.end) == sep && isAsciiDigit(m_text.at(k.end + 1).unicode()))
        return true;
    qsizetype i = k.start - 1;
    while (i > 0 && isAsciiDigit(m_text.at(i - 1).unicode()))
        --i;
    if (i == 0)
        return false;
    const char16_t before = m_text.at(i - 1).unicode();
    return before == sep || ((before == u'v' || before == u'V') && (i < 2 || !isAsciiLetter(m_text.at(i - 2).unicode())));
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

Break Scanner::breakKind(qsizetype from, qsizetype to) const
{
    int lines = 0;
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = m_text.at(i).unicode();
        if (c == u'\n' && ++lines > 1)
            return Break::Hard;
        if (c == u'|')
            return Break::Hard;
        if ((c == u'.' || c == u'!' || c == u'?' || c == 0x3002 || c == 0x061F)
            && (i + 1 >= m_text.size() || isSpace(m_text.at(i + 1).unicode()) || c > 0x80))
            return Break::Hard;
    }
    return lines ? Break::Line : Break::None;
}

// "... before signing in again: 7KQ2M": the gap before a code ends in a colon.
bool Scanner::endsWithColon(qsizetype from, qsizetype to) const
{
    for (qsizetype i = to - 1; i >= from; --i) {
        const char16_t c = m_text.at(i).unicode();
        if (c == u':' || c == 0xFF1A)
            return true;
        if (!isSpace(c) && c != u'"' && c != u'\'' && c != u'*' && c != u'[' && c != u'(' && c != 0xAB
            && c != 0xBB && c != u'>' && c != 0x201C && c != 0x201E && c != 0x2018)
            return false;
    }
    return false;
}

// Whether the sender set this candidate off: a span over it that is not
// much longer than it (a whole emphasised paragraph says little).
bool Scanner::emphasised(const Candidate &c) const
{
    if (m_emphasis.isEmpty())
        return false;
    const qsizetype from = m_tokens[c.firstTok].start - m_textStart;
    const qsizetype to = m_tokens[c.lastTok].end - m_textStart;
    if (from < 0 || to > m_origin.size() || to <= from)
        return false;
    const qsizetype start = m_origin[from];
    const qsizetype end = m_origin[to - 1] + 1;
    for (const EmphasisSpan &span : m_emphasis) {
        if (span.start <= start && span.start + span.length >= end && span.length <= 2 * (end - start) + 6)
            return true;
    }
    return false;
}

// Another number or code that could be the one a keyword names.
bool Scanner::codeShaped(const Token &t) const
{
    const qsizetype len = t.end - t.start;
    if (t.masked || len < 4 || len > 10)
        return false;
    return (t.kind == Kind::Digits && len <= 8) || t.kind == Kind::Mixed;
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

// Sentence of every token and what each sentence holds, found once: the
// scoring asks it for every candidate.
void Scanner::describeSentences()
{
    m_sentenceOf.resize(m_tokens.size());
    int sentence = 0;
    for (int i = 0; i < m_tokens.size(); ++i) {
        if (i > 0 && breakBetween(m_tokens[i - 1].end, m_tokens[i].start))
            ++sentence;
        m_sentenceOf[i] = sentence;
    }
    m_sentenceFlags.fill(0, m_tokens.isEmpty() ? 0 : sentence + 1);
    for (int i = 0; i < m_tokens.size(); ++i)
        m_sentenceFlags[m_sentenceOf[i]] |= m_tokens[i].flags;
    // "20%", "%20": the sentence talks about a discount or a rate.
    for (qsizetype at = m_text.indexOf(QLatin1Char('%')); at >= 0 && !m_tokens.isEmpty();
         at = m_text.indexOf(QLatin1Char('%'), at + 1)) {
        const bool digitNext = (at > 0 && isAsciiDigit(m_text.at(at - 1).unicode()))
                               || (at + 1 < m_text.size() && isAsciiDigit(m_text.at(at + 1).unicode()));
        if (!digitNext)
            continue;
        const auto after = std::upper_bound(m_tokens.cbegin(), m_tokens.cend(), at,
                                            [](qsizetype pos, const Token &t) { return pos < t.start; });
        int tok = int(after - m_tokens.cbegin()) - 1;
        if (tok < 0 || breakBetween(m_tokens[tok].end, at))
            tok = std::min(tok + 1, int(m_tokens.size()) - 1);
        m_sentenceFlags[m_sentenceOf[tok]] |= kPercentFlag;
    }
}

bool Scanner::sentenceHas(int tok, unsigned flag) const
{
    return (m_sentenceFlags[m_sentenceOf[tok]] & flag) != 0;
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

} // namespace codescan
