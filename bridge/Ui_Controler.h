#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class myQQuickView;

// Ties the main window to the view: sets the window up, builds the view as its child and offers the
// documents window handling (drag, minimise, close) and the busy lock.
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

private:
    QPointer<QWidget> m_window;
    QPointer<myQQuickView> m_view;
};
