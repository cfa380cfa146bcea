#pragma once

#include "CtlCommands.h"
#include "SingleInstance.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class UiScripts;
class Widget;

// The running program's side of kestrel-orbit-ctl: a request that arrives over the single-instance
// socket is checked, carried out with the window's own stores, model image and connection to the
// mouse (so only this process talks to the mouse), and answered; the window then shows what
// changed. Requests run one at a time, and only between the window's own exchanges with the mouse.
// A message that is not a well-formed request is refused with a logged reason and changes nothing.
class CtlRequests : public QObject
{
    Q_OBJECT

public:
    // Takes the instance's requests for the lifetime of this object.
    CtlRequests(SingleInstance &instance, Widget &window, QObject *parent = nullptr);
    ~CtlRequests() override;

    // One message as it came over the socket; the answer goes to `reply`, later (an empty one, at
    // once, when the message is refused).
    void handle(const QByteArray &message, const SingleInstance::Reply &reply);

    // A command of the program's own (the focus switching's "profile use N"), queued and carried
    // out exactly as one from the tool; `done` gets its output.
    void runOwn(const QStringList &args, std::function<void(const CtlOutput &)> done);
    // A request is queued or running.
    bool busy() const { return m_running || !m_pending.isEmpty(); }

private:
    struct Pending
    {
        QStringList args;
        SingleInstance::Reply reply;
        std::function<void(const CtlOutput &)> done; // own commands, instead of a reply
    };
    void runNext();

    SingleInstance &m_instance;
    Widget &m_window;
    QList<Pending> m_pending;
    std::unique_ptr<UiScripts> m_scripts; // the commands' script engine, kept between requests
    bool m_running = false;
};
