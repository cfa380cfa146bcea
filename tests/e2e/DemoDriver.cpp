#include "DemoDriver.h"

#include "ReportCipher.h"
#include "ShippedData.h"
#include "VirtualMouseConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const char demoName[] = "kestrel-orbit-demo";
constexpr int pollMs = 25;
// Weston's background on Wayland runs: a colour the program never draws, so that its windows stand
// out in the picture of the output.
constexpr QRgb westonBackground = 0x204060;

// A window that went away between listing and asking is normal here; the default handler would end
// the test process.
int ignoreXError(Display *, XErrorEvent *) { return 0; }

QString hexByte(int value) { return QStringLiteral("%1").arg(value & 0xff, 2, 16, QLatin1Char('0')); }

} // namespace

struct DemoDriver::X
{
    Display *display = nullptr;
    Window window = 0;
    Atom pidAtom = 0;

    ~X()
    {
        if (display)
            XCloseDisplay(display);
    }

    qint64 windowPid(Window w) const
    {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char *data = nullptr;
        qint64 pid = -1;
        if (XGetWindowProperty(display, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &count, &after, &data) == Success
            && data && format == 32 && count == 1)
            pid = qint64(*reinterpret_cast<unsigned long *>(data));
        if (data)
            XFree(data);
        return pid;
    }

    // Viewable windows of the process, depth first (a window manager would put frames between the
    // root and the program's windows).
    void windowsOf(qint64 pid, Window w, QList<Window> &out) const
    {
        XWindowAttributes a;
        if (w != DefaultRootWindow(display) && XGetWindowAttributes(display, w, &a)
            && a.map_state == IsViewable && windowPid(w) == pid) {
            out << w;
            return;
        }
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, w, &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i)
                windowsOf(pid, children[i], out);
        }
        if (children)
            XFree(children);
    }

    // The picture of `area` of window `w` (all of it when `area` is empty), as a 32-bit image.
    QImage grabArea(Window w, QRect area) const
    {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, w, &a) || a.map_state != IsViewable)
            return {};
        if (area.isEmpty())
            area = QRect(0, 0, a.width, a.height);
        if (!QRect(0, 0, a.width, a.height).contains(area))
            return {};
        XImage *xi = XGetImage(display, w, area.x(), area.y(), unsigned(area.width()),
                               unsigned(area.height()), AllPlanes, ZPixmap);
        if (!xi)
            return {};
        QImage image(area.size(), QImage::Format_RGB32);
        const bool direct = xi->bits_per_pixel == 32 && xi->byte_order == LSBFirst && xi->red_mask == 0xff0000
                            && xi->green_mask == 0xff00 && xi->blue_mask == 0xff;
        for (int y = 0; y < area.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            if (direct) {
                const auto *src = reinterpret_cast<const quint32 *>(xi->data + y * xi->bytes_per_line);
                for (int x = 0; x < area.width(); ++x)
                    line[x] = 0xff000000u | src[x];
            } else {
                for (int x = 0; x < area.width(); ++x)
                    line[x] = 0xff000000u | quint32(XGetPixel(xi, x, y) & 0xffffff);
            }
        }
        XDestroyImage(xi);
        return image;
    }

    // The first viewable top-level window of class `windowClass`, or 0.
    Window windowOfClass(const char *windowClass) const
    {
        Window root, parent, *children = nullptr, found = 0;
        unsigned int count = 0;
        if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
            return 0;
        for (unsigned int i = 0; i < count && !found; ++i) {
            XClassHint hint{};
            XWindowAttributes a;
            if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable
                && XGetClassHint(display, children[i], &hint)) {
                if (hint.res_class && qstrcmp(hint.res_class, windowClass) == 0)
                    found = children[i];
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        if (children)
            XFree(children);
        return found;
    }

    QRect rectOf(Window w) const
    {
        XWindowAttributes a;
        Window child;
        int x = 0, y = 0;
        if (!XGetWindowAttributes(display, w, &a)
            || !XTranslateCoordinates(display, w, DefaultRootWindow(display), 0, 0, &x, &y, &child))
            return {};
        return QRect(x, y, a.width, a.height);
    }
};

