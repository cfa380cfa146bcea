#include "Ui_Controler.h"

#include "AppConfigStore.h"
#include "Hid_Thread.h"
#include "myQQuickView.h"

#include <QEvent>
#include <QQmlContext>
#include <QUrl>
#include <QWidget>
#include <QWindow>

void Ui_Controler::setUp(QWidget *window, QObject *hidObject, const QString &modulesDir)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("Widget"));
    m_window = window;
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    window->setWindowOpacity(1.0);
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setStyleSheet(QStringLiteral("background:transparent;"));

    m_view = new myQQuickView(window, modulesDir);
    m_view->setObjectName(QStringLiteral("ui_View"));
    m_view->setAttribute(Qt::WA_AlwaysStackOnTop);
    m_view->setClearColor(Qt::transparent);
    m_view->installEventFilter(this);
    m_view->setSource(QUrl(QStringLiteral("qrc:/modules/qml/main.qml")));
    // The documents bind to these names when they run, so they may be set after the source.
    QQmlContext *context = m_view->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), m_view);
    context->setContextProperty(QStringLiteral("hid"), hidObject);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);

    // Inside a long exchange the view cannot draw through the event loop; the pauses between
    // reports redraw it, so the busy notice shows and stays drawn while the mouse is written.
    if (auto *hid = qobject_cast<Hid_Thread *>(hidObject)) {
        hid->setIdleHook([view = m_view] {
            if (view && !view->isEnabled())
                view->repaintNow();
        });
    }

    window->resize(m_view->size());
    window->setWindowTitle(readWindowTitle(modulesDir));
}

void Ui_Controler::onMinimize()
{
    if (m_window)
        m_window->showMinimized();
}

void Ui_Controler::onClose()
{
    if (m_window)
        m_window->setVisible(false);
}

void Ui_Controler::onXChanged(int x)
{
    moveBy(x, 0);
}

void Ui_Controler::onYChanged(int y)
{
    moveBy(0, y);
}

void Ui_Controler::moveBy(int dx, int dy)
{
    if (!m_window)
        return;
    if (m_drag == Drag::Undecided) {
        // The system move must start while the button is still held: the compositor ties it to
        // the press. It then follows the pointer itself until the button is released.
        QWindow *handle = m_window->windowHandle();
        m_drag = handle && handle->startSystemMove() ? Drag::BySystem : Drag::BySteps;
    }
    if (m_drag == Drag::BySteps && (dx || dy))
        m_window->move(m_window->pos() + QPoint(dx, dy));
}

bool Ui_Controler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::MouseButtonPress)
        m_drag = Drag::Undecided;
    return QObject::eventFilter(watched, event);
}

void Ui_Controler::setBusy(int busyTime)
{
    if (m_view)
        m_view->setBusy(busyTime);
}

void Ui_Controler::setBusy()
{
    setBusy(0);
}
