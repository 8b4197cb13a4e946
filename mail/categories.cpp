#include "mail/categories.h"

#include "recognition/brands.h"

QList<Category> defaultCategories()
{
    Category games;
    games.name = QStringLiteral("Oyunlar");
    games.icon = QStringLiteral("game");
    games.filters = {
        QStringLiteral("riotgames.com"),      QStringLiteral("playvalorant.com"),
        QStringLiteral("leagueoflegends.com"), QStringLiteral("steampowered.com"),
        QStringLiteral("steamcommunity.com"), QStringLiteral("epicgames.com"),
        QStringLiteral("ubisoft.com"),        QStringLiteral("ea.com"),
        QStringLiteral("battle.net"),         QStringLiteral("xbox.com"),
    };

    Category social;
    social.name = QStringLiteral("Sosyal");
    social.icon = QStringLiteral("inbox");
    social.filters = {
        QStringLiteral("instagram.com"), QStringLiteral("x.com"),      QStringLiteral("twitter.com"),
        QStringLiteral("discord.com"),   QStringLiteral("tiktok.com"),
    };
    return {games, social};
}

namespace {

QString categoryForDomains(const QList<Category> &categories, const QStringList &domains)
{
    for (const Category &category : categories) {
        for (const QString &filter : category.filters) {
            for (const QString &domain : domains) {
                if (domainUnder(domain, filter))
                    return category.name;
            }
        }
    }
    return QString();
}

} // namespace

QString categoryOf(const QList<Category> &categories, const QString &from, const QString &subject)
{
    const QString bySender = categoryForDomains(categories, {senderDomain(from)});
    if (!bySender.isEmpty())
        return bySender;
    return categoryForDomains(categories, domainsInText(subject));
}

QString categoryOf(const QList<Category> &categories, const MailItem &mail)
{
    return categoryOf(categories, mail.from, mail.subject);
}

QString categoryRuleText(const Category &category)
{
    return QStringLiteral("Otomatik kural: ") + category.filters.join(QStringLiteral(", "));
}
