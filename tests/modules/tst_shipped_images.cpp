// The tray icon and the desktop-entry picture must load through Qt's own readers at the sizes
// their users ask for; a file that loads but is blank or opaque to the corners counts as broken.
// Every picture of the UI documents is there at the size its document lays out, with a companion
// drawn at twice the size for 2x displays.
#include <QColor>
#include <QIcon>
#include <QImageReader>
#include <QtTest>

namespace {

QString imagePath(const QString &name)
{
    return QStringLiteral(KO_MODULES_SOURCE_DIR "/img/") + name;
}

// A mark on a rounded square: clear corners, an opaque middle, and more than one colour.
void checkMark(const QImage &image, const QSize &size)
{
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
    const int last = image.width() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
    QCOMPARE(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += qMax(1, image.height() / 16))
        for (int x = 0; x < image.width(); x += qMax(1, image.width() / 16))
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() >= 3, "blank");
}

// The pictures the UI documents name (without ".png"), by the logical size they are laid out at.
const QList<std::pair<QSize, QStringList>> kPictures = {
    {{1024, 640}, {"background"}}, {{1024, 82}, {"titleBar"}}, {{300, 56}, {"titleLogo"}},
    {{540, 425}, {"skin1/index/powerOn"}}, {{12, 12}, {"skin1/index/slide"}},
    {{16, 16}, {"skin1/index/dropBtn", "skin1/index/dropBtnU", "skin1/index/checkBtn", "skin1/index/back",
                "skin1/index/backH", "skin1/index/closeBtn", "skin1/index/closeBtnH", "skin1/index/minBtn",
                "skin1/index/minBtnH", "skin1/index/ask", "skin1/index/askH", "skin1/index/sureBtn",
                "skin1/macros/macroKeyDelay", "skin1/macros/macroKeyPress", "skin1/macros/macroKeyRelease",
                "skin1/macros/macroMousePress", "skin1/macros/macroMouseRelease", "skin1/apps/appClass", "skin1/apps/appExe",
                "skin1/apps/appTitle", "skin1/apps/pickWindow"}},
    {{340, 504}, {"skin1/mouse/MouseFront"}},
    {{148, 272}, {"skin1/mouse/Mouse0", "skin1/mouse/Mouse0S"}},
    {{192, 272}, {"skin1/mouse/Mouse1", "skin1/mouse/Mouse1S"}},
    {{42, 116}, {"skin1/mouse/Mouse2", "skin1/mouse/Mouse2S"}},
    {{28, 58}, {"skin1/mouse/Mouse3", "skin1/mouse/Mouse3S", "skin1/mouse/Mouse4", "skin1/mouse/Mouse4S"}},
    {{239, 42}, {"skin1/mouse/Mouse5", "skin1/mouse/Mouse5S", "skin1/mouse/Mouse6", "skin1/mouse/Mouse6S"}},
    {{28, 56}, {"skin1/mouse/Mouse7", "skin1/mouse/Mouse7S"}},
    {{185, 24}, {"skin1/lightControl/colorBar"}}, {{80, 8}, {"skin1/lightControl/speedScale"}},
    {{248, 58}, {"skin1/gun/M416", "skin1/gun/AKM", "skin1/gun/M16A4", "skin1/gun/SCAR-L", "skin1/gun/UNP9",
                 "skin1/gun/Thomson"}},
    {{190, 190}, {"skin1/gun/target"}},
};

// Where the mouse picture and the button highlights stand in the window.
const QPoint kMouseAt(374, 127);
const QPoint kHighlightAt[8] = {{370, 132}, {562, 132}, {512, 104}, {368, 316},
                                {368, 374}, {515, 295}, {515, 335}, {368, 229}};

QString doubleName(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('.'))) + QStringLiteral("@2x.png");
}

QImage readPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (image.isNull())
        qWarning() << path << reader.errorString();
    return image;
}

// Something is drawn: not fully transparent, and more than one colour.
bool isDrawn(const QImage &image)
{
    QSet<QRgb> colours;
    bool visible = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            visible = visible || qAlpha(line[x]) > 0;
            if (colours.size() < 2)
                colours.insert(line[x]);
        }
    }
    return visible && colours.size() > 1;
}

} // namespace

