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

#include <algorithm>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const QString demoName = QStringLiteral("kestrel-orbit-demo");
// Weston's background: a colour the program never draws, so that its windows stand out.
constexpr QRgb westonBackground = 0x204060;

// A window that went away between listing and asking is normal here.
int ignoreXError(Display *, XErrorEvent *) { return 0; }

bool isBlank(const QImage &image)
{
    QHash<QRgb, int> counts;
    int samples = 0, most = 0;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3, ++samples)
            most = qMax(most, ++counts[image.pixel(x, y)]);
    }
    return counts.size() < 4 || most > samples * 98 / 100;
}

} // namespace

struct DemoDriver::X
{
    Display *display = nullptr;
    Window window = 0; // the main window; on Wayland Weston's output window
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
    QList<Window> find(const std::function<bool(Window)> &match, Window w = 0) const
    {
        XWindowAttributes a;
        if (w && XGetWindowAttributes(display, w, &a) && a.map_state == IsViewable && match(w))
            return {w};
        QList<Window> out;
        Window rootWindow, parent, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, w ? w : root(), &rootWindow, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i)
                out += find(match, children[i]);
        }
        if (children)
            XFree(children);
        return out;
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
        XImage *xi = QRect(0, 0, a.width, a.height).contains(area)
                         ? XGetImage(display, w, area.x(), area.y(), unsigned(area.width()),
                                     unsigned(area.height()), AllPlanes, ZPixmap)
                         : nullptr;
        if (!xi)
            return {};
        // Xvfb's and Weston's 24-bit visuals; no other is met here.
        const bool rgb = xi->bits_per_pixel == 32 && xi->byte_order == LSBFirst && xi->red_mask == 0xff0000;
        const auto *bits = reinterpret_cast<const uchar *>(xi->data);
        const QImage image = rgb ? QImage(bits, area.width(), area.height(), xi->bytes_per_line,
                                          QImage::Format_RGB32).copy()
                                 : QImage();
        XDestroyImage(xi);
        return image;
    }

    // Weston's output window: the one as large as the screen.
    Window output() const
    {
        const QSize screen = rectOf(root()).size();
        return find([&](Window w) { return rectOf(w).size() == screen; }).value(0);
    }

    // On Wayland the main window is what stands out from Weston's background over most of a row and
    // of a column: the pointer and the demo's small windows never fill that much.
    bool findInOutput()
    {
        const QImage picture = grab(output(), {});
        QList<int> rows(picture.height()), columns(picture.width());
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const bool differs = (picture.pixel(x, y) & 0xffffff) != westonBackground;
                rows[y] += differs;
                columns[x] += differs;
            }
        }
        const auto first = [](const QList<int> &counts, int least) {
            const auto at = std::find_if(counts.begin(), counts.end(), [&](int n) { return n >= least; });
            return int(at - counts.begin());
        };
        const int tall = windowSize.height() * 2 / 3;
        const int wide = windowSize.width() * 2 / 3;
        const QRect found(QPoint(first(columns, tall), first(rows, wide)), windowSize);
        // Whole: its last column and row stand out as much.
        if (columns.value(found.right()) < tall || rows.value(found.bottom()) < wide)
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
    if (!pollUntil([this] { return (m_x->display = XOpenDisplay(nullptr)) != nullptr; }, 5000))
        m_error = QStringLiteral("no X display (DISPLAY=%1)").arg(qEnvironmentVariable("DISPLAY"));
}

DemoDriver::~DemoDriver()
{
    stop();
    if (m_weston)
        end(*m_weston);
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

std::unique_ptr<QProcess> DemoDriver::launch(const QStringList &command, const QProcessEnvironment &env,
                                             const QString &workingDir)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(workingDir);
    // The test's children must not outlive it when it crashes or is killed on its time-out.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->start(command.value(0), command.mid(1));
    return process;
}

