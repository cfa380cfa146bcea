#include "HookRecorder.h"
#include "InputHook.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <linux/input-event-codes.h>

class tst_X11RecordSource : public QObject
{
    Q_OBJECT

    std::unique_ptr<Display, int (*)(Display *)> m_injector{nullptr, XCloseDisplay};
    QWidget m_programWindow;
    QLineEdit m_focused; // stands for another program's window that has the focus

    // X key codes are the kernel's plus 8; every event goes out without delay.
    void press(int key, bool down) { XTestFakeKeyEvent(m_injector.get(), key + 8, down, 0); }
    void tap(int key) { press(key, true); press(key, false); }
    void click(unsigned button)
    {
        XTestFakeButtonEvent(m_injector.get(), button, True, 0);
        XTestFakeButtonEvent(m_injector.get(), button, False, 0);
    }

private slots:
    void initTestCase()
    {
        m_injector.reset(XOpenDisplay(nullptr));
        QVERIFY(m_injector);
        int event, error, major, minor;
        QVERIFY(XTestQueryExtension(m_injector.get(), &event, &error, &major, &minor));

        // The program's own window is hidden: capture must not depend on it.
        m_programWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_programWindow));
        m_programWindow.hide();

        m_focused.setGeometry(50, 50, 300, 300);
        m_focused.setContextMenuPolicy(Qt::NoContextMenu); // a menu would take the later keys
        m_focused.show();
        m_focused.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_focused));
    }

    void keysAndButtonsReachCallbacks()
    {
        InputHook hook(false);
        HookRecorder recorder;
        hook.setKeyboardCallback(&HookRecorder::key, &recorder);
        hook.setMouseCallback(&HookRecorder::mouse, &recorder);
        QSignalSpy focusedEnter(&m_focused, &QLineEdit::returnPressed);

        XTestFakeMotionEvent(m_injector.get(), -1, 120, 140, 0);
        for (bool down : {true, true, true, false}) // held down with auto-repeat
            press(KEY_A, down);
        tap(KEY_KPENTER);
        tap(KEY_ENTER);
        press(KEY_RIGHTCTRL, true);
        tap(KEY_PAUSE); // Break
        press(KEY_RIGHTCTRL, false);
        press(KEY_LEFTALT, true);
        press(KEY_SYSRQ, true); // SysRq, released as Print Screen once Alt is up
        press(KEY_LEFTALT, false);
        press(KEY_SYSRQ, false);
        tap(KEY_SYSRQ);
        tap(KEY_NUMLOCK);
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
        // Observed, not taken: the focused window got the same keys.
        QTRY_COMPARE(focusedEnter.count(), 2);
    }

    // The callback removes the hooks at the first key: nothing more may arrive, and the hooks can
    // be installed again afterwards.
    void callbackMayRemoveHooks()
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

        tap(KEY_A);
        tap(KEY_ENTER);
        XFlush(m_injector.get());
        // Once the focused window has Enter, a running source would have had it too.
        QTRY_COMPARE(focusedEnter.count(), 1);
        QTRY_VERIFY(!context.hook.hooksInstalled());
        QCoreApplication::processEvents();
        QCOMPARE(context.recorder.calls, QStringList{"key 04 1"});

        QVERIFY(context.hook.installHooks());
        context.hook.setKeyboardCallback(&HookRecorder::key, &context.recorder);
        tap(KEY_ENTER);
        XFlush(m_injector.get());
        QTRY_COMPARE(context.recorder.calls, (QStringList{"key 04 1", "key 28 1", "key 28 0"}));
    }
};

QTEST_MAIN(tst_X11RecordSource)
#include "tst_x11_record_source.moc"
