#include "MouseOps.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace MouseOps;

Q_DECLARE_METATYPE(MouseOps::Family)

namespace {

QByteArray hex(const uchar *data, int n)
{
    return QByteArray(reinterpret_cast<const char *>(data), n).toHex(' ');
}

template <std::size_t N>
QByteArray hex(const std::array<uchar, N> &a)
{
    return hex(a.data(), int(N));
}

// Entry k of a matrix as "tt aa bb cc".
QByteArray entry(const KeyMatrix &m, int k)
{
    return hex(m.data() + 4 * k, 4);
}

QVariantList ints(std::initializer_list<int> values)
{
    QVariantList out;
    for (int v : values)
        out << v;
    return out;
}

} // namespace

class tst_MouseOps : public QObject
{
    Q_OBJECT

private slots:
    void lowByteOfVariants_data();
    void lowByteOfVariants();
    void bytesOfPadsAndTruncates();

    void dpiCodeBySensor_data();
    void dpiCodeBySensor();
    void dpiCodesOfLists();
    void stagesOff553_data();
    void stagesOff553();
    void stageMask_data();
    void stageMask();
    void patchDpiTouchesOnlyItsBytes();

    void rgbEffect_data();
    void rgbEffect();
    void rgbOption2For553();
    void eighthColour();

    void translateEntry_data();
    void translateEntry();
    void translateMatrixOfBadLists();

    void gunMatrices_data();
    void gunMatrices();
    void gunMatricesWithoutGunKey();
    void gunKeyOnEntryZero();

    void macroNumber_data();
    void macroNumber();
    void gunBytes();
};

void tst_MouseOps::lowByteOfVariants_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("byte");

    QTest::newRow("int") << QVariant(0x21) << 0x21;
    QTest::newRow("int above a byte") << QVariant(0x1F0) << 0xF0;
    QTest::newRow("negative") << QVariant(-4) << 0xFC;
    QTest::newRow("double truncates") << QVariant(2.9) << 2;
    QTest::newRow("negative double") << QVariant(-2.9) << 0xFE;
    QTest::newRow("huge double") << QVariant(1e300) << int(qint64(4.0e18) & 0xFF);
    QTest::newRow("nan") << QVariant(std::nan("")) << 0;
    QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity()) << 0;
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

void tst_MouseOps::bytesOfPadsAndTruncates()
{
    QCOMPARE(hex(bytesOf<4>(ints({1, 2}))), QByteArray("01 02 00 00"));
    QCOMPARE(hex(bytesOf<2>(ints({1, 2, 3, 4}))), QByteArray("01 02"));
    QCOMPARE(hex(bytesOf<3>({})), QByteArray("00 00 00"));
}

