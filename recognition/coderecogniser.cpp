#include "recognition/coderecogniser.h"

#include "recognition/codescanner.h"
#include "recognition/codewords.h"

#include <algorithm>

namespace codescan {

using namespace CodeWord;

// The candidate's score (0 or less: not a code) and what carried it.
namespace {

// What a code noun `gap` words away adds: full right beside, steady over a
// short reach, then falling with every word to a floor that alone never
// makes a number trusted.
int reachBonus(int gap, int beside)
{
    if (gap == 0)
        return beside;
    if (gap <= kKeywordReach)
        return 40;
    return std::max(40 - 2 * (gap - kKeywordReach), 12);
}

// What a sign-in word (not a code noun) `gap` words away adds.
int contextBonus(int gap, int beside)
{
    if (gap == 0)
        return beside;
    return std::max(20 - 2 * std::max(gap - kKeywordReach, 0), 6);
}

bool prefixLabel(QStringView w)
{
    return w == u"no" || w == u"nr" || w == u"num" || w == u"id" || w == u"ref" || w == u"tel" || w == u"ext";
}

bool isQuote(char16_t c)
{
    return c == u'"' || c == u'\'' || c == 0x201C || c == 0x201D || c == 0x201E || c == 0x2018 || c == 0x2019
           || c == 0xAB || c == 0xBB || c == 0x300C || c == 0x300D;
}

} // namespace

int Scanner::score(const Candidate &c, QString *tag) const
{
    const Token &head = m_tokens[c.firstTok];
    const Token &tail = m_tokens[c.lastTok];
    const Line &line = m_lines[head.line];
    const bool digits = c.shape == Shape::Six || c.shape == Shape::Digits || c.shape == Shape::Split
                        || c.shape == Shape::Spaced;
    const bool alone = line.firstToken == c.firstTok && line.endToken == c.lastTok + 1;

    // 'type "K7P-2QX" in the field': a verb of typing right before a quoted
    // code in capitals and digits, in a sentence about signing in or a code.
    bool quotedEntry = false;
    if (c.firstTok > 0 && !alone) {
        const Token &verb = m_tokens[c.firstTok - 1];
        bool capitals = true;
        for (int k = c.firstTok; k <= c.lastTok; ++k)
            capitals &= m_tokens[k].kind == Kind::Digits || m_tokens[k].upper;
        // « 4K7Q2M »: a space may stand inside the quotes.
        qsizetype open = head.start - 1, close = tail.end;
        if (open > verb.end && m_text.at(open) == u' ')
            --open;
        if (close + 1 < m_text.size() && m_text.at(close) == u' ')
            ++close;
        quotedEntry = (verb.flags & EntryVerb) && verb.line == head.line && capitals && close < m_text.size()
                      && isQuote(m_text.at(close).unicode()) && isQuote(m_text.at(open).unicode())
                      && onlySpacesBetween(verb.end, open)
                      && (sentenceHas(c.firstTok, CodeNoun | Context | Confirm) || m_mailCode || m_mailContext);
    }

    // Words before the candidate, in its sentence (which may run over a
    // line break, not over an empty line). A code noun supports it less the
    // farther it stands, and not at all past another code-shaped token.
    bool codeBefore = false, contextBefore = false, colonLead = false;
    // A label right before a colon ("on the sign-in page: 29XK-QP") names the
    // number only when no code noun stands earlier in the sentence.
    bool labelAhead = false;
    int labelWords = 0;
    int codeGap = 0, contextGap = 0, codeTok = -1;
    int words = 0;
    bool crossed = false, bridged = false;
    for (int j = c.firstTok - 1; j >= 0 && c.firstTok - j <= kSentenceReach; --j) {
        const Token &t = m_tokens[j];
        Break br = breakKind(t.end, m_tokens[j + 1].start);
        // "Prefer typing a code? Here it is: 471920": a short lead before the
        // colon hands the code on to the sentence before it on its line.
        if (br == Break::Hard && colonLead && !bridged && !labelAhead && words <= 2 && t.line == head.line
            && head.line > 0) {
            bridged = true;
            br = Break::None;
            words += 2;
        }
        if (br == Break::Hard || (t.line == 0 && head.line > 0))
            break;
        if (br == Break::Line) {
            if (labelAhead)
                break; // the code noun must stand on the label's own line
            crossed = true;
            words += kLineWords;
        }
        if (j == c.firstTok - 1) {
            const bool adjacent = t.end + 2 >= head.start;
            if ((t.flags & Month) && adjacent)
                return 0;
            if ((t.flags & Currency) && adjacent)
                return 0;
            if (digits && c.code.size() == 5 && isUsState(QStringView(m_text).mid(t.start, t.end - t.start)))
                return 0;
            colonLead = endsWithColon(t.end, head.start);
        }
        if (t.flags & Copyright)
            return 0;
        if (codeShaped(t))
            break;
        if (t.flags & CodeNoun) {
            // "Kod transakcji:": the label names the noun itself.
            if (labelAhead && words == labelWords)
                return 0;
            codeBefore = true;
            codeGap = words;
            codeTok = j;
            break;
        }
        if ((t.flags & Label) && quotedEntry)
            break; // the verb of typing stands between: "your phone, type \"...\""
        if (t.flags & Label) {
            // A label on a line above names its own number; ending that
            // line, it names the number the sentence runs on with
            // ("Sperr-Notruf\n116 116. Wir ...").
            if (crossed) {
                if (j == c.firstTok - 1 && !alone && !colonLead)
                    return 0;
                break;
            }
            if (words < 2) {
                if (!colonLead)
                    return 0;
                labelAhead = true;
                labelWords = words;
            }
        }
        if (t.flags & Context) {
            if (!contextBefore) {
                contextBefore = true;
                contextGap = words;
            }
            continue;
        }
        if (t.flags & Filler)
            continue;
        ++words;
    }
    if (labelAhead && !codeBefore)
        return 0;
    for (qsizetype k = head.start - 1; k >= 0 && head.start - k <= 3; --k) {
        const char16_t ch = m_text.at(k).unicode();
        if (ch == 0xA9 || isCurrencySymbol(ch))
            return 0;
        if (ch != u' ' && ch != u'(' && ch != u')' && ch != u'c' && ch != u'C')
            break;
    }

    // Words after it.
    // A label after it ("123456 numarali siparis") makes it that label's
    // number, unless a code noun follows the label ("numarali islem onay
    // kodunuz").
    bool codeAfter = false, contextAfter = false, labelAfter = false;
    int codeAfterGap = 0, contextAfterGap = 0;
    words = 0;
    crossed = false;
    for (int j = c.lastTok + 1; j < m_tokens.size() && j - c.lastTok <= kSentenceReach; ++j) {
        const Token &t = m_tokens[j];
        const Break br = breakKind(m_tokens[j - 1].end, t.start);
        if (br == Break::Hard || (head.line == 0 && t.line > 0))
            break;
        if (br == Break::Line) {
            crossed = true;
            words += kLineWords;
        }
        if (j == c.lastTok + 1 && (t.flags & (Unit | Currency | Month)) && t.start <= tail.end + 2)
            return 0;
        if (codeShaped(t))
            break;
        if (t.flags & CodeNoun) {
            codeAfter = true;
            codeAfterGap = words;
            break;
        }
        const bool near = !crossed && words <= kKeywordReach;
        if (t.flags & Label) {
            // "in the box" places it, "numarali siparis" names it; "no", "nr"
            // and "id" name only what follows them ("330947 no nosso site").
            labelAfter |= words == 0 && !crossed && !prefixLabel(fold(t));
            continue;
        }
        if (t.flags & Context) {
            if (!contextAfter) {
                contextAfter = true;
                contextAfterGap = near ? 0 : words;
            }
            continue;
        }
        if (t.flags & Filler)
            continue;
        ++words;
    }
    if (labelAfter && !codeAfter)
        return 0;

    // Alone on its line, and what the lines around say.
    bool announced = false, announcedByContext = false, announcedAfter = false, announcedRightAbove = false;
    bool instructed = false; // the line right above tells to type or copy what follows
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
            if (seen == 1) {
                // "Copy the code below at checkout for 20% off:" over a coupon.
                if (sentenceHas(p.endToken - 1, Promo | kPercentFlag))
                    return 0;
                instructed = instructs(l);
            }
        }
        const int next = nextFilledLine(head.line);
        if (next > 0) {
            for (int t = m_lines[next].firstToken; t < m_lines[next].endToken; ++t)
                announcedAfter |= (m_tokens[t].flags & CodeNoun) != 0;
        }
    }

    // "Use code FEAST30" over "30% off your next box": the line under it sells.
    // A code noun with a colon right before it labels it on its own ("Your
    // confirmation code: 250118" over "Enter it at checkout").
    if (line.endToken == c.lastTok + 1 && head.line > 0 && !(codeBefore && codeGap == 0 && colonLead)) {
        const int next = nextFilledLine(head.line);
        if (next > 0 && m_lines[next].firstToken < m_lines[next].endToken
            && sentenceHas(m_lines[next].firstToken, Promo | kPercentFlag) && !(codeBefore && signInNoun(codeTok)))
            return 0;
    }

    // Things that make it something else.
    bool yearShaped = false;
    if (c.shape == Shape::Digits && c.code.size() == 4) {
        const int value = c.code.toInt();
        yearShaped = value >= 1900 && value <= 2099;
        if (yearShaped && !(codeBefore && codeGap <= 1) && !(alone && announced))
            return 0;
    }
    const bool typed = digits && c.firstTok > 0 && (m_tokens[c.firstTok - 1].flags & EntryVerb)
                       && m_tokens[c.firstTok - 1].line == head.line
                       && onlySpacesBetween(m_tokens[c.firstTok - 1].end, head.start) && (m_mailCode || m_mailContext);
    if (line.address && digits && !(codeBefore && codeGap == 0) && !(alone && announced) && !typed)
        return 0;
    // A shop's talk makes a code a coupon's, unless a sign-in word names it
    // ("Sicherheitscode fuer die Zahlung im Online-Shop").
    if (sentenceHas(c.firstTok, kPercentFlag) || (sentenceHas(c.firstTok, Promo) && !(codeBefore && signInNoun(codeTok))))
        return 0;

    // Set off under or beside a label ("Order number" above it): the
    // emphasis and a code noun further above are that number's, not a code's.
    const bool marked = emphasised(c);
    const bool labelled = ((alone && (announced || announcedByContext)) || marked) && labelledNearby(c.firstTok);
    if (labelled)
        announced = announcedByContext = false;

    int bonus = 0;
    QString carried = QStringLiteral("loose");
    const auto take = [&](bool cond, int value, const char *name) {
        if (cond && value > bonus) {
            bonus = value;
            carried = QString::fromLatin1(name);
        }
    };
    take(codeBefore, reachBonus(codeGap, 50), "keyword_before");
    take(codeBefore && colonLead, 45, "keyword_before");
    take(codeAfter, reachBonus(codeAfterGap, 40), "keyword_after");
    take(contextBefore, contextBonus(contextGap, 30), "keyword_before");
    take(contextAfter, contextBonus(contextAfterGap, 30), "keyword_after");
    take(quotedEntry, 55, "keyword_before");
    // "... to type 330872 into the box": a verb of typing right before a
    // number, in a mail about a code or signing in.
    take(typed, 45, "keyword_before");
    take(alone && instructed, 55, "announced");
    take(alone && announced, 45, "announced");
    take(alone && announcedByContext, 30, "announced");
    take(alone && announcedAfter, 35, "announced");
    const bool setOff = marked && !labelled;
    take(setOff && m_mailCode, 40, "emphasis");
    take(setOff && m_mailContext, 30, "emphasis");
    take(alone && head.line > 0 && m_subjectCode, 25, "alone");
    take(alone && head.line > 0 && m_mailCode, 15, "alone");

    // A bare number on a line with an amount is a product or price number.
    if (line.price && bonus == 0)
        return 0;

    if (!digits) {
        // Letters need a keyword right before or an announcement; mixed
        // tokens at least a keyword nearby.
        const bool strong = (codeBefore && (codeGap <= 1 || colonLead)) || (alone && announcedRightAbove)
                            || (alone && setOff && m_mailCode) || (alone && instructed);
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
    case Shape::Letters: base = 30; break;
    }
    int total = base + bonus + (m_mailCode ? 10 : m_mailContext ? 5 : 0);
    if (head.line == 0 && (m_subjectCode || m_subjectContext) && bonus > 0)
        total += 15;
    if (sentenceHas(c.firstTok, OrderTalk))
        total -= 20;
    // A booking's or a payment's numbers are not sign-in codes, however
    // they are announced.
    // Only a booking word in the subject or in the code's own sentence
    // outweighs a code noun right before a number the reader is told to type
    // ("type in the six-digit confirmation code 306417" in a newsletter with
    // an events calendar).
    const bool typedCode = codeBefore && codeGap <= 1 && digits && sentenceHas(c.firstTok, EntryVerb)
                           && !sentenceHas(c.firstTok, Booking) && !m_subjectBooking;
    if ((m_booking && !typedCode) || m_payment)
        return 0;
    // A year after a keyword ("Bu kod 2026 paketi icin degil") may still be
    // a PIN, but any code standing on its own beats it.
    if (yearShaped)
        total -= 15;
    *tag = carried;
    return total;
}

