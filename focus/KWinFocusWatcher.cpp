#include "KWinFocusWatcher.h"

#include <QDBusMessage>
#include <QDir>
#include <QStandardPaths>

namespace {

const QString KWin = QStringLiteral("org.kde.KWin");
const QString ScriptingPath = QStringLiteral("/Scripting");
const QString ScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");

} // namespace

KWinFocusWatcher::KWinFocusWatcher(const QDBusConnection &bus, QObject *parent)
    : FocusWatcher(parent), m_bus(bus)
{
}

KWinFocusWatcher::~KWinFocusWatcher()
{
    if (m_loaded) {
        m_bus.call(QDBusMessage::createMethodCall(KWin, ScriptingPath, ScriptingInterface, QStringLiteral("unloadScript"))
                       << QString::fromLatin1(PluginName), QDBus::Block, 1000);
    }
    m_bus.unregisterObject(QString::fromLatin1(ObjectPath));
}

QString KWinFocusWatcher::scriptText(const QString &service)
{
    return QStringLiteral(
               "// Reports each activated window to Kestrel Orbit.\n"
               "function report(w) {\n"
               "    if (!w) return;\n"
               "    callDBus(\"%1\", \"%2\", \"org.kestrelorbit.FocusReport\", \"activated\",\n"
               "             String(w.resourceClass), String(w.resourceName), String(w.caption), String(w.pid));\n"
               "}\n"
               "if (workspace.windowActivated) workspace.windowActivated.connect(report);\n"
               "else workspace.clientActivated.connect(report);\n"
               "report(workspace.activeWindow || workspace.activeClient);\n")
        .arg(service, QString::fromLatin1(ObjectPath));
}

bool KWinFocusWatcher::start(QString *why)
{
    if (!m_bus.isConnected()) {
        *why = QStringLiteral("there is no session bus");
        return false;
    }
    if (!m_bus.registerObject(QString::fromLatin1(ObjectPath), this, QDBusConnection::ExportScriptableSlots)) {
        *why = QStringLiteral("the focus report object could not be registered on the session bus");
        return false;
    }
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    m_script = std::make_unique<QTemporaryFile>(QDir(dir.isEmpty() ? QDir::tempPath() : dir)
                                                    .filePath(QStringLiteral("kestrel-orbit-focus-XXXXXX.js")));
    if (!m_script->open() || m_script->write(scriptText(m_bus.baseService()).toUtf8()) < 0 || !m_script->flush()) {
        *why = QStringLiteral("the KWin script could not be written");
        return false;
    }
    const auto call = [this](const QString &method, const QVariantList &args) {
        QDBusMessage m = QDBusMessage::createMethodCall(KWin, ScriptingPath, ScriptingInterface, method);
        m.setArguments(args);
        return m_bus.call(m, QDBus::Block, 3000);
    };
    // One left behind by an earlier run that did not end cleanly would report to nobody.
    call(QStringLiteral("unloadScript"), {QString::fromLatin1(PluginName)});
    const QDBusMessage loaded = call(QStringLiteral("loadScript"), {m_script->fileName(), QString::fromLatin1(PluginName)});
    if (loaded.type() != QDBusMessage::ReplyMessage || loaded.arguments().value(0).toInt() < 0) {
        *why = QStringLiteral("KWin did not load the focus script: %1").arg(loaded.errorMessage());
        return false;
    }
    m_loaded = true;
    const QDBusMessage started = call(QStringLiteral("start"), {});
    if (started.type() != QDBusMessage::ReplyMessage) {
        *why = QStringLiteral("KWin did not start the focus script: %1").arg(started.errorMessage());
        return false;
    }
    return true;
}

void KWinFocusWatcher::activated(const QString &cls, const QString &instance, const QString &title, const QString &pid)
{
    FocusInfo f;
    f.cls = cls;
    f.instance = instance == cls ? QString() : instance;
    f.title = title;
    f.pid = pid.toLongLong();
    emit focusChanged(f);
}
