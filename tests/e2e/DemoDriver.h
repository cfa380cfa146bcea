#pragma once

// Runs the real kestrel-orbit-demo on the X display of the test (Xvfb) and acts on it as a user
// would: XTEST pointer and key events on its 1024 × 640 main window. What the program did is read
// from outside: the report trace on its standard output, the notices on its standard error, the
// virtual mouse's memory file and the settings files of its private data copy. Every wait polls
// with a deadline; nothing here sleeps for a fixed time.
//
// With KO_E2E_WAYLAND=1 the demo runs as a Wayland client of a Weston the driver starts inside the
// X display (its X11 backend, whose seat takes the XTEST input); the main window is found in the
// picture of Weston's output window and window coordinates are taken relative to it.
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
    static constexpr QSize windowSize{1024, 640};

    DemoDriver();
    ~DemoDriver(); // stops the demo and the compositor

    // A fresh private copy of the demo and the shipped data (its own data, its own single-instance
    // key), for changing stored values before start(); start() makes one when none is prepared.
    bool prepare();
    // Starts the demo with --memory-file and `arguments`, and waits until its main window is mapped,
    // drawn and idle; other windows of the demo covering it are moved below. False with error().
    bool start(const QStringList &arguments = {});
    // SIGTERM, then SIGKILL after a few seconds. The exit code, or -1 (killed, not running).
    int stop();
    // A second start while it runs (the hand-over); its exit code once it ended, or -1.
    int startAgain();
    // Until the main window is on the screen (found again wherever it is) or, `shown` false, is not.
    bool waitForWindow(bool shown = true);
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    QString error() const { return m_error; }
    bool compositorMissing() const { return m_compositorMissing; } // Wayland: Weston did not start
    static bool onWayland();

    QString rootDir() const; // the executable's folder of the copy
    QString dataDir() const; // its modules/ folder

    QRect windowRect() const; // in screen coordinates
    QImage grab() const;      // the main window now; null when that failed
    QImage grabScreen() const; // the whole screen (on Wayland: Weston's output)
    // Saves grab() (or grabScreen()) as a PNG file; false when it is blank or could not be saved.
    bool screenshot(const QString &path, bool wholeScreen = false);
    static bool isBlank(const QImage &image);

    // Pointer and keys, in window coordinates. Each returns waitForIdle() after the input reached the
    // X server, unless `wait` is false.
    bool moveTo(QPoint at, bool wait = true);
    bool click(QPoint at, int button = 1, bool wait = true);
    bool drag(QPoint from, QPoint to);
    // Drags the window by its background until its top left moved by to - from.
    bool dragWindow(QPoint from, QPoint to);
    // An X key symbol (Shift added where it needs it) to the main window, which takes the focus.
    bool pressKey(unsigned long keysym);
    bool typeText(const QString &text);
    // Until the window is drawn and still for 400 ms and no report crossed for a second (exchanges
    // with the mouse, animations and the busy lock over).
    bool waitForIdle(int timeoutMs = 60000);

    QStringList traceLines(int from = 0); // standard output: one line per report
    int traceCount() { return traceLines().size(); }
    // The codes of the command reports sent since trace line `from`, deciphered, each once ("0c").
    QStringList commands(int from = 0);
    QStringList errorLines(int from = 0);
    QStringList notices(int from = 0); // the notices shown ("DPI Switch to 3 ")

    // The virtual mouse's memory as last written (sim/VirtualMouseDump.h); empty before that.
    QJsonObject memory() const;
    // `count` numbers from `from` of an array of memory() (memory()["profileBlocks"][2]).
    static QList<int> bytes(const QJsonValue &array, int from, int count);
    // The DPI codes of the four device profiles (blocks 1 … 4, bytes 84 … 91), and the codes of
    // stage values on the model's 3360 sensor (value / 100 − 1).
    QList<QList<int>> dpiCodes() const;
    static QList<QList<int>> dpiCodesFor(const QList<int> &values);
    // A settings value of the copy, `file` relative to modules/; read afresh on every call.
    QVariant storedValue(const QString &file, const QString &key) const;
    // Before start(): the running program keeps its own view of the files.
    bool setStoredValue(const QString &file, const QString &key, const QVariant &value);
    // The user presses the virtual mouse's DPI button, switching it to `stage` (1 … 8).
    bool pressDpiButton(int stage);

    // Calls `done` until it is true or `timeoutMs` passed, running the event loop in between.
    static bool pollUntil(const std::function<bool()> &done, int timeoutMs = 30000);

private:
    struct X;
    bool findWindow();
    bool startCompositor();
    void readOutput();
    void fakeButton(int button, bool down);
    void fakeMotion(QPoint windowPoint, QPoint origin);
    bool fakeKey(unsigned long keysym);

    std::unique_ptr<X> m_x;
    std::unique_ptr<QProcess> m_weston;
    std::unique_ptr<QTemporaryDir> m_westonRuntime;
    bool m_compositorMissing = false;
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_process;
    QString m_error;
    QByteArray m_secrecy;
    struct
    {
        QStringList out, err;             // whole lines of standard output and error
        QByteArray outPartial, errPartial; // the lines begun
    } m_output;
    bool m_prepared = false; // a copy no run has used yet
};
