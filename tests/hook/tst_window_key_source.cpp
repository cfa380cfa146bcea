#include "HookRecorder.h"
#include "InputHook.h"
#include "WindowKeySource.h"
#include "X11RecordSource.h"

#include <QApplication>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTemporaryFile>
#include <QTest>
#include <QVBoxLayout>

#include <linux/input-event-codes.h>

namespace {

// The program's window as the program has it: a widget window whose scene lives in a QQuickWidget,
// which hands every key on to its own hidden scene window.
class ProgramWindow : public QWidget
{
public:
    ProgramWindow()
    {
        m_qml.setFileTemplate(QDir::tempPath() + QStringLiteral("/XXXXXX.qml"));
        if (m_qml.open()) {
            m_qml.write("import QtQuick\nTextInput { width: 200; height: 40; focus: true }\n");
            m_qml.flush();
        }
        m_view.setSource(QUrl::fromLocalFile(m_qml.fileName()));
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(&m_view);
        resize(240, 80);
    }
    QString typed() const { return m_view.rootObject()->property("text").toString(); }
    QQuickWidget &view() { return m_view; }

private:
    QTemporaryFile m_qml;
    QQuickWidget m_view;
};

// Every raw event the source hands on, without the hook's filtering of repeated states.
struct RawRecorder final : InputSink
{
    QStringList events;
    void keyEvent(const RawKeyEvent &e) override
    {
        events << QStringLiteral("%1%2 %3").arg(e.scanCode, 2, 16, QLatin1Char('0'))
                      .arg(e.extended ? "e" : "").arg(e.pressed);
    }
    void buttonEvent(const RawButtonEvent &) override { events << QStringLiteral("button"); }
};

// Counts the key releases that reach the program's windows from the platform.
struct ReleaseCounter final : QObject
{
    int count = 0;
    ReleaseCounter() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        count += event->type() == QEvent::KeyRelease && event->spontaneous() && watched->isWindowType();
        return false;
    }
};

QStringList names(const std::vector<std::unique_ptr<InputSource>> &sources)
{
    QStringList list;
    for (const auto &source : sources)
        list << source->name();
    return list;
}

} // namespace

// Xlib's macros (KeyRelease, Bool, ...) clash with Qt names, so its headers come after the helpers.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

// Keys typed into the program's own window, where no global source runs. The keys are real: sent
// through XTEST, they reach the window from the platform with their native scan codes.
class tst_WindowKeySource : public QObject
{
    Q_OBJECT

    std::unique_ptr<Display, int (*)(Display *)> m_injector{nullptr, XCloseDisplay};
    ProgramWindow m_window;

    void press(int key, bool down) { XTestFakeKeyEvent(m_injector.get(), key + 8, down, 0); }
    void tap(int key) { press(key, true); press(key, false); }

