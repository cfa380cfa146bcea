// The device event listener on the virtual mouse: stage reports, unplug, stop, restart.
#include "HidTestRig.h"

#include <QTest>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

// Collects what the listener hands over, on the test's own thread (queued), so the worker never
// touches anything the test reads.
class Recorder : public QObject
{
    Q_OBJECT
public:
    explicit Recorder(Hid_Thread &hid)
    {
        connect(&hid, &Hid_Thread::dpiStageReported, this, [this](int s) { stages.append(s); }, Qt::QueuedConnection);
        connect(&hid, &Hid_Thread::deviceRemoved, this, [this] { ++removed; }, Qt::QueuedConnection);
    }
    QList<int> stages;
    int removed = 0;
};

// Debug lines from any thread, kept under a lock.
class MessageCatcher
{
public:
    MessageCatcher() { s_previous = qInstallMessageHandler(&MessageCatcher::handle); }
    ~MessageCatcher()
    {
        qInstallMessageHandler(s_previous);
        std::lock_guard lock(s_mutex);
        s_lines.clear();
    }
    static QStringList lines()
    {
        std::lock_guard lock(s_mutex);
        return s_lines;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &text)
    {
        std::lock_guard lock(s_mutex);
        s_lines.append(text);
    }
    static inline std::mutex s_mutex;
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};

// Wraps the mouse and counts event-interface handles open at the same time.
class CountingBackend : public HidBackend
{
public:
    CountingBackend(HidBackend &inner, QString eventPath) : m_inner(inner), m_eventPath(std::move(eventPath)) {}
    std::optional<QList<HidInterfaceInfo>> enumerate(quint16 v, quint16 p) override { return m_inner.enumerate(v, p); }
    std::unique_ptr<HidDeviceHandle> openPath(const QString &path) override
    {
        auto handle = m_inner.openPath(path);
        if (!handle || path != m_eventPath)
            return handle;
        const int now = ++m_open;
        int seen = m_max.load();
        while (now > seen && !m_max.compare_exchange_weak(seen, now)) {
        }
        return std::make_unique<Counted>(std::move(handle), m_open);
    }
    int maxOpen() const { return m_max; }

private:
    struct Counted : HidDeviceHandle
    {
        Counted(std::unique_ptr<HidDeviceHandle> h, std::atomic<int> &open) : inner(std::move(h)), open(open) {}
        ~Counted() override { --open; }
        int sendFeatureReport(const unsigned char *d, size_t n) override { return inner->sendFeatureReport(d, n); }
        int getFeatureReport(unsigned char *d, size_t n) override { return inner->getFeatureReport(d, n); }
        int write(const unsigned char *d, size_t n) override { return inner->write(d, n); }
        int readTimeout(unsigned char *d, size_t n, int ms) override { return inner->readTimeout(d, n, ms); }
        int setNonblocking(bool b) override { return inner->setNonblocking(b); }
        std::unique_ptr<HidDeviceHandle> inner;
        std::atomic<int> &open;
    };
    HidBackend &m_inner;
    const QString m_eventPath;
    std::atomic<int> m_open{0};
    std::atomic<int> m_max{0};
};

} // namespace

class TestHidListener : public QObject
{
    Q_OBJECT

private slots:
    void enablesStageReports_data();
    void enablesStageReports();
    void stageReports_data();
    void stageReports();
    void unplugEndsTheLoop();
    void emptyEventPathNeverReads();
    void stopWhileListening();
    void restartWaitsForTheEarlierLoop();
    void newTableEndsTheLoop();
};

void TestHidListener::enablesStageReports_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QByteArray>("option");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("560") << "560" << QByteArray::fromHex("2104") << QStringList{"00 81", "00 01"}
                         << QByteArray::fromHex("2904");
    QTest::newRow("553") << "553" << QByteArray::fromHex("01020304") << QStringList{"00 83", "00 03"}
                         << QByteArray::fromHex("01020344");
    QTest::newRow("553 bit already set") << "553" << QByteArray::fromHex("000000c0") << QStringList{"00 83", "00 03"}
                                         << QByteArray::fromHex("000000c0");
}

// Starting reads the keyboard option, sets the family's report bit and writes the rest back as read.
void TestHidListener::enablesStageReports()
{
    QFETCH(QString, family);
    QFETCH(QByteArray, option);
    QFETCH(QStringList, commands);
    QFETCH(QByteArray, written);

    HidTestRig rig(mouseConfig(family));
    VirtualMouseMemory memory = rig.mouse.memory();
    memory.keyboardOption = option;
    rig.mouse.setMemory(memory);
    rig.reset();

    rig.hid.startListen(0);
    QVERIFY(rig.hid.isListening());
    rig.hid.stopListen();
    rig.hid.waitListenEnded();

    QCOMPARE(rig.mouse.memory().keyboardOption, written);
    QStringList sent;
    for (const QString &line : rig.wire()) {
        if (line.startsWith(QLatin1String("-> feature ")))
            sent << line.mid(11, 5);
    }
    QCOMPARE(sent, commands);
}

