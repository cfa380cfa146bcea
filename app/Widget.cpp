#include "Widget.h"

#include "Autostart.h"
#include "DesktopNotifier.h"
#include "DeviceDiscovery.h"
#include "HotplugMonitor.h"
#include "LanguageStore.h"
#include "MouseCommands.h"
#include "TrayNotifier.h"
#include "UiStartEvent.h"
#include "StatusWindow.h"
#include "Ui_Controler.h"
#include "myQQuickView.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace {

constexpr int checkDelayMs = 2048;
constexpr int balloonMs = 10000;

const char menuStyle[] =
    "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
    "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } "
    "QMenu::item:enabled { color: rgb(225, 225, 225); } "
    "QMenu::item:!enabled { color: rgb(155, 155, 155); } "
    "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, 255, 255, 40); } "
    "QMenu::separator { height: 1px; background: rgb(100, 100, 100); } "
    "QMenu::indicator { width: 13px; height: 13px; } "
    "QMenu::icon { padding-left: 2px; padding-right: 2px; } ";

} // namespace

Widget::Widget(QWidget *parent) : Widget(WidgetEnvironment{}, parent)
{
}

Widget::Widget(const WidgetEnvironment &environment, QWidget *parent)
    : QWidget(parent)
    , m_modulesDir(environment.modulesDir)
    , m_trayAvailable(environment.trayAvailable)
    , m_statusTexts(StatusWindow::loadTexts(m_modulesDir))
{
    if (environment.backend)
        hid.setBackend(environment.backend);
    if (environment.clock)
        hid.setClock(environment.clock);

    controller = new Ui_Controler;
    controller->setUp(this, &hid, m_modulesDir);
    myQQuickView *v = controller->view();
    v->hid = &hid;
    hid.setModelFlags(v->modelFlags().icType, v->modelFlags().isGun);

    checkTimer.setInterval(checkDelayMs);
    checkTimer.setSingleShot(true);
    connect(&checkTimer, &QTimer::timeout, this, &Widget::checkDevice);

    trayIcon = new QSystemTrayIcon(this);
    m_startAtLogin = new QAction(m_statusTexts.at(StatusWindow::StartAtLogin), this);
    m_startAtLogin->setCheckable(true);
    m_startAtLogin->setChecked(Autostart::isEnabled());
    connect(m_startAtLogin, &QAction::toggled, this, &Widget::setStartAtLogin);
    auto *quit = new QAction(tr("Quit (&Q)"), this);
    connect(quit, &QAction::triggered, this, &Widget::exitSYS);
    auto *menu = new QMenu(this);
    menu->addAction(m_startAtLogin);
    menu->addSeparator();
    menu->addAction(quit);
    // The entry may have been removed or switched off elsewhere since the menu was last open.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        const QSignalBlocker blocker(m_startAtLogin);
        m_startAtLogin->setChecked(Autostart::isEnabled());
    });
    menu->setStyleSheet(QLatin1String(menuStyle));
    trayIcon->setContextMenu(menu);
    trayIcon->setToolTip(QStringLiteral("KESTREL ORBIT MOUSE K7"));
    trayIcon->setIcon(QIcon(QDir(m_modulesDir).filePath(QStringLiteral("img/logo.ico"))));
    connect(trayIcon, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    trayIcon->setVisible(true);

    m_ownNotifier = std::make_unique<DesktopNotifier>(trayIcon, [this] { return trayAvailable(); });
    m_notifier = environment.notifier ? environment.notifier : m_ownNotifier.get();
    HotplugMonitor *hotplug = environment.hotplug;
    if (!hotplug) {
        m_ownHotplug = std::make_unique<UdevHotplugMonitor>();
        hotplug = m_ownHotplug.get();
    }
    connect(hotplug, &HotplugMonitor::deviceChanged, this, &Widget::onDeviceChanged);
    connect(&hid, &Hid_Thread::dpiStageReported, this, &Widget::onDpiStageReported,
            Qt::QueuedConnection);
    connect(&hid, &Hid_Thread::deviceRemoved, this, &Widget::onDeviceRemoved, Qt::QueuedConnection);
}

Widget::~Widget()
{
    hid.stopListen();
    // The listener's worker uses hid; it must be gone before hid is.
    hid.waitListenEnded();
    controller->deleteLater();
}

TrayNotifier *Widget::desktopNotifier() const
{
    return m_ownNotifier.get();
}

myQQuickView *Widget::view() const
{
    return controller->view();
}

void Widget::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick && m_deviceConnected)
        postRestore();
}

void Widget::receiveMessage(QString)
{
    if (m_deviceConnected) {
        postRestore();
        return;
    }
    // Started again without a mouse: look once more (the user may have fixed what kept it away),
    // then show the window or say why there is none.
    checkDevice();
    if (m_deviceConnected)
        postRestore();
    else
        showStatus();
}

void Widget::startUp(bool hidden)
{
    if (!hidden)
        showNormal();
    checkDevice();
    if (!hidden && !m_deviceConnected)
        showStatus();
}

