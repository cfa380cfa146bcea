#include "Hid_Thread.h"

#include "DeviceImage.h"
#include "HidBackend.h"
#include "HidCommands.h"
#include "HidTransport.h"
#include "ProtocolClock.h"
#include "ReportCipher.h"
#include "SecrecyCode.h"
#include "SharedDeviceTable.h"

#include <QDateTime>
#include <QDebug>
#include <QRandomGenerator>
#include <QThreadPool>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

using namespace HidCommands;

namespace {

// The event interface: 4-byte reports; 06 07 xx stage tells a stage switched on the mouse.
constexpr int eventReportSize = 4;
constexpr int eventReadTimeoutMs = 500;

} // namespace

struct Hid_Thread::Private
{
    SharedDeviceTable table;
    HidTransport transport{table};
    QString icType;
    bool isGun = false;

    // The listener. The flag is written by both threads. The loop's end is signalled here rather
    // than through a QFuture: waiting on a future that has not started yet may run the loop on the
    // waiting thread, and a future's shared state would be released on whichever thread comes last.
    std::atomic<bool> listening{false};
    std::mutex loopMutex;
    std::condition_variable loopEnded;
    bool loopRunning = false;

    std::atomic<int> failedCommands{0};
    int sentWrites = 0;
    int skippedWrites = 0;

    // What this connection has told the mouse; only the GUI thread touches it. The listener, on its
    // worker, only raises these: the mouse went away, or its DPI button switched the stage.
    DeviceImage image;
    bool fullWrites = false;
    std::atomic<bool> connectionLost{false};
    std::atomic<int> stageEvents{0};
    int stageEventsAtWrite = -1;
    Hid_Thread *q = nullptr;

    bool run(const Command &command, Args args)
    {
        emit q->exchangeStarting();
        const bool ok = runCommand(transport, command, args);
        if (!ok)
            ++failedCommands;
        return ok;
    }

    // The bytes a write puts on the wire, as the image compares them.
    static QByteArray wireBytes(const Args &args)
    {
        QByteArray bytes(reinterpret_cast<const char *>(args.params.data()), int(args.params.size()));
        bytes.append(char(args.length));
        if (args.block)
            bytes.append(reinterpret_cast<const char *>(args.block), std::min(args.blockBytes, args.length));
        return bytes;
    }

    void dropStaleImage()
    {
        if (connectionLost.exchange(false))
            image.clear();
    }

    // A write to `slot` of the command: left out when the mouse holds its bytes `times` in a row.
    void write(const Command &command, const Args &args, quint8 slot = 0, int times = 1)
    {
        dropStaleImage();
        const DeviceImage::Key key = DeviceImage::key(command.code, slot);
        const QByteArray bytes = wireBytes(args);
        if (!fullWrites && image.holds(key, bytes, times)) {
            ++skippedWrites;
            return;
        }
        ++sentWrites;
        if (run(command, args))
            image.accepted(key, bytes);
        else
            image.forget(key);
    }

    // A selection the mouse can also change by itself. The stage is held only while the listener
    // would have told a switch on the mouse, and no switch came since it was written; the profile
    // and key matrix in use have no such report, so they are always sent.
    void writeStage(const Command &command, const Args &args)
    {
        dropStaleImage();
        const DeviceImage::Key key = DeviceImage::key(command.code);
        if (!listening || stageEvents != stageEventsAtWrite)
            image.forget(key);
        const int eventsBefore = stageEvents;
        write(command, args);
        stageEventsAtWrite = eventsBefore;
    }

    void writeSelection(const Command &command, const Args &args)
    {
        ++sentWrites;
        run(command, args);
    }
};

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent), d(std::make_unique<Private>())
{
    d->q = this;
}

Hid_Thread::~Hid_Thread()
{
    stopListen();
    waitListenEnded();
}

void Hid_Thread::setBackend(HidBackend *backend)
{
    d->transport.setBackend(backend);
}

HidBackend *Hid_Thread::backend() const
{
    return d->transport.backend();
}

void Hid_Thread::setIdleHook(std::function<void()> hook)
{
    d->transport.setIdleHook(std::move(hook));
}

void Hid_Thread::setClock(ProtocolClock *clock)
{
    d->transport.setClock(clock);
}

ProtocolClock *Hid_Thread::clock() const
{
    return &d->transport.clock();
}

void Hid_Thread::setModelFlags(const QString &icType, bool isGun)
{
    d->icType = icType;
    d->isGun = isGun;
}

QString Hid_Thread::icType() const
{
    return d->icType;
}

