#pragma once

#include <QByteArray>
#include <QString>

// Internal to the mail reader.

// Visible text of UTF-8 HTML; the walk stops once `limit` characters are out.
QString htmlVisibleText(const QByteArray &utf8, qsizetype limit);

// The charset a <meta> element near the start of an HTML document declares;
// empty when none.
QString htmlMetaCharset(const QByteArray &html);

// True for labels that name UTF-8 or its ASCII subset, and for no label.
bool isUtf8Label(const QString &label);
