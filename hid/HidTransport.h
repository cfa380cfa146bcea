#pragma once

#include <QtGlobal>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

class HidBackend;
class HidDeviceHandle;
class ProtocolClock;
class SharedDeviceTable;

// The exchanges with the mouse's command interface: the ready token, the 9-byte command report and
// its reply, and the data phase in reports of the entry's reportLength (+1 for the report ID).
// Everything here runs on the GUI thread. The command interface is opened afresh before every
// report and closed at the end of every exchange; the mouse expects nothing else.
class HidTransport
{
public:
    using Report = std::array<quint8, 9>;
    using Block = std::array<quint8, 128>;

    // Delays the mouse needs, in milliseconds.
    static constexpr int tokenTries = 255;
    static constexpr int tokenTryMs = 8;
    static constexpr int settleHalfMs = 64; // the settle pause is two of these
    static constexpr int dataGapMs = 120;   // after every data-phase output report
    // hid_read would block for ever on a mouse that stalls mid-block; a data-phase input report that
    // has not arrived within this bound fails the exchange.
    static constexpr int dataReadTimeoutMs = 1000;

    explicit HidTransport(SharedDeviceTable &table);
    ~HidTransport();

    void setBackend(HidBackend *backend);
    HidBackend *backend() const;
    void setClock(ProtocolClock *clock);
    ProtocolClock &clock() const;
    // Called in the pauses inside an exchange, where no GUI event may run (another command could
    // start in the middle of this one): the view uses it to keep its busy notice drawn.
    void setIdleHook(std::function<void()> hook) { m_idleHook = std::move(hook); }

    // The token is true while no exchange is in progress. Only the GUI thread touches it, so a plain
    // bool suffices.
    bool hidReady() const { return m_hidReady; }
    void setHidReady(bool ready) { m_hidReady = ready; }

    // Takes the token, processing GUI events between tries; false after 255 tries (about 2 s).
    bool waitHidReady();
    void settleDelay();

    // Fills outReport: report ID 0, code, p1..p6, checksum.
    void buildReport(quint8 code, const std::array<quint8, 6> &params);

    // Both give the token back on every way out. hidSend: command report out, optionally the settle
    // pause, then `length` bytes of dataBlock out (and the settle pause again). hidSendRead: command
    // report out, reply into inReport, then `length` bytes into dataBlock; the reply of an exchange
    // without data phase is deciphered for an enciphered entry.
    bool hidSend(int length, bool settle);
    bool hidSendRead(int length);

    Report outReport{};
    Report inReport{};
    Block dataBlock{};

private:
    HidDeviceHandle *openHid();
    void closeHid();
    // Closes the interface and gives the token back; always false.
    bool fail();
    void processEvents();
    void idle();
    bool encipheredEntry() const;
    int reportLength() const;

    SharedDeviceTable &m_table;
    std::atomic<HidBackend *> m_backend;
    ProtocolClock *m_clock = nullptr;
    std::function<void()> m_idleHook;
    std::unique_ptr<HidDeviceHandle> m_hidDevice;
    bool m_hidReady = true;
};
