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

// The built-in brands, in precedence order.
const QList<Brand> &brandCatalogue();

// Brand of a sender: the first brand with a domain equal to the sender
// address's domain or to a parent of it (whole labels, ignoring case). Only
// when no brand matches the sender is the subject read, for domain names
// written in it. The no-brand value when nothing matches.
Brand brandOf(const QString &from, const QString &subject);

// Lower-case domain of a sender text's address; empty when it has none.
QString senderDomain(const QString &from);

// Whether `domain` is `filter` or lies under it, label by label ("mail.ea.com"
// is under "ea.com", "fooea.com" is not). A leading "@", "*." or "." on the
// filter is ignored; an empty filter matches nothing.
bool domainUnder(const QString &domain, const QString &filter);

// Domain names written in a text (a subject), lower case, in order.
QStringList domainsInText(const QString &text);
