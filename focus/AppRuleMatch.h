#pragma once

#include "AppRuleStore.h"
#include "FocusInfo.h"

#include <QStringList>

// Which profile a focused window selects.
struct RuleChoice
{
    int profile = 0;   // 1..6; 0 when there is neither a matching rule nor a desktop profile
    int rule = 0;      // 1-based number of the rule that matched; 0: the desktop profile
    QString match;     // the rule's "kind:text", empty for the desktop profile
    QString app;       // FocusInfo::label() of the window

    // "rule 2 (class:steam_app_570)" or "desktop profile".
    QString reason() const;
    bool operator==(const RuleChoice &o) const
    {
        return profile == o.profile && rule == o.rule && match == o.match && app == o.app;
    }
};

namespace AppRuleMatch {

// The first rule, in order, that the window matches: a class rule equals either part of WM_CLASS
// or the app id, an exe rule equals the executable name, a title rule is a part of the title; all
// without regard to case. Without a match, the desktop profile.
RuleChoice choose(const QList<AppRule> &rules, const FocusInfo &focus, int desktopProfile);

// The executable name of a process from its /proc/<pid>/exe target and command line. A program run
// by Wine or Proton names its Windows executable on the command line ("…\\Game.exe" or
// "…/Game.exe"); that name is taken, since the process image is Wine's own loader.
QString exeNameOf(const QString &exeTarget, const QStringList &cmdline);

// The same, read from /proc (empty when the process is gone or not ours to read).
QString exeNameOfPid(qint64 pid, const QString &procRoot = QStringLiteral("/proc"));

} // namespace AppRuleMatch
