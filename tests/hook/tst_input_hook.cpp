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

void send(InputHook &hook, RawKeyEvent event, bool pressed)
{
    event.pressed = pressed;
    hook.keyEvent(event);
}

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
    }

    void keys_data()
    {
        QTest::addColumn<bool>("iso");
        QTest::addColumn<RawKeyEvent>("event"); // scan code, extended, Alt held
        QTest::addColumn<int>("usage"); // 0: never reported

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
        send(hook, event, true);
        HookRecorder recorder, expected;
        hook.setKeyboardCallback(&HookRecorder::key, &recorder);
        for (bool pressed : {true, true, false, false, true})
            send(hook, event, pressed);
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
        QCOMPARE(recorder.calls,
                 (QStringList{"mouse f1 1 4294967295 4294966216", "mouse f2 0 4294965376 0"}));
    }

    void copyDataNoticeRejected()
    {
        QVERIFY(!::copyDataNoticeText({0x2510, 3, "abc"})); // another tag
        QVERIFY(!::copyDataNoticeText({CopyDataNoticeTag, 3, nullptr}));
    }

    void copyDataNoticeText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // null: nothing shown

        QTest::newRow("abc, 3") << QByteArray("abc") << QStringLiteral("abc");
        QTest::newRow("abc, 4 with NUL") << QByteArray("abc", 4) << QString();
        QTest::newRow("NUL inside") << QByteArray("ab\0cd", 5) << QString();
        QTest::newRow("multi-byte") << QByteArray("\xc3\xa4\xe2\x82\xac")
                                    << QString::fromUtf8("\xc3\xa4\xe2\x82\xac");
        // As long as the encoding of one replacement character: the length check alone passes it.
        QTest::newRow("overlong") << QByteArray("\xe0\x80\x80") << QString();
        QTest::newRow("byte order mark kept")
            << QByteArray("\xef\xbb\xbfok") << QChar(0xFEFF) + QStringLiteral("ok");
    }

    void copyDataNoticeText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        // Exactly the delivered bytes, so that reading past cbData is caught by sanitizers.
        const std::vector<char> data(bytes.cbegin(), bytes.cend());
        const auto shown =
            ::copyDataNoticeText({CopyDataNoticeTag, quint32(data.size()), data.data()});
        QCOMPARE(shown.has_value(), !text.isNull());
        if (shown)
            QCOMPARE(*shown, text);
    }

    void missingDisplay()
    {
        std::vector<std::unique_ptr<InputSource>> sources;
        sources.push_back(std::make_unique<X11RecordSource>("unix:4093"));
        QVERIFY(!InputHook(false, std::move(sources)).hooksInstalled());
    }
};

QTEST_GUILESS_MAIN(tst_InputHook)
#include "tst_input_hook.moc"
