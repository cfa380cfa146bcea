#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMutex>

// The protocol's pauses (token tries, settle pauses, gaps between data reports) go through a clock so
// that tests can check them without waiting for them.
class ProtocolClock
{
public:
    virtual ~ProtocolClock() = default;
    virtual void sleepMs(int ms) = 0;
    // Milliseconds since the clock was made; the time stamps of protocol traces.
    virtual qint64 nowMs() const = 0;
};

// Sleeps for real.
class SteadyClock final : public ProtocolClock
{
public:
    SteadyClock();
    void sleepMs(int ms) override;
    qint64 nowMs() const override;

private:
    QElapsedTimer m_timer;
};

// Advances its own time instead of sleeping and records every pause, in order.
class VirtualClock final : public ProtocolClock
{
public:
    void sleepMs(int ms) override;
    qint64 nowMs() const override;
    void advance(qint64 ms);
    QList<int> sleeps() const;
    void clearSleeps();

private:
    mutable QMutex m_mutex;
    qint64 m_now = 0;
    QList<int> m_sleeps;
};

// The clock used when none was set: a process-wide SteadyClock.
ProtocolClock &defaultProtocolClock();
