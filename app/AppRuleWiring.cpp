#include "AppRuleWiring.h"

#include "AppConfigStore.h"
#include "CtlRequests.h"
#include "FocusSwitcher.h"
#include "FocusWatcher.h"
#include "TrayNotifier.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QAction>
#include <QMenu>
#include <QQmlProperty>
#include <QQuickItem>
#include <QSignalBlocker>

namespace {

const QString NoticeKey = QStringLiteral("appRules/notice");
constexpr int noticeMs = 4000;

} // namespace

AppRuleWiring::AppRuleWiring(Widget &window, CtlRequests &requests, std::unique_ptr<FocusWatcher> watcher,
                             QObject *parent)
    : QObject(parent), m_window(window), m_tooltip(window.trayIcon->toolTip())
{
    myQQuickView &view = *window.view();
    AppConfigStore &config = view.appConfig();
    FocusSwitcher::Host host;
    host.profileInUse = [&config] {
        return config.getGlobalData(QStringLiteral("mouse/profileNo")).toInt() + 1;
    };
    host.mouseReady = [&window, &requests] {
        return window.deviceConnected() && window.hid.hidReady() && !requests.busy();
    };
    host.unsaved = [&view] {
        const QQuickItem *root = view.rootObject();
        return root && root->property("anyUnsaved").toBool();
    };
    host.switchTo = [&requests](int profile, std::function<void(bool, QString)> done) {
        requests.runOwn({QStringLiteral("profile"), QStringLiteral("use"), QString::number(profile)},
                        [done](const CtlOutput &out) { done(out.exitCode == 0, out.err.trimmed()); });
    };
    m_switcher = std::make_unique<FocusSwitcher>(config, host);

    // Tray: the switch, and whether an automatic switch shows a notice.
    m_enable = new QAction(tr("Profiles by application"), this);
    m_enable->setCheckable(true);
    m_notice = new QAction(tr("Notice when an application switches the profile"), this);
    m_notice->setCheckable(true);
    const auto sync = [this, &config] {
        const QSignalBlocker a(m_enable), b(m_notice);
        m_enable->setChecked(m_switcher->enabled());
        m_notice->setChecked(config.getGlobalData(NoticeKey).toString() != QLatin1String("false"));
        m_notice->setEnabled(m_enable->isChecked());
    };
    sync();
    connect(m_enable, &QAction::toggled, this, [this, sync](bool on) {
        m_switcher->setEnabled(on);
        sync();
    });
    connect(m_notice, &QAction::toggled, this, [&config](bool on) { config.setGlobalData(NoticeKey, on); });
    if (QMenu *menu = window.trayIcon->contextMenu()) {
        QAction *first = menu->actions().value(0);
        menu->insertAction(first, m_enable);
        menu->insertAction(first, m_notice);
        menu->insertSeparator(first);
        connect(menu, &QMenu::aboutToShow, this, sync); // the tool may have switched them
    }

    connect(m_switcher.get(), &FocusSwitcher::statusChanged, this, &AppRuleWiring::showStatus);
    connect(m_switcher.get(), &FocusSwitcher::switched, this, [this, &config](int profile, const QString &app) {
        if (config.getGlobalData(NoticeKey).toString() != QLatin1String("false") && m_window.notifier())
            m_window.notifier()->showMessage(QStringLiteral("Info"),
                                             app.isEmpty() ? tr("Profile %1 (desktop profile)").arg(profile)
                                                           : tr("Profile %1 for %2").arg(profile).arg(app),
                                             QSystemTrayIcon::Information, noticeMs);
    });
    view.setFocusSwitcher(m_switcher.get()); // the rules page, its status line, the tool's edits
    // A due switch waits while the window holds unsaved edits; it goes once they are saved or
    // dropped. (The document may be loaded later; the property is looked up each time it is built.)
    connect(&view, &QQuickWidget::statusChanged, this, [this, &view] {
        if (QQuickItem *root = view.rootObject())
            QQmlProperty(root, QStringLiteral("anyUnsaved")).connectNotifySignal(m_switcher.get(), SLOT(recheck()));
    });
    if (QQuickItem *root = view.rootObject())
        QQmlProperty(root, QStringLiteral("anyUnsaved")).connectNotifySignal(m_switcher.get(), SLOT(recheck()));

    QString why;
    if (!watcher)
        watcher = FocusWatchers::forDesktop(&why);
    m_switcher->setWatcher(std::move(watcher), why);
    showStatus(m_switcher->status());
}

AppRuleWiring::~AppRuleWiring() = default;

void AppRuleWiring::showStatus(const QString &status)
{
    m_window.trayIcon->setToolTip(m_tooltip + QLatin1Char('\n') + status);
}
