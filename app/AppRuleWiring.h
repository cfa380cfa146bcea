#pragma once

#include "FocusWatcher.h"

#include <QObject>
#include <QString>

#include <memory>

class CtlRequests;
class FocusSwitcher;
class QAction;
class Widget;

// Profiles chosen by the focused application, wired into the program: an automatic switch is the
// request "profile use N" on the path the tool's hand-over takes (it waits for the window's own
// exchanges and the tool's requests, stores the choice and updates the window as the profile
// drop-down does); the tray menu turns the rules on and off and, optionally, a notice names the
// profile and the application; the tray tooltip, the window (through the view's
// ruleStatus) and `kestrel-orbit-ctl status` say which rule chose the profile; the rules page picks
// windows and turns the rules on and off through the same switcher.
class AppRuleWiring : public QObject
{
    Q_OBJECT

public:
    // `watcher`: null takes the one for the running desktop.
    AppRuleWiring(Widget &window, CtlRequests &requests, std::unique_ptr<FocusWatcher> watcher = {},
                  QObject *parent = nullptr);
    ~AppRuleWiring() override;

    FocusSwitcher &switcher() { return *m_switcher; }
    QAction *enableAction() const { return m_enable; }
    QAction *noticeAction() const { return m_notice; }

private:
    void showStatus(const QString &status);

    Widget &m_window;
    std::unique_ptr<FocusSwitcher> m_switcher;
    QAction *m_enable = nullptr;
    QAction *m_notice = nullptr;
    QString m_tooltip;
};
