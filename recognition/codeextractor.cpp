#include "recognition/codeextractor.h"

#include <QRegularExpression>
#include <QVarLengthArray>

#include <algorithm>
#include <array>

namespace {

// The patterns are plain PCRE without Unicode properties: \d is an ASCII
// digit and \b sits between ASCII word characters and anything else.
const QRegularExpression::PatternOptions kOptions = QRegularExpression::CaseInsensitiveOption;

QRegularExpression compiled(const QString &pattern)
{
    QRegularExpression re(pattern, kOptions);
    // Compile now, while the static is being initialised (thread-safe), so
    // that later matches on any thread only read the compiled pattern.
    re.optimize();
    return re;
}

struct CompiledRules
{
    QRegularExpression keyword;
    std::array<QRegularExpression, 9> rules;
};

const CompiledRules &compiledRules()
{
    static const CompiledRules cache = [] {
        CompiledRules c;
        c.keyword = compiled(QStringLiteral(
            "verif|do\u011frula|dogrula|onay|kod|code|otp|2fa|giri\u015f|giris|security|token"));
        const QList<CodeRule> &table = codeRules();
        for (int i = 0; i < int(c.rules.size()); ++i)
            c.rules[size_t(i)] = compiled(table.at(i).pattern);
        return c;
    }();
    return cache;
}

QString normalised(QString text)
{
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('-'));
    return text.trimmed();
}

} // namespace

const QList<CodeRule> &codeRules()
{
    static const QList<CodeRule> table = {
        {QStringLiteral("(?:kod(?:unuz)?|code|otp|token|verification)[^0-9A-Z]{0,24}(\\d[\\d \\-]{3,11}\\d)"), 95,
         QStringLiteral("keyword_near")},
        {QStringLiteral("\\b(\\d{6})\\b"), 90, QStringLiteral("6digit")},
        {QStringLiteral("\\b(\\d{8})\\b"), 85, QStringLiteral("8digit")},
        {QStringLiteral("\\b(\\d{4})\\b"), 70, QStringLiteral("4digit")},
        {QStringLiteral("\\b(\\d{5})\\b"), 75, QStringLiteral("5digit")},
        {QStringLiteral("\\b(\\d{7})\\b"), 80, QStringLiteral("7digit")},
        {QStringLiteral("\\b(\\d{3}[ \\-]\\d{3})\\b"), 88, QStringLiteral("split_6")},
        {QStringLiteral("\\b(\\d{2}[ \\-]\\d{2}[ \\-]\\d{2})\\b"), 82, QStringLiteral("split_222")},
        {QStringLiteral("\\b([A-Z0-9]{4}-[A-Z0-9]{4})\\b"), 55, QStringLiteral("alnum_dash")},
    };
    return table;
}

namespace {

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isSplitSeparator(char16_t c)
{
    return c == u' ' || c == u'-';
}

// Case-insensitive [A-Z0-9] also takes a few non-ASCII letters (the Kelvin
// sign, the long s); counting every non-ASCII character keeps this a safe
// over-estimate.
bool mayBeAlnum(char16_t c)
{
    return isAsciiDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c > 0x7F;
}

struct DigitRun
{
    qsizetype start;
    qsizetype length;
};

// Where each rule's first match can start at the earliest, found in one pass
// over the text; -1 when the rule cannot match at all. The patterns stay the
// judges: they are matched from these offsets, so that on long mails the
// rules that cannot hit cost nothing.
std::array<qsizetype, 9> earliestStarts(const QString &text, qsizetype firstKeyword)
{
    std::array<qsizetype, 9> starts;
    starts.fill(-1);
    // Every rule-1 keyword is also a pre-filter word, so rule 1 cannot start
    // before the pre-filter's first hit.
    starts[0] = firstKeyword;

    const char16_t *s = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();

    // Rules 2 to 8 start at a maximal run of ASCII digits of a given length.
    QVarLengthArray<DigitRun, 64> runs;
    for (qsizetype i = 0; i < n;) {
        if (!isAsciiDigit(s[i])) {
            ++i;
            continue;
        }
        const qsizetype begin = i;
        while (i < n && isAsciiDigit(s[i]))
            ++i;
        runs.append({begin, i - begin});
    }
    const auto joined = [&](qsizetype a, qsizetype b) {
        const qsizetype gap = runs[a].start + runs[a].length;
        return runs[b].start == gap + 1 && isSplitSeparator(s[gap]);
    };
    for (qsizetype r = 0; r < runs.size(); ++r) {
        const qsizetype len = runs[r].length;
        const int rule = len == 6 ? 1 : len == 8 ? 2 : len == 4 ? 3 : len == 5 ? 4 : len == 7 ? 5 : -1;
        if (rule >= 0 && starts[size_t(rule)] < 0)
            starts[size_t(rule)] = runs[r].start;
        if (starts[6] < 0 && len == 3 && r + 1 < runs.size() && runs[r + 1].length == 3 && joined(r, r + 1))
            starts[6] = runs[r].start;
        if (starts[7] < 0 && len == 2 && r + 2 < runs.size() && runs[r + 1].length == 2
            && runs[r + 2].length == 2 && joined(r, r + 1) && joined(r + 1, r + 2))
            starts[7] = runs[r].start;
    }

    // Rule 9: four alphanumerics, a hyphen, four alphanumerics.
    for (qsizetype d = 4; d + 4 < n; ++d) {
        if (s[d] != u'-')
            continue;
        if (mayBeAlnum(s[d - 4]) && mayBeAlnum(s[d - 3]) && mayBeAlnum(s[d - 2]) && mayBeAlnum(s[d - 1])
            && mayBeAlnum(s[d + 1]) && mayBeAlnum(s[d + 2]) && mayBeAlnum(s[d + 3]) && mayBeAlnum(s[d + 4])) {
            starts[8] = d - 4;
            break;
        }
    }
    return starts;
}

} // namespace

CodeMatch extractCode(const QString &subject, const QString &text)
{
    const CompiledRules &compiledSet = compiledRules();
    const QList<CodeRule> &table = codeRules();
    const QString haystack = subject + QLatin1Char('\n') + text;

    const QRegularExpressionMatch keywordMatch = compiledSet.keyword.match(haystack);
    const bool keyword = keywordMatch.hasMatch();
    const std::array<qsizetype, 9> starts = earliestStarts(haystack, keyword ? keywordMatch.capturedStart() : -1);

    for (int i = 0; i < table.size(); ++i) {
        if (starts[size_t(i)] < 0)
            continue;
        const QRegularExpressionMatch m = compiledSet.rules[size_t(i)].match(haystack, starts[size_t(i)]);
        if (!m.hasMatch())
            continue;
        const int group = std::max(0, m.lastCapturedIndex());
        const QString code = normalised(m.captured(group));
        if (code.size() < 4 || code.size() > 8)
            continue;
        const CodeRule &rule = table.at(i);
        CodeMatch result;
        result.code = code;
        result.tag = rule.tag;
        result.confidence = std::clamp(rule.baseScore + (keyword ? 5 : -15), 0, 100);
        return result;
    }
    return {};
}
