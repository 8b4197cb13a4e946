#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// Theme lookups. The theme is read from the settings store at every call, so
// a switch is seen by all later lookups at once.

// Makes the compiled-in style sheets, icons and logos available; cheap to
// call again.
void initMireloResources();

// True exactly when the stored "theme" value is "light" (case-sensitive).
bool isLightTheme();
void setLightTheme(bool light);

// ":/icons/<name>.svg" in the dark theme, ":/icons/<name>_dark.svg" in the
// light theme.
QString iconPath(const QString &name);
QIcon themeIcon(const QString &name);
// The plus on the primary buttons sits on an inverted background.
QString primaryPlusIconPath();

// The style sheet of the current theme, or a null string when it cannot be
// read (callers keep the sheet they have).
QString themeStyleSheet();

// Window and tray icon: a logo.png beside the program or in the working
// directory wins over the embedded one; the theme's SVG logo is the last
// resort.
QIcon logoIcon();
// The 22x22 title-bar logo under the same lookup.
QPixmap titleLogoPixmap(int size = 22);
// Candidate logo files in lookup order (files first, then resources).
QStringList logoCandidates();
