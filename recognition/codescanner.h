#pragma once

// The recogniser's reading of a mail's text: cleaned, folded, cut into words
// and lines, with the candidate codes found in it and their scores. Internal
// to the recognition library; the public face is recogniseCode().

#include "recognition/codeextractor.h"
#include "recognition/emphasis.h"

#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <QVector>

#include <utility>

namespace codescan {

// Work stays bounded on huge texts; codes sit near the top of a mail.
constexpr qsizetype kMaxTextChars = 128 * 1024;
// How far a keyword may stand from its code, in words other than fillers.
constexpr int kKeywordReach = 4;
// A line break inside a sentence counts as this many words of distance.
constexpr int kLineWords = 3;
// How many tokens a sentence is read for its keyword, at most.
constexpr int kSentenceReach = 40;
// A sentence flag beside the word flags: a percentage stands in it.
constexpr unsigned kPercentFlag = 1u << 31;

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

// What stands between two tokens: nothing, a line break inside a
// sentence, or a sentence or paragraph end.
enum class Break { None, Line, Hard };

enum class Shape { Six, Digits, Split, Spaced, Mixed, Letters, AlnumDash };

struct Candidate
{
    int firstTok = 0;
    int lastTok = 0;
    Shape shape = Shape::Digits;
    QString code;
};

inline bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

inline bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

inline bool isAsciiAlnum(char16_t c)
{
    return isAsciiDigit(c) || isAsciiLetter(c);
}

inline bool isWordChar(char16_t c)
{
    return isAsciiAlnum(c) || (c >= 0x80 && !QChar::isSurrogate(c) && QChar::isLetter(char32_t(c)));
}

inline bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Characters that tie a number to a link, an amount, an id or a colour.
inline bool isGlueChar(char16_t c)
{
    switch (c) {
    case u'/': case u'\\': case u'=': case u'@': case u'#': case u'&': case u'%': case u'+': case u'$':
    case u'_': case u'~': case u'^': case 0x20AC: case 0xA3: case 0xA5: case 0x20BA: case 0x20BD: case 0xA9:
        return true;
    default:
        return false;
    }
}

inline bool isCurrencySymbol(char16_t c)
{
    return c == u'$' || c == 0x20AC || c == 0xA3 || c == 0xA5 || c == 0x20BA || c == 0x20BD;
}

class Scanner
{
public:
    Scanner(const QString &subject, const QString &text, const EmphasisSpans &emphasis = {});
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
    Break breakKind(qsizetype from, qsizetype to) const;
    bool endsWithColon(qsizetype from, qsizetype to) const;
    bool codeShaped(const Token &t) const;
    bool emphasised(const Candidate &c) const;
    bool labelledNearby(int tok) const;
    bool markedAlone(int tok) const;
    bool instructs(int line) const;
    bool signInNoun(int tok) const;
    bool closedAlone(int first, int last) const;
    bool versionPart(const Token &k) const;
    bool onlySpacesBetween(qsizetype from, qsizetype to) const;
    int score(const Candidate &c, QString *tag) const;
    void describeSentences();
    bool sentenceHas(int tok, unsigned flag) const;
    int previousFilledLine(int line) const;
    int nextFilledLine(int line) const;
    QStringView fold(const Token &t) const { return QStringView(m_fold).mid(t.start, t.end - t.start); }

    QString m_text;
    QString m_fold;
    QVector<Token> m_tokens;
    EmphasisSpans m_emphasis;
    QVector<qsizetype> m_origin; // per character of the cleaned text after the subject: its offset in the text given
    qsizetype m_textStart = 0;
    QVector<Line> m_lines;
    QVarLengthArray<std::pair<qsizetype, qsizetype>, 16> m_masks;
    QVector<int> m_sentenceOf;        // per token
    QVector<unsigned> m_sentenceFlags; // per sentence: its words' flags, kPercentFlag
    bool m_mailCode = false;
    bool m_mailContext = false;
    bool m_subjectCode = false;
    bool m_subjectContext = false;
    bool m_booking = false; // a reservation or ticket: its codes are booking references
    bool m_subjectBooking = false;
    bool m_payment = false; // an invoice or payment: its codes are transaction numbers
    bool m_paymentNeedsAmount = false;
};

} // namespace codescan
