#pragma once

#include <QList>

#include <functional>

// Runs a worker's sessions strictly one after the other. Sessions wait on
// their sockets in nested event loops, which also deliver queued requests;
// a request that arrives meanwhile is held here and run after the current
// one, in arrival order, instead of starting a second session inside it.
class SessionQueue
{
public:
    void run(std::function<void()> job);

private:
    QList<std::function<void()>> m_pending;
    bool m_busy = false;
};
