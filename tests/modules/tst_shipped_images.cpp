// The tray icon and the desktop-entry picture must load through Qt's own readers at the sizes
// their users ask for; a file that loads but is blank or opaque to the corners counts as broken.
// Every picture of the UI documents is drawn, with a companion at twice the size for 2x displays.
// (A picture the documents name but that is missing makes the UI suites fail on its warning.)
#include <QColor>
#include <QDirIterator>
#include <QIcon>
#include <QImageReader>
#include <QtTest>

namespace {

QString imagePath(const QString &name)
{
    return QStringLiteral(KO_MODULES_SOURCE_DIR "/img/") + name;
}

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

} // namespace

class TestShippedImages : public QObject
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
        // The tray builds a QIcon from the file; it must offer the small sizes a panel draws.
        const QList<QSize> sizes = QIcon(imagePath("logo.ico")).availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
        checkMark(QImage(imagePath("logo.png")), 256);
    }

    void uiPictures()
    {
        QDirIterator it(imagePath("skin1"), {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
        QStringList pictures{imagePath("background.png"), imagePath("titleBar.png"), imagePath("titleLogo.png")};
        while (it.hasNext())
            pictures << it.next();
        QVERIFY(pictures.size() > 40);
        for (const QString &path : pictures) {
            if (path.endsWith("@2x.png"))
                continue;
            const QImage single = readPicture(path), twice = readPicture(doubleName(path));
            QVERIFY2(!single.isNull() && isDrawn(single), qPrintable(path));
            QVERIFY2(!twice.isNull() && isDrawn(twice), qPrintable(doubleName(path)));
            QCOMPARE(twice.size(), single.size() * 2);
        }
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
        for (const QImage &bar : {readPicture(path), readPicture(doubleName(path))}) {
            QCOMPARE(bar.size(), QSize(185, 24) * (bar.width() / 185));
            const int scale = bar.width() / 185;
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
        const QImage mouse = readPicture(imagePath("skin1/mouse/MouseFront.png"));
        QVERIFY(!mouse.isNull());
        for (int button = 0; button < 8; ++button) {
            const QString stem = imagePath("skin1/mouse/Mouse") + QString::number(button);
            const QImage normal = readPicture(stem + ".png"), selected = readPicture(stem + "S.png");
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
};

QTEST_MAIN(TestShippedImages)
#include "tst_shipped_images.moc"
