// The input hook. With fake sources: which source runs, how raw key events become usages, button
// positions, and the copy-data notices it shows. On a real X server, with keys and buttons sent
// through XTEST so that they arrive with their native codes: the RECORD source sees them wherever
// they are typed, without taking them; the fallback source sees what is typed into the program's own
// window, where no global source runs.
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

using KeyTranslation::MouseButton;

namespace {

// Writes each call as one line, keys and buttons in one list so that their order can be checked
// too: as the callbacks of InputHook ("key 04 1") and as a source's sink ("raw 1e 1", "raw 1ce 1"
// for an extended code, before the hook filters repeated states).
struct HookRecorder final : InputSink
{
    QStringList calls;

    static void key(quint8 usage, bool pressed, void *context)
    {
        static_cast<HookRecorder *>(context)->calls
            << QStringLiteral("key %1 %2").arg(usage, 2, 16, QLatin1Char('0')).arg(pressed);
    }
    static void mouse(quint8 code, bool down, quint32 x, quint32 y, void *context)
    {
        static_cast<HookRecorder *>(context)->calls
            << QStringLiteral("mouse %1 %2 %3 %4").arg(code, 0, 16).arg(down).arg(x).arg(y);
    }
    void keyEvent(const RawKeyEvent &e) override
    {
        calls << QStringLiteral("raw %1%2 %3").arg(e.scanCode, 2, 16, QLatin1Char('0'))
                     .arg(e.extended ? "e" : "").arg(e.pressed);
    }
    void buttonEvent(const RawButtonEvent &) override { calls << QStringLiteral("raw button"); }
};

// A source that starts or not as told and counts how it was driven.
struct FakeSource final : InputSource
{
    FakeSource(bool canStart, int *stops) : canStart(canStart), stops(stops) {}
    QString name() const override { return QStringLiteral("fake"); }
    bool start(InputSink *) override { return running = canStart; }
    void stop() override { *stops += std::exchange(running, false); }
    bool isRunning() const override { return running; }

    const bool canStart;
    int *stops;
    bool running = false;
};

// The program's window as the program has it: a widget window whose scene lives in a QQuickWidget,
// which hands every key on to its own hidden scene window.
class ProgramWindow : public QWidget
{
public:
    ProgramWindow()
    {
        m_qml.setFileTemplate(QDir::tempPath() + QStringLiteral("/XXXXXX.qml"));
        if (m_qml.open() && m_qml.write("import QtQuick\nTextInput { width: 200; height: 40; focus: true }\n"))
            m_qml.flush();
        m_view.setSource(QUrl::fromLocalFile(m_qml.fileName()));
        (new QVBoxLayout(this))->addWidget(&m_view);
        resize(240, 80);
    }
    QString typed() const { return m_view.rootObject()->property("text").toString(); }
    QQuickWidget m_view;

private:
    QTemporaryFile m_qml;
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

class tst_InputHook : public QObject
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

