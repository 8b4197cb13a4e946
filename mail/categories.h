#pragma once

#include "mail/mailrecords.h"

#include <QList>
#include <QString>
#include <QStringList>

// A named group of mails with its automatic rule. Identity: name, exact.
struct Category
{
    QString name;
    QString icon = QStringLiteral("game");
    QStringList filters; // match strings, in practice sender domains
};

// "Oyunlar" and "Sosyal", created when the store has no categories.
QList<Category> defaultCategories();

// Name of the first category with a filter domain equal to the sender's
// domain or a parent of it (whole labels, ignoring case); only when none
// matches the sender, domains written in the subject are tried. Empty when
// nothing matches.
QString categoryOf(const QList<Category> &categories, const MailItem &mail);
QString categoryOf(const QList<Category> &categories, const QString &from, const QString &subject);

// "Otomatik kural: " followed by the filters joined with ", ".
QString categoryRuleText(const Category &category);
