// Start-up time and memory of the demo: on a private Xvfb display, one warm-up run and then N runs
// (default 5), each from a fresh copy of the demo and its data. Measured per run: time from exec to
// the 1024 × 640 main window being mapped, and to its first drawn (non-blank) frame; resident memory
// (VmRSS) 3 s after the window was mapped. Prints each run, then median and spread.
//
//   bench_startup [runs]        environment variables (QT_QUICK_BACKEND …) pass through to the demo
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>

#include <sys/select.h>
#include <unistd.h>

namespace {

constexpr int width = 1024, height = 640;
constexpr int timeoutMs = 30000;

int ignoreXError(Display *, XErrorEvent *) { return 0; }

struct Run
{
    double mappedMs = -1, drawnMs = -1, rssMiB = -1;
};

bool copyBundle(const QString &bundle, const QString &to)
{
    QDirIterator it(bundle + QStringLiteral("/modules"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(bundle.size());
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, target))
            return false;
    }
    const QByteArray exe = QFile::encodeName(bundle + QStringLiteral("/kestrel-orbit-demo"));
    const QByteArray copy = QFile::encodeName(to + QStringLiteral("/kestrel-orbit-demo"));
    return ::link(exe.constData(), copy.constData()) == 0
           || QFile::copy(QFile::decodeName(exe), QFile::decodeName(copy));
}

long windowPid(Display *d, Window w)
{
    static const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data)
            == Success
        && data && format == 32 && count == 1)
        pid = long(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

// Drawn: more than a few colours and no single colour covering nearly all of it. Four thin bands
// across the window are enough to tell, and cheap enough to poll without slowing the demo down.
bool drawn(Display *d, Window w)
{
    QHash<unsigned long, int> counts;
    int samples = 0, most = 0;
    for (int band = 1; band <= 4; ++band) {
        XImage *image = XGetImage(d, w, 0, band * height / 5, width, 2, AllPlanes, ZPixmap);
        if (!image)
            return false;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < width; x += 2) {
                most = std::max(most, ++counts[XGetPixel(image, x, y) & 0xffffff]);
                ++samples;
            }
        }
        XDestroyImage(image);
    }
    return counts.size() >= 4 && most <= samples * 98 / 100;
}

double elapsedMs(const QElapsedTimer &clock) { return clock.nsecsElapsed() / 1e6; }

double rssMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

Run measure(Display *d, const QString &bundle)
{
    Run run;
    QTemporaryDir dir;
    if (!copyBundle(bundle, dir.path())) {
        std::fprintf(stderr, "bench_startup: cannot copy the demo from %s\n", qPrintable(bundle));
        return run;
    }
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, True); // drop events of earlier runs

    QProcess demo;
    demo.setStandardOutputFile(QProcess::nullDevice());
    demo.setStandardErrorFile(QProcess::nullDevice());
    demo.setWorkingDirectory(dir.path());
    QElapsedTimer clock;
    clock.start();
    demo.start(dir.filePath(QStringLiteral("kestrel-orbit-demo")), {});
    if (!demo.waitForStarted()) {
        std::fprintf(stderr, "bench_startup: the demo did not start\n");
        return run;
    }

    Window window = 0;
    while (!window && clock.elapsed() < timeoutMs) {
        if (!XPending(d)) {
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(ConnectionNumber(d), &fds);
            timeval wait{0, 20000};
            select(ConnectionNumber(d) + 1, &fds, nullptr, nullptr, &wait);
            continue;
        }
        XEvent event;
        XNextEvent(d, &event);
        if (event.type != MapNotify)
            continue;
        XWindowAttributes a;
        if (XGetWindowAttributes(d, event.xmap.window, &a) && a.width == width && a.height == height
            && windowPid(d, event.xmap.window) == long(demo.processId())) {
            window = event.xmap.window;
            run.mappedMs = elapsedMs(clock);
        }
    }
    XSelectInput(d, root, NoEventMask);
    if (window) {
        while (clock.elapsed() < timeoutMs) {
            if (drawn(d, window)) {
                run.drawnMs = elapsedMs(clock);
                break;
            }
            QThread::usleep(2000);
        }
        QThread::msleep(static_cast<unsigned long>(std::max(0.0, run.mappedMs + 3000 - elapsedMs(clock))));
        run.rssMiB = rssMiB(demo.processId());
    }
    demo.terminate();
    if (!demo.waitForFinished(5000)) {
        demo.kill();
        demo.waitForFinished();
    }
    return run;
}

void summary(const char *what, const char *unit, QList<double> values)
{
    values.removeIf([](double v) { return v < 0; });
    if (values.isEmpty()) {
        std::printf("%-22s no value\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    const int n = int(values.size());
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf("%-22s median %7.1f %s   spread %.1f … %.1f (%.1f)   n=%d\n", what, median, unit,
                values.first(), values.last(), values.last() - values.first(), n);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString bundle = QStringLiteral(KO_BUNDLE_DIR);

    // A private display: -displayfd makes the server pick a free number and tell us.
    QProcess xvfb;
    xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                        QStringLiteral("-screen"), QStringLiteral("0"),
                                        QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                                        QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && xvfb.waitForReadyRead(10000))
        number += xvfb.readAllStandardOutput();
    if (!number.contains('\n')) {
        std::fprintf(stderr, "bench_startup: Xvfb did not start\n");
        return 1;
    }
    const QByteArray display = ':' + number.trimmed();
    qputenv("DISPLAY", display);
    XSetErrorHandler(ignoreXError);
    Display *d = XOpenDisplay(display.constData());
    if (!d) {
        std::fprintf(stderr, "bench_startup: cannot open display %s\n", display.constData());
        return 1;
    }

    std::printf("kestrel-orbit-demo on Xvfb %s, QT_QUICK_BACKEND=%s, 1 warm-up run + %d\n",
                display.constData(), qEnvironmentVariableIsSet("QT_QUICK_BACKEND")
                                         ? qPrintable(qEnvironmentVariable("QT_QUICK_BACKEND"))
                                         : "(unset)",
                runs);
    QList<double> mapped, shown, rss;
    for (int i = 0; i <= runs; ++i) {
        const Run run = measure(d, bundle);
        std::printf("%-8s mapped %7.1f ms   drawn %7.1f ms   VmRSS %6.1f MiB\n",
                    i ? qPrintable(QStringLiteral("run %1").arg(i)) : "warm-up", run.mappedMs,
                    run.drawnMs, run.rssMiB);
        std::fflush(stdout);
        if (i) {
            mapped << run.mappedMs;
            shown << run.drawnMs;
            rss << run.rssMiB;
        }
    }
    summary("exec to mapped window", "ms", mapped);
    summary("exec to drawn window", "ms", shown);
    summary("resident after 3 s", "MiB", rss);

    XCloseDisplay(d);
    xvfb.terminate();
    xvfb.waitForFinished();
    return 0;
}