// Weston inside the test's X display, and where the main window shows in its output.
struct DemoDriver::Compositor
{
    QProcess process;
    QTemporaryDir runtime; // XDG_RUNTIME_DIR, private (0700) as Wayland wants it
    Window output = 0;     // Weston's X window, showing its output at 1:1
    QRect window;          // the main window within the output

    ~Compositor()
    {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished();
        }
    }
};

bool DemoDriver::onWayland() { return qEnvironmentVariableIntValue("KO_E2E_WAYLAND") == 1; }

DemoDriver::DemoDriver() : m_x(std::make_unique<X>())
{
    XSetErrorHandler(ignoreXError);
    // An X server resets when its last client leaves and refuses connections meanwhile.
    pollUntil([this] { return (m_x->display = XOpenDisplay(nullptr)) != nullptr; }, 5000);
    if (m_x->display)
        m_x->pidAtom = XInternAtom(m_x->display, "_NET_WM_PID", False);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
    QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] { readOutput(); });
}

DemoDriver::~DemoDriver()
{
    stop();
    m_compositor.reset();
}

bool DemoDriver::pollUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(pollMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

bool DemoDriver::copyBundle()
{
    const QString bundle = QStringLiteral(KO_BUNDLE_DIR);
    const QString root = rootDir();
    for (const char *folder : {"app", "scratch", "home"}) {
        if (!QDir().mkpath(m_dir->filePath(QLatin1String(folder))))
            return false;
    }
    // A hard link where the file systems allow it: the executable is large.
    const QByteArray exe = QFile::encodeName(bundle + QLatin1Char('/') + QLatin1String(demoName));
    const QByteArray copy = QFile::encodeName(root + QLatin1Char('/') + QLatin1String(demoName));
    if (::link(exe.constData(), copy.constData()) != 0
        && !QFile::copy(QFile::decodeName(exe), QFile::decodeName(copy)))
        return false;
    if (!ShippedData::copyTo(dataDir()))
        return false;

    QString why;
    const auto config = loadVirtualMouseConfig(dataDir() + QStringLiteral("/setting/demoMouse.ini"), &why);
    m_secrecy.clear();
    if (config && config->isEncode && config->sCode.size() == 6)
        m_secrecy = QByteArray(1, '\0') + config->sCode.toLatin1();
    return true;
}

bool DemoDriver::prepare()
{
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    m_memoryPath = m_dir->filePath(QStringLiteral("memory.json"));
    m_prepared = m_dir->isValid() && copyBundle();
    if (!m_prepared)
        m_error = QStringLiteral("could not copy the demo from %1").arg(QStringLiteral(KO_BUNDLE_DIR));
    return m_prepared;
}

bool DemoDriver::start(const QStringList &extraArguments, int timeoutMs)
{
    stop();
    m_error.clear();
    m_out.clear();
    m_err.clear();
    m_outPartial.clear();
    m_errPartial.clear();
    m_x->window = 0;
    if (!m_x->display) {
        m_error = QStringLiteral("no X display (DISPLAY=%1)").arg(qEnvironmentVariable("DISPLAY"));
        return false;
    }
    if (onWayland() && !startCompositor())
        return false;
    if (!m_prepared && !prepare())
        return false;
    m_prepared = false;

    // Nothing the demo writes may land in the user's own files.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (m_compositor) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("ko-e2e"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_compositor->runtime.path());
        env.remove(QStringLiteral("DISPLAY")); // no way back to X for the program
    }
    env.insert(QStringLiteral("HOME"), m_dir->filePath(QStringLiteral("home")));
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(m_dir->filePath(QStringLiteral("scratch")));
    // The demo must not outlive a test that crashed or was killed on its time-out.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start(rootDir() + QLatin1Char('/') + QLatin1String(demoName),
                    QStringList{QStringLiteral("--keep"), QStringLiteral("--memory-file"), m_memoryPath}
                        + extraArguments);
    if (!m_process.waitForStarted()) {
        m_error = QStringLiteral("the demo did not start: ") + m_process.errorString();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    if (!pollUntil([this] { return findWindow() || !isRunning(); }, timeoutMs) || !m_x->window) {
        m_error = QStringLiteral("no %1 × %2 window of the demo appeared; its standard error:\n%3")
                      .arg(windowWidth).arg(windowHeight).arg(errorLines().join(QLatin1Char('\n')));
        stop();
        return false;
    }
    moveOtherWindowsAway();
    const int left = int(qMax<qint64>(1000, timeoutMs - clock.elapsed()));
    if (!pollUntil([this] { return !isBlank(grab()); }, left)) {
        m_error = QStringLiteral("the main window was never drawn");
        stop();
        return false;
    }
    // The start-up exchange and the start-up lock are over before a test acts.
    if (!waitForIdle(int(qMax<qint64>(1000, timeoutMs - clock.elapsed())))) {
        m_error = QStringLiteral("the main window did not settle after the start");
        stop();
        return false;
    }
    return true;
}

