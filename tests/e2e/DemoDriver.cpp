#include "DemoDriver.h"

#include "ReportCipher.h"
#include "ShippedData.h"
#include "VirtualMouseConfig.h"

#include <QDir>
#include <QElapsedTimer>
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

const QString demoName = QStringLiteral("kestrel-orbit-demo");
// Weston's background: a colour the program never draws, so that its windows stand out.
constexpr QRgb westonBackground = 0x204060;

// A window that went away between listing and asking is normal here; the default handler would end
// the test process.
int ignoreXError(Display *, XErrorEvent *) { return 0; }

// The test's children must not outlive it when it crashes or is killed on its time-out.
void dieWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// The first and last index whose count reaches `least`.
std::pair<int, int> span(const QList<int> &counts, int least)
{
    int first = -1, last = -1;
    for (int i = 0; i < counts.size(); ++i) {
        if (counts[i] >= least) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    return {first, last};
}

} // namespace

struct DemoDriver::X
{
    Display *display = nullptr;
    Window window = 0; // the main window; on Wayland Weston's output window
    Window output = 0; // Weston's output window
    QRect inOutput;    // on Wayland: the main window within the output

    ~X()
    {
        if (display)
            XCloseDisplay(display);
    }

    Window root() const { return DefaultRootWindow(display); }

    qint64 windowPid(Window w) const
    {
        static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char *data = nullptr;
        qint64 pid = -1;
        if (XGetWindowProperty(display, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                               &data) == Success
            && data && format == 32 && count == 1)
            pid = qint64(*reinterpret_cast<unsigned long *>(data));
        if (data)
            XFree(data);
        return pid;
    }

    // Viewable windows that `match`, depth first (a window manager puts frames above the program's).
    void find(Window w, const std::function<bool(Window)> &match, QList<Window> &out) const
    {
        XWindowAttributes a;
        if (w != root() && XGetWindowAttributes(display, w, &a) && a.map_state == IsViewable && match(w)) {
            out << w;
            return;
        }
        Window rootWindow, parent, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, w, &rootWindow, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i)
                find(children[i], match, out);
        }
        if (children)
            XFree(children);
    }

    QRect rectOf(Window w) const
    {
        XWindowAttributes a;
        Window child;
        int x = 0, y = 0;
        if (!w || !XGetWindowAttributes(display, w, &a)
            || !XTranslateCoordinates(display, w, root(), 0, 0, &x, &y, &child))
            return {};
        return QRect(x, y, a.width, a.height);
    }

    // The picture of `area` of window `w` (all of it when `area` is empty).
    QImage grab(Window w, QRect area) const
    {
        XWindowAttributes a;
        if (!w || !XGetWindowAttributes(display, w, &a) || a.map_state != IsViewable)
            return {};
        area = area.isEmpty() ? QRect(0, 0, a.width, a.height) : area;
        if (!QRect(0, 0, a.width, a.height).contains(area))
            return {};
        XImage *xi = XGetImage(display, w, area.x(), area.y(), unsigned(area.width()), unsigned(area.height()),
                               AllPlanes, ZPixmap);
        if (!xi)
            return {};
        QImage image(area.size(), QImage::Format_RGB32);
        // Xvfb's and Weston's 24-bit visuals are copied whole; others pixel by pixel.
        const bool direct = xi->bits_per_pixel == 32 && xi->byte_order == LSBFirst && xi->red_mask == 0xff0000
                            && xi->green_mask == 0xff00 && xi->blue_mask == 0xff;
        for (int y = 0; y < area.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            const auto *src = reinterpret_cast<const quint32 *>(xi->data + y * xi->bytes_per_line);
            for (int x = 0; x < area.width(); ++x)
                line[x] = 0xff000000u | (direct ? src[x] : quint32(XGetPixel(xi, x, y) & 0xffffff));
        }
        XDestroyImage(xi);
        return image;
    }

    // On Wayland the main window is what stands out from Weston's background over most of a row and
    // of a column: the pointer and the demo's small windows never fill that much.
    bool findInOutput()
    {
        const QImage picture = grab(output, {});
        QList<int> rows(picture.height()), columns(picture.width());
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if ((picture.pixel(x, y) & 0xffffff) != westonBackground) {
                    ++rows[y];
                    ++columns[x];
                }
            }
        }
        const auto [left, right] = span(columns, windowSize.height() * 2 / 3);
        const auto [top, bottom] = span(rows, windowSize.width() * 2 / 3);
        const QRect found(QPoint(left, top), QPoint(right, bottom));
        if (left < 0 || top < 0 || found.size() != windowSize)
            return false;
        inOutput = found;
        return true;
    }
};

