#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>

inline constexpr const char *kLetterGreen = "#22C55E";
inline constexpr const char *kLetterGrey = "#77777F";

// A 32 by 32 transparent image: a filled circle of `color` over the whole
// image with `letter` centred in white, bold, 14 points.
QImage letterImage(const QColor &color, const QString &letter);
QIcon letterIcon(const QColor &color, const QString &letter);
// First character of `text` upper-cased, "?" when empty.
QString firstLetterUpper(const QString &text);
