// ko-art: writes every image of the user interface, each at 1x and natively drawn at 2x.
//
//   ko-art <modules/img folder> [path filter]
//
// The output is deterministic for a given Qt version and font set, so the committed PNGs change
// only when a drawing changes.
#include "art.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

namespace {

QImage render(const art::Picture &picture, int scale)
{
    QImage image(picture.size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                     | QPainter::SmoothPixmapTransform);
    p.scale(scale, scale);
    picture.draw(p, scale);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString scaledName(const QString &path, int scale)
{
    if (scale == 1)
        return path;
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return path.left(dot) + QStringLiteral("@%1x").arg(scale) + path.mid(dot);
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        err << "usage: ko-art <modules/img folder> [path filter]\n";
        return 2;
    }
    const QDir out(args.at(1));
    const QString filter = args.size() > 2 ? args.at(2) : QString();

    art::Catalogue pictures;
    art::addWindow(pictures);
    art::addControls(pictures);
    art::addMouse(pictures);
    art::addMacros(pictures);
    art::addLighting(pictures);
    art::addGuns(pictures);
    art::addApps(pictures);

    int written = 0;
    for (const art::Picture &picture : std::as_const(pictures)) {
        if (!filter.isEmpty() && !picture.path.contains(filter))
            continue;
        for (int scale : {1, 2}) {
            const QString file = out.filePath(scaledName(picture.path, scale));
            QDir().mkpath(QFileInfo(file).absolutePath());
            if (!render(picture, scale).save(file, "PNG")) {
                err << "cannot write " << file << "\n";
                return 1;
            }
            ++written;
        }
    }
    err << written << " images written to " << out.absolutePath() << "\n";
    return 0;
}
