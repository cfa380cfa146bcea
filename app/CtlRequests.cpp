#include "CtlRequests.h"

#include "AppConfigStore.h"
#include "CtlCommands.h"
#include "CtlContext.h"
#include "CtlWire.h"
#include "DeviceDiscovery.h"
#include "UiScripts.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QDebug>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QQuickItem>
#include <QTimer>

namespace {

// How often a request that found the mouse busy with the window's own exchange looks again.
constexpr int busyRetryMs = 20;

// The window's stores, model image and connection, as the commands see them.
class WindowContext final : public CtlContext
{
public:
    WindowContext(Widget &window, std::unique_ptr<UiScripts> &scripts)
        : m_window(window), m_view(*window.view()), m_scripts(scripts)
    {
    }

    QString modulesDir() const override { return m_window.modulesDir(); }
    AppConfigStore &appConfig() override { return m_view.appConfig(); }
    ProfileStore &profiles() override { return m_view.profiles(); }
    ModelFlags modelFlags() const override { return m_view.modelFlags(); }
    MouseCommands::Blocks &profileBlocks() override { return m_view.profileBlocks; }

    Hid_Thread *mouse(QString *whyNot) override
    {
        if (m_window.deviceConnected())
            return &m_window.hid;
        const auto outcome = m_window.lastOutcome();
        *whyNot = outcome ? DeviceDiscovery::describe(*outcome)
                          : QStringLiteral("the program has not looked for a mouse yet");
        return nullptr;
    }

    DeviceEntry connectedEntry() const override
    {
        return m_window.hid.deviceTable().value(m_window.hid.currentIndex());
    }

    // What the last device check found; the program never probes behind the back of its connection.
    QList<DeviceRow> devices() override
    {
        const DeviceTable table = m_window.hid.deviceTable();
        const bool connected = m_window.deviceConnected();
        const auto outcome = m_window.lastOutcome();
        QList<DeviceRow> rows;
        for (int i = 0; i < table.size(); ++i) {
            DeviceRow row;
            row.entry = table.at(i);
            const QString path = row.entry.commandPath;
            if (connected && i == m_window.hid.currentIndex()) {
                row.state = DeviceRow::State::Connected;
            } else if (path.isEmpty()) {
                row.state = row.entry.eventPath.isEmpty() ? DeviceRow::State::NotAttached
                                                          : DeviceRow::State::NoCommandPath;
            } else if (connected) {
                row.state = DeviceRow::State::NotChecked;
            } else if (outcome && !outcome->connected && outcome->path == path
                       && outcome->reason == DeviceDiscovery::NoMouseReason::PermissionDenied) {
                row.state = DeviceRow::State::PermissionDenied;
                row.reason = DeviceDiscovery::describe(*outcome);
            } else {
                row.state = DeviceRow::State::NoAnswer;
                row.reason = DeviceDiscovery::describe({false, DeviceDiscovery::NoMouseReason::NoAnswer, path});
            }
            rows << row;
        }
        return rows;
    }

    // Through the view's own slots, as the system page sends them.
    void applyPointerSettings(const PointerValues &values) override
    {
        m_view.mouseSetCursorSpeed(values.cursorSpeedIndex);
        m_view.mouseSetDoubleClickSpeed(values.doubleClickIndex);
        m_view.mouseSetVerticalScrollLines(values.wheelLines);
    }

    QString ruleStatus() const override { return m_view.ruleStatus(); }

    // Loaded at the first request and kept for the program's lifetime.
    UiScripts *scripts() override
    {
        if (!m_scripts)
            m_scripts = std::make_unique<UiScripts>();
        return m_scripts.get();
    }

