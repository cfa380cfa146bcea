#include "SingleInstance.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>


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
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleInstance.moc"
