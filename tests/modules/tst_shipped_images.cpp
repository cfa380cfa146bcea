// The tray icon and the desktop-entry picture must load through Qt's own readers at the sizes
// their users ask for; a file that loads but is blank or opaque to the corners counts as broken.
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QtTest>

namespace {

QString imagePath(const char *name)
{
    return QStringLiteral(KO_MODULES_SOURCE_DIR "/img/") + QLatin1String(name);
}

// A mark on a rounded square: clear corners, an opaque middle, and more than one colour.
QString checkMark(const QImage &image)
{
    if (image.isNull())
        return QStringLiteral("does not load");
    if (image.width() != image.height())
        return QStringLiteral("not square");
    if (!image.hasAlphaChannel())
        return QStringLiteral("no alpha channel");
    const int last = image.width() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)}) {
        if (qAlpha(image.pixel(corner)) != 0)
            return QStringLiteral("corner not transparent");
    }
    if (qAlpha(image.pixel(image.width() / 2, image.height() / 2)) != 255)
        return QStringLiteral("centre not opaque");
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += qMax(1, image.height() / 16)) {
        for (int x = 0; x < image.width(); x += qMax(1, image.width() / 16))
            colours.insert(image.pixel(x, y));
    }
    if (colours.size() < 3)
        return QStringLiteral("blank");
    return {};
}

} // namespace

class TestShippedImages : public QObject
{
    Q_OBJECT

private slots:
    void trayIconHoldsEverySize_data();
    void trayIconHoldsEverySize();
    void trayIconLoadsAsIcon();
    void desktopPicture();
};

void TestShippedImages::trayIconHoldsEverySize_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 24, 32, 48, 256})
        QTest::addRow("%d", size) << size;
}

void TestShippedImages::trayIconHoldsEverySize()
{
    QFETCH(int, size);
    QImageReader reader(imagePath("logo.ico"));
    QCOMPARE(reader.format(), QByteArray("ico"));
    QImage found;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        if (image.width() == size) {
            found = image;
            break;
        }
    }
    QVERIFY2(!found.isNull(), "size missing from the icon");
    const QString fault = checkMark(found);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestShippedImages::trayIconLoadsAsIcon()
{
    // The tray builds a QIcon from the file; it must offer the small sizes a panel draws.
    const QIcon icon(imagePath("logo.ico"));
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY2(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)),
             qPrintable(QString::number(sizes.size()) + QStringLiteral(" sizes")));
}

void TestShippedImages::desktopPicture()
{
    const QImage image(imagePath("logo.png"));
    QCOMPARE(image.size(), QSize(256, 256));
    const QString fault = checkMark(image);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

QTEST_MAIN(TestShippedImages)
#include "tst_shipped_images.moc"