int DemoDriver::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return -1;
    m_process.terminate();
    int code = -1;
    if (m_process.waitForFinished(5000)) {
        if (m_process.exitStatus() == QProcess::NormalExit)
            code = m_process.exitCode();
    } else {
        m_process.kill();
        m_process.waitForFinished();
    }
    readOutput();
    m_x->window = 0;
    return code;
}

int DemoDriver::startAgain(const QStringList &arguments, int timeoutMs)
{
    if (!isRunning())
        return -1;
    QProcess second;
    second.setProcessEnvironment(m_process.processEnvironment());
    second.setWorkingDirectory(m_process.workingDirectory());
    second.start(m_process.program(), QStringList{QStringLiteral("--keep")} + arguments);
    if (!second.waitForFinished(timeoutMs)) {
        second.kill();
        second.waitForFinished();
        return -1;
    }
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

bool DemoDriver::waitForWindow(bool shown, int timeoutMs)
{
    return pollUntil([&] { return findWindow() == shown; }, timeoutMs)
           && (!shown || pollUntil([this] { return !isBlank(grab()); }, timeoutMs));
}

bool DemoDriver::isRunning() const { return m_process.state() == QProcess::Running; }
qint64 DemoDriver::pid() const { return m_process.processId(); }
QString DemoDriver::rootDir() const { return m_dir ? m_dir->filePath(QStringLiteral("app")) : QString(); }
QString DemoDriver::dataDir() const { return rootDir() + QStringLiteral("/modules"); }

QString DemoDriver::scratchPath(const QString &name) const
{
    return m_dir ? m_dir->filePath(QStringLiteral("scratch/") + name) : QString();
}

bool DemoDriver::findWindow()
{
    if (m_compositor) {
        if (!findWindowInOutput())
            return false;
        m_x->window = m_compositor->output;
        return true;
    }
    QList<Window> windows;
    m_x->windowsOf(pid(), DefaultRootWindow(m_x->display), windows);
    for (Window w : windows) {
        if (m_x->rectOf(w).size() == QSize(windowWidth, windowHeight)) {
            m_x->window = w;
            return true;
        }
    }
    return false;
}

// The virtual mouse's window opens at the top right of the screen, which on a small screen covers
// the main window's top-right buttons.
void DemoDriver::moveOtherWindowsAway()
{
    if (m_compositor)
        return; // the compositor places the windows, and raises the main window first
    QList<Window> windows;
    m_x->windowsOf(pid(), DefaultRootWindow(m_x->display), windows);
    const QRect main = windowRect();
    for (Window w : windows) {
        const QRect r = m_x->rectOf(w);
        if (w != m_x->window && r.intersects(main))
            XMoveWindow(m_x->display, w, r.x(), main.bottom() + 9);
    }
    XSync(m_x->display, False);
}

QRect DemoDriver::windowRect() const
{
    if (!m_x->window)
        return {};
    if (m_compositor)
        return m_compositor->window.translated(m_x->rectOf(m_compositor->output).topLeft());
    return m_x->rectOf(m_x->window);
}

QPoint DemoDriver::toScreen(int x, int y) const
{
    return windowRect().topLeft() + QPoint(x, y);
}

void DemoDriver::moveTo(int x, int y)
{
    const QPoint p = toScreen(x, y);
    XTestFakeMotionEvent(m_x->display, -1, p.x(), p.y(), CurrentTime);
    XSync(m_x->display, False);
}

void DemoDriver::press(int x, int y, int button)
{
    moveTo(x, y);
    XTestFakeButtonEvent(m_x->display, unsigned(button), True, CurrentTime);
    XSync(m_x->display, False);
}

void DemoDriver::release(int x, int y, int button)
{
    moveTo(x, y);
    XTestFakeButtonEvent(m_x->display, unsigned(button), False, CurrentTime);
    XSync(m_x->display, False);
}

void DemoDriver::click(int x, int y, int button)
{
    press(x, y, button);
    release(x, y, button);
}

void DemoDriver::drag(QPoint from, QPoint to, int steps, int button)
{
    // The window may follow the pointer; every position is taken relative to where it was at the press.
    const QPoint origin = windowRect().topLeft();
    press(from.x(), from.y(), button);
    steps = qMax(1, steps);
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = origin + from + (to - from) * i / steps;
        XTestFakeMotionEvent(m_x->display, -1, p.x(), p.y(), CurrentTime);
    }
    XTestFakeButtonEvent(m_x->display, unsigned(button), False, CurrentTime);
    XSync(m_x->display, False);
}