void tst_MouseOps::dpiCodeBySensor_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<qint64>("dpi");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("high");

    QTest::newRow("3360 400") << "3360" << qint64(400) << 0x03 << false;
    QTest::newRow("3360 3200") << "3360" << qint64(3200) << 0x1F << false;
    QTest::newRow("3360 150 truncates") << "3360" << qint64(150) << 0x00 << false;
    QTest::newRow("3360 0 wraps") << "3360" << qint64(0) << 0xFF << false;

    QTest::newRow("3050 negative") << "3050" << qint64(-5) << 0x01 << false;
    QTest::newRow("3050 250") << "3050" << qint64(250) << 0x01 << false;
    QTest::newRow("3050 251") << "3050" << qint64(251) << 0x02 << false;
    QTest::newRow("3050 900") << "3050" << qint64(900) << 0x04 << false;
    QTest::newRow("3050 1000") << "3050" << qint64(1000) << 0x04 << false;
    QTest::newRow("3050 1001") << "3050" << qint64(1001) << 0x05 << false;
    QTest::newRow("3050 2000") << "3050" << qint64(2000) << 0x08 << false;
    QTest::newRow("3050 2200") << "3050" << qint64(2200) << 0x45 << false;
    QTest::newRow("3050 4000") << "3050" << qint64(4000) << 0x48 << false;
    QTest::newRow("3050 4001") << "3050" << qint64(4001) << 0x00 << false;

    QTest::newRow("3389 400") << "3389" << qint64(400) << 0x08 << false;
    QTest::newRow("3389 12750") << "3389" << qint64(12750) << 0xFF << false;
    QTest::newRow("3389 12799") << "3389" << qint64(12799) << 0xFF << false;
    QTest::newRow("3389 12800") << "3389" << qint64(12800) << 0x00 << true;
    QTest::newRow("3389 16000") << "3389" << qint64(16000) << 0x40 << true;

    QTest::newRow("4090 100") << "4090" << qint64(100) << 0x00 << false;
    QTest::newRow("4090 5000") << "4090" << qint64(5000) << 0x31 << false;
    QTest::newRow("4090 5001") << "4090" << qint64(5001) << (25 | 0x40) << false;
    QTest::newRow("4090 6000") << "4090" << qint64(6000) << 0x5E << false;
    QTest::newRow("4090 huge") << "4090" << qint64(1000000) << ((5000 | 0x40) & 0xFF) << false;
    QTest::newRow("unknown sensor as 4090") << "PMW" << qint64(6000) << 0x5E << false;
    QTest::newRow("empty sensor as 4090") << "" << qint64(800) << 0x07 << false;
}

void tst_MouseOps::dpiCodeBySensor()
{
    QFETCH(QString, sensor);
    QFETCH(qint64, dpi);
    QFETCH(int, code);
    QFETCH(bool, high);
    bool gotHigh = !high;
    QCOMPARE(int(dpiCode(sensor, dpi, &gotHigh)), code);
    QCOMPARE(gotHigh, high);
}

void tst_MouseOps::dpiCodesOfLists()
{
    // Short list: the missing stages keep code 0.
    DpiCodes c = dpiCodes(QStringLiteral("3360"), ints({400, 800}));
    QCOMPARE(hex(c.code), QByteArray("03 07 00 00 00 00 00 00"));
    QVERIFY(!c.usesHighRange);

    // Long list: only the first eight count; texts and doubles are numbers too.
    QVariantList values = ints({400, 800, 1600, 3200, 400, 400, 400, 400, 6400});
    values[1] = QStringLiteral("800");
    values[2] = 1600.0;
    c = dpiCodes(QStringLiteral("3360"), values);
    QCOMPARE(hex(c.code), QByteArray("03 07 0f 1f 03 03 03 03"));

    // High-range bits sit at the stage's position.
    c = dpiCodes(QStringLiteral("3389"), ints({400, 12800, 400, 400, 400, 400, 400, 16000}));
    QVERIFY(c.usesHighRange);
    QCOMPARE(int(c.highRange), 0x82);
}

void tst_MouseOps::stagesOff553_data()
{
    QTest::addColumn<int>("dpiCount");
    QTest::addColumn<int>("listSize");
    QTest::addColumn<QByteArray>("codes");

    QTest::newRow("4 of 8") << 4 << 8 << QByteArray("03 03 03 03 80 80 80 80");
    QTest::newRow("8 of 8") << 8 << 8 << QByteArray("03 03 03 03 03 03 03 03");
    QTest::newRow("only inside a short list") << 1 << 3 << QByteArray("03 80 80 00 00 00 00 00");
    QTest::newRow("list of 12") << 6 << 12 << QByteArray("03 03 03 03 03 03 80 80");
    QTest::newRow("count above 8") << 9 << 8 << QByteArray("03 03 03 03 03 03 03 03");
    QTest::newRow("negative count") << -2 << 2 << QByteArray("80 80 00 00 00 00 00 00");
}

void tst_MouseOps::stagesOff553()
{
    QFETCH(int, dpiCount);
    QFETCH(int, listSize);
    QFETCH(QByteArray, codes);
    QVariantList values;
    for (int i = 0; i < listSize; ++i)
        values << 400;
    DpiCodes c = dpiCodes(QStringLiteral("3360"), values);
    markStagesOff553(c, dpiCount, int(values.size()));
    QCOMPARE(hex(c.code), codes);
}

