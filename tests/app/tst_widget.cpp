#include "AppPaths.h"
#include "HookWiring.h"
#include "HotplugMonitor.h"
#include "InputHook.h"
#include "LanguageStore.h"
#include "ProtocolClock.h"
#include "TrayNotifier.h"
#include "VirtualHidBus.h"
#include "VirtualMouse.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QQuickItem>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

class ManualHotplug : public HotplugMonitor
{
public:
    void report() { emit deviceChanged(); }
};

class RecordingNotifier : public TrayNotifier
{
public:
    QStringList shown; // "title|text|icon|ms"
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int ms) override
    {
        shown << QStringLiteral("%1|%2|%3|%4").arg(title, text).arg(int(icon)).arg(ms);
    }
};

QString info(const QString &text)
{
    return QStringLiteral("Info|%1|%2|10000").arg(text).arg(int(QSystemTrayIcon::Information));
}

VirtualMouseConfig demoMouse()
{
    VirtualMouseConfig c;
    c.family = QStringLiteral("560");
    c.isEncode = c.isGun = c.isColorful = true;
    return c;
}

} // namespace

// The main window against the virtual mouse, with a tray and a hotplug source the test controls
// and a recording document in place of the UI.
class tst_Widget : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_modules;
    VirtualClock m_clock;
    std::unique_ptr<VirtualMouse> m_mouse;
    VirtualHidBus m_bus; // nothing attached unless a test attaches
    ManualHotplug m_hotplug;
    RecordingNotifier m_notifier;

    std::unique_ptr<Widget> makeWidget(HidBackend *backend)
    {
        WidgetEnvironment env;
        env.backend = backend ? backend : &m_bus;
        env.clock = &m_clock;
        env.hotplug = &m_hotplug;
        env.notifier = &m_notifier;
        env.modulesDir = m_modules;
        auto w = std::make_unique<Widget>(env);
        w->view()->setSource(QUrl::fromLocalFile(QStringLiteral(KO_TEST_APP_DATA "/recorder.qml")));
        w->showNormal();
        return w;
    }

    std::unique_ptr<Widget> connectedWidget()
    {
        auto w = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        m_notifier.shown.clear();
        return w;
    }

    static QStringList rootCalls(Widget &w)
    {
        return w.view()->rootObject()->property("calls").toStringList();
    }

    void setConfig(const QString &key, const QVariant &value)
    {
        QSettings(m_modules + QStringLiteral("/setting/apConfig.bin"), QSettings::IniFormat).setValue(key, value);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_modules = m_dir->filePath(QStringLiteral("modules"));
        AppPaths::copyMissing(QStringLiteral(KO_MODULES_SOURCE_DIR), m_modules);
        m_mouse = std::make_unique<VirtualMouse>(demoMouse(), &m_clock);
        m_notifier.shown.clear();
        setDpiNoticeTexts({});
    }
    void cleanup()
    {
        m_mouse.reset();
        m_dir.reset();
    }

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
            setConfig(key, value);
        auto w = makeWidget(key.isEmpty() ? nullptr : m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        w->checkDevice();
        QVERIFY(!w->isVisible() && !w->deviceConnected());
        QVERIFY(m_notifier.shown.isEmpty());
        QCOMPARE(m_mouse->reportCount(), 0);
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
        setConfig(QStringLiteral("mouse/icType"), icType);
        setConfig(QStringLiteral("mouse/isGun"), isGun);
        VirtualMouseConfig c = demoMouse();
        c.family = icType;
        m_mouse = std::make_unique<VirtualMouse>(c, &m_clock);
        auto w = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        QVERIFY(w->deviceConnected() && w->isVisible() && w->view()->isEnabled());
        QVERIFY(w->hid.isListening());
        QCOMPARE(m_notifier.shown, QStringList{info(QStringLiteral("Detect Device"))});
        QStringList reads;
        for (const QString &line : m_mouse->trace())
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
        VirtualMouse keyboardType(first, &m_clock);
        m_bus.attach(m_mouse.get());
        m_bus.attach(&keyboardType);
        auto w = makeWidget(&m_bus);
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        m_bus.detach(m_mouse.get());
        m_bus.detach(&keyboardType);
        QCOMPARE(w->hid.currentIndex(), 0);
        QVERIFY(keyboardType.reportCount() > 0);
        QCOMPARE(m_mouse->reportCount(), 0);
    }

    void deviceChangesAreCoalescedAndIgnoredWhileListening()
    {
        auto w = makeWidget(nullptr);
        QSignalSpy checks(&w->checkTimer, &QTimer::timeout);
        m_hotplug.report();
        QTest::qWait(300);
        const int before = w->checkTimer.remainingTime();
        m_hotplug.report();
        QVERIFY(w->checkTimer.remainingTime() > before); // restarted, not stacked
        QCOMPARE(w->checkTimer.interval(), 2048);
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        QTRY_COMPARE_WITH_TIMEOUT(checks.count(), 1, 5000);
        QVERIFY(!w->checkTimer.isActive());

        auto connected = connectedWidget();
        w.reset();
        m_hotplug.report();
        QVERIFY(!connected->checkTimer.isActive());
    }

    void trayDoubleClickAndSecondStartRestoreWithADevice()
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
    }

    void dpiSwitchMovesTheStageAndShowsTheNotice()
    {
        auto w = connectedWidget();
        m_mouse->pressDpiButton(3);
        QTRY_COMPARE_WITH_TIMEOUT(m_notifier.shown, QStringList{info("DPI Switch to ")}, 3000);
        QCOMPARE(w->view()->rootObject()->property("currentDPI").toInt(), 2);

        // Texts from the language file; stages outside 1..7 take the last entry; other reports
        // change nothing.
        m_notifier.shown.clear();
        LanguageStore(m_modules).getLangStrings(QStringLiteral("other"), QStringLiteral("English"));
        m_mouse->pressDpiButton(7);
        m_mouse->sendEventReport(QByteArray::fromHex("06070000"));
        m_mouse->sendEventReport(QByteArray::fromHex("06080003"));
        m_mouse->sendEventReport(QByteArray::fromHex("060700"));
        m_mouse->pressDpiButton(9);
        const QString other = dpiNoticeText(0) + QLatin1Char(' ');
        QVERIFY(dpiNoticeText(7) != QLatin1String("DPI Switch to"));
        QTRY_COMPARE_WITH_TIMEOUT(m_notifier.shown,
                                  QStringList({info(dpiNoticeText(7) + " "), info(other), info(other)}), 5000);
        QVERIFY(rootCalls(*w).contains(QStringLiteral("setCurrentDPI 0")));
        QCOMPARE(w->view()->rootObject()->property("currentDPI").toInt(), 8);
    }

    void unplugDisablesTheViewAndTheNextChangeReconnects()
    {
        auto w = connectedWidget();
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        m_mouse->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!w->view()->isEnabled() && !w->hid.isListening(), 3000);
        QVERIFY(w->hid.deviceTable().value(w->hid.currentIndex()).eventPath.isEmpty());

        // While unplugged a device change ends disconnected; plugged back in, it connects again.
        m_hotplug.report();
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        QTRY_VERIFY_WITH_TIMEOUT(!w->deviceConnected(), 5000);
        m_mouse->plugIn();
        m_hotplug.report();
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        QTRY_VERIFY_WITH_TIMEOUT(w->deviceConnected() && w->view()->isEnabled(), 5000);
        m_notifier.shown.clear();
        m_mouse->pressDpiButton(2);
        QTRY_COMPARE_WITH_TIMEOUT(m_notifier.shown.size(), 1, 3000);
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

    void quitWhileListeningShowsNoFurtherBalloons()
    {
        auto w = connectedWidget();
        w->exitSYS();
        QVERIFY(!w->hid.isListening());
        m_mouse->pressDpiButton(4);
        w.reset(); // waits for the listener's current read to end
        QCoreApplication::processEvents();
        QVERIFY(m_notifier.shown.isEmpty());
    }
};

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
