#include "pages/mailcard.h"

#include "mail/codetrust.h"
#include "recognition/brands.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

QString inboxEmptyText(const QString &needle, bool filtered)
{
    if (!needle.isEmpty())
        return QString::fromLatin1(kInboxNoHitsText) + QLatin1Char('"') + needle
            + QStringLiteral("\". Aramayi temizle ya da baska bir kelime dene.");
    if (filtered)
        return QString::fromLatin1(kInboxFilterEmptyText);
    return QString::fromLatin1(kInboxEmptyText);
}

MailCardData buildMailCard(const MailItem &m, const CardSource &src, bool masked, const QDateTime &now)
{
    MailCardData d;
    d.id = m.id;
    d.account = m.account;
    d.from = m.from;
    const bool branded = !src.brandName.isEmpty();
    d.sender = branded ? src.brandName : src.displayName;
    d.avatarText = src.avatarInitial.isEmpty() ? QStringLiteral("?") : src.avatarInitial;
    d.avatarColor = QColor(src.brandColor.isEmpty() ? QString::fromLatin1(kNoBrandColor) : src.brandColor);
    if (!d.avatarColor.isValid())
        d.avatarColor = QColor(kNoBrandColor);
    d.avatarTip = branded ? src.brandName + QStringLiteral(" — ") + src.bareAddress : src.bareAddress;
    d.unread = !m.seen;
    const QDateTime at = now.isValid() ? now : QDateTime::currentDateTime();
    d.time = readableTime(mailTime(m), at);
    // How old the code is, so a stale one is seen before it is used.
    if (!m.code.isEmpty())
        d.codeAge = codeAgeText(codeAgeSeconds(m, at));
    d.subject = m.subject.isEmpty() ? QStringLiteral("(konu yok)") : m.subject;
    d.mailSubject = m.subject;
    d.preview = m.preview.left(140);
    if (branded) {
        d.badge = src.brandName;
        d.badgeTip = QStringLiteral("Marka: ") + src.brandName;
    } else if (!src.category.isEmpty()) {
        d.badge = src.category;
    }
    d.code = m.code;
    d.masked = masked;
    d.codeShown = masked ? QString::fromLatin1(kMaskedCodeText) : m.code;
    d.unsure = !m.code.isEmpty() && !src.codeTrusted;
    if (d.unsure)
        d.codeTip = QString::fromLatin1(kUnsureCodePrefix) + src.trustReason;
    d.demo = m.demo;
    d.accountLine = m.demo ? QString::fromUtf8(kDemoMarkText) + m.account : m.account;
    if (m.inTrash)
        d.accountLine += QStringLiteral(" · ") + QLatin1String(kInTrashText);
    if (m.demo && !m.code.isEmpty()) {
        // Outlined like any code that does not act by itself.
        d.unsure = true;
        d.codeTip = QString::fromLatin1(kDemoCodeTip);
    }
    return d;
}

bool mailMatchesNeedle(const MailItem &m, const QString &needle)
{
    if (needle.isEmpty())
        return true;
    const QString hay = (m.from + ' ' + m.subject + ' ' + m.code + ' ' + m.account).toLower();
    return hay.contains(needle);
}

QString inboxBannerText(const QString &accountFilter, const QString &categoryFilter)
{
    if (!accountFilter.isEmpty())
        return QStringLiteral("Sadece bu hesabin mailleri gosteriliyor: ") + accountFilter
               + QStringLiteral("   —  Tum maillere donmek icin soldaki [Tum Mailler] butonuna bas.");
    if (!categoryFilter.isEmpty())
        return QStringLiteral("Kategori: ") + categoryFilter + QStringLiteral("  —  Tum mailler icin [Tum Mailler].");
    return QString();
}

CardPart CardLayout::partAt(const QPoint &p) const
{
    // Buttons first: they sit on top of nothing else but are what users aim at.
    if (copyBtn.contains(p))
        return CardPart::CopyButton;
    if (typeBtn.contains(p))
        return CardPart::TypeButton;
    if (replyBtn.contains(p))
        return CardPart::ReplyButton;
    if (code.contains(p))
        return CardPart::Code;
    if (badge.contains(p))
        return CardPart::Badge;
    if (avatar.contains(p))
        return CardPart::Avatar;
    if (dot.contains(p))
        return CardPart::UnreadDot;
    if (sender.contains(p))
        return CardPart::Sender;
    return CardPart::None;
}

static QFont sized(const QFont &base, int px, int weight)
{
    QFont f(base);
    f.setPixelSize(px);
    f.setWeight(QFont::Weight(weight));
    return f;
}