    // As on a display server without a global facility: RECORD cannot start, the window source
    // takes over.
    static std::unique_ptr<InputHook> fallbackHook()
    {
        std::vector<std::unique_ptr<InputSource>> sources;
        sources.push_back(std::make_unique<X11RecordSource>(QByteArrayLiteral(":4711")));
        sources.push_back(std::make_unique<WindowKeySource>());
        return std::make_unique<InputHook>(false, std::move(sources));
    }

private slots:
    void initTestCase()
    {
        m_injector.reset(XOpenDisplay(nullptr));
        QVERIFY(m_injector);
        m_window.show();
        m_window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_window));
        m_window.view().setFocus();
    }

    void sourcesByPlatform_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QStringList>("sources");

        const QString record = QStringLiteral("X11 RECORD");
        const QString window = QStringLiteral("window keys");
        QTest::newRow("X11") << "xcb" << QStringList{record, window};
        QTest::newRow("no GUI") << "" << QStringList{record, window};
        QTest::newRow("Wayland") << "wayland" << QStringList{window};
        QTest::newRow("framebuffer") << "eglfs" << QStringList{window};
    }

    void sourcesByPlatform()
    {
        QFETCH(QString, platform);
        QFETCH(QStringList, sources);
        QCOMPARE(names(InputHook::sourcesFor(platform)), sources);
    }

    void typedKeysReachCallback()
    {
        const auto hook = fallbackHook();
        QCOMPARE(hook->activeSourceName(), QStringLiteral("window keys"));
        HookRecorder recorder;
        hook->setKeyboardCallback(&HookRecorder::key, &recorder);

        for (bool down : {true, true, true, false}) // held down with auto-repeat
            press(KEY_A, down);
        tap(KEY_B);
        tap(KEY_KPENTER);
        press(KEY_RIGHTCTRL, true);
        tap(KEY_PAUSE); // Break
        press(KEY_RIGHTCTRL, false);
        press(KEY_LEFTALT, true);
        tap(KEY_SYSRQ);
        press(KEY_LEFTALT, false);
        tap(KEY_RIGHTSHIFT);
        tap(KEY_C);
        XFlush(m_injector.get());

        const QStringList expected{
            "key 04 1", "key 04 0", "key 05 1", "key 05 0", "key 58 1", "key 58 0",
            "key e4 1", "key 48 1", "key 48 0", "key e4 0",
            "key e2 1", "key 46 1", "key 46 0", "key e2 0", "key e5 1", "key e5 0",
            "key 06 1", "key 06 0",
        };
        QTRY_COMPARE(recorder.calls.size(), expected.size());
        QCOMPARE(recorder.calls, expected);
        // Observed, not taken: the scene got the keys as well.
        QTRY_VERIFY(m_window.typed().endsWith(QLatin1String("bc")));
    }

    // The scene's window gets a copy of every key from the widget window: still one event per key,
    // and held keys give one press.
    void eachKeyOnce()
    {
        WindowKeySource source;
        RawRecorder recorder;
        QVERIFY(source.start(&recorder));
        for (bool down : {true, true, true, false})
            press(KEY_E, down);
        tap(KEY_F);
        XFlush(m_injector.get());
        QTRY_COMPARE(recorder.events, (QStringList{"12 1", "12 0", "21 1", "21 0"}));
        QTRY_VERIFY(m_window.typed().endsWith(QLatin1String("f")));
        QCOMPARE(recorder.events.size(), 4);
    }

    // A key held while the keyboard goes to another program is released there, unseen: it counts
    // as released, so pressing it again in the program's window is reported.
    void focusLeavesWithKeyHeld()
    {
        const auto hook = fallbackHook();
        HookRecorder recorder;
        hook->setKeyboardCallback(&HookRecorder::key, &recorder);
        press(KEY_A, true);
        XFlush(m_injector.get());
        QTRY_COMPARE(recorder.calls, QStringList{"key 04 1"});

        Display *d = m_injector.get();
        const Window other = XCreateSimpleWindow(d, DefaultRootWindow(d), 400, 400, 50, 50, 0, 0, 0);
        XMapWindow(d, other);
        XSync(d, False);
        XSetInputFocus(d, other, RevertToParent, CurrentTime);
        XFlush(d);
        QTRY_VERIFY(QGuiApplication::applicationState() != Qt::ApplicationActive);
        QTRY_COMPARE(recorder.calls, (QStringList{"key 04 1", "key 04 0"}));
        press(KEY_A, false);
        XDestroyWindow(d, other);
        XFlush(d);

        XSetInputFocus(d, Window(m_window.winId()), RevertToParent, CurrentTime);
        XFlush(d);
        QVERIFY(QTest::qWaitForWindowActive(&m_window));
        tap(KEY_A);
        XFlush(d);
        QTRY_COMPARE(recorder.calls, (QStringList{"key 04 1", "key 04 0", "key 04 1", "key 04 0"}));
    }

    void stoppedSourceReportsNothing()
    {
        const auto hook = fallbackHook();
        HookRecorder recorder;
        hook->setKeyboardCallback(&HookRecorder::key, &recorder);
        hook->removeHooks();
        ReleaseCounter released;
        tap(KEY_D);
        XFlush(m_injector.get());
        QTRY_COMPARE(released.count, 1);
        QVERIFY(recorder.calls.isEmpty());

        QVERIFY(hook->installHooks());
        tap(KEY_D);
        XFlush(m_injector.get());
        QTRY_COMPARE(recorder.calls, (QStringList{"key 07 1", "key 07 0"}));
    }
};

QTEST_MAIN(tst_WindowKeySource)
#include "tst_window_key_source.moc"
