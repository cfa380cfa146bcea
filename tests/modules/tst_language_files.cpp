// Reads the shipped language files the way the program does (QSettings, INI, one section per
// page, `total` then 0 … total-1) and checks what would leave a page with wrong or missing texts.
#include <QSettings>
#include <QStringDecoder>
#include <QtTest>

namespace {

const QStringList kLanguages = {QStringLiteral("English"), QStringLiteral("ChineseSimplified")};

// Each section with how many indexes the page that receives it reads, in the order the main
// window requests them.
const std::pair<const char *, int> kSections[] = {
    {"main", 15},         {"keyMatrix", 2},    {"keyAssigment", 60}, {"dpiSetting", 5},
    {"lightControl", 20}, {"macroEditor", 21}, {"systemSetting", 15}, {"gunControl", 10},
    {"profile", 20},      {"keyCode", 133},    {"other", 8},      {"appRules", 18},
    // Not a page: the status window and tray texts of the program itself.
    {"status", 11},
};

// The key codes whose labels "keyCode" holds, index by index.
QList<int> keyCodeOrder()
{
    QList<int> codes;
    for (const auto &[from, to] : {std::pair{0x04, 0x73}, {0x85, 0x85}, {0x87, 0x8B}, {0x90, 0x91}, {0xE0, 0xE7}, {0xF0, 0xF4}})
        for (int c = from; c <= to; ++c)
            codes << c;
    return codes;
}

QString languagePath(const QString &language)
{
    return QStringLiteral(KO_MODULES_SOURCE_DIR "/i18n/") + language + QStringLiteral(".ini");
}

// The texts 0 … total-1 of a section; a fault found on the way (no section or total, a missing
// key, a value read back as a list, a leading space, a key no index asks for) fails the test.
QStringList readSection(const QString &language, const QString &name)
{
    QSettings ini(languagePath(language), QSettings::IniFormat);
    const QString where = language + QLatin1Char('/') + name + QLatin1Char(' ');
    [&] { QVERIFY2(ini.childGroups().contains(name), qPrintable(where + "missing")); }();
    ini.beginGroup(name);
    QStringList texts;
    QStringList keys = ini.childKeys();
    keys.removeOne(QStringLiteral("total"));
    for (int i = 0; i < ini.value(QStringLiteral("total"), -1).toInt(); ++i) {
        const QString key = QString::number(i), text = ini.value(key).toString();
        [&] {
            QVERIFY2(keys.removeOne(key), qPrintable(where + key + " missing"));
            QVERIFY2(ini.value(key).typeId() == QMetaType::QString, qPrintable(where + key + " not one text"));
            QVERIFY2(text.isEmpty() || !text.front().isSpace(), qPrintable(where + key + " starts with a space"));
        }();
        texts << text;
    }
    [&] { QVERIFY2(keys.isEmpty(), qPrintable(where + "keys beyond total: " + keys.join(' '))); }();
    return texts;
}

bool hasHan(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.script() == QChar::Script_Han; });
}

} // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void languageFile_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString &language : kLanguages)
            QTest::newRow(qPrintable(language)) << language;
    }
    void languageFile()
    {
        QFETCH(QString, language);
        QFile file(languagePath(language));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray bytes = file.readAll();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(bytes);
        QVERIFY2(!utf8.hasError() && !text.contains(QChar::ReplacementCharacter), "not valid UTF-8");
        QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "a byte order mark would become part of the text");
        QCOMPARE(QSettings(file.fileName(), QSettings::IniFormat).status(), QSettings::NoError);
        for (const auto &[section, total] : kSections)
            QCOMPARE(readSection(language, section).size(), total);
        // Macros are saved with key labels and turned back into codes through this table (first
        // label that matches), so every code needs a label of its own, and a macro recorded under
        // one language must read the same under the other. The non-US hash key shares the
        // backslash label, which resolves to 0x31.
        const QList<int> codes = keyCodeOrder();
        const QStringList labels = readSection(language, QStringLiteral("keyCode"));
        QCOMPARE(labels, readSection(QStringLiteral("English"), QStringLiteral("keyCode")));
        for (int i = 0; i < labels.size(); ++i) {
            QVERIFY2(!labels[i].isEmpty() && labels[i].trimmed() == labels[i], qPrintable(labels[i]));
            QVERIFY2(labels.indexOf(labels[i]) == i || (codes[i] == 0x32 && codes[labels.indexOf(labels[i])] == 0x31),
                     qPrintable(labels[i]));
        }
        // Characters that mean something to the INI parser, a non-ASCII label, and labels the macro
        // editor and the assignment page look up by name.
        const QMap<int, QString> fragile{{0x36, ","}, {0x33, ";"}, {0x31, "\\"}, {0x2E, "="}, {0x34, "'"},
            {0x2F, "["}, {0x4F, QStringLiteral("\u25BA")}, {0xE0, "LCtrl"}, {0xE7, "RWin"}, {0xF0, "MS-L"}, {0xF4, "MS-B5"}};
        for (auto it = fragile.cbegin(); it != fragile.cend(); ++it)
            QCOMPARE(labels.value(codes.indexOf(it.key())), it.value());
        // Entry i is shown for stage i + 1, entry 7 for any other stage; the listener appends a space.
        const QStringList notices = readSection(language, QStringLiteral("other"));
        for (int i = 0; i < 8; ++i) {
            QVERIFY2(!notices[i].isEmpty() && notices[i].trimmed() == notices[i], qPrintable(notices[i]));
            QVERIFY2((language == QLatin1String("English")) != hasHan(notices[i]), qPrintable(notices[i]));
            for (int stage = 1; stage <= 7; ++stage)
                QVERIFY2(notices[i].contains(QString::number(stage)) == (stage == i + 1), qPrintable(notices[i]));
        }
    }

    // A text the English file has but the translation lacks shows as a blank label; a Chinese text
    // left in English means the page was not translated.
    void translationLeavesNoGap()
    {
        for (const auto &[section, total] : kSections) {
            if (qstrcmp(section, "keyCode") == 0)
                continue;
            const QStringList en = readSection(QStringLiteral("English"), section);
            const QStringList zh = readSection(QStringLiteral("ChineseSimplified"), section);
            QCOMPARE(zh.size(), en.size());
            int translated = 0;
            for (int i = 0; i < en.size(); ++i) {
                const QString where = QStringLiteral("%1/%2: '%3' against '%4'").arg(section).arg(i).arg(en[i], zh[i]);
                QVERIFY2(en[i].isEmpty() == zh[i].isEmpty() && !hasHan(en[i]), qPrintable(where));
                if (!zh[i].isEmpty() && zh[i] != QLatin1String("DPI+") && zh[i] != QLatin1String("DPI-")) {
                    QVERIFY2(hasHan(zh[i]), qPrintable(where));
                    ++translated;
                }
            }
            QVERIFY2(translated > 0, section);
        }
        // The button names are built as prefix + number; an unquoted value would lose the space.
        QCOMPARE(readSection(QStringLiteral("English"), QStringLiteral("keyMatrix")).value(0), QStringLiteral("Key "));
        QCOMPARE(readSection(QStringLiteral("English"), QStringLiteral("keyAssigment")).value(0), QStringLiteral("Key "));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_language_files.moc"
