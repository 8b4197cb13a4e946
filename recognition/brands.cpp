#include "recognition/brands.h"

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
        brand("YouTube", "inbox", "#FF0000", {"youtube.com", "google.com"}),
        brand("Twitch", "game", "#9146FF", {"twitch.tv"}),
        brand("X", "inbox", "#111114", {"x.com", "twitter.com"}),
        brand("TikTok", "inbox", "#111114", {"tiktok.com"}),
        brand("Microsoft", "accounts", "#00A4EF", {"microsoft.com", "outlook.com", "hotmail.com", "live.com"}),
        brand("Apple", "accounts", "#333338", {"apple.com", "icloud.com", "me.com"}),
        brand("Yahoo", "inbox", "#6001D2", {"yahoo.com"}),
    };
    return catalogue;
}

Brand brandOf(const QString &from, const QString &subject)
{
    const QString haystack = (from + QLatin1Char(' ') + subject).toLower();
    for (const Brand &b : brandCatalogue()) {
        for (const QString &domain : b.domains) {
            if (haystack.contains(domain.toLower()))
                return b;
        }
    }
    return Brand();
}
