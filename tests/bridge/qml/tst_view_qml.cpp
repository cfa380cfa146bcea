// Runs the QML test documents beside this file against a real view wired to a virtual mouse. The
// documents reach the view and the device object as the UI documents do (ui_View, hid), and the
// mouse through mouseSim, which also stands in for the window controller (ui_Ctl).
#include "ViewRig.h"

#include <QApplication>
#include <QPointer>
#include <QQmlContext>
#include <QQmlEngine>
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

} // namespace

class MouseSim : public QObject
{
    Q_OBJECT

public slots:
    // Called once per test document, each with an engine of its own.
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        m_engine = engine;
        if (!m_rig)
            useModel({});
        publish();
    }

public:

    // A fresh view and mouse of the model {family: "553" or "560", isGun, isColorful}, on a fresh
    // copy of the shipped settings; the documents' ui_View and hid follow.
    Q_INVOKABLE void useModel(const QVariantMap &model)
    {
        const Model m{model.value(QStringLiteral("family")).toString() == QLatin1String("560"),
                      model.value(QStringLiteral("isGun")).toBool(),
                      model.value(QStringLiteral("isColorful")).toBool()};
        // Published before the old rig goes, so the documents never see a dead view.
        std::unique_ptr<Rig> old = std::exchange(m_rig, std::make_unique<Rig>(m));
        publish();
    }

    // What the firmware holds, as lists of numbers; key matrices counted from 0, macros by number.
    Q_INVOKABLE QVariantMap memory() const
    {
        const VirtualMouseMemory m = m_rig->mouse->memory();
        QVariantList matrices;
        QVariantMap macros;
        for (const QByteArray &matrix : m.keyMatrices)
            matrices << QVariant(numbers(matrix));
        for (auto it = m.macros.cbegin(); it != m.macros.cend(); ++it)
            macros.insert(QString::number(it.key()), numbers(it.value()));
        return {{QStringLiteral("currentDpiStage"), int(m.currentDpiStage)},
                {QStringLiteral("dpiStageCodes"), numbers(m.dpiStageCodes)},
                {QStringLiteral("keyMatrices"), matrices},
                {QStringLiteral("macros"), macros}};
    }

    // Outgoing command reports as "code p1", in order.
    Q_INVOKABLE QStringList commands() const { return m_rig->commands(); }
    Q_INVOKABLE void clearTrace() { m_rig->mouse->clearTrace(); }
    Q_INVOKABLE QStringList protocolErrors() const { return m_rig->mouse->protocolErrors(); }

private:
    void publish()
    {
        if (!m_engine)
            return;
        QQmlContext *context = m_engine->rootContext();
        context->setContextProperty(QStringLiteral("ui_View"), m_rig->view.get());
        context->setContextProperty(QStringLiteral("hid"), &m_rig->hid);
        context->setContextProperty(QStringLiteral("ui_Ctl"), this);
        context->setContextProperty(QStringLiteral("mouseSim"), this);
    }

    QPointer<QQmlEngine> m_engine;
    std::unique_ptr<Rig> m_rig;
};

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    // The view is a widget and needs a widget application.
    QApplication app(argc, argv);
    MouseSim sim;
    return quick_test_main_with_setup(argc, argv, "tst_view_qml", QUICK_TEST_SOURCE_DIR, &sim);
}

#include "tst_view_qml.moc"