bool DemoDriver::dragWindow(QPoint from, QPoint to, int timeoutMs)
{
    const QRect start = windowRect();
    const QPoint pressed = start.topLeft() + from;
    const QPoint target = start.topLeft() + to - from;
    press(from.x(), from.y());
    // The steps reach the program one by one, as from a hand. On Wayland the compositor takes the
    // move over once the program asks for it, and places the window from the next motion on; so
    // the pointer rocks by a pixel at the end until the window stands where it was taken.
    constexpr int steps = 8;
    int step = 0;
    bool exact = false;
    const bool arrived = pollUntil([&] {
        if (m_compositor)
            findWindowInOutput();
        if (step == steps && exact && windowRect().topLeft() == target)
            return true;
        step = qMin(step + 1, steps);
        exact = step < steps || !exact;
        const QPoint p = pressed + (to - from) * step / steps + QPoint(exact ? 0 : 1, 0);
        XTestFakeMotionEvent(m_x->display, -1, p.x(), p.y(), CurrentTime);
        XSync(m_x->display, False);
        return false;
    }, timeoutMs);
    XTestFakeButtonEvent(m_x->display, 1, False, CurrentTime);
    XSync(m_x->display, False);
    return arrived;
}

void DemoDriver::focusWindow()
{
    if (!m_x->window)
        return;
    Window focused = 0;
    int revert = 0;
    XGetInputFocus(m_x->display, &focused, &revert);
    if (focused != m_x->window)
        XSetInputFocus(m_x->display, m_x->window, RevertToParent, CurrentTime);
    XSync(m_x->display, False);
}

void DemoDriver::pressKey(unsigned long keysym)
{
    Display *d = m_x->display;
    const KeyCode code = XKeysymToKeycode(d, KeySym(keysym));
    if (!code)
        return;
    int perCode = 0;
    KeySym *syms = XGetKeyboardMapping(d, code, 1, &perCode);
    const bool shifted = syms && perCode > 1 && syms[0] != KeySym(keysym) && syms[1] == KeySym(keysym);
    if (syms)
        XFree(syms);
    focusWindow();
    const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    if (shifted)
        XTestFakeKeyEvent(d, shift, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shifted)
        XTestFakeKeyEvent(d, shift, False, CurrentTime);
    XSync(d, False);
}

void DemoDriver::typeText(const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\n')
            pressKey(XK_Return);
        else if (u == '\t')
            pressKey(XK_Tab);
        else if ((u >= 0x20 && u < 0x7f) || (u >= 0xa0 && u <= 0xff))
            pressKey(u); // Latin-1 key symbols are their code points
        else
            pressKey(0x01000000UL + u);
    }
}

QImage DemoDriver::grab() const
{
    if (!m_x->window)
        return {};
    if (m_compositor)
        return m_x->grabArea(m_compositor->output, m_compositor->window);
    return m_x->grabArea(m_x->window, {});
}

QImage DemoDriver::grabScreen() const
{
    return m_x->grabArea(DefaultRootWindow(m_x->display), {});
}

bool DemoDriver::isBlank(const QImage &image)
{
    if (image.isNull())
        return true;
    QHash<QRgb, int> counts;
    int samples = 0, most = 0;
    for (int y = 0; y < image.height(); y += 3) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 3) {
            most = qMax(most, ++counts[line[x] | 0xff000000u]);
            ++samples;
        }
    }
    return counts.size() < 4 || most > samples * 98 / 100;
}

