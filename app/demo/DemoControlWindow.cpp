#include "DemoControlWindow.h"

#include "VirtualMouse.h"

#include <QGridLayout>
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
        "QPushButton { background: #09347f; border: none; padding: 6px 10px; border-radius: 4px; }"
        "QPushButton:hover { background: #cf3e00; }"
        "QPushButton:disabled { background: #3c3c3c; color: #969696; }"));

    auto *layout = new QVBoxLayout(this);
    m_state = new QLabel(this);
    layout->addWidget(m_state);

    layout->addWidget(new QLabel(tr("Press the DPI button to switch to stage:"), this));
    m_stageButtons = new QWidget(this);
    auto *grid = new QGridLayout(m_stageButtons);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int stage = 1; stage <= 8; ++stage) {
        auto *button = new QPushButton(QString::number(stage), m_stageButtons);
        connect(button, &QPushButton::clicked, this, [this, stage] { m_mouse.pressDpiButton(stage); });
        grid->addWidget(button, (stage - 1) / 4, (stage - 1) % 4);
    }
    layout->addWidget(m_stageButtons);

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

void DemoControlWindow::refresh()
{
    const bool plugged = m_mouse.isPlugged();
    m_state->setText(plugged ? tr("Mouse plugged in (%1 family)").arg(m_mouse.config().family)
                             : tr("Mouse unplugged"));
    m_stageButtons->setEnabled(plugged);
}
