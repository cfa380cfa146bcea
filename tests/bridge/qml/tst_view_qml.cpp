// Runs the QML test documents beside this file against a real view wired to a virtual mouse. The
// documents reach the view and the device object as the UI documents do (ui_View, hid), the mouse
// through mouseSim, and a recorder stands in for the window controller (ui_Ctl).
#include "ViewRig.h"

#include <QApplication>
#include <QPointer>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStandardPaths>
#include <QtQuickTest>

namespace {

QVariantList numbers(const QByteArray &bytes)
{
    QVariantList out;
    for (char c : bytes)
        out << int(uchar(c));
    return out;
}

QVariantList numberLists(const QList<QByteArray> &list)
{
    QVariantList out;
    for (const QByteArray &bytes : list)
        out << QVariant(numbers(bytes));
    return out;
}

} // namespace

// Receives the window controller's calls from the document.
class ControllerRecorder : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE QStringList calls() const { return m_calls; }
    Q_INVOKABLE void clear() { m_calls.clear(); }

public slots:
    void onMinimize() { m_calls << QStringLiteral("onMinimize"); }
    void onClose() { m_calls << QStringLiteral("onClose"); }
    void onXChanged(int x) { m_calls << QStringLiteral("onXChanged %1").arg(x); }
    void onYChanged(int y) { m_calls << QStringLiteral("onYChanged %1").arg(y); }

private:
    QStringList m_calls;
};

// The test documents' handle on the virtual mouse, and the owner of the view they talk to.
class MouseSim : public QObject
{
    Q_OBJECT

public:
    void setEngine(QQmlEngine *engine)
    {
        m_engine = engine;
        if (!m_rig)
            useModel({});
        publish();
    }

    // A fresh view and mouse of the model {family: "553" or "560", isGun, isColorful, is55328},
    // on a fresh copy of the shipped settings; the documents' ui_View and hid follow.
    Q_INVOKABLE void useModel(const QVariantMap &model)
    {
        Model m;
        m.is560 = model.value(QStringLiteral("family")).toString() == QLatin1String("560");
        m.isGun = model.value(QStringLiteral("isGun")).toBool();
        m.isColorful = model.value(QStringLiteral("isColorful")).toBool();
        m.is55328 = model.value(QStringLiteral("is55328")).toBool();
        // Published before the old rig goes, so the documents never see a dead view.
        std::unique_ptr<Rig> old = std::move(m_rig);
        m_rig = std::make_unique<Rig>(m);
        m_controller.clear();
        publish();
    }

    // What the firmware holds; byte fields as lists of numbers, macros by number.
    Q_INVOKABLE QVariantMap memory() const
    {
        const VirtualMouseMemory m = m_rig->mouse->memory();
        QVariantMap macros;
        for (auto it = m.macros.cbegin(); it != m.macros.cend(); ++it)
            macros.insert(QString::number(it.key()), numbers(it.value()));
        return {
            {QStringLiteral("keyboardOption"), numbers(m.keyboardOption)},
            {QStringLiteral("currentDpiStage"), int(m.currentDpiStage)},
            {QStringLiteral("reportRate"), int(m.reportRate)},
            {QStringLiteral("dpiStageCount"), int(m.dpiStageCount)},
            {QStringLiteral("dpiStageCodes"), numbers(m.dpiStageCodes)},
            {QStringLiteral("ledColorType"), int(m.ledColorType)},
            {QStringLiteral("ledColors"), numbers(m.ledColors)},
            {QStringLiteral("fixLedColor"), numbers(m.fixLedColor)},
            {QStringLiteral("ledEffect"), numbers(m.ledEffect)},
            {QStringLiteral("keyMatrices"), numberLists(m.keyMatrices)},
            {QStringLiteral("macros"), macros},
            {QStringLiteral("currentKeyMatrix"), int(m.currentKeyMatrix)},
            {QStringLiteral("currentProfile"), int(m.currentProfile)},
            {QStringLiteral("profileBlocks"), numberLists(m.profileBlocks)},
            {QStringLiteral("gunSlots"), numberLists(m.gunSlots)},
        };
    }

    Q_INVOKABLE QStringList trace() const { return m_rig->mouse->trace(); }
    // Outgoing command reports as "code p1", in order.
    Q_INVOKABLE QStringList commands() const { return m_rig->commands(); }
    Q_INVOKABLE void clearTrace() { m_rig->mouse->clearTrace(); }
    Q_INVOKABLE QStringList protocolErrors() const { return m_rig->mouse->protocolErrors(); }
    Q_INVOKABLE QStringList controllerCalls() const { return m_controller.calls(); }

    // Loads `url` into a view of its own that publishes nothing, as the host's view is before the
    // context properties are set, and makes each host call into the document; returns the
    // document's warnings, and a line for each function it lacks.
    Q_INVOKABLE QStringList warningsWithoutHost(const QUrl &url) const
    {
        QStringList warnings;
        myQQuickView bare(nullptr, m_rig->dir.path());
        bare.engine()->setOutputWarningsToStandardError(false);
        connect(bare.engine(), &QQmlEngine::warnings, &bare, [&warnings](const QList<QQmlError> &list) {
            for (const QQmlError &e : list)
                warnings << e.toString();
        });
        bare.setSource(url);
        if (!bare.rootObject())
            return warnings << QStringLiteral("not loaded");
        const QList<QPair<const char *, QVariantList>> calls = {
            {"initUI", {}}, {"run", {}}, {"setProtectUI", {1000}}, {"setProtectUI", {0}},
            {"setCurrentDPI", {3}}, {"detectKeyboard", {true, 4}}, {"detectMouse", {true, 0xF0, 10, 20}},
        };
        for (const auto &call : calls) {
            if (!bare.callRoot(call.first, Qt::DirectConnection, call.second))
                warnings << QStringLiteral("no function ") + QLatin1String(call.first);
        }
        if (!bare.rootObject()->isVisible())
            warnings << QStringLiteral("still hidden after initUI");
        return warnings;
    }

private:
    void publish()
    {
        if (!m_engine)
            return;
        QQmlContext *context = m_engine->rootContext();
        context->setContextProperty(QStringLiteral("ui_View"), m_rig->view.get());
        context->setContextProperty(QStringLiteral("hid"), &m_rig->hid);
        context->setContextProperty(QStringLiteral("ui_Ctl"), &m_controller);
        context->setContextProperty(QStringLiteral("mouseSim"), this);
    }

    QPointer<QQmlEngine> m_engine;
    std::unique_ptr<Rig> m_rig;
    ControllerRecorder m_controller;
};

class Setup : public QObject
{
    Q_OBJECT

public slots:
    // Called once per test document, each with an engine of its own.
    void qmlEngineAvailable(QQmlEngine *engine) { m_sim.setEngine(engine); }

private:
    MouseSim m_sim;
};

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    // The view is a widget and needs a widget application.
    QApplication app(argc, argv);
    Setup setup;
    return quick_test_main_with_setup(argc, argv, "tst_view_qml", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "tst_view_qml.moc"
