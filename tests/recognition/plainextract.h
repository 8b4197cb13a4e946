#pragma once

#include "recognition/codeextractor.h"

#include <QRegularExpression>
#include <QStringList>

// The rule table applied the plain way: every pattern compiled here and
// matched from the start of the text.
inline CodeMatch plainExtract(const QString &subject, const QString &text)
{
    const QString haystack = subject + '\n' + text;
    const auto opts = QRegularExpression::CaseInsensitiveOption;
    static const QRegularExpression keywordPattern(
        QString::fromUtf8("verif|doğrula|dogrula|onay|kod|code|otp|2fa|giriş|giris|security|token"), opts);
    static const QList<QRegularExpression> patterns = [&] {
        QList<QRegularExpression> list;
        for (const CodeRule &rule : codeRules())
            list << QRegularExpression(rule.pattern, opts);
        return list;
    }();
    const bool keyword = keywordPattern.match(haystack).hasMatch();
    for (qsizetype i = 0; i < patterns.size(); ++i) {
        const CodeRule &rule = codeRules().at(i);
        const QRegularExpressionMatch m = patterns.at(i).match(haystack);
        if (!m.hasMatch())
            continue;
        QString code = m.captured(qMax(0, m.lastCapturedIndex()));
        code.remove(' ');
        code.remove('-');
        code = code.trimmed();
        if (code.size() < 4 || code.size() > 8)
            continue;
        return {code, qBound(0, rule.baseScore + (keyword ? 5 : -15), 100), rule.tag};
    }
    return {};
}