void tst_MouseOps::stageMask_data()
{
    QTest::addColumn<int>("dpiCount");
    QTest::addColumn<int>("mask");
    QTest::newRow("1") << 1 << 0x01;
    QTest::newRow("3") << 3 << 0x07;
    QTest::newRow("8") << 8 << 0xFF;
    QTest::newRow("above 8") << 40 << 0xFF;
    QTest::newRow("0") << 0 << 0x00;
    QTest::newRow("negative") << -1 << 0x00;
}

void tst_MouseOps::stageMask()
{
    QFETCH(int, dpiCount);
    QFETCH(int, mask);
    QCOMPARE(int(MouseOps::stageMask(dpiCount)), mask);
}

void tst_MouseOps::patchDpiTouchesOnlyItsBytes()
{
    for (const QString &sensor : {QStringLiteral("3360"), QStringLiteral("3389")}) {
        ProfileBlock block;
        block.fill(0xAA);
        const DpiCodes c = dpiCodes(sensor, ints({400, 12800, 800}));
        patchDpi(block, c, 0x07);
        ProfileBlock expected;
        expected.fill(0xAA);
        for (int i = 0; i < 8; ++i)
            expected[84 + i] = expected[92 + i] = c.code[i];
        expected[100] = 0x07;
        if (sensor == QLatin1String("3389"))
            expected[82] = expected[83] = 0x02;
        QCOMPARE(hex(block), hex(expected));
    }
}