class TestShippedImages : public QObject
{
    Q_OBJECT

private slots:
    void trayIcon()
    {
        QImageReader reader(imagePath("logo.ico"));
        QCOMPARE(reader.format(), QByteArray("ico"));
        QMap<int, QImage> images;
        for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i) {
            const QImage image = reader.read();
            images.insert(image.width(), image);
        }
        for (int size : {16, 24, 32, 48, 256})
            checkMark(images.value(size), QSize(size, size));
        // The tray builds a QIcon from the file; it must offer the small sizes a panel draws.
        const QList<QSize> sizes = QIcon(imagePath("logo.ico")).availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
    }

    void desktopPicture() { checkMark(QImage(imagePath("logo.png")), QSize(256, 256)); }

    void uiPicture_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        for (const auto &[size, names] : kPictures)
            for (const QString &name : names)
                QTest::newRow(qPrintable(name)) << imagePath(name + ".png") << size;
    }

    void uiPicture()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage single = readPicture(path);
        QVERIFY2(!single.isNull(), qPrintable(path));
        QCOMPARE(single.size(), size);
        QVERIFY2(isDrawn(single), "blank");
        const QImage twice = readPicture(doubleName(path));
        QVERIFY2(!twice.isNull(), qPrintable(doubleName(path)));
        QCOMPARE(twice.size(), size * 2);
        QVERIFY2(isDrawn(twice), "blank");
    }

    // The lighting page reads the colour under its knob from the knob's position p (0 … 183),
    // and the knob's centre stands over column p + 1: that column must show that colour, in the
    // 1x and the 2x picture alike.
    void colourBarColumn_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("left end red") << 0 << QColor(255, 0, 0);
        QTest::newRow("half way to yellow") << 15 << QColor(255, 127, 0);
        QTest::newRow("last column before yellow") << 29 << QColor(255, 246, 0);
        QTest::newRow("yellow") << 30 << QColor(255, 255, 0);
        QTest::newRow("half way to green") << 45 << QColor(128, 255, 0);
        QTest::newRow("green") << 60 << QColor(0, 255, 0);
        QTest::newRow("cyan") << 90 << QColor(0, 255, 255);
        QTest::newRow("blue") << 120 << QColor(0, 0, 255);
        QTest::newRow("magenta") << 150 << QColor(255, 0, 255);
        QTest::newRow("nearly red again") << 179 << QColor(255, 0, 9);
        QTest::newRow("past the six edges red") << 180 << QColor(255, 0, 0);
        QTest::newRow("one short of the end red") << 182 << QColor(255, 0, 0);
        QTest::newRow("far right white") << 183 << QColor(255, 255, 255);
    }

    void colourBarColumn()
    {
        QFETCH(int, position);
        QFETCH(QColor, colour);
        const QString path = imagePath("skin1/lightControl/colorBar.png");
        for (const QImage &bar : {readPicture(path), readPicture(doubleName(path))}) {
            QVERIFY(!bar.isNull());
            const int scale = bar.width() / 185;
            for (int dx = 0; dx < scale; ++dx) {
                for (int y : {2 * scale, bar.height() / 2, bar.height() - 1 - 2 * scale}) {
                    const QRgb pixel = bar.pixel((position + 1) * scale + dx, y);
                    QCOMPARE(QColor(pixel), colour);
                    QCOMPARE(qAlpha(pixel), 255);
                }
            }
        }
    }

    // Placed where the mouse picture document puts them, the selected highlights lie on the
    // mouse: nearly all they draw (the button, less the leader line to its tag) covers the body.
    // The normal highlight draws nothing outside the selected one, so both mark the same button.
    void highlightOnMouse_data()
    {
        QTest::addColumn<int>("button");
        for (int i = 0; i < 8; ++i)
            QTest::addRow("Mouse%d", i) << i;
    }

    void highlightOnMouse()
    {
        QFETCH(int, button);
        const QString stem = imagePath("skin1/mouse/Mouse") + QString::number(button);
        const QImage mouse = readPicture(imagePath("skin1/mouse/MouseFront.png"));
        const QImage normal = readPicture(stem + ".png");
        const QImage selected = readPicture(stem + "S.png");
        QVERIFY(!mouse.isNull() && !normal.isNull() && !selected.isNull());
        QCOMPARE(normal.size(), selected.size());

        const QPoint offset = kHighlightAt[button] - kMouseAt;
        int drawn = 0, onBody = 0, outside = 0;
        for (int y = 0; y < selected.height(); ++y) {
            for (int x = 0; x < selected.width(); ++x) {
                outside += qAlpha(normal.pixel(x, y)) > 0 && qAlpha(selected.pixel(x, y)) == 0;
                if (qAlpha(selected.pixel(x, y)) < 0x40)
                    continue;
                ++drawn;
                const QPoint under = QPoint(x, y) + offset;
                onBody += mouse.rect().contains(under) && qAlpha(mouse.pixel(under)) == 255;
            }
        }
        QVERIFY(drawn > 0);
        QVERIFY2(onBody >= drawn * 3 / 4,
                 qPrintable(QString("%1 of %2 on the body").arg(onBody).arg(drawn)));
        QCOMPARE(outside, 0);
    }
};

QTEST_MAIN(TestShippedImages)
#include "tst_shipped_images.moc"
