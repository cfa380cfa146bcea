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

struct Balloon
{
    QString title, text;
    QSystemTrayIcon::MessageIcon icon;
    int ms;
};

class RecordingNotifier : public TrayNotifier
{
public:
    QList<Balloon> shown;
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int ms) override
    {
        shown.append({title, text, icon, ms});
    }
    QStringList texts() const
    {
        QStringList t;
        for (const auto &b : shown)
            t << b.text;
        return t;
    }
};


VirtualMouseConfig demoMouse()
{
    VirtualMouseConfig c;
    c.family = QStringLiteral("560");
    c.isEncode = true;
    c.isGun = true;
    c.isColorful = true;
    return c;
}

} // namespace

class tst_Widget : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_modules;
    VirtualClock m_clock;
    std::unique_ptr<VirtualMouse> m_mouse;
    ManualHotplug m_hotplug;
    RecordingNotifier m_notifier;

    std::unique_ptr<Widget> makeWidget(VirtualMouse *mouse)
    {
        WidgetEnvironment env;
        env.backend = mouse ? static_cast<HidBackend *>(mouse) : &m_noDevice;
        env.clock = &m_clock;
        env.hotplug = &m_hotplug;
        env.notifier = &m_notifier;
        env.modulesDir = m_modules;
        auto w = std::make_unique<Widget>(env);
        w->view()->setSource(QUrl::fromLocalFile(QStringLiteral(KO_TEST_APP_DATA "/recorder.qml")));
        w->showNormal();
        return w;
    }

    QStringList rootCalls(Widget &w) const
    {
        return w.view()->rootObject()->property("calls").toStringList();
    }

    void setConfig(const QString &key, const QVariant &value)
    {
        QSettings s(m_modules + QStringLiteral("/setting/apConfig.bin"), QSettings::IniFormat);
        s.setValue(key, value);
    }

    // A backend with nothing attached.
    class NoDevice : public HidBackend
    {
    public:
        std::optional<QList<HidInterfaceInfo>> enumerate(quint16, quint16) override { return QList<HidInterfaceInfo>{}; }
        std::unique_ptr<HidDeviceHandle> openPath(const QString &) override { return nullptr; }
    } m_noDevice;

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

    void withoutAMouseTheWindowHidesAndNoBalloonShows()
    {
        auto w = makeWidget(nullptr);
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        w->checkDevice();
        QVERIFY(!w->isVisible());
        QVERIFY(!w->deviceConnected());
        QVERIFY(m_notifier.shown.isEmpty());
        // Neither the tray nor a second start shows the window without a device.
        w->trayIconActivated(QSystemTrayIcon::DoubleClick);
        w->receiveMessage(QString());
        QCoreApplication::processEvents();
        QVERIFY(!w->isVisible());
    }

    void emptyTableEndsDisconnected()
    {
        setConfig(QStringLiteral("common/deviceCount"), 0);
        auto w = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        w->checkDevice();
        QVERIFY(!w->deviceConnected());
        QCOMPARE(m_mouse->reportCount(), 0);
    }

    void connectingAnnouncesReadsBlocksAndStartsTheUi()
    {
        auto w = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        QVERIFY(w->deviceConnected());
        QVERIFY(w->isVisible());
        QVERIFY(w->view()->isEnabled());
        QVERIFY(w->hid.isListening());
        QCOMPARE(m_notifier.shown.size(), 1);
        QCOMPARE(m_notifier.shown[0].title, QStringLiteral("Info"));
        QCOMPARE(m_notifier.shown[0].text, QStringLiteral("Detect Device"));
        QCOMPARE(m_notifier.shown[0].icon, QSystemTrayIcon::Information);
        QCOMPARE(m_notifier.shown[0].ms, 10000);
        // A gun model of the 560 family: all five profile blocks are read, in order.
        QStringList reads;
        for (const QString &line : m_mouse->trace())
            if (line.contains(QLatin1String("<- feature 00 8c")))
                reads << line.section(QLatin1Char(' '), 5, 5);
        QCOMPARE(reads, QStringList({"00", "01", "02", "03", "04"}));
        QCOMPARE(w->view()->profileBlocks[1][84], m_mouse->memory().profileBlocks[1][84]);
        // initUI, then run, each at its own turn.
        QVERIFY(rootCalls(*w).isEmpty());
        QTRY_COMPARE(rootCalls(*w), QStringList({"initUI", "run"}));
    }

    void aNonGunModelReadsTwoBlocksAndOtherFamiliesNone_data()
    {
        QTest::addColumn<QString>("icType");
        QTest::addColumn<bool>("isGun");
        QTest::addColumn<int>("blocks");
        QTest::newRow("560 without gun") << "560" << false << 2;
        QTest::newRow("553") << "553" << true << 0;
    }
    void aNonGunModelReadsTwoBlocksAndOtherFamiliesNone()
    {
        QFETCH(QString, icType);
        QFETCH(bool, isGun);
        QFETCH(int, blocks);
        setConfig(QStringLiteral("mouse/icType"), icType);
        setConfig(QStringLiteral("mouse/isGun"), isGun);
        VirtualMouseConfig c = demoMouse();
        c.family = icType;
        VirtualMouse mouse(c, &m_clock);
        auto w = makeWidget(&mouse);
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        QVERIFY(w->deviceConnected());
        int reads = 0;
        for (const QString &line : mouse.trace())
            reads += line.contains(QLatin1String("<- feature 00 8c"));
        QCOMPARE(reads, blocks);
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
        VirtualHidBus bus;
        bus.attach(m_mouse.get());
        bus.attach(&keyboardType);
        auto w = makeWidget(nullptr);
        w->hid.setBackend(&bus);
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        QCOMPARE(w->hid.currentIndex(), 0);
        QVERIFY(keyboardType.reportCount() > 0);
        QCOMPARE(m_mouse->reportCount(), 0);
    }

    void deviceChangesAreCoalescedAndIgnoredWhileListening()
    {
        auto w = makeWidget(nullptr);
        QCOMPARE(w->checkTimer.interval(), 2048);
        QVERIFY(w->checkTimer.isSingleShot());
        QSignalSpy checks(&w->checkTimer, &QTimer::timeout);
        m_hotplug.report();
        QVERIFY(w->checkTimer.isActive());
        QTest::qWait(300);
        const int before = w->checkTimer.remainingTime();
        m_hotplug.report();
        QVERIFY(w->checkTimer.remainingTime() > before); // restarted, not stacked
        m_hotplug.report();
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        QTRY_COMPARE_WITH_TIMEOUT(checks.count(), 1, 5000);
        QVERIFY(!w->checkTimer.isActive());

        auto connected = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        connected->checkDevice();
        QVERIFY(connected->hid.isListening());
        w.reset();
        m_hotplug.report();
        QVERIFY(!connected->checkTimer.isActive());
    }

    void trayDoubleClickRestoresOnlyWithADevice()
    {
        auto w = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        w->showMinimized();
        w->trayIconActivated(QSystemTrayIcon::Trigger);
        QCoreApplication::processEvents();
        QVERIFY(w->isMinimized());
        w->hide();
        w->trayIconActivated(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(w->isVisible());
        QVERIFY(!w->isMinimized());
        w->hide();
        w->receiveMessage(QStringLiteral("any text"));
        QTRY_VERIFY(w->isVisible());
    }

    void dpiSwitchMovesTheStageAndShowsTheNotice()
    {
        auto w = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        m_notifier.shown.clear();

        m_mouse->pressDpiButton(3);
        QTRY_COMPARE_WITH_TIMEOUT(m_notifier.shown.size(), 1, 3000);
        QCOMPARE(m_notifier.shown[0].title, QStringLiteral("Info"));
        QCOMPARE(m_notifier.shown[0].text, QStringLiteral("DPI Switch to "));
        QCOMPARE(m_notifier.shown[0].ms, 10000);
        QCOMPARE(w->view()->rootObject()->property("currentDPI").toInt(), 2);

        // Texts from the language file; stages outside 1..7 take the last entry.
        m_notifier.shown.clear();
        LanguageStore(m_modules).getLangStrings(QStringLiteral("other"), QStringLiteral("English"));
        m_mouse->pressDpiButton(7);
        m_mouse->sendEventReport(QByteArray::fromHex("06070000"));
        m_mouse->sendEventReport(QByteArray::fromHex("06080003"));
        m_mouse->sendEventReport(QByteArray::fromHex("060700"));
        m_mouse->pressDpiButton(9);
        QTRY_COMPARE_WITH_TIMEOUT(m_notifier.shown.size(), 3, 5000);
        const QString other = dpiNoticeText(0);
        QVERIFY(dpiNoticeText(7) != QLatin1String("DPI Switch to"));
        QCOMPARE(m_notifier.texts(), QStringList({dpiNoticeText(7) + " ", other + " ", other + " "}));
        QVERIFY(rootCalls(*w).contains(QStringLiteral("setCurrentDPI 0")));
        QCOMPARE(w->view()->rootObject()->property("currentDPI").toInt(), 8);
    }

    void unplugDisablesTheViewAndTheNextChangeReconnects()
    {
        auto w = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        m_mouse->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!w->view()->isEnabled(), 3000);
        QTRY_VERIFY(!w->hid.isListening());
        QVERIFY(w->hid.deviceTable().value(w->hid.currentIndex()).eventPath.isEmpty());

        // While unplugged a device change ends disconnected; plugged back in, it connects again.
        m_hotplug.report();
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        QTRY_VERIFY_WITH_TIMEOUT(!w->deviceConnected(), 5000);
        m_mouse->plugIn();
        m_hotplug.report();
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        QTRY_VERIFY_WITH_TIMEOUT(w->deviceConnected() && w->view()->isEnabled(), 5000);
        QVERIFY(w->hid.isListening());
        m_notifier.shown.clear();
        m_mouse->pressDpiButton(2);
        QTRY_COMPARE_WITH_TIMEOUT(m_notifier.shown.size(), 1, 3000);
    }

    void capturedKeysAndButtonsReachTheDocumentAfterTheHookReturns()
    {
        auto w = makeWidget(nullptr);
        InputHook hook(false, {});
        connectInputHook(hook, *w);
        hook.keyEvent({0x1E, false, false, true});  // A pressed
        hook.keyEvent({0x1E, false, false, true});  // auto-repeat: no second report
        hook.keyEvent({0x1C, true, false, true});   // keypad Enter
        hook.buttonEvent({KeyTranslation::MouseButton::Right, true, -3, 7});
        QVERIFY(rootCalls(*w).isEmpty()); // queued, not called from inside the hook
        QTRY_COMPARE(rootCalls(*w), QStringList({"detectKeyboard true 4", "detectKeyboard true 88",
                                                 "detectMouse true 241 4294967293 7"}));
    }

    void quitWhileListeningEndsPromptlyWithoutFurtherBalloons()
    {
        auto w = makeWidget(m_mouse.get());
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        m_notifier.shown.clear();
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
