#pragma once

#include <QDateTime>

#include <functional>
#include <type_traits>
#include <utility>

// Where services read "now". A default-built clock is the system's; tests
// build one over their own time source. Copies share nothing but the source.
class Clock
{
public:
    using Source = std::function<QDateTime()>;

    Clock() = default;
    // Any callable giving a QDateTime; an empty one falls back to the system.
    template <typename F,
              typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, Clock>
                                          && std::is_convertible_v<std::invoke_result_t<F &>, QDateTime>>>
    Clock(F source) : m_source(std::move(source))
    {
    }
    // A clock over seconds since the Unix epoch.
    static Clock fromSeconds(std::function<qint64()> seconds);

    // Now, in UTC.
    QDateTime now() const;
    QDateTime operator()() const { return now(); }
    // Now, in the local time zone (times the user reads).
    QDateTime nowLocal() const { return now().toLocalTime(); }
    qint64 secsSinceEpoch() const { return now().toSecsSinceEpoch(); }

private:
    Source m_source;
};