void Widget::exitSYS()
{
    m_quitting = true;
    hid.stopListen();
    QCoreApplication::exit(0);
}

void Widget::postRestore()
{
    QMetaObject::invokeMethod(this, [this] {
        // A Wayland client can neither undo a minimise (the compositor need not even say that it
        // happened) nor raise itself: shown afresh, the window comes back in front.
        if (isVisible() && !isActiveWindow()
            && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
            hide();
            setWindowState(windowState() & ~Qt::WindowMinimized);
        }
        setVisible(true);
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    }, Qt::QueuedConnection);
}

void Widget::onDeviceChanged()
{
    if (!hid.isListening())
        checkTimer.start();
}

void Widget::checkDevice()
{
    // The probe lets GUI events run (the status window's button, a second start); a check asked for
    // meanwhile comes after this one instead of replacing the table under it.
    if (m_checking) {
        checkTimer.start();
        return;
    }
    const QScopedValueRollback<bool> checking(m_checking, true);
    // A report that came in during a check can fire the timer after the listener started; the old
    // loop must be gone before its table is replaced.
    if (hid.isListening()) {
        hid.stopListen();
        hid.waitListenEnded();
    }
    DeviceTable table = DeviceDiscovery::readDeviceTable(
        QDir(m_modulesDir).filePath(QStringLiteral("setting/apConfig.bin")));
    if (HidBackend *backend = hid.backend())
        DeviceDiscovery::locateInterfaces(*backend, table);
    hid.setDeviceTable(table);

    QList<DeviceDiscovery::FailedProbe> failed;
    if (DeviceDiscovery::probeEntries(hid, table, &failed) >= 0) {
        DeviceDiscovery::CheckOutcome connected;
        connected.connected = true;
        noteOutcome(connected);
        connectDevice();
        return;
    }
    qDebug("Device DisConnect");
    m_deviceConnected = false;
    setVisible(false);
    noteOutcome(DeviceDiscovery::noMouseOutcome(failed));
}

void Widget::noteOutcome(const DeviceDiscovery::CheckOutcome &outcome)
{
    // Checks repeat on every device change; the reason is worth one line each time it changes.
    if (!outcome.connected && outcome != m_lastOutcome)
        qDebug().noquote() << DeviceDiscovery::describe(outcome);
    m_lastOutcome = outcome;
    if (m_status && !outcome.connected)
        m_status->setReason(outcome.reason);
}

void Widget::showStatus()
{
    if (!m_status) {
        m_status = std::make_unique<StatusWindow>();
        m_status->setTexts(m_statusTexts);
        connect(m_status.get(), &StatusWindow::checkAgainRequested, this, [this] {
            if (!m_deviceConnected)
                checkDevice();
        });
    }
    if (m_lastOutcome && !m_lastOutcome->connected)
        m_status->setReason(m_lastOutcome->reason);
    // Without a tray nothing shows that the program still runs once this window is closed; say it
    // the first time.
    const bool note = !m_backgroundNoteSaid && !trayAvailable();
    m_backgroundNoteSaid = m_backgroundNoteSaid || note;
    if (!m_status->isVisible())
        m_status->setBackgroundNoteShown(note);
    m_status->showCentred();
}

bool Widget::trayAvailable() const
{
    return m_trayAvailable ? m_trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

void Widget::setStartAtLogin(bool on)
{
    const bool done = on ? Autostart::enable(QCoreApplication::applicationFilePath()) : Autostart::disable();
    if (!done) {
        qDebug().noquote() << "Start at login: cannot change" << Autostart::entryPath();
        const QSignalBlocker blocker(m_startAtLogin);
        m_startAtLogin->setChecked(Autostart::isEnabled());
    }
}

void Widget::connectDevice()
{
    qDebug("Device Connect");
    myQQuickView *v = view();
    v->clearHidBusy();
    m_deviceConnected = true;
    showInfo(QStringLiteral("Detect Device"));
    hid.startListen(hid.currentIndex());
    v->mouseCommands().readProfileBlocksOnConnect();
    v->setEnabled(true);
    startUi();
    // The user was told there is no mouse: now there is, so the window comes instead.
    if (m_status && m_status->isVisible()) {
        m_status->hide();
        postRestore();
    }
}

void Widget::startUi()
{
    view()->initUI();
    QCoreApplication::postEvent(this, new UiStartEvent);
}

void Widget::customEvent(QEvent *event)
{
    const auto *start = dynamic_cast<UiStartEvent *>(event);
    if (start && start->tag == UiStartEvent::tagValue)
        view()->runUI();
}

void Widget::onDpiStageReported(int stage)
{
    if (m_quitting)
        return;
    view()->setCurrentDPI(stage);
    showInfo(dpiNoticeText(stage) + QLatin1Char(' '));
}

void Widget::onDeviceRemoved()
{
    view()->setDeviceConnected(false);
}

void Widget::showInfo(const QString &text)
{
    m_notifier->showMessage(QStringLiteral("Info"), text, QSystemTrayIcon::Information, balloonMs);
}
