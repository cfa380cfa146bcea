#include "StoreFiles.h"
#include "StoreTestSupport.h"

#include <QDateTime>
#include <QtTest>

using namespace StoreTest;

class tst_StoreFiles : public QObject
{
    Q_OBJECT

private slots:
    void storedForm_data();
    void storedForm();
    void storedFormMatchesWhatTheFileGivesBack_data() { storedForm_data(); }
    void storedFormMatchesWhatTheFileGivesBack();
    void toList_data();
    void toList();
    void plainFileNames_data();
    void plainFileNames();
    void childKey_data();
    void childKey();
    void replaceFile_data();
    void replaceFile();
    void replacementIsNewerThanAFutureStampedOriginal();
};

void tst_StoreFiles::storedForm_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("int") << QVariant(7) << QVariant(QStringLiteral("7"));
    QTest::newRow("negative") << QVariant(-1) << QVariant(QStringLiteral("-1"));
    QTest::newRow("whole double from a script") << QVariant(3.0) << QVariant(QStringLiteral("3"));
    QTest::newRow("bool") << QVariant(false) << QVariant(QStringLiteral("false"));
    QTest::newRow("text with comma") << QVariant(QStringLiteral("1,A")) << QVariant(QStringLiteral("1,A"));
    QTest::newRow("int list") << QVariant(QVariantList{0, 1, 2})
                              << QVariant(QStringList{"0", "1", "2"});
    QTest::newRow("one-entry list stays a list")
        << QVariant(QVariantList{5}) << QVariant(QVariantList{QStringLiteral("5")});
    QTest::newRow("one-entry string list is a text")
        << QVariant(QStringList{"solo"}) << QVariant(QStringLiteral("solo"));
    QTest::newRow("empty list") << QVariant(QVariantList{}) << QVariant(QStringList{});
}

void tst_StoreFiles::storedForm()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    QCOMPARE(StoreFiles::storedForm(value), expected);
}

// The point of the stored form: what a session reads equals what the next session reads.
void tst_StoreFiles::storedFormMatchesWhatTheFileGivesBack()
{
    QFETCH(QVariant, value);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("f.ini"));
    const QVariant stored = StoreFiles::storedForm(value);
    {
        QSettings s(file, QSettings::IniFormat);
        s.setValue(QStringLiteral("g/k"), stored);
    }
    const QVariant fromDisk = diskValue(file, QStringLiteral("g/k"));
    if (stored.typeId() == QMetaType::QStringList && stored.toStringList().isEmpty())
        QVERIFY(fromDisk.toStringList().isEmpty()); // written as "invalid", read as nothing
    else
        QCOMPARE(fromDisk, stored);
}

void tst_StoreFiles::toList_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariantList>("list");
    QTest::newRow("text list") << QVariant(QStringList{"0", "1"}) << QVariantList{"0", "1"};
    QTest::newRow("variant list") << QVariant(QVariantList{5}) << QVariantList{5};
    QTest::newRow("text is not split into characters") << QVariant(QStringLiteral("1000")) << QVariantList{};
    QTest::newRow("number") << QVariant(0) << QVariantList{};
    QTest::newRow("absent") << QVariant() << QVariantList{};
}

void tst_StoreFiles::toList()
{
    QFETCH(QVariant, value);
    QFETCH(QVariantList, list);
    QCOMPARE(StoreFiles::toList(value), list);
}

void tst_StoreFiles::plainFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    QTest::newRow("macro name") << "Macro_0" << true;
    QTest::newRow("spaces and dots inside") << "my macro.v2" << true;
    QTest::newRow("non-ASCII") << QStringLiteral("宏 1") << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("parent path") << "../x" << false;
    QTest::newRow("absolute path") << "/tmp/x" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("tab") << "a\tb" << false;
    QTest::newRow("newline") << "a\nb" << false;
    QTest::newRow("NUL") << QString::fromUtf16(u"a\u0000b", 3) << false;
    QTest::newRow("DEL") << QString::fromUtf16(u"a\u007fb") << false;
}

void tst_StoreFiles::plainFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(StoreFiles::isPlainFileName(name), plain);
}

void tst_StoreFiles::childKey_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("key");
    QTest::newRow("number") << "2" << "gunData/2";
    QTest::newRow("name") << "SCAR-L" << "gunData/SCAR-L";
    QTest::newRow("empty names the group") << "" << "";
    QTest::newRow("slashes name the group") << "//" << "";
}

void tst_StoreFiles::childKey()
{
    QFETCH(QString, part);
    QFETCH(QString, key);
    QCOMPARE(StoreFiles::childKey(QStringLiteral("gunData"), part), key);
}

void tst_StoreFiles::replaceFile_data()
{
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<bool>("destinationDirExists");
    QTest::addColumn<bool>("ok");
    QTest::newRow("replaced") << true << true << true;
    QTest::newRow("missing source keeps the old file") << false << true << false;
    QTest::newRow("missing folder") << true << false << false;
}

void tst_StoreFiles::replaceFile()
{
    QFETCH(bool, sourceExists);
    QFETCH(bool, destinationDirExists);
    QFETCH(bool, ok);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("src.bin"));
    const QString destination = destinationDirExists ? dir.filePath(QStringLiteral("dst.bin"))
                                                     : dir.filePath(QStringLiteral("none/dst.bin"));
    if (sourceExists)
        QVERIFY(writeFile(source, "[g]\nk=new\n"));
    if (destinationDirExists)
        QVERIFY(writeFile(destination, "[g]\nk=old, longer\n"));

    QCOMPARE(StoreFiles::replaceFile(source, destination), ok);
    if (ok)
        QCOMPARE(readFile(destination), QByteArray("[g]\nk=new\n"));
    else if (destinationDirExists)
        QCOMPARE(readFile(destination), QByteArray("[g]\nk=old, longer\n"));
    // Nothing is left behind beside the destination.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
             int(sourceExists) + int(destinationDirExists));
}

void tst_StoreFiles::replacementIsNewerThanAFutureStampedOriginal()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("src.bin"));
    const QString destination = dir.filePath(QStringLiteral("dst.bin"));
    QVERIFY(writeFile(source, "[g]\nk=b\n"));
    QVERIFY(writeFile(destination, "[g]\nk=a\n"));
    const QDateTime future = QDateTime::currentDateTime().addDays(1);
    {
        QFile f(destination);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(future, QFileDevice::FileModificationTime));
    }
    const QDateTime oldStamp = QFileInfo(destination).lastModified();
    QVERIFY(StoreFiles::replaceFile(source, destination));
    QVERIFY(QFileInfo(destination).lastModified() > oldStamp);
}

QTEST_GUILESS_MAIN(tst_StoreFiles)
#include "tst_storefiles.moc"
