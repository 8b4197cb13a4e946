#include "protection/protectionservice.h"

#include "core/settings.h"
#include "desktop/captureprotection.h"
#include "desktop/protectionguard.h"
#include "router/notifytext.h"

#include <QTimer>

ProtectionService::ProtectionService(const ProtectionOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_timer(new QTimer(this))
{
    qRegisterMetaType<Notice>();
    if (!m_options.guard)
        m_options.guard = analysisEnvironmentPresent;
    if (!m_options.captureAvailable)
        m_options.captureAvailable = captureProtectionAvailable;
    m_timer->setInterval(m_options.guardTickMs);
    connect(m_timer, &QTimer::timeout, this, &ProtectionService::check);
}

bool ProtectionService::captureAvailable() const
{
    return m_options.captureAvailable();
}

bool ProtectionService::captureEnabled() const
{
    return Settings::captureProtection();
}

QString ProtectionService::guardStatus() const
{
    return protectionGuardStatus(m_present || m_masked);
}

void ProtectionService::start()
{
    m_present = m_options.guard();
    if (m_present)
        enterMaskedMode();
    m_timer->start();
}

void ProtectionService::protectWindow(WId window)
{
    m_window = window;
    ::setCaptureProtection(m_window, captureEnabled());
}

void ProtectionService::check()
{
    m_present = m_options.guard();
    emit checked();
    emit guardStatusChanged(guardStatus());
    if (m_present)
        enterMaskedMode();
}

void ProtectionService::setCaptureProtection(bool on)
{
    Settings::setCaptureProtection(on);
    ::setCaptureProtection(m_window, on);
    emit status(QStringLiteral("Ekran yakalama korumasi: ") + (on ? "ACIK" : "KAPALI"));
}

void ProtectionService::enterMaskedMode()
{
    if (m_masked)
        return;
    m_masked = true;
    emit status(QString::fromLatin1(kMaskedEnterStatus));
    emit notice({QString::fromLatin1(kMaskedEnterTrayTitle), QString::fromLatin1(kMaskedEnterTray), true, 4000});
    emit maskedChanged(true);
}