CardFonts::CardFonts(const QFont &base)
    : sender(sized(base, 13, QFont::Bold)), time(sized(base, 12, QFont::Normal)),
      subject(sized(base, 13, QFont::Normal)), preview(sized(base, 12, QFont::Normal)),
      badge(sized(base, 11, QFont::DemiBold)), code(sized(base, 14, QFont::Bold)),
      button(sized(base, 12, QFont::DemiBold)), avatar(sized(base, 15, QFont::ExtraBold))
{
    code.setLetterSpacing(QFont::AbsoluteSpacing, 1);
}

CardPalette cardPalette(bool light)
{
    if (light)
        return {QColor("#FFFFFF"), QColor("#FAFAFC"), QColor("#E2E2E8"), QColor("#A7DDB8"), QColor("#1C1C1F"),
                QColor("#6B6B74"), QColor("#F0F0F3"), QColor("#4A4A52"), QColor("#F0F0F3"), QColor("#E2E2E8"),
                QColor("#E2E2E8"), QColor("#111114"), QColor("#FFFFFF"), QColor("#2C2C31"), QColor("#A8A8B0"),
                QColor("#6B6B74")};
    return {QColor("#131316"), QColor("#17171B"), QColor("#1F1F24"), QColor("#2B4A36"), QColor("#EDEDEF"),
            QColor("#8B8B94"), QColor("#1C1C21"), QColor("#B4B4BC"), QColor("#1C1C21"), QColor("#2A2A30"),
            QColor("#26262C"), QColor("#FFFFFF"), QColor("#000000"), QColor("#DCDCE0"), QColor("#55555E"),
            QColor("#8B8B94")};
}

namespace {
constexpr int kMarginL = 12, kMarginT = 10, kMarginR = 12, kMarginB = 10, kSpacing = 12, kColSpacing = 4;
constexpr int kAvatar = 38, kRowH = 18, kBottomH = 26, kBtnH = 24, kBtnPad = 10, kBadgeH = 18, kGap = 6;

int wrappedHeight(const QFontMetrics &fm, int width, const QString &text)
{
    return fm.boundingRect(QRect(0, 0, qMax(1, width), 100000), Qt::TextWordWrap, text).height();
}
} // namespace

CardLayout layoutMailCard(const MailCardData &d, int width, const CardFonts &fonts)
{
    CardLayout l;
    const int colX = kMarginL + kAvatar + kSpacing;
    const int colW = qMax(40, width - colX - kMarginR);
    l.avatar = QRect(kMarginL, kMarginT, kAvatar, kAvatar);

    int y = kMarginT;
    const QFontMetrics fmTime(fonts.time), fmSender(fonts.sender);
    const int timeW = fmTime.horizontalAdvance(d.shownTime()) + 2;
    l.time = QRect(colX + colW - timeW, y, timeW, kRowH);
    const int dotW = d.unread ? 14 : 0;
    const int senderMax = colW - timeW - dotW - kGap;
    const int senderW = qMin(senderMax, fmSender.horizontalAdvance(d.sender) + 2);
    l.sender = QRect(colX, y, qMax(0, senderW), kRowH);
    if (d.unread)
        l.dot = QRect(colX + senderW + 4, y, 10, kRowH);
    y += kRowH + kColSpacing;

    const int subjH = wrappedHeight(QFontMetrics(fonts.subject), colW, d.subject);
    l.subject = QRect(colX, y, colW, subjH);
    y += subjH + kColSpacing;
    if (!d.preview.isEmpty()) {
        const int prevH = wrappedHeight(QFontMetrics(fonts.preview), colW, d.preview);
        l.preview = QRect(colX, y, colW, prevH);
        y += prevH + kColSpacing;
    }

    // Bottom row, laid out from the right edge.
    const QFontMetrics fmBtn(fonts.button);
    int right = colX + colW;
    const int btnY = y + (kBottomH - kBtnH) / 2;
    auto takeButton = [&](const QString &text) {
        const int w = fmBtn.horizontalAdvance(text) + 2 * kBtnPad;
        QRect r(right - w, btnY, w, kBtnH);
        right -= w + kGap;
        return r;
    };
    l.replyBtn = takeButton(QStringLiteral("Cevapla"));
    if (!d.code.isEmpty()) {
        l.typeBtn = takeButton(QStringLiteral("Otomatik yaz"));
        l.copyBtn = takeButton(QStringLiteral("Kopyala"));
        const int cw = QFontMetrics(fonts.code).horizontalAdvance(d.codeShown) + 20;
        l.code = QRect(right - cw, y, cw, kBottomH);
        right -= cw + kGap;
    }
    if (!d.badge.isEmpty()) {
        const int bw = QFontMetrics(fonts.badge).horizontalAdvance(d.badge) + 18;
        l.badge = QRect(right - bw, y + (kBottomH - kBadgeH) / 2, bw, kBadgeH);
        right -= bw + kGap;
    }
    l.account = QRect(colX, y, qMax(0, right - colX), kBottomH);
    y += kBottomH;
    l.height = qMax(y, kMarginT + kAvatar) + kMarginB;
    return l;
}

