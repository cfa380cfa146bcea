#pragma once

// Runs the real kestrel-orbit-demo on the test's X display (Xvfb) and acts on its 1024 × 640 main
// window as a user would, with XTEST. What the program did is read from outside: the report trace
// on its standard output, the notices on its standard error, the virtual mouse's memory file and
// the settings of its private data copy. Every wait polls with a deadline.
//
// With KO_E2E_WAYLAND=1 the demo is a Wayland client of a Weston (X11 backend) the driver starts on
// the display; the main window is found in the picture of Weston's output window.
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>

class DemoDriver
{
public:
    static constexpr QSize windowSize{1024, 640};

    DemoDriver();
    ~DemoDriver();

    // A fresh private copy of the demo and the shipped data, to change stored values before start().
    bool prepare();
    // Starts the demo with --memory-file and `arguments`; true once its main window is drawn and idle.
    bool start(const QStringList &arguments = {});
    int stop(); // the exit code, or -1 (killed, not running)
    // A second start while it runs (the hand-over); its exit code, or -1.
    int startAgain();
    // Until the main window is on the screen or, `shown` false, is not.
    bool waitForWindow(bool shown = true);
    bool isRunning() const { return m_process && m_process->state() == QProcess::Running; }
    QString error() const { return m_error; }
    bool compositorMissing() const { return onWayland() && !m_weston; }
    static bool onWayland();

    QString rootDir() const; // the executable's folder of the copy
    QString dataDir() const; // its modules/ folder

    QRect windowRect() const;  // in screen coordinates
    QImage grab() const;       // the main window; null when that failed
    QImage grabScreen() const; // the whole screen
    bool screenshot(const QString &path, bool wholeScreen = false); // false when blank or not saved
    // Until `area` of the window differs from the same area of `before`.
    bool waitForChange(const QImage &before, QRect area);

    // Pointer and keys in window coordinates; each waits for idle unless `wait` is false.
    bool moveTo(QPoint at);
    bool click(QPoint at, int button = 1, bool wait = true);
    bool drag(QPoint from, QPoint to);
    bool dragWindow(QPoint from, QPoint to); // by its background, until it moved by to - from
    bool pressKey(unsigned long keysym);
    bool typeText(const QString &text);
    // Until the window is drawn and still for 400 ms and no report crossed for a second.
    bool waitForIdle();

    QStringList traceLines(int from = 0); // standard output: one line per report
    int traceCount();
    QStringList commands(int from = 0); // the command codes sent since `from`, deciphered, each once
    QStringList errorLines(int from = 0);
    QStringList notices(int from = 0); // the notices shown ("DPI Switch to 3 ")

    QJsonObject memory() const; // the virtual mouse's memory file; empty before it is written
    static QList<int> bytes(const QJsonValue &array, int from, int count);
    QList<int> block(int index, int from, int count) const; // of memory()'s profileBlocks
    // The DPI codes of device profiles 1 … 4, and those of stage values on the 3360 (value / 100 − 1).
    QList<QList<int>> dpiCodes() const;
    static QList<QList<int>> dpiCodesFor(const QList<int> &values);
    // A settings value of the copy, `file` relative to modules/ or absolute; read afresh each call.
    QVariant storedValue(const QString &file, const QString &key) const;
    QList<int> storedNumbers(const QString &file, const QString &key) const;
    bool setStoredValue(const QString &file, const QString &key, const QVariant &value);
    bool setStoredNumbers(const QString &file, const QString &key, const QList<int> &numbers);
    bool pressDpiButton(int stage); // the virtual mouse's own button, to stage 1 … 8

    static bool pollUntil(const std::function<bool()> &done, int timeoutMs = 30000);
    // Starts a process that dies with the test; end() stops it.
    static std::unique_ptr<QProcess> launch(const QStringList &command, const QProcessEnvironment &env,
                                            const QString &workingDir = {});
    static void end(QProcess &process);
    // Runs a command to its end: its exit code (-1 when it crashed or hung) and standard error.
    static int run(const QStringList &command, QString *err = nullptr,
                   const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

private:
    struct X;
    bool findWindow();
    bool startCompositor();
    void readOutput();
    void fake(QPoint windowPoint, QPoint origin, int button = 0, bool down = false);
    bool fakeKey(unsigned long keysym);

    std::unique_ptr<X> m_x;
    std::unique_ptr<QProcess> m_weston;
    QTemporaryDir m_westonRuntime;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
    QString m_error;
    QByteArray m_secrecy;
    QByteArray m_out, m_err; // standard output and error so far
    bool m_prepared = false; // a copy no run has used yet
};
