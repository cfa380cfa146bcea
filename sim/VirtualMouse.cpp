#include "VirtualMouse.h"

#include "ProtocolClock.h"
#include "ReportCipher.h"
#include "VirtualMouseFirmware.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

constexpr int kCommandRole = 1;
constexpr int kEventRole = 2;
constexpr int kFeatureReportSize = 9;

struct QueuedReport
{
    QByteArray bytes;
    bool isEvent = false;
};

// One HID interface of the mouse as the bus shows it.
struct Port
{
    HidInterfaceInfo info;
    int roles = 0;
    QList<QueuedReport> queue;
    int openHandles = 0;
};

QString hexLine(const unsigned char *data, size_t length)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(length))
                                   .toHex(' '));
}

QString hex2(int value)
{
    return QStringLiteral("%1").arg(value & 0xff, 2, 16, QLatin1Char('0'));
}

quint8 byteAt(const QByteArray &bytes, int index)
{
    return index >= 0 && index < bytes.size() ? static_cast<quint8>(bytes.at(index)) : 0;
}

// Stages 1 to 8 that the DPI button steps through, as the program last set them.
std::array<bool, 8> activeDpiStages(const VirtualMouseMemory &m, const VirtualMouseConfig &config)
{
    std::array<bool, 8> active{};
    if (config.is560()) {
        // Blocks 1 to 4 are the device profiles; byte 100 of the one in use masks the stages.
        const int block = m.currentProfile >= 1 && m.currentProfile <= 4 ? m.currentProfile : 1;
        const quint8 mask = byteAt(m.profileBlocks.value(block), 100);
        for (int i = 0; i < 8; ++i)
            active[i] = mask & (1 << i);
    } else {
        for (int i = 0; i < 8 && i < m.dpiStageCount; ++i)
            active[i] = byteAt(m.dpiStageCodes, i) != 0x80;
    }
    return active;
}

// The next active stage after the current one, wrapping round; the current one when none is active.
int nextActiveDpiStage(const VirtualMouseMemory &m, const VirtualMouseConfig &config)
{
    const std::array<bool, 8> active = activeDpiStages(m, config);
    const int current = m.currentDpiStage;
    for (int step = 1; step <= 8; ++step) {
        // A current stage outside 1..8 starts the round at stage 1.
        const int index = ((current >= 1 && current <= 8 ? current - 1 : 7) + step) % 8;
        if (active[index])
            return index + 1;
    }
    return current;
}

} // namespace

struct VirtualMouse::State
{
    State(const VirtualMouseConfig &c, ProtocolClock *cl)
        : config(c), clock(cl ? cl : &defaultProtocolClock()), virtualClock(dynamic_cast<VirtualClock *>(clock)),
          firmware(c)
    {
        const QByteArray code = config.sCode.toLatin1().left(6);
        for (int i = 0; i < code.size(); ++i)
            secrecy[1 + i] = static_cast<std::uint8_t>(code[i]);
    }

    const VirtualMouseConfig config;
    ProtocolClock *const clock;
    VirtualClock *const virtualClock;
    std::array<std::uint8_t, 8> secrecy{};

    // Standard primitives rather than Qt's, so that thread checkers see the waits release the lock.
    mutable std::mutex mutex;
    std::condition_variable arrived;
    QList<Port> ports;
    bool plugged = true;
    // Bumped on every unplug, so handles opened before it stay dead.
    quint64 generation = 1;

    VirtualMouseFirmware firmware;
    std::array<std::uint8_t, kFeatureReportSize> reply{};
    std::uint8_t dataOutCode = 0;
    int dataOutExpected = 0;
    QByteArray dataOut;

    int failCountdown = -1;
    bool noReply = false;
    bool stalledReads = false;
    bool wrongChallenge = false;
    bool garbageReplies = false;
    bool enumerationFails = false;
    bool openDenied = false;
    QRandomGenerator garbage{0x4b4f};

    bool traceEnabled = true;
    QStringList traceLines;
    std::function<void(const QString &)> sink;
    int reports = 0;
    QStringList errors;

    void setFlag(bool State::*flag, bool on)
    {
        std::lock_guard lock(mutex);
        this->*flag = on;
    }

