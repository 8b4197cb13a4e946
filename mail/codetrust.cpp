#include "mail/codetrust.h"


CodeTrust codeTrust(const MailItem &mail, const QDateTime &now, int minConfidence)
{
    CodeTrust t;
    if (mail.code.isEmpty()) {
        t.reason = QStringLiteral("kod yok");
        return t;
    }
    if (mail.silenced) {
        t.reason = QStringLiteral("gonderici yok sayiliyor");
        return t;
    }
    if (mail.confidence < minConfidence) {
        t.reason = QStringLiteral("dusuk guven (%1 < %2)").arg(mail.confidence).arg(minConfidence);
        return t;
    }
    const QDateTime stamp = mail.sent.isValid() ? mail.sent : mail.received;
    if (stamp.isValid() && now.isValid()) {
        const qint64 age = stamp.secsTo(now);
        if (age > kFreshSeconds) {
            t.reason = QStringLiteral("eski posta (%1 dk once)").arg(age / 60);
            return t;
        }
        if (-age > kFutureSlackSeconds) {
            t.reason = QStringLiteral("ileri tarihli posta (%1 dk sonra)").arg((-age + 59) / 60);
            return t;
        }
    }
    t.trusted = true;
    t.reason = QStringLiteral("guvenilir kod");
    return t;
}

int minConfidenceSetting()
{
    return Settings::minConfidence(kDefaultMinConfidence);
}

qint64 codeAgeSeconds(const MailItem &mail, const QDateTime &now)
{
    if (!now.isValid())
        return -1;
    // A Date after the mail's arrival (or ahead of us) is a wrong clock:
    // the arrival is the better word.
    const QDateTime latest = mail.received.isValid() ? qMin(mail.received, now) : now;
    if (mail.sent.isValid() && mail.sent <= latest)
        return mail.sent.secsTo(now);
    if (mail.received.isValid())
        return qMax<qint64>(0, mail.received.secsTo(now));
    return -1;
}

QString codeAgeText(qint64 ageSeconds)
{
    if (ageSeconds < 0)
        return QString();
    if (ageSeconds < 60)
        return QStringLiteral("simdi");
    if (ageSeconds < 3600)
        return QStringLiteral("%1 dk once").arg(ageSeconds / 60);
    if (ageSeconds < 86400)
        return QStringLiteral("%1 sa once").arg(ageSeconds / 3600);
    return QStringLiteral("%1 gun once").arg(ageSeconds / 86400);
}
