// Keys and buttons on a real X server, sent through XTEST so that they arrive with their native
// codes: the RECORD source sees them wherever they are typed, without taking them; the fallback
// source sees what is typed into the program's own window, where no global source runs.
#include "HookRecorder.h"
#include "InputHook.h"
#include "WindowKeySource.h"
#include "X11RecordSource.h"

#include <QApplication>
#include <QLineEdit>
#include <QQuickItem>
#include <QQuickWidget>
#include <QSignalSpy>
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
        (new QVBoxLayout(this))->addWidget(&m_view);
        resize(240, 80);
    }
    QString typed() const { return m_view.rootObject()->property("text").toString(); }
    QQuickWidget &view() { return m_view; }

private:
    QTemporaryFile m_qml;
    QQuickWidget m_view;
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

// As on a display server without a global facility: RECORD cannot start, the window source takes over.
std::unique_ptr<InputHook> fallbackHook(HookRecorder *recorder)
{
    std::vector<std::unique_ptr<InputSource>> sources;
    sources.push_back(std::make_unique<X11RecordSource>(QByteArrayLiteral(":4711")));
    sources.push_back(std::make_unique<WindowKeySource>());
    auto hook = std::make_unique<InputHook>(false, std::move(sources));
    hook->setKeyboardCallback(&HookRecorder::key, recorder);
    return hook;
}

enum Stroke { Up, Down, Tap };

} // namespace

// Xlib's macros (KeyRelease, Bool, ...) clash with Qt names, so its headers come after the helpers.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

class tst_X11KeySources : public QObject
{
    Q_OBJECT

    std::unique_ptr<Display, int (*)(Display *)> m_injector{nullptr, XCloseDisplay};
    QLineEdit m_focused; // stands for another program's window that has the focus
    ProgramWindow m_window;

    // X key codes are the kernel's plus 8; every event goes out at once.
    void keys(const QList<std::pair<int, Stroke>> &strokes)
    {
        for (const auto &[key, stroke] : strokes) {
            if (stroke != Up)
                XTestFakeKeyEvent(m_injector.get(), key + 8, True, 0);
            if (stroke != Down)
                XTestFakeKeyEvent(m_injector.get(), key + 8, False, 0);
        }
        XFlush(m_injector.get());
    }
    void click(unsigned button)
    {
        XTestFakeButtonEvent(m_injector.get(), button, True, 0);
        XTestFakeButtonEvent(m_injector.get(), button, False, 0);
    }
    void activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

private slots:
    void initTestCase()
    {
        m_injector.reset(XOpenDisplay(nullptr));
        QVERIFY(m_injector);
        int event, error, major, minor;
        QVERIFY(XTestQueryExtension(m_injector.get(), &event, &error, &major, &minor));
        // The program's own window is not shown yet: capture must not depend on it.
        m_focused.setGeometry(50, 50, 300, 300);
        m_focused.setContextMenuPolicy(Qt::NoContextMenu); // a menu would take the later keys
        activate(m_focused);
    }

    void recordKeysAndButtons()
    {
        InputHook hook(false);
        HookRecorder recorder;
        hook.setKeyboardCallback(&HookRecorder::key, &recorder);
        hook.setMouseCallback(&HookRecorder::mouse, &recorder);
        QSignalSpy focusedEnter(&m_focused, &QLineEdit::returnPressed);
        XTestFakeMotionEvent(m_injector.get(), -1, 120, 140, 0);
        // A held with auto-repeat; Break; SysRq released as Print Screen once Alt is up.
        keys({{KEY_A, Down}, {KEY_A, Down}, {KEY_A, Down}, {KEY_A, Up}, {KEY_KPENTER, Tap}, {KEY_ENTER, Tap},
              {KEY_RIGHTCTRL, Down}, {KEY_PAUSE, Tap}, {KEY_RIGHTCTRL, Up}, {KEY_LEFTALT, Down}, {KEY_SYSRQ, Down},
              {KEY_LEFTALT, Up}, {KEY_SYSRQ, Up}, {KEY_SYSRQ, Tap}, {KEY_NUMLOCK, Tap}});
        click(1);
        click(4); // wheel: not reported
        click(3);
        XTestFakeMotionEvent(m_injector.get(), -1, 0, 1023, 0);
        click(2);
        XFlush(m_injector.get());
        const QStringList expected{
            "key 04 1", "key 04 0", "key 58 1", "key 58 0", "key 28 1", "key 28 0",
            "key e4 1", "key 48 1", "key 48 0", "key e4 0",
            "key e2 1", "key 46 1", "key e2 0", "key 46 0", "key 46 1", "key 46 0",
            "key 53 1", "key 53 0",
            "mouse f0 1 120 140", "mouse f0 0 120 140", "mouse f1 1 120 140", "mouse f1 0 120 140",
            "mouse f2 1 0 1023", "mouse f2 0 0 1023",
        };
        QTRY_COMPARE(recorder.calls.size(), expected.size());
        QCOMPARE(recorder.calls, expected);
        QTRY_COMPARE(focusedEnter.count(), 2); // observed, not taken
    }

