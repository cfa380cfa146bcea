#include "FocusSwitchPolicy.h"

bool FocusSwitchPolicy::isOwn(const FocusInfo &focus) const
{
    if (m_ownPid && focus.pid == m_ownPid)
        return true;
    for (const QString &id : m_ownIds) {
        if (!focus.cls.isEmpty() && focus.cls.compare(id, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString FocusSwitchPolicy::settled(const RuleChoice &choice) const
{
    const QString app = choice.app.isEmpty() ? QString() : QStringLiteral(" for %1").arg(choice.app);
    return QStringLiteral("Profile %1: %2%3").arg(choice.profile).arg(choice.reason(), app);
}

void FocusSwitchPolicy::setProfileInUse(int profile)
{
    if (profile == m_inUse)
        return;
    m_inUse = profile;
    if (!m_switching)
        m_status = QStringLiteral("Profile %1: chosen by hand").arg(profile);
}

bool FocusSwitchPolicy::focusChanged(const FocusInfo &focus, const RuleChoice &choice, qint64 now)
{
    if (isOwn(focus))
        return false;
    if (choice.profile == 0 || (choice.profile == m_inUse && !m_switching)) {
        // Nothing to switch to: a pending switch is cancelled (latest wins), the status names
        // what holds the profile in use now.
        m_pending = false;
        if (choice.profile != 0)
            m_status = settled(choice);
        return true;
    }
    if (!m_pending || m_target.profile != choice.profile)
        m_since = now; // the hold restarts only when the selection changes
    m_pending = true;
    m_target = choice;
    return true;
}

void FocusSwitchPolicy::clear()
{
    m_pending = false;
}

FocusSwitchPolicy::Step FocusSwitchPolicy::next(qint64 now, bool mouseReady, bool unsaved)
{
    Step step;
    step.profile = m_target.profile;
    if (!m_pending)
        return step;
    if (now - m_since < holdMs) {
        step.kind = Step::Hold;
        step.dueAt = m_since + holdMs;
        return step;
    }
    if (m_switching || !mouseReady) {
        step.kind = Step::Busy;
        return step;
    }
    if (m_target.profile == m_inUse) { // chosen meanwhile by someone else
        m_pending = false;
        m_status = settled(m_target);
        return Step{};
    }
    if (unsaved) {
        step.kind = Step::Unsaved;
        m_status = QStringLiteral("Profile %1 kept: the window has unsaved changes (save them to switch to profile %2 for %3)")
                       .arg(m_inUse).arg(m_target.profile).arg(m_target.app);
        return step;
    }
    step.kind = Step::Switch;
    m_pending = false;
    m_switching = true;
    m_running = m_target; // a change during the switch replaces m_target, not what runs
    return step;
}

void FocusSwitchPolicy::switchDone(bool ok, const QString &why)
{
    if (!m_switching)
        return;
    m_switching = false;
    if (ok) {
        m_inUse = m_running.profile;
        m_status = settled(m_running);
    } else {
        m_status = QStringLiteral("Profile %1 kept: switching to profile %2 failed: %3").arg(m_inUse).arg(m_running.profile).arg(why);
    }
}
