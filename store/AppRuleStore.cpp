#include "AppRuleStore.h"

#include "AppConfigStore.h"

#include <QDebug>
#include <QVariant>

namespace {

const QString Group = QStringLiteral("appRules/");

QString key(const char *name, int n = 0)
{
    return n ? Group + QLatin1String(name) + QString::number(n) : Group + QLatin1String(name);
}

// A value the settings facility split at commas (a hand-edited file without quotes) is one text.
QString text(const QVariant &value)
{
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1String(", "))
                                                    : value.toString();
}

// A whole number, or nullopt for anything else (absent, empty, "3x").
std::optional<int> number(const QVariant &value)
{
    bool ok = false;
    const int n = text(value).trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

} // namespace

const QStringList &AppRule::kindNames()
{
    static const QStringList names{QStringLiteral("class"), QStringLiteral("exe"), QStringLiteral("title")};
    return names;
}

QString AppRule::kindName(Kind kind)
{
    return kindNames().at(int(kind));
}

QString AppRule::match() const
{
    return kindName(kind) + QLatin1Char(':') + text;
}

std::optional<AppRule> AppRule::parse(const QString &match, int profile, QString *why)
{
    const int colon = match.indexOf(QLatin1Char(':'));
    const int kind = colon < 0 ? -1 : kindNames().indexOf(match.left(colon));
    AppRule rule;
    rule.text = colon < 0 ? QString() : match.mid(colon + 1);
    if (kind < 0)
        *why = QStringLiteral("a match is class:TEXT, exe:TEXT or title:TEXT, not \"%1\"").arg(match);
    else if (rule.text.trimmed().isEmpty())
        *why = QStringLiteral("the match \"%1\" has no text").arg(match);
    else if (rule.text.size() > maxTextLength)
        *why = QStringLiteral("the match text is longer than %1 characters").arg(maxTextLength);
    else if (rule.text.contains(QChar(0)) || rule.text.contains(QLatin1Char('\n')))
        *why = QStringLiteral("the match text holds a control character");
    else if (!AppRuleStore::validProfile(profile))
        *why = QStringLiteral("there is no profile %1 (profiles are 1 to %2)").arg(profile).arg(AppRuleStore::profileCount);
    else {
        rule.kind = Kind(kind);
        rule.profile = profile;
        return rule;
    }
    return std::nullopt;
}

QList<AppRule> AppRuleStore::rules(QStringList *problems) const
{
    QStringList found;
    QList<AppRule> rules;
    const QVariant storedCount = m_config.getGlobalData(key("count"));
    const std::optional<int> count = number(storedCount);
    if (storedCount.isValid() && (!count || *count < 0 || *count > maxRules))
        found << QStringLiteral("appRules/count is not a number from 0 to %1; no rule is used").arg(maxRules);
    for (int n = 1; count && *count <= maxRules && n <= *count; ++n) {
        QString why;
        const std::optional<int> profile = number(m_config.getGlobalData(key("profile", n)));
        const auto rule = AppRule::parse(text(m_config.getGlobalData(key("rule", n))), profile.value_or(0), &why);
        if (rule)
            rules << *rule;
        else
            found << QStringLiteral("appRules rule %1 skipped: %2").arg(n).arg(why);
    }
    if (problems)
        *problems = found;
    else
        for (const QString &p : std::as_const(found))
            qWarning().noquote() << p;
    return rules;
}

QList<QPair<int, AppRule>> AppRuleStore::rulesOf(int profile) const
{
    QList<QPair<int, AppRule>> out;
    const QList<AppRule> all = rules();
    for (int i = 0; i < all.size(); ++i) {
        if (all.at(i).profile == profile)
            out.append({i + 1, all.at(i)});
    }
    return out;
}

bool AppRuleStore::add(const AppRule &rule, QString *why)
{
    if (!AppRule::parse(rule.match(), rule.profile, why))
        return false;
    QList<AppRule> all = rules();
    if (all.contains(rule)) {
        *why = QStringLiteral("profile %1 already has the rule %2").arg(rule.profile).arg(rule.match());
        return false;
    }
    if (all.size() >= maxRules) {
        *why = QStringLiteral("there are already %1 rules").arg(maxRules);
        return false;
    }
    all << rule;
    write(all);
    return true;
}

bool AppRuleStore::remove(int number, QString *why)
{
    QList<AppRule> all = rules();
    if (number < 1 || number > all.size()) {
        *why = all.isEmpty() ? QStringLiteral("there are no rules")
                             : QStringLiteral("there is no rule %1 (rules are 1 to %2)").arg(number).arg(all.size());
        return false;
    }
    all.removeAt(number - 1);
    write(all);
    return true;
}

// Rows past the new count are removed, so a shorter list leaves no stale rows behind (a damaged row
// that was skipped is dropped with them).
void AppRuleStore::write(const QList<AppRule> &rules)
{
    const int oldCount = qBound(0, number(m_config.getGlobalData(key("count"))).value_or(0), maxRules);
    for (int n = 1; n <= rules.size(); ++n) {
        m_config.setGlobalData(key("rule", n), rules.at(n - 1).match());
        m_config.setGlobalData(key("profile", n), rules.at(n - 1).profile);
    }
    for (int n = rules.size() + 1; n <= oldCount; ++n) {
        m_config.removeGlobalData(key("rule", n));
        m_config.removeGlobalData(key("profile", n));
    }
    m_config.setGlobalData(key("count"), int(rules.size()));
}

bool AppRuleStore::enabled() const
{
    return text(m_config.getGlobalData(key("enabled"))) == QLatin1String("true");
}

void AppRuleStore::setEnabled(bool on, int currentProfile)
{
    if (on && desktopProfile() == 0 && validProfile(currentProfile))
        m_config.setGlobalData(key("desktopProfile"), currentProfile);
    m_config.setGlobalData(key("enabled"), on);
}

int AppRuleStore::desktopProfile() const
{
    const int p = number(m_config.getGlobalData(key("desktopProfile"))).value_or(0);
    return validProfile(p) ? p : 0;
}

bool AppRuleStore::setDesktopProfile(int profile, QString *why)
{
    if (!validProfile(profile)) {
        *why = QStringLiteral("there is no profile %1 (profiles are 1 to %2)").arg(profile).arg(profileCount);
        return false;
    }
    m_config.setGlobalData(key("desktopProfile"), profile);
    return true;
}