    bool alive(quint64 handleGeneration) const { return plugged && handleGeneration == generation; }

    // Whether one more report may cross the command interface under failFromReport.
    bool takeReportSlot(int port)
    {
        if (!(ports[port].roles & kCommandRole) || failCountdown < 0)
            return true;
        if (failCountdown == 0)
            return false;
        --failCountdown;
        return true;
    }

    void record(const char *direction, const char *kind, const unsigned char *data, size_t length)
    {
        ++reports;
        if (!traceEnabled)
            return;
        const QString line = QStringLiteral("%1 %2 %3 %4")
                                 .arg(clock->nowMs())
                                 .arg(QLatin1String(direction), QLatin1String(kind), hexLine(data, length));
        traceLines.append(line);
        if (sink)
            sink(line);
    }

    void error(const QString &what) { errors.append(what); }

    void breakOffDataPhase()
    {
        if (dataOutExpected > 0)
            error(QStringLiteral("data phase of %1 broken off after %2 of %3 bytes")
                      .arg(hex2(dataOutCode))
                      .arg(dataOut.size())
                      .arg(dataOutExpected));
        dataOutExpected = 0;
        dataOut.clear();
    }

    void dropUnreadInput()
    {
        for (Port &port : ports)
            port.queue.removeIf([](const QueuedReport &r) { return !r.isEvent; });
    }

    int portFor(int role) const
    {
        for (int i = 0; i < ports.size(); ++i)
            if (ports[i].roles & role)
                return i;
        return 0;
    }

    void queue(int role, const QByteArray &bytes, bool isEvent)
    {
        ports[portFor(role)].queue.append({bytes, isEvent});
        arrived.notify_all();
    }

    void runCommand(const unsigned char *report)
    {
        breakOffDataPhase();
        dropUnreadInput();
        reply.fill(0);

        std::array<std::uint8_t, 8> command{};
        std::copy(report + 1, report + kFeatureReportSize, command.begin());
        if (config.isEncode)
            ReportCipher::decipher(command.data(), secrecy.data());
        if (ReportCipher::checksum(command.data()) != command[7]) {
            error(QStringLiteral("bad checksum in command report %1").arg(hexLine(command.data(), command.size())));
            return;
        }
        const VirtualMouseFirmware::Answer answer = firmware.command(command.data());
        if (!answer.accepted) {
            error(answer.error);
            return;
        }

        std::array<std::uint8_t, 8> r = answer.reply;
        if (command[0] == 0x00 && wrongChallenge) {
            for (int i = 1; i <= 4; ++i)
                r[i] = static_cast<std::uint8_t>(~r[i]);
            r[7] = ReportCipher::checksum(r.data());
        }
        if (config.isEncode && !answer.plainReply)
            ReportCipher::encipher(r.data(), secrecy.data());
        std::copy(r.begin(), r.end(), reply.begin() + 1);

        if (answer.dataOutLength > 0) {
            dataOutCode = command[0];
            dataOutExpected = answer.dataOutLength;
        }
        if (!answer.dataIn.isEmpty() && !stalledReads) {
            const int piece = config.reportLength;
            for (int offset = 0; offset < answer.dataIn.size(); offset += piece) {
                QByteArray input(piece + 1, '\0');
                const QByteArray part = answer.dataIn.mid(offset, piece);
                input.replace(1, part.size(), part);
                queue(kCommandRole, input, false);
            }
        }
    }

    int sendFeature(int port, quint64 gen, const unsigned char *data, size_t length)
    {
        std::unique_lock lock(mutex);
        if (!alive(gen) || !takeReportSlot(port))
            return -1;
        if (length < 1 || data[0] != 0) {
            error(QStringLiteral("feature report with report ID %1").arg(length ? hex2(data[0]) : QStringLiteral("none")));
            return -1;
        }
        record("->", "feature", data, length);
        if (!(ports[port].roles & kCommandRole))
            error(QStringLiteral("feature report on the event interface"));
        else if (length != kFeatureReportSize)
            error(QStringLiteral("command report of %1 bytes").arg(length));
        else
            runCommand(data);
        return static_cast<int>(length);
    }

