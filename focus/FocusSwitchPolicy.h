#pragma once

#include "AppRuleMatch.h"

#include <QString>
#include <QStringList>

// When a focus change switches the profile, as pure logic over a clock the caller passes in (ms,
// any monotonic origin):
// - a change that selects another profile than the one in use switches once that selection has
//   held for holdMs (a quick alt-tab through other windows does nothing); a later change replaces
//   a pending one, and returning to a window of the profile in use cancels it;
// - the program's own windows (its process id or app id) are not a focus change;
// - a due switch waits while the mouse is busy with another exchange and while the window holds
//   unsaved changes (the status says so), and is never started while one is still running.
// The caller asks next() whenever something it passes in may have changed, and when the time
// next() named has come.
class FocusSwitchPolicy
{
public:
    static constexpr qint64 holdMs = 300;

    struct Step
    {
        enum Kind { Idle, Hold, Busy, Unsaved, Switch };
        Kind kind = Idle;
        qint64 dueAt = 0; // Hold: when to ask again
        int profile = 0;  // Switch, Busy, Unsaved: the profile due
    };

    void setOwn(qint64 pid, const QStringList &appIds) { m_ownPid = pid; m_ownIds = appIds; }
    bool isOwn(const FocusInfo &focus) const;

    // The profile in use (1..6), whoever chose it; a change from outside the policy shows in the
    // status as chosen by hand.
    void setProfileInUse(int profile);
    int profileInUse() const { return m_inUse; }

    // Returns false for the program's own windows, which change nothing.
    bool focusChanged(const FocusInfo &focus, const RuleChoice &choice, qint64 now);
    // Forgets a pending switch (the feature was turned off).
    void clear();

    Step next(qint64 now, bool mouseReady, bool unsaved);
    // The Switch step's outcome; until then every step is Busy.
    void switchDone(bool ok, const QString &why = QString());

    bool pending() const { return m_pending; }
    // What the switch in progress switches to.
    const RuleChoice &running() const { return m_running; }
    // Which rule chose the profile in use, or why a due switch waits.
    QString status() const { return m_status; }

private:
    QString settled(const RuleChoice &choice) const;

    qint64 m_ownPid = 0;
    QStringList m_ownIds;
    int m_inUse = 0;
    bool m_pending = false;
    bool m_switching = false;
    RuleChoice m_target;  // what the latest focus selects
    RuleChoice m_running; // what the switch in progress switches to
    qint64 m_since = 0;
    QString m_status;
};
