#pragma once

#include "HidBackend.h"
#include "VirtualMouseConfig.h"
#include "VirtualMouseMemory.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class ProtocolClock;

// A mouse of either family played in memory, behind the same seam as the real transport.
//
// On the bus it is one device (the configured vid and pid) with a command interface and an event
// interface, each with its own path (one path when both have the same usage page and usage). The
// command interface takes 9-byte command reports (report ID 0, then code, p1..p6, checksum,
// enciphered when isEncode), answers read commands with a 9-byte feature report, takes data phases
// as output reports of reportLength + 1 bytes and sends them as input reports of the same size, each
// starting with the report ID 0. The event interface delivers the 4-byte reports queued by
// pressDpiButton / sendEventReport.
//
// Reports that fail the checksum or that the firmware does not understand are ignored (the reply
// then reads as zeros) and listed in protocolErrors(), as is anything else the mouse did not expect.
//
// Thread-safe: commands from one thread and event reads from another may run at the same time.
class VirtualMouse : public QObject, public HidBackend
{
    Q_OBJECT

public:
    enum class Interface { Command, Event };

    // The clock stamps the trace and, when it is a VirtualClock, is advanced instead of waiting out
    // the timeout of a data-phase read that will never be answered. nullptr: the process-wide real
    // clock. Not owned.
    explicit VirtualMouse(const VirtualMouseConfig &config, ProtocolClock *clock = nullptr,
                          QObject *parent = nullptr);
    ~VirtualMouse() override;

    std::optional<QList<HidInterfaceInfo>> enumerate(quint16 vendorId, quint16 productId) override;
    std::unique_ptr<HidDeviceHandle> openPath(const QString &path) override;
    HidOpenFailure openFailure(const QString &path) override;

    const VirtualMouseConfig &config() const;
    QString commandPath() const;
    QString eventPath() const;
    // The device-table row of this mouse with both paths filled in.
    DeviceEntry deviceEntry() const;

    // What the firmware holds now; setMemory replaces it (fields are cut or padded to their sizes).
    VirtualMouseMemory memory() const;
    void setMemory(const VirtualMouseMemory &memory);

    // The user presses the DPI button: the mouse moves on to its next active stage, wrapping round,
    // and reports 06 07 00 stage on its event interface. The active stages are those the program set:
    // on a 553 the first dpiStageCount stages whose code is not 0x80 (stage off), on a 560 the bits
    // of byte 100 of the profile block in use. Without an active stage the stage stays. Returns the
    // stage reported, 0 when unplugged (nothing is queued).
    int pressDpiButton();
    // Switches straight to `stage`, active or not, and reports it: a report of any value, for tests
    // of what the program does with it. False when unplugged.
    bool pressDpiButton(int stage);
    // Queues any report on the event interface, as it will be read.
    bool sendEventReport(const QByteArray &report);

    // Unplugging ends every open handle (their calls fail with -1, waiting reads wake and fail),
    // empties enumeration and makes opens fail. Plugging in again lets new opens succeed; handles
    // from before stay dead, as on real hardware. Both emit plugChanged when the state changes.
    void unplug();
    void plugIn();
    bool isPlugged() const;

    // Failures on demand. Reports are counted on the command interface from this call on: the n-th
    // (n >= 1) and every later one fail with -1; n <= 0 ends that failure.
    void failFromReport(int n);
    // Feature reads fail with -1.
    void setNoReply(bool on);
    // Data-phase input reports are never sent: reads return 0 after their timeout.
    void setStalledReads(bool on);
    // The challenge answer's four bytes are inverted.
    void setWrongChallengeAnswer(bool on);
    // Every reply report carries pseudo-random bytes after the report ID.
    void setGarbageReplies(bool on);
    // enumerate() fails (std::nullopt).
    void setEnumerationFails(bool on);
    // Opens fail as for a user without access to the device nodes; openFailure() says so.
    void setOpenDenied(bool on);
    // Ends every failure above (not the plug state).
    void clearFailures();

    // The trace: one line per report that crossed the seam, "<ms> <-|-> <kind> <hex bytes>", with
    // kind feature, output, input or event, bytes as they crossed. A call that fails (-1) or a read
    // that times out moved no report and leaves no line. Recording is on from the start.
    QStringList trace() const;
    void clearTrace();
    void setTraceEnabled(bool on);
    // Receives each line as it is made, on the thread of the report. It must not call back into the
    // mouse. An empty function removes the sink.
    void setTraceSink(std::function<void(const QString &line)> sink);
    // Reports that crossed the seam in either direction since construction or clearTrace().
    int reportCount() const;
    // What the mouse found wrong with the reports it was sent, one line each, oldest first.
    QStringList protocolErrors() const;
    void clearProtocolErrors();
    // Handles that are open right now on that interface.
    int openHandleCount(Interface which) const;

signals:
    void plugChanged(bool plugged);

private:
    friend class VirtualMouseHandle;
    struct State;
    std::shared_ptr<State> d;
};
