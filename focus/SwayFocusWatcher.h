#pragma once

#include "FocusWatcher.h"

#include <QByteArray>
#include <QJsonObject>
#include <QLocalSocket>

// The focus on sway (and i3): the `window` events of the IPC socket named by SWAYSOCK (I3SOCK),
// subscribed to once; a focus event, or a title change of the focused window, is reported. The
// window that has the focus at start comes from the tree.
class SwayFocusWatcher : public FocusWatcher
{
    Q_OBJECT

public:
    // `socketPath`: empty for $SWAYSOCK, else $I3SOCK.
    explicit SwayFocusWatcher(const QString &socketPath = {}, QObject *parent = nullptr);

    bool start(QString *why) override;
    QString scope() const override { return QStringLiteral("sway windows (Wayland and XWayland)"); }

    // i3-ipc framing: "i3-ipc", payload length and message type (native byte order), payload.
    enum Type : quint32 { GetTree = 4, Subscribe = 2, WindowEvent = 0x80000003 };
    static QByteArray frame(quint32 type, const QByteArray &payload);
    // A container of the tree or of an event as a focus report (app_id, else the X11 class).
    static FocusInfo focusOf(const QJsonObject &container);

private:
    void readFrames();
    void handle(quint32 type, const QByteArray &payload);

    QString m_path;
    QLocalSocket m_socket;
    QByteArray m_buffer;
};
