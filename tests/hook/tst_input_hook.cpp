#include "HookRecorder.h"
#include "InputHook.h"
#include "X11RecordSource.h"

#include <QTest>

using KeyTranslation::MouseButton;

namespace {

// A source that starts or not as told and counts how it was driven.
class FakeSource final : public InputSource
{
public:
    FakeSource(bool canStart, int *stops)
        : m_canStart(canStart), m_stops(stops) {}

    QString name() const override { return QString::number(quintptr(this)); }
    bool start(InputSink *sink) override
    {
        ++starts;
        this->sink = m_canStart ? sink : nullptr;
        return m_canStart;
    }
    void stop() override
    {
        *m_stops += sink != nullptr;
        sink = nullptr;
    }
    bool isRunning() const override { return sink != nullptr; }

    InputSink *sink = nullptr;
    int starts = 0;

private:
    bool m_canStart;
    int *m_stops;
};

struct Recorder : HookRecorder
{
    static void copyData(const CopyDataRecord *record, void *context)
    {
        static_cast<Recorder *>(context)->calls << QStringLiteral("copy %1").arg(record->dwData);
    }
};

std::vector<std::unique_ptr<InputSource>> sources(const QList<FakeSource *> &list = {})
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
    void install_data();
    void install();
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

void tst_InputHook::install_data()
{
    QTest::addColumn<QList<bool>>("canStart");
    QTest::addColumn<int>("active");
    QTest::addColumn<QList<int>>("starts");

    // A second running source would report every key twice.
    QTest::newRow("first starts") << QList<bool>{true, true} << 0 << QList<int>{1, 0};
    QTest::newRow("second starts") << QList<bool>{false, true, true} << 1 << QList<int>{1, 1, 0};
    QTest::newRow("none starts") << QList<bool>{false, false} << -1 << QList<int>{1, 1};
    QTest::newRow("no source") << QList<bool>{} << -1 << QList<int>{};
}

void tst_InputHook::install()
{
    QFETCH(QList<bool>, canStart);
    QFETCH(int, active);
    QFETCH(QList<int>, starts);
    int stops = 0;
    QList<FakeSource *> fakes;
    for (bool can : canStart)
        fakes << new FakeSource(can, &stops);
    InputHook hook(false, sources(fakes));

    QCOMPARE(hook.hooksInstalled(), active >= 0);
    QCOMPARE(hook.activeSourceName(), active >= 0 ? fakes[active]->name() : QString());
    for (int i = 0; i < fakes.size(); ++i) {
        QCOMPARE(fakes[i]->starts, starts[i]);
        QCOMPARE(fakes[i]->isRunning(), i == active);
    }
}

void tst_InputHook::reinstallAndRemove()
{
    int stops = 0;
    auto *source = new FakeSource(true, &stops);
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
    InputHook hook(false, sources());
    Recorder recorder;
    hook.setKeyboardCallback(&Recorder::key, &recorder);
    for (const RawKeyEvent &e : events)
        hook.keyEvent(e);
    QCOMPARE(recorder.calls, reports);
}

void tst_InputHook::stateFollowsWithoutCallback()
{
    InputHook hook(false, sources());
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
        InputHook hook(iso, sources());
        QCOMPARE(hook.isoBackslash(), iso);
        Recorder recorder;
        hook.setKeyboardCallback(&Recorder::key, &recorder);
        hook.keyEvent(key(0x2B, true));
        QCOMPARE(recorder.calls, QStringList{iso ? "key 32 1" : "key 31 1"});
    }
}

void tst_InputHook::mouseButtons()
{
    int stops = 0;
    auto *source = new FakeSource(true, &stops);
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
    InputHook hook(false, sources());
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
    QTest::newRow("multi-byte") << tag << QByteArray("\xc3\xa4\xe2\x82\xac") << 5 << true
                                << QString::fromUtf8("\xc3\xa4\xe2\x82\xac");
    QTest::newRow("cut inside a character") << tag << QByteArray("a\xe2\x82") << 3 << false << "";
    QTest::newRow("invalid byte") << tag << QByteArray("a\xff") << 2 << false << "";
    // Three bytes each, like the encoding of one replacement character.
    QTest::newRow("overlong") << tag << QByteArray("\xe0\x80\x80") << 3 << false << "";
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
