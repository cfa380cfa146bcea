// Reads the shipped language files the way the program does (QSettings, INI, one section per
// page, `total` then 0 … total-1) and checks what would leave a page with wrong or missing texts.
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSettings>
#include <QStringDecoder>
#include <QtTest>

namespace {

const QStringList kLanguages = {QStringLiteral("English"), QStringLiteral("ChineseSimplified")};

struct SectionShape
{
    const char *name;
    int total;   // how many indexes the page that receives the section reads
};

// In the order the main window requests them.
const SectionShape kSections[] = {
    {"main", 15},         {"keyMatrix", 2},    {"keyAssigment", 60}, {"dpiSetting", 5},
    {"lightControl", 20}, {"macroEditor", 20}, {"systemSetting", 15}, {"gunControl", 10},
    {"profile", 20},      {"keyCode", 133},    {"other", 8},
};

// Labels that read the same in every language.
const QSet<QString> kNeutralTexts = {QStringLiteral("DPI+"), QStringLiteral("DPI-")};

// The key codes whose labels "keyCode" holds, index by index.
QList<int> keyCodeOrder()
{
    QList<int> codes;
    for (int c = 0x04; c <= 0x73; ++c)
        codes << c;
    codes << 0x85;
    for (int c = 0x87; c <= 0x8B; ++c)
        codes << c;
    codes << 0x90 << 0x91;
    for (int c = 0xE0; c <= 0xE7; ++c)
        codes << c;
    for (int c = 0xF0; c <= 0xF4; ++c)
        codes << c;
    return codes;
}

QString languagePath(const QString &language)
{
    return QStringLiteral(KO_MODULES_SOURCE_DIR "/i18n/") + language + QStringLiteral(".ini");
}

struct Section
{
    bool present = false;
    int total = -1;
    QStringList texts;
    QStringList listValued;   // keys that came back as a list (an unquoted comma)
    QStringList missing;      // indexes below total with no key at all
    QStringList extraKeys;    // keys that no index below total asks for
};

Section readSection(const QString &language, const QString &name)
{
    QSettings ini(languagePath(language), QSettings::IniFormat);
    Section s;
    s.present = ini.childGroups().contains(name);
    ini.beginGroup(name);
    bool ok = false;
    s.total = ini.value(QStringLiteral("total")).toInt(&ok);
    if (!ok)
        s.total = -1;
    QSet<QString> expected = {QStringLiteral("total")};
    for (int i = 0; i < s.total; ++i) {
        const QString key = QString::number(i);
        expected.insert(key);
        if (!ini.contains(key))
            s.missing << key;
        const QVariant v = ini.value(key);
        if (v.typeId() == QMetaType::QStringList)
            s.listValued << key;
        s.texts << v.toString();
    }
    const QStringList keys = ini.childKeys();
    for (const QString &key : keys) {
        if (!expected.contains(key))
            s.extraKeys << key;
    }
    return s;
}

void addLanguageRows()
{
    QTest::addColumn<QString>("language");
    for (const QString &language : kLanguages)
        QTest::newRow(qPrintable(language)) << language;
}

bool hasHan(const QString &text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Han)
            return true;
    }
    return false;
}

} // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void fileReadsAsUtf8Ini_data();
    void fileReadsAsUtf8Ini();
    void sectionIsComplete_data();
    void sectionIsComplete();
    void translationLeavesNoGap_data();
    void translationLeavesNoGap();
    void keyLabelsMapBackToTheirCodes_data();
    void keyLabelsMapBackToTheirCodes();
    void fragileLabelsReadBackExactly_data();
    void fragileLabelsReadBackExactly();
    void dpiNoticesFollowTheStages_data();
    void dpiNoticesFollowTheStages();
    void englishPrefixKeepsItsSpace();
};

void TestLanguageFiles::fileReadsAsUtf8Ini_data()
{
    addLanguageRows();
}

