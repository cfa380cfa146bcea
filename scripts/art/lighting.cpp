// The lighting page's images (group "lightControl"): the colour bar under the colour knob and the
// scale under the speed and brightness steps.
#include "art.h"

#include <QtMath>

namespace art {
namespace {

// The colour bar is read by position, not looked at only: the page turns the knob's position p
// (0 … 183) into a colour with s = (185 - 2) / 6 cut to 30, i = p / s, v = (p - i s) * 255 / s
// (whole numbers), over the six hue edges red > yellow > green > cyan > blue > magenta > red,
// then red, and white at the last position. The knob's centre stands over column p + 1, so
// column c is drawn in the colour of p = c - 1 (column 0, which the knob never reaches, repeats
// p = 0). Every row of a column has that one colour, so the colour under the knob is exactly the
// colour the page sets.
constexpr int kBarWidth = 185;
constexpr int kBarHeight = 24;

QColor barColour(int p)
{
    const int last = kBarWidth - 2;
    p = qBound(0, p, last);
    const int s = (kBarWidth - 2) / 6;
    const int i = p / s;
    const int v = (p - i * s) * 255 / s;
    switch (i) {
    case 0: return QColor(255, v, 0);
    case 1: return QColor(255 - v, 255, 0);
    case 2: return QColor(0, 255, v);
    case 3: return QColor(0, 255 - v, 255);
    case 4: return QColor(v, 0, 255);
    case 5: return QColor(255, 0, 255 - v);
    default: return p > last - 1 ? QColor(255, 255, 255) : QColor(255, 0, 0);
    }
}

void drawColourBar(QPainter &p, qreal)
{
    // Whole logical columns, without antialiasing: at 2x each column is two device columns of
    // the same colour, so both files agree with the page's positions.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (int c = 0; c < kBarWidth; ++c)
        p.fillRect(QRectF(c, 0, 1, kBarHeight), barColour(c - 1));
    // Rounded corners take only alpha away; no column changes its colour.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.setBrush(Qt::black);
    p.drawPath(roundRect(QRectF(0, 0, kBarWidth, kBarHeight), 2));
}

// Under a 96-wide stepped slider with 5 stops, placed 9 in from the slider's left edge: the stops'
// knob centres then fall at 0, 19.5, 39, 58.5 and 78. Ticks grow from left to right, as the step
// does; each is snapped to whole device pixels.
constexpr int kScaleWidth = 80;
constexpr int kScaleHeight = 8;

void drawSpeedScale(QPainter &p, qreal scale)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const qreal step = (96 - 18) / 4.0;
    // A faint wedge behind the ticks.
    QPainterPath wedge(QPointF(0, kScaleHeight));
    wedge.lineTo(4 * step + 1, kScaleHeight);
    wedge.lineTo(4 * step + 1, kScaleHeight - 6);
    wedge.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x96, 0x96, 0x96, 0x30));
    p.drawPath(wedge);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int k = 0; k < 5; ++k) {
        const qreal x = std::floor(k * step * scale + 0.5) / scale;
        const qreal h = 3 + k;
        p.fillRect(QRectF(x, kScaleHeight - h, 1, h), k == 4 ? colour::gray3 : colour::gray2);
    }
}

} // namespace

void addLighting(Catalogue &out)
{
    const QString dir = QStringLiteral("skin1/lightControl/");
    out.append({dir + QStringLiteral("colorBar.png"), {kBarWidth, kBarHeight}, drawColourBar});
    out.append({dir + QStringLiteral("speedScale.png"), {kScaleWidth, kScaleHeight}, drawSpeedScale});
}

} // namespace art
