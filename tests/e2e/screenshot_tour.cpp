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
    const int colon = step.indexOf(QLatin1Char(':'));
    const QString verb = step.left(colon);
    const QString arg = step.mid(colon + 1);
    QList<int> n;
    for (const QString &part : arg.split(QLatin1Char(','), Qt::SkipEmptyParts))
        n << part.toInt();
    if (verb == QLatin1String("click") && n.size() == 2)
        demo.click(n[0], n[1]);
    else if (verb == QLatin1String("rclick") && n.size() == 2)
        demo.click(n[0], n[1], 3);
    else if (verb == QLatin1String("move") && n.size() == 2)
        demo.moveTo(n[0], n[1]);
    else if (verb == QLatin1String("drag") && n.size() == 4)
        demo.drag({n[0], n[1]}, {n[2], n[3]});
    else if (verb == QLatin1String("key") && XStringToKeysym(qPrintable(arg)) != NoSymbol)
        demo.pressKey(XStringToKeysym(qPrintable(arg)));
    else if (verb == QLatin1String("type"))
        demo.typeText(arg);
    else if (verb == QLatin1String("dpi") && n.size() == 1)
        demo.pressDpiButton(n[0]);
    else if (verb == QLatin1String("movewindow") && n.size() == 4)
        return demo.dragWindow({n[0], n[1]}, {n[2], n[3]}) && demo.waitForIdle();
    else if (verb == QLatin1String("screen"))
        wholeScreen = true;
    else
        return false;
    return demo.waitForIdle();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <pages file> <output folder>\n", argv[0]);
        return 2;
    }
    QFile pages(QFile::decodeName(argv[1]));
    if (!pages.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const QDir out(QFile::decodeName(argv[2]));
    int failed = 0;
    // One driver for every picture: its X connection keeps the server from resetting in between.
    DemoDriver demo;
    for (const QByteArray &raw : pages.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const int colon = line.indexOf(QLatin1Char(':'));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || colon < 1)
            continue;
        const QString name = line.left(colon).trimmed();
        if (name.startsWith(QLatin1String("wayland")) != DemoDriver::onWayland())
            continue;
        const QStringList steps = line.mid(colon + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);

        QString problem;
        if (!demo.start())
            problem = demo.error();
        else if (!demo.waitForIdle())
            problem = QStringLiteral("the window never settled");
        bool wholeScreen = false;
        for (const QString &step : steps) {
            if (problem.isEmpty() && !play(demo, step, wholeScreen))
                problem = QStringLiteral("step %1 failed").arg(step);
        }
        const QString path = out.filePath(name + QStringLiteral(".png"));
        if (problem.isEmpty() && demo.screenshot(path, wholeScreen).isEmpty())
            problem = QStringLiteral("no picture (blank or not writable)");
        demo.stop();
        if (problem.isEmpty()) {
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(problem));
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
