#include "transport/sessionqueue.h"

#include "transport/sessionsocket.h"

void SessionQueue::run(std::function<void()> job)
{
    m_pending.append(std::move(job));
    if (m_busy)
        return;
    m_busy = true;
    while (!m_pending.isEmpty() && !sessionInterrupted()) {
        auto next = m_pending.takeFirst();
        next();
    }
    if (sessionInterrupted())
        m_pending.clear();
    m_busy = false;
}
