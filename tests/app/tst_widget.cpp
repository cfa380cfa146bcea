#include "HookWiring.h"
#include "InputHook.h"
#include "LanguageStore.h"
#include "WidgetRig.h"

#include <QSignalSpy>
#include <QTest>

// The main window against the virtual mouse, with a tray and a hotplug source the test controls
// and a recording document in place of the UI.
class tst_Widget : public QObject
{
    Q_OBJECT

    std::unique_ptr<WidgetRig> m_rig;

    std::unique_ptr<Widget> makeWidget(HidBackend *backend)
    {
        auto w = m_rig->makeWidget(backend);
        w->showNormal();
        return w;
    }

    std::unique_ptr<Widget> connectedWidget()
    {
        auto w = makeWidget(m_rig->mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        m_rig->notifier.shown.clear();
        return w;
    }

    static QStringList rootCalls(Widget &w)
    {
        return w.view()->rootObject()->property("calls").toStringList();
    }

private slots:
    void init()
    {
        m_rig = std::make_unique<WidgetRig>();
        setDpiNoticeTexts({});
    }
    void cleanup() { m_rig.reset(); }

    void withoutADeviceTheWindowHidesAndStaysHidden_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("nothing attached") << QString() << QVariant();
        QTest::newRow("empty device table") << "common/deviceCount" << QVariant(0);
        // The mouse is there, but only its event interface matches: the entry is skipped.
        QTest::newRow("only the event interface") << "1/usage" << QVariant("1234");
    }
    void withoutADeviceTheWindowHidesAndStaysHidden()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        if (!key.isEmpty())
            m_rig->setConfig(key, value);
        auto w = makeWidget(key.isEmpty() ? nullptr : m_rig->mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        w->checkDevice();
        QVERIFY(!w->isVisible() && !w->deviceConnected());
        QVERIFY(m_rig->notifier.shown.isEmpty());
        QCOMPARE(m_rig->mouse->reportCount(), 0);
        // Neither the tray nor a second start shows the window without a device.
        w->trayIconActivated(QSystemTrayIcon::DoubleClick);
        w->receiveMessage(QString());
        QCoreApplication::processEvents();
        QVERIFY(!w->isVisible());
    }

