#pragma once

#include <QString>
#include <QStringList>

class CtlContext;

// What a command printed and how it ended: results for standard output, messages for standard
// error, and the exit status.
struct CtlOutput
{
    int exitCode = 0;
    QString out;
    QString err;
};

// The subcommands of kestrel-orbit-ctl: their forms, their help and what they do to a context.
namespace Ctl {

inline constexpr char programName[] = "kestrel-orbit-ctl";

enum Exit {
    Ok = 0,
    Usage = 1,        // the command line or a value in it is wrong; nothing was changed
    NoMouse = 2,      // no mouse is usable; nothing was changed
    MouseRefused = 3, // the mouse did not accept a command (the profile holds the new values)
};

// Checks the form of a command line (the words after the global options) without touching any file
// or device: the subcommand, the number of words, numbers where numbers belong. On success the
// words come back with every FILE made absolute against `workingDir`, so that another process
// can carry the command out; on failure `error` says what is wrong.
bool checkForm(const QStringList &args, const QString &workingDir, QStringList *normalised,
               QString *error);

// True for a command line that asks for help (`help …`, or --help/-h anywhere).
bool asksForHelp(const QStringList &args);
// The general help, or the help of one subcommand ("dpi", "profile" …).
QString helpText(const QString &subcommand = QString());
// The subcommand a command line names, for "Try … --help"; empty when there is none.
QString subcommandOf(const QStringList &args);

// Carries a command line out against `context`. The form is checked again first.
CtlOutput run(const QStringList &args, CtlContext &context);

} // namespace Ctl
