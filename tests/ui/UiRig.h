#pragma once

// The rig behind the Qt Quick Tests of the UI documents. Each test document gets, as context
// properties, a real view (ui_View) and device object (hid) on a fresh temporary copy of the shipped
// settings, wired to a virtual mouse, and this object as mouseSim (to inspect and steer the rig)
// and as ui_Ctl (a window controller that moves no window). It also
// answers the view's file dialogs.
#include "FileChooser.h"
#include "HostPointerSettings.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class FocusSwitcher;
class QQmlEngine;
struct Rig;

class MouseSim : public QObject, public FileChooser
{
    Q_OBJECT

public:
    MouseSim();
    ~MouseSim() override;

    // A fresh view and mouse of the model {family: "553"|"560", isGun, isColorful, is55328,
    // config: {"group/key": value, …}} on a fresh copy of the shipped settings; config entries are
    // written into apConfig.bin before the view reads it. ui_View and hid follow.
    Q_INVOKABLE void useModel(const QVariantMap &model);

    // What the firmware holds (see sim/VirtualMouseDump.h for the fields).
    Q_INVOKABLE QVariantMap memory() const;
    // Outgoing command reports as "code p1", in order; clearTrace() empties every log of the rig.
    Q_INVOKABLE QStringList commands() const;
    Q_INVOKABLE void clearTrace();
    Q_INVOKABLE QStringList protocolErrors() const;
    // Presses the mouse's DPI button as a user would (the mouse then reports the stage).
    Q_INVOKABLE bool pressDpiButton(int stage);

    // Files in the data folder of the current view ("modules").
    Q_INVOKABLE QVariant setting(const QString &relativePath, const QString &key) const;
    Q_INVOKABLE QString readFile(const QString &path) const;      // relative to the data folder or absolute
    Q_INVOKABLE bool writeFile(const QString &path, const QString &text) const;
    Q_INVOKABLE bool fileExists(const QString &path) const;
    Q_INVOKABLE QString tempPath(const QString &name) const;     // a path in a scratch folder

    // The file dialogs' next answers, in order ("" or none left: the user cancelled).
    Q_INVOKABLE void chooseFiles(const QStringList &answers) { m_answers = answers; }

    // The host pointer settings that reached the desktop, as "cursorSpeed 10", "doubleClick 550",
    // "wheelLines 3".
    Q_INVOKABLE QStringList pointerCalls() const { return m_pointerCalls; }
    Q_INVOKABLE void clearPointerCalls() { m_pointerCalls.clear(); }

    // The view's focus switching watches a desktop the test drives: whether a watcher runs (none at
    // first), and the user focusing another program's window. Its switch only stores the profile.
    Q_INVOKABLE void watchWindows(bool running);
    Q_INVOKABLE void focusWindow(const QString &cls, const QString &exe, const QString &title);

    QString getSaveFileName(const QString &, const QString &, const QString &) override { return nextAnswer(); }
    QString getOpenFileName(const QString &, const QString &, const QString &) override { return nextAnswer(); }

public slots:
    // Called once per test document, each with an engine of its own.
    void qmlEngineAvailable(QQmlEngine *engine);

    // ui_Ctl: the window stays where it is (tst_e2e_main moves it).
    void onMinimize() {}
    void onClose() {}
    void onXChanged(int) {}
    void onYChanged(int) {}
    void setBusy(int) {}
    void setBusy() {}

private:
    void publish();
    QString resolve(const QString &path) const;
    QString nextAnswer() { return m_answers.isEmpty() ? QString() : m_answers.takeFirst(); }

    QPointer<QQmlEngine> m_engine;
    std::unique_ptr<Rig> m_rig;
    HostPointerSettings m_pointer;
    QStringList m_answers, m_pointerCalls;
    std::unique_ptr<FocusSwitcher> m_switcher; // after m_rig: it goes first, it reads the rig's configuration
};
