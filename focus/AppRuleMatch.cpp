#include "AppRuleMatch.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

QString RuleChoice::reason() const
{
    return rule ? QStringLiteral("rule %1 (%2)").arg(rule).arg(match) : QStringLiteral("desktop profile");
}

namespace AppRuleMatch {

namespace {

bool same(const QString &a, const QString &b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

bool matches(const AppRule &rule, const FocusInfo &focus)
{
    switch (rule.kind) {
    case AppRule::Kind::Class:
        return same(focus.cls, rule.text) || same(focus.instance, rule.text);
    case AppRule::Kind::Exe:
        return same(focus.exe, rule.text);
    case AppRule::Kind::Title:
        return focus.title.contains(rule.text, Qt::CaseInsensitive);
    }
    return false;
}

QString baseName(const QString &path)
{
    const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

} // namespace

RuleChoice choose(const QList<AppRule> &rules, const FocusInfo &focus, int desktopProfile)
{
    RuleChoice choice;
    choice.app = focus.label();
    for (int i = 0; i < rules.size(); ++i) {
        if (matches(rules.at(i), focus)) {
            choice.profile = rules.at(i).profile;
            choice.rule = i + 1;
            choice.match = rules.at(i).match();
            return choice;
        }
    }
    choice.profile = desktopProfile;
    return choice;
}

QString exeNameOf(const QString &exeTarget, const QStringList &cmdline)
{
    QString name = baseName(exeTarget);
    if (name.endsWith(QLatin1String(" (deleted)")))
        name.chop(10);
    // Only Wine's own processes, so a native program given a ".exe" file keeps its own name.
    const bool wine = name.startsWith(QLatin1String("wine"))
                      || cmdline.value(0).endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
    for (const QString &arg : cmdline) {
        if (wine && arg.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
            return baseName(arg);
    }
    return name.isEmpty() && !cmdline.isEmpty() ? baseName(cmdline.first()) : name;
}

QString exeNameOfPid(qint64 pid, const QString &procRoot)
{
    if (pid <= 0)
        return QString();
    const QString dir = procRoot + QLatin1Char('/') + QString::number(pid);
    QFile file(dir + QLatin1String("/cmdline"));
    QStringList cmdline;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &arg : file.read(64 * 1024).split('\0'))
            if (!arg.isEmpty())
                cmdline << QString::fromLocal8Bit(arg);
    }
    return exeNameOf(QFileInfo(dir + QLatin1String("/exe")).symLinkTarget(), cmdline);
}

} // namespace AppRuleMatch
