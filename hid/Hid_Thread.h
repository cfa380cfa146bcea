#pragma once

#include "DeviceEntry.h"

#include <QFuture>
#include <QMutex>
#include <QObject>
#include <QString>

#include <functional>
#include <QThread>

#include <atomic>
#include <memory>

class HidBackend;
class HidDeviceHandle;
class ProtocolClock;

// The one gateway to the mouse. Its slots run on the GUI thread (the UI documents reach them through
// the context property "hid"); only the event listener runs on a worker of the global thread pool.
// It derives from QThread for the documents' sake but is never started as a thread.
class Hid_Thread : public QThread
{
    Q_OBJECT

public:
    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    // Seams. The defaults are hidapi and the real clock; neither is owned.
    void setBackend(HidBackend *backend);
    HidBackend *backend() const;
    void setClock(ProtocolClock *clock);
    ProtocolClock *clock() const;
    // See HidTransport::setIdleHook.
    void setIdleHook(std::function<void()> hook);

    // What the command sets need to know of the model: the family ("560" or any other text) and
    // whether it has the gun functions (the 560 repeat rule sends once to gun models).
    void setModelFlags(const QString &icType, bool isGun);
    QString icType() const;
    bool isGun() const;

    // The device table, replaced whole by each device check.
    void setDeviceTable(const DeviceTable &table);
    DeviceTable deviceTable() const;
    int currentIndex() const;

    // The ready token: true when no exchange is in progress.
    bool hidReady() const;
    void setHidReady(bool ready);

    // Commands that did not complete since construction; a caller compares the count before and
    // after its commands to tell whether the mouse took them.
    int failedCommandCount() const;

    // A write whose bytes the mouse already holds (see DeviceImage) is not sent; these count the
    // writes sent and left out since construction.
    int sentWriteCount() const;
    int skippedWriteCount() const;
    // While on, every write is sent whatever the mouse holds (the factory reset, a full profile
    // send); what it sends still updates the image. Returns the previous setting.
    Q_INVOKABLE bool setFullWrites(bool on);
    // Forgets what the mouse holds, so that every write is sent again.
    void forgetDeviceImage();

    // Device event listener.
    void startListen(int index);
    void stopListen();
    bool isListening() const;
    // Blocks until a running listener loop has returned.
    void waitListenEnded();

signals:
    // Emitted on the listener's worker; connect with a queued (or auto) connection.
    void dpiStageReported(int stage);
    void deviceRemoved();
    // On the GUI thread, before every exchange that actually goes to the mouse: the window raises
    // its busy lock here, so that commands that find nothing to send lock nothing.
    void exchangeStarting();

public slots:
    uchar hidCS(uchar *cmd);
    bool chkDeviceIsEnCode(int index);
    void USBDataEncryption(uchar *FIFOBuf, uchar *SecrecyCode);
    void USBDataDecipher(uchar *FIFOBuf, uchar *SecrecyCode);

    // 553 family
    void hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_01H_SetReportRate(uchar rate);
    void hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix);
    void hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_0BH_SetCurrentDPI(uchar stage);
    void hid553_0CH_SetFixLEDColor(uchar *src3);
    void hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
    void hid553_10H_SetLED8StageColor(uchar type, uchar *src24);
    void hid553_11H_SetDPISet(uchar dpiStage, uchar *src8);
    void hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid553_13H_SetMacroKey(uchar macroId, uchar *src128);
    void hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_8BH_GetCurrentDPI(uchar &byte1);

    // 560 family
    void hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2);
    void hid560_02H_SetCurrentProfile(uchar profile);
    void hid560_03H_SetReportRate(uchar rate);
    void hid560_04H_SetCurrentDPI(uchar stage);
    void hid560_0CH_setProfile(uchar *src128, uchar profileData);
    void hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0FH_SetMacroKey(uchar macroId, uchar *src128);
    void hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2);
    void hid560_82H_GetCurrentProfile(uchar &byte1);
    void hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2);
    void hid560_8CH_readProfile(uchar *src128, uchar profileNo);

private:
    // The listener itself, on a worker of the global thread pool: open, read, close cycles on the
    // event interface of entry `index` while the listening flag holds.
    void listenLoop(int index);

    // Implementation details belong to the protocol code (hid/Hid_Thread.cpp and friends).
    struct Private;
    std::unique_ptr<Private> d;
};
