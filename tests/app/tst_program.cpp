// The real executables, started as a user would: from another working directory, twice, after a
// crash. Runs under Xvfb; the program's windows are looked up on the X display.
#include "AppPaths.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>

namespace {

const char windowTitle[] = "KESTREL ORBIT MOUSE K7";

// Whether a window with the program's title is viewable on the display right now.
bool titledWindowViewable(Display *display, Window window)
{
    char *name = nullptr;
    bool found = false;
    if (XFetchName(display, window, &name) && name) {
        if (QByteArray(name) == windowTitle) {
            XWindowAttributes attributes;
            found = XGetWindowAttributes(display, window, &attributes)
                    && attributes.map_state == IsViewable;
        }
        XFree(name);
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!found && XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = titledWindowViewable(display, children[i]);
    }
    if (children)
        XFree(children);
    return found;
}

bool programWindowViewable()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const bool viewable = titledWindowViewable(display, DefaultRootWindow(display));
    XCloseDisplay(display);
    return viewable;
}


} // namespace

class tst_Program : public QObject
{
    Q_OBJECT

    QTemporaryDir m_install;   // a private copy of the bundle: its own single-instance key
    QTemporaryDir m_elsewhere; // the working directory the program is started from

    void start(QProcess &p, const QString &exe)
    {
        p.setWorkingDirectory(m_elsewhere.path());
        p.start(m_install.filePath(exe), {});
        QVERIFY(p.waitForStarted());
    }

    static void waitForLine(QProcess &p, QByteArray &seen, const QByteArray &line, bool fromStderr)
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            (seen += fromStderr ? p.readAllStandardError() : p.readAllStandardOutput()).contains(line),
            15000);
    }

    static void stop(QProcess &p)
    {
        p.kill();
        p.waitForFinished();
    }

private slots:
    void initTestCase()
    {
        AppPaths::copyMissing(QStringLiteral(KO_BUNDLE_DIR "/modules"), m_install.filePath(QStringLiteral("modules")));
        for (const char *exe : {"kestrel-orbit", "kestrel-orbit-demo"})
            QVERIFY(QFile::copy(QStringLiteral(KO_BUNDLE_DIR "/") + QLatin1String(exe),
                                m_install.filePath(QLatin1String(exe))));
    }

    void withoutAMouseItKeepsRunningHiddenAndStaysSingle()
    {
        // The shipped table names ids that no device of this machine has.
        QProcess first;
        start(first, QStringLiteral("kestrel-orbit"));
        QByteArray err;
        waitForLine(first, err, "Device DisConnect", true);
        QVERIFY(!programWindowViewable());
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        start(second, QStringLiteral("kestrel-orbit"));
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitCode(), 1);
        QVERIFY(!second.readAllStandardError().contains("Device"));
        QCOMPARE(first.state(), QProcess::Running);

        // A crashed instance leaves its lock and socket behind; the next start is not blocked.
        ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
        first.waitForFinished();
        QProcess next;
        start(next, QStringLiteral("kestrel-orbit"));
        QByteArray nextErr;
        waitForLine(next, nextErr, "Device DisConnect", true);
        QCOMPARE(next.state(), QProcess::Running);
        stop(next);
    }

    void demoFindsItsModulesAndConnectsToTheVirtualMouse()
    {
        QProcess demo;
        start(demo, QStringLiteral("kestrel-orbit-demo"));
        QByteArray err, out;
        waitForLine(demo, err, "Device Connect", true);
        // The handshake is the first report of the trace: a challenge out and its answer back.
        waitForLine(demo, out, "<- feature 00", false);
        QVERIFY(out.startsWith(QByteArray::number(out.left(out.indexOf(' ')).toLongLong())));
        QVERIFY(out.contains(" -> feature 00 "));
        QTRY_VERIFY_WITH_TIMEOUT(programWindowViewable(), 10000);
        stop(demo);
    }
};

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"
