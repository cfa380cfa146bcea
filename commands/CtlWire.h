#pragma once

#include "CtlCommands.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

// The messages by which kestrel-orbit-ctl hands a command to the running program over its
// single-instance socket, and the program's answer. Both are JSON objects of a known type and
// version, bounded in size; anything else is refused whole. (The empty message keeps its meaning:
// a later start of the program.)
namespace CtlWire {

inline constexpr int version = 1;
// A request holds a command line of a few words; an answer the command's printed text.
inline constexpr int maxRequestBytes = 16 * 1024;
inline constexpr int maxReplyBytes = 1024 * 1024;
inline constexpr int maxRequestWords = 64;

QByteArray encodeRequest(const QStringList &args);
// The command line of a request; std::nullopt, with the reason in *why, for anything that is not a
// well-formed request of this version within the bounds.
std::optional<QStringList> decodeRequest(const QByteArray &message, QString *why);

QByteArray encodeReply(const CtlOutput &output);
std::optional<CtlOutput> decodeReply(const QByteArray &message, QString *why);

} // namespace CtlWire
