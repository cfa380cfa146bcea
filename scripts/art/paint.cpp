// Shared drawing: fonts, the product mark and the wordmark.
#include "art.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QLinearGradient>
#include <QtMath>

namespace art {

QFont font(qreal pixelSize, int weight, qreal letterSpacing)
{
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(qRound(pixelSize));
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

void addAll(Catalogue &out, const QString &dir, QSize size,
            std::initializer_list<std::pair<const char *, DrawFn>> pictures)
{
    for (const auto &[name, draw] : pictures)
        out.append({dir + QLatin1String(name), size, draw});
}

void aimMark(QPainter &p, QPointF centre, qreal radius, const QPen &ring)
{
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::orangeLight);
    p.drawEllipse(centre, 1.3, 1.3);
}

QPainterPath roundRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

void glow(QPainter &p, const QPainterPath &path, const QColor &colour, qreal width, int steps)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = steps; i >= 1; --i) {
        QColor c = colour;
        c.setAlphaF(colour.alphaF() / steps);
        p.setPen(QPen(c, width * i / steps, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    p.restore();
}

void paintField(QPainter &p, qreal scale, const QRectF &area,
                const std::function<Rgba(qreal x, qreal y)> &field)
{
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const QSize size((area.size() * scale).toSize());
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const Rgba c = field(area.left() + (x + 0.5) / scale, area.top() + (y + 0.5) / scale);
            const qreal d = (bayer[y & 3][x & 3] + 0.5) / 16.0;
            auto q = [&](qreal v) { return qBound(0, int(v * 255.0 + d), 255); };
            const int a = q(c.a);
            line[x] = qRgba(qMin(q(c.r * c.a), a), qMin(q(c.g * c.a), a), qMin(q(c.b * c.a), a), a);
        }
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(area, image);
    p.restore();
}

void softLight(QPainter &p, qreal scale, const QRectF &area, QPointF centre, qreal radius,
               const QColor &colour, qreal alpha)
{
    const Rgba c{colour.redF(), colour.greenF(), colour.blueF(), 0};
    paintField(p, scale, area, [&](qreal x, qreal y) {
        const qreal d = qMin<qreal>(1.0, QLineF(centre, QPointF(x, y)).length() / radius);
        const qreal f = (1 - d) * (1 - d);
        return Rgba{c.r, c.g, c.b, alpha * f};
    });
}

namespace {

// The bird of the mark in its own units (-1 … 1, y up): both wings, body and tail as one outline
// of quadratic curves, mirrored about the body's axis.
QPainterPath birdOutline()
{
    struct Quad { QPointF c, to; };
    const Quad right[] = {
        {{0.06, 0.22}, {0.10, 0.15}},   // shoulder
        {{0.30, 0.36}, {0.50, 0.32}},   // arm, leading edge
        {{0.74, 0.28}, {0.94, 0.14}},   // hand out to the tip
        {{0.66, 0.12}, {0.46, 0.02}},   // primaries
        {{0.28, -0.06}, {0.12, -0.10}}, // secondaries
        {{0.07, -0.22}, {0.15, -0.52}}, // flank into the tail
        {{0.09, -0.60}, {0.0, -0.60}},  // rounded tail end
    };
    QPainterPath path(QPointF(0.0, 0.22));
    for (const Quad &q : right)
        path.quadTo(q.c, q.to);
    // Back up the left side: each curve reversed and mirrored.
    const int n = int(std::size(right));
    for (int i = n - 1; i >= 0; --i) {
        const QPointF from = i > 0 ? right[i - 1].to : QPointF(0.0, 0.22);
        path.quadTo(QPointF(-right[i].c.x(), right[i].c.y()), QPointF(-from.x(), from.y()));
    }
    path.closeSubpath();
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QPointF(0.0, 0.27), 0.095, 0.095); // head
    return path.simplified();
}

} // namespace

void drawMark(QPainter &p, QPointF centre, qreal radius, bool tile)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(centre);
    p.scale(radius, -radius); // the mark's own units: -1 … 1, y up

    if (tile) {
        const QPainterPath box = roundRect(QRectF(-0.96, -0.96, 1.92, 1.92), 0.24);
        QLinearGradient g(0, 1, 0, -1);
        g.setColorAt(0, QColor(0x30, 0x30, 0x30));
        g.setColorAt(1, QColor(0x10, 0x10, 0x10));
        p.setPen(QPen(QColor(0x4a, 0x4a, 0x4a), 0.012 * 2));
        p.setBrush(g);
        p.drawPath(box);
    }

    // The orbit: an ellipse tilted by -18 degrees; its upper half passes behind the bird.
    const qreal tilt = -18.0, ringWidth = 0.09;
    auto ringHalf = [&](bool upper, const QColor &c) {
        p.save();
        p.translate(0, -0.08);
        p.rotate(tilt);
        // In these y-up units Qt's angles run clockwise, so the upper half is 0 … -180.
        const QRectF oval(-0.80, -0.30, 1.60, 0.60);
        QPainterPath arc;
        arc.arcMoveTo(oval, 0);
        arc.arcTo(oval, 0, upper ? -180 : 180);
        p.setPen(QPen(c, ringWidth, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
        p.restore();
    };
    ringHalf(true, colour::orangeDim);

    p.save();
    p.translate(0, 0.05);
    p.scale(0.86, 0.86);
    QLinearGradient shade(0, 0.5, 0, -0.4);
    shade.setColorAt(0, colour::orangeLight);
    shade.setColorAt(1, colour::orange);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawPath(birdOutline());
    p.restore();

    ringHalf(false, colour::orange);

    // The moon riding on the front of the ring.
    const qreal t = qDegreesToRadians(-58.0);
    const qreal lx = 0.80 * std::cos(t), ly = 0.30 * std::sin(t);
    const qreal c = std::cos(qDegreesToRadians(tilt)), s = std::sin(qDegreesToRadians(tilt));
    p.setPen(Qt::NoPen);
    p.setBrush(colour::moon);
    p.drawEllipse(QPointF(lx * c - ly * s, lx * s + ly * c - 0.08), 0.085, 0.085);
    p.restore();
}

namespace {
const QString kFirst = QStringLiteral("Kestrel");
const QString kSecond = QStringLiteral("Orbit");

QFont wordFont(qreal size, bool first)
{
    return font(size, first ? QFont::Bold : QFont::Light, size * 0.02);
}
} // namespace

qreal wordmarkWidth(qreal pixelSize)
{
    const QFontMetricsF a(wordFont(pixelSize, true)), b(wordFont(pixelSize, false));
    return a.horizontalAdvance(kFirst) + pixelSize * 0.28 + b.horizontalAdvance(kSecond);
}

qreal drawWordmark(QPainter &p, QPointF origin, qreal pixelSize)
{
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(wordFont(pixelSize, true));
    p.setPen(colour::white);
    p.drawText(origin, kFirst);
    const qreal x = origin.x() + QFontMetricsF(p.font()).horizontalAdvance(kFirst) + pixelSize * 0.28;
    p.setFont(wordFont(pixelSize, false));
    p.setPen(colour::orangeLight);
    p.drawText(QPointF(x, origin.y()), kSecond);
    p.restore();
    return wordmarkWidth(pixelSize);
}

} // namespace art
