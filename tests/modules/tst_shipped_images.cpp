// The tray icon and the desktop-entry picture must load through Qt's own readers at the sizes
// their users ask for; a file that loads but is blank or opaque to the corners counts as broken.
#include <QIcon>
#include <QImageReader>
#include <QtTest>

namespace {

QString imagePath(const char *name)
{
    return QStringLiteral(KO_MODULES_SOURCE_DIR "/img/") + QLatin1String(name);
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
};

QTEST_MAIN(TestShippedImages)
#include "tst_shipped_images.moc"
