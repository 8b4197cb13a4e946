#pragma once

#include "recognition/emphasis.h"

#include <QByteArray>
#include <QString>

// Internal to the mail reader.

// Visible text of UTF-8 HTML; the scan stops once `limit` characters are out.
// Emphasis spans over that text are added to `emphasis` when given.
QString htmlVisibleText(const QByteArray &utf8, qsizetype limit, EmphasisSpans *emphasis = nullptr);

// Visible text of HTML octets in the labelled charset (when empty, as a
// <meta> declares, else UTF-8), at most `limit` characters.
QString htmlText(const QByteArray &html, const QString &charset, qsizetype limit, EmphasisSpans *emphasis = nullptr);

// The charset a <meta> element near the start of an HTML document declares;
// empty when none.
QString htmlMetaCharset(const QByteArray &html);

// Whether octets are UTF-8, a last character cut short aside.
bool readsAsUtf8(const QByteArray &bytes);

// True for labels that name UTF-8 or its ASCII subset, and for no label.
bool isUtf8Label(const QString &label);

// A character reference after its '&' (`at` points past it): the octets it
// takes, the ';' included, and its code point; 0 when none stands there.
qsizetype htmlEntity(const char *at, const char *end, char32_t *code);
