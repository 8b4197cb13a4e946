#include "recognition/codeextractor.h"

#include <QRegularExpression>

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

CodeMatch extractCode(const QString &subject, const QString &text)
{
    const CompiledRules &compiledSet = compiledRules();
    const QList<CodeRule> &table = codeRules();
    const QString haystack = subject + QLatin1Char('\n') + text;

    const bool keyword = compiledSet.keyword.match(haystack).hasMatch();

    for (int i = 0; i < table.size(); ++i) {
        const QRegularExpressionMatch m = compiledSet.rules[size_t(i)].match(haystack);
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
