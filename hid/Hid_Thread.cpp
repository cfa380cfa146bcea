// Placeholder until the protocol work lands.
#include "Hid_Thread.h"

#include "HidBackend.h"
#include "ProtocolClock.h"

struct Hid_Thread::Private
{
    HidBackend *backend = nullptr;
    ProtocolClock *clock = nullptr;
    QString icType;
    bool isGun = false;
    DeviceTable table;
    int currentIndex = 0;
    bool hidReady = true;
    std::atomic<bool> listening{false};
};

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent), d(std::make_unique<Private>()) {}
Hid_Thread::~Hid_Thread() = default;
void Hid_Thread::setBackend(HidBackend *backend) { d->backend = backend; }
HidBackend *Hid_Thread::backend() const { return d->backend; }
void Hid_Thread::setClock(ProtocolClock *clock) { d->clock = clock; }
ProtocolClock *Hid_Thread::clock() const { return d->clock; }
void Hid_Thread::setModelFlags(const QString &icType, bool isGun) { d->icType = icType; d->isGun = isGun; }
QString Hid_Thread::icType() const { return d->icType; }
bool Hid_Thread::isGun() const { return d->isGun; }
void Hid_Thread::setDeviceTable(const DeviceTable &table) { d->table = table; }
DeviceTable Hid_Thread::deviceTable() const { return d->table; }
int Hid_Thread::currentIndex() const { return d->currentIndex; }
bool Hid_Thread::hidReady() const { return d->hidReady; }
void Hid_Thread::setHidReady(bool ready) { d->hidReady = ready; }
void Hid_Thread::startListen(int) { d->listening = true; }
void Hid_Thread::stopListen() { d->listening = false; }
bool Hid_Thread::isListening() const { return d->listening; }
void Hid_Thread::waitListenEnded() {}
uchar Hid_Thread::hidCS(uchar *) { return 0; }
bool Hid_Thread::chkDeviceIsEnCode(int index) { d->currentIndex = index; return false; }
void Hid_Thread::USBDataEncryption(uchar *, uchar *) {}
void Hid_Thread::USBDataDecipher(uchar *, uchar *) {}
void Hid_Thread::hid553_00H_GetSecrecyCode(uchar &, uchar &, uchar &, uchar &) {}
void Hid_Thread::hid553_01H_SetReportRate(uchar) {}
void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar) {}
void Hid_Thread::hid553_03H_SetKeyboardoption(uchar, uchar, uchar, uchar) {}
void Hid_Thread::hid553_04H_SetGunData(uchar, uchar, uchar, uchar) {}
void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar) {}
void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *) {}
void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar, uchar, uchar) {}
void Hid_Thread::hid553_10H_SetLED8StageColor(uchar, uchar *) {}
void Hid_Thread::hid553_11H_SetDPISet(uchar, uchar *) {}
void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *, uchar) {}
void Hid_Thread::hid553_13H_SetMacroKey(uchar, uchar *) {}
void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &, uchar &, uchar &, uchar &) {}
void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &) {}
void Hid_Thread::hid560_01H_SetKeyboardoption(uchar, uchar) {}
void Hid_Thread::hid560_02H_SetCurrentProfile(uchar) {}
void Hid_Thread::hid560_03H_SetReportRate(uchar) {}
void Hid_Thread::hid560_04H_SetCurrentDPI(uchar) {}
void Hid_Thread::hid560_0CH_setProfile(uchar *, uchar) {}
void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *, uchar) {}
void Hid_Thread::hid560_0FH_SetMacroKey(uchar, uchar *) {}
void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &, uchar &) {}
void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &) {}
void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &, uchar &) {}
void Hid_Thread::hid560_8CH_readProfile(uchar *, uchar) {}
