#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QSize>
#include <QString>

#include <functional>
#include <initializer_list>
#include <utility>

// Every picture is drawn by a function in logical pixels; the caller has already scaled the
// painter, so the @2x picture is the same vector drawing rendered at twice the resolution. The
// scale is passed too, for the few places that snap a line to whole device pixels.
namespace art {

using DrawFn = std::function<void(QPainter &, qreal scale)>;

struct Picture
{
    QString path; // relative to modules/img, without the @2x suffix
    QSize size;   // logical size; the @2x file is exactly twice this
    DrawFn draw;
};

using Catalogue = QList<Picture>;

// Pictures of one size in one folder: each file name with the function that draws it.
void addAll(Catalogue &out, const QString &dir, QSize size,
            std::initializer_list<std::pair<const char *, DrawFn>> pictures);

void addWindow(Catalogue &out);
void addControls(Catalogue &out);
void addMouse(Catalogue &out);
void addMacros(Catalogue &out);
void addLighting(Catalogue &out);
void addGuns(Catalogue &out);
void addApps(Catalogue &out);

// The product's look, as the UI documents name it.
namespace colour {
inline const QColor black(0x00, 0x00, 0x00);
inline const QColor gray0(0x1a, 0x1a, 0x1a);
inline const QColor gray1(0x3c, 0x3c, 0x3c);
inline const QColor gray2(0x96, 0x96, 0x96);
inline const QColor gray3(0xd1, 0xd1, 0xd1);
inline const QColor orange(0xcf, 0x3e, 0x00);
inline const QColor orangeLight(0xf0, 0x6a, 0x1e);
inline const QColor orangeDim(0x6e, 0x22, 0x05);
inline const QColor moon(0xff, 0xe0, 0xc8);
inline const QColor white(0xff, 0xff, 0xff);
} // namespace colour

// A font that the packages install (CJK-capable sans first), at a pixel size.
QFont font(qreal pixelSize, int weight = QFont::Normal, qreal letterSpacing = 0);

// The product mark (orange kestrel inside a tilted orbit ring, as in logo.png), centred on
// `centre` with half-size `radius`; with `tile` the dark rounded square behind it.
void drawMark(QPainter &p, QPointF centre, qreal radius, bool tile);

// The wordmark "KESTREL ORBIT" with its left end at `origin` (baseline); returns its width.
qreal drawWordmark(QPainter &p, QPointF origin, qreal pixelSize);
qreal wordmarkWidth(qreal pixelSize);

// A rounded rectangle path, the common shape of buttons and cards.
QPainterPath roundRect(const QRectF &r, qreal radius);

// A colour field computed per device pixel (straight RGBA, 0 … 1, at a logical point) and
// drawn with an ordered dither, so that large soft gradients show no bands.
struct Rgba { qreal r, g, b, a; };
void paintField(QPainter &p, qreal scale, const QRectF &area,
                const std::function<Rgba(qreal x, qreal y)> &field);

// A round soft light: `colour` at `alpha` in the middle, falling to nothing at `radius`.
void softLight(QPainter &p, qreal scale, const QRectF &area, QPointF centre, qreal radius,
               const QColor &colour, qreal alpha);

// An aim mark: a ring drawn with `ring`, and an orange dot in its middle.
void aimMark(QPainter &p, QPointF centre, qreal radius, const QPen &ring);

// A soft glow: the path stroked several times with growing width and falling alpha.
void glow(QPainter &p, const QPainterPath &path, const QColor &colour, qreal width, int steps = 5);

} // namespace art
