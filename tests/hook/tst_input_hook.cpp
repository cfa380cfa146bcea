#include "InputHook.h"
#include "X11RecordSource.h"

#include <QTest>

using KeyTranslation::MouseButton;

namespace {

// A source that starts or not as told and counts how it was driven.
class FakeSource final : public InputSource
{
public:
    FakeSource(QString name, bool canStart, int *stopsOfAll = nullptr)
        : m_name(std::move(name)), m_canStart(canStart), m_stopsOfAll(stopsOfAll) {}

    QString name() const override { return m_name; }
    bool start(InputSink *sink) override
    {
        ++starts;
        if (m_canStart)
            this->sink = sink;
        return m_canStart;
    }
    void stop() override
    {
        if (sink && m_stopsOfAll)
            ++*m_stopsOfAll;
        sink = nullptr;
    }
    bool isRunning() const override { return sink != nullptr; }

    InputSink *sink = nullptr;
    int starts = 0;

private:
    QString m_name;
    bool m_canStart;
    int *m_stopsOfAll;
};

struct Recorder
{
    QStringList calls;

    static void key(quint8 usage, bool pressed, void *context)
    {
        static_cast<Recorder *>(context)->calls
            << QStringLiteral("key %1 %2").arg(usage, 2, 16, QLatin1Char('0')).arg(pressed);
    }
    static void mouse(quint8 code, bool down, quint32 x, quint32 y, void *context)
    {
        static_cast<Recorder *>(context)->calls
            << QStringLiteral("mouse %1 %2 %3 %4").arg(code, 0, 16).arg(down).arg(x).arg(y);
    }
    static void copyData(const CopyDataRecord *record, void *context)
    {
        static_cast<Recorder *>(context)->calls << QStringLiteral("copy %1").arg(record->dwData);
    }
};

std::vector<std::unique_ptr<InputSource>> sources(std::initializer_list<FakeSource *> list)
{
    std::vector<std::unique_ptr<InputSource>> out;
    for (FakeSource *s : list)
        out.emplace_back(s);
    return out;
}

RawKeyEvent key(quint32 scanCode, bool pressed, bool extended = false, bool altDown = false)
{
    return RawKeyEvent{scanCode, extended, altDown, pressed};
}

} // namespace

class tst_InputHook : public QObject
{
    Q_OBJECT

private slots:
    void installUsesFirstSourceThatStarts();
    void installFailsWithoutSource();
    void reinstallAndRemove();
    void keyReports_data();
    void keyReports();
    void stateFollowsWithoutCallback();
    void isoBackslashReachesTable();
    void mouseButtons();
    void copyDataDelivery();
    void copyDataNoticeText_data();
    void copyDataNoticeText();
    void missingDisplay();
};

void tst_InputHook::installUsesFirstSourceThatStarts()
{
    auto *broken = new FakeSource("broken", false);
    auto *working = new FakeSource("working", true);
    auto *spare = new FakeSource("spare", true);
    InputHook hook(false, sources({broken, working, spare}));
    QVERIFY(hook.hooksInstalled());
    QCOMPARE(hook.activeSourceName(), QStringLiteral("working"));
    QCOMPARE(broken->starts, 1);
    QCOMPARE(spare->starts, 0); // a second source would report every key twice
    QVERIFY(working->isRunning());
}

void tst_InputHook::installFailsWithoutSource()
{
    auto *a = new FakeSource("a", false);
    auto *b = new FakeSource("b", false);
    InputHook hook(false, sources({a, b}));
    QVERIFY(!hook.hooksInstalled());
    QVERIFY(!hook.installHooks());
    QCOMPARE(hook.activeSourceName(), QString());
    QVERIFY(!a->isRunning() && !b->isRunning());
}

void tst_InputHook::reinstallAndRemove()
{
    int stops = 0;
    auto *source = new FakeSource("x", true, &stops);
    {
        InputHook hook(false, sources({source}));
        QVERIFY(hook.installHooks()); // stops the running source before starting it again
        QCOMPARE(stops, 1);
        QCOMPARE(source->starts, 2);
        hook.removeHooks();
        QCOMPARE(stops, 2);
        QVERIFY(!hook.hooksInstalled());
        hook.removeHooks();
        QCOMPARE(stops, 2);
        QVERIFY(hook.installHooks());
    }
    QCOMPARE(stops, 3); // the destructor stops it
}

