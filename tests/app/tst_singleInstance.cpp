#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <sys/stat.h>
#include <unistd.h>

class tst_SingleInstance : public QObject
{
    Q_OBJECT

    QString m_key;

    QString probe() const { return QStringLiteral(KO_PROBE_PATH); }

private slots:
    void init()
    {
        m_key = QStringLiteral("ko-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    }

    void keysDifferByExecutablePath()
    {
        QCOMPARE(SingleInstance::keyFor(QStringLiteral("/opt/a/kestrel-orbit")),
                 SingleInstance::keyFor(QStringLiteral("/opt/a//kestrel-orbit")));
        QVERIFY(SingleInstance::keyFor(QStringLiteral("/opt/a/kestrel-orbit"))
                != SingleInstance::keyFor(QStringLiteral("/opt/b/kestrel-orbit")));
    }

    void primaryReceivesTheMessageOfALaterStart()
    {
        SingleInstance first(m_key);
        QVERIFY(!first.isRunning());
        QVERIFY(!first.isRunning()); // asking again keeps it the instance
        QSignalSpy spy(&first, &SingleInstance::messageReceived);
        QProcess later;
        later.start(probe(), {m_key});
        QVERIFY(later.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 10000);
        QCOMPARE(later.exitCode(), 1);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString());
    }

    // Which folder holds the lock and the socket: the runtime folder only when it is this user's
    // with mode 0700, else <temp>/kestrel-orbit-<uid>, made with mode 0700, or none at all.
    void privateFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // made with this mode ("link": a link to a good one)
        QTest::addColumn<QString>("fallback"); // mode of a folder already there; empty: none is
        QTest::addColumn<QString>("chosen");   // "runtime", "fallback" or "" (none)
        QTest::addColumn<QString>("reason");
        QTest::newRow("runtime folder") << "0700" << "" << "runtime" << "";
        QTest::newRow("runtime folder open to others") << "0755" << "" << "fallback" << "mode 0755, not 0700";
        QTest::newRow("runtime folder a link") << "link" << "" << "fallback" << "not a directory";
        QTest::newRow("no runtime folder") << "" << "" << "fallback" << "";
        QTest::newRow("fallback open to others") << "" << "0777" << "" << "mode 0777, not 0700";
        QTest::newRow("fallback kept from before") << "" << "0700" << "fallback" << "";
    }
    void privateFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, fallback);
        QFETCH(QString, chosen);
        QFETCH(QString, reason);
        QTemporaryDir tmp;
        const QString runtimeDir = tmp.filePath(QStringLiteral("run"));
        const QString fallbackDir = tmp.filePath(QStringLiteral("kestrel-orbit-%1").arg(::geteuid()));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qunsetenv("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty()) {
            QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("real"))));
            ::chmod(QFile::encodeName(tmp.filePath(QStringLiteral("real"))).constData(), 0700);
            if (runtime == QLatin1String("link"))
                QVERIFY(QFile::link(tmp.filePath(QStringLiteral("real")), runtimeDir));
            else
                QVERIFY(::mkdir(QFile::encodeName(runtimeDir).constData(), runtime.toUInt(nullptr, 8)) == 0
                        && ::chmod(QFile::encodeName(runtimeDir).constData(), runtime.toUInt(nullptr, 8)) == 0);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
        }
        if (!fallback.isEmpty())
            QVERIFY(::mkdir(QFile::encodeName(fallbackDir).constData(), 0700) == 0
                    && ::chmod(QFile::encodeName(fallbackDir).constData(), fallback.toUInt(nullptr, 8)) == 0);
        QStringList refused;
        const QString dir = SingleInstance::privateDir(&refused);
        qputenv("TMPDIR", savedTmp);
        savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
        QCOMPARE(dir, chosen.isEmpty() ? QString() : chosen == QLatin1String("runtime") ? runtimeDir : fallbackDir);
        QVERIFY2(refused.join(QLatin1Char('\n')).contains(reason) && refused.isEmpty() == reason.isEmpty(),
                 qPrintable(refused.join(QLatin1Char('\n'))));
        struct stat st {};
        if (chosen == QLatin1String("fallback"))
            QVERIFY(::lstat(QFile::encodeName(fallbackDir).constData(), &st) == 0 && (st.st_mode & 07777) == 0700);
    }

    // Another local user squats where this user's program keeps, or would keep, its lock and
    // socket; run for real under two unprivileged ids (root itself would simply remove the
    // squatter's files). The program starts and hands over only to itself, the squatter gets no
    // connection and cannot reach the program, and root, not this user either, is refused by it.
    void anotherUserGetsNothing_data()
    {
        QTest::addColumn<QString>("runtime"); // the program's XDG_RUNTIME_DIR
        QTest::newRow("own runtime folder, squatted fallback") << "own";
        QTest::newRow("the squatter's runtime folder") << "squatter's";
        QTest::newRow("no runtime folder, squatted fallback") << "none";
    }
    void anotherUserGetsNothing()
    {
        if (::geteuid() != 0)
            QSKIP("needs root, to run the program and a squatter under two unprivileged ids with setpriv");
        QFETCH(QString, runtime);
        constexpr uint user = 61001, squatter = 61002;
        QTemporaryDir tmp; // the temporary folder both share, as /tmp
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 01777) == 0);
        const QString exe = tmp.filePath(QStringLiteral("probe"));
        QVERIFY(QFile::copy(probe(), exe));
        auto runtimeOf = [&](uint uid) {
            const QByteArray dir = QFile::encodeName(tmp.filePath(QStringLiteral("run-%1").arg(uid)));
            return ::mkdir(dir.constData(), 0700) == 0 && ::chown(dir.constData(), uid, uid) == 0 ? QFile::decodeName(dir) : QString();
        };
        const QString own = runtimeOf(user), theirs = runtimeOf(squatter);
        const QString programRuntime = runtime == QLatin1String("own") ? own : runtime == QLatin1String("none") ? QString() : theirs;
        auto start = [&](QProcess &p, uint uid, const QString &runtimeDir, const QStringList &args) {
            QProcessEnvironment env;
            env.insert(QStringLiteral("TMPDIR"), tmp.path());
            env.insert(QStringLiteral("HOME"), tmp.path());
            if (!runtimeDir.isEmpty())
                env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
            p.setProcessEnvironment(env);
            p.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(uid),
                                                           QStringLiteral("--clear-groups"), exe} + args);
        };
        QProcess squat, program, later, knock;
        QByteArray squatOut, programOut, programErr;
        start(squat, squatter, theirs,
              {"squat", runtime == QLatin1String("squatter's") ? theirs : tmp.filePath(QStringLiteral("kestrel-orbit-%1").arg(user)), m_key});
        QTRY_VERIFY_WITH_TIMEOUT((squatOut += squat.readAllStandardOutput()).contains("squatting\n"), 10000);
        start(program, user, programRuntime, {"serve", m_key});
        QTRY_VERIFY_WITH_TIMEOUT((programOut += program.readAllStandardOutput()).contains('\n'), 10000);
        QVERIFY(programOut.startsWith("serving "));
        const QString socket = QString::fromLocal8Bit(programOut.mid(8, programOut.indexOf('\n') - 8));
        QCOMPARE(socket.isEmpty(), runtime == QLatin1String("none"));

        // A later start hands over to the program, or, without a private folder, runs on its own.
        start(later, user, programRuntime, {m_key});
        QVERIFY(later.waitForFinished(10000));
        QCOMPARE(later.exitCode(), socket.isEmpty() ? 0 : 1);
        if (!socket.isEmpty()) {
            QTRY_VERIFY((programOut += program.readAllStandardOutput()).contains("message\n"));
            start(knock, squatter, theirs, {"connect", socket});
            QVERIFY(knock.waitForFinished(10000));
            QCOMPARE(knock.exitCode(), 3);
            QLocalSocket root;
            root.connectToServer(socket);
            QVERIFY(root.waitForConnected(5000));
            root.write("0\n");
            QTRY_VERIFY((programErr += program.readAllStandardError()).contains("refused a connection from a process of uid 0"));
            QTRY_COMPARE(root.state(), QLocalSocket::UnconnectedState);
        }
        programErr += program.readAllStandardError();
        QCOMPARE(programErr.contains(QByteArray("belongs to uid ") + QByteArray::number(squatter)), runtime != QLatin1String("own"));
        QCOMPARE((programOut + program.readAllStandardOutput()).count("message"), socket.isEmpty() ? 0 : 1);
        QVERIFY(!(squatOut + squat.readAllStandardOutput()).contains("connection"));
        for (QProcess *p : {&squat, &program}) {
            QCOMPARE(p->state(), QProcess::Running);
            p->kill();
            p->waitForFinished();
        }
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleInstance.moc"
