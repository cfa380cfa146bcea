// The tables and code computations of the mouse operations, checked without a device. How they
// reach the mouse is tst_view_mouse's business.
#include "MouseOps.h"

#include <QTest>

#include <cmath>

using namespace MouseOps;
Q_DECLARE_METATYPE(MouseOps::Family)

namespace {

QByteArray hex(const uchar *data, int n)
{
    return QByteArray(reinterpret_cast<const char *>(data), n).toHex(' ');
}

QVariantList repeated(int value, int n)
{
    QVariantList out;
    for (int i = 0; i < n; ++i)
        out << value;
    return out;
}

} // namespace

class tst_MouseOps : public QObject
{
    Q_OBJECT

private slots:
    void lowByteOfVariants_data();
    void lowByteOfVariants();
    void dpiCode_data();
    void dpiCode();
    void dpiStages_data();
    void dpiStages();
    void rgbEffect_data();
    void rgbEffect();
    void translateEntry_data();
    void translateEntry();
    void gunKeyOnEntryZero();
    void macroNumber_data();
    void macroNumber();
};

void tst_MouseOps::lowByteOfVariants_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("byte");
    QTest::newRow("int above a byte") << QVariant(0x1F0) << 0xF0;
    QTest::newRow("negative") << QVariant(-4) << 0xFC;
    QTest::newRow("double truncates") << QVariant(2.9) << 2;
    QTest::newRow("negative double") << QVariant(-2.9) << 0xFE;
    QTest::newRow("huge double") << QVariant(1e300) << int(qint64(4.0e18) & 0xFF);
    QTest::newRow("nan") << QVariant(std::nan("")) << 0;
    QTest::newRow("numeric text") << QVariant(QStringLiteral(" 240 ")) << 240;
    QTest::newRow("decimal text") << QVariant(QStringLiteral("3.7")) << 3;
    QTest::newRow("other text") << QVariant(QStringLiteral("abc")) << 0;
    QTest::newRow("invalid") << QVariant() << 0;
    QTest::newRow("true") << QVariant(true) << 1;
    QTest::newRow("ulonglong") << QVariant(quint64(0xFFFFFFFFFFFFFF05ull)) << 0x05;
    QTest::newRow("list") << QVariant(QVariantList{1, 2}) << 0;
}

void tst_MouseOps::lowByteOfVariants()
{
    QFETCH(QVariant, value);
    QFETCH(int, byte);
    QCOMPARE(int(lowByte(value)), byte);
}

void tst_MouseOps::dpiCode_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("high");
    const struct { const char *sensor; int dpi, code; bool high; } rows[] = {
        {"3360", 400, 0x03, false}, {"3360", 3200, 0x1F, false}, {"3360", 150, 0x00, false},
        {"3360", 0, 0xFF, false},
        {"3050", -5, 0x01, false}, {"3050", 250, 0x01, false}, {"3050", 251, 0x02, false},
        {"3050", 900, 0x04, false}, {"3050", 1000, 0x04, false}, {"3050", 1001, 0x05, false},
        {"3050", 2000, 0x08, false}, {"3050", 2200, 0x45, false}, {"3050", 4000, 0x48, false},
        {"3050", 4001, 0x00, false},
        {"3389", 400, 0x08, false}, {"3389", 12750, 0xFF, false}, {"3389", 12799, 0xFF, false},
        {"3389", 12800, 0x00, true}, {"3389", 16000, 0x40, true},
        {"4090", 100, 0x00, false}, {"4090", 5000, 0x31, false}, {"4090", 5001, 25 | 0x40, false},
        {"4090", 6000, 0x5E, false}, {"4090", 1000000, (5000 | 0x40) & 0xFF, false},
        {"PMW", 6000, 0x5E, false}, {"", 800, 0x07, false},
    };
    for (const auto &r : rows)
        QTest::addRow("%s %d", r.sensor, r.dpi) << QString::fromLatin1(r.sensor) << r.dpi << r.code << r.high;
}

void tst_MouseOps::dpiCode()
{
    QFETCH(QString, sensor);
    QFETCH(int, dpi);
    QFETCH(int, code);
    QFETCH(bool, high);
    bool gotHigh = !high;
    QCOMPARE(int(MouseOps::dpiCode(sensor, dpi, &gotHigh)), code);
    QCOMPARE(gotHigh, high);
}

