#include "core/clock.h"

Clock Clock::fromSeconds(std::function<qint64()> seconds)
{
    if (!seconds)
        return Clock();
    return Clock([seconds = std::move(seconds)] { return QDateTime::fromSecsSinceEpoch(seconds(), Qt::UTC); });
}

QDateTime Clock::now() const
{
    if (!m_source)
        return QDateTime::currentDateTimeUtc();
    return m_source().toUTC();
}