void DemoDriver::end(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

int DemoDriver::run(const QStringList &command, QString *err, const QProcessEnvironment &env)
{
    const auto process = launch(command, env);
    const bool finished = process->waitForFinished(60000);
    if (!finished)
        end(*process);
    if (err)
        *err = QString::fromLocal8Bit(process->readAllStandardError());
    return finished && process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

bool DemoDriver::prepare()
{
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    const QString exe = QStringLiteral(KO_BUNDLE_DIR "/") + demoName;
    const QString copy = rootDir() + QLatin1Char('/') + demoName;
    // A hard link where the file systems allow it: the executable is large.
    m_prepared = m_dir->isValid() && QDir().mkpath(rootDir()) && QDir(m_dir->path()).mkpath("home")
                 && QDir(m_dir->path()).mkpath("scratch") && ShippedData::copyTo(dataDir())
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
    if (!m_x->display)
        return false;
    m_error.clear();
    m_out.clear();
    m_err.clear();
    if ((onWayland() && !startCompositor()) || (!m_prepared && !prepare()))
        return false;
    m_prepared = false;
    // Nothing the demo writes may land in the user's own files.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", m_weston ? "wayland" : "xcb");
    if (m_weston) {
        env.insert("WAYLAND_DISPLAY", "ko-e2e");
        env.insert("XDG_RUNTIME_DIR", m_westonRuntime.path());
        env.remove("DISPLAY");
    }
    env.insert("HOME", m_dir->filePath("home"));
    env.remove("XDG_CONFIG_HOME");
    env.remove("XDG_DATA_HOME");
    m_process = launch(QStringList{rootDir() + '/' + demoName, "--keep", "--memory-file",
                                   m_dir->filePath("memory.json")} + arguments,
                       env, m_dir->filePath("scratch"));
    const bool shown = m_process->waitForStarted()
                       && pollUntil([this] { return findWindow() || !isRunning(); }, 20000) && isRunning();
    // The start-up exchange and the start-up lock are over before a test acts.
    if (shown && waitForIdle())
        return true;
    m_error = shown ? QStringLiteral("the main window was never drawn or did not settle after the start")
                    : "no main window of the demo appeared; its standard error:\n" + errorLines().join('\n');
    stop();
    return false;
}

int DemoDriver::stop()
{
    if (!isRunning())
        return -1;
    end(*m_process);
    readOutput();
    m_x->window = 0;
    return m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
}

int DemoDriver::startAgain()
{
    return isRunning() ? run({m_process->program(), "--keep"}, nullptr, m_process->processEnvironment()) : -1;
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
        m_x->window = m_x->findInOutput() ? m_x->output() : 0;
        return m_x->window;
    }
    m_x->window = m_x->find([this](Window w) {
        return m_x->windowPid(w) == m_process->processId() && m_x->rectOf(w).size() == windowSize;
    }).value(0);
    return m_x->window;
}

QRect DemoDriver::windowRect() const
{
    if (!m_x->window)
        return {};
    if (m_weston)
        return m_x->inOutput.translated(m_x->rectOf(m_x->window).topLeft());
    return m_x->rectOf(m_x->window);
}

// Moves the pointer to `windowPoint` of a window whose top left is `origin`; then presses or
// releases `button` when one is given.
void DemoDriver::fake(QPoint windowPoint, QPoint origin, int button, bool down)
{
    const QPoint p = origin + windowPoint;
    XTestFakeMotionEvent(m_x->display, -1, p.x(), p.y(), CurrentTime);
    if (button)
        XTestFakeButtonEvent(m_x->display, unsigned(button), down, CurrentTime);
    XSync(m_x->display, False);
}

bool DemoDriver::moveTo(QPoint at)
{
    fake(at, windowRect().topLeft());
    return waitForIdle();
}

bool DemoDriver::click(QPoint at, int button, bool wait)
{
    fake(at, windowRect().topLeft(), button, true);
    fake(at, windowRect().topLeft(), button, false);
    return !wait || waitForIdle();
}

bool DemoDriver::drag(QPoint from, QPoint to)
{
    // The window may follow the pointer: every position is taken from where it was at the press.
    const QPoint origin = windowRect().topLeft();
    fake(from, origin, 1, true);
    for (int i = 1; i <= 8; ++i)
        fake(from + (to - from) * i / 8, origin);
    fake(to, origin, 1, false);
    return waitForIdle();
}

bool DemoDriver::dragWindow(QPoint from, QPoint to)
{
    const QPoint origin = windowRect().topLeft();
    const QPoint target = origin + to - from;
    fake(from, origin, 1, true);
    // On Wayland the compositor takes the move over once the program asks for it and places the
    // window from the next motion on; so the pointer rocks by a pixel at the end until it is there.
    int step = 0;
    bool exact = false;
    QPoint at = from;
    const bool arrived = pollUntil([&] {
        if (m_weston)
            m_x->findInOutput();
        if (step == 8 && exact && windowRect().topLeft() == target)
            return true;
        step = qMin(step + 1, 8);
        exact = step < 8 || !exact;
        at = from + (to - from) * step / 8 + QPoint(exact ? 0 : 1, 0);
        fake(at, origin);
        return false;
    }, 10000);
    fake(at, origin, 1, false);
    return arrived && waitForIdle();
}

bool DemoDriver::pressKey(unsigned long keysym) { return fakeKey(keysym) && waitForIdle(); }

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
        ok = fakeKey(u == '\n' ? XK_Return : u < 0x100 ? u : 0x01000000UL + u) && ok;
    }
    return ok && waitForIdle();
}

QImage DemoDriver::grab() const { return m_x->grab(m_x->window, m_weston ? m_x->inOutput : QRect()); }
QImage DemoDriver::grabScreen() const { return m_x->grab(m_x->root(), {}); }

