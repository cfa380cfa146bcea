#include "CtlTool.h"

#include "AppPaths.h"
#include "CtlWire.h"
#include "LocalContext.h"
#include "SingleInstance.h"
#include "VirtualMouse.h"
#include "VirtualMouseConfig.h"
#include "VirtualMouseDump.h"

#include <QDir>

#include <cstdio>
#include <memory>

namespace {

struct GlobalOptions
{
    bool isVirtual = false;
    bool trace = false;
    QString memoryFile;
    bool version = false;
};

CtlOutput usageError(const QString &message)
{
    CtlOutput out;
    out.exitCode = Ctl::Usage;
    out.err = QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(QLatin1String(Ctl::programName), message);
    return out;
}

// Takes the global options out of the arguments (not after "--").
std::optional<GlobalOptions> takeGlobalOptions(QStringList &args, QString *error)
{
    GlobalOptions options;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--")) {
            rest << args.mid(i);
            break;
        }
        if (a == QLatin1String("--virtual")) {
            options.isVirtual = true;
        } else if (a == QLatin1String("--trace")) {
            options.trace = true;
        } else if (a == QLatin1String("--version")) {
            options.version = true;
        } else if (a == QLatin1String("--memory-file") || a.startsWith(QLatin1String("--memory-file="))) {
            if (a.contains(QLatin1Char('=')))
                options.memoryFile = a.mid(a.indexOf(QLatin1Char('=')) + 1);
            else if (i + 1 < args.size())
                options.memoryFile = args.at(++i);
            if (options.memoryFile.isEmpty()) {
                *error = QStringLiteral("option '--memory-file' needs a path");
                return std::nullopt;
            }
        } else {
            rest << a;
        }
    }
    args = rest;
    return options;
}

QString programKey(const ToolEnvironment &env, bool isVirtual)
{
    if (!env.programKey.isEmpty())
        return env.programKey;
    const QString program = isVirtual ? QStringLiteral("kestrel-orbit-demo") : QStringLiteral("kestrel-orbit");
    return SingleInstance::keyFor(QDir(env.executableDir).filePath(program));
}

CtlOutput handOver(const QString &key, qint64 pid, const QStringList &args, int timeoutMs)
{
    QString error;
    const std::optional<QByteArray> answer = SingleInstance::request(key, CtlWire::encodeRequest(args), timeoutMs,
                                                                      CtlWire::maxReplyBytes, &error);
    std::optional<CtlOutput> output;
    if (answer)
        output = CtlWire::decodeReply(*answer, &error);
    if (output)
        return *output;
    CtlOutput out;
    out.exitCode = Ctl::NoMouse;
    out.err = QStringLiteral("%1: the running program (pid %2) has the mouse, but did not carry the command out: %3\n")
                  .arg(QLatin1String(Ctl::programName))
                  .arg(pid)
                  .arg(error);
    return out;
}

} // namespace

CtlOutput runTool(const QStringList &arguments, const ToolEnvironment &env)
{
    QStringList args = arguments;
    QString error;
    const std::optional<GlobalOptions> options = takeGlobalOptions(args, &error);
    if (!options)
        return usageError(error);
    if (options->version)
        return {Ctl::Ok, QStringLiteral("%1 %2\n").arg(QLatin1String(Ctl::programName), QStringLiteral(KO_VERSION)), {}};
    if (args.isEmpty()) {
        CtlOutput out = usageError(QStringLiteral("no command given"));
        out.err = Ctl::helpText() + QLatin1Char('\n') + out.err;
        return out;
    }
    if (Ctl::asksForHelp(args)) {
        const QString sub = args.first() == QLatin1String("help") ? args.value(1) : Ctl::subcommandOf(args);
        return {Ctl::Ok, Ctl::helpText(sub), {}};
    }
    if (args.first().startsWith(QLatin1Char('-')) && args.first() != QLatin1String("--"))
        return usageError(QStringLiteral("unknown option '%1'").arg(args.first()));
    QStringList command;
    if (!Ctl::checkForm(args, env.workingDir, &command, &error)) {
        CtlOutput out = usageError(error);
        const QString sub = Ctl::subcommandOf(args);
        if (!sub.isEmpty())
            out.err.replace(QStringLiteral("--help'"), sub + QStringLiteral(" --help'"));
        return out;
    }
    if (!options->isVirtual && (options->trace || !options->memoryFile.isEmpty()))
        return usageError(QStringLiteral("--trace and --memory-file go with --virtual"));

    // One owner of the mouse: while the program runs, it carries the command out.
    const QString key = programKey(env, options->isVirtual);
    if (const qint64 pid = SingleInstance::runningPid(key)) {
        CtlOutput out = handOver(key, pid, command, env.handOverTimeoutMs);
        if (options->trace || !options->memoryFile.isEmpty())
            out.err.prepend(QStringLiteral("%1: --trace and --memory-file are not used: the running program has the "
                                           "virtual mouse\n").arg(QLatin1String(Ctl::programName)));
        return out;
    }

    if (env.onLocalRun)
        env.onLocalRun();
    const QString root = AppPaths::chooseDataRoot(env.executableDir, AppPaths::isWritableDir(env.executableDir),
                                                  env.userDataDir);
    const QString modulesDir = QDir(root).filePath(QStringLiteral("modules"));
    std::unique_ptr<VirtualMouse> mouse;
    if (options->isVirtual) {
        const auto config = loadVirtualMouseConfig(QDir(modulesDir).filePath(QStringLiteral("setting/demoMouse.ini")), &error);
        if (!config) {
            CtlOutput out;
            out.exitCode = Ctl::NoMouse;
            out.err = QStringLiteral("%1: no virtual mouse: %2\n").arg(QLatin1String(Ctl::programName), error);
            return out;
        }
        mouse = std::make_unique<VirtualMouse>(*config, env.clock);
        if (options->trace) {
            const auto sink = env.traceSink;
            mouse->setTraceSink([sink](const QString &line) {
                if (sink)
                    sink(line);
                else
                    std::fprintf(stderr, "%s\n", qPrintable(line));
            });
        }
    }
    LocalContext context(modulesDir, mouse.get(), env.clock);
    if (env.applyPointer)
        context.setPointerApplier(env.applyPointer);
    CtlOutput out = Ctl::run(command, context);
    if (mouse && !options->memoryFile.isEmpty()) {
        VirtualMouseMemoryFile file(*mouse, options->memoryFile);
        if (!file.update())
            out.err += QStringLiteral("%1: %2 could not be written\n").arg(QLatin1String(Ctl::programName), options->memoryFile);
    }
    return out;
}