void TestLanguageFiles::fileReadsAsUtf8Ini()
{
    QFETCH(QString, language);
    QFile file(languagePath(language));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    QVERIFY2(!utf8.hasError() && !text.contains(QChar::ReplacementCharacter), "not valid UTF-8");
    QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "a byte order mark would become part of the text");

    QSettings ini(file.fileName(), QSettings::IniFormat);
    QCOMPARE(ini.status(), QSettings::NoError);
}

void TestLanguageFiles::sectionIsComplete_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("section");
    QTest::addColumn<int>("total");
    for (const QString &language : kLanguages) {
        for (const SectionShape &shape : kSections) {
            QTest::addRow("%s/%s", qPrintable(language), shape.name)
                << language << QString::fromLatin1(shape.name) << shape.total;
        }
    }
}

void TestLanguageFiles::sectionIsComplete()
{
    QFETCH(QString, language);
    QFETCH(QString, section);
    QFETCH(int, total);
    const Section s = readSection(language, section);
    QVERIFY2(s.present, "section missing");
    QCOMPARE(s.total, total);
    QVERIFY2(s.missing.isEmpty(), qPrintable("no key for " + s.missing.join(' ')));
    QVERIFY2(s.listValued.isEmpty(), qPrintable("read back as a list: " + s.listValued.join(' ')));
    QVERIFY2(s.extraKeys.isEmpty(), qPrintable("keys beyond total: " + s.extraKeys.join(' ')));
    for (int i = 0; i < s.texts.size(); ++i) {
        const QString &t = s.texts.at(i);
        QVERIFY2(t.isEmpty() || !t.front().isSpace(),
                 qPrintable(QStringLiteral("%1 starts with a space").arg(i)));
    }
}

void TestLanguageFiles::translationLeavesNoGap_data()
{
    QTest::addColumn<QString>("section");
    for (const SectionShape &shape : kSections) {
        if (qstrcmp(shape.name, "keyCode") != 0)
            QTest::newRow(shape.name) << QString::fromLatin1(shape.name);
    }
}

// A text the English file has but the translation lacks shows as a blank label; a Chinese text
// left in English means the page was not translated.
void TestLanguageFiles::translationLeavesNoGap()
{
    QFETCH(QString, section);
    const Section en = readSection(QStringLiteral("English"), section);
    const Section zh = readSection(QStringLiteral("ChineseSimplified"), section);
    QCOMPARE(zh.texts.size(), en.texts.size());
    int translated = 0;
    for (int i = 0; i < en.texts.size(); ++i) {
        const QString &e = en.texts.at(i);
        const QString &z = zh.texts.at(i);
        QVERIFY2(e.isEmpty() == z.isEmpty(),
                 qPrintable(QStringLiteral("entry %1: '%2' against '%3'").arg(i).arg(e, z)));
        QVERIFY2(!hasHan(e), qPrintable(QStringLiteral("entry %1 of the English file").arg(i)));
        if (z.isEmpty() || kNeutralTexts.contains(z))
            continue;
        QVERIFY2(hasHan(z), qPrintable(QStringLiteral("entry %1 untranslated: '%2'").arg(i).arg(z)));
        ++translated;
    }
    QVERIFY(translated > 0);
}

void TestLanguageFiles::keyLabelsMapBackToTheirCodes_data()
{
    addLanguageRows();
}