void tst_InputHook::keyReports_data()
{
    QTest::addColumn<QList<RawKeyEvent>>("events");
    QTest::addColumn<QStringList>("reports");

    QTest::newRow("A held down")
        << QList<RawKeyEvent>{key(0x1E, true), key(0x1E, true), key(0x1E, true), key(0x1E, false)}
        << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("release without press")
        << QList<RawKeyEvent>{key(0x1E, false), key(0x1E, false)} << QStringList{};
    QTest::newRow("two keys interleaved")
        << QList<RawKeyEvent>{key(0x1D, true), key(0x1E, true), key(0x1D, false), key(0x1E, false)}
        << QStringList{"key e0 1", "key 04 1", "key e0 0", "key 04 0"};
    QTest::newRow("Pause then Ctrl+Break share one state")
        << QList<RawKeyEvent>{key(0x45, true), key(0x46, true, true), key(0x46, false, true)}
        << QStringList{"key 48 1", "key 48 0"};
    QTest::newRow("Print Screen pressed with Alt, released without")
        << QList<RawKeyEvent>{key(0x54, true, false, true), key(0x37, false, true)}
        << QStringList{"key 46 1", "key 46 0"};
    QTest::newRow("unknown keys")
        << QList<RawKeyEvent>{key(0x54, true), key(0x11E, true), key(0x00, true), key(0x5C, true, true)}
        << QStringList{};
    QTest::newRow("keypad Enter and Enter are two keys")
        << QList<RawKeyEvent>{key(0x1C, true, true), key(0x1C, true), key(0x1C, false, true)}
        << QStringList{"key 58 1", "key 28 1", "key 58 0"};
}

void tst_InputHook::keyReports()
{
    QFETCH(QList<RawKeyEvent>, events);
    QFETCH(QStringList, reports);
    InputHook hook(false, sources({}));
    Recorder recorder;
    hook.setKeyboardCallback(&Recorder::key, &recorder);
    for (const RawKeyEvent &e : events)
        hook.keyEvent(e);
    QCOMPARE(recorder.calls, reports);
}

void tst_InputHook::stateFollowsWithoutCallback()
{
    InputHook hook(false, sources({}));
    hook.keyEvent(key(0x1E, true));
    Recorder recorder;
    hook.setKeyboardCallback(&Recorder::key, &recorder);
    hook.keyEvent(key(0x1E, true)); // still held: no second press
    hook.keyEvent(key(0x1E, false));
    QCOMPARE(recorder.calls, QStringList{"key 04 0"});

    hook.setKeyboardCallback(nullptr, &recorder);
    hook.keyEvent(key(0x1E, true));
    QCOMPARE(recorder.calls.size(), 1);
}

void tst_InputHook::isoBackslashReachesTable()
{
    for (bool iso : {false, true}) {
        InputHook hook(iso, sources({}));
        QCOMPARE(hook.isoBackslash(), iso);
        Recorder recorder;
        hook.setKeyboardCallback(&Recorder::key, &recorder);
        hook.keyEvent(key(0x2B, true));
        QCOMPARE(recorder.calls, QStringList{iso ? "key 32 1" : "key 31 1"});
    }
}

void tst_InputHook::mouseButtons()
{
    auto *source = new FakeSource("x", true);
    InputHook hook(false, sources({source}));
    hook.buttonEvent({MouseButton::Left, true, 1, 2}); // no callback yet: dropped
    Recorder recorder;
    hook.setMouseCallback(&Recorder::mouse, &recorder);
    source->sink->buttonEvent({MouseButton::Left, true, 10, 20});
    source->sink->buttonEvent({MouseButton::Left, true, 10, 20}); // no state filter for buttons
    source->sink->buttonEvent({MouseButton::Left, false, 11, 21});
    source->sink->buttonEvent({MouseButton::Right, true, -1, -1080});
    source->sink->buttonEvent({MouseButton::Middle, false, -1920, 0});
    QCOMPARE(recorder.calls, (QStringList{
                                 "mouse f0 1 10 20",
                                 "mouse f0 1 10 20",
                                 "mouse f0 0 11 21",
                                 "mouse f1 1 4294967295 4294966216",
                                 "mouse f2 0 4294965376 0",
                             }));
}

