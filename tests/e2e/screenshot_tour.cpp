// Takes the pictures listed in a pages file (docs/screenshots/pages.txt): for each line the demo is
// started afresh, the line's steps are played and the main window is saved as <out>/<name>.png.
//
//   ko_screenshot_tour <pages file> <output folder>      (on an X display, e.g. under xvfb-run)
//
// With KO_E2E_WAYLAND=1 (the demo as a Wayland client, see DemoDriver.h) only the lines whose name
// begins with "wayland" are taken, and only without it the others.
#include "DemoDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <X11/Xlib.h>

#include <cstdio>

namespace {

bool play(DemoDriver &demo, const QString &step, bool &wholeScreen)
{
    const QString verb = step.section(QLatin1Char(':'), 0, 0);
    const QString arg = step.section(QLatin1Char(':'), 1, -1);
    QList<int> n;
    for (const QString &part : arg.split(QLatin1Char(','), Qt::SkipEmptyParts))
        n << part.toInt();
    const QPoint at(n.value(0), n.value(1));
    const QPoint to(n.value(2), n.value(3));
    const KeySym key = XStringToKeysym(qPrintable(arg));
    wholeScreen = wholeScreen || verb == QLatin1String("screen");
    if (verb == QLatin1String("click") || verb == QLatin1String("rclick"))
        return n.size() == 2 && demo.click(at, verb == QLatin1String("click") ? 1 : 3);
    if (verb == QLatin1String("move"))
        return n.size() == 2 && demo.moveTo(at);
    if (verb == QLatin1String("drag") || verb == QLatin1String("movewindow"))
        return n.size() == 4 && (verb == QLatin1String("drag") ? demo.drag(at, to) : demo.dragWindow(at, to));
    if (verb == QLatin1String("key"))
        return key != NoSymbol && demo.pressKey(key);
    if (verb == QLatin1String("type"))
        return demo.typeText(arg);
    if (verb == QLatin1String("dpi"))
        return n.size() == 1 && demo.pressDpiButton(n[0]) && demo.waitForIdle();
    return verb == QLatin1String("screen");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QFile pages(argc == 3 ? QFile::decodeName(argv[1]) : QString());
    if (!pages.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "usage: %s <readable pages file> <output folder>\n", argv[0]);
        return 2;
    }
    int failed = 0;
    // One driver for every picture: its X connection keeps the server from resetting in between.
    DemoDriver demo;
    for (const QByteArray &raw : pages.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const QString name = line.section(QLatin1Char(':'), 0, 0).trimmed();
        if (line.startsWith(QLatin1Char('#')) || !line.contains(QLatin1Char(':')) || name.isEmpty()
            || name.startsWith(QLatin1String("wayland")) != DemoDriver::onWayland())
            continue;
        QString problem = demo.start() ? QString() : demo.error();
        bool wholeScreen = false;
        for (const QString &step : line.section(':', 1, -1).split(' ', Qt::SkipEmptyParts)) {
            if (problem.isEmpty() && !play(demo, step, wholeScreen))
                problem = QStringLiteral("step %1 failed").arg(step);
        }
        const QString path = QDir(QFile::decodeName(argv[2])).filePath(name + QStringLiteral(".png"));
        if (problem.isEmpty() && !demo.screenshot(path, wholeScreen))
            problem = QStringLiteral("no picture (blank or not writable)");
        demo.stop();
        const QString report = problem.isEmpty() ? path : name + ": " + problem;
        std::fprintf(problem.isEmpty() ? stdout : stderr, "%s\n", qPrintable(report));
        failed += !problem.isEmpty();
    }
    return failed ? 1 : 0;
}