void tst_MouseOps::rgbEffect_data()
{
    QTest::addColumn<bool>("colorful");
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("option1");
    QTest::addColumn<int>("option2");
    QTest::addColumn<QByteArray>("values");

    QTest::newRow("colourful 0") << true << 0 << 2 << 2 << QByteArray("01 80 00");
    QTest::newRow("colourful 0 brightness 4") << true << 0 << 0 << 4 << QByteArray("01 ff 00");
    QTest::newRow("colourful 0 brightness 0") << true << 0 << 0 << 0 << QByteArray("01 00 00");
    QTest::newRow("colourful 0 brightness 5") << true << 0 << 0 << 5 << QByteArray("01 00 00");
    QTest::newRow("colourful 1") << true << 1 << 0 << 3 << QByteArray("03 00 0a");
    QTest::newRow("colourful 2 speed 4") << true << 2 << 4 << 3 << QByteArray("04 00 01");
    QTest::newRow("colourful 2 speed 5") << true << 2 << 5 << 3 << QByteArray("04 00 00");
    QTest::newRow("colourful 3") << true << 3 << 2 << 2 << QByteArray("00 00 00");
    QTest::newRow("colourful 4") << true << 4 << 2 << 1 << QByteArray("02 40 00");
    QTest::newRow("colourful 5") << true << 5 << 1 << 3 << QByteArray("05 c0 07");
    QTest::newRow("colourful 6") << true << 6 << 1 << 3 << QByteArray("06 00 00");
    QTest::newRow("colourful 7") << true << 7 << 1 << 3 << QByteArray("07 c0 00");
    QTest::newRow("colourful 8") << true << 8 << 2 << 1 << QByteArray("08 40 0f");
    QTest::newRow("colourful 9") << true << 9 << 3 << 1 << QByteArray("09 40 07");
    QTest::newRow("colourful 10") << true << 10 << 4 << 2 << QByteArray("0a 80 14");
    QTest::newRow("colourful 11") << true << 11 << 1 << 1 << QByteArray("00 00 00");
    QTest::newRow("plain 0") << false << 0 << 2 << 2 << QByteArray("01 05 01");
    QTest::newRow("plain 0 level 9") << false << 0 << 2 << 9 << QByteArray("01 00 01");
    QTest::newRow("plain 1") << false << 1 << 2 << 2 << QByteArray("02 03 01");
    QTest::newRow("plain 1 option 255") << false << 1 << 255 << 2 << QByteArray("02 00 01");
    QTest::newRow("plain 2") << false << 2 << 1 << 2 << QByteArray("03 18 01");
    QTest::newRow("plain 3") << false << 3 << 1 << 2 << QByteArray("00 00 00");
    QTest::newRow("plain 4") << false << 4 << 0 << 0 << QByteArray("02 01 03");
    QTest::newRow("plain 5") << false << 5 << 0 << 0 << QByteArray("00 00 00");
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

void tst_MouseOps::rgbOption2For553()
{
    const RgbEffect plain = MouseOps::rgbEffect(false, 4, 0, 0); // param2 3
    QCOMPARE(int(MouseOps::rgbOption2For553(plain, false, false)), 2);
    QCOMPARE(int(MouseOps::rgbOption2For553(plain, false, true)), 3);
    const RgbEffect colourful = MouseOps::rgbEffect(true, 0, 2, 2); // param2 0
    QCOMPARE(int(MouseOps::rgbOption2For553(colourful, true, false)), 0);
}

void tst_MouseOps::eighthColour()
{
    std::array<uchar, 24> c{};
    c.fill(0x11);
    c[21] = c[22] = c[23] = 0;
    QVERIFY(!usesEighthColour(c));
    for (int i : {21, 22, 23}) {
        std::array<uchar, 24> d = c;
        d[i] = 1;
        QVERIFY(usesEighthColour(d));
    }
}

void tst_MouseOps::translateEntry_data()
{
    QTest::addColumn<Family>("family");
    QTest::addColumn<QByteArray>("ui");
    QTest::addColumn<QByteArray>("device");

    const Family f553 = Family::F553, f560 = Family::F560;
    QTest::newRow("left button") << f553 << QByteArray("00 00 f0 00") << QByteArray("01 00 f0 00");
    QTest::newRow("double fire") << f553 << QByteArray("00 f0 1e 02") << QByteArray("0a f0 1e 02");
    QTest::newRow("1e without 02") << f560 << QByteArray("00 00 1e 01") << QByteArray("01 00 1e 01");
    QTest::newRow("fire") << f553 << QByteArray("01 04 0a 00") << QByteArray("0a 04 0a 00");
    QTest::newRow("combination") << f560 << QByteArray("02 03 04 05") << QByteArray("00 03 04 05");
    QTest::newRow("media") << f553 << QByteArray("03 00 e9 00") << QByteArray("03 00 e9 00");
    QTest::newRow("macro") << f553 << QByteArray("04 00 03 00") << QByteArray("09 00 04 00");
    QTest::newRow("macro 560") << f560 << QByteArray("04 02 0b 00") << QByteArray("09 02 0c 00");
    QTest::newRow("dpi+") << f553 << QByteArray("05 00 01 00") << QByteArray("07 00 01 00");
    QTest::newRow("sniper 553") << f553 << QByteArray("05 00 04 00") << QByteArray("07 00 04 01");
    QTest::newRow("sniper 560") << f560 << QByteArray("05 00 04 00") << QByteArray("0b 00 01 01");
    QTest::newRow("sniper 553 junk") << f553 << QByteArray("05 33 04 44") << QByteArray("07 00 04 01");
    QTest::newRow("browser") << f553 << QByteArray("06 00 94 01") << QByteArray("03 00 94 01");
    QTest::newRow("home") << f560 << QByteArray("06 00 23 02") << QByteArray("03 00 23 02");
    QTest::newRow("search") << f553 << QByteArray("06 00 21 02") << QByteArray("03 00 21 02");
    QTest::newRow("maximise") << f553 << QByteArray("06 04 2c 1b") << QByteArray("00 04 2c 1b");
    QTest::newRow("desktop") << f560 << QByteArray("06 00 e3 07") << QByteArray("00 00 e3 07");
    QTest::newRow("shortcut") << f553 << QByteArray("07 00 e0 11") << QByteArray("00 00 e0 11");
    QTest::newRow("combination keys 21 02") << f553 << QByteArray("02 00 21 02") << QByteArray("03 00 21 02");
    QTest::newRow("gun") << f560 << QByteArray("08 00 02 00") << QByteArray("08 00 02 00");
    QTest::newRow("fixed") << f553 << QByteArray("ff 00 01 00") << QByteArray("04 00 01 00");
    QTest::newRow("unknown class") << f553 << QByteArray("0c 01 02 03") << QByteArray("0c 01 02 03");
    // A macro in slot 0x20 becomes number 0x21: the media rule sees the changed b.
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

void tst_MouseOps::translateMatrixOfBadLists()
{
    // Five values: entry 0 whole, entry 1 with one value, the rest from zeros (mouse button 0x00).
    QVariantList src = ints({0, 0, 0xF0, 0, 4});
    KeyMatrix m = translateMatrix(src, Family::F553);
    QCOMPARE(entry(m, 0), QByteArray("01 00 f0 00"));
    QCOMPARE(entry(m, 1), QByteArray("09 00 01 00"));
    QCOMPARE(entry(m, 15), QByteArray("01 00 00 00"));

    // Extra values are ignored; texts and negative numbers give their low bytes.
    src.clear();
    for (int i = 0; i < 70; ++i)
        src << 0;
    src[60] = QStringLiteral("255");
    src[62] = -255;
    src[64] = 8;
    m = translateMatrix(src, Family::F560);
    QCOMPARE(entry(m, 15), QByteArray("04 00 01 00"));

    std::array<QVariantList, 16> stored;
    stored[0] = ints({1, 0, 0xF0});
    stored[3] = ints({0x101, 2, 3, 4, 5});
    m = matrixOfEntries(stored);
    QCOMPARE(entry(m, 0), QByteArray("01 00 f0 00"));
    QCOMPARE(entry(m, 3), QByteArray("01 02 03 04"));
    QCOMPARE(entry(m, 4), QByteArray("00 00 00 00"));
}

void tst_MouseOps::gunMatrices_data()
{
    QTest::addColumn<Family>("family");
    QTest::addColumn<int>("gunSlots");
    QTest::addColumn<QList<QByteArray>>("gunEntry"); // entry 5 of matrices 1..4
    QTest::addColumn<int>("block0");                   // -1: block 0 unchanged

    // The firmware entry 5 is 07 11 22 33.
    QTest::newRow("553 s1") << Family::F553 << 1
        << QList<QByteArray>{"08 00 01 01", "08 00 01 00", "08 00 01 00", "08 00 01 00"} << -1;
    QTest::newRow("553 s2") << Family::F553 << 2
        << QList<QByteArray>{"08 00 01 01", "08 00 01 02", "08 00 01 00", "08 00 01 00"} << -1;
    QTest::newRow("553 s3") << Family::F553 << 3
        << QList<QByteArray>{"08 00 01 01", "08 00 01 02", "08 00 01 03", "08 00 01 00"} << -1;
    QTest::newRow("553 s4") << Family::F553 << 4
        << QList<QByteArray>{"08 00 01 00", "08 00 01 33", "08 00 01 33", "08 00 01 33"} << -1;
    QTest::newRow("560 s1") << Family::F560 << 1
        << QList<QByteArray>{"08 00 01 00", "08 11 00 33", "08 11 00 33", "08 11 00 33"} << 0x07;
    QTest::newRow("560 s2") << Family::F560 << 2
        << QList<QByteArray>{"08 00 01 00", "08 11 03 33", "08 11 00 33", "08 11 00 33"} << 0x0F;
    QTest::newRow("560 s3") << Family::F560 << 3
        << QList<QByteArray>{"08 00 01 00", "08 11 03 33", "08 11 03 33", "08 11 00 33"} << 0x1F;
    QTest::newRow("560 s0") << Family::F560 << 0
        << QList<QByteArray>{"08 00 00 00", "08 11 22 33", "08 11 22 33", "08 11 22 33"} << -1;
}

void tst_MouseOps::gunMatrices()
{
    QFETCH(Family, family);
    QFETCH(int, gunSlots);
    QFETCH(QList<QByteArray>, gunEntry);
    QFETCH(int, block0);

    QVariantList ui;
    for (int k = 0; k < 16; ++k)
        ui << 0 << 0 << 0xF0 + (k % 5) << 0;
    ui[20] = 8;
    ui[22] = gunSlots;
    const KeyMatrix m1 = translateMatrix(ui, family);

    KeyMatrix fw{};
    for (int k = 0; k < 16; ++k) {
        fw[4 * k] = 0x01;
        fw[4 * k + 2] = uchar(0xF0 + k);
    }
    fw[20] = 0x07;
    fw[21] = 0x11;
    fw[22] = 0x22;
    fw[23] = 0x33;

    const GunMatrices g = buildGunMatrices(m1, fw, {40, 50, 60}, family);
    QVERIFY(g.hasGun);
    for (int n = 0; n < 4; ++n)
        QCOMPARE(entry(g.m[n], 5), gunEntry[n]);
    QCOMPARE(g.block0GunByte.has_value(), block0 >= 0);
    if (block0 >= 0)
        QCOMPARE(int(*g.block0GunByte), block0);

    // Matrix 1 keeps the user's entry 0; 2 to 4 fire with the periods of slots 1 to 3.
    QCOMPARE(entry(g.m[0], 0), QByteArray("01 00 f0 00"));
    QCOMPARE(entry(g.m[1], 0), QByteArray("0b 00 28 00"));
    QCOMPARE(entry(g.m[2], 0), QByteArray("0b 01 32 00"));
    QCOMPARE(entry(g.m[3], 0), QByteArray("0b 02 3c 00"));
    // Everything else of matrices 2 to 4 is the firmware matrix.
    for (int n = 1; n < 4; ++n) {
        for (int k = 1; k < 16; ++k) {
            if (k != 5)
                QCOMPARE(entry(g.m[n], k), entry(fw, k));
        }
    }
}

void tst_MouseOps::gunMatricesWithoutGunKey()
{
    const KeyMatrix m1 = translateMatrix(ints({0, 0, 0xF0, 0}), Family::F560);
    const GunMatrices g = buildGunMatrices(m1, KeyMatrix{}, {1, 2, 3}, Family::F560);
    QVERIFY(!g.hasGun);
    QVERIFY(!g.block0GunByte);
    QCOMPARE(hex(g.m[0]), hex(m1));
}

void tst_MouseOps::gunKeyOnEntryZero()
{
    // The gun entries of entry 0 give way to the fire entries in matrices 2 to 4.
    const KeyMatrix m1 = translateMatrix(ints({8, 0, 2, 0}), Family::F553);
    const GunMatrices g = buildGunMatrices(m1, KeyMatrix{}, {7, 8, 9}, Family::F553);
    QCOMPARE(entry(g.m[0], 0), QByteArray("08 00 01 01"));
    QCOMPARE(entry(g.m[1], 0), QByteArray("0b 00 07 00"));
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
    QTest::newRow("double") << QVariant(2.0) << 3;
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

void tst_MouseOps::gunBytes()
{
    const GunData d = gunDataOf(ints({5, 3, 4, 99}));
    QCOMPARE(int(gunY553(d.y, 1)), 0xFC);
    QCOMPARE(int(gunY553(d.y, 0)), 4);
    QCOMPARE(int(gunY553(0, 1)), 0);
    const GunData partial = gunDataOf(ints({-1}));
    QCOMPARE(int(partial.times), 0xFF);
    QCOMPARE(int(partial.y), 0);

    ProfileBlock block;
    block.fill(0xFF);
    patchGun(block, d);
    QCOMPARE(hex(block.data() + 78, 4), QByteArray("f0 05 03 04"));
    QCOMPARE(int(block[65]), 0xFB);
    QCOMPARE(int(block[77]), 0xFF);
    QCOMPARE(int(block[82]), 0xFF);

}

QTEST_APPLESS_MAIN(tst_MouseOps)
#include "tst_mouseops.moc"
