#include "ProtocolClock.h"

#include <QThread>

SteadyClock::SteadyClock()
{
    m_timer.start();
}

void SteadyClock::sleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

qint64 SteadyClock::nowMs() const
{
    return m_timer.elapsed();
}

void VirtualClock::sleepMs(int ms)
{
    QMutexLocker lock(&m_mutex);
    m_sleeps.append(ms);
    if (ms > 0)
        m_now += ms;
}

qint64 VirtualClock::nowMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_now;
}

void VirtualClock::advance(qint64 ms)
{
    QMutexLocker lock(&m_mutex);
    m_now += ms;
}

QList<int> VirtualClock::sleeps() const
{
    QMutexLocker lock(&m_mutex);
    return m_sleeps;
}

void VirtualClock::clearSleeps()
{
    QMutexLocker lock(&m_mutex);
    m_sleeps.clear();
}

ProtocolClock &defaultProtocolClock()
{
    static SteadyClock clock;
    return clock;
}
