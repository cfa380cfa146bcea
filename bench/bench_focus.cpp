// From a focus change to the first report leaving for the mouse: the program's real wiring (main
// window, the tool's request path, the focus switching) on the virtual mouse, with a stand-in
// watcher reporting 20 focus changes between two windows whose rules choose profiles 1 and 2.
// The protocol's own pauses are recorded, not waited for (virtual clock): the figure is the hold
// time plus what the program adds before its first report.
#include "AppRuleStore.h"
#include "AppRuleWiring.h"
#include "AppConfigStore.h"
#include "CtlRequests.h"
#include "FocusSwitcher.h"
#include "ShippedData.h"
#include "FocusWatcher.h"
#include "HostPointerSettings.h"
#include "ProtocolClock.h"
#include "SingleInstance.h"
#include "VirtualMouse.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

class StandInWatcher final : public FocusWatcher
{
public:
    bool start(QString *) override { return true; }
    QString scope() const override { return QStringLiteral("stand-in"); }
    void focus(const QString &cls) { emit focusChanged(FocusInfo{cls, cls, cls, 1, cls}); }
};

bool waitUntil(const std::function<bool()> &done, int timeoutMs = 30000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QTemporaryDir dir;
    const QString modules = dir.filePath(QStringLiteral("modules"));
    ShippedData::copyTo(modules);
    {
        QSettings names(modules + QStringLiteral("/setting/name.bin"), QSettings::IniFormat);
        names.setValue(QStringLiteral("profile/profileName"), QStringList{"Standard0", "Game1"});
        QSettings p2(modules + QStringLiteral("/setting/p2.bin"), QSettings::IniFormat);
        p2.setValue(QStringLiteral("mouse/dpiValueArray"), QStringList{"500", "1000", "1500", "2000", "2500", "3000", "3500", "4000"});
    }

    VirtualClock clock;
    VirtualMouseConfig model;
    model.family = QStringLiteral("560");
    model.isEncode = model.isGun = model.isColorful = true;
    VirtualMouse mouse(model, &clock);
    WidgetEnvironment env;
    env.backend = &mouse;
    env.clock = &clock;
    env.modulesDir = modules;
    env.trayAvailable = [] { return false; };
    Widget window(env);
    HostPointerSettings noDesktop; // no backend: the bench leaves the desktop's pointer alone
    window.view()->setHostPointerSettings(&noDesktop);
    {
        AppRuleStore rules(window.view()->appConfig());
        QString why;
        rules.add({AppRule::Kind::Class, QStringLiteral("bench-game"), 2}, &why);
        rules.add({AppRule::Kind::Class, QStringLiteral("bench-desk"), 1}, &why);
        rules.setEnabled(true, 1);
    }
    SingleInstance instance(SingleInstance::keyFor(dir.filePath(QStringLiteral("bench"))));
    instance.isRunning();
    CtlRequests requests(instance, window);
    auto owned = std::make_unique<StandInWatcher>();
    StandInWatcher *watcher = owned.get();
    AppRuleWiring wiring(window, requests, std::move(owned));

    window.startUp(true);
    const auto settled = [&] {
        QQuickItem *root = window.view()->rootObject();
        return root && root->property("isPownOn").toBool() && window.hid.hidReady() && !requests.busy();
    };
    if (!window.deviceConnected() || !waitUntil(settled)) {
        std::fprintf(stderr, "bench_focus: the program did not start on the virtual mouse\n");
        return 1;
    }

    QElapsedTimer clockReal;
    clockReal.start();
    std::atomic<qint64> firstReport{-1};
    mouse.setTraceSink([&](const QString &line) {
        if (line.contains(QLatin1String(" -> "))) {
            qint64 none = -1;
            firstReport.compare_exchange_strong(none, clockReal.nsecsElapsed());
        }
    });

    const int switches = 20;
    std::vector<double> delays;
    for (int i = 0; i < switches; ++i) {
        const bool game = i % 2 == 0;
        firstReport = -1;
        const qint64 t0 = clockReal.nsecsElapsed();
        watcher->focus(game ? QStringLiteral("bench-game") : QStringLiteral("bench-desk"));
        const int want = game ? 1 : 0;
        if (!waitUntil([&] { return firstReport >= 0; })
            || !waitUntil([&] {
                   return settled() && window.view()->appConfig().getGlobalData(QStringLiteral("mouse/profileNo")).toInt() == want;
               })) {
            std::fprintf(stderr, "bench_focus: switch %d did not happen (%s)\n", i + 1,
                         qPrintable(wiring.switcher().status()));
            return 1;
        }
        delays.push_back((firstReport - t0) / 1e6);
    }
    std::vector<double> sorted = delays;
    std::sort(sorted.begin(), sorted.end());
    const double hold = FocusSwitchPolicy::holdMs;
    std::printf("focus change to the first report for the mouse, %d switches (hold time %.0f ms)\n", switches, hold);
    std::printf("  min %.1f ms   median %.1f ms   max %.1f ms\n", sorted.front(), sorted[sorted.size() / 2], sorted.back());
    std::printf("  over the hold time: median %.1f ms, max %.1f ms (target: under 50 ms)\n",
                sorted[sorted.size() / 2] - hold, sorted.back() - hold);
    return sorted.back() - hold < 50 ? 0 : 2;
}
