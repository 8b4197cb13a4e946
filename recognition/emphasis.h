#pragma once

#include <QList>
#include <QString>

// How a sender set a piece of text off (an HTML mail's styles), over the
// text the mail reader returns.
namespace Emphasis {
enum Kind : unsigned {
    Large = 1,  // a font clearly larger than the body's
    Bold = 2,
    Spaced = 4, // letter spacing
    Mono = 8,   // a monospace face
    Boxed = 16, // a background or a border of its own
};
}

struct EmphasisSpan
{
    qsizetype start = 0;  // UTF-16 offset in the text
    qsizetype length = 0;
    unsigned kinds = 0;   // Emphasis::Kind bits
};

using EmphasisSpans = QList<EmphasisSpan>;

// "large+bold+boxed": the kinds' names, for people reading a mail's analysis.
QString emphasisNames(unsigned kinds);
