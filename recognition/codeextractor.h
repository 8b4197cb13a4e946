#pragma once

#include <QList>
#include <QString>

// The one-time code found in a mail, with how sure we are of it.
struct CodeMatch
{
    QString code;       // no spaces or dashes: 4 to 8 characters (the recogniser: 4 to 10); empty when none
    qint32 confidence = 0; // 0..100
    QString tag;        // rule that produced the code; empty when none
};

// One row of the ordered rule table; the first row whose first match yields
// a plausible code wins, whatever the base scores say.
struct CodeRule
{
    QString pattern;
    int baseScore = 0;
    QString tag;
};

// The nine rules in priority order.
const QList<CodeRule> &codeRules();

// Finds the code in a mail's subject and text. Pure and thread-safe.
CodeMatch extractCode(const QString &subject, const QString &text);