// A code noun a sign-in word qualifies: "verification code", "code de
// verification", "Sicherheitscode", "dogrulama kodu".
bool Scanner::signInNoun(int tok) const
{
    const Token &t = m_tokens[tok];
    for (int k = std::max(tok - 1, 0); k <= std::min(tok + 2, int(m_tokens.size()) - 1); ++k) {
        if (k != tok && m_tokens[k].line == t.line && (m_tokens[k].flags & Context))
            return true;
    }
    const QStringView w = fold(t);
    for (const QStringView tail : {QStringView(u"codes"), QStringView(u"code"), QStringView(u"kodu"), QStringView(u"kod")}) {
        if (w.size() > tail.size() + 2 && w.endsWith(tail))
            return (codeWordFlags(w.chopped(tail.size()), {}) & Context) != 0;
    }
    return false;
}

// "copy the word below into the box:": the sentence ending on a line, with
// a verb of typing, ending in a colon or pointing below, in a mail about
// signing in or a code. A label in it names what is typed ("enter the
// order number below:") unless a code noun does too.
bool Scanner::instructs(int lineNo) const
{
    const Line &l = m_lines[lineNo];
    const int last = l.endToken - 1;
    int first = last;
    while (first > 0 && last - first < kSentenceReach && m_tokens[first - 1].line > 0
           && breakKind(m_tokens[first - 1].end, m_tokens[first].start) != Break::Hard)
        --first;
    bool about = m_mailCode || m_mailContext, points = false, code = false, label = false;
    int entry = -1;
    for (int t = first; t <= last; ++t) {
        const unsigned f = m_tokens[t].flags;
        if ((f & EntryVerb) && entry < 0)
            entry = t;
        about |= (f & (CodeNoun | Context | Confirm)) != 0;
        code |= (f & CodeNoun) != 0;
        // What is typed stands right after the verb; a label further on is
        // the place it goes ("into the confirmation box").
        label |= (f & Label) && entry >= 0 && t - entry <= 3;
        const QStringView w = fold(m_tokens[t]);
        points |= w == u"below" || w == u"following" || w == u"unten" || w == u"asagidaki" || w == u"asagida";
    }
    if (entry < 0 || !about || (label && !code))
        return false;
    for (qsizetype i = m_tokens[l.endToken - 1].end; i < m_text.size() && m_text.at(i) != u'\n'; ++i)
        points |= m_text.at(i) == u':' || m_text.at(i) == QChar(0xFF1A);
    return points;
}

