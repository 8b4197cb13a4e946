#include "vault/autolock.h"

#include "vault/totpmanager.h"

#include <QTimer>

AutoLock::AutoLock(TotpManager *vault, QObject *parent, int intervalMs)
    : QObject(parent), m_vault(vault), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(intervalMs);
    connect(m_timer, &QTimer::timeout, this, &AutoLock::onTimeout);
    // A vault locked by hand needs no countdown.
    connect(m_vault, &TotpManager::lockChanged, this, [this] {
        if (m_vault->isLocked())
            m_timer->stop();
    });
}

void AutoLock::restart()
{
    if (!m_vault->isLocked())
        m_timer->start();
}

void AutoLock::stop()
{
    m_timer->stop();
}

bool AutoLock::isActive() const
{
    return m_timer->isActive();
}

int AutoLock::interval() const
{
    return m_timer->interval();
}

void AutoLock::onTimeout()
{
    if (m_vault->isLocked())
        return;
    m_vault->lock();
    emit autoLocked();
}