QString DemoDriver::screenshot(const QString &name, bool wholeScreen)
{
    const QImage image = wholeScreen ? grabScreen() : grab();
    if (isBlank(image))
        return {};
    const QString path = QDir::isAbsolutePath(name) && name.endsWith(QLatin1String(".png"))
                             ? name
                             : QStringLiteral(KO_E2E_SCREENSHOT_DIR "/") + (onWayland() ? "wayland-" : "")
                                   + name + QStringLiteral(".png");
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG"))
        return {};
    return path;
}

bool DemoDriver::waitForIdle(int timeoutMs, int quietMs)
{
    // An exchange with the mouse pauses between reports (128 ms by the protocol, several times that
    // on a busy machine) and the window need not change meanwhile: the trace must have been quiet
    // for longer than any such pause.
    constexpr int exchangePauseMs = 1000;
    QImage last;
    int lines = -1;
    QElapsedTimer still, quiet;
    return pollUntil([&] {
        const QImage now = grab();
        const int count = traceCount();
        if (count != lines || !quiet.isValid()) {
            lines = count;
            quiet.start();
        }
        if (isBlank(now) || now != last) {
            last = now;
            still.start();
            return false;
        }
        return still.elapsed() >= quietMs && quiet.elapsed() >= qMax(quietMs, exchangePauseMs);
    }, timeoutMs);
}

void DemoDriver::readOutput()
{
    auto split = [](QByteArray &partial, const QByteArray &more, QStringList &lines) {
        partial += more;
        int end;
        while ((end = partial.indexOf('\n')) >= 0) {
            lines << QString::fromUtf8(partial.left(end));
            partial.remove(0, end + 1);
        }
    };
    split(m_outPartial, m_process.readAllStandardOutput(), m_out);
    split(m_errPartial, m_process.readAllStandardError(), m_err);
}

QStringList DemoDriver::traceLines(int from)
{
    readOutput();
    return m_out.mid(from);
}

QStringList DemoDriver::errorLines(int from)
{
    readOutput();
    return m_err.mid(from);
}

QStringList DemoDriver::commands(int from)
{
    QStringList out;
    for (const QString &line : traceLines(from)) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() != 12 || f[1] != QLatin1String("->") || f[2] != QLatin1String("feature"))
            continue;
        std::uint8_t bytes[8];
        for (int i = 0; i < 8; ++i)
            bytes[i] = std::uint8_t(f[4 + i].toUInt(nullptr, 16));
        if (!m_secrecy.isEmpty())
            ReportCipher::decipher(bytes, reinterpret_cast<const std::uint8_t *>(m_secrecy.constData()));
        out << hexByte(bytes[0]) + QLatin1Char(' ') + hexByte(bytes[1]);
    }
    return out;
}

QStringList DemoDriver::notices(int from)
{
    static const QString prefix = QStringLiteral("notice: ");
    QStringList out;
    for (const QString &line : errorLines()) {
        if (line.startsWith(prefix)) {
            const QString rest = line.mid(prefix.size());
            const int title = rest.indexOf(QLatin1String(": "));
            out << (title < 0 ? rest : rest.mid(title + 2));
        }
    }
    return out.mid(from);
}

