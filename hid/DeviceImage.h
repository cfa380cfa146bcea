#pragma once

#include <QByteArray>
#include <QHash>
#include <QtGlobal>

// What the mouse holds, as far as this connection has told it: per command and slot (key matrix n,
// macro slot n, profile block n, DPI set, lighting …) the bytes of the last write it accepted. A
// write whose bytes are held need not be sent again. Anything in doubt is simply not held: a slot
// is forgotten when a write to it failed, everything when the connection ends.
class DeviceImage
{
public:
    using Key = quint16;
    static constexpr Key key(quint8 code, quint8 slot = 0) { return Key((code << 8) | slot); }

    // True when the last `times` writes the mouse accepted under `key` all carried `bytes`. Most
    // slots need one; a command the mouse wants twice in a row needs two.
    bool holds(Key key, const QByteArray &bytes, int times = 1) const;
    void accepted(Key key, const QByteArray &bytes);
    void forget(Key key);
    void clear();
    bool isEmpty() const { return m_slots.isEmpty(); }

private:
    struct Slot
    {
        QByteArray bytes;
        int times = 0;
    };
    QHash<Key, Slot> m_slots;
};
