#include "recognition/brands.h"

#include "recognition/headerdecode.h"

#include <QRegularExpression>

namespace {

Brand brand(const char *name, const char *icon, const char *color, QStringList domains)
{
    Brand b;
    b.name = QString::fromUtf8(name);
    b.icon = QString::fromLatin1(icon);
    b.color = QString::fromLatin1(color);
    b.domains = std::move(domains);
    return b;
}

} // namespace

const QList<Brand> &brandCatalogue()
{
    static const QList<Brand> catalogue = {
        brand("Riot Games", "game", "#EB0029", {"riotgames.com", "playvalorant.com", "leagueoflegends.com"}),
        brand("Steam", "game", "#1B78D6", {"steampowered.com", "steamcommunity.com"}),
        brand("Epic Games", "game", "#2E2E35", {"epicgames.com"}),
        brand("Ubisoft", "game", "#006EF5", {"ubisoft.com"}),
        brand("EA", "game", "#F56C2D", {"ea.com"}),
        brand("Battle.net", "game", "#00B4FF", {"battle.net", "blizzard.com"}),
        brand("Xbox", "game", "#107C10", {"xbox.com"}),
        brand("PlayStation", "game", "#0070D1", {"playstation.com", "sony.com"}),
        brand("Discord", "inbox", "#5865F2", {"discord.com"}),
        brand("GitHub", "inbox", "#333338", {"github.com"}),
        brand("Instagram", "inbox", "#C13584", {"instagram.com"}),
        brand("YouTube", "inbox", "#FF0000", {"youtube.com"}),
        brand("Twitch", "game", "#9146FF", {"twitch.tv"}),
        brand("X", "inbox", "#111114", {"x.com", "twitter.com"}),
        brand("TikTok", "inbox", "#111114", {"tiktok.com"}),
        brand("Microsoft", "accounts", "#00A4EF", {"microsoft.com", "outlook.com", "hotmail.com", "live.com"}),
        brand("Apple", "accounts", "#333338", {"apple.com", "icloud.com", "me.com"}),
        brand("Yahoo", "inbox", "#6001D2", {"yahoo.com"}),
        // Google's account mails are not YouTube's.
        brand("Google", "accounts", "#4285F4", {"google.com"}),
    };
    return catalogue;
}

QString senderDomain(const QString &from)
{
    const QString address = senderAddress(from);
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return QString();
    QString domain = address.mid(at + 1).trimmed().toLower();
    while (domain.endsWith(QLatin1Char('.')))
        domain.chop(1);
    return domain;
}

bool domainUnder(const QString &domain, const QString &filter)
{
    QString f = filter.trimmed().toLower();
    if (f.startsWith(QLatin1Char('@')))
        f.remove(0, 1);
    if (f.startsWith(QLatin1String("*.")))
        f.remove(0, 2);
    while (f.startsWith(QLatin1Char('.')))
        f.remove(0, 1);
    if (f.isEmpty() || domain.isEmpty())
        return false;
    const QString d = domain.toLower();
    return d == f || d.endsWith(QLatin1Char('.') + f);
}

QStringList domainsInText(const QString &text)
{
    // A dot-separated run of labels ending in an alphabetic top-level label,
    // not glued to further letters, digits, dots or hyphens on either side.
    static const QRegularExpression pattern(QStringLiteral(
        "(?<![\\w.-])((?:[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\\.)+[a-z]{2,})(?![\\w-]|\\.\\w)"));
    QStringList found;
    QRegularExpressionMatchIterator it = pattern.globalMatch(text.toLower());
    while (it.hasNext())
        found.append(it.next().captured(1));
    return found;
}

namespace {

// Catalogue order decides when several brands match.
const Brand *brandForDomains(const QStringList &domains)
{
    for (const Brand &b : brandCatalogue()) {
        for (const QString &d : b.domains) {
            for (const QString &domain : domains) {
                if (domainUnder(domain, d))
                    return &b;
            }
        }
    }
    return nullptr;
}

} // namespace

Brand brandOf(const QString &from, const QString &subject)
{
    const QString domain = senderDomain(from);
    if (const Brand *b = brandForDomains({domain}))
        return *b;
    if (const Brand *b = brandForDomains(domainsInText(subject)))
        return *b;
    return Brand();
}