static void drawPill(QPainter *p, const QRectF &r, qreal radius, const QColor &fill, const QColor &border)
{
    QPainterPath path;
    path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p->fillPath(path, fill);
    if (border.isValid()) {
        p->setBrush(Qt::NoBrush);
        p->setPen(QPen(border, 1));
        p->drawPath(path);
    }
}

void paintMailCard(QPainter *p, const QRect &rect, const MailCardData &d, const CardLayout &l,
                   const CardFonts &fonts, const CardPalette &pal, bool hovered, CardPart hp)
{
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->translate(rect.topLeft());
    drawPill(p, QRectF(0, 0, rect.width(), rect.height()), 11, hovered ? pal.cardHover : pal.card,
             d.unread ? pal.borderNew : pal.border);

    // avatar
    p->setPen(Qt::NoPen);
    p->setBrush(d.avatarColor);
    p->drawEllipse(l.avatar);
    p->setPen(Qt::white);
    p->setFont(fonts.avatar);
    p->drawText(l.avatar, Qt::AlignCenter, d.avatarText);

    // top row
    p->setPen(pal.text);
    p->setFont(fonts.sender);
    p->drawText(l.sender, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(fonts.sender).elidedText(d.sender, Qt::ElideRight, l.sender.width()));
    if (d.unread) {
        QFont dotFont(fonts.time);
        dotFont.setPixelSize(10);
        p->setFont(dotFont);
        p->setPen(QColor("#22C55E"));
        p->drawText(l.dot, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("●"));
    }
    p->setFont(fonts.time);
    p->setPen(pal.muted);
    p->drawText(l.time, Qt::AlignRight | Qt::AlignVCenter, d.shownTime());

    // subject and preview
    p->setPen(pal.text);
    p->setFont(fonts.subject);
    p->drawText(l.subject, Qt::TextWordWrap, d.subject);
    if (!d.preview.isEmpty()) {
        p->setPen(pal.muted);
        p->setFont(fonts.preview);
        p->drawText(l.preview, Qt::TextWordWrap, d.preview);
    }

    // bottom row
    p->setFont(fonts.time);
    p->setPen(pal.muted);
    p->drawText(l.account, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(fonts.time).elidedText(d.accountLine, Qt::ElideRight, l.account.width()));
    if (!d.badge.isEmpty()) {
        drawPill(p, l.badge, l.badge.height() / 2.0, pal.chip, QColor());
        p->setPen(pal.chipText);
        p->setFont(fonts.badge);
        p->drawText(l.badge, Qt::AlignCenter, d.badge);
    }
    if (!d.code.isEmpty() && d.unsure) {
        // An unsure code: outlined in dashes instead of filled.
        QPainterPath path;
        path.addRoundedRect(QRectF(l.code).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        p->setBrush(Qt::NoBrush);
        p->setPen(QPen(pal.muted, 1, Qt::DashLine));
        p->drawPath(path);
        p->setPen(pal.muted);
        p->setFont(fonts.code);
        p->drawText(l.code, Qt::AlignCenter, d.codeShown);
    } else if (!d.code.isEmpty()) {
        drawPill(p, l.code, 6, pal.primary, QColor());
        p->setPen(pal.primaryText);
        p->setFont(fonts.code);
        p->drawText(l.code, Qt::AlignCenter, d.codeShown);
    }
    p->setFont(fonts.button);
    auto miniButton = [&](const QRect &r, const QString &text, bool accent, bool enabled, bool hot) {
        if (accent && enabled)
            drawPill(p, r, 6, hot ? pal.primaryHover : pal.primary, QColor());
        else
            drawPill(p, r, 6, hot && enabled ? pal.miniHover : pal.mini, accent ? QColor() : pal.miniBorder);
        p->setPen(!enabled ? pal.disabled : accent ? pal.primaryText : pal.text);
        p->drawText(r, Qt::AlignCenter, text);
    };
    if (!d.code.isEmpty()) {
        miniButton(l.copyBtn, QStringLiteral("Kopyala"), false, !d.masked, hp == CardPart::CopyButton);
        miniButton(l.typeBtn, QStringLiteral("Otomatik yaz"), true, !d.masked, hp == CardPart::TypeButton);
    }
    miniButton(l.replyBtn, QStringLiteral("Cevapla"), false, true, hp == CardPart::ReplyButton);
    p->restore();
}