bool DemoDriver::onWayland() { return qEnvironmentVariableIntValue("KO_E2E_WAYLAND") == 1; }

DemoDriver::DemoDriver() : m_x(std::make_unique<X>())
{
    XSetErrorHandler(ignoreXError);
    // An X server resets when its last client leaves and refuses connections meanwhile.
    pollUntil([this] { return (m_x->display = XOpenDisplay(nullptr)) != nullptr; }, 5000);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
    QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] { readOutput(); });
}

DemoDriver::~DemoDriver()
{
    stop();
    if (m_weston) {
        m_weston->terminate();
        if (!m_weston->waitForFinished(3000))
            m_weston->kill();
        m_weston->waitForFinished();
    }
}

bool DemoDriver::pollUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(25, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

bool DemoDriver::prepare()
{
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    m_prepared = m_dir->isValid() && QDir().mkpath(rootDir()) && QDir(m_dir->path()).mkpath("home")
                 && QDir(m_dir->path()).mkpath("scratch") && ShippedData::copyTo(dataDir());
    // A hard link where the file systems allow it: the executable is large.
    const QString exe = QStringLiteral(KO_BUNDLE_DIR "/") + demoName;
    const QString copy = rootDir() + QLatin1Char('/') + demoName;
    m_prepared = m_prepared
                 && (::link(QFile::encodeName(exe).constData(), QFile::encodeName(copy).constData()) == 0
                     || QFile::copy(exe, copy));
    if (!m_prepared)
        m_error = QStringLiteral("could not copy the demo from " KO_BUNDLE_DIR);
    // The reports of an enciphered model are read through its secrecy code.
    const auto config = loadVirtualMouseConfig(dataDir() + QStringLiteral("/setting/demoMouse.ini"), nullptr);
    m_secrecy.clear();
    if (config && config->isEncode && config->sCode.size() == 6)
        m_secrecy = QByteArray(1, '\0') + config->sCode.toLatin1();
    return m_prepared;
}

bool DemoDriver::start(const QStringList &arguments)
{
    stop();
    m_error.clear();
    m_output = {};
    if (!m_x->display) {
        m_error = QStringLiteral("no X display (DISPLAY=%1)").arg(qEnvironmentVariable("DISPLAY"));
        return false;
    }
    if ((onWayland() && !startCompositor()) || (!m_prepared && !prepare()))
        return false;
    m_prepared = false;

    // Nothing the demo writes may land in the user's own files.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", m_weston ? "wayland" : "xcb");
    if (m_weston) {
        env.insert("WAYLAND_DISPLAY", "ko-e2e");
        env.insert("XDG_RUNTIME_DIR", m_westonRuntime->path());
        env.remove("DISPLAY"); // no way back to X for the program
    }
    env.insert("HOME", m_dir->filePath("home"));
    env.remove("XDG_CONFIG_HOME");
    env.remove("XDG_DATA_HOME");
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(m_dir->filePath("scratch"));
    dieWithParent(m_process);
    m_process.start(rootDir() + '/' + demoName,
                    QStringList{"--keep", "--memory-file", m_dir->filePath("memory.json")} + arguments);
    if (!m_process.waitForStarted() || !pollUntil([this] { return findWindow() || !isRunning(); }, 20000)
        || !isRunning()) {
        m_error = QStringLiteral("no main window of the demo appeared; its standard error:\n")
                  + errorLines().join(QLatin1Char('\n'));
        stop();
        return false;
    }
    // The virtual mouse's window opens at the top right of the screen and on a small screen covers
    // the main window's buttons; on Wayland the compositor places the windows.
    QList<Window> others;
    m_x->find(m_x->root(), [this](Window w) { return m_x->windowPid(w) == m_process.processId(); }, others);
    const QRect main = windowRect();
    for (Window w : others) {
        const QRect r = m_x->rectOf(w);
        if (!m_weston && w != m_x->window && r.intersects(main))
            XMoveWindow(m_x->display, w, r.x(), main.bottom() + 9);
    }
    XSync(m_x->display, False);
    // The start-up exchange and the start-up lock are over before a test acts.
    if (!waitForIdle()) {
        m_error = QStringLiteral("the main window was never drawn or did not settle after the start");
        stop();
        return false;
    }
    return true;
}

int DemoDriver::stop()
{
    if (!isRunning())
        return -1;
    m_process.terminate();
    int code = -1;
    if (m_process.waitForFinished(5000)) {
        code = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    } else {
        m_process.kill();
        m_process.waitForFinished();
    }
    readOutput();
    m_x->window = 0;
    return code;
}

int DemoDriver::startAgain()
{
    if (!isRunning())
        return -1;
    QProcess second;
    second.setProcessEnvironment(m_process.processEnvironment());
    second.setWorkingDirectory(m_process.workingDirectory());
    second.start(m_process.program(), {QStringLiteral("--keep")});
    if (!second.waitForFinished(20000)) {
        second.kill();
        second.waitForFinished();
        return -1;
    }
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

bool DemoDriver::waitForWindow(bool shown)
{
    return pollUntil([&] { return findWindow() == shown && (!shown || !isBlank(grab())); });
}

QString DemoDriver::rootDir() const { return m_dir ? m_dir->filePath(QStringLiteral("app")) : QString(); }
QString DemoDriver::dataDir() const { return rootDir() + QStringLiteral("/modules"); }

bool DemoDriver::findWindow()
{
    if (m_weston) {
        m_x->window = m_x->findInOutput() ? m_x->output : 0;
        return m_x->window;
    }
    QList<Window> windows;
    m_x->find(m_x->root(), [this](Window w) {
        return m_x->windowPid(w) == m_process.processId() && m_x->rectOf(w).size() == windowSize;
    }, windows);
    m_x->window = windows.value(0);
    return m_x->window;
}

QRect DemoDriver::windowRect() const
{
    if (!m_x->window)
        return {};
    if (m_weston)
        return m_x->inOutput.translated(m_x->rectOf(m_x->output).topLeft());
    return m_x->rectOf(m_x->window);
}

void DemoDriver::fakeMotion(QPoint windowPoint, QPoint origin)
{
    const QPoint p = origin + windowPoint;
    XTestFakeMotionEvent(m_x->display, -1, p.x(), p.y(), CurrentTime);
    XSync(m_x->display, False);
}

void DemoDriver::fakeButton(int button, bool down)
{
    XTestFakeButtonEvent(m_x->display, unsigned(button), down, CurrentTime);
    XSync(m_x->display, False);
}

bool DemoDriver::moveTo(QPoint at, bool wait)
{
    fakeMotion(at, windowRect().topLeft());
    return !wait || waitForIdle();
}

bool DemoDriver::click(QPoint at, int button, bool wait)
{
    moveTo(at, false);
    fakeButton(button, true);
    fakeButton(button, false);
    return !wait || waitForIdle();
}

bool DemoDriver::drag(QPoint from, QPoint to)
{
    // The window may follow the pointer: every position is taken from where it was at the press.
    const QPoint origin = windowRect().topLeft();
    moveTo(from, false);
    fakeButton(1, true);
    for (int i = 1; i <= 8; ++i)
        fakeMotion(from + (to - from) * i / 8, origin);
    fakeButton(1, false);
    return waitForIdle();
}

bool DemoDriver::dragWindow(QPoint from, QPoint to)
{
    const QPoint origin = windowRect().topLeft();
    const QPoint target = origin + to - from;
    moveTo(from, false);
    fakeButton(1, true);
    // The steps reach the program one by one, as from a hand. On Wayland the compositor takes the
    // move over once the program asks for it and places the window from the next motion on; so the
    // pointer rocks by a pixel at the end until the window stands where it was taken.
    int step = 0;
    bool exact = false;
    const bool arrived = pollUntil([&] {
        if (m_weston)
            m_x->findInOutput();
        if (step == 8 && exact && windowRect().topLeft() == target)
            return true;
        step = qMin(step + 1, 8);
        exact = step < 8 || !exact;
        fakeMotion(from + (to - from) * step / 8 + QPoint(exact ? 0 : 1, 0), origin);
        return false;
    }, 10000);
    fakeButton(1, false);
    return arrived && waitForIdle();
}

bool DemoDriver::pressKey(unsigned long keysym)
{
    return fakeKey(keysym) && waitForIdle();
}

bool DemoDriver::fakeKey(unsigned long keysym)
{
    Display *d = m_x->display;
    const KeyCode code = XKeysymToKeycode(d, KeySym(keysym));
    if (!code || !m_x->window)
        return false;
    int perCode = 0;
    KeySym *syms = XGetKeyboardMapping(d, code, 1, &perCode);
    const bool shifted = syms && perCode > 1 && syms[0] != KeySym(keysym) && syms[1] == KeySym(keysym);
    if (syms)
        XFree(syms);
    XSetInputFocus(d, m_x->window, RevertToParent, CurrentTime);
    const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    if (shifted)
        XTestFakeKeyEvent(d, shift, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shifted)
        XTestFakeKeyEvent(d, shift, False, CurrentTime);
    XSync(d, False);
    return true;
}

bool DemoDriver::typeText(const QString &text)
{
    bool ok = true;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        // Latin-1 key symbols are their code points, the others 0x01000000 above them.
        const unsigned long sym = u == '\n' ? XK_Return : u < 0x100 ? u : 0x01000000UL + u;
        ok = fakeKey(sym) && ok;
    }
    return ok && waitForIdle();
}

QImage DemoDriver::grab() const
{
    return m_x->grab(m_x->window, m_weston ? m_x->inOutput : QRect());
}

QImage DemoDriver::grabScreen() const { return m_x->grab(m_x->root(), {}); }

bool DemoDriver::isBlank(const QImage &image)
{
    if (image.isNull())
        return true;
    QHash<QRgb, int> counts;
    int samples = 0, most = 0;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            most = qMax(most, ++counts[image.pixel(x, y)]);
            ++samples;
        }
    }
    return counts.size() < 4 || most > samples * 98 / 100;
}

