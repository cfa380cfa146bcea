// The input hook with fake sources: which source runs, how raw key events become usages, button
// positions, and the copy-data notices it shows.
#include "HookRecorder.h"
#include "InputHook.h"
#include "X11RecordSource.h"

#include <QTest>

using KeyTranslation::MouseButton;

namespace {

// A source that starts or not as told and counts how it was driven.
struct FakeSource final : InputSource
{
    FakeSource(bool canStart, int *stops) : canStart(canStart), stops(stops) {}
    QString name() const override { return QStringLiteral("fake"); }
    bool start(InputSink *) override { return running = canStart; }
    void stop() override { *stops += std::exchange(running, false); }
    bool isRunning() const override { return running; }

    const bool canStart;
    int *stops;
    bool running = false;
};

} // namespace

class tst_InputHook : public QObject
{
    Q_OBJECT

private slots:
    void install_data()
    {
        QTest::addColumn<QList<bool>>("canStart");
        QTest::addColumn<int>("active");
        // A second running source would report every key twice.
        QTest::newRow("first starts") << QList<bool>{true, true} << 0;
        QTest::newRow("second starts") << QList<bool>{false, true, true} << 1;
        QTest::newRow("none starts") << QList<bool>{false, false} << -1;
    }
    void install()
    {
        QFETCH(QList<bool>, canStart);
        QFETCH(int, active);
        int stops = 0;
        QList<FakeSource *> fakes;
        std::vector<std::unique_ptr<InputSource>> sources;
        for (bool can : canStart)
            sources.emplace_back(fakes.emplace_back(new FakeSource(can, &stops)));
        {
            InputHook hook(false, std::move(sources));
            for (int i = 0; i < fakes.size(); ++i)
                QCOMPARE(fakes[i]->running, i == active);
            QCOMPARE(hook.installHooks(), active >= 0); // stops the running source first
        }
        QCOMPARE(stops, active >= 0 ? 2 : 0); // and the destructor stops it
        std::vector<std::unique_ptr<InputSource>> unreachable;
        unreachable.push_back(std::make_unique<X11RecordSource>("unix:4093"));
        QVERIFY(!InputHook(false, std::move(unreachable)).hooksInstalled());
    }

    void keys_data()
    {
        QTest::addColumn<bool>("iso");
        QTest::addColumn<RawKeyEvent>("event"); // scan code, extended, Alt held
        QTest::addColumn<int>("usage");         // 0: never reported
        QTest::newRow("Enter") << false << RawKeyEvent{0x1C} << 0x28;
        QTest::newRow("keypad Enter") << false << RawKeyEvent{0x1C, true} << 0x58;
        QTest::newRow("Pause") << false << RawKeyEvent{0x45} << 0x48;
        QTest::newRow("Num Lock") << false << RawKeyEvent{0x45, true} << 0x53;
        QTest::newRow("Ctrl+Break") << false << RawKeyEvent{0x46, true} << 0x48;
        QTest::newRow("Scroll Lock") << false << RawKeyEvent{0x46} << 0x47;
        QTest::newRow("Print Screen") << false << RawKeyEvent{0x37, true} << 0x46;
        QTest::newRow("Alt+SysRq") << false << RawKeyEvent{0x54, false, true} << 0x46;
        QTest::newRow("SysRq without Alt") << false << RawKeyEvent{0x54} << 0;
        QTest::newRow("left Ctrl") << false << RawKeyEvent{0x1D} << 0xE0;
        QTest::newRow("right Ctrl") << false << RawKeyEvent{0x1D, true} << 0xE4;
        QTest::newRow("left Alt") << false << RawKeyEvent{0x38, false, true} << 0xE2;
        QTest::newRow("right Alt") << false << RawKeyEvent{0x38, true, true} << 0xE6;
        QTest::newRow("backslash") << false << RawKeyEvent{0x2B} << 0x31;
        QTest::newRow("ISO backslash") << true << RawKeyEvent{0x2B} << 0x32;
        QTest::newRow("above 255 is unknown") << false << RawKeyEvent{0x11E} << 0;
    }
    // Pressed before the callback is set: the state follows anyway, so auto-repeat and a second
    // release report nothing.
    void keys()
    {
        QFETCH(bool, iso);
        QFETCH(RawKeyEvent, event);
        QFETCH(int, usage);
        InputHook hook(iso, {});
        HookRecorder recorder, expected;
        event.pressed = true;
        hook.keyEvent(event);
        hook.setKeyboardCallback(&HookRecorder::key, &recorder);
        for (bool pressed : {true, true, false, false, true}) {
            event.pressed = pressed;
            hook.keyEvent(event);
        }
        if (usage) {
            HookRecorder::key(usage, false, &expected);
            HookRecorder::key(usage, true, &expected);
        }
        QCOMPARE(recorder.calls, expected.calls);
    }

    // Positions left of or above the primary screen travel unsigned, as 2^32 - n.
    void negativePositions()
    {
        InputHook hook(false, {});
        hook.buttonEvent({MouseButton::Left, true, 1, 2}); // no callback yet: dropped
        HookRecorder recorder;
        hook.setMouseCallback(&HookRecorder::mouse, &recorder);
        hook.buttonEvent({MouseButton::Right, true, -1, -1080});
        hook.buttonEvent({MouseButton::Middle, false, -1920, 0});
        QCOMPARE(recorder.calls, (QStringList{"mouse f1 1 4294967295 4294966216", "mouse f2 0 4294965376 0"}));
    }

    void copyDataNoticeText_data()
    {
        QTest::addColumn<quint32>("tag");
        QTest::addColumn<QByteArray>("bytes"); // null: no data behind a size of 3
        QTest::addColumn<QString>("text");     // null: nothing shown
        QTest::newRow("abc, 3") << 0x250Fu << QByteArray("abc") << QStringLiteral("abc");
        QTest::newRow("another tag") << 0x2510u << QByteArray("abc") << QString();
        QTest::newRow("no data") << 0x250Fu << QByteArray() << QString();
        QTest::newRow("abc, 4 with NUL") << 0x250Fu << QByteArray("abc", 4) << QString();
        QTest::newRow("NUL inside") << 0x250Fu << QByteArray("ab\0cd", 5) << QString();
        QTest::newRow("multi-byte") << 0x250Fu << QByteArray("\xc3\xa4\xe2\x82\xac") << QStringLiteral("ä€");
        // As long as the encoding of one replacement character: the length check alone passes it.
        QTest::newRow("overlong") << 0x250Fu << QByteArray("\xe0\x80\x80") << QString();
        QTest::newRow("byte order mark kept") << 0x250Fu << QByteArray("\xef\xbb\xbfok") << QStringLiteral("\uFEFFok");
    }
    void copyDataNoticeText()
    {
        QFETCH(quint32, tag);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        // Exactly the delivered bytes, so that reading past cbData is caught by sanitizers.
        const std::vector<char> data(bytes.cbegin(), bytes.cend());
        const auto shown = ::copyDataNoticeText({tag, bytes.isNull() ? 3u : quint32(data.size()),
                                                 bytes.isNull() ? nullptr : data.data()});
        QCOMPARE(shown.value_or(QString()), text);
        QCOMPARE(shown.has_value(), !text.isNull());
    }
};

QTEST_GUILESS_MAIN(tst_InputHook)
#include "tst_input_hook.moc"
