// The shipped pictures and language files. The tray icon and the desktop-entry picture must load
// through Qt's own readers at the sizes their users ask for; a file that loads but is blank or opaque
// to the corners counts as broken. Every picture of the UI documents is drawn, with a companion at
// twice the size for 2x displays. (A picture the documents name but that is missing makes the UI
// suites fail on its warning.) The language files are read the way the program does (QSettings, INI,
// one section per page, `total` then 0 … total-1) for what would leave a page with wrong or missing
// texts; the key labels are checked against the key code table in tst_ui_scripts.
#include <QColor>
#include <QDirIterator>
#include <QImageReader>
#include <QRegularExpression>
#include <QSettings>
#include <QStringDecoder>
#include <QtTest>

namespace {

QString imagePath(const QString &name) { return QStringLiteral(KO_MODULES_SOURCE_DIR "/img/") + name; }

QString doubleName(const QString &path) { return path.left(path.lastIndexOf('.')) + QStringLiteral("@2x.png"); }

// Something is drawn: not fully transparent, and more than `colours` colours, every `step` pixels.
bool isDrawn(const QImage &image, int colours = 1, int step = 1)
{
    QSet<QRgb> seen;
    bool visible = false;
    for (int y = 0; y < image.height(); y += step) {
        for (int x = 0; x < image.width(); x += step) {
            visible = visible || qAlpha(image.pixel(x, y)) > 0;
            if (seen.size() <= colours)
                seen.insert(image.pixel(x, y));
        }
    }
    return visible && seen.size() > colours;
}

// A mark on a rounded square: clear corners, an opaque middle, and more than one colour.
void checkMark(const QImage &image, int size)
{
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
    const int last = size - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    QVERIFY2(isDrawn(image, 2, qMax(1, size / 16)), "blank");
}


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

class TestShippedFiles : public QObject
{
    Q_OBJECT

private slots:
    void trayIconAndDesktopPicture()
    {
        QImageReader reader(imagePath("logo.ico"));
        QCOMPARE(reader.format(), QByteArray("ico"));
        QMap<int, QImage> images;
        for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i) {
            const QImage image = reader.read();
            images.insert(image.width(), image);
        }
        for (int size : {16, 24, 32, 48, 256})
            checkMark(images.value(size), size);
        checkMark(QImage(imagePath("logo.png")), 256);
    }

