#include "DeviceImage.h"

bool DeviceImage::holds(Key key, const QByteArray &bytes, int times) const
{
    const auto it = m_slots.constFind(key);
    return it != m_slots.cend() && it->times >= times && it->bytes == bytes;
}

void DeviceImage::accepted(Key key, const QByteArray &bytes)
{
    Slot &slot = m_slots[key];
    slot.times = slot.bytes == bytes ? slot.times + 1 : 1;
    slot.bytes = bytes;
}

void DeviceImage::forget(Key key)
{
    m_slots.remove(key);
}

void DeviceImage::clear()
{
    m_slots.clear();
}
