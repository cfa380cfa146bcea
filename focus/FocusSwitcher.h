#pragma once

#include "AppRuleStore.h"
#include "FocusSwitchPolicy.h"
#include "FocusWatcher.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// Carries out FocusSwitchPolicy for the program: takes the watcher's reports, reads the rules
// afresh for each (the tool and the page may have changed them), and asks the host to switch when
// the policy says so. All the program's own state comes in through the host's functions.
class FocusSwitcher : public QObject
{
    Q_OBJECT

public:
    struct Host
    {
        std::function<int()> profileInUse; // 1..6
        std::function<bool()> mouseReady;  // no exchange with the mouse is running
        std::function<bool()> unsaved;     // the window holds edits not yet saved
        // Switches as the profile drop-down does; `done` is called once it is over.
        std::function<void(int profile, std::function<void(bool ok, QString why)> done)> switchTo;
        std::function<qint64()> now;       // ms; null: a monotonic clock
    };

    FocusSwitcher(AppConfigStore &config, Host host, QObject *parent = nullptr);
    ~FocusSwitcher() override;

    // Takes over the watcher (null: none could start, `why` says why) and starts it.
    void setWatcher(std::unique_ptr<FocusWatcher> watcher, const QString &why);
    FocusWatcher *watcher() const { return m_watcher.get(); }
    QString whyNoWatcher() const { return m_noWatcher; } // while watcher() is null
    FocusSwitchPolicy &policy() { return m_policy; }

    bool enabled() const;
    // Stored in the rules group; turning on applies the window that has the focus now.
    void setEnabled(bool on);

    // Which rule chose the profile in use, why a switch waits, or why the feature is idle.
    QString status() const { return m_status; }

public slots:
    void onFocus(const FocusInfo &focus);
    // The rules or their switch were edited (the page, the tool).
    void rulesChanged();
    // Something the host reports changed (profile in use, unsaved edits, end of an exchange).
    void recheck();

signals:
    void statusChanged(const QString &status);
    // Another program's window took the focus (whether or not the rules are on).
    void windowFocused(const FocusInfo &focus);
    // After an automatic switch, for the balloon.
    void switched(int profile, const QString &app);

private:
    qint64 now() const;
    void apply(const FocusInfo &focus);
    void setStatus(const QString &status);
    void updateStatus();

    AppRuleStore m_rules;
    Host m_host;
    FocusSwitchPolicy m_policy;
    std::unique_ptr<FocusWatcher> m_watcher;
    QString m_noWatcher;
    std::optional<FocusInfo> m_last;
    QTimer m_timer;
    QString m_status;
};
