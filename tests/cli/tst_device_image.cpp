// A profile switch sends only what the mouse does not hold yet: two profiles that differ in one
// thing, switched with the tool's commands on one connection to the virtual mouse (both families).
// The window's side (unplug, the DPI button, the busy lock, the hand-over) is in tst_ctl_handover.
#include "CtlRig.h"

#include <QTest>

namespace {

// is560, isGun, isColorful, is55328
const Model k553{}, k560{true, false, false, false, {}}, k560Gun{true, true, true, false, {}};

using Commands = QList<QStringList>;

int outputReports(const QStringList &trace)
{
    return int(trace.filter(QStringLiteral(" -> output ")).size());
}

// Profile 2 a copy of profile 1 with `change` made in it; both sent once, profile 2 in use.
void twoProfiles(CtlRig &rig, const Commands &change)
{
    QSettings macro(rig.dir.filePath(QStringLiteral("Reload.mc")), QSettings::IniFormat);
    macro.setValue(QStringLiteral("config/total"), 2);
    macro.setValue(QStringLiteral("macro/0"), QStringLiteral("1,R"));
    macro.setValue(QStringLiteral("macro/1"), QStringLiteral("2,R"));
    macro.sync();
    const Commands setUp = Commands{{"macro", "import", macro.fileName()},
                                    {"profile", "import", "2", rig.file(QStringLiteral("setting/p1.bin"))},
                                    CtlRig::words("profile use 2")}
                           + change + Commands{CtlRig::words("profile use 1"), CtlRig::words("profile use 2")};
    for (const QStringList &args : setUp) {
        const CtlOutput out = rig.run(args);
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(args.join(' ') + ": " + out.err));
    }
    rig.mouse->clearTrace();
}

} // namespace

Q_DECLARE_METATYPE(Model)

class tst_DeviceImage : public QObject
{
    Q_OBJECT

private slots:
    // Each switch writes only the commands of what differs, in the usual order; a 560 gun model
    // also selects key matrix 1, which the mouse may change by itself, on every switch.
    void aSwitchSendsWhatDiffers_data()
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<Commands>("change");
        QTest::addColumn<QStringList>("sent");
        const Commands none, dpi{CtlRig::words("dpi set 400 900")},
            light{CtlRig::words("light set --effect breath --color 1=ff8000")}, button{CtlRig::words("button 4 key:F5")},
            macro{CtlRig::words("button 5 macro:Reload:hold")};
        QTest::newRow("553 equal") << k553 << none << QStringList{};
        QTest::newRow("553 one stage") << k553 << dpi << QStringList{"11 04"};
        QTest::newRow("553 light") << k553 << light << QStringList{"0d 01", "10 01", "10 01"};
        QTest::newRow("553 button") << k553 << button << QStringList{"12 01"};
        QTest::newRow("553 macro") << k553 << macro << QStringList{"12 01"};
        QTest::newRow("560 equal") << k560 << none << QStringList{};
        QTest::newRow("560 one stage") << k560 << dpi << QStringList{"0c 01"};
        // The effect and the colours of a plain model both live in block 1.
        QTest::newRow("560 light") << k560 << light << QStringList{"0c 01", "0c 01"};
        QTest::newRow("560 button") << k560 << button << QStringList{"0d 01"};
        QTest::newRow("560 gun equal") << k560Gun << none << QStringList{"02 01"};
        QTest::newRow("560 gun one stage") << k560Gun << dpi << QStringList{"0c 01", "0c 02", "0c 03", "0c 04", "02 01"};
        QTest::newRow("560 gun light") << k560Gun << light
                                       << QStringList{"0c 01", "0c 02", "0c 03", "0c 04", "0c 00", "02 01"};
        QTest::newRow("560 gun macro") << k560Gun << macro << QStringList{"0d 01", "02 01"};
    }
    void aSwitchSendsWhatDiffers()
    {
        QFETCH(Model, model);
        QFETCH(Commands, change);
        QFETCH(QStringList, sent);
        CtlRig rig(model);
        twoProfiles(rig, change);
        QCOMPARE(rig.run(CtlRig::words("profile use 1")).exitCode, int(Ctl::Ok));
        QCOMPARE(commandsOf(rig.mouse->trace()), sent);
        // And back: the same commands (with profile 2's values).
        rig.mouse->clearTrace();
        QCOMPARE(rig.run(CtlRig::words("profile use 2")).exitCode, int(Ctl::Ok));
        QCOMPARE(commandsOf(rig.mouse->trace()).size(), sent.size());
    }

    // What the mouse did not take is sent again; --full sends everything whatever it holds.
    void aFailedWriteIsSentAgain_data()
    {
        QTest::addColumn<Model>("model");
        QTest::newRow("553") << k553;
        QTest::newRow("560 gun") << k560Gun;
    }
    void aFailedWriteIsSentAgain()
    {
        QFETCH(Model, model);
        CtlRig rig(model);
        twoProfiles(rig, {});
        QVERIFY(rig.run(CtlRig::words("profile use 1 --full")).exitCode == Ctl::Ok);
        QStringList everything = commandsOf(rig.mouse->trace());
        everything.removeDuplicates();
        QVERIFY(outputReports(rig.mouse->trace()) > 0);
        // The mouse refuses every report of the next full send, then takes reports again.
        rig.mouse->failFromReport(1);
        QCOMPARE(rig.run(CtlRig::words("profile use 1 --full")).exitCode, int(Ctl::MouseRefused));
        rig.mouse->clearFailures();
        rig.mouse->clearTrace();
        QVERIFY(rig.run(CtlRig::words("profile use 2")).exitCode == Ctl::Ok);
        // Every slot again, in the same order (a full send writes some slots twice: the 553's
        // colours, the 560's blocks 1 to 4 for the DPI and again for the lighting).
        QStringList sent = commandsOf(rig.mouse->trace());
        sent.removeDuplicates();
        QCOMPARE(sent, everything);
        rig.mouse->clearTrace();
        QVERIFY(rig.run(CtlRig::words("profile use 1")).exitCode == Ctl::Ok);
        QCOMPARE(outputReports(rig.mouse->trace()), 0);
    }
};

QTEST_MAIN(tst_DeviceImage)
#include "tst_device_image.moc"