    int getFeature(int port, quint64 gen, unsigned char *data, size_t length)
    {
        std::unique_lock lock(mutex);
        if (!alive(gen) || !takeReportSlot(port) || noReply || length < 1)
            return -1;
        if (data[0] != 0) {
            error(QStringLiteral("feature report %1 asked for").arg(hex2(data[0])));
            return -1;
        }
        std::array<std::uint8_t, kFeatureReportSize> out = reply;
        if (garbageReplies) {
            for (size_t i = 1; i < out.size(); ++i)
                out[i] = static_cast<std::uint8_t>(garbage.bounded(256));
        }
        const size_t n = std::min(length, out.size());
        std::copy(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n), data);
        record("<-", "feature", data, n);
        return static_cast<int>(n);
    }

    int write(int port, quint64 gen, const unsigned char *data, size_t length)
    {
        std::unique_lock lock(mutex);
        if (!alive(gen) || !takeReportSlot(port) || length < 1)
            return -1;
        record("->", "output", data, length);
        const size_t expectedSize = static_cast<size_t>(config.reportLength) + 1;
        if (data[0] != 0)
            error(QStringLiteral("output report with report ID %1").arg(hex2(data[0])));
        if (length != expectedSize)
            error(QStringLiteral("output report of %1 bytes, not %2").arg(length).arg(expectedSize));
        if (dataOutExpected == 0) {
            error(QStringLiteral("output report without a data phase"));
            return static_cast<int>(length);
        }
        const int available = static_cast<int>(std::min(length - 1, expectedSize - 1));
        const int take = std::min(available, dataOutExpected - static_cast<int>(dataOut.size()));
        dataOut.append(reinterpret_cast<const char *>(data + 1), take);
        for (int i = 1 + take; i < static_cast<int>(length); ++i) {
            if (data[i] != 0) {
                error(QStringLiteral("padding after the data of %1 is not zero").arg(hex2(dataOutCode)));
                break;
            }
        }
        if (dataOut.size() == dataOutExpected) {
            firmware.dataPhase(dataOut);
            dataOutExpected = 0;
            dataOut.clear();
        }
        return static_cast<int>(length);
    }

    int read(int portIndex, quint64 gen, unsigned char *data, size_t length, int timeoutMs)
    {
        std::unique_lock lock(mutex);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            if (!alive(gen))
                return -1;
            Port &port = ports[portIndex];
            if (!port.queue.isEmpty()) {
                if (!takeReportSlot(portIndex))
                    return -1;
                const QueuedReport report = port.queue.takeFirst();
                const size_t n = std::min(length, static_cast<size_t>(report.bytes.size()));
                std::copy_n(reinterpret_cast<const unsigned char *>(report.bytes.constData()), n, data);
                record("<-", report.isEvent ? "event" : "input", data, n);
                return static_cast<int>(n);
            }
            if (failCountdown == 0 && (port.roles & kCommandRole))
                return -1;
            if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline)
                return 0;
            // Nothing more arrives on a command-only interface without another report from the
            // program, so under virtual time the wait is only booked, not waited out.
            if (virtualClock && port.roles == kCommandRole) {
                if (timeoutMs < 0) {
                    error(QStringLiteral("blocking read on the command interface with nothing to send"));
                    return 0;
                }
                virtualClock->advance(timeoutMs);
                return 0;
            }
            if (timeoutMs < 0)
                arrived.wait(lock);
            else
                arrived.wait_until(lock, deadline);
        }
    }
};

class VirtualMouseHandle final : public HidDeviceHandle
{
public:
    VirtualMouseHandle(std::shared_ptr<VirtualMouse::State> state, int port, quint64 generation)
        : m_state(std::move(state)), m_port(port), m_generation(generation)
    {
    }

    ~VirtualMouseHandle() override
    {
        std::lock_guard lock(m_state->mutex);
        --m_state->ports[m_port].openHandles;
    }

