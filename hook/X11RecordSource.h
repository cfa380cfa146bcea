#pragma once

#include "InputSource.h"

#include <QByteArray>

#include <memory>

// Observes the keys and buttons of an X display through its RECORD extension, which copies the
// server's device events to us without taking them from the focused client. Recorded data is read
// from the socket when it becomes readable, so the GUI thread never waits for input.
class X11RecordSource final : public InputSource
{
public:
    // An empty name means the display named by DISPLAY.
    explicit X11RecordSource(const QByteArray &displayName = QByteArray());
    ~X11RecordSource() override;

    QString name() const override;
    bool start(InputSink *sink) override;
    void stop() override;
    bool isRunning() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
