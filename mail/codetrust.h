#pragma once

#include "core/settings.h"
#include "mail/mailrecords.h"

#include <QDateTime>
#include <QString>

// Whether a mail's code may be acted on without the user: copied to the
// clipboard, announced, pushed to phones, kept for the typer.
struct CodeTrust
{
    bool trusted = false;
    QString reason; // short Turkish text: why not, or that it is trusted
};

// Settings key of the confidence a code needs; the default was measured on
// the development corpus (every code mail passes, no false code does).
inline constexpr const char *kMinConfidenceKey = SettingsKey::kMinConfidence;
inline constexpr int kDefaultMinConfidence = 70;
// A code mail older than this is stale: its code has most likely expired
// or the mail was held back somewhere on its way.
inline constexpr qint64 kFreshSeconds = 15 * 60;
// Clocks drift; a Date a little ahead of ours is still fresh.
inline constexpr qint64 kFutureSlackSeconds = 5 * 60;

// The decision for `mail` at `now`. The mail's age comes from its Date
// (`sent`); without one, from when it was fetched (`received`); without
// either it counts as fresh. Pure.
CodeTrust codeTrust(const MailItem &mail, const QDateTime &now, int minConfidence);

// The threshold from the per-user settings store; the default when the key
// is missing or not a number from 0 to 100.
int minConfidenceSetting();

// How old a code is, from its mail's Date, or its arrival when the Date is
// missing or later than the arrival (or `now`); -1 when neither is known.
qint64 codeAgeSeconds(const MailItem &mail, const QDateTime &now);
// "2 dk once", "simdi" under a minute, "3 sa once" from an hour; empty for -1.
QString codeAgeText(qint64 ageSeconds);
