#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class AppConfigStore;

// One application rule: while a window that matches has the focus, the mouse uses `profile`.
struct AppRule
{
    enum class Kind { Class, Exe, Title };

    Kind kind = Kind::Class;
    QString text;    // compared without regard to case; Title matches a part of the title
    int profile = 1; // 1..6, as the user counts profiles

    static constexpr int maxTextLength = 200;

    // "class:TEXT", "exe:TEXT" or "title:TEXT": the form the configuration, the tool and the page
    // use. Refused (nullopt, with `why`) for another kind, an empty or over-long text, or a
    // profile outside 1..6.
    static std::optional<AppRule> parse(const QString &match, int profile, QString *why);
    QString match() const;

    static QString kindName(Kind kind);
    static const QStringList &kindNames(); // "class", "exe", "title"

    bool operator==(const AppRule &o) const
    {
        return kind == o.kind && text == o.text && profile == o.profile;
    }
};

// The rules and the feature's switches, kept as the group [appRules] of the application
// configuration (apConfig.bin); a configuration without the group has no rules and the feature
// off, and nothing outside the group is read or written. The rules belong to this computer: they
// live in no profile file, so a profile's export and import do not carry them.
//
//     [appRules]
//     enabled=true
//     desktopProfile=1          ; 1..6; absent: not chosen yet
//     count=2
//     rule1=class:steam_app_570
//     profile1=3
//     rule2=title:Counter
//     profile2=4
//
// The store keeps nothing itself: every call reads the open configuration, so the window, the
// focus switcher and a handed-over tool command always see the same rules.
//
// API for the page (numbers are 1-based everywhere, as shown to the user):
//   rules()                         all valid rules in order (a damaged row is skipped, and
//                                   `problems` says which and why)
//   add(rule)                       appends; false with `why` when refused
//   remove(n)                       removes rule n (1..count); false with `why` when no such rule
//   rulesOf(profile)                the rules that choose one profile, with their numbers
//   enabled() / setEnabled(on, currentProfile)
//                                   turning the feature on fixes the desktop profile to the
//                                   profile in use when none was chosen before
//   desktopProfile() / setDesktopProfile(p)
class AppRuleStore
{
public:
    static constexpr int profileCount = 6;
    static constexpr int maxRules = 100;

    explicit AppRuleStore(AppConfigStore &config) : m_config(config) {}

    // Damaged rows go to `problems`, or to the log when it is null.
    QList<AppRule> rules(QStringList *problems = nullptr) const;
    QList<QPair<int, AppRule>> rulesOf(int profile) const;
    bool add(const AppRule &rule, QString *why);
    bool remove(int number, QString *why);

    bool enabled() const;
    // `currentProfile` (1..6) becomes the desktop profile when none is chosen yet.
    void setEnabled(bool on, int currentProfile);

    // 0 when none is chosen (or the stored one is not 1..6).
    int desktopProfile() const;
    bool setDesktopProfile(int profile, QString *why);

    static bool validProfile(int profile) { return profile >= 1 && profile <= profileCount; }

private:
    void write(const QList<AppRule> &rules);

    AppConfigStore &m_config;
};
