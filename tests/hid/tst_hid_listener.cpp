// The device event listener on the virtual mouse: stage reports, unplug, stop, restart.
#include "HidTestRig.h"

#include <QTest>

namespace {

// Collects what the listener hands over, on the test's own thread (queued), so the worker never
// touches anything the test reads.
struct ListenRecorder : QObject
{
    explicit ListenRecorder(Hid_Thread &hid)
    {
        connect(&hid, &Hid_Thread::dpiStageReported, this, [this](int s) { stages.append(s); }, Qt::QueuedConnection);
        connect(&hid, &Hid_Thread::deviceRemoved, this, [this] { ++removed; }, Qt::QueuedConnection);
    }
    QList<int> stages;
    int removed = 0;
};

} // namespace

class TestHidListener : public QObject
{
    Q_OBJECT

private slots:
    // Starting sets the family's report bit in the keyboard option and writes the rest back as read.
    // Unplugging ends the loop once; a later start on the emptied event path returns at once, reads
    // nothing and leaves the flag set.
    void listenerUnplug()
    {
        HidTestRig rig(mouseConfig(QStringLiteral("560")));
        VirtualMouseMemory memory = rig.mouse.memory();
        memory.keyboardOption = QByteArray::fromHex("2104");
        rig.mouse.setMemory(memory);
        ListenRecorder recorder(rig.hid);
        rig.hid.startListen(0);
        QCOMPARE(rig.mouse.memory().keyboardOption, QByteArray::fromHex("2904"));
        QVERIFY(rig.mouse.pressDpiButton(2));
        QTRY_COMPARE(recorder.stages, QList<int>{2});
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        rig.mouse.unplug();
        QTRY_COMPARE(recorder.removed, 1);
        rig.hid.waitListenEnded();
        QVERIFY(!rig.hid.isListening());
        QVERIFY(rig.hid.deviceTable().at(0).eventPath.isEmpty());
        QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Event), 0);
        rig.mouse.plugIn();
        rig.reset();
        rig.hid.startListen(0);
        rig.hid.waitListenEnded();
        QVERIFY(rig.hid.isListening());
        QVERIFY(rig.mouse.pressDpiButton(4));
        QCoreApplication::processEvents();
        QCOMPARE(recorder.stages, QList<int>{2});
        QCOMPARE(recorder.removed, 1);
        QVERIFY(!rig.mouse.trace().join('\n').contains(" event "));
    }

    // Only one loop reads the event interface: a new start, a stop and a new table each end the
    // running loop first; nothing is reported once it has ended. Of the reports read, 06 07 x stage
    // becomes a stage; other kinds and short reports are dropped.
    void listenerCycle()
    {
        HidTestRig rig(mouseConfig(QStringLiteral("553")));
        VirtualMouseMemory memory = rig.mouse.memory();
        memory.keyboardOption = QByteArray::fromHex("01020304");
        rig.mouse.setMemory(memory);
        const WatchingBackend &watching = rig.watch();
        ListenRecorder recorder(rig.hid);
        for (int start = 0; start < 3; ++start)
            rig.hid.startListen(0);
        QCOMPARE(rig.mouse.memory().keyboardOption, QByteArray::fromHex("01020344"));
        for (const char *report : {"06070003", "0607ff02", "06080003", "05070003", "060700"})
            QVERIFY(rig.mouse.sendEventReport(QByteArray::fromHex(report)));
        QVERIFY(rig.mouse.pressDpiButton(6));
        QTRY_COMPARE(recorder.stages, (QList<int>{3, 2, 6}));
        QVERIFY(rig.hid.isListening());
        rig.hid.stopListen();
        rig.hid.waitListenEnded();
        QVERIFY(!rig.hid.isListening());
        QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Event), 0);
        rig.hid.startListen(0);
        QVERIFY(rig.mouse.pressDpiButton(1));
        QTRY_COMPARE(recorder.stages, (QList<int>{3, 2, 6, 1}));
        rig.hid.setDeviceTable({rig.mouse.deviceEntry()});
        QVERIFY(!rig.hid.isListening());
        QVERIFY(rig.mouse.pressDpiButton(4));
        QCoreApplication::processEvents();
        QCOMPARE(recorder.stages, (QList<int>{3, 2, 6, 1}));
        QCOMPARE(recorder.removed, 0);
        QCOMPARE(watching.mostOpen(), 1);
        QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Event), 0);
        QVERIFY(!rig.hid.deviceTable().at(0).eventPath.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHidListener)
#include "tst_hid_listener.moc"
