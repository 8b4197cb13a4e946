#pragma once

#include "mail/mailrecords.h"

#include <QList>
#include <QString>

// Texts of the new-code flow, kept apart from the window so they can be
// checked directly.

struct TrayText
{
    QString title;
    QString text;
};

// Brand name of the sender as the card shows it, else its display name, or
// that of the receiving account when the sender is empty.
QString notifySenderName(const MailItem &m);

// The batched tray message for one or more codes; an empty batch gives an
// empty title and text.
TrayText codeBatchNotification(const QList<MailItem> &batch);

// Status line for a code that was just copied.
QString newCodeStatusText(const MailItem &m);

// Why a code was held back: the prefix, then the reason.
inline constexpr const char *kHeldPrefix = "Kod kopyalanmadi: ";
inline constexpr const char *kHeldFirstRoundStatus = "Kod kopyalanmadi: acilista kutuda olan posta";
inline constexpr const char *kHeldDemoStatus = "Kod kopyalanmadi: demo posta";
inline constexpr const char *kMaskedCodeStatus = "Yeni kod geldi (koruma: gizli).";
inline constexpr const char *kMaskedCodeTray = "Yeni kod geldi (koruma aktif, gizli).";
inline constexpr const char *kMaskedEnterStatus = "Koruma: analiz ortami algilandi, kodlar gizlendi.";
inline constexpr const char *kMaskedEnterTrayTitle = "MIRELO+ Koruma";
inline constexpr const char *kMaskedEnterTray = "Debugger/analiz araci algilandi. Kodlar bu oturumda gizli.";
inline constexpr const char *kMaskedActionStatus = "Koruma aktif: kod gizli.";
inline constexpr const char *kCloseToTrayText = "Arka planda calismaya devam ediyor. Kod gelince bildirecegim.";
inline constexpr const char *kTrayToolTip = "MIRELO+ - arka planda calisiyor";
inline constexpr const char *kInitialStatus = "Hazir. Demo veriyle baslayabilirsin.";