    // The callback removes the hooks at the first key: nothing more may arrive, and the hooks can
    // be installed again afterwards.
    void recordCallbackMayRemoveHooks()
    {
        struct { InputHook hook{false}; HookRecorder recorder; } context;
        context.hook.setKeyboardCallback(
            [](quint8 usage, bool pressed, void *c) {
                auto *self = static_cast<decltype(&context)>(c);
                HookRecorder::key(usage, pressed, &self->recorder);
                self->hook.removeHooks();
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

    // Auto-repeat, keypad Enter, Break, SysRq released as Print Screen once Alt is up, wheel clicks
    // not reported: the same keys through RECORD from another program's window, and then through the
    // window source from the program's own, observed, not taken.
    void typing()
    {
        InputHook hook(false);
        HookRecorder recorder;
        hook.setKeyboardCallback(&HookRecorder::key, &recorder);
        hook.setMouseCallback(&HookRecorder::mouse, &recorder);
        QSignalSpy focusedEnter(&m_focused, &QLineEdit::returnPressed);
        XTestFakeMotionEvent(m_injector.get(), -1, 120, 140, 0);
        keys({{KEY_A, Down}, {KEY_A, Down}, {KEY_A, Down}, {KEY_A, Up}, {KEY_KPENTER, Tap}, {KEY_ENTER, Tap},
              {KEY_RIGHTCTRL, Down}, {KEY_PAUSE, Tap}, {KEY_RIGHTCTRL, Up}, {KEY_LEFTALT, Down}, {KEY_SYSRQ, Down},
              {KEY_LEFTALT, Up}, {KEY_SYSRQ, Up}, {KEY_SYSRQ, Tap}, {KEY_NUMLOCK, Tap}});
        for (unsigned button : {1, 4, 3, 2}) {
            if (button == 2)
                XTestFakeMotionEvent(m_injector.get(), -1, 0, 1023, 0);
            XTestFakeButtonEvent(m_injector.get(), button, True, 0);
            XTestFakeButtonEvent(m_injector.get(), button, False, 0);
        }
        XFlush(m_injector.get());
        QStringList expected{"key 04 1", "key 04 0", "key 58 1", "key 58 0", "key 28 1", "key 28 0",
                             "key e4 1", "key 48 1", "key 48 0", "key e4 0", "key e2 1", "key 46 1",
                             "key e2 0", "key 46 0", "key 46 1", "key 46 0", "key 53 1", "key 53 0",
                             "mouse f0 1 120 140", "mouse f0 0 120 140", "mouse f1 1 120 140",
                             "mouse f1 0 120 140", "mouse f2 1 0 1023", "mouse f2 0 0 1023"};
        QTRY_COMPARE(recorder.calls.size(), expected.size());
        QCOMPARE(recorder.calls, expected);
        QTRY_COMPARE(focusedEnter.count(), 2);

        activate(m_window);
        m_window.m_view.setFocus();
        HookRecorder window, raw;
        const auto fallback = fallbackHook(&window);
        QCOMPARE(fallback->activeSourceName(), QStringLiteral("window keys"));
        // The scene's window gets a copy of every key from the widget window: the source must
        // still give one event per key, and one press for a held key.
        WindowKeySource source;
        QVERIFY(source.start(&raw));
        keys({{KEY_A, Down}, {KEY_A, Down}, {KEY_A, Down}, {KEY_A, Up}, {KEY_B, Tap}, {KEY_KPENTER, Tap},
              {KEY_RIGHTCTRL, Down}, {KEY_PAUSE, Tap}, {KEY_RIGHTCTRL, Up}, {KEY_LEFTALT, Down}, {KEY_SYSRQ, Tap},
              {KEY_LEFTALT, Up}, {KEY_RIGHTSHIFT, Tap}, {KEY_C, Tap}});
        expected = QStringList{"key 04 1", "key 04 0", "key 05 1", "key 05 0", "key 58 1", "key 58 0",
                               "key e4 1", "key 48 1", "key 48 0", "key e4 0", "key e2 1", "key 46 1",
                               "key 46 0", "key e2 0", "key e5 1", "key e5 0", "key 06 1", "key 06 0"};
        QTRY_COMPARE(window.calls.size(), expected.size());
        QCOMPARE(window.calls, expected);
        QTRY_VERIFY(m_window.typed().endsWith(QLatin1String("bc")));
        QCOMPARE(raw.calls.mid(0, 4), (QStringList{"raw 1e 1", "raw 1e 0", "raw 30 1", "raw 30 0"}));
        QCOMPARE(raw.calls.size(), 18);
    }

    // A key held while the keyboard goes to another program is released there, unseen: it counts
    // as released, so pressing it again in the program's window is reported. A stopped source
    // reports nothing; installed again, it does.
    void windowSourceFocusAndStop()
    {
        activate(m_window);
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
        hook->removeHooks();
        recorder.calls.clear();
        keys({{KEY_D, Tap}, {KEY_E, Tap}});
        QTRY_VERIFY(m_window.typed().endsWith(QLatin1String("de"))); // D's release came before E
        QVERIFY(recorder.calls.isEmpty());
        QVERIFY(hook->installHooks());
        keys({{KEY_D, Tap}});
        QTRY_COMPARE(recorder.calls, (QStringList{"key 07 1", "key 07 0"}));
    }

    // The first source that starts runs alone (a second would report every key twice); installing
    // again stops it first, and the destructor stops it.
    void install()
    {
        const std::pair<QList<bool>, int> rows[] = {{{true, true}, 0}, {{false, true, true}, 1}, {{false, false}, -1}};
        for (const auto &[canStart, active] : rows) {
            int stops = 0;
            QList<FakeSource *> fakes;
            std::vector<std::unique_ptr<InputSource>> sources;
            for (bool can : canStart)
                sources.emplace_back(fakes.emplace_back(new FakeSource(can, &stops)));
            {
                InputHook hook(false, std::move(sources));
                for (int i = 0; i < fakes.size(); ++i)
                    QCOMPARE(fakes[i]->running, i == active);
                QCOMPARE(hook.installHooks(), active >= 0);
            }
            QCOMPARE(stops, active >= 0 ? 2 : 0);
        }
    }

    // Each key pressed before the callback is set: the state follows anyway, so auto-repeat and a
    // second release report nothing. (Enter, keypad Enter, Num Lock, Break, Print Screen, SysRq with
    // Alt, right Ctrl and left Alt come through the same translation from the X server in typing;
    // positions left of or above the screen travelling unsigned: tst_widget,
    // capturedKeysAndButtonsReachTheDocumentAfterTheHookReturns.)
    void keys()
    {
        const std::tuple<const char *, bool, RawKeyEvent, int> rows[] = { // ISO keyboard; 0: never reported
            {"Pause", false, {0x45}, 0x48},       {"Scroll Lock", false, {0x46}, 0x47},
            {"SysRq without Alt", false, {0x54}, 0}, {"left Ctrl", false, {0x1D}, 0xE0},
            {"right Alt", false, {0x38, true, true}, 0xE6}, {"backslash", false, {0x2B}, 0x31},
            {"ISO backslash", true, {0x2B}, 0x32},  {"above 255 is unknown", false, {0x11E}, 0}};
        for (auto [name, iso, event, usage] : rows) {
            InputHook hook(iso, {});
            HookRecorder recorder;
            event.pressed = true;
            hook.keyEvent(event);
            hook.setKeyboardCallback(&HookRecorder::key, &recorder);
            for (bool pressed : {true, true, false, false, true}) {
                event.pressed = pressed;
                hook.keyEvent(event);
            }
            const QString key = QStringLiteral("key %1 ").arg(usage, 2, 16, QLatin1Char('0'));
            QVERIFY2(recorder.calls == (usage ? QStringList({key + '0', key + '1'}) : QStringList()), name);
        }
    }

    void copyDataNoticeText_data()
    {
        QTest::addColumn<quint32>("tag");
        QTest::addColumn<QByteArray>("bytes"); // null: no data behind a size of 3
        QTest::addColumn<QString>("text");     // "-": nothing shown
        QTest::newRow("abc, 3") << 0x250Fu << QByteArray("abc") << QStringLiteral("abc");
        QTest::newRow("another tag") << 0x2510u << QByteArray("abc") << "-";
        QTest::newRow("no data") << 0x250Fu << QByteArray() << "-";
        QTest::newRow("abc, 4 with NUL") << 0x250Fu << QByteArray("abc", 4) << "-";
        QTest::newRow("NUL inside") << 0x250Fu << QByteArray("ab\0cd", 5) << "-";
        QTest::newRow("multi-byte") << 0x250Fu << QByteArray("\xc3\xa4\xe2\x82\xac") << QStringLiteral("ä€");
        // As long as the encoding of one replacement character: the length check alone passes it.
        QTest::newRow("overlong") << 0x250Fu << QByteArray("\xe0\x80\x80") << "-";
        QTest::newRow("byte order mark kept") << 0x250Fu << QByteArray("\xef\xbb\xbfok") << QStringLiteral("\uFEFFok");
    }
    void copyDataNoticeText()
    {
        QFETCH(quint32, tag);
        QFETCH(QByteArray, bytes);
        // Exactly the delivered bytes, so that reading past cbData is caught by sanitizers.
        const std::vector<char> data(bytes.cbegin(), bytes.cend());
        const auto shown = ::copyDataNoticeText({tag, bytes.isNull() ? 3u : quint32(data.size()),
                                                 bytes.isNull() ? nullptr : data.data()});
        QTEST(shown.value_or(QStringLiteral("-")), "text");
    }
};

QTEST_MAIN(tst_InputHook)
#include "tst_input_hook.moc"
