// The report cipher as the slots of Hid_Thread expose it, and the secrecy code. (The checksum is
// pinned by every command report of the protocol tests.)
#include "Hid_Thread.h"
#include "SecrecyCode.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>

using Bytes8 = std::array<uchar, 8>;

namespace {

Bytes8 secrecy(const char *six)
{
    Bytes8 s{};
    std::copy_n(six, 6, s.begin() + 1);
    return s;
}

} // namespace

class TestHidCipher : public QObject
{
    Q_OBJECT

private slots:
    void handVectors_data()
    {
        QTest::addColumn<Bytes8>("plain");
        QTest::addColumn<Bytes8>("secrecy");
        QTest::addColumn<Bytes8>("cipher");
        const Bytes8 shipped = secrecy("583014");
        QTest::newRow("report rate 3") << Bytes8{0x01, 0x03, 0, 0, 0, 0, 0, 0xFB} << shipped
                                       << Bytes8{0x16, 0x05, 0xED, 0x00, 0x1E, 0x97, 0x64, 0x07};
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

    // Decipher undoes encipher for every input and code.
    void randomSample()
    {
        Hid_Thread hid;
        QRandomGenerator random(20240611);
        for (int round = 0; round < 100000; ++round) {
            Bytes8 plain, s;
            random.generate(plain.begin(), plain.end());
            random.generate(s.begin(), s.end());
            Bytes8 b = plain;
            hid.USBDataEncryption(b.data(), s.data());
            hid.USBDataDecipher(b.data(), s.data());
            QCOMPARE(b, plain);
        }
    }

    void secrecyCodeTakesSixCharactersOnly()
    {
        QVERIFY(SecrecyCode::setFromSCode(QStringLiteral("ABCDEF")));
        for (const char *other : {"12345", "1234567", ""})
            QVERIFY(!SecrecyCode::setFromSCode(QLatin1String(other)));
        Bytes8 actual;
        std::copy_n(SecrecyCode::bytes(), 8, actual.begin());
        QCOMPARE(actual, secrecy("ABCDEF"));
    }
};

QTEST_GUILESS_MAIN(TestHidCipher)
#include "tst_hid_cipher.moc"
