#pragma once

#include "mail/mailrecords.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

// Everything one inbox card shows, resolved once per rebuild so painting
// and hit-testing never look anything up again.
struct MailCardData
{
    QString id;
    QString account;
    QString from;        // as received: the sender's tool tip
    QString sender;      // brand name, else the sender's display name
    QString avatarText;  // one character
    QColor avatarColor;
    QString avatarTip;
    bool unread = false;
    QString time;        // the mail's own time, local: "HH:mm" today, else with the day
    QString codeAge;     // how old the code is ("2 dk once"), empty without a code
    QString subject;     // "(konu yok)" when empty
    QString mailSubject; // as received, for a reply
    QString preview;     // first 140 characters, empty when none
    QString badge;       // brand name or category name, empty for none
    QString badgeTip;
    QString code;        // empty when the mail has none
    QString codeShown;   // the code, or "***" in masked mode
    bool masked = false;
    bool unsure = false; // the code was not trusted to act on by itself
    QString codeTip;     // why, on the code badge
    bool demo = false;   // a sample mail: marked on the card, never acted on
    QString accountLine; // the bottom row: the account, "DEMO · " before a sample's

    bool isNew() const { return unread; }
    QString shownTime() const { return codeAge.isEmpty() ? time : time + QStringLiteral(" · ") + codeAge; }
};

// What the lookups of the other subsystems gave for one mail.
struct CardSource
{
    QString brandName;
    QString brandColor;
    QString displayName;
    QString bareAddress;
    QString avatarInitial;
    QString category;
    // The trust decision for the mail's code (see mail/codetrust.h).
    bool codeTrusted = true;
    QString trustReason;
};

inline constexpr const char *kMaskedCodeText = "***";
inline constexpr const char *kMaskedActionText = "Koruma aktif: kod gizli.";
inline constexpr const char *kMaskedButtonTip = "Koruma aktif: kod gizli";
inline constexpr const char *kDemoMarkText = "DEMO · ";
inline constexpr const char *kInTrashText = "Cop kutusunda";
inline constexpr const char *kDemoCodeTip = "Demo posta: ornek kod, kopyalanmaz ve gonderilmez.";
inline constexpr const char *kUnsureCodePrefix = "Emin degilim, kopyalanmadi: ";
inline constexpr int kMaxInboxCards = 100;
inline constexpr const char *kInboxEmptyText =
    "Henuz kod yok. Sag ustten Demo verisi ile dene veya Hesaplar'dan mail bagla.";

inline constexpr const char *kInboxNoHitsText = "Aramayla eslesen mail yok: ";
inline constexpr const char *kInboxFilterEmptyText = "Bu filtrede mail yok. Tum mailler icin [Tum Mailler].";

// `now` defaults to the current time; the card shows mailTime(m).
MailCardData buildMailCard(const MailItem &m, const CardSource &src, bool masked,
                           const QDateTime &now = QDateTime());

// The empty list's line: no search hits, an empty filter, or no mail yet.
QString inboxEmptyText(const QString &needle, bool filtered);

// The search over sender, subject, code and receiving address; `needle` is
// already trimmed and lower-cased.
bool mailMatchesNeedle(const MailItem &m, const QString &needle);

// The filter banner's text, or an empty string when the banner is hidden.
QString inboxBannerText(const QString &accountFilter, const QString &categoryFilter);

// Parts of a card that react to the mouse.
enum class CardPart { None, Avatar, Sender, UnreadDot, Badge, Code, CopyButton, TypeButton, ReplyButton };

struct CardLayout
{
    int height = 0;
    QRect avatar, sender, dot, time, subject, preview, account, badge, code, copyBtn, typeBtn, replyBtn;
    CardPart partAt(const QPoint &p) const;
};

struct CardFonts
{
    explicit CardFonts(const QFont &base);
    QFont sender, time, subject, preview, badge, code, button, avatar;
};

struct CardPalette
{
    QColor card, cardHover, border, borderNew, text, muted, chip, chipText, mini, miniBorder, miniHover, primary,
        primaryText, primaryHover, disabled, emptyText;
};
CardPalette cardPalette(bool light);

// Card geometry for a card `width` wide with its top-left at (0, 0).
CardLayout layoutMailCard(const MailCardData &d, int width, const CardFonts &fonts);

void paintMailCard(QPainter *p, const QRect &rect, const MailCardData &d, const CardLayout &layout,
                   const CardFonts &fonts, const CardPalette &pal, bool hovered, CardPart hoveredPart);