bool Hid_Thread::isGun() const
{
    return d->isGun;
}

void Hid_Thread::setDeviceTable(const DeviceTable &table)
{
    // A loop still reading an interface of the old table ends first; the check that replaces the
    // table starts a new one when it connects.
    {
        std::lock_guard lock(d->loopMutex);
        if (d->loopRunning)
            d->listening = false;
    }
    waitListenEnded();
    d->table.replace(table);
    d->image.clear();
}

DeviceTable Hid_Thread::deviceTable() const
{
    return d->table.table();
}

int Hid_Thread::currentIndex() const
{
    return d->table.currentIndex();
}

int Hid_Thread::failedCommandCount() const
{
    return d->failedCommands;
}

int Hid_Thread::sentWriteCount() const
{
    return d->sentWrites;
}

int Hid_Thread::skippedWriteCount() const
{
    return d->skippedWrites;
}

bool Hid_Thread::setFullWrites(bool on)
{
    return std::exchange(d->fullWrites, on);
}

void Hid_Thread::forgetDeviceImage()
{
    d->image.clear();
}

bool Hid_Thread::hidReady() const
{
    return d->transport.hidReady();
}

void Hid_Thread::setHidReady(bool ready)
{
    d->transport.setHidReady(ready);
}

// ---- encoding, checksum, probe

uchar Hid_Thread::hidCS(uchar *cmd)
{
    return ReportCipher::checksum(cmd);
}

void Hid_Thread::USBDataEncryption(uchar *FIFOBuf, uchar *SecrecyCode)
{
    ReportCipher::encipher(FIFOBuf, SecrecyCode);
}

void Hid_Thread::USBDataDecipher(uchar *FIFOBuf, uchar *SecrecyCode)
{
    ReportCipher::decipher(FIFOBuf, SecrecyCode);
}

bool Hid_Thread::chkDeviceIsEnCode(int index)
{
    // A probe starts a connection: nothing is known of what that mouse holds.
    d->image.clear();
    d->table.setCurrentIndex(index);
    QRandomGenerator random(static_cast<quint32>(QDateTime::currentSecsSinceEpoch()));
    std::array<uchar, 4> challenge{};
    for (uchar &c : challenge)
        c = static_cast<uchar>(random.generate() & 0xFF);
    if (const auto entry = d->table.entry(index))
        SecrecyCode::setFromSCode(entry->sCode);

    std::array<uchar, 4> answer = challenge;
    Args args;
    std::copy(challenge.begin(), challenge.end(), args.params.begin());
    args.results = {&answer[0], &answer[1], &answer[2], &answer[3]};
    // Only a completed exchange counts: a probe that never reached the mouse must not pass on the
    // challenge bytes it still holds.
    const bool completed = d->run(c553_00H_GetSecrecyCode, args);
    return completed && answer == challenge;
}

// ---- 553 family

void Hid_Thread::hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    d->run(c553_00H_GetSecrecyCode, {{byte1, byte2, byte3, byte4}, nullptr, 0, 0, {&byte1, &byte2, &byte3, &byte4}});
}

void Hid_Thread::hid553_01H_SetReportRate(uchar rate)
{
    d->write(c553_01H_SetReportRate, {{rate}});
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
    d->writeSelection(c553_02H_SetCurrentKeyMatrix, {{currentKeyMatrix}});
}

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    d->write(c553_03H_SetKeyboardoption, {{byte1, byte2, byte3, byte4}});
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    d->write(c553_04H_SetGunData, {{0x00, byte1, byte2, byte3, byte4}}, byte4);
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage)
{
    d->writeStage(c553_0BH_SetCurrentDPI, {{stage}});
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3)
{
    d->write(c553_0CH_SetFixLEDColor, {{src3[0], src3[1], src3[2]}});
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    d->write(c553_0DH_SetRGBLedEffect, {{effect, option1, option2}});
}

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    const uchar n = type == 2 ? 4 : 24;
    // The colours go out twice in a row; the mouse holds them only once both went through.
    d->write(c553_10H_SetLED8StageColor, {{type, n}, src24, n, n}, 0, 2);
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    d->write(c553_11H_SetDPISet, {{dpiStage, 0x08}, src8, 8, 8});
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    d->write(c553_12H_SetKeyMatrix, {{indexAddOne, 0x40, 0x08}, src64, 64, 64}, indexAddOne);
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    d->write(c553_13H_SetMacroKey, {{macroId, 0x80}, src128, 128, 128}, macroId);
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    d->run(c553_83H_GetKeyboardoption, {{}, nullptr, 0, 0, {&byte1, &byte2, &byte3, &byte4}});
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1)
{
    d->run(c553_8BH_GetCurrentDPI, {{}, nullptr, 0, 0, {&byte1}});
}

