#pragma once

#include <QWidget>

class QLabel;
class VirtualMouse;

// The demo's stand-in for the user's hand on the mouse: press the DPI button, unplug the mouse,
// plug it back in.
class DemoControlWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DemoControlWindow(VirtualMouse &mouse, QWidget *parent = nullptr);

private:
    void refresh();

    VirtualMouse &m_mouse;
    QLabel *m_state = nullptr;
    QWidget *m_stageButtons = nullptr;
};
