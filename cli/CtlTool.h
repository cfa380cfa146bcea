#pragma once

#include "CtlCommands.h"
#include "CtlContext.h"

#include <QString>
#include <QStringList>

#include <functional>

class ProtocolClock;

// Where kestrel-orbit-ctl finds the program, its data and the mouse.
struct ToolEnvironment
{
    // The tool's own folder: the program (kestrel-orbit, or kestrel-orbit-demo with --virtual) and
    // its modules/ are installed beside it.
    QString executableDir;
    // Relative file names are taken from here.
    QString workingDir;
    // The per-user data folder the program uses when its own folder is read-only.
    QString userDataDir;
    // The running program's single-instance key; empty: the one of the program beside the tool.
    QString programKey;
    // How long the running program may take to carry a command out.
    int handOverTimeoutMs = 120000;

    // For tests: the protocol's clock, what applies pointer settings, and a call made whenever
    // the tool is about to use the mouse (or the virtual one) itself.
    ProtocolClock *clock = nullptr;
    std::function<void(const PointerValues &)> applyPointer;
    std::function<void()> onLocalRun;
    // Receives each report of the virtual mouse with --trace (default: standard error).
    std::function<void(const QString &line)> traceSink;
};

// The whole tool: `arguments` are the words after the program's name. Global options are taken
// wherever they stand (--virtual, --memory-file PATH, --trace, --help, --version); the command
// is handed to the running program when there is one, else carried out here.
CtlOutput runTool(const QStringList &arguments, const ToolEnvironment &environment);