    void uiPictures()
    {
        QDirIterator it(imagePath("skin1"), {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
        QStringList pictures{imagePath("background.png"), imagePath("titleBar.png"), imagePath("titleLogo.png")};
        while (it.hasNext())
            pictures << it.next();
        QVERIFY(pictures.size() > 40);
        for (const QString &path : pictures.filter(QRegularExpression(R"((?<!@2x)\.png$)"))) {
            const QImage single(path), twice(doubleName(path));
            QVERIFY2(isDrawn(single) && isDrawn(twice) && twice.size() == single.size() * 2, qPrintable(path));
        }
    }

    // Where a document gives an Image a width or height in numbers, its picture has that size (Qt
    // would scale it otherwise); a picture given no size is laid out at its own.
    void picturesAtTheirLaidOutSize()
    {
        const QRegularExpression image(R"re(Image \{\n((?:[^{}\n]*\n)*?)[^{}\n]*source:[^\n]*"([\w-]+\.png)")re");
        const QRegularExpression number(R"(^\s*(width|height):\s*(\d+)$)", QRegularExpression::MultilineOption);
        int checked = 0;
        QDirIterator it(QStringLiteral(KO_MODULES_SOURCE_DIR "/qml"), {"*.qml"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile document(it.next());
            QVERIFY(document.open(QIODevice::ReadOnly));
            for (const QRegularExpressionMatch &m : image.globalMatch(QString::fromUtf8(document.readAll()))) {
                QDirIterator named(imagePath("skin1"), {m.captured(2)}, QDir::Files, QDirIterator::Subdirectories);
                const QSize size = named.hasNext() ? QImage(named.next()).size() : QSize();
                for (const QRegularExpressionMatch &n : number.globalMatch(m.captured(1))) {
                    const int actual = n.captured(1) == QLatin1String("width") ? size.width() : size.height();
                    QVERIFY2(actual == n.captured(2).toInt(), qPrintable(document.fileName() + ": " + m.captured(2)));
                    ++checked;
                }
            }
        }
        QVERIFY(checked >= 3); // the gun page's target and the colour bar's height at least
    }

    // The lighting page reads the colour under its knob from the knob's position p (0 … 183),
    // and the knob's centre stands over column p + 1: that column must show that colour, in the
    // 1x and the 2x picture alike.
    void colourBarColumns()
    {
        const std::pair<int, QColor> columns[] = {
            {0, QColor(255, 0, 0)},     {15, QColor(255, 127, 0)}, {29, QColor(255, 246, 0)}, {30, QColor(255, 255, 0)},
            {45, QColor(128, 255, 0)},  {60, QColor(0, 255, 0)},   {90, QColor(0, 255, 255)}, {120, QColor(0, 0, 255)},
            {150, QColor(255, 0, 255)}, {179, QColor(255, 0, 9)},  {180, QColor(255, 0, 0)},  {182, QColor(255, 0, 0)},
            {183, QColor(255, 255, 255)}};
        const QString path = imagePath("skin1/lightControl/colorBar.png");
        for (const int scale : {1, 2}) {
            const QImage bar(scale == 1 ? path : doubleName(path));
            QCOMPARE(bar.size(), QSize(185, 24) * scale);
            for (const auto &[position, colour] : columns) {
                for (int dx = 0; dx < scale; ++dx) {
                    for (int y : {2 * scale, bar.height() / 2, bar.height() - 1 - 2 * scale}) {
                        const QRgb pixel = bar.pixel((position + 1) * scale + dx, y);
                        QVERIFY2(QColor(pixel) == colour && qAlpha(pixel) == 255, qPrintable(QString::number(position)));
                    }
                }
            }
        }
    }

    // Placed where the mouse picture document puts them, the selected highlights lie on the
    // mouse: nearly all they draw (the button, less the leader line to its tag) covers the body.
    // The normal highlight draws nothing outside the selected one, so both mark the same button.
    void highlightsOnMouse()
    {
        const QPoint mouseAt(374, 127);
        const QPoint highlightAt[8] = {{370, 132}, {562, 132}, {512, 104}, {368, 316},
                                       {368, 374}, {515, 295}, {515, 335}, {368, 229}};
        const QImage mouse(imagePath("skin1/mouse/MouseFront.png"));
        QVERIFY(!mouse.isNull());
        for (int button = 0; button < 8; ++button) {
            const QString stem = imagePath("skin1/mouse/Mouse") + QString::number(button);
            const QImage normal(stem + ".png"), selected(stem + "S.png");
            QVERIFY(!normal.isNull() && normal.size() == selected.size());
            int drawn = 0, onBody = 0, outside = 0;
            for (int y = 0; y < selected.height(); ++y) {
                for (int x = 0; x < selected.width(); ++x) {
                    outside += qAlpha(normal.pixel(x, y)) > 0 && qAlpha(selected.pixel(x, y)) == 0;
                    const QPoint under = QPoint(x, y) + highlightAt[button] - mouseAt;
                    drawn += qAlpha(selected.pixel(x, y)) >= 0x40;
                    onBody += qAlpha(selected.pixel(x, y)) >= 0x40 && mouse.rect().contains(under)
                        && qAlpha(mouse.pixel(under)) == 255;
                }
            }
            const QString where = QStringLiteral("Mouse%1: %2 of %3 on the body, %4 outside")
                                      .arg(button).arg(onBody).arg(drawn).arg(outside);
            QVERIFY2(drawn > 0 && onBody >= drawn * 3 / 4 && outside == 0, qPrintable(where));
        }
    }

    // Both files: UTF-8 without a byte order mark (it would become part of the first text), every
    // section complete; each DPI notice (entry i for stage i + 1, entry 7 any other) names its
    // own stage alone.
    void languageFiles()
    {
        for (const QString language : {"English", "ChineseSimplified"}) {
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
        for (const char *section : {"keyMatrix", "keyAssigment"})
            QCOMPARE(readSection(QStringLiteral("English"), section).value(0), QStringLiteral("Key "));
    }
};

QTEST_MAIN(TestShippedFiles)
#include "tst_shipped_files.moc"