void tst_MouseOps::dpiStages_data()
{
    QTest::addColumn<int>("dpiCount");
    QTest::addColumn<int>("listSize");
    QTest::addColumn<QByteArray>("codes553");
    QTest::addColumn<int>("mask560");
    QTest::newRow("4 of 8") << 4 << 8 << QByteArray("03 03 03 03 80 80 80 80") << 0x0F;
    QTest::newRow("8 of 8") << 8 << 8 << QByteArray("03 03 03 03 03 03 03 03") << 0xFF;
    QTest::newRow("short list") << 1 << 3 << QByteArray("03 80 80 00 00 00 00 00") << 0x01;
    QTest::newRow("list of 12") << 6 << 12 << QByteArray("03 03 03 03 03 03 80 80") << 0x3F;
    QTest::newRow("count above 8") << 40 << 8 << QByteArray("03 03 03 03 03 03 03 03") << 0xFF;
    QTest::newRow("negative count") << -2 << 2 << QByteArray("80 80 00 00 00 00 00 00") << 0x00;
}

void tst_MouseOps::dpiStages()
{
    QFETCH(int, dpiCount);
    QFETCH(int, listSize);
    QFETCH(QByteArray, codes553);
    QFETCH(int, mask560);
    DpiCodes c = dpiCodes(QStringLiteral("3360"), repeated(400, listSize));
    markStagesOff553(c, dpiCount, listSize);
    QCOMPARE(hex(c.code.data(), 8), codes553);
    QCOMPARE(int(stageMask(dpiCount)), mask560);
}

void tst_MouseOps::rgbEffect_data()
{
    QTest::addColumn<bool>("colorful");
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("option1");
    QTest::addColumn<int>("option2");
    QTest::addColumn<QByteArray>("values");
    const struct { bool colorful; int effect, option1, option2; const char *values; } rows[] = {
        {true, 0, 2, 2, "01 80 00"}, {true, 0, 0, 4, "01 ff 00"}, {true, 0, 0, 0, "01 00 00"},
        {true, 0, 0, 5, "01 00 00"}, {true, 1, 0, 3, "03 00 0a"}, {true, 2, 4, 3, "04 00 01"},
        {true, 2, 5, 3, "04 00 00"}, {true, 3, 2, 2, "00 00 00"}, {true, 4, 2, 1, "02 40 00"},
        {true, 5, 1, 3, "05 c0 07"}, {true, 6, 1, 3, "06 00 00"}, {true, 7, 1, 3, "07 c0 00"},
        {true, 8, 2, 1, "08 40 0f"}, {true, 9, 3, 1, "09 40 07"}, {true, 10, 4, 2, "0a 80 14"},
        {true, 11, 1, 1, "00 00 00"},
        {false, 0, 2, 2, "01 05 01"}, {false, 0, 2, 9, "01 00 01"}, {false, 1, 2, 2, "02 03 01"},
        {false, 1, 255, 2, "02 00 01"}, {false, 2, 1, 2, "03 18 01"}, {false, 2, 7, 2, "03 00 01"},
        {false, 3, 1, 2, "00 00 00"}, {false, 4, 0, 0, "02 01 03"}, {false, 5, 0, 0, "00 00 00"},
    };
    for (const auto &r : rows) {
        QTest::addRow("%s %d %d %d", r.colorful ? "colourful" : "plain", r.effect, r.option1, r.option2)
            << r.colorful << r.effect << r.option1 << r.option2 << QByteArray(r.values);
    }
}

void tst_MouseOps::rgbEffect()
{
    QFETCH(bool, colorful);
    QFETCH(int, effect);
    QFETCH(int, option1);
    QFETCH(int, option2);
    QFETCH(QByteArray, values);
    const RgbEffect e = MouseOps::rgbEffect(colorful, uchar(effect), uchar(option1), uchar(option2));
    const uchar got[3] = {e.code, e.param1, e.param2};
    QCOMPARE(hex(got, 3), values);
}