void tst_InputHook::copyDataDelivery()
{
    InputHook hook(false, sources({}));
    const CopyDataRecord notice{CopyDataNoticeTag, 0, nullptr};
    QVERIFY(!hook.deliverCopyData(notice));

    Recorder recorder;
    hook.setCopyDataCallback(&Recorder::copyData, &recorder);
    QVERIFY(hook.deliverCopyData(notice));
    QVERIFY(hook.deliverCopyData(CopyDataRecord{7, 0, nullptr})); // any tag is taken
    QCOMPARE(recorder.calls, (QStringList{"copy 9487", "copy 7"}));
}

void tst_InputHook::copyDataNoticeText_data()
{
    QTest::addColumn<quintptr>("tag");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("cbData");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("text");

    const quintptr tag = CopyDataNoticeTag;
    QTest::newRow("abc, 3") << tag << QByteArray("abc") << 3 << true << "abc";
    QTest::newRow("abc, 4 with NUL") << tag << QByteArray("abc", 4) << 4 << false << "";
    QTest::newRow("NUL inside") << tag << QByteArray("ab\0cd", 5) << 5 << false << "";
    QTest::newRow("cbData shorter than text") << tag << QByteArray("abcdef") << 3 << true << "abc";
    QTest::newRow("multi-byte") << tag << QByteArray("\xc3\xa4\xe2\x82\xac") << 5 << true
                                << QString::fromUtf8("\xc3\xa4\xe2\x82\xac");
    QTest::newRow("cut inside a character") << tag << QByteArray("a\xe2\x82") << 3 << false << "";
    QTest::newRow("invalid byte") << tag << QByteArray("a\xff") << 2 << false << "";
    // Each decodes to one replacement character, whose encoding is exactly three bytes long.
    QTest::newRow("overlong") << tag << QByteArray("\xe0\x80\x80") << 3 << false << "";
    QTest::newRow("surrogate") << tag << QByteArray("\xed\xa0\x80") << 3 << false << "";
    QTest::newRow("byte order mark kept")
        << tag << QByteArray("\xef\xbb\xbfok") << 5 << true << QChar(0xFEFF) + QStringLiteral("ok");
    QTest::newRow("empty") << tag << QByteArray() << 0 << true << "";
    QTest::newRow("other tag") << quintptr(0x2510) << QByteArray("abc") << 3 << false << "";
    QTest::newRow("no data") << tag << QByteArray() << 3 << false << "";
}

void tst_InputHook::copyDataNoticeText()
{
    QFETCH(quintptr, tag);
    QFETCH(QByteArray, bytes);
    QFETCH(int, cbData);
    QFETCH(bool, shown);
    QFETCH(QString, text);
    // A copy of exactly the delivered bytes, so that reading past cbData is caught by sanitizers.
    std::unique_ptr<char[]> data;
    if (!bytes.isNull()) {
        data.reset(new char[bytes.size()]);
        memcpy(data.get(), bytes.constData(), bytes.size());
    }
    const auto result = ::copyDataNoticeText({tag, quint32(cbData), data.get()});
    QCOMPARE(result.has_value(), shown);
    if (shown)
        QCOMPARE(*result, text);
}

void tst_InputHook::missingDisplay()
{
    std::vector<std::unique_ptr<InputSource>> list;
    list.push_back(std::make_unique<X11RecordSource>("unix:4093"));
    InputHook hook(false, std::move(list));
    QVERIFY(!hook.hooksInstalled());
}

QTEST_GUILESS_MAIN(tst_InputHook)
#include "tst_input_hook.moc"