    int sendFeatureReport(const unsigned char *data, size_t length) override
    {
        return m_state->sendFeature(m_port, m_generation, data, length);
    }
    int getFeatureReport(unsigned char *data, size_t length) override
    {
        return m_state->getFeature(m_port, m_generation, data, length);
    }
    int write(const unsigned char *data, size_t length) override
    {
        return m_state->write(m_port, m_generation, data, length);
    }
    int readTimeout(unsigned char *data, size_t length, int timeoutMs) override
    {
        return m_state->read(m_port, m_generation, data, length, timeoutMs);
    }
    int setNonblocking(bool) override
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->alive(m_generation) ? 0 : -1;
    }

private:
    std::shared_ptr<VirtualMouse::State> m_state;
    const int m_port;
    const quint64 m_generation;
};

VirtualMouse::VirtualMouse(const VirtualMouseConfig &config, ProtocolClock *clock, QObject *parent)
    : QObject(parent), d(std::make_shared<State>(config, clock))
{
    static std::atomic<int> nextId{1};
    const int id = nextId++;
    auto addPort = [&](quint16 usagePage, quint16 usage, int roles) {
        Port port;
        port.info.path = QStringLiteral("virtual-mouse:%1:%2").arg(id).arg(d->ports.size());
        port.info.vendorId = config.vid;
        port.info.productId = config.pid;
        port.info.usagePage = usagePage;
        port.info.usage = usage;
        port.info.interfaceNumber = static_cast<int>(d->ports.size());
        port.roles = roles;
        d->ports.append(port);
    };
    if (config.sharesOneInterface()) {
        addPort(config.usagePage, config.usage, kCommandRole | kEventRole);
    } else {
        addPort(config.usagePage, config.usage, kCommandRole);
        addPort(config.usagePage2, config.usage2, kEventRole);
    }
}

VirtualMouse::~VirtualMouse()
{
    // Handles may outlive the mouse (they share its state); make them fail rather than talk to a
    // mouse nobody can see any more.
    std::lock_guard lock(d->mutex);
    d->plugged = false;
    ++d->generation;
    d->sink = nullptr;
    d->arrived.notify_all();
}

std::optional<QList<HidInterfaceInfo>> VirtualMouse::enumerate(quint16 vendorId, quint16 productId)
{
    std::lock_guard lock(d->mutex);
    if (d->enumerationFails)
        return std::nullopt;
    QList<HidInterfaceInfo> found;
    if (!d->plugged)
        return found;
    if ((vendorId != 0 && vendorId != d->config.vid) || (productId != 0 && productId != d->config.pid))
        return found;
    for (const Port &port : d->ports)
        found.append(port.info);
    return found;
}

std::unique_ptr<HidDeviceHandle> VirtualMouse::openPath(const QString &path)
{
    std::lock_guard lock(d->mutex);
    if (!d->plugged || d->openDenied)
        return nullptr;
    for (int i = 0; i < d->ports.size(); ++i) {
        if (d->ports[i].info.path == path) {
            ++d->ports[i].openHandles;
            return std::make_unique<VirtualMouseHandle>(d, i, d->generation);
        }
    }
    return nullptr;
}

HidOpenFailure VirtualMouse::openFailure(const QString &path)
{
    std::lock_guard lock(d->mutex);
    const bool known = std::any_of(d->ports.cbegin(), d->ports.cend(),
                                   [&](const Port &port) { return port.info.path == path; });
    if (!d->plugged || !known)
        return HidOpenFailure::Gone;
    return d->openDenied ? HidOpenFailure::PermissionDenied : HidOpenFailure::None;
}

const VirtualMouseConfig &VirtualMouse::config() const
{
    return d->config;
}

QString VirtualMouse::commandPath() const
{
    return d->ports[d->portFor(kCommandRole)].info.path;
}

QString VirtualMouse::eventPath() const
{
    return d->ports[d->portFor(kEventRole)].info.path;
}

DeviceEntry VirtualMouse::deviceEntry() const
{
    DeviceEntry entry = d->config.deviceEntry();
    entry.commandPath = commandPath();
    entry.eventPath = eventPath();
    return entry;
}

VirtualMouseMemory VirtualMouse::memory() const
{
    std::lock_guard lock(d->mutex);
    return d->firmware.memory();
}

void VirtualMouse::setMemory(const VirtualMouseMemory &memory)
{
    std::lock_guard lock(d->mutex);
    d->firmware.memory() = memory;
    d->firmware.memory().normalise(d->config);
}

