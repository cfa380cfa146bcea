#include "UiRig.h"

#include "AppConfigStore.h"
#include "FocusSwitcher.h"
#include "ViewRig.h"
#include "VirtualMouseDump.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QTemporaryDir>

namespace {

class Watcher : public FocusWatcher
{
public:
    bool start(QString *) override { return true; }
    QString scope() const override { return QStringLiteral("test windows"); }
};

// A desktop that takes every pointer setting and notes it as "<what> <value>".
class Pointer : public PointerBackend
{
public:
    explicit Pointer(QStringList *log) : m_log(log) {}
    bool setCursorSpeed(quint32 v) override { return note("cursorSpeed", v); }
    bool setDoubleClickTime(quint32 v) override { return note("doubleClick", v); }
    bool setWheelScrollLines(quint32 v) override { return note("wheelLines", v); }

private:
    bool note(const char *what, quint32 v)
    {
        *m_log << QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(v);
        return true;
    }
    QStringList *m_log;
};

} // namespace

MouseSim::MouseSim() { m_pointer.addBackend(std::make_unique<Pointer>(&m_pointerCalls)); }

MouseSim::~MouseSim() = default;

void MouseSim::qmlEngineAvailable(QQmlEngine *engine)
{
    m_engine = engine;
    if (!m_rig)
        useModel({});
    publish();
}

void MouseSim::useModel(const QVariantMap &model)
{
    const auto flag = [&model](const char *key) { return model.value(QLatin1String(key)).toBool(); };
    const Model m{model.value(QStringLiteral("family")).toString() == QLatin1String("560"), flag("isGun"),
                  flag("isColorful"), flag("is55328"), model.value(QStringLiteral("config")).toMap()};
    // Published before the old rig goes, so the documents never see a dead view.
    std::unique_ptr<Rig> old = std::exchange(m_rig, std::make_unique<Rig>(m));
    m_rig->view->setFileChooser(this);
    m_rig->view->setHostPointerSettings(&m_pointer);
    AppConfigStore &config = m_rig->view->appConfig();
    FocusSwitcher::Host host;
    host.profileInUse = [&config] { return config.getGlobalData(QStringLiteral("mouse/profileNo")).toInt() + 1; };
    host.mouseReady = [] { return true; };
    host.unsaved = [] { return false; };
    host.switchTo = [&config](int profile, const std::function<void(bool, QString)> &done) {
        config.setGlobalData(QStringLiteral("mouse/profileNo"), profile - 1);
        done(true, {});
    };
    m_switcher = std::make_unique<FocusSwitcher>(config, host);
    watchWindows(false);
    m_rig->view->setFocusSwitcher(m_switcher.get());
    m_answers.clear();
    clearTrace();
    publish();
}

void MouseSim::publish()
{
    if (!m_engine)
        return;
    QQmlContext *context = m_engine->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), m_rig->view.get());
    context->setContextProperty(QStringLiteral("hid"), &m_rig->hid);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);
    context->setContextProperty(QStringLiteral("mouseSim"), this);
}

void MouseSim::watchWindows(bool running)
{
    if (running)
        m_switcher->setWatcher(std::make_unique<Watcher>(), {});
    else
        m_switcher->setWatcher(nullptr, QStringLiteral("this desktop offers no focus events"));
}

void MouseSim::focusWindow(const QString &cls, const QString &exe, const QString &title)
{
    if (auto *watcher = static_cast<Watcher *>(m_switcher->watcher()))
        emit watcher->focusChanged({cls, {}, title, 0, exe});
}

QVariantMap MouseSim::memory() const
{
    return memoryToJson(m_rig->mouse->memory()).toVariantMap();
}

QStringList MouseSim::commands() const { return m_rig->commands(); }
QStringList MouseSim::protocolErrors() const { return m_rig->mouse->protocolErrors(); }
bool MouseSim::pressDpiButton(int stage) { return m_rig->mouse->pressDpiButton(stage); }

void MouseSim::clearTrace()
{
    m_rig->mouse->clearTrace();
    m_pointerCalls.clear();
}

QString MouseSim::resolve(const QString &path) const
{
    return QDir::isAbsolutePath(path) ? path : QDir(m_rig->dir.path()).filePath(path);
}

QVariant MouseSim::setting(const QString &relativePath, const QString &key) const
{
    return QSettings(resolve(relativePath), QSettings::IniFormat).value(key);
}

QString MouseSim::readFile(const QString &path) const
{
    QFile file(resolve(path));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool MouseSim::writeFile(const QString &path, const QString &text) const
{
    QFile file(resolve(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(text.toUtf8()) == text.toUtf8().size();
}

bool MouseSim::fileExists(const QString &path) const { return QFile::exists(resolve(path)); }

QString MouseSim::tempPath(const QString &name) const
{
    static QTemporaryDir scratch;
    return scratch.filePath(name);
}
