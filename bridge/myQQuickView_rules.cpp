// Application rule slots of the view: thin calls into AppRuleStore over the view's configuration
// and into the focus switching, whose status and focused windows reach the document as the view's
// ruleStatus and focusedWindow.
#include "myQQuickView.h"

#include "AppConfigStore.h"
#include "AppRuleStore.h"
#include "FocusSwitcher.h"

#include <QVariantMap>

void myQQuickView::setFocusSwitcher(FocusSwitcher *switcher)
{
    if (m_switcher)
        disconnect(m_switcher, nullptr, this, nullptr);
    m_switcher = switcher;
    if (switcher) {
        connect(switcher, &FocusSwitcher::statusChanged, this, &myQQuickView::ruleStatusChanged);
        connect(switcher, &FocusSwitcher::windowFocused, this, [this](const FocusInfo &f) {
            emit focusedWindow(f.cls.isEmpty() ? f.instance : f.cls, f.exe, f.title);
        });
    }
    emit ruleStatusChanged();
}

QString myQQuickView::ruleStatus() const
{
    return m_switcher && m_switcher->enabled() ? m_switcher->status() : QString();
}

void myQQuickView::appRulesEdited()
{
    if (m_switcher)
        m_switcher->rulesChanged();
}

QVariantList myQQuickView::appRules(int profile)
{
    QVariantList out;
    for (const auto &[number, rule] : AppRuleStore(*m_appConfig).rulesOf(profile))
        out.append(QVariantMap{{QStringLiteral("number"), number},
                               {QStringLiteral("kind"), AppRule::kindName(rule.kind)},
                               {QStringLiteral("text"), rule.text},
                               {QStringLiteral("match"), rule.match()}});
    return out;
}

QString myQQuickView::addAppRule(int profile, QString kind, QString text)
{
    QString why;
    const auto rule = AppRule::parse(kind + QLatin1Char(':') + text, profile, &why);
    if (!rule || !AppRuleStore(*m_appConfig).add(*rule, &why))
        return why;
    appRulesEdited();
    return {};
}

QString myQQuickView::removeAppRule(int number, int profile, QString match)
{
    AppRuleStore store(*m_appConfig);
    // The tool may have changed the rules since the page listed them: remove only the rule shown.
    const QList<AppRule> all = store.rules();
    if (number < 1 || number > all.size() || all.at(number - 1).profile != profile
        || all.at(number - 1).match() != match)
        return QStringLiteral("the rules changed meanwhile; the list shows them again");
    QString why;
    if (!store.remove(number, &why))
        return why;
    appRulesEdited();
    return {};
}

bool myQQuickView::appRulesEnabled()
{
    return AppRuleStore(*m_appConfig).enabled();
}

void myQQuickView::setAppRulesEnabled(bool on, int currentProfile)
{
    if (m_switcher)
        m_switcher->setEnabled(on); // also judges the window in front at once
    else
        AppRuleStore(*m_appConfig).setEnabled(on, currentProfile);
}

int myQQuickView::appRulesDesktopProfile()
{
    return AppRuleStore(*m_appConfig).desktopProfile();
}

QString myQQuickView::setAppRulesDesktopProfile(int profile)
{
    QString why;
    if (!AppRuleStore(*m_appConfig).setDesktopProfile(profile, &why))
        return why;
    appRulesEdited();
    return {};
}

QString myQQuickView::pickWindow()
{
    if (m_switcher && m_switcher->watcher())
        return {};
    const QString why = m_switcher ? m_switcher->whyNoWatcher() : QString();
    return why.isEmpty() ? QStringLiteral("no focus watcher runs") : why;
}