    // The pages load the new values from the profile, as they do at start-up, without sending.
    void changed(Areas areas, int currentDpiStage) override
    {
        if (areas & Area::Rules)
            m_view.appRulesEdited(); // the focus switching reads them again
        QQuickItem *root = m_view.rootObject();
        if (!root || !root->property("isPownOn").toBool())
            return; // the window loads everything when it first starts its pages
        QStringList steps;
        if (areas & Area::Profile) {
            const int number = m_view.appConfig().getGlobalData(QStringLiteral("mouse/profileNo")).toInt();
            steps << QStringLiteral("profileMain.profileNo = %1; profileMain.init(); profileMain.syncProfileButton()")
                         .arg(number);
        }
        if (areas & Area::Macros)
            steps << QStringLiteral("macroEditorMain.init()");
        if (areas & Area::Keys)
            steps << QStringLiteral("keyMatrixMain.isSave = false; keyMatrixMain.init(false, false)");
        if (areas & Area::Rate)
            steps << QStringLiteral("reportRateRect.init(false)");
        if (areas & Area::Dpi)
            steps << QStringLiteral("dpiSettingMain.isSave = false; dpiSettingMain.init(false, false)");
        if (areas & Area::Light)
            steps << QStringLiteral("lightControlMain.isSave = false; lightControlMain.init(false, false)");
        if (areas & Area::System)
            steps << QStringLiteral("systemSettingMain.init(false, false)");
        if (areas & Area::CurrentDpi)
            steps << QStringLiteral("setCurrentDPI(%1)").arg(currentDpiStage);

        QQmlContext *context = QQmlEngine::contextForObject(root);
        for (const QString &step : steps) {
            QQmlExpression expression(context, root, step);
            expression.evaluate();
            if (expression.hasError())
                qWarning().noquote() << "ctl: the window did not take" << step << ":" << expression.error().toString();
        }
    }

private:
    Widget &m_window;
    myQQuickView &m_view;
    std::unique_ptr<UiScripts> &m_scripts;
};

} // namespace

CtlRequests::CtlRequests(SingleInstance &instance, Widget &window, QObject *parent)
    : QObject(parent), m_instance(instance), m_window(window)
{
    m_instance.setRequestHandler([this](const QByteArray &message, const SingleInstance::Reply &reply) {
        handle(message, reply);
    });
}

CtlRequests::~CtlRequests()
{
    m_instance.setRequestHandler({});
}

void CtlRequests::handle(const QByteArray &message, const SingleInstance::Reply &reply)
{
    QString why;
    const std::optional<QStringList> args = CtlWire::decodeRequest(message, &why);
    if (!args) {
        qWarning("ctl: refused a request: %s", qPrintable(why));
        reply(QByteArray());
        return;
    }
    // The form is checked before anything is queued, so a malformed command changes nothing. The
    // tool sends file names absolute; this process's folder is not the user's.
    QStringList normalised;
    if (!Ctl::asksForHelp(*args) && Ctl::checkForm(*args, QStringLiteral("/"), &normalised, &why)
        && normalised != *args)
        why = QStringLiteral("the command line is not in the tool's form (file names must be absolute)");
    if (!Ctl::asksForHelp(*args) && !why.isEmpty()) {
        qWarning("ctl: refused a request: %s", qPrintable(why));
        reply(CtlWire::encodeReply({Ctl::Usage, QString(),
                                    QStringLiteral("%1: %2\n").arg(QLatin1String(Ctl::programName), why)}));
        return;
    }
    m_pending.append({*args, reply, {}});
    QTimer::singleShot(0, this, &CtlRequests::runNext);
}

void CtlRequests::runOwn(const QStringList &args, std::function<void(const CtlOutput &)> done)
{
    m_pending.append({args, {}, std::move(done)});
    QTimer::singleShot(0, this, &CtlRequests::runNext);
}

void CtlRequests::runNext()
{
    if (m_running || m_pending.isEmpty())
        return;
    // The window may be in the middle of an exchange with the mouse (its event processing brought
    // us here); the request waits until that is over.
    if (!m_window.hid.hidReady()) {
        QTimer::singleShot(busyRetryMs, this, &CtlRequests::runNext);
        return;
    }
    m_running = true;
    const Pending request = m_pending.takeFirst();
    myQQuickView *view = m_window.view();
    // The window's busy lock keeps the user's hands off while the request talks to the mouse; a
    // request that sends nothing locks nothing.
    bool locked = false;
    QMetaObject::Connection lock;
    if (view && view->isEnabled()) {
        lock = connect(&m_window.hid, &Hid_Thread::exchangeStarting, this, [&locked, view] {
            if (!locked)
                locked = view->callRoot("controlUIEnable", Qt::DirectConnection, {false});
        });
    }
    WindowContext context(m_window, m_scripts);
    const CtlOutput output = Ctl::run(request.args, context);
    disconnect(lock);
    if (locked)
        view->callRoot("controlUIEnable", Qt::DirectConnection, {true});
    qDebug().noquote() << "ctl:" << request.args.join(QLatin1Char(' ')) << "->" << output.exitCode;
    if (request.done)
        request.done(output);
    else
        request.reply(CtlWire::encodeReply(output));
    m_running = false;
    if (!m_pending.isEmpty())
        QTimer::singleShot(0, this, &CtlRequests::runNext);
}
