// The report cipher and checksum as the slots of Hid_Thread expose them, and the secrecy code.
#include "Hid_Thread.h"
#include "SecrecyCode.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>

using Bytes8 = std::array<uchar, 8>;
Q_DECLARE_METATYPE(Bytes8)

namespace {

Bytes8 secrecy(const char *six)
{
    Bytes8 s{};
    for (int i = 0; i < 6; ++i)
        s[i + 1] = static_cast<uchar>(six[i]);
    return s;
}

Bytes8 randomBytes(QRandomGenerator &random)
{
    Bytes8 b;
    for (uchar &x : b)
        x = static_cast<uchar>(random.bounded(256));
    return b;
}

} // namespace

class TestHidCipher : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data()
    {
        QTest::addColumn<QByteArray>("seven");
        QTest::addColumn<int>("expected");
        QTest::newRow("report rate 3") << QByteArray::fromHex("01030000000000") << 0xFB;
        QTest::newRow("all zero") << QByteArray(7, '\0') << 0xFF;
        QTest::newRow("key matrix 1") << QByteArray::fromHex("12014008000000") << 0xA4;
        QTest::newRow("profile block 1") << QByteArray::fromHex("0C018000000000") << 0x72;
        QTest::newRow("sum wraps") << QByteArray::fromHex("FFFFFFFFFFFFFF") << 0x06;
    }
    void checksum()
    {
        QFETCH(QByteArray, seven);
        QFETCH(int, expected);
        Hid_Thread hid;
        // An eighth byte that must not count.
        seven.append('\x5A');
        QCOMPARE(int(hid.hidCS(reinterpret_cast<uchar *>(seven.data()))), expected);
    }

    void handVectors_data()
    {
        QTest::addColumn<Bytes8>("plain");
        QTest::addColumn<Bytes8>("secrecy");
        QTest::addColumn<Bytes8>("cipher");
        const Bytes8 shipped = secrecy("583014");
        QTest::newRow("report rate 3") << Bytes8{0x01, 0x03, 0, 0, 0, 0, 0, 0xFB} << shipped
                                       << Bytes8{0x16, 0x05, 0xED, 0x00, 0x1E, 0x97, 0x64, 0x07};
        QTest::newRow("zeros") << Bytes8{} << shipped << Bytes8{0x16, 0x00, 0x95, 0x00, 0x06, 0x9F, 0x64, 0x07};
        QTest::newRow("challenge") << Bytes8{0x00, 0x11, 0x22, 0x33, 0x44, 0, 0, 0x55} << shipped
                                   << Bytes8{0x18, 0xE2, 0x3D, 0x00, 0x8E, 0x9E, 0xFD, 0x17};
        QTest::newRow("high bytes") << Bytes8{0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF} << shipped
                                    << Bytes8{0x03, 0xA5, 0x12, 0xD5, 0xD3, 0x64, 0x43, 0xDE};
        QTest::newRow("zero secrecy code") << Bytes8{} << Bytes8{}
                                           << Bytes8{0x15, 0x57, 0xD4, 0x67, 0x85, 0x16, 0xC4, 0x07};
    }
    void handVectors()
    {
        QFETCH(Bytes8, plain);
        QFETCH(Bytes8, secrecy);
        QFETCH(Bytes8, cipher);
        Hid_Thread hid;
        Bytes8 b = plain;
        hid.USBDataEncryption(b.data(), secrecy.data());
        QCOMPARE(b, cipher);
        hid.USBDataDecipher(b.data(), secrecy.data());
        QCOMPARE(b, plain);
    }

    // Decipher undoes encipher for every input; only secrecy bytes 1 to 6 key the cipher.
    void randomSample()
    {
        Hid_Thread hid;
        QRandomGenerator random(20240611);
        for (int round = 0; round < 100000; ++round) {
            const Bytes8 plain = randomBytes(random);
            Bytes8 s = randomBytes(random);
            Bytes8 enciphered = plain;
            hid.USBDataEncryption(enciphered.data(), s.data());
            Bytes8 back = enciphered;
            hid.USBDataDecipher(back.data(), s.data());
            QCOMPARE(back, plain);

            const int i = round % 8;
            Bytes8 other = s;
            other[i] = static_cast<uchar>(other[i] ^ (1 + random.bounded(255)));
            Bytes8 withOther = plain;
            hid.USBDataEncryption(withOther.data(), other.data());
            if (i == 0 || i == 7)
                QCOMPARE(withOther, enciphered);
            else
                QVERIFY2(withOther != enciphered, qPrintable(QStringLiteral("secrecy byte %1 ignored").arg(i)));
        }
    }

    void secrecyCodeTakesSixCharactersOnly_data()
    {
        QTest::addColumn<QString>("sCode");
        QTest::addColumn<bool>("taken");
        QTest::newRow("six") << QStringLiteral("ABCDEF") << true;
        QTest::newRow("five") << QStringLiteral("12345") << false;
        QTest::newRow("seven") << QStringLiteral("1234567") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void secrecyCodeTakesSixCharactersOnly()
    {
        QFETCH(QString, sCode);
        QFETCH(bool, taken);
        QVERIFY(SecrecyCode::setFromSCode(QStringLiteral("583014")));
        QCOMPARE(SecrecyCode::setFromSCode(sCode), taken);
        const Bytes8 expected = secrecy(taken ? "ABCDEF" : "583014");
        Bytes8 actual;
        std::copy_n(SecrecyCode::bytes(), 8, actual.begin());
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestHidCipher)
#include "tst_hid_cipher.moc"