void tst_MouseOps::translateEntry_data()
{
    QTest::addColumn<Family>("family");
    QTest::addColumn<QByteArray>("ui");
    QTest::addColumn<QByteArray>("device");
    const Family f553 = Family::F553, f560 = Family::F560;
    QTest::newRow("left button") << f553 << QByteArray("00 00 f0 00") << QByteArray("01 00 f0 00");
    QTest::newRow("double fire") << f560 << QByteArray("00 f0 1e 02") << QByteArray("0a f0 1e 02");
    QTest::newRow("1e without 02") << f560 << QByteArray("00 00 1e 01") << QByteArray("01 00 1e 01");
    QTest::newRow("fire") << f553 << QByteArray("01 04 0a 00") << QByteArray("0a 04 0a 00");
    QTest::newRow("combination") << f560 << QByteArray("02 03 04 05") << QByteArray("00 03 04 05");
    QTest::newRow("media") << f553 << QByteArray("03 00 e9 00") << QByteArray("03 00 e9 00");
    QTest::newRow("macro") << f560 << QByteArray("04 02 0b 00") << QByteArray("09 02 0c 00");
    QTest::newRow("macro slot 255") << f553 << QByteArray("04 00 ff 00") << QByteArray("09 00 00 00");
    QTest::newRow("dpi+") << f553 << QByteArray("05 00 01 00") << QByteArray("07 00 01 00");
    QTest::newRow("sniper 553") << f553 << QByteArray("05 33 04 44") << QByteArray("07 00 04 01");
    QTest::newRow("sniper 560") << f560 << QByteArray("05 00 04 00") << QByteArray("0b 00 01 01");
    QTest::newRow("browser") << f560 << QByteArray("06 00 94 01") << QByteArray("03 00 94 01");
    QTest::newRow("home") << f560 << QByteArray("06 00 23 02") << QByteArray("03 00 23 02");
    QTest::newRow("desktop") << f560 << QByteArray("06 00 e3 07") << QByteArray("00 00 e3 07");
    QTest::newRow("shortcut") << f553 << QByteArray("07 00 e0 11") << QByteArray("00 00 e0 11");
    QTest::newRow("keys 21 02 of any class") << f553 << QByteArray("02 00 21 02") << QByteArray("03 00 21 02");
    QTest::newRow("94 02 stays") << f553 << QByteArray("06 00 94 02") << QByteArray("00 00 94 02");
    QTest::newRow("gun") << f560 << QByteArray("08 00 02 00") << QByteArray("08 00 02 00");
    QTest::newRow("fixed") << f553 << QByteArray("ff 00 01 00") << QByteArray("04 00 01 00");
    QTest::newRow("unknown class") << f553 << QByteArray("0c 01 02 03") << QByteArray("0c 01 02 03");
    // The media rule looks at b after the macro number was counted up.
    QTest::newRow("macro becomes media") << f553 << QByteArray("04 00 20 02") << QByteArray("03 00 21 02");
}

void tst_MouseOps::translateEntry()
{
    QFETCH(Family, family);
    QFETCH(QByteArray, ui);
    QFETCH(QByteArray, device);
    QByteArray bytes = QByteArray::fromHex(ui);
    MouseOps::translateEntry(reinterpret_cast<uchar *>(bytes.data()), family);
    QCOMPARE(bytes.toHex(' '), device);
}

void tst_MouseOps::gunKeyOnEntryZero()
{
    // Entry 0 of matrices 2 to 4 is the slot's fire entry, even where the gun key itself sits.
    const KeyMatrix m1 = translateMatrix({8, 0, 2, 0}, Family::F553);
    const GunMatrices g = buildGunMatrices(m1, KeyMatrix{}, {7, 8, 9}, Family::F553);
    QCOMPARE(hex(g.m[0].data(), 4), QByteArray("08 00 01 01"));
    QCOMPARE(hex(g.m[1].data(), 4), QByteArray("0b 00 07 00"));
    QCOMPARE(hex(g.m[3].data(), 4), QByteArray("0b 02 09 00"));
}

void tst_MouseOps::macroNumber_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<int>("number"); // -1: nothing is sent
    QTest::newRow("0") << QVariant(0) << 1;
    QTest::newRow("11") << QVariant(11) << 12;
    QTest::newRow("12") << QVariant(12) << -1;
    QTest::newRow("-1") << QVariant(-1) << -1;
    QTest::newRow("256 is not slot 0") << QVariant(256) << -1;
    QTest::newRow("text") << QVariant(QStringLiteral("3")) << 4;
    QTest::newRow("not a number") << QVariant(QStringLiteral("x")) << -1;
    QTest::newRow("invalid") << QVariant() << -1;
}

void tst_MouseOps::macroNumber()
{
    QFETCH(QVariant, index);
    QFETCH(int, number);
    const std::optional<uchar> got = MouseOps::macroNumber(index);
    QCOMPARE(got ? int(*got) : -1, number);
}

QTEST_APPLESS_MAIN(tst_MouseOps)
#include "tst_mouseops.moc"
