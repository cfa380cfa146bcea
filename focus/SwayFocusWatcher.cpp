#include "SwayFocusWatcher.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstring>
#include <optional>

namespace {

constexpr char Magic[] = "i3-ipc";
constexpr int MagicSize = 6;
constexpr int HeaderSize = MagicSize + 8;
// A tree of a large session is a few hundred kB; anything far beyond is not the IPC talking.
constexpr quint32 MaxPayload = 64 * 1024 * 1024;

// The focused window of a tree: a node with focused set and no children of its own.
std::optional<QJsonObject> focusedIn(const QJsonObject &node)
{
    if (node.value(QLatin1String("focused")).toBool())
        return node;
    for (const char *list : {"nodes", "floating_nodes"}) {
        for (const QJsonValue &child : node.value(QLatin1String(list)).toArray()) {
            if (auto found = focusedIn(child.toObject()))
                return found;
        }
    }
    return std::nullopt;
}

} // namespace

SwayFocusWatcher::SwayFocusWatcher(const QString &socketPath, QObject *parent)
    : FocusWatcher(parent), m_path(socketPath)
{
    if (m_path.isEmpty())
        m_path = qEnvironmentVariable("SWAYSOCK", qEnvironmentVariable("I3SOCK"));
}

QByteArray SwayFocusWatcher::frame(quint32 type, const QByteArray &payload)
{
    QByteArray out(Magic, MagicSize);
    const quint32 header[2] = {quint32(payload.size()), type};
    out.append(reinterpret_cast<const char *>(header), sizeof header);
    return out + payload;
}

FocusInfo SwayFocusWatcher::focusOf(const QJsonObject &c)
{
    FocusInfo f;
    const QJsonObject x11 = c.value(QLatin1String("window_properties")).toObject();
    f.cls = c.value(QLatin1String("app_id")).toString();
    if (f.cls.isEmpty())
        f.cls = x11.value(QLatin1String("class")).toString();
    f.instance = x11.value(QLatin1String("instance")).toString();
    f.title = c.value(QLatin1String("name")).toString();
    f.pid = c.value(QLatin1String("pid")).toInteger();
    return f;
}

bool SwayFocusWatcher::start(QString *why)
{
    if (m_path.isEmpty()) {
        *why = QStringLiteral("neither SWAYSOCK nor I3SOCK is set");
        return false;
    }
    connect(&m_socket, &QLocalSocket::readyRead, this, &SwayFocusWatcher::readFrames);
    m_socket.connectToServer(m_path);
    if (!m_socket.waitForConnected(1000)) {
        *why = QStringLiteral("the sway IPC socket %1 did not answer: %2").arg(m_path, m_socket.errorString());
        return false;
    }
    m_socket.write(frame(Subscribe, QByteArrayLiteral("[\"window\"]")));
    m_socket.write(frame(GetTree, {}));
    return true;
}

void SwayFocusWatcher::readFrames()
{
    m_buffer += m_socket.readAll();
    while (m_buffer.size() >= HeaderSize) {
        if (!m_buffer.startsWith(QByteArray(Magic, MagicSize))) {
            qWarning("sway IPC: a message without the i3-ipc mark; the connection is closed");
            m_socket.abort();
            m_buffer.clear();
            return;
        }
        quint32 header[2];
        memcpy(header, m_buffer.constData() + MagicSize, sizeof header);
        if (header[0] > MaxPayload) {
            qWarning("sway IPC: a message of %u bytes; the connection is closed", header[0]);
            m_socket.abort();
            m_buffer.clear();
            return;
        }
        if (m_buffer.size() < HeaderSize + int(header[0]))
            return;
        const QByteArray payload = m_buffer.mid(HeaderSize, int(header[0]));
        m_buffer.remove(0, HeaderSize + int(header[0]));
        handle(header[1], payload);
    }
}

void SwayFocusWatcher::handle(quint32 type, const QByteArray &payload)
{
    const QJsonObject o = QJsonDocument::fromJson(payload).object();
    if (type == GetTree) {
        if (const auto focused = focusedIn(o); focused && focused->contains(QLatin1String("pid")))
            emit focusChanged(focusOf(*focused));
    } else if (type == WindowEvent) {
        const QString change = o.value(QLatin1String("change")).toString();
        const QJsonObject c = o.value(QLatin1String("container")).toObject();
        if (change == QLatin1String("focus")
            || (change == QLatin1String("title") && c.value(QLatin1String("focused")).toBool()))
            emit focusChanged(focusOf(c));
    }
}