bool DemoDriver::screenshot(const QString &path, bool wholeScreen)
{
    const QImage image = wholeScreen ? grabScreen() : grab();
    return !isBlank(image) && QDir().mkpath(QFileInfo(path).absolutePath()) && image.save(path, "PNG");
}

bool DemoDriver::waitForIdle(int timeoutMs)
{
    // An exchange with the mouse pauses between reports (128 ms by the protocol, several times that
    // on a busy machine) and the window need not change meanwhile: the trace must have been quiet
    // for longer than any such pause.
    QImage last;
    int lines = -1;
    QElapsedTimer still, quiet;
    return pollUntil([&] {
        const QImage now = grab();
        if (traceCount() != lines || !quiet.isValid()) {
            lines = traceCount();
            quiet.start();
        }
        if (isBlank(now) || now != last) {
            last = now;
            still.start();
            return false;
        }
        return still.elapsed() >= 400 && quiet.elapsed() >= 1000;
    }, timeoutMs);
}

void DemoDriver::readOutput()
{
    const auto split = [](QByteArray &partial, const QByteArray &more, QStringList &lines) {
        partial += more;
        for (int end; (end = partial.indexOf('\n')) >= 0; partial.remove(0, end + 1))
            lines << QString::fromUtf8(partial.left(end));
    };
    split(m_output.outPartial, m_process.readAllStandardOutput(), m_output.out);
    split(m_output.errPartial, m_process.readAllStandardError(), m_output.err);
}

