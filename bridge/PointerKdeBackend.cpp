#include "PointerBackends.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include <utility>

namespace {

// KDE configuration files mark what the user may not change with "[$i]" (possibly among other
// flags, as "[$ie]"): alone before the first group, after a group name, or after a key.
bool markedImmutable(const QByteArray &marks)
{
    for (qsizetype at = marks.indexOf("[$"); at >= 0; at = marks.indexOf("[$", at + 2)) {
        const qsizetype end = marks.indexOf(']', at);
        if (marks.mid(at + 2, end < 0 ? -1 : end - at - 2).contains('i'))
            return true;
    }
    return false;
}

// The key of "key[marks]=value", without its marks; empty for other lines.
QByteArray keyOf(const QByteArray &line, QByteArray *marks)
{
    const int eq = line.indexOf('=');
    if (eq <= 0)
        return {};
    QByteArray key = line.left(eq).trimmed();
    const int bracket = key.indexOf('[');
    *marks = bracket < 0 ? QByteArray() : key.mid(bracket);
    return bracket < 0 ? key : key.left(bracket);
}

} // namespace

std::optional<QByteArray> withKdeConfigEntry(const QByteArray &text, const QByteArray &group,
                                             const QByteArray &key, const QByteArray &value)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast(); // the split of the final newline
    const QByteArray header = '[' + group + ']';
    const QByteArray entry = key + '=' + value;

    bool seenGroup = false;
    bool inGroup = false;
    bool replaced = false;
    qsizetype lastInGroup = -1; // the group's last non-blank line, where a new key goes
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.startsWith("[$") && !seenGroup) {
            if (markedImmutable(line))
                return std::nullopt;
            continue;
        }
        if (line.startsWith('[')) {
            seenGroup = true;
            const QByteArray marks = line.mid(header.size());
            inGroup = line.startsWith(header) && (marks.isEmpty() || marks.startsWith("[$"));
            if (inGroup) {
                if (markedImmutable(marks))
                    return std::nullopt;
                lastInGroup = i;
            }
            continue;
        }
        if (!inGroup)
            continue;
        if (!line.isEmpty())
            lastInGroup = i;
        QByteArray marks;
        if (keyOf(line, &marks) != key)
            continue;
        if (markedImmutable(marks))
            return std::nullopt;
        lines[i] = entry;
        replaced = true;
    }

    if (!replaced) {
        if (lastInGroup >= 0) {
            lines.insert(lastInGroup + 1, entry);
        } else {
            if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
                lines.append(QByteArray());
            lines.append(header);
            lines.append(entry);
        }
    }
    return lines.join('\n') + '\n';
}

KdeGlobalsPointerBackend::KdeGlobalsPointerBackend(QString filePath, std::function<void()> announce)
    : m_filePath(std::move(filePath))
    , m_announce(std::move(announce))
{
}

bool KdeGlobalsPointerBackend::setDoubleClickTime(quint32 ms)
{
    return writeEntry("DoubleClickInterval", ms);
}

bool KdeGlobalsPointerBackend::setWheelScrollLines(quint32 lines)
{
    return writeEntry("WheelScrollLines", lines);
}

bool KdeGlobalsPointerBackend::writeEntry(const QByteArray &key, quint32 value)
{
    QByteArray text;
    QFile in(m_filePath);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return false; // never replace a file we could not read
        text = in.readAll();
        in.close();
    }
    const std::optional<QByteArray> changed =
        withKdeConfigEntry(text, "KDE", key, QByteArray::number(value));
    if (!changed)
        return false;

    // Written beside and renamed over (through a symbolic link, if it is one), so a crash never
    // leaves the desktop a half-written file.
    if (!QDir().mkpath(QFileInfo(m_filePath).absolutePath()))
        return false;
    QSaveFile out(m_filePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(*changed) != changed->size() || !out.commit())
        return false;
    if (m_announce)
        m_announce();
    return true;
}