// ---- 560 family

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    d->write(c560_01H_SetKeyboardoption, {{byte1, byte2}});
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
    d->writeSelection(c560_02H_SetCurrentProfile, {{profile}});
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
    Args args{{0, rate}};
    args.once = d->isGun;
    d->write(c560_03H_SetReportRate, args);
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
    Args args{{0, stage}};
    args.once = d->isGun;
    d->writeStage(c560_04H_SetCurrentDPI, args);
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    d->write(c560_0CH_setProfile, {{profileData, 0x80}, src128, 128, 128}, profileData);
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    // The matrix is 64 bytes; the block on the wire is 128, the rest zero.
    d->write(c560_0DH_SetKeyMatrix, {{indexAddOne, 0x80}, src64, 64, 128}, indexAddOne);
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    d->write(c560_0FH_SetMacroKey, {{macroId, 0x80}, src128, 128, 128}, macroId);
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    d->run(c560_81H_GetKeyboardoption, {{}, nullptr, 0, 0, {&byte1, &byte2}});
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1)
{
    d->run(c560_82H_GetCurrentProfile, {{}, nullptr, 0, 0, {&byte1}});
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
    d->run(c560_84H_GetCurrentDPI, {{byte1}, nullptr, 0, 0, {&byte1, &byte2}});
}

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
    d->dropStaleImage();
    if (!d->run(c560_8CH_readProfile, {{profileNo}, src128, 128, 128}))
        return;
    // The block read is what the mouse holds: a write of the same bytes to it would change nothing.
    d->image.accepted(DeviceImage::key(c560_0CH_setProfile.code, profileNo),
                      Private::wireBytes({{profileNo, 0x80}, src128, 128, 128}));
}

// ---- device event listener

void Hid_Thread::startListen(int index)
{
    if (d->listening)
        d->listening = false;
    // Only one loop may read the event interface: the one of an earlier connection ends first.
    waitListenEnded();

    // The mouse reports its DPI switches only with this option bit set.
    if (d->icType == QLatin1String("560")) {
        uchar byte1 = 0, byte2 = 0;
        hid560_81H_GetKeyboardoption(byte1, byte2);
        byte1 |= 0x08;
        hid560_01H_SetKeyboardoption(byte1, byte2);
    } else {
        uchar byte1 = 0, byte2 = 0, byte3 = 0, byte4 = 0;
        hid553_83H_GetKeyboardoption(byte1, byte2, byte3, byte4);
        byte4 |= 0x40;
        hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
    }

    d->listening = true;
    {
        std::lock_guard lock(d->loopMutex);
        d->loopRunning = true;
    }
    QThreadPool::globalInstance()->start([this, index] {
        listenLoop(index);
        std::lock_guard lock(d->loopMutex);
        d->loopRunning = false;
        d->loopEnded.notify_all();
    });
}

void Hid_Thread::stopListen()
{
    if (d->listening)
        d->listening = false;
}

bool Hid_Thread::isListening() const
{
    return d->listening;
}

void Hid_Thread::waitListenEnded()
{
    std::unique_lock lock(d->loopMutex);
    d->loopEnded.wait(lock, [this] { return !d->loopRunning; });
}

void Hid_Thread::listenLoop(int index)
{
    const auto startEntry = d->table.entry(index);
    if (!startEntry || startEntry->eventPath.isEmpty())
        return;

    HidBackend *backend = d->transport.backend();
    while (d->listening) {
        const auto entry = d->table.entry(index);
        std::unique_ptr<HidDeviceHandle> event;
        if (entry && !entry->eventPath.isEmpty())
            event = backend->openPath(entry->eventPath);
        if (!event) {
            // Clear the path and the flag before telling anyone, so a receiver sees the loop gone.
            qDebug("Device removed");
            d->table.clearEventPath(index);
            d->listening = false;
            d->connectionLost = true;
            emit deviceRemoved();
            return;
        }
        event->setNonblocking(false);
        uchar report[eventReportSize] = {};
        const int got = event->readTimeout(report, sizeof report, eventReadTimeoutMs);
        if (got == eventReportSize && report[0] == 0x06 && report[1] == 0x07) {
            ++d->stageEvents;
            emit dpiStageReported(report[3]);
        }
        // The handle closes here, before the flag is looked at again.
    }
}