QJsonObject DemoDriver::memory() const
{
    QFile file(m_memoryPath);
    if (m_memoryPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonObject DemoDriver::waitForMemoryChange(const QJsonObject &before, int timeoutMs)
{
    QJsonObject now;
    if (!pollUntil([&] { now = memory(); return !now.isEmpty() && now != before; }, timeoutMs))
        return {};
    return now;
}

QVariant DemoDriver::storedValue(const QString &file, const QString &key) const
{
    const QSettings settings(dataDir() + QLatin1Char('/') + file, QSettings::IniFormat);
    return settings.value(key);
}

bool DemoDriver::setStoredValue(const QString &file, const QString &key, const QVariant &value)
{
    QSettings settings(dataDir() + QLatin1Char('/') + file, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool DemoDriver::pressDpiButton(int stage)
{
    if (!isRunning())
        return false;
    sigval value{};
    value.sival_int = stage;
    return ::sigqueue(pid_t(pid()), SIGUSR1, value) == 0;
}

bool DemoDriver::startCompositor()
{
    if (m_compositor && m_compositor->process.state() == QProcess::Running)
        return true;
    m_compositor = std::make_unique<Compositor>();
    Compositor &c = *m_compositor;
    auto fail = [&](const QString &why) {
        m_compositorMissing = true;
        m_error = QStringLiteral("Weston could not start: ") + why;
        m_compositor.reset();
        return false;
    };
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty())
        return fail(QStringLiteral("no weston on the PATH (scripts/bootstrap installs it)"));
    if (!m_x->display)
        return fail(QStringLiteral("no X display to run it in"));
    // No panel, no animations, no screen lock: the output shows the background and the windows.
    const QString config = c.runtime.filePath(QStringLiteral("weston.ini"));
    QFile ini(config);
    if (!c.runtime.isValid() || !ini.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("no private runtime folder"));
    ini.write(QStringLiteral("[core]\nidle-time=0\n[shell]\nbackground-color=0xff%1\npanel-position=none\n"
                             "locking=false\nanimation=none\nclose-animation=none\nstartup-animation=none\n"
                             "focus-animation=none\n")
                  .arg(westonBackground, 6, 16, QLatin1Char('0'))
                  .toUtf8());
    ini.close();
    const Screen *screen = DefaultScreenOfDisplay(m_x->display);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), c.runtime.path());
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    c.process.setProcessEnvironment(env);
    c.process.setProcessChannelMode(QProcess::MergedChannels);
    c.process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    // The pixman renderer: no GL needed, and it starts at once.
    c.process.start(weston, {QStringLiteral("--backend=x11-backend.so"), QStringLiteral("--use-pixman"),
                             QStringLiteral("--config=") + config, QStringLiteral("--socket=ko-e2e"),
                             QStringLiteral("--idle-time=0"),
                             QStringLiteral("--width=%1").arg(WidthOfScreen(screen)),
                             QStringLiteral("--height=%1").arg(HeightOfScreen(screen))});
    if (!c.process.waitForStarted())
        return fail(c.process.errorString());
    // Ready once its window shows the background (the shell has drawn).
    const bool up = pollUntil([&] {
        if (c.process.state() != QProcess::Running)
            return true;
        c.output = m_x->windowOfClass("Weston Compositor");
        const QImage corner = c.output ? m_x->grabArea(c.output, QRect(0, 0, 4, 4)) : QImage();
        return !corner.isNull() && (corner.pixel(0, 0) & 0xffffff) == westonBackground;
    }, 20000);
    if (!up || c.process.state() != QProcess::Running)
        return fail(QString::fromLocal8Bit(c.process.readAll().right(2000)));
    return true;
}

// The main window is what stands out from the background over most of a row and of a column: the
// pointer and the demo's small windows never fill that much.
bool DemoDriver::findWindowInOutput()
{
    const QImage output = m_x->grabArea(m_compositor->output, {});
    if (output.isNull())
        return false;
    QList<int> rows(output.height()), columns(output.width());
    for (int y = 0; y < output.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(output.constScanLine(y));
        for (int x = 0; x < output.width(); ++x) {
            if ((line[x] & 0xffffff) != westonBackground) {
                ++rows[y];
                ++columns[x];
            }
        }
    }
    auto span = [](const QList<int> &counts, int least) {
        int first = -1, last = -1;
        for (int i = 0; i < counts.size(); ++i) {
            if (counts[i] >= least) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        return std::pair{first, last};
    };
    const auto [left, right] = span(columns, windowHeight * 2 / 3);
    const auto [top, bottom] = span(rows, windowWidth * 2 / 3);
    const QRect found(QPoint(left, top), QPoint(right, bottom));
    if (left < 0 || top < 0 || found.size() != QSize(windowWidth, windowHeight))
        return false;
    m_compositor->window = found;
    return true;
}

QList<QList<int>> DemoDriver::dpiCodes(const QJsonObject &memory)
{
    QList<QList<int>> out;
    const QJsonArray blocks = memory.value(QLatin1String("profileBlocks")).toArray();
    for (int b = 1; b <= 4 && b < blocks.size(); ++b) {
        QList<int> codes;
        for (int i = 84; i < 92; ++i)
            codes << blocks.at(b).toArray().at(i).toInt();
        out << codes;
    }
    return out;
}

QList<QList<int>> DemoDriver::dpiCodesFor(const QList<int> &values)
{
    QList<int> codes;
    for (int v : values)
        codes << v / 100 - 1;
    return {codes, codes, codes, codes};
}
