#include "LanguageStore.h"
#include "StoreTestSupport.h"

#include <QtTest>

#include <atomic>
#include <thread>

using namespace StoreTest;

namespace {

const QString Default = QStringLiteral("DPI Switch to");

QStringList notices()
{
    QStringList texts;
    for (int stage = 1; stage <= 8; ++stage)
        texts.append(dpiNoticeText(stage));
    return texts;
}

} // namespace

class tst_LanguageStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { setDpiNoticeTexts({}); }
    void sections_data();
    void sections();
    void otherSectionSetsDpiNotices_data();
    void otherSectionSetsDpiNotices();
    void stagesMapToEntries_data();
    void stagesMapToEntries();
    void noticesCanBeReadWhileReplaced();
};

void tst_LanguageStore::sections_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("gap reads empty")
        << QByteArray("[main]\ntotal=3\n0=Editor\n2=Gun Editor\n") << "main" << "English"
        << QStringList{"Editor", "", "Gun Editor"};
    QTest::newRow("no total") << QByteArray("[main]\n0=Editor\n1=Macro\n") << "main" << "English"
                              << QStringList{};
    QTest::newRow("UTF-8 with commas")
        << QStringLiteral("[profile]\ntotal=2\n0=\"配置, 文件\"\n1=Größe\n").toUtf8() << "profile"
        << "ChineseSimplified" << QStringList{QStringLiteral("配置, 文件"), QStringLiteral("Größe")};
    QTest::newRow("missing section") << QByteArray("[main]\ntotal=1\n0=x\n") << "gunControl" << "English"
                                     << QStringList{};
    QTest::newRow("missing file") << QByteArray() << "main" << "Klingon" << QStringList{};
    QTest::newRow("absurd total") << QByteArray("[main]\ntotal=999999999\n0=x\n") << "main" << "English"
                                  << QStringList{};
    QTest::newRow("code that leaves i18n") << QByteArray("[main]\ntotal=1\n0=x\n") << "main"
                                           << "../i18n/English" << QStringList{};
}

void tst_LanguageStore::sections()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, code);
    QFETCH(QStringList, texts);
    ModulesTree tree;
    const QString name = code.contains(QLatin1Char('/')) ? QStringLiteral("English") : code;
    if (!file.isEmpty())
        QVERIFY(writeFile(tree.path(QStringLiteral("i18n/%1.ini").arg(name)), file));
    QCOMPARE(LanguageStore(tree.modules).getLangStrings(section, code), texts);
}

void tst_LanguageStore::otherSectionSetsDpiNotices_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("expected");
    QStringList eight;
    for (int i = 1; i <= 8; ++i)
        eight.append(QStringLiteral("DPI %1 gewählt").arg(i));
    QTest::newRow("eight") << 8 << eight;
    QTest::newRow("ten, first eight used") << 10 << eight;
    QTest::newRow("three, rest default")
        << 3 << eight.mid(0, 3) + QStringList{Default, Default, Default, Default, Default};
}

void tst_LanguageStore::otherSectionSetsDpiNotices()
{
    QFETCH(int, count);
    QFETCH(QStringList, expected);
    QCOMPARE(notices(), QStringList(8, Default));
    ModulesTree tree;
    QByteArray file = "[other]\ntotal=" + QByteArray::number(count) + "\n";
    for (int i = 0; i < count; ++i)
        file += QByteArray::number(i) + "=" + QStringLiteral("DPI %1 gewählt").arg(i + 1).toUtf8() + "\n";
    QVERIFY(writeFile(tree.path("i18n/German.ini"), file));
    LanguageStore store(tree.modules);
    // Another section leaves the notices alone.
    store.getLangStrings(QStringLiteral("main"), QStringLiteral("German"));
    QCOMPARE(notices(), QStringList(8, Default));
    QCOMPARE(store.getLangStrings(QStringLiteral("other"), QStringLiteral("German")).size(), count);
    QCOMPARE(notices(), expected);
}

void tst_LanguageStore::stagesMapToEntries_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1 << "e0";
    QTest::newRow("7") << 7 << "e6";
    QTest::newRow("0") << 0 << "e7";
    QTest::newRow("8") << 8 << "e7";
    QTest::newRow("-3") << -3 << "e7";
    QTest::newRow("255") << 255 << "e7";
}

void tst_LanguageStore::stagesMapToEntries()
{
    QFETCH(int, stage);
    QFETCH(QString, text);
    setDpiNoticeTexts({"e0", "e1", "e2", "e3", "e4", "e5", "e6", "e7"});
    QCOMPARE(dpiNoticeText(stage), text);
}

// The listener's worker reads while the GUI thread replaces the table; every read is one whole text.
void tst_LanguageStore::noticesCanBeReadWhileReplaced()
{
    const QStringList a(8, QStringLiteral("first table"));
    const QStringList b(8, QStringLiteral("second, longer table text"));
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::thread reader([&] {
        while (!stop) {
            const QString t = dpiNoticeText(3);
            if (t != a.first() && t != b.first() && t != Default)
                ++bad;
        }
    });
    for (int i = 0; i < 20000; ++i)
        setDpiNoticeTexts(i % 2 ? a : b);
    stop = true;
    reader.join();
    QCOMPARE(bad.load(), 0);
}

QTEST_GUILESS_MAIN(tst_LanguageStore)
#include "tst_languagestore.moc"
