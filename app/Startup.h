#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <functional>

class Widget;
struct WidgetEnvironment;

// The program's start-up and shut-down, shared by the real program and the demo build.
struct StartupVariant
{
    // Fills in the environment's seams before the main window is built (the demo's virtual mouse).
    std::function<void(WidgetEnvironment &)> prepareEnvironment;
    // Runs after the main window exists and before the first device check.
    std::function<void(Widget &)> beforeFirstCheck;
    // Options of this variant besides the program's own (--hidden, --help, --version): declared so
    // that they are accepted and listed by --help. The variant reads their values itself.
    QList<QCommandLineOption> options;
};

// The program's own options and the variant's, as --help lists them.
QList<QCommandLineOption> programOptions(const StartupVariant &variant = {});
QString helpText(const QList<QCommandLineOption> &options,
                 const QString &executable = QStringLiteral("kestrel-orbit"));

int runProgram(int argc, char **argv, const StartupVariant &variant = {});
