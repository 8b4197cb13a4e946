// Candidate codes of a mail's text: digit runs and groups, letter and
// mixed tokens, dashed halves.
#include "recognition/codescanner.h"
#include "recognition/codewords.h"

#include <algorithm>

namespace codescan {

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
        // One of " - . / : ," or a parenthesis with or without a space.
        const auto one = [](char16_t c) {
            return c == u' ' || c == u'-' || c == u'.' || c == u'/' || c == u':' || c == u',' || c == u')'
                   || c == u'(';
        };
        const bool ok = (sep.size() == 1 && one(sep.at(0).unicode()))
                        || (sep.size() == 2 && ((sep.at(0) == u')' && sep.at(1) == u' ')
                                                || (sep.at(0) == u' ' && sep.at(1) == u'(')));
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
    if (before > 0 && (m_text.at(before - 1) == u'+' || (m_text.at(before - 1) == u'(' && !closedAlone(first, last))))
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

// "( 482913 )": a parenthesis closed right after, nothing else on the line.
bool Scanner::closedAlone(int first, int last) const
{
    const Line &l = m_lines[m_tokens[first].line];
    if (l.firstToken != first || l.endToken != last + 1)
        return false;
    qsizetype k = m_tokens[last].end;
    while (k < m_text.size() && m_text.at(k) == u' ')
        ++k;
    return k < m_text.size() && m_text.at(k) == u')';
}

namespace {
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
    if (rest.size() > 3)
        return false;
    // "294KQX": capitals no unit is written with are a code's letters.
    bool capitals = true;
    for (const QChar ch : rest)
        capitals &= ch.isUpper();
    if (!capitals)
        return true;
    static const char16_t *const units[] = {u"K", u"M", u"G", u"T", u"B", u"X", u"V", u"W", u"A", u"H", u"S",
                                            u"KB", u"MB", u"GB", u"TB", u"KM", u"KG", u"CM", u"MM", u"ML", u"MG",
                                            u"HZ", u"AM", u"PM", u"ST", u"ND", u"RD", u"TH", u"KW", u"MP", u"KWH",
                                            u"MHZ", u"GHZ", u"KHZ", u"FPS", u"DPI", u"LBS", u"MAH"};
    for (const char16_t *u : units) {
        if (rest == QStringView(u))
            return true;
    }
    return false;
}
} // namespace

namespace {
// Lower-case letters drawn at random ("hxtrkbwz") have few vowels and many
// of the letters words seldom use; words have neither.
bool looksRandom(QStringView letters)
{
    int vowels = 0, rare = 0;
    for (const QChar ch : letters) {
        const char16_t c = ch.unicode() | 0x20;
        vowels += c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u' || c == u'y';
        rare += c == u'j' || c == u'k' || c == u'q' || c == u'v' || c == u'w' || c == u'x' || c == u'z';
    }
    return letters.front().isLower() && (vowels == 0 || (rare >= 2 && vowels * 4 <= letters.size()));
}
// Lower-case letters with under half vowels: random enough once the
// sender set them off by a mark of their own.
bool fewVowels(QStringView letters)
{
    int vowels = 0;
    for (const QChar ch : letters) {
        const char16_t c = ch.unicode() | 0x20;
        vowels += c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u' || c == u'y';
    }
    return letters.front().isLower() && vowels * 2 < letters.size();
}

bool isLeadMark(char16_t c)
{
    return c == u'>' || c == u'"' || c == 0xBB || c == 0xAB || c == u'[' || c == u'*' || c == 0x201C
           || c == 0x201E || c == u'\'';
}

// The first mark on a line of its own
// ("> hxtrkbwz"), when the line above does not begin with that mark too
// (a quoted reply marks every line).
char16_t lineLeadMark(QStringView text, qsizetype lineStart)
{
    for (qsizetype k = lineStart; k < text.size() && text.at(k) != u'\n'; ++k) {
        const char16_t c = text.at(k).unicode();
        if (c != u' ' && c != u'\t')
            return isLeadMark(c) ? c : 0;
    }
    return 0;
}
} // namespace

bool Scanner::markedAlone(int tok) const
{
    const Token &t = m_tokens[tok];
    const Line &line = m_lines[t.line];
    if (t.line == 0 || line.firstToken != tok || line.endToken != tok + 1)
        return false;
    const qsizetype start = m_text.lastIndexOf(QLatin1Char('\n'), t.start) + 1;
    const char16_t mark = lineLeadMark(m_text, start);
    if (mark == 0)
        return false;
    const int prev = previousFilledLine(t.line);
    if (prev <= 0)
        return true;
    const qsizetype prevStart = m_text.lastIndexOf(QLatin1Char('\n'), m_tokens[m_lines[prev].firstToken].start) + 1;
    return lineLeadMark(m_text, prevStart) != mark;
}

void Scanner::collectWordCandidate(int &i, QVector<Candidate> &out) const
{
    const Token &t = m_tokens[i];
    const int here = i++;
    if (t.kind == Kind::Word)
        return;
    const qsizetype len = t.end - t.start;
    // "ABCD-1234", "ZXR-4TK": two halves of three to five around a hyphen;
    // "29XK-QP": a half of two beside a mixed half of four or five.
    if (len >= 2 && len <= 5 && here + 1 < m_tokens.size()) {
        const Token &u = m_tokens[here + 1];
        const qsizetype ulen = u.end - u.start;
        const auto halvesFit = [&] {
            if (len >= 3 && ulen >= 3)
                return ulen <= 5;
            return ulen <= 5 && ((len == 2 && ulen >= 4 && u.kind == Kind::Mixed)
                                 || (ulen == 2 && len >= 4 && t.kind == Kind::Mixed));
        };
        if (u.line == t.line && u.start == t.end + 1 && m_text.at(t.end) == u'-' && u.kind != Kind::Word
            && halvesFit() && !gluedBefore(t.start) && !gluedAfter(u.end) && !u.masked
            && (t.kind != Kind::Digits || u.kind != Kind::Digits)
            && !(t.kind == Kind::Letters && u.kind == Kind::Digits)) { // PROJ-4821, INV-2024: ids
            const bool letters = t.kind == Kind::Letters && u.kind == Kind::Letters;
            // Two words of capitals ("ABC-DEF") are held to the rules of letter codes.
            const bool randomHalves = letters && t.flags == 0 && u.flags == 0
                                      && looksRandom(m_text.mid(t.start, len) + m_text.mid(u.start, ulen));
            if (!letters || (t.upper && u.upper && t.flags == 0 && u.flags == 0) || randomHalves) {
                i = here + 2;
                out.append({here, here + 1, letters ? Shape::Letters : Shape::AlnumDash,
                            m_text.mid(t.start, len) + m_text.mid(u.start, ulen)});
                return;
            }
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
    if (!t.upper && !innerUpper && !(len >= 6 && (looksRandom(raw) || (markedAlone(here) && fewVowels(raw)))))
        return;
    // "TANs", "PINs", "OTPs": a keyword's plural is a word, not a code.
    const QStringView folded = fold(t);
    if (folded.endsWith(u's') && codeWordFlags(folded.chopped(1), {}) != 0)
        return;
    out.append({here, here, Shape::Letters, raw.toString()});
}

} // namespace codescan
