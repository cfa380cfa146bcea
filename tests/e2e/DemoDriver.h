#pragma once

// Runs the real kestrel-orbit-demo on the X display of the test (Xvfb) and acts on it as a user
// would: XTEST pointer and key events on its 1024 × 640 main window. What the program did is read
// from outside: the report trace on its standard output, the notices on its standard error, the
// virtual mouse's memory file and the settings files of its private data copy.
//
// Every wait polls with a deadline; nothing here sleeps for a fixed time to let things happen.
//
// With KO_E2E_WAYLAND=1 the demo runs as a Wayland client instead: the driver starts a Weston of
// its own inside the X display (its X11 backend, which gives it a seat fed by the X server's input)
// and the demo on it. The main window is then found in the picture of Weston's output window, and
// window coordinates are taken relative to where it shows there; XTEST input reaches it through
// Weston.
#include <QElapsedTimer>
#include <QImage>
#include <QJsonObject>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>

class DemoDriver
{
public:
    static constexpr int windowWidth = 1024;
    static constexpr int windowHeight = 640;

    DemoDriver();
    ~DemoDriver(); // stops the demo

    DemoDriver(const DemoDriver &) = delete;
    DemoDriver &operator=(const DemoDriver &) = delete;

    // Copies the built demo and the shipped data (ShippedData.h) into a fresh temporary folder (its
    // own data and its own single-instance key). start() does it when the copy was not prepared beforehand; prepare
    // first to change the data (setStoredValue) before the demo reads it.
    bool prepare();
    // Starts the demo in the prepared copy (or a fresh one) with --memory-file and any extra
    // arguments, and waits until its main window is mapped, drawn and idle. Other windows of the
    // demo that cover the main window are moved below it. False, with the reason in error(), when any step
    // fails. Each start after a stop works on a fresh copy unless prepare() was called in between.
    bool start(const QStringList &extraArguments = {}, int timeoutMs = 20000);
    // Asks the demo to quit (SIGTERM), then kills it if it has not ended within a few seconds.
    // Returns the exit code, or -1 when it had to be killed or was not running.
    int stop();
    // Starts the demo a second time, as a user would while it runs (the hand-over to the running
    // one), and waits for that start to end. Returns its exit code, or -1.
    int startAgain(const QStringList &arguments = {}, int timeoutMs = 20000);
    // Waits until the main window is on the screen (found again wherever it is now) or, with
    // `shown` false, until it is not.
    bool waitForWindow(bool shown = true, int timeoutMs = 10000);
    bool isRunning() const;
    qint64 pid() const;
    QString error() const { return m_error; }
    // On Wayland: true when the compositor could not be started (error() says why).
    bool compositorMissing() const { return m_compositorMissing; }
    static bool onWayland();

    // The private copy: its root folder (the executable's), the modules/ data folder in it, and a
    // path in a scratch folder beside them (for files given to --choose-file).
    QString rootDir() const;
    QString dataDir() const;
    QString scratchPath(const QString &name) const;

    // The main window in screen coordinates (it moves when the user drags it).
    QRect windowRect() const;
    // The picture of the whole screen (on Wayland: of Weston's output), for seeing where windows are.
    QImage grabScreen() const;

    // Pointer and keys, in window coordinates; each call returns once the X server has the events.
    void moveTo(int x, int y);
    void click(int x, int y, int button = 1);
    void press(int x, int y, int button = 1);
    void release(int x, int y, int button = 1);
    // Press at `from`, move in `steps` equal steps, release at `to`.
    void drag(QPoint from, QPoint to, int steps = 8, int button = 1);
    // Drags the window by a press at `from` on its background, released once the window stands
    // where the pointer took it (its top left moved by to - from). False when it never got there.
    bool dragWindow(QPoint from, QPoint to, int timeoutMs = 10000);
    // An X key symbol (XK_Return, XK_a, …) pressed and released, Shift added where the symbol
    // needs it. The main window is given the keyboard focus first.
    void pressKey(unsigned long keysym);
    void typeText(const QString &text);

    // What the window shows now: an XGetImage of it, as a 32-bit image. Null when it failed.
    QImage grab() const;
    // Saves grab() as <build>/e2e-screenshots/<name>.png (or to an absolute path ending in .png)
    // and returns the file's path; empty when the grab or the save failed or the picture is blank.
    // With `wholeScreen` the picture is grabScreen() instead.
    QString screenshot(const QString &name, bool wholeScreen = false);
    // True when nearly every pixel has one colour: nothing has been drawn.
    static bool isBlank(const QImage &image);
    // Waits until the window is drawn and has not changed for `quietMs`, and no report has crossed
    // for at least a second (exchanges with the mouse, animations and the busy lock over).
    bool waitForIdle(int timeoutMs = 60000, int quietMs = 400);

    // The report trace (standard output), one line per report, from line `from` on.
    QStringList traceLines(int from = 0);
    int traceCount() { return traceLines().size(); }
    // Command reports sent to the mouse since trace line `from`, deciphered, as "code p1" in
    // two-digit hex ("0c 01").
    QStringList commands(int from = 0);
    // Standard error, line by line; the notices the demo showed ("DPI Switch to 3 ") in order.
    QStringList errorLines(int from = 0);
    QStringList notices(int from = 0);

    // The virtual mouse's memory as the demo last wrote it (see sim/VirtualMouseDump.h); empty
    // before the first write.
    QJsonObject memory() const;
    // Waits until memory() differs from `before`; returns the new memory, or an empty object when
    // nothing changed in time.
    QJsonObject waitForMemoryChange(const QJsonObject &before, int timeoutMs = 10000);
    // A value of a settings file of the data copy, `file` relative to modules/ ("setting/p1.bin").
    // Read afresh on every call; an invalid QVariant when the key is missing.
    QVariant storedValue(const QString &file, const QString &key) const;
    // Writes a value into a settings file of the prepared copy; for use before start() (the running
    // program keeps its own view of the files).
    bool setStoredValue(const QString &file, const QString &key, const QVariant &value);

    // The DPI codes the mouse holds in the four device profiles the program writes (blocks 1 … 4,
    // bytes 84 … 91), and the codes of stage values on the model's 3360 sensor (value / 100 − 1).
    static QList<QList<int>> dpiCodes(const QJsonObject &memory);
    static QList<QList<int>> dpiCodesFor(const QList<int> &values);

    // The user presses the virtual mouse's DPI button, switching it to `stage` (1 … 8).
    bool pressDpiButton(int stage);

    // Calls `done` until it is true or `timeoutMs` passed, running the event loop in between.
    static bool pollUntil(const std::function<bool()> &done, int timeoutMs);

private:
    struct X;
    struct Compositor;
    bool copyBundle();
    bool findWindow();
    bool startCompositor();
    bool findWindowInOutput();
    void moveOtherWindowsAway();
    void readOutput();
    QPoint toScreen(int x, int y) const;
    void focusWindow();

    std::unique_ptr<X> m_x;
    std::unique_ptr<Compositor> m_compositor;
    bool m_compositorMissing = false;
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_process;
    QString m_error;
    QString m_memoryPath;
    QByteArray m_secrecy;
    QStringList m_out, m_err;
    QByteArray m_outPartial, m_errPartial;
    bool m_prepared = false; // a copy that no run has used yet
};
