#include "Startup.h"

#include "AppPaths.h"
#include "AppRuleWiring.h"
#include "CtlRequests.h"
#include "HookWiring.h"
#include "InputHook.h"
#include "SingleInstance.h"
#include "Widget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

namespace {

const char programName[] = "kestrel-orbit";

QCommandLineOption hiddenOption()
{
    return {QStringLiteral("hidden"),
            QStringLiteral("Start in the tray without opening a window (as at login); a start without "
                           "a mouse then shows no status window either.")};
}

// --help and --version work without a display, so they are answered before the GUI starts.
bool answeredBeforeStart(int argc, char **argv, const StartupVariant &variant)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            const QString name = QString::fromLocal8Bit(argv[0]).section(QLatin1Char('/'), -1);
            std::fputs(qPrintable(helpText(programOptions(variant), name)), stdout);
            return true;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("%s %s\n", programName, KO_VERSION);
            return true;
        }
    }
    return false;
}

} // namespace

QList<QCommandLineOption> programOptions(const StartupVariant &variant)
{
    QList<QCommandLineOption> options{
        hiddenOption(),
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version and exit.")},
    };
    return options + variant.options;
}

QString helpText(const QList<QCommandLineOption> &options, const QString &executable)
{
    constexpr int column = 24;
    constexpr int width = 80;
    QString text = QStringLiteral("Usage: %1 [options]\n"
                                  "Configuration utility of the Kestrel Orbit gaming mouse. It lives in the\n"
                                  "system tray; starting it again while it runs brings its window back.\n\n"
                                  "Options:\n")
                       .arg(executable);
    for (const QCommandLineOption &option : options) {
        QStringList names;
        for (const QString &name : option.names())
            names << (name.size() == 1 ? QLatin1String("-") : QLatin1String("--")) + name;
        QString line = QLatin1String("  ") + names.join(QLatin1String(", "));
        if (!option.valueName().isEmpty())
            line += QStringLiteral(" <%1>").arg(option.valueName());
        line = line.leftJustified(column - 1) + QLatin1Char(' ');
        // The description wrapped at word boundaries, continued under its first line.
        for (const QString &word : option.description().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (line.size() > column && line.size() + 1 + word.size() > width) {
                text += line + QLatin1Char('\n');
                line = QString(column, QLatin1Char(' '));
            } else if (line.size() > column) {
                line += QLatin1Char(' ');
            }
            line += word;
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

int runProgram(int argc, char **argv, const StartupVariant &variant)
{
    if (answeredBeforeStart(argc, argv, variant))
        return 0;

    // The window is a fixed surface of images, rectangles and text: the software scene graph draws
    // it as well as a GPU would, starts faster and needs far less memory. A user's own choice of
    // backend still wins.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrel-orbit"));
    QApplication::setApplicationVersion(QStringLiteral(KO_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    // Qt has taken its own options (-platform and the like) out of the arguments by now.
    QCommandLineParser parser;
    parser.addOptions(programOptions(variant));
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", programName, qPrintable(parser.errorText()),
                     programName);
        return 2;
    }
    const bool hidden = parser.isSet(hiddenOption());

    SingleInstance instance(SingleInstance::keyFor(QApplication::applicationFilePath()));
    if (instance.isRunning()) {
        // A start at login must not bring a window of the running instance up.
        if (!hidden)
            instance.sendMessage(QString(), 5000);
        return 1;
    }

    // Every path under ./modules resolves against the program's own folder, wherever it was
    // started from (or the user's copy when that folder is read-only).
    const QString exeDir = QFileInfo(QApplication::applicationFilePath()).absolutePath();
    const QString dataRoot = AppPaths::chooseDataRoot(
        exeDir, AppPaths::isWritableDir(exeDir),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir::setCurrent(dataRoot);

    WidgetEnvironment environment;
    if (variant.prepareEnvironment)
        variant.prepareEnvironment(environment);
    Widget w(environment);
    QObject::connect(&instance, &SingleInstance::messageReceived, &w, &Widget::receiveMessage);
    // kestrel-orbit-ctl hands its commands over while the program runs.
    CtlRequests ctlRequests(instance, w);
    // Profiles chosen by the focused application.
    AppRuleWiring appRules(w, ctlRequests);

    InputHook hook(false);
    connectInputHook(hook, w);

    if (variant.beforeFirstCheck)
        variant.beforeFirstCheck(w);
    w.startUp(hidden);
    // Start-up lets events run while it talks to the mouse; a quit asked for then found no event
    // loop to end. The loop still runs once, so the application's quit handling (aboutToQuit, which
    // tears down windows that must not outlive it) happens as on every other quit.
    if (w.quitRequested())
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
