#include "HidCommands.h"

#include "HidTransport.h"
#include "ProtocolClock.h"

#include <QDebug>

#include <algorithm>

namespace HidCommands {

namespace {

bool runRead(HidTransport &t, const Command &command, const Args &args)
{
    t.buildReport(command.code, args.params);
    t.inReport.fill(0);
    for (size_t i = 0; i < args.results.size(); ++i) {
        if (args.results[i] && !command.zeroReply)
            t.inReport[2 + i] = *args.results[i];
    }
    if (args.block)
        std::copy_n(args.block, args.length, t.dataBlock.begin());
    const bool ok = t.hidSendRead(args.length);
    for (size_t i = 0; i < args.results.size(); ++i) {
        if (args.results[i])
            *args.results[i] = t.inReport[2 + i];
    }
    if (args.block)
        std::copy_n(t.dataBlock.begin(), args.length, args.block);
    return ok;
}

bool runWrite(HidTransport &t, const Command &command, const Args &args)
{
    t.dataBlock.fill(0);
    if (args.block)
        std::copy_n(args.block, std::min(args.blockBytes, args.length), t.dataBlock.begin());
    t.buildReport(command.code, args.params);
    return t.hidSend(args.length, command.settle);
}

bool runSequenced(HidTransport &t, const Command &command, Args args)
{
    bool ok = true;
    for (quint8 sequence = 1; sequence <= 4; ++sequence) {
        // hidSend gave the token back; take it again at once so that no command started from the
        // events the next report processes can slip in between the repetitions.
        if (sequence > 1)
            t.setHidReady(false);
        args.params[0] = sequence;
        t.buildReport(command.code, args.params);
        // A failed repetition does not stop the others.
        ok = t.hidSend(0, command.settle) && ok;
        if (args.once)
            break;
    }
    return ok;
}

} // namespace

bool runCommand(HidTransport &transport, const Command &command, Args args)
{
    if (!transport.waitHidReady()) {
        qDebug("%s", command.failLine);
        return false;
    }
    args.length = std::clamp(args.length, 0, static_cast<int>(HidTransport::Block().size()));
    bool ok = false;
    switch (command.kind) {
    case Kind::Read:
        ok = runRead(transport, command, args);
        break;
    case Kind::Write:
        ok = runWrite(transport, command, args);
        break;
    case Kind::Sequenced:
        ok = runSequenced(transport, command, args);
        break;
    }
    if (command.pauseAfterMs > 0)
        transport.clock().sleepMs(command.pauseAfterMs);
    return ok;
}

} // namespace HidCommands
