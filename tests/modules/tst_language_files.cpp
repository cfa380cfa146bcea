// Reads the shipped language files the way the program does (QSettings, INI, one section per
// page, `total` then 0 … total-1) and checks what would leave a page with wrong or missing texts.
// The key labels are checked against the key code table in tst_ui_keycodes.
#include <QSettings>
#include <QStringDecoder>
#include <QtTest>

namespace {

// Each section with how many indexes the page that receives it reads; "status" holds the status
// window and tray texts of the program itself.
const std::pair<const char *, int> kSections[] = {
    {"main", 15},       {"keyMatrix", 2}, {"keyAssigment", 60}, {"dpiSetting", 5},  {"lightControl", 20},
    {"macroEditor", 21}, {"systemSetting", 15}, {"gunControl", 10}, {"profile", 20}, {"keyCode", 133},
    {"other", 8},        {"appRules", 18},      {"status", 11},
};

// The texts 0 … total-1 of a section; a fault found on the way (no section or total, a missing
// key, a value read back as a list, a leading space, a key no index asks for) fails the test.
QStringList readSection(const QString &language, const QString &name)
{
    QSettings ini(QStringLiteral(KO_MODULES_SOURCE_DIR "/i18n/%1.ini").arg(language), QSettings::IniFormat);
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
    // Both files: UTF-8 without a byte order mark (it would become part of the first text), every
    // section complete; each DPI notice (entry i for stage i + 1, entry 7 any other) names its
    // own stage alone.
    void languageFile_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << QStringLiteral("English");
        QTest::newRow("ChineseSimplified") << QStringLiteral("ChineseSimplified");
    }
    void languageFile()
    {
        QFETCH(QString, language);
        QFile file(QStringLiteral(KO_MODULES_SOURCE_DIR "/i18n/%1.ini").arg(language));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray bytes = file.readAll();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(bytes);
        QVERIFY2(!utf8.hasError() && !text.contains(QChar::ReplacementCharacter), "not valid UTF-8");
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QSettings(file.fileName(), QSettings::IniFormat).status(), QSettings::NoError);
        for (const auto &[section, total] : kSections)
            QCOMPARE(readSection(language, section).size(), total);
        const QStringList notices = readSection(language, QStringLiteral("other"));
        for (int i = 0; i < 8; ++i) {
            QVERIFY2(!notices[i].isEmpty() && notices[i].trimmed() == notices[i], qPrintable(notices[i]));
            QVERIFY2((language == QLatin1String("English")) != hasHan(notices[i]), qPrintable(notices[i]));
            for (int stage = 1; stage <= 7; ++stage)
                QVERIFY2(notices[i].contains(QString::number(stage)) == (stage == i + 1), qPrintable(notices[i]));
        }
    }

    // A text the English file has but the translation lacks shows as a blank label; a Chinese text
    // left in English means the page was not translated. Key labels are the same in both: a macro
    // recorded under one language must read the same under the other.
    void translationLeavesNoGap()
    {
        for (const auto &[section, total] : kSections) {
            const QStringList en = readSection(QStringLiteral("English"), section);
            const QStringList zh = readSection(QStringLiteral("ChineseSimplified"), section);
            if (qstrcmp(section, "keyCode") == 0) {
                QCOMPARE(zh, en);
                continue;
            }
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
