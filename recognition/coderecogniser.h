#pragma once

#include "recognition/codeextractor.h"
#include "recognition/emphasis.h"

#include <QString>

// Finds the one-time code of a mail in its subject and decoded text and rates
// how sure it is (0..100). Numbers that stand for something else are never
// taken: years, dates and times, prices, phone numbers, postal codes, numbers
// labelled as orders, invoices or references, colours and CSS values, digits
// in links and e-mail addresses, long ids. A code counts when a keyword names
// it (before or after it, also in the subject) or when it stands alone on its
// line under a sentence that announces it. Codes are 4 to 8 digits (also in
// groups: "482 913", "4 8 2 9 1 3") or 4 to 10 letters and digits.
//
// The tag says what carried the code: "keyword_before", "keyword_after",
// "announced", "alone" or "loose". Pure and thread-safe.
CodeMatch recogniseCode(const QString &subject, const QString &text);

// The same, with what the sender set off in the text (the HTML reader's
// spans): a code set off on its own counts as announced by a keyword
// elsewhere in the mail ("emphasis").
CodeMatch recogniseCode(const QString &subject, const QString &text, const EmphasisSpans &emphasis);

// Codes below this confidence are not reported at all.
inline constexpr int kCodeReportFloor = 50;
