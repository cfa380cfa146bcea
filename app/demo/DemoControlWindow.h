#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

class QLabel;
class QPushButton;
class VirtualMouse;

// The demo's stand-in for the user's hand on the mouse: press the DPI button (it steps through the
// stages the program made active, as a real mouse does), unplug the mouse, plug it back in.
class DemoControlWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DemoControlWindow(VirtualMouse &mouse, QWidget *parent = nullptr);

    // Where a window of `size` goes so that it does not cover `main`: right of it, else below, left,
    // above, all inside `area`; the bottom right corner of `area` when none of them has room.
    static QPoint placeBeside(const QRect &main, const QSize &size, const QRect &area);

private:
    void refresh();

    VirtualMouse &m_mouse;
    QLabel *m_state = nullptr;
    QLabel *m_stage = nullptr;
    QPushButton *m_dpiButton = nullptr;
};
