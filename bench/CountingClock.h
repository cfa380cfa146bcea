#pragma once

#include "ProtocolClock.h"

#include <mutex>
#include <utility>

// The real clock, also adding up what the protocol asked it to sleep.
class CountingClock final : public ProtocolClock
{
public:
    void sleepMs(int ms) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_total += ms;
        }
        m_steady.sleepMs(ms);
    }
    qint64 nowMs() const override { return m_steady.nowMs(); }
    qint64 takeTotal()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_total, 0);
    }

private:
    SteadyClock m_steady;
    std::mutex m_mutex;
    qint64 m_total = 0;
};
