#include "transport/roundscheduler.h"

bool RoundScheduler::begin(const QString &address)
{
    const QString key = address.toLower();
    if (m_busy.contains(key))
        return false;
    m_busy.insert(key);
    return true;
}

bool RoundScheduler::trigger(const QString &address)
{
    if (begin(address))
        return true;
    m_again.insert(address.toLower());
    return false;
}

bool RoundScheduler::end(const QString &address)
{
    const QString key = address.toLower();
    if (m_again.remove(key)) {
        m_busy.insert(key);
        return true;
    }
    m_busy.remove(key);
    return false;
}

void RoundScheduler::forget(const QString &address)
{
    const QString key = address.toLower();
    m_busy.remove(key);
    m_again.remove(key);
}

bool RoundScheduler::busy(const QString &address) const
{
    return m_busy.contains(address.toLower());
}
