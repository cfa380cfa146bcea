#pragma once

#include <QEvent>

// Posted by the main window to itself right after queuing the document's initUI, so that run
// follows initUI, each at its own turn of the event loop.
class UiStartEvent : public QEvent
{
public:
    static constexpr int tagValue = 2177;
    UiStartEvent() : QEvent(QEvent::User) {}
    int tag = tagValue;
};
