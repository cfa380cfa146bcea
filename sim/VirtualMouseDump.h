#pragma once

#include "VirtualMouseMemory.h"

#include <QJsonObject>

// The virtual mouse's memory as JSON, for tests and the demo's memory file. Byte fields become
// arrays of numbers; lists of blocks become arrays of such arrays; macros are keyed by their number.
QJsonObject memoryToJson(const VirtualMouseMemory &memory);