    // The callback removes the hooks at the first key: nothing more may arrive, and the hooks can
    // be installed again afterwards.
    void recordCallbackMayRemoveHooks()
    {
        struct Context
        {
            InputHook hook{false};
            HookRecorder recorder;
        } context;
        context.hook.setKeyboardCallback(
            [](quint8 usage, bool pressed, void *c) {
                auto *context = static_cast<Context *>(c);
                HookRecorder::key(usage, pressed, &context->recorder);
                context->hook.removeHooks();
            },
            &context);
        QSignalSpy focusedEnter(&m_focused, &QLineEdit::returnPressed);
        keys({{KEY_A, Tap}, {KEY_ENTER, Tap}});
        // Once the focused window has Enter, a running source would have had it too.
        QTRY_COMPARE(focusedEnter.count(), 1);
        QTRY_VERIFY(!context.hook.hooksInstalled());
        QCoreApplication::processEvents();
        QCOMPARE(context.recorder.calls, QStringList{"key 04 1"});
        QVERIFY(context.hook.installHooks());
        context.hook.setKeyboardCallback(&HookRecorder::key, &context.recorder);
        keys({{KEY_ENTER, Tap}});
        QTRY_COMPARE(context.recorder.calls, (QStringList{"key 04 1", "key 28 1", "key 28 0"}));
    }

    void sourcesByPlatform()
    {
        const std::pair<const char *, QStringList> platforms[] = {
            {"xcb", {"X11 RECORD", "window keys"}}, {"", {"X11 RECORD", "window keys"}},
            {"wayland", {"window keys"}}, {"eglfs", {"window keys"}}};
        for (const auto &[platform, expected] : platforms) {
            QStringList names;
            for (const auto &source : InputHook::sourcesFor(platform))
                names << source->name();
            QCOMPARE(names, expected);
        }
    }

    void windowKeysReachCallback()
    {
        activate(m_window);
        m_window.view().setFocus();
        HookRecorder recorder;
        const auto hook = fallbackHook(&recorder);
        QCOMPARE(hook->activeSourceName(), QStringLiteral("window keys"));
        keys({{KEY_A, Down}, {KEY_A, Down}, {KEY_A, Down}, {KEY_A, Up}, {KEY_B, Tap}, {KEY_KPENTER, Tap},
              {KEY_RIGHTCTRL, Down}, {KEY_PAUSE, Tap}, {KEY_RIGHTCTRL, Up}, {KEY_LEFTALT, Down}, {KEY_SYSRQ, Tap},
              {KEY_LEFTALT, Up}, {KEY_RIGHTSHIFT, Tap}, {KEY_C, Tap}});
        const QStringList expected{
            "key 04 1", "key 04 0", "key 05 1", "key 05 0", "key 58 1", "key 58 0",
            "key e4 1", "key 48 1", "key 48 0", "key e4 0",
            "key e2 1", "key 46 1", "key 46 0", "key e2 0", "key e5 1", "key e5 0",
            "key 06 1", "key 06 0",
        };
        QTRY_COMPARE(recorder.calls.size(), expected.size());
        QCOMPARE(recorder.calls, expected);
        QTRY_VERIFY(m_window.typed().endsWith(QLatin1String("bc"))); // observed, not taken
    }

    // The scene's window gets a copy of every key from the widget window: still one event per key,
    // and held keys give one press.
    void windowEachKeyOnce()
    {
        WindowKeySource source;
        HookRecorder recorder;
        QVERIFY(source.start(&recorder));
        keys({{KEY_E, Down}, {KEY_E, Down}, {KEY_E, Down}, {KEY_E, Up}, {KEY_F, Tap}});
        QTRY_COMPARE(recorder.calls, (QStringList{"raw 12 1", "raw 12 0", "raw 21 1", "raw 21 0"}));
        QTRY_VERIFY(m_window.typed().endsWith(QLatin1String("f")));
        QCOMPARE(recorder.calls.size(), 4);
    }

    // A key held while the keyboard goes to another program is released there, unseen: it counts
    // as released, so pressing it again in the program's window is reported.
    void windowFocusLeavesWithKeyHeld()
    {
        HookRecorder recorder;
        const auto hook = fallbackHook(&recorder);
        keys({{KEY_A, Down}});
        QTRY_COMPARE(recorder.calls, QStringList{"key 04 1"});
        Display *d = m_injector.get();
        const Window other = XCreateSimpleWindow(d, DefaultRootWindow(d), 400, 400, 50, 50, 0, 0, 0);
        XMapWindow(d, other);
        XSync(d, False);
        XSetInputFocus(d, other, RevertToParent, CurrentTime);
        XFlush(d);
        QTRY_VERIFY(QGuiApplication::applicationState() != Qt::ApplicationActive);
        QTRY_COMPARE(recorder.calls, (QStringList{"key 04 1", "key 04 0"}));
        keys({{KEY_A, Up}});
        XDestroyWindow(d, other);
        XSetInputFocus(d, Window(m_window.winId()), RevertToParent, CurrentTime);
        XFlush(d);
        QVERIFY(QTest::qWaitForWindowActive(&m_window));
        keys({{KEY_A, Tap}});
        QTRY_COMPARE(recorder.calls, (QStringList{"key 04 1", "key 04 0", "key 04 1", "key 04 0"}));
    }

    void windowSourceStoppedReportsNothing()
    {
        HookRecorder recorder;
        const auto hook = fallbackHook(&recorder);
        hook->removeHooks();
        ReleaseCounter released;
        keys({{KEY_D, Tap}});
        QTRY_COMPARE(released.count, 1);
        QVERIFY(recorder.calls.isEmpty());
        QVERIFY(hook->installHooks());
        keys({{KEY_D, Tap}});
        QTRY_COMPARE(recorder.calls, (QStringList{"key 07 1", "key 07 0"}));
    }
};

QTEST_MAIN(tst_X11KeySources)
#include "tst_x11_key_sources.moc"
