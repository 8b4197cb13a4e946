#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A well-known sender. The default value is the no-brand value.
struct Brand
{
    QString name;                           // empty: no brand
    QString icon = QStringLiteral("game");
    QString color = QStringLiteral("#55555E");
    QStringList domains;
};

inline const char *const kNoBrandColor = "#55555E";

// The eighteen built-in brands, in precedence order.
const QList<Brand> &brandCatalogue();

// First brand one of whose domains occurs in "from subject" (ignoring case),
// or the no-brand value.
Brand brandOf(const QString &from, const QString &subject);
