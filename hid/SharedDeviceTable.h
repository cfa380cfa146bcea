#pragma once

#include "DeviceEntry.h"

#include <mutex>
#include <optional>

// The device table as the GUI thread (discovery, command exchanges) and the listener's worker both
// see it. Every access copies under one lock, so nobody keeps a reference into a table that a
// device check may replace meanwhile.
class SharedDeviceTable
{
public:
    DeviceTable table() const
    {
        std::lock_guard lock(m_mutex);
        return m_table;
    }
    void replace(const DeviceTable &table)
    {
        std::lock_guard lock(m_mutex);
        m_table = table;
    }
    // std::nullopt for an index outside the table.
    std::optional<DeviceEntry> entry(int index) const
    {
        std::lock_guard lock(m_mutex);
        if (index < 0 || index >= m_table.size())
            return std::nullopt;
        return m_table.at(index);
    }
    int currentIndex() const
    {
        std::lock_guard lock(m_mutex);
        return m_currentIndex;
    }
    void setCurrentIndex(int index)
    {
        std::lock_guard lock(m_mutex);
        m_currentIndex = index;
    }
    std::optional<DeviceEntry> current() const { return entry(currentIndex()); }

    // A path that failed to open is emptied: the device counts as gone until discovery finds it.
    void clearCommandPath(int index) { clearPath(index, &DeviceEntry::commandPath); }
    void clearEventPath(int index) { clearPath(index, &DeviceEntry::eventPath); }

private:
    void clearPath(int index, QString DeviceEntry::*path)
    {
        std::lock_guard lock(m_mutex);
        if (index >= 0 && index < m_table.size())
            (m_table[index].*path).clear();
    }

    mutable std::mutex m_mutex;
    DeviceTable m_table;
    int m_currentIndex = 0;
};
