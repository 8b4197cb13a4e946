#pragma once

#include <QString>

// Text from outside (mail headers, the database, servers) in the places
// where Qt would read it as markup. Labels showing it use Qt::PlainText.

// A tool tip that shows exactly `text`: Qt renders a tip that looks like
// HTML as rich text, so such a tip is escaped into a paragraph.
QString plainToolTip(const QString &text);
// A menu or button text that shows exactly `text`: '&' would mark a shortcut.
QString plainMenuText(const QString &text);
