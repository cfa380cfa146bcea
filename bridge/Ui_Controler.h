#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class myQQuickView;

// Ties the main window to the view: sets the window up, builds the view as its child and offers the
// documents window handling (drag, minimise, close) and the busy lock.
//
// A drag asks the platform to move the window (QWindow::startSystemMove): a Wayland client cannot
// place its own window, and an X11 window manager moves it more smoothly. Where the platform offers
// no such move (a bare X server, the offscreen platform) the window is moved by the drag's steps.
class Ui_Controler : public QObject
{
    Q_OBJECT

public:
    Ui_Controler() = default;
    // Configures `window`, builds the view with `hidObject` published as "hid", loads main.qml and
    // takes the title from common/name of the application configuration.
    void setUp(QWidget *window, QObject *hidObject,
               const QString &modulesDir = QStringLiteral("./modules"));

    QWidget *window() const { return m_window; }
    myQQuickView *view() const { return m_view; }

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int x);
    void onYChanged(int y);
    void setBusy(int busyTime);
    void setBusy();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveBy(int dx, int dy);

    // How the drag of the current press moves the window; every press on the view starts anew.
    enum class Drag { Undecided, BySystem, BySteps };
    Drag m_drag = Drag::Undecided;
    QPointer<QWidget> m_window;
    QPointer<myQQuickView> m_view;
};
