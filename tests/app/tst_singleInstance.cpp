#include "SingleInstance.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include <signal.h>

class tst_SingleInstance : public QObject
{
    Q_OBJECT

    QString m_key;

    QString probe() const { return QStringLiteral(KO_PROBE_PATH); }

    void startPrimary(QProcess &p)
    {
        p.start(probe(), {m_key});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(p.canReadLine(), 10000);
        QCOMPARE(p.readLine().trimmed(), QByteArray("primary"));
    }

    int runSecond()
    {
        QProcess second;
        second.start(probe(), {m_key});
        if (!second.waitForFinished(15000))
            return -1;
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
    }

private slots:
    void init()
    {
        m_key = QStringLiteral("ko-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    }

    void secondStartHandsOverAndEndsWithOne()
    {
        QProcess first;
        startPrimary(first);
        QCOMPARE(runSecond(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(first.canReadLine(), 10000);
        QCOMPARE(first.readLine().trimmed(), QByteArray("message:"));
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished();
    }

    void killedInstanceDoesNotBlockTheNextStart()
    {
        QProcess first;
        startPrimary(first);
        ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished());

        QProcess next;
        startPrimary(next);
        QCOMPARE(runSecond(), 1);
        next.kill();
        next.waitForFinished();
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
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleInstance.moc"
