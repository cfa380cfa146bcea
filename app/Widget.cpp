#include "Widget.h"

#include "DeviceDiscovery.h"
#include "HotplugMonitor.h"
#include "LanguageStore.h"
#include "TrayNotifier.h"
#include "UiStartEvent.h"
#include "Ui_Controler.h"
#include "myQQuickView.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QIcon>
#include <QMenu>

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

class SystemTrayNotifier final : public TrayNotifier
{
public:
    explicit SystemTrayNotifier(QSystemTrayIcon *icon) : m_icon(icon) {}
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int millisecondsTimeout) override
    {
        m_icon->showMessage(title, text, icon, millisecondsTimeout);
    }

private:
    QSystemTrayIcon *m_icon;
};

} // namespace

Widget::Widget(QWidget *parent) : Widget(WidgetEnvironment{}, parent)
{
}

Widget::Widget(const WidgetEnvironment &environment, QWidget *parent)
    : QWidget(parent)
    , m_modulesDir(environment.modulesDir)
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
    auto *quit = new QAction(tr("Quit (&Q)"), this);
    connect(quit, &QAction::triggered, this, &Widget::exitSYS);
    auto *menu = new QMenu(this);
    menu->addAction(quit);
    menu->setStyleSheet(QLatin1String(menuStyle));
    trayIcon->setContextMenu(menu);
    trayIcon->setToolTip(QStringLiteral("KESTREL ORBIT MOUSE K7"));
    trayIcon->setIcon(QIcon(QDir(m_modulesDir).filePath(QStringLiteral("img/logo.ico"))));
    connect(trayIcon, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    trayIcon->setVisible(true);

    m_notifier = environment.notifier;
    if (!m_notifier) {
        m_ownNotifier = std::make_unique<SystemTrayNotifier>(trayIcon);
        m_notifier = m_ownNotifier.get();
    }
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
    if (m_deviceConnected)
        postRestore();
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

    for (int index = 0; index < table.size(); ++index) {
        if (table.at(index).commandPath.isEmpty())
            continue;
        if (hid.chkDeviceIsEnCode(index)) {
            connectDevice();
            return;
        }
    }
    qDebug("Device DisConnect");
    m_deviceConnected = false;
    setVisible(false);
}

void Widget::connectDevice()
{
    qDebug("Device Connect");
    myQQuickView *v = view();
    v->clearHidBusy();
    m_deviceConnected = true;
    showInfo(QStringLiteral("Detect Device"));
    hid.startListen(hid.currentIndex());
    if (v->modelFlags().is560()) {
        const uint blocks = v->modelFlags().isGun ? 5 : 2;
        for (uint block = 0; block < blocks; ++block)
            v->mouseReadProfile(block);
    }
    v->setEnabled(true);
    startUi();
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
    view()->setEnabled(false);
}

void Widget::showInfo(const QString &text)
{
    m_notifier->showMessage(QStringLiteral("Info"), text, QSystemTrayIcon::Information, balloonMs);
}