bool DemoDriver::screenshot(const QString &path, bool wholeScreen)
{
    const QImage image = wholeScreen ? grabScreen() : grab();
    return !isBlank(image) && QDir().mkpath(QFileInfo(path).absolutePath()) && image.save(path, "PNG");
}

bool DemoDriver::waitForChange(const QImage &before, QRect area)
{
    return pollUntil([&] { return grab().copy(area) != before.copy(area); });
}

bool DemoDriver::waitForIdle()
{
    // An exchange with the mouse pauses between reports (128 ms by the protocol, several times that
    // on a busy machine) and the window need not change meanwhile.
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
    }, 60000);
}

// The whole lines of `output` from line `from` on.
static QStringList lines(const QByteArray &output, int from)
{
    QStringList out = QString::fromUtf8(output.left(output.lastIndexOf('\n'))).split('\n').mid(from);
    return output.contains('\n') ? out : QStringList();
}

void DemoDriver::readOutput()
{
    m_out += m_process ? m_process->readAllStandardOutput() : QByteArray();
    m_err += m_process ? m_process->readAllStandardError() : QByteArray();
}

int DemoDriver::traceCount()
{
    readOutput();
    return int(m_out.count('\n'));
}

QStringList DemoDriver::traceLines(int from)
{
    readOutput();
    return lines(m_out, from);
}

QStringList DemoDriver::errorLines(int from)
{
    readOutput();
    return lines(m_err, from);
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
    // "notice: <text>" or "notice: <title>: <text>"
    QStringList out;
    for (const QString &line : errorLines()) {
        if (line.startsWith(QLatin1String("notice: ")))
            out << line.section(QLatin1String(": "), line.count(QLatin1String(": ")) > 1 ? 2 : 1);
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

QList<int> DemoDriver::block(int index, int from, int count) const
{
    return bytes(memory()["profileBlocks"][index], from, count);
}

QList<QList<int>> DemoDriver::dpiCodes() const
{
    return {block(1, 84, 8), block(2, 84, 8), block(3, 84, 8), block(4, 84, 8)};
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
    return QSettings(QDir(dataDir()).filePath(file), QSettings::IniFormat).value(key);
}

QList<int> DemoDriver::storedNumbers(const QString &file, const QString &key) const
{
    QList<int> out;
    for (const QString &text : storedValue(file, key).toStringList())
        out << text.trimmed().toInt();
    return out;
}

bool DemoDriver::setStoredValue(const QString &file, const QString &key, const QVariant &value)
{
    QSettings settings(QDir(dataDir()).filePath(file), QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool DemoDriver::setStoredNumbers(const QString &file, const QString &key, const QList<int> &numbers)
{
    QVariantList values;
    for (int n : numbers)
        values << n;
    return setStoredValue(file, key, values);
}

bool DemoDriver::pressDpiButton(int stage)
{
    sigval value{};
    value.sival_int = stage;
    return isRunning() && ::sigqueue(pid_t(m_process->processId()), SIGUSR1, value) == 0;
}

bool DemoDriver::startCompositor()
{
    if (m_weston && m_weston->state() == QProcess::Running)
        return true;
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    const QString config = m_westonRuntime.filePath(QStringLiteral("weston.ini"));
    QFile ini(config);
    if (weston.isEmpty() || !ini.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("Weston could not start: none on the PATH (scripts/bootstrap installs it)");
        return false;
    }
    // No panel, no animations, no screen lock: the output shows the background and the windows.
    ini.write(QStringLiteral("[core]\nidle-time=0\n[shell]\nbackground-color=0xff%1\npanel-position=none\n"
                             "locking=false\nanimation=none\nclose-animation=none\nstartup-animation=none\n"
                             "focus-animation=none\n")
                  .arg(westonBackground, 6, 16, QLatin1Char('0'))
                  .toUtf8());
    ini.close();
    const Screen *screen = DefaultScreenOfDisplay(m_x->display);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_westonRuntime.path()); // private, as Wayland wants it
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // The pixman renderer: no GL needed, and it starts at once.
    m_weston = launch({weston, "--backend=x11-backend.so", "--use-pixman", "--config=" + config,
                       "--socket=ko-e2e", "--idle-time=0", "--width=" + QString::number(WidthOfScreen(screen)),
                       "--height=" + QString::number(HeightOfScreen(screen))},
                      env);
    // Ready once its output window shows the background (the shell has drawn).
    const bool up = pollUntil([&] {
        const QImage corner = m_x->grab(m_x->output(), QRect(0, 0, 4, 4));
        return m_weston->state() == QProcess::NotRunning
               || (!corner.isNull() && (corner.pixel(0, 0) & 0xffffff) == westonBackground);
    }, 20000);
    if (!up || m_weston->state() != QProcess::Running) {
        m_error = "Weston could not start: " + QString::fromLocal8Bit(m_weston->readAllStandardError());
        m_weston.reset();
        return false;
    }
    return true;
}