QStringList DemoDriver::traceLines(int from)
{
    readOutput();
    return m_output.out.mid(from);
}

QStringList DemoDriver::errorLines(int from)
{
    readOutput();
    return m_output.err.mid(from);
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
        out << QStringLiteral("%1").arg(bytes[0], 2, 16, QLatin1Char('0'));
    }
    out.removeDuplicates();
    return out;
}

QStringList DemoDriver::notices(int from)
{
    QStringList out;
    for (const QString &line : errorLines()) {
        const QString rest = line.mid(8);
        const int title = rest.indexOf(QLatin1String(": "));
        if (line.startsWith(QLatin1String("notice: ")))
            out << (title < 0 ? rest : rest.mid(title + 2));
    }
    return out.mid(from);
}

QJsonObject DemoDriver::memory() const
{
    QFile file(m_dir ? m_dir->filePath(QStringLiteral("memory.json")) : QString());
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

QList<int> DemoDriver::bytes(const QJsonValue &array, int from, int count)
{
    QList<int> out;
    for (int i = from; i < from + count && i < array.toArray().size(); ++i)
        out << array[i].toInt();
    return out;
}

QList<QList<int>> DemoDriver::dpiCodes() const
{
    QList<QList<int>> out;
    for (int block = 1; block <= 4; ++block)
        out << bytes(memory()["profileBlocks"][block], 84, 8);
    return out;
}

QList<QList<int>> DemoDriver::dpiCodesFor(const QList<int> &values)
{
    QList<int> codes;
    for (int v : values)
        codes << v / 100 - 1;
    return {codes, codes, codes, codes};
}

QVariant DemoDriver::storedValue(const QString &file, const QString &key) const
{
    return QSettings(dataDir() + QLatin1Char('/') + file, QSettings::IniFormat).value(key);
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
    sigval value{};
    value.sival_int = stage;
    return isRunning() && ::sigqueue(pid_t(m_process.processId()), SIGUSR1, value) == 0;
}

bool DemoDriver::startCompositor()
{
    if (m_weston && m_weston->state() == QProcess::Running)
        return true;
    m_weston = std::make_unique<QProcess>();
    m_westonRuntime = std::make_unique<QTemporaryDir>(); // XDG_RUNTIME_DIR, private as Wayland wants it
    const auto fail = [this](const QString &why) {
        m_compositorMissing = true;
        m_error = QStringLiteral("Weston could not start: ") + why;
        m_weston.reset();
        return false;
    };
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty())
        return fail(QStringLiteral("no weston on the PATH (scripts/bootstrap installs it)"));
    // No panel, no animations, no screen lock: the output shows the background and the windows.
    const QString config = m_westonRuntime->filePath(QStringLiteral("weston.ini"));
    QFile ini(config);
    if (!ini.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("no private runtime folder"));
    ini.write(QStringLiteral("[core]\nidle-time=0\n[shell]\nbackground-color=0xff%1\npanel-position=none\n"
                             "locking=false\nanimation=none\nclose-animation=none\nstartup-animation=none\n"
                             "focus-animation=none\n")
                  .arg(westonBackground, 6, 16, QLatin1Char('0'))
                  .toUtf8());
    ini.close();
    const Screen *screen = DefaultScreenOfDisplay(m_x->display);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_westonRuntime->path());
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_weston->setProcessEnvironment(env);
    m_weston->setProcessChannelMode(QProcess::MergedChannels);
    dieWithParent(*m_weston);
    // The pixman renderer: no GL needed, and it starts at once.
    m_weston->start(weston, {"--backend=x11-backend.so", "--use-pixman", "--config=" + config, "--socket=ko-e2e",
                             "--idle-time=0", QStringLiteral("--width=%1").arg(WidthOfScreen(screen)),
                             QStringLiteral("--height=%1").arg(HeightOfScreen(screen))});
    // Ready once its window shows the background (the shell has drawn).
    const bool up = pollUntil([&] {
        // Its output window is the one as large as the screen.
        QList<Window> found;
        const QSize screen = m_x->rectOf(m_x->root()).size();
        m_x->find(m_x->root(), [&](Window w) { return m_x->rectOf(w).size() == screen; }, found);
        m_x->output = found.value(0);
        const QImage corner = m_x->grab(m_x->output, QRect(0, 0, 4, 4));
        return m_weston->state() == QProcess::NotRunning
               || (!corner.isNull() && (corner.pixel(0, 0) & 0xffffff) == westonBackground);
    }, 20000);
    if (!up || m_weston->state() != QProcess::Running)
        return fail(QString::fromLocal8Bit(m_weston->readAll().right(2000)));
    return true;
}
