#pragma once

#include "DeviceDiscovery.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;

// Why no mouse is connected, and what to do about it: a small window shown when the user starts the
// program (or starts it again) while the main window stays hidden for want of a mouse.
class StatusWindow : public QWidget
{
    Q_OBJECT

public:
    // The texts, index by index, of the language section "status".
    enum Text {
        Title,
        NoDeviceHeadline,
        NoDeviceDetails,
        PermissionHeadline,
        PermissionDetails,
        NoAnswerHeadline,
        NoAnswerDetails,
        BackgroundNote,
        CheckAgain,
        Close,
        StartAtLogin,
        TextCount
    };

    // The commands that load the udev rule and apply it to attached mice (the README gives the same).
    static QString permissionCommands();
    // The English texts, used for any text the language file lacks: a per-user copy of modules/
    // made by an older release has no such section.
    static QStringList defaultTexts();
    // The texts of the language chosen in <modulesDir>/setting/apConfig.bin.
    static QStringList loadTexts(const QString &modulesDir);

    explicit StatusWindow(QWidget *parent = nullptr);

    void setTexts(const QStringList &texts);
    void setReason(DeviceDiscovery::NoMouseReason reason);
    DeviceDiscovery::NoMouseReason reason() const { return m_reason; }
    // The note that the program stays running without a window, for desktops without a tray.
    void setBackgroundNoteShown(bool shown);

    // Shows the window in the middle of the screen and brings it to the front.
    void showCentred();

    // What the window says now, for tests: headline, details, commands (when shown), note (when
    // shown), one per line.
    QString shownText() const;

signals:
    void checkAgainRequested();

private:
    void refresh();

    QStringList m_texts;
    DeviceDiscovery::NoMouseReason m_reason = DeviceDiscovery::NoMouseReason::NoDevice;
    QLabel *m_headline = nullptr;
    QLabel *m_details = nullptr;
    QLabel *m_commands = nullptr;
    QLabel *m_note = nullptr;
    QPushButton *m_checkAgain = nullptr;
    QPushButton *m_close = nullptr;
};
