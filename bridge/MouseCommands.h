#pragma once

#include "ModelFlags.h"
#include "MouseOps.h"

#include <QVariant>
#include <QVariantList>

#include <array>

class Hid_Thread;
class ProfileStore;

// What the view's device slots do, on plain data: the model's flags, the program's image of a 560
// mouse's five profile blocks and the gateway to the mouse. The view's slots and the command-line
// tool both go through here, so a value sends the same commands whichever of them handed it over.
// Without a gateway nothing is sent (reads then answer 0).
class MouseCommands
{
public:
    using Blocks = std::array<MouseOps::ProfileBlock, 5>;

    MouseCommands(Hid_Thread *hid, const ModelFlags &flags, Blocks &profileBlocks);

    void setKeyboardOption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    std::array<uchar, 4> keyboardOption();
    void setReportRate(uchar rate);
    void setCurrentDpi(uchar stage);
    // The stage in use counted from 1; 0 when the mouse did not answer.
    int currentDpi();
    void setDpi(int dpiCount, const QString &sensorType, const QVariantList &dpiValues);
    void setRgbEffect(uchar effect, uchar option1, uchar option2);
    void setRgbColor(uchar type, const QVariantList &src24);

    // 560 profile blocks 0 to 4; other numbers are ignored.
    void writeProfileBlock(uint n);
    void readProfileBlock(uint n);
    // What a connection reads: on a 560 blocks 0 and 1, and 2 to 4 on a gun model.
    void readProfileBlocksOnConnect();
    // The device profile in use; 0 when the mouse did not answer.
    int currentProfile();

    // Stores the 16 UI entries in the profile in use and, with isSendData, sends them translated,
    // with the gun matrices when a button is a gun key.
    void setKeyMatrix(ProfileStore &profiles, const QVariantList &src64, bool isSendData,
                      const QVariantList &gunPeriods);
    // The firmware matrix as key matrices 2, 3 and 4.
    void resetKeyMatrix(const ProfileStore &profiles);
    void switchKeyMatrix(int indexNo);
    // Macro slots 0 to 11; other slots send nothing.
    void sendMacroData(const QVariantList &macroData, const QVariant &macroIndex);
    void sendGunData(int slot, const QVariantList &src);

    // The firmware key matrix of the profile in use (mouseFwKeyMatrix/0 … 15).
    static MouseOps::KeyMatrix firmwareMatrix(const ProfileStore &profiles);

private:
    bool is560() const { return m_flags.is560(); }
    void writeBlock(int n);
    void writeDeviceProfiles();
    void sendMatrix(MouseOps::KeyMatrix &matrix, int number);

    Hid_Thread *m_hid;
    ModelFlags m_flags;
    Blocks &m_blocks;
};