int VirtualMouse::pressDpiButton()
{
    std::lock_guard lock(d->mutex);
    if (!d->plugged)
        return 0;
    VirtualMouseMemory &m = d->firmware.memory();
    const int stage = nextActiveDpiStage(m, d->config);
    m.currentDpiStage = static_cast<quint8>(stage);
    d->queue(kEventRole, QByteArray::fromRawData("\x06\x07\x00", 3) + char(stage), true);
    return stage;
}

bool VirtualMouse::pressDpiButton(int stage)
{
    std::lock_guard lock(d->mutex);
    if (!d->plugged)
        return false;
    d->firmware.memory().currentDpiStage = static_cast<quint8>(stage);
    d->queue(kEventRole, QByteArray::fromRawData("\x06\x07\x00", 3) + char(stage), true);
    return true;
}

bool VirtualMouse::sendEventReport(const QByteArray &report)
{
    std::lock_guard lock(d->mutex);
    if (!d->plugged)
        return false;
    d->queue(kEventRole, report, true);
    return true;
}

void VirtualMouse::unplug()
{
    {
        std::lock_guard lock(d->mutex);
        if (!d->plugged)
            return;
        d->plugged = false;
        ++d->generation;
        for (Port &port : d->ports)
            port.queue.clear();
        d->dataOutExpected = 0;
        d->dataOut.clear();
        d->arrived.notify_all();
    }
    emit plugChanged(false);
}

void VirtualMouse::plugIn()
{
    {
        std::lock_guard lock(d->mutex);
        if (d->plugged)
            return;
        d->plugged = true;
        d->reply.fill(0);
    }
    emit plugChanged(true);
}

bool VirtualMouse::isPlugged() const
{
    std::lock_guard lock(d->mutex);
    return d->plugged;
}

void VirtualMouse::failFromReport(int n)
{
    std::lock_guard lock(d->mutex);
    d->failCountdown = n >= 1 ? n - 1 : -1;
}

void VirtualMouse::setNoReply(bool on)
{
    d->setFlag(&State::noReply, on);
}

void VirtualMouse::setStalledReads(bool on)
{
    d->setFlag(&State::stalledReads, on);
}

void VirtualMouse::setWrongChallengeAnswer(bool on)
{
    d->setFlag(&State::wrongChallenge, on);
}

void VirtualMouse::setGarbageReplies(bool on)
{
    d->setFlag(&State::garbageReplies, on);
}

void VirtualMouse::setEnumerationFails(bool on)
{
    d->setFlag(&State::enumerationFails, on);
}

void VirtualMouse::setOpenDenied(bool on)
{
    d->setFlag(&State::openDenied, on);
}

void VirtualMouse::clearFailures()
{
    std::lock_guard lock(d->mutex);
    d->failCountdown = -1;
    d->noReply = d->stalledReads = d->wrongChallenge = d->garbageReplies = d->enumerationFails = false;
    d->openDenied = false;
    d->arrived.notify_all();
}

QStringList VirtualMouse::trace() const
{
    std::lock_guard lock(d->mutex);
    return d->traceLines;
}

void VirtualMouse::clearTrace()
{
    std::lock_guard lock(d->mutex);
    d->traceLines.clear();
    d->reports = 0;
}

void VirtualMouse::setTraceEnabled(bool on)
{
    d->setFlag(&State::traceEnabled, on);
}

void VirtualMouse::setTraceSink(std::function<void(const QString &)> sink)
{
    std::lock_guard lock(d->mutex);
    d->sink = std::move(sink);
}

int VirtualMouse::reportCount() const
{
    std::lock_guard lock(d->mutex);
    return d->reports;
}

QStringList VirtualMouse::protocolErrors() const
{
    std::lock_guard lock(d->mutex);
    return d->errors;
}

void VirtualMouse::clearProtocolErrors()
{
    std::lock_guard lock(d->mutex);
    d->errors.clear();
}

int VirtualMouse::openHandleCount(Interface which) const
{
    std::lock_guard lock(d->mutex);
    return d->ports[d->portFor(which == Interface::Command ? kCommandRole : kEventRole)].openHandles;
}