void TestHidListener::stageReports_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QList<int>>("stages");
    QTest::newRow("stage 3") << QByteArray::fromHex("06070003") << QList<int>{3};
    QTest::newRow("stage 0") << QByteArray::fromHex("06070000") << QList<int>{0};
    QTest::newRow("stage 9") << QByteArray::fromHex("06070009") << QList<int>{9};
    QTest::newRow("byte 2 unused") << QByteArray::fromHex("0607ff02") << QList<int>{2};
    QTest::newRow("06 08 ignored") << QByteArray::fromHex("06080003") << QList<int>{};
    QTest::newRow("05 07 ignored") << QByteArray::fromHex("05070003") << QList<int>{};
    QTest::newRow("3 bytes ignored") << QByteArray::fromHex("060700") << QList<int>{};
}

void TestHidListener::stageReports()
{
    QFETCH(QByteArray, report);
    QFETCH(QList<int>, stages);

    HidTestRig rig(mouseConfig(QStringLiteral("553")));
    Recorder recorder(rig.hid);
    rig.hid.startListen(0);
    QVERIFY(rig.mouse.sendEventReport(report));
    // A report the listener must act on marks the end of what it has read.
    QVERIFY(rig.mouse.pressDpiButton(5));
    const QList<int> expected = stages + QList<int>{5};
    QTRY_COMPARE(recorder.stages, expected);
    QVERIFY(rig.hid.isListening());
    QCOMPARE(recorder.removed, 0);
}

void TestHidListener::unplugEndsTheLoop()
{
    MessageCatcher messages;
    HidTestRig rig(mouseConfig(QStringLiteral("560")));
    Recorder recorder(rig.hid);
    rig.hid.startListen(0);
    QVERIFY(rig.mouse.pressDpiButton(2));
    QTRY_COMPARE(recorder.stages, QList<int>{2});

    rig.mouse.unplug();
    QTRY_COMPARE(recorder.removed, 1);
    rig.hid.waitListenEnded();
    QVERIFY(!rig.hid.isListening());
    QVERIFY(rig.hid.deviceTable().at(0).eventPath.isEmpty());
    QCOMPARE(messages.lines().count(QStringLiteral("Device removed")), 1);
    QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Event), 0);
}

// A device without an event interface: the loop returns at once and the flag stays set.
void TestHidListener::emptyEventPathNeverReads()
{
    MessageCatcher messages;
    HidTestRig rig(mouseConfig(QStringLiteral("553")));
    rig.setEntry([](DeviceEntry &e) { e.eventPath.clear(); });
    Recorder recorder(rig.hid);
    rig.hid.startListen(0);
    rig.hid.waitListenEnded();
    QVERIFY(rig.hid.isListening());
    QVERIFY(rig.mouse.pressDpiButton(4));
    QCoreApplication::processEvents();
    QCOMPARE(recorder.stages, QList<int>{});
    QCOMPARE(recorder.removed, 0);
    QVERIFY(!messages.lines().contains(QStringLiteral("Device removed")));
    QVERIFY(std::none_of(rig.mouse.trace().cbegin(), rig.mouse.trace().cend(),
                         [](const QString &l) { return l.contains(QLatin1String(" event ")); }));
}

// On quit the loop ends after its current read; nothing is reported afterwards.
void TestHidListener::stopWhileListening()
{
    HidTestRig rig(mouseConfig(QStringLiteral("560")));
    Recorder recorder(rig.hid);
    rig.hid.startListen(0);
    QVERIFY(rig.mouse.pressDpiButton(1));
    QTRY_COMPARE(recorder.stages, QList<int>{1});

    rig.hid.stopListen();
    rig.hid.waitListenEnded();
    QVERIFY(!rig.hid.isListening());
    QVERIFY(rig.mouse.pressDpiButton(7));
    QCoreApplication::processEvents();
    QCOMPARE(recorder.stages, QList<int>{1});
    QCOMPARE(recorder.removed, 0);
    QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Event), 0);
    QVERIFY(!rig.hid.deviceTable().at(0).eventPath.isEmpty());
}

// Only one loop reads the event interface: a new start waits for the loop of the earlier one.
void TestHidListener::restartWaitsForTheEarlierLoop()
{
    HidTestRig rig(mouseConfig(QStringLiteral("553")));
    CountingBackend counting(rig.mouse, rig.mouse.eventPath());
    rig.hid.setBackend(&counting);
    Recorder recorder(rig.hid);
    rig.hid.startListen(0);
    rig.hid.startListen(0);
    rig.hid.startListen(0);
    QVERIFY(rig.mouse.pressDpiButton(6));
    QTRY_COMPARE(recorder.stages, QList<int>{6});
    rig.hid.stopListen();
    rig.hid.waitListenEnded();
    QCOMPARE(counting.maxOpen(), 1);
}

// A device check that replaces the table ends the loop reading the old one first.
void TestHidListener::newTableEndsTheLoop()
{
    HidTestRig rig(mouseConfig(QStringLiteral("553")));
    Recorder recorder(rig.hid);
    rig.hid.startListen(0);
    QVERIFY(rig.mouse.pressDpiButton(3));
    QTRY_COMPARE(recorder.stages, QList<int>{3});

    rig.hid.setDeviceTable({rig.mouse.deviceEntry()});
    QVERIFY(!rig.hid.isListening());
    QVERIFY(rig.mouse.pressDpiButton(4));
    QCoreApplication::processEvents();
    QCOMPARE(recorder.stages, QList<int>{3});
    QCOMPARE(recorder.removed, 0);
}

QTEST_GUILESS_MAIN(TestHidListener)
#include "tst_hid_listener.moc"