// A label of another number earlier on the candidate's line, or on the
// line above when that line names no code and holds no number of its own
// ("Device id 44120987" labels its own number).
bool Scanner::labelledNearby(int tok) const
{
    const int lineNo = m_tokens[tok].line;
    for (int j = std::max(m_lines[lineNo].firstToken, tok - kSentenceReach); j < tok; ++j) {
        if ((m_tokens[j].flags & Label) && !(m_tokens[j].flags & CodeNoun))
            return true;
    }
    const int prev = previousFilledLine(lineNo);
    if (prev <= 0)
        return false;
    bool label = false;
    for (int j = std::max(m_lines[prev].firstToken, m_lines[prev].endToken - kSentenceReach); j < m_lines[prev].endToken; ++j) {
        if ((m_tokens[j].flags & CodeNoun) || m_tokens[j].kind == Kind::Digits)
            return false;
        label |= (m_tokens[j].flags & Label) != 0;
    }
    return label;
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

} // namespace codescan

CodeMatch recogniseCode(const QString &subject, const QString &text)
{
    return codescan::Scanner(subject, text).best();
}

CodeMatch recogniseCode(const QString &subject, const QString &text, const EmphasisSpans &emphasis)
{
    return codescan::Scanner(subject, text, emphasis).best();
}
