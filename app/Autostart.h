#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Starting the program at login: an XDG autostart entry, <config home>/autostart/kestrel-orbit.desktop
// ($XDG_CONFIG_HOME, else ~/.config), that starts the program with --hidden so that it sits in the
// tray without opening a window.
namespace Autostart {

QString entryPath();

// True when the entry exists and the desktop has not been told to skip it.
bool isEnabled();

// Writes the entry for `program` (an absolute path); false when it could not be written.
bool enable(const QString &program);
// Removes the entry; true when none is left.
bool disable();

// The entry's text for `program`.
QByteArray entryText(const QString &program);

// An Exec value that runs exactly `argv`: arguments quoted where the desktop entry rules require it,
// then escaped as a desktop entry string.
QString execLine(const QStringList &argv);

} // namespace Autostart
