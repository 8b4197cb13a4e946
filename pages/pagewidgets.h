#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// A plain-text label carrying a style class ("h1", "muted", ...).
QLabel *classedLabel(const QString &text, const char *cls, QWidget *parent);
// A button with a style class and the pointing-hand cursor.
QPushButton *classedButton(const QString &text, const char *cls, QWidget *parent);
