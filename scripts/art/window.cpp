// The window's own pictures: background, title bar, title logo and the start-up logo.
#include "art.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace art {
namespace {

constexpr qreal kTabBottom = 74;   // the title bar's logo tab reaches this far down
constexpr qreal kBandBottom = 46;  // the rest of the bar; the right panel starts at 56
constexpr qreal kTabRight = 332;
constexpr qreal kChamfer = kTabBottom - kBandBottom;

// The orbit motif of the mark, large and faint, behind the mouse picture.
void orbitRing(QPainter &p, QPointF centre, qreal a, qreal b, const QColor &c, qreal width)
{
    p.save();
    p.translate(centre);
    p.rotate(18); // y-down: the mark's -18 degrees
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, width));
    p.drawEllipse(QPointF(0, 0), a, b);
    p.restore();
}

QPointF onRing(QPointF centre, qreal a, qreal b, qreal degrees)
{
    const qreal t = qDegreesToRadians(degrees), r = qDegreesToRadians(18.0);
    const qreal x = a * std::cos(t), y = b * std::sin(t);
    return centre + QPointF(x * std::cos(r) - y * std::sin(r), x * std::sin(r) + y * std::cos(r));
}

void drawBackground(QPainter &p, qreal scale)
{
    // Near black, darker to the bottom, with a soft light on the stage where the mouse
    // picture stands.
    const QRectF all(0, 0, 1024, 640);
    const QPointF stage(540, 372);
    paintField(p, scale, all, [&](qreal x, qreal y) {
        const qreal base = (0x12 - (0x12 - 0x08) * y / 640.0) / 255.0;
        const qreal d = qMin<qreal>(1.0, QLineF(stage, QPointF(x, y)).length() / 440.0);
        const qreal v = base + (0x2c / 255.0 - base) * (1 - d) * (1 - d);
        return Rgba{v, v, v, 1};
    });

    // A fine dot grid that fades out from the stage.
    p.save();
    p.setPen(Qt::NoPen);
    for (int y = 96; y < 640; y += 16) {
        for (int x = 264; x < 768; x += 16) {
            const qreal d = QLineF(stage, QPointF(x, y)).length();
            const qreal a = qBound(0.0, 1.0 - d / 330.0, 1.0);
            if (a <= 0)
                continue;
            p.setBrush(QColor(255, 255, 255, int(22 * a)));
            p.drawEllipse(QPointF(x, y), 0.8, 0.8);
        }
    }
    p.restore();

    // The orbit behind the mouse, with its moon.
    orbitRing(p, stage, 300, 96, QColor(0xcf, 0x3e, 0x00, 0x46), 1.5);
    orbitRing(p, stage, 338, 118, QColor(0xff, 0xff, 0xff, 0x12), 1.0);
    const QPointF moon = onRing(stage, 300, 96, 145);
    QRadialGradient halo(moon, 14);
    halo.setColorAt(0, QColor(0xf0, 0x6a, 0x1e, 0x70));
    halo.setColorAt(1, QColor(0xf0, 0x6a, 0x1e, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(moon, 14, 14);
    p.setBrush(colour::moon);
    p.drawEllipse(moon, 3.2, 3.2);

    // A thin accent along the bottom edge, brightest under the stage.
    QLinearGradient accent(0, 0, 1024, 0);
    accent.setColorAt(0, QColor(0xcf, 0x3e, 0x00, 0));
    accent.setColorAt(0.53, QColor(0xcf, 0x3e, 0x00, 0xc0));
    accent.setColorAt(1, QColor(0xcf, 0x3e, 0x00, 0));
    p.fillRect(QRectF(0, 638, 1024, 2), accent);

    // The window has no frame of its own: a 1-pixel border closes it.
    const qreal h = 0.5 / scale;
    p.setPen(QPen(colour::gray1, 1.0 / scale));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(h, h, 1024 - 2 * h, 640 - 2 * h));
}

QPainterPath titleShape()
{
    QPainterPath path(QPointF(0, 0));
    path.lineTo(1024, 0);
    path.lineTo(1024, kBandBottom);
    path.lineTo(kTabRight + kChamfer, kBandBottom);
    path.lineTo(kTabRight, kTabBottom);
    path.lineTo(0, kTabBottom);
    path.closeSubpath();
    return path;
}

void drawTitleBar(QPainter &p, qreal scale)
{
    const QPainterPath shape = titleShape();
    QLinearGradient fill(0, 0, 0, kTabBottom);
    fill.setColorAt(0, QColor(0x05, 0x05, 0x05));
    fill.setColorAt(1, QColor(0x00, 0x00, 0x00));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(shape);

    // A warm glow behind the logo.
    p.save();
    p.setClipPath(shape);
    softLight(p, scale, QRectF(0, 0, 400, kTabBottom), QPointF(48, 38), 170, colour::orange, 0.26);
    // Fine diagonal hatching in the chamfer's direction, fading to the right.
    for (qreal x = kTabRight - 96; x < kTabRight + kChamfer + 120; x += 6) {
        const qreal a = qBound(0.0, 1.0 - qAbs(x - kTabRight) / 140.0, 1.0);
        p.setPen(QPen(QColor(255, 255, 255, int(14 * a)), 1.0 / scale));
        p.drawLine(QPointF(x, kTabBottom), QPointF(x + kTabBottom, 0));
    }
    p.restore();

    // Edge lines: orange along the tab, fading into a grey line under the band.
    const qreal half = 0.5 / scale;
    QPainterPath edge(QPointF(0, kTabBottom - half));
    edge.lineTo(kTabRight + half, kTabBottom - half);
    edge.lineTo(kTabRight + kChamfer + half, kBandBottom - half);
    edge.lineTo(1024, kBandBottom - half);
    QLinearGradient stroke(0, 0, 1024, 0);
    stroke.setColorAt(0, colour::orange);
    stroke.setColorAt(0.36, colour::orangeLight);
    stroke.setColorAt(0.62, QColor(0x3c, 0x3c, 0x3c));
    stroke.setColorAt(1, QColor(0x3c, 0x3c, 0x3c));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(stroke), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(edge);
    QColor soft = colour::orange;
    soft.setAlpha(0x50);
    QPainterPath tabEdge(QPointF(0, kTabBottom));
    tabEdge.lineTo(kTabRight, kTabBottom);
    tabEdge.lineTo(kTabRight + kChamfer, kBandBottom);
    glow(p, tabEdge, soft, 5, 4);

    // Top edge of the window.
    p.setPen(QPen(colour::gray1, 1.0 / scale));
    p.drawLine(QPointF(0, half), QPointF(1024, half));
}

constexpr qreal kLogoMark = 36;    // half-size of the mark in the title logo
constexpr qreal kLogoText = 26;    // wordmark pixel size

void drawTitleLogo(QPainter &p, qreal)
{
    // The mark is wider than high: its ring spans about 0.8 of its half-size each side.
    const qreal centre = 18 + 0.8 * kLogoMark;
    drawMark(p, QPointF(centre, 27), kLogoMark, false);
    drawWordmark(p, QPointF(centre + 0.8 * kLogoMark + 12, 37), kLogoText);
}

void drawPowerOn(QPainter &p, qreal scale)
{
    const QRectF card(22, 18, 496, 380);
    // Soft shadow: the window may be translucent while the start-up logo shows.
    for (int i = 12; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 10));
        p.drawPath(roundRect(card.adjusted(-i, -i + 4, i, i + 4), 20 + i));
    }
    QLinearGradient fill(0, card.top(), 0, card.bottom());
    fill.setColorAt(0, QColor(0x1e, 0x1e, 0x1e));
    fill.setColorAt(1, QColor(0x0a, 0x0a, 0x0a));
    const QPainterPath body = roundRect(card, 20);
    p.setBrush(fill);
    p.setPen(QPen(colour::gray1, 1.0 / scale));
    p.drawPath(body);

    p.save();
    p.setClipPath(body);
    const QPointF centre(270, 90);
    softLight(p, scale, card, centre, 240, colour::orange, 0.30);
    orbitRing(p, QPointF(270, 286), 250, 70, QColor(0xff, 0xff, 0xff, 0x10), 1.0);
    orbitRing(p, QPointF(270, 286), 214, 54, QColor(0xcf, 0x3e, 0x00, 0x38), 1.2);
    // Orange line along the top of the card.
    QLinearGradient top(card.left(), 0, card.right(), 0);
    top.setColorAt(0, QColor(0xcf, 0x3e, 0x00, 0));
    top.setColorAt(0.5, colour::orangeLight);
    top.setColorAt(1, QColor(0xcf, 0x3e, 0x00, 0));
    p.fillRect(QRectF(card.left(), card.top(), card.width(), 2), top);
    p.restore();

    drawMark(p, centre, 96, false);

    const qreal size = 36;
    const qreal w = wordmarkWidth(size);
    drawWordmark(p, QPointF(270 - w / 2, 188), size);

    // The window's busy text appears centred, just under the wordmark; a caption closes the card.
    p.setFont(font(11, QFont::Normal, 3));
    p.setPen(colour::gray2);
    p.drawText(QRectF(card.left(), card.bottom() - 52, card.width(), 20), Qt::AlignCenter,
               QStringLiteral("GAMING MOUSE CONFIGURATION"));
    QLinearGradient rule(170, 0, 370, 0);
    rule.setColorAt(0, QColor(0x3c, 0x3c, 0x3c, 0));
    rule.setColorAt(0.5, colour::gray1);
    rule.setColorAt(1, QColor(0x3c, 0x3c, 0x3c, 0));
    p.fillRect(QRectF(150, card.bottom() - 62, 240, 1), rule);
}

} // namespace

void addWindow(Catalogue &out)
{
    out.append({QStringLiteral("background.png"), {1024, 640}, drawBackground});
    out.append({QStringLiteral("titleBar.png"), {1024, 82}, drawTitleBar});
    out.append({QStringLiteral("titleLogo.png"), {300, 56}, drawTitleLogo});
    out.append({QStringLiteral("skin1/index/powerOn.png"), {540, 425}, drawPowerOn});
}

} // namespace art
