#include "HookRecorder.h"
#include "InputHook.h"
#include "X11RecordSource.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

constexpr int Offset = 8; // X key codes are the kernel's plus 8

enum XKey : unsigned {
    KeyA = 30 + Offset,
    KeyEnter = 28 + Offset,
    KeyKpEnter = 96 + Offset,
    KeyLeftAlt = 56 + Offset,
    KeyRightCtrl = 97 + Offset,
    KeyPrint = 99 + Offset,
    KeyNumLock = 69 + Offset,
};

// Stands for another program's window that has the focus.
class FocusedWindow : public QWidget
{
public:
    QList<int> keys;
    QList<int> buttons;

protected:
    void keyPressEvent(QKeyEvent *e) override { keys << int(e->nativeScanCode()); }
    void mousePressEvent(QMouseEvent *e) override { buttons << int(e->button()); }
};

using Recorder = HookRecorder;

} // namespace

class tst_X11RecordSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void keysAndButtonsReachCallbacks();
    void stoppedSourceReportsNothing();
    void callbackMayRemoveHooks();

private:
    void tap(unsigned keycode);
    void press(unsigned keycode, bool down);
    void click(unsigned button);

    Display *m_injector = nullptr;
    QWidget *m_programWindow = nullptr;
    FocusedWindow *m_focused = nullptr;
};

void tst_X11RecordSource::initTestCase()
{
    m_injector = XOpenDisplay(nullptr);
    QVERIFY(m_injector);
    int event, error, major, minor;
    QVERIFY(XTestQueryExtension(m_injector, &event, &error, &major, &minor));

    // The program's own window is hidden: capture must not depend on it.
    m_programWindow = new QWidget;
    m_programWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_programWindow));
    m_programWindow->hide();

    m_focused = new FocusedWindow;
    m_focused->setGeometry(50, 50, 300, 300);
    m_focused->show();
    m_focused->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_focused));
}

void tst_X11RecordSource::cleanupTestCase()
{
    delete m_focused;
    delete m_programWindow;
    if (m_injector)
        XCloseDisplay(m_injector);
}

void tst_X11RecordSource::init()
{
    m_focused->keys.clear();
    m_focused->buttons.clear();
}

void tst_X11RecordSource::press(unsigned keycode, bool down)
{
    XTestFakeKeyEvent(m_injector, keycode, down ? True : False, CurrentTime);
}

void tst_X11RecordSource::tap(unsigned keycode)
{
    press(keycode, true);
    press(keycode, false);
}

void tst_X11RecordSource::click(unsigned button)
{
    XTestFakeButtonEvent(m_injector, button, True, CurrentTime);
    XTestFakeButtonEvent(m_injector, button, False, CurrentTime);
}

void tst_X11RecordSource::keysAndButtonsReachCallbacks()
{
    InputHook hook(false);
    QVERIFY(hook.hooksInstalled());
    QCOMPARE(hook.activeSourceName(), QStringLiteral("X11 RECORD"));
    Recorder recorder;
    hook.setKeyboardCallback(&Recorder::key, &recorder);
    hook.setMouseCallback(&Recorder::mouse, &recorder);

    XTestFakeMotionEvent(m_injector, -1, 120, 140, CurrentTime);
    press(KeyA, true);
    press(KeyA, true); // as auto-repeat sends it
    press(KeyA, true);
    press(KeyA, false);
    tap(KeyKpEnter);
    tap(KeyEnter);
    tap(KeyRightCtrl);
    press(KeyLeftAlt, true);
    tap(KeyPrint); // SysRq
    press(KeyLeftAlt, false);
    tap(KeyPrint);
    tap(KeyNumLock);
    tap(KeyNumLock); // Num Lock back off, so later keys type as usual
    click(1);
    click(4); // wheel: not reported
    click(3);
    XTestFakeMotionEvent(m_injector, -1, 0, 1023, CurrentTime);
    click(2);
    XFlush(m_injector);

    const QStringList expected{
        "key 04 1", "key 04 0",
        "key 58 1", "key 58 0",
        "key 28 1", "key 28 0",
        "key e4 1", "key e4 0",
        "key e2 1", "key 46 1", "key 46 0", "key e2 0",
        "key 46 1", "key 46 0",
        "key 53 1", "key 53 0", "key 53 1", "key 53 0",
        "mouse f0 1 120 140", "mouse f0 0 120 140",
        "mouse f1 1 120 140", "mouse f1 0 120 140",
        "mouse f2 1 0 1023", "mouse f2 0 0 1023",
    };
    QTRY_COMPARE(recorder.calls.size(), expected.size());
    QCOMPARE(recorder.calls, expected);

    // Observed, not taken: the focused window got the same input.
    QTRY_VERIFY(m_focused->keys.contains(int(KeyKpEnter)));
    QVERIFY(m_focused->keys.contains(int(KeyA)));
    QTRY_COMPARE(m_focused->buttons, (QList<int>{Qt::LeftButton, Qt::RightButton}));
}

void tst_X11RecordSource::stoppedSourceReportsNothing()
{
    InputHook hook(false);
    Recorder recorder;
    hook.setKeyboardCallback(&Recorder::key, &recorder);
    hook.removeHooks();
    QVERIFY(!hook.hooksInstalled());

    tap(KeyA);
    XFlush(m_injector);
    // Once the focused window has the key, a running source would have had it too.
    QTRY_VERIFY(m_focused->keys.contains(int(KeyA)));
    QCoreApplication::processEvents();
    QCOMPARE(recorder.calls, QStringList{});

    QVERIFY(hook.installHooks());
    tap(KeyEnter);
    XFlush(m_injector);
    QTRY_COMPARE(recorder.calls, (QStringList{"key 28 1", "key 28 0"}));
}

void tst_X11RecordSource::callbackMayRemoveHooks()
{
    struct Context
    {
        InputHook *hook;
        int reports = 0;
    };
    InputHook hook(false);
    Context context{&hook};
    hook.setKeyboardCallback(
        [](quint8, bool, void *c) {
            auto *context = static_cast<Context *>(c);
            ++context->reports;
            context->hook->removeHooks();
        },
        &context);

    tap(KeyA);
    tap(KeyEnter);
    XFlush(m_injector);
    QTRY_VERIFY(m_focused->keys.contains(int(KeyEnter)));
    QTRY_VERIFY(!hook.hooksInstalled());
    QCoreApplication::processEvents();
    QCOMPARE(context.reports, 1);
}

QTEST_MAIN(tst_X11RecordSource)
#include "tst_x11_record_source.moc"
