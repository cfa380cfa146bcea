#include "FocusSwitcher.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QPointer>

namespace {

// How often a due switch looks again while the mouse is busy (as the tool's requests do).
constexpr int busyRetryMs = 20;

} // namespace

FocusSwitcher::FocusSwitcher(AppConfigStore &config, Host host, QObject *parent)
    : QObject(parent), m_rules(config), m_host(std::move(host))
{
    m_policy.setOwn(QCoreApplication::applicationPid(),
                    {QCoreApplication::applicationName(), QStringLiteral("kestrel-orbit")});
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FocusSwitcher::recheck);
    updateStatus();
}

FocusSwitcher::~FocusSwitcher() = default;

qint64 FocusSwitcher::now() const
{
    if (m_host.now)
        return m_host.now();
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

void FocusSwitcher::setWatcher(std::unique_ptr<FocusWatcher> watcher, const QString &why)
{
    m_watcher = std::move(watcher);
    m_noWatcher = why;
    if (m_watcher) {
        connect(m_watcher.get(), &FocusWatcher::focusChanged, this, &FocusSwitcher::onFocus);
        QString failed;
        if (!m_watcher->start(&failed)) {
            m_noWatcher = failed;
            m_watcher.reset();
        }
    }
    if (!m_noWatcher.isEmpty())
        qInfo().noquote() << "Application rules:" << m_noWatcher;
    else
        qInfo().noquote() << "Application rules see" << m_watcher->scope();
    updateStatus();
}

bool FocusSwitcher::enabled() const
{
    return m_rules.enabled();
}

void FocusSwitcher::setEnabled(bool on)
{
    m_rules.setEnabled(on, m_host.profileInUse());
    rulesChanged();
}

void FocusSwitcher::rulesChanged()
{
    m_policy.clear();
    if (m_rules.enabled() && m_last)
        apply(*m_last); // the window in front is judged by the new rules
    else
        recheck();
}

void FocusSwitcher::onFocus(const FocusInfo &reported)
{
    FocusInfo focus = reported;
    if (focus.exe.isEmpty())
        focus.exe = AppRuleMatch::exeNameOfPid(focus.pid);
    if (m_policy.isOwn(focus))
        return;
    m_last = focus;
    emit windowFocused(focus);
    apply(focus);
}

void FocusSwitcher::apply(const FocusInfo &focus)
{
    if (!m_rules.enabled())
        return;
    m_policy.setProfileInUse(m_host.profileInUse());
    int desktop = m_rules.desktopProfile();
    m_policy.focusChanged(focus, AppRuleMatch::choose(m_rules.rules(), focus, desktop), now());
    recheck();
}

void FocusSwitcher::recheck()
{
    m_timer.stop();
    if (!m_rules.enabled()) {
        m_policy.clear();
        updateStatus();
        return;
    }
    m_policy.setProfileInUse(m_host.profileInUse());
    const qint64 t = now();
    const FocusSwitchPolicy::Step step = m_policy.next(t, m_host.mouseReady(), m_host.unsaved());
    switch (step.kind) {
    case FocusSwitchPolicy::Step::Hold:
        m_timer.start(int(qMax<qint64>(0, step.dueAt - t)));
        break;
    case FocusSwitchPolicy::Step::Busy:
        m_timer.start(busyRetryMs);
        break;
    case FocusSwitchPolicy::Step::Switch: {
        const QString app = m_policy.running().app;
        const int profile = step.profile;
        QPointer<FocusSwitcher> self(this);
        m_host.switchTo(profile, [self, this, profile, app](bool ok, const QString &why) {
            if (!self)
                return;
            m_policy.switchDone(ok, why);
            updateStatus();
            if (ok)
                emit switched(profile, app);
            recheck(); // a change that came in meanwhile
        });
        break;
    }
    case FocusSwitchPolicy::Step::Idle:
    case FocusSwitchPolicy::Step::Unsaved: // asked again when the edits are saved or dropped
        break;
    }
    updateStatus();
}

void FocusSwitcher::updateStatus()
{
    if (!m_rules.enabled())
        setStatus(QStringLiteral("Application rules are off"));
    else if (!m_watcher)
        setStatus(QStringLiteral("Application rules see no windows here: %1").arg(m_noWatcher));
    else if (m_policy.status().isEmpty())
        setStatus(QStringLiteral("Profile %1: waiting for a window to take the focus (%2)")
                      .arg(m_host.profileInUse()).arg(m_watcher->scope()));
    else
        setStatus(m_policy.status());
}

void FocusSwitcher::setStatus(const QString &status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged(status);
}
