#include "DemoControlWindow.h"

#include "VirtualMouse.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DemoControlWindow::DemoControlWindow(VirtualMouse &mouse, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_mouse(mouse)
{
    setWindowTitle(tr("Virtual mouse"));
    setStyleSheet(QStringLiteral(
        "QWidget { background: #1a1a1a; color: #d1d1d1; font-size: 13px; }"
        "QPushButton { background: #3c3c3c; color: #ffffff; border: none; padding: 6px 10px; border-radius: 3px; }"
        "QPushButton:hover { background: #cf3e00; }"
        "QPushButton:disabled { background: #3c3c3c; color: #969696; }"));
    // Narrow enough to sit beside the 1024-wide main window on a 1280-wide screen.
    setFixedWidth(200);

    auto *layout = new QVBoxLayout(this);
    m_state = new QLabel(this);
    m_state->setWordWrap(true);
    layout->addWidget(m_state);

    m_dpiButton = new QPushButton(tr("Press the DPI button"), this);
    m_stage = new QLabel(this);
    connect(m_dpiButton, &QPushButton::clicked, this, [this] {
        if (const int stage = m_mouse.pressDpiButton())
            m_stage->setText(tr("Switched to stage %1").arg(stage));
    });
    layout->addWidget(m_dpiButton);
    layout->addWidget(m_stage);

    auto *unplug = new QPushButton(tr("Unplug the mouse"), this);
    auto *plugIn = new QPushButton(tr("Plug it back in"), this);
    connect(unplug, &QPushButton::clicked, this, [this] { m_mouse.unplug(); });
    connect(plugIn, &QPushButton::clicked, this, [this] { m_mouse.plugIn(); });
    layout->addWidget(unplug);
    layout->addWidget(plugIn);

    connect(&m_mouse, &VirtualMouse::plugChanged, this, &DemoControlWindow::refresh,
            Qt::QueuedConnection);
    refresh();
}

QPoint DemoControlWindow::placeBeside(const QRect &main, const QSize &size, const QRect &area)
{
    constexpr int gap = 12;
    const QPoint candidates[] = {
        {main.right() + 1 + gap, main.top()},
        {main.left(), main.bottom() + 1 + gap},
        {main.left() - gap - size.width(), main.top()},
        {main.left(), main.top() - gap - size.height()},
    };
    for (const QPoint &topLeft : candidates) {
        if (area.contains(QRect(topLeft, size)))
            return topLeft;
    }
    return area.bottomRight() - QPoint(size.width() - 1, size.height() - 1);
}

void DemoControlWindow::refresh()
{
    const bool plugged = m_mouse.isPlugged();
    m_state->setText(plugged ? tr("Mouse plugged in (%1 family)").arg(m_mouse.config().family)
                             : tr("Mouse unplugged"));
    m_dpiButton->setEnabled(plugged);
    if (!plugged)
        m_stage->clear();
}