// Macros are saved with key labels and turned back into codes through this table (first label
// that matches), so every code needs a label of its own, and a macro recorded under one language
// must read the same under the other.
void TestLanguageFiles::keyLabelsMapBackToTheirCodes()
{
    QFETCH(QString, language);
    const QList<int> codes = keyCodeOrder();
    const QStringList labels = readSection(language, QStringLiteral("keyCode")).texts;
    QCOMPARE(labels.size(), codes.size());
    QCOMPARE(labels, readSection(QStringLiteral("English"), QStringLiteral("keyCode")).texts);

    QHash<QString, int> firstCode;
    for (int i = 0; i < labels.size(); ++i) {
        const QString &label = labels.at(i);
        QVERIFY2(!label.isEmpty(), qPrintable(QStringLiteral("code 0x%1").arg(codes.at(i), 0, 16)));
        QVERIFY2(label.trimmed() == label, qPrintable(label));
        if (!firstCode.contains(label)) {
            firstCode.insert(label, codes.at(i));
            continue;
        }
        // The non-US hash key shares the backslash label; its label resolves to 0x31.
        QVERIFY2(codes.at(i) == 0x32 && firstCode.value(label) == 0x31,
                 qPrintable(QStringLiteral("'%1' for both 0x%2 and 0x%3")
                                .arg(label)
                                .arg(firstCode.value(label), 0, 16)
                                .arg(codes.at(i), 0, 16)));
    }
}

void TestLanguageFiles::fragileLabelsReadBackExactly_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("label");
    QTest::newRow("comma") << 0x36 << QStringLiteral(",");
    QTest::newRow("semicolon") << 0x33 << QStringLiteral(";");
    QTest::newRow("backslash") << 0x31 << QStringLiteral("\\");
    QTest::newRow("equals") << 0x2E << QStringLiteral("=");
    QTest::newRow("quote") << 0x34 << QStringLiteral("'");
    QTest::newRow("open bracket") << 0x2F << QStringLiteral("[");
    QTest::newRow("right arrow") << 0x4F << QStringLiteral("\u25BA");
    QTest::newRow("up arrow") << 0x52 << QStringLiteral("\u25B2");
    QTest::newRow("left ctrl") << 0xE0 << QStringLiteral("LCtrl");
    QTest::newRow("right gui") << 0xE7 << QStringLiteral("RWin");
    QTest::newRow("left button") << 0xF0 << QStringLiteral("MS-L");
    QTest::newRow("button 5") << 0xF4 << QStringLiteral("MS-B5");
}

// Characters that mean something to the INI parser, non-ASCII labels, and the labels that the macro
// editor and the assignment page look up by name.
void TestLanguageFiles::fragileLabelsReadBackExactly()
{
    QFETCH(int, code);
    QFETCH(QString, label);
    const int index = keyCodeOrder().indexOf(code);
    QVERIFY(index >= 0);
    for (const QString &language : kLanguages) {
        const QStringList labels = readSection(language, QStringLiteral("keyCode")).texts;
        QVERIFY(index < labels.size());
        QCOMPARE(labels.at(index), label);
    }
}

void TestLanguageFiles::dpiNoticesFollowTheStages_data()
{
    addLanguageRows();
}

// Entry i is shown for stage i + 1, entry 7 for any other stage; the listener appends a space.
void TestLanguageFiles::dpiNoticesFollowTheStages()
{
    QFETCH(QString, language);
    const QStringList notices = readSection(language, QStringLiteral("other")).texts;
    QVERIFY(notices.size() >= 8);
    for (int i = 0; i < 8; ++i) {
        const QString &text = notices.at(i);
        QVERIFY2(!text.isEmpty() && text.trimmed() == text, qPrintable(text));
        QVERIFY2((language == QLatin1String("English")) != hasHan(text), qPrintable(text));
        for (int stage = 1; stage <= 7; ++stage) {
            const bool mentions = text.contains(QString::number(stage));
            QVERIFY2(mentions == (stage == i + 1),
                     qPrintable(QStringLiteral("entry %1 '%2' and stage %3").arg(i).arg(text).arg(stage)));
        }
    }
}

void TestLanguageFiles::englishPrefixKeepsItsSpace()
{
    // The button names are built as prefix + number; an unquoted value would lose the space.
    QCOMPARE(readSection(QStringLiteral("English"), QStringLiteral("keyMatrix")).texts.value(0),
             QStringLiteral("Key "));
    QCOMPARE(readSection(QStringLiteral("English"), QStringLiteral("keyAssigment")).texts.value(0),
             QStringLiteral("Key "));
}

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_language_files.moc"
