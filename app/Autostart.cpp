#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace Autostart {

namespace {

// Characters after which an argument must be quoted in an Exec line.
const QString reservedCharacters = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

QString quoteArgument(const QString &argument)
{
    QString quoted = argument;
    // A literal percent sign would start a field code.
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    const bool needsQuotes = argument.isEmpty()
        || std::any_of(argument.cbegin(), argument.cend(), [](QChar c) { return reservedCharacters.contains(c); });
    if (!needsQuotes)
        return quoted;
    QString inner;
    for (const QChar c : std::as_const(quoted)) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            inner += QLatin1Char('\\');
        inner += c;
    }
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

// The string escapes of a desktop entry value, applied on top of the Exec quoting.
QString escapeValue(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

} // namespace

QString entryPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart/kestrel-orbit.desktop"));
}

bool isEnabled()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // A desktop's own settings may keep the file and switch it off instead of removing it.
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return false;
    }
    return true;
}

QString execLine(const QStringList &argv)
{
    QStringList quoted;
    for (const QString &argument : argv)
        quoted << quoteArgument(argument);
    return escapeValue(quoted.join(QLatin1Char(' ')));
}

QByteArray entryText(const QString &program)
{
    const QString text = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Kestrel Orbit\n"
        "Comment=Keeps the Kestrel Orbit mouse utility in the tray\n"
        "Exec=%1\n"
        "Icon=kestrel-orbit\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n")
        .arg(execLine({program, QStringLiteral("--hidden")}));
    return text.toUtf8();
}

bool enable(const QString &program)
{
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entryText(program));
    return file.commit();
}

bool disable()
{
    const QString path = entryPath();
    return !QFileInfo::exists(path) || QFile::remove(path);
}

} // namespace Autostart
