#pragma once

#include "VirtualMouseMemory.h"

#include <QJsonObject>
#include <QString>

#include <memory>

// The virtual mouse's memory as JSON, for tests and the demo's memory file. Byte fields become
// arrays of numbers; lists of blocks become arrays of such arrays; macros are keyed by their number.
QJsonObject memoryToJson(const VirtualMouseMemory &memory);

// Writes memoryToJson to a file and keeps it current: the file is replaced (written beside it and
// renamed over) whenever the memory differs from what was last written, so a reader never sees
// half a file. noteReport() asks for that check; it may be called from any thread (the trace sink's)
// and checks once per turn of the owner's event loop however often it is called.
class VirtualMouse;
class VirtualMouseMemoryFile
{
public:
    VirtualMouseMemoryFile(const VirtualMouse &mouse, const QString &path);
    ~VirtualMouseMemoryFile();

    void noteReport();
    // Writes now if the memory changed; false when the file could not be written.
    bool update();
    QString path() const;

private:
    struct State;
    std::unique_ptr<State> d;
};