    void connectingAnnouncesReadsBlocksAndStartsTheUi_data()
    {
        QTest::addColumn<QString>("icType");
        QTest::addColumn<bool>("isGun");
        QTest::addColumn<QStringList>("blocksRead");
        QTest::newRow("560 gun model") << "560" << true << QStringList{"00", "01", "02", "03", "04"};
        QTest::newRow("560 without gun") << "560" << false << QStringList{"00", "01"};
        QTest::newRow("553") << "553" << true << QStringList{};
    }
    void connectingAnnouncesReadsBlocksAndStartsTheUi()
    {
        QFETCH(QString, icType);
        QFETCH(bool, isGun);
        QFETCH(QStringList, blocksRead);
        m_rig->setConfig(QStringLiteral("mouse/icType"), icType);
        m_rig->setConfig(QStringLiteral("mouse/isGun"), isGun);
        VirtualMouseConfig c = demoMouse();
        c.family = icType;
        m_rig->mouse = std::make_unique<VirtualMouse>(c, &m_rig->clock);
        auto w = makeWidget(m_rig->mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        QVERIFY(w->deviceConnected() && w->isVisible() && w->view()->isEnabled());
        QVERIFY(w->hid.isListening());
        QCOMPARE(m_rig->notifier.shown, QStringList{info(QStringLiteral("Detect Device"))});
        QStringList reads;
        for (const QString &line : m_rig->mouse->trace())
            if (line.contains(QLatin1String("<- feature 00 8c")))
                reads << line.section(QLatin1Char(' '), 5, 5);
        QCOMPARE(reads, blocksRead);
        // initUI, then run, each at its own turn of the event loop.
        QVERIFY(rootCalls(*w).isEmpty());
        QTRY_COMPARE(rootCalls(*w), QStringList({"initUI", "run"}));
    }

    void lowerGroupWinsAndLaterGroupsAreNotProbed()
    {
        // The shipped table's group 0 (pid 8008, report length 64, plain) and group 1 (the mouse)
        // are both attached: group 0 connects and group 1 is never spoken to.
        VirtualMouseConfig first = demoMouse();
        first.pid = 0x8008;
        first.reportLength = 64;
        first.isEncode = false;
        VirtualMouse keyboardType(first, &m_rig->clock);
        m_rig->bus.attach(m_rig->mouse.get());
        m_rig->bus.attach(&keyboardType);
        auto w = makeWidget(&m_rig->bus);
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        m_rig->bus.detach(m_rig->mouse.get());
        m_rig->bus.detach(&keyboardType);
        QCOMPARE(w->hid.currentIndex(), 0);
        QVERIFY(keyboardType.reportCount() > 0);
        QCOMPARE(m_rig->mouse->reportCount(), 0);
    }

    void deviceChangesAreCoalescedAndIgnoredWhileListening()
    {
        auto w = makeWidget(nullptr);
        QSignalSpy checks(&w->checkTimer, &QTimer::timeout);
        m_rig->hotplug.report();
        QTRY_VERIFY(w->checkTimer.remainingTime() < 1900);
        const int before = w->checkTimer.remainingTime();
        m_rig->hotplug.report();
        QVERIFY(w->checkTimer.remainingTime() > before); // restarted, not stacked
        QCOMPARE(w->checkTimer.interval(), 2048);
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        QTRY_COMPARE_WITH_TIMEOUT(checks.count(), 1, 5000);
        QVERIFY(!w->checkTimer.isActive());

        auto connected = connectedWidget();
        w.reset();
        m_rig->hotplug.report();
        QVERIFY(!connected->checkTimer.isActive());
    }

    // A single click leaves the window as it is; a double click and a second start bring it back.
    // Quit while listening: no balloon after it, also for a report already on its way.
    void restoreFromTheTrayAndQuit()
    {
        auto w = connectedWidget();
        w->showMinimized();
        w->trayIconActivated(QSystemTrayIcon::Trigger);
        QCoreApplication::processEvents();
        QVERIFY(w->isMinimized());
        w->trayIconActivated(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(w->isVisible() && !w->isMinimized());
        w->hide();
        w->receiveMessage(QStringLiteral("any text"));
        QTRY_VERIFY(w->isVisible());

        w->exitSYS();
        QVERIFY(!w->hid.isListening());
        m_rig->mouse->pressDpiButton(4);
        w.reset(); // waits for the listener's current read to end
        QCoreApplication::processEvents();
        QVERIFY(m_rig->notifier.shown.isEmpty());
    }

    void dpiSwitchMovesTheStageAndShowsTheNotice()
    {
        auto w = connectedWidget();
        m_rig->mouse->pressDpiButton(3);
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->notifier.shown, QStringList{info("DPI Switch to ")}, 3000);
        QCOMPARE(w->view()->rootObject()->property("currentDPI").toInt(), 2);

        // Texts from the language file; stages outside 1..7 take the last entry. (Which reports are
        // stages is the listener's, tst_hid_listener.)
        m_rig->notifier.shown.clear();
        LanguageStore(m_rig->modules).getLangStrings(QStringLiteral("other"), QStringLiteral("English"));
        m_rig->mouse->pressDpiButton(7);
        m_rig->mouse->sendEventReport(QByteArray::fromHex("06070000"));
        m_rig->mouse->pressDpiButton(9);
        const QString other = dpiNoticeText(0) + QLatin1Char(' ');
        QVERIFY(dpiNoticeText(7) != QLatin1String("DPI Switch to"));
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->notifier.shown,
                                  QStringList({info(dpiNoticeText(7) + " "), info(other), info(other)}), 5000);
        QVERIFY(rootCalls(*w).contains(QStringLiteral("setCurrentDPI 0")));
        QCOMPARE(w->view()->rootObject()->property("currentDPI").toInt(), 8);
    }

    void unplugDisablesTheViewAndTheNextChangeReconnects()
    {
        auto w = connectedWidget();
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        m_rig->mouse->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!w->view()->isEnabled() && !w->hid.isListening(), 3000);

        // While unplugged a device change ends disconnected; plugged back in, it connects again.
        m_rig->hotplug.report();
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        QTRY_VERIFY_WITH_TIMEOUT(!w->deviceConnected(), 5000);
        m_rig->mouse->plugIn();
        m_rig->hotplug.report();
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        QTRY_VERIFY_WITH_TIMEOUT(w->deviceConnected() && w->view()->isEnabled(), 5000);
        m_rig->notifier.shown.clear();
        m_rig->mouse->pressDpiButton(2);
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->notifier.shown.size(), 1, 3000);
    }

    void capturedKeysAndButtonsReachTheDocumentAfterTheHookReturns()
    {
        auto w = makeWidget(nullptr);
        InputHook hook(false, {});
        connectInputHook(hook, *w);
        hook.keyEvent({0x1E, false, false, true}); // A pressed
        hook.keyEvent({0x1E, false, false, true}); // auto-repeat: no second report
        hook.keyEvent({0x1C, true, false, true});  // keypad Enter
        hook.buttonEvent({KeyTranslation::MouseButton::Right, true, -3, 7});
        QVERIFY(rootCalls(*w).isEmpty()); // queued, not called from inside the hook
        QTRY_COMPARE(rootCalls(*w), QStringList({"detectKeyboard true 4", "detectKeyboard true 88",
                                                 "detectMouse true 241 4294967293 7"}));
    }
};

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
