#include "transport/sessionqueue.h"

#include "transport/sessionsocket.h"

void SessionQueue::run(std::function<void()> job)
{
    pending.append(std::move(job));
    if (busy)
        return;
    busy = true;
    while (!pending.isEmpty() && !sessionInterrupted()) {
        auto next = pending.takeFirst();
        next();
    }
    if (sessionInterrupted())
        pending.clear();
    busy = false;
}
