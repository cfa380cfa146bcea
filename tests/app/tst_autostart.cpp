// Start at login: the XDG autostart entry, which desktops accept (desktop-file-validate) and whose
// Exec line runs exactly this program with --hidden wherever it is installed, and the tray option
// following it. The entry goes to a temporary XDG_CONFIG_HOME, never the user's. (Writing and
// removing it from the real program's tray menu is tst_program's.)
#include "Autostart.h"
#include "WidgetRig.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include <glib.h>

namespace {

// What a desktop runs for the entry: the Exec value read as GLib's launcher reads it (string
// escapes, then the quoting rules, then "%%" as a literal percent sign).
QStringList launchedCommand(const QByteArray &entry)
{
    QStringList argv;
    GKeyFile *file = g_key_file_new();
    if (g_key_file_load_from_data(file, entry.constData(), gsize(entry.size()), G_KEY_FILE_NONE, nullptr)) {
        gchar *exec = g_key_file_get_string(file, "Desktop Entry", "Exec", nullptr);
        gchar **words = nullptr;
        if (exec && g_shell_parse_argv(exec, nullptr, &words, nullptr)) {
            for (gchar **w = words; *w; ++w)
                argv << QString::fromUtf8(*w).replace(QLatin1String("%%"), QLatin1String("%"));
        }
        g_strfreev(words);
        g_free(exec);
    }
    g_key_file_free(file);
    return argv;
}

// desktop-file-validate's complaints; empty when it accepts the file.
QString validationErrors(const QString &path)
{
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {path});
    if (!validate.waitForFinished())
        return QStringLiteral("desktop-file-validate did not run (package desktop-file-utils; run scripts/bootstrap)");
    const QString out = QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
    return validate.exitCode() == 0 ? out.trimmed() : out + QStringLiteral(" (exit %1)").arg(validate.exitCode());
}

} // namespace

class tst_Autostart : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;
    std::unique_ptr<WidgetRig> m_rig;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }
    void init()
    {
        QFile::remove(Autostart::entryPath());
        m_rig = std::make_unique<WidgetRig>();
    }
    void cleanup() { m_rig.reset(); }

    void execLineRunsExactlyTheProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("plain") << "/usr/local/lib/kestrel-orbit/kestrel-orbit";
        QTest::newRow("space") << "/opt/Kestrel Orbit/kestrel-orbit";
        QTest::newRow("quotes and dollar") << "/home/a\"b/it's/$HOME/kestrel-orbit";
        QTest::newRow("backslash and backtick") << "/tmp/back\\slash/`tick`/kestrel-orbit";
        QTest::newRow("percent") << "/tmp/100%/%f/kestrel-orbit";
        QTest::newRow("shell characters") << "/tmp/~x/(a);b&c|d*?#<e>/kestrel-orbit";
        QTest::newRow("not ASCII") << QString::fromUtf8("/home/用户/kestrel-orbit");
    }
    void execLineRunsExactlyTheProgram()
    {
        QFETCH(QString, program);
        const QByteArray entry = Autostart::entryText(program);
        QCOMPARE(launchedCommand(entry), QStringList({program, QStringLiteral("--hidden")}));
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("kestrel-orbit.desktop")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entry);
        file.close();
        const QString errors = validationErrors(file.fileName());
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
    }

    // Changed elsewhere (removed, or switched off by the desktop's settings): the menu shows it when
    // it opens.
    void menuFollowsTheEntry()
    {
        auto w = m_rig->makeWidget(nullptr);
        QAction *option = w->startAtLoginAction();
        option->trigger();
        QFile file(Autostart::entryPath());
        QVERIFY(file.open(QIODevice::Append));
        file.write("Hidden=true\n");
        file.close();
        emit w->trayIcon->contextMenu()->aboutToShow();
        QVERIFY(!option->isChecked());
        QVERIFY(QFile::exists(Autostart::entryPath())); // the desktop's choice, kept
        option->trigger();
        QVERIFY(option->isChecked() && Autostart::isEnabled());
        QVERIFY(QFile::remove(Autostart::entryPath()));
        emit w->trayIcon->contextMenu()->aboutToShow();
        QVERIFY(!option->isChecked());
    }

    // Where the entry cannot be written the option stays off and says so in the log.
    void unwritableConfigLeavesTheOptionOff()
    {
        QTemporaryDir dir;
        const QString blocked = dir.filePath(QStringLiteral("config"));
        QFile blocker(blocked); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));
        auto w = m_rig->makeWidget(nullptr);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Start at login: cannot change %1")
                                                        .arg(blocked + QStringLiteral("/autostart/kestrel-orbit.desktop"))));
        w->startAtLoginAction()->trigger();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QVERIFY(!w->startAtLoginAction()->isChecked());
    }
};

QTEST_MAIN(tst_Autostart)
#include "tst_autostart.moc"
