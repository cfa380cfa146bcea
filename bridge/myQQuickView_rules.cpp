// Application rule slots of the view: thin calls into AppRuleStore over the view's configuration,
// and the hand-over of the focus switching's status and picked windows to the document (as
// signals of the view).
#include "myQQuickView.h"

#include "AppConfigStore.h"
#include "AppRuleStore.h"

#include <QPointer>
#include <QThread>
#include <QVariantMap>

void myQQuickView::setAppRuleHooks(AppRuleHooks hooks)
{
    m_ruleHooks = std::move(hooks);
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
    if (m_ruleHooks.rulesChanged)
        m_ruleHooks.rulesChanged();
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
    if (m_ruleHooks.rulesChanged)
        m_ruleHooks.rulesChanged();
    return {};
}

bool myQQuickView::appRulesEnabled()
{
    return AppRuleStore(*m_appConfig).enabled();
}

void myQQuickView::setAppRulesEnabled(bool on, int currentProfile)
{
    if (m_ruleHooks.setEnabled)
        m_ruleHooks.setEnabled(on);
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
    if (m_ruleHooks.rulesChanged)
        m_ruleHooks.rulesChanged();
    return {};
}

QString myQQuickView::pickWindow()
{
    if (!m_ruleHooks.pickWindow)
        return QStringLiteral("no focus watcher runs");
    const int generation = ++m_pickGeneration;
    QPointer<myQQuickView> self(this);
    QString why;
    m_picking = true;
    const bool started = m_ruleHooks.pickWindow(
        [self, generation](const QString &cls, const QString &exe, const QString &title) {
            if (!self)
                return;
            // Watchers may report from another thread; the document belongs to this one.
            QMetaObject::invokeMethod(
                self.data(),
                [self, generation, cls, exe, title] {
                    if (!self || !self->m_picking || generation != self->m_pickGeneration)
                        return;
                    self->m_picking = false;
                    emit self->windowPicked(cls, exe, title);
                },
                Qt::QueuedConnection);
        },
        &why);
    if (!started) {
        m_picking = false;
        return why.isEmpty() ? QStringLiteral("no focus watcher runs") : why;
    }
    return {};
}

void myQQuickView::cancelPickWindow()
{
    m_picking = false;
    ++m_pickGeneration;
}

QString myQQuickView::focusStatus()
{
    return m_focusStatus;
}

void myQQuickView::setFocusStatus(QString status)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, status] { setFocusStatus(status); }, Qt::QueuedConnection);
        return;
    }
    if (status == m_focusStatus)
        return;
    m_focusStatus = status;
    emit focusStatusChanged(status);
}
