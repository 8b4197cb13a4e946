#include "router/coderouter.h"

#include "mail/codetrust.h"
#include "router/notifytext.h"

#include "core/settings.h"

#include <QTimer>

CodeRouter::CodeRouter(const CodeRouterOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_notifyTimer(new QTimer(this))
{
    qRegisterMetaType<Notice>();
    m_quietUntil = m_options.clock.secsSinceEpoch() + m_options.quietSeconds;
    m_notifyTimer->setSingleShot(true);
    m_notifyTimer->setInterval(m_options.notifyMs);
    connect(m_notifyTimer, &QTimer::timeout, this, &CodeRouter::flushNotices);
}

void CodeRouter::onNewCode(const MailItem &mail)
{
    if (mail.code.isEmpty())
        return;
    // Signed out: nothing of a code leaves the program until a user is in.
    if (!isAdmitted())
        return;
    if (mail.demo) {
        emit status(QString::fromLatin1(kHeldDemoStatus));
        return;
    }
    // A first-round mail sent after the start came in while that round ran:
    // it was not in the mailbox before, and acts like any later one.
    const bool sentBefore = !mail.sent.isValid() || mail.sent.toSecsSinceEpoch() < m_quietUntil - m_options.quietSeconds;
    if (mail.firstRound && sentBefore && m_options.clock.secsSinceEpoch() < m_quietUntil) {
        emit status(QString::fromLatin1(kHeldFirstRoundStatus));
        return;
    }
    if (m_masked) {
        emit status(QString::fromLatin1(kMaskedCodeStatus));
        emit notice({QStringLiteral("MIRELO+"), QString::fromLatin1(kMaskedCodeTray), false, kMaskedNoticeMs});
        return;
    }
    // Only a sure code from a fresh mail acts on its own; the card still
    // shows any other, and copying it by hand still works.
    const CodeTrust trust = codeTrust(mail, m_options.clock.now(), minConfidenceSetting());
    if (!trust.trusted) {
        emit status(QString::fromLatin1(kHeldPrefix) + trust.reason);
        return;
    }
    m_pending.append(mail);
    while (m_pending.size() > kMaxPending)
        m_pending.removeFirst();
    m_lastMail = mail;
    setLastCode(mail.code);
    emit copyRequested(mail.code);
    emit autoCopied(mail);
    emit pushRequested(mail);
    emit status(newCodeStatusText(mail));
    if (!m_notifyTimer->isActive())
        m_notifyTimer->start();
    emit codeTaken();
}

void CodeRouter::flushNotices()
{
    if (m_pending.isEmpty() || !m_noticesShown)
        return;
    if (!isAdmitted()) {
        m_pending.clear();
        return;
    }
    const TrayText t = codeBatchNotification(m_pending);
    m_pending.clear();
    emit notice({t.title, t.text, false, kNoticeMs});
}

void CodeRouter::setMasked(bool masked)
{
    if (m_masked == masked)
        return;
    m_masked = masked;
    // the hotkey types the last code on its own; it must not reveal one now
    if (masked)
        setLastCode(QString());
}

bool CodeRouter::isAdmitted() const
{
    return !m_options.admitted || m_options.admitted();
}

void CodeRouter::copyCode(const QString &code)
{
    if (!isAdmitted())
        return;
    if (m_masked) {
        emit status(QString::fromLatin1(kMaskedActionStatus));
        return;
    }
    emit copyRequested(code);
    emit status(QStringLiteral("Kopyalandi: ") + code);
}

void CodeRouter::typeCode(const QString &code)
{
    if (!isAdmitted())
        return;
    if (m_masked) {
        emit status(QString::fromLatin1(kMaskedActionStatus));
        return;
    }
    emit typeRequested(code);
    emit status(QStringLiteral("Yaziliyor: ") + code);
}

void CodeRouter::typeLastCode()
{
    // It would show the window (minimised) and a code before sign-in.
    if (!isAdmitted())
        return;
    if (m_masked) {
        emit status(QString::fromLatin1(kMaskedActionStatus));
        return;
    }
    const QString code = typableLastCode();
    if (!code.isEmpty())
        emit typeRequested(code);
}

QString CodeRouter::typableLastCode()
{
    if (!isAdmitted() || m_masked || m_lastCode.isEmpty())
        return QString();
    const int minutes = m_options.staleMinutes ? m_options.staleMinutes() : Settings::staleMinutes();
    const qint64 age = codeAgeSeconds(m_lastMail, m_options.clock.now());
    if (age >= qint64(minutes) * 60) {
        const QString text = QStringLiteral("Son kod %1 dk once geldi; yazilmadi").arg(age / 60);
        emit status(text);
        emit notice({QStringLiteral("MIRELO+"), text, false, kMaskedNoticeMs});
        return QString();
    }
    emit lastCodeTyped(m_lastMail.id);
    return m_lastCode;
}

void CodeRouter::setLastCode(const QString &code)
{
    m_lastCode = code;
    if (code.isEmpty())
        m_lastMail = MailItem();
    emit lastCodeChanged(code);
}

void CodeRouter::signedOut()
{
    m_pending.clear();
    m_notifyTimer->stop();
    setLastCode(QString());
}

void CodeRouter::restartQuietPeriod()
{
    m_quietUntil = m_options.clock.secsSinceEpoch() + m_options.quietSeconds;
}
