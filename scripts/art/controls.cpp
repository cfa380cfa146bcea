// The shared controls' images (group "index"): slider knob, drop-down arrows, check mark, the
// reset arrow and the window buttons with their hover states, and the OK tick.
#include "art.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace art {
namespace {

const QColor kGlyph(0xd1, 0xd1, 0xd1);

QPen glyphPen(const QColor &c, qreal width = 1.6)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawSlide(QPainter &p, qreal)
{
    const QPointF c(6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 0x70)); // keeps the knob apart from an orange track
    p.drawEllipse(c, 6, 6);
    QLinearGradient face(0, 0.5, 0, 11.5);
    face.setColorAt(0, QColor(0xff, 0xff, 0xff));
    face.setColorAt(1, QColor(0xbc, 0xbc, 0xbc));
    p.setBrush(face);
    p.drawEllipse(c, 5.2, 5.2);
    QRadialGradient dot(QPointF(5.6, 5.4), 2.6);
    dot.setColorAt(0, colour::orangeLight);
    dot.setColorAt(1, colour::orange);
    p.setBrush(dot);
    p.drawEllipse(c, 2.1, 2.1);
}

void chevron(QPainter &p, bool up, const QColor &c)
{
    const qreal y0 = up ? 10 : 6.5, y1 = up ? 6.5 : 10;
    QPainterPath path(QPointF(4.5, y0));
    path.lineTo(8, y1);
    path.lineTo(11.5, y0);
    p.setPen(glyphPen(c, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawDrop(QPainter &p, qreal) { chevron(p, false, kGlyph); }
void drawDropUp(QPainter &p, qreal) { chevron(p, true, colour::white); }

QPainterPath tick(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path(a);
    path.lineTo(b);
    path.lineTo(c);
    return path;
}

// Placed 3 right of a 12 × 12 box's left edge and 3 above its top: the short stroke sits in the
// box, the long one swings out past its top right corner.
void drawCheck(QPainter &p, qreal)
{
    const QPainterPath path = tick({2.2, 7.8}, {5.4, 11.2}, {13.6, 2.0});
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(QColor(0, 0, 0, 0xa0), 3.4));
    p.drawPath(path);
    p.setPen(glyphPen(colour::orangeLight, 2.1));
    p.drawPath(path);
}

void drawBackArrow(QPainter &p, const QColor &c)
{
    // A counter-clockwise arrow, open at the top: the usual picture of "back to the factory
    // values". The head sits at the arc's leading end and points along it.
    const QPointF centre(8, 8.6);
    const qreal r = 5.0, headAt = 105, sweep = -285;
    const QRectF ring(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    QPainterPath arc;
    arc.arcMoveTo(ring, headAt);
    arc.arcTo(ring, headAt, sweep);
    p.setPen(glyphPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);

    const qreal t = qDegreesToRadians(headAt);
    const QPointF at = centre + QPointF(r * std::cos(t), -r * std::sin(t));
    const QPointF along(-std::sin(t), -std::cos(t)); // counter-clockwise on screen
    const QPointF across(-along.y(), along.x());
    QPainterPath head(at + along * 3.0);
    head.lineTo(at + across * 2.6 - along * 0.6);
    head.lineTo(at - across * 2.6 - along * 0.6);
    head.closeSubpath();
    p.setPen(QPen(c, 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c);
    p.drawPath(head);
}

void drawBack(QPainter &p, qreal) { drawBackArrow(p, kGlyph); }
void drawBackHover(QPainter &p, qreal) { drawBackArrow(p, colour::orangeLight); }

// Window buttons: a glyph on a faint disc, and the orange disc with a white glyph under the
// pointer.
void disc(QPainter &p, bool hover)
{
    p.setPen(Qt::NoPen);
    if (hover) {
        QLinearGradient g(0, 0, 0, 16);
        g.setColorAt(0, colour::orangeLight);
        g.setColorAt(1, colour::orange);
        p.setBrush(g);
    } else {
        p.setBrush(QColor(0xff, 0xff, 0xff, 0x14));
    }
    p.drawEllipse(QPointF(8, 8), 8, 8);
}

void crossGlyph(QPainter &p, const QColor &c)
{
    p.setPen(glyphPen(c, 1.6));
    p.drawLine(QPointF(5.2, 5.2), QPointF(10.8, 10.8));
    p.drawLine(QPointF(10.8, 5.2), QPointF(5.2, 10.8));
}

void minusGlyph(QPainter &p, const QColor &c)
{
    p.setPen(glyphPen(c, 1.6));
    p.drawLine(QPointF(4.8, 8), QPointF(11.2, 8));
}

void askGlyph(QPainter &p, const QColor &c)
{
    const QRectF top(5.5, 3.4, 5.0, 5.0);
    QPainterPath hook;
    hook.arcMoveTo(top, 165);
    hook.arcTo(top, 165, -225);
    hook.quadTo(QPointF(8, 8.6), QPointF(8, 9.8));
    p.setPen(glyphPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(8, 12.3), 1.0, 1.0);
}

void drawClose(QPainter &p, qreal) { disc(p, false); crossGlyph(p, kGlyph); }
void drawCloseHover(QPainter &p, qreal) { disc(p, true); crossGlyph(p, colour::white); }
void drawMin(QPainter &p, qreal) { disc(p, false); minusGlyph(p, kGlyph); }
void drawMinHover(QPainter &p, qreal) { disc(p, true); minusGlyph(p, colour::white); }
void drawAsk(QPainter &p, qreal) { disc(p, false); askGlyph(p, kGlyph); }
void drawAskHover(QPainter &p, qreal) { disc(p, true); askGlyph(p, colour::white); }

// OK beside the cancel cross: the accepting action in the accent colour.
void drawSure(QPainter &p, qreal)
{
    disc(p, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(colour::white, 1.7));
    p.drawPath(tick({4.6, 8.3}, {7.0, 10.7}, {11.4, 5.4}));
}

} // namespace

void addControls(Catalogue &out)
{
    const QString dir = QStringLiteral("skin1/index/");
    addAll(out, dir, {12, 12}, {{"slide.png", drawSlide}});
    addAll(out, dir, {16, 16},
           {{"dropBtn.png", drawDrop}, {"dropBtnU.png", drawDropUp}, {"checkBtn.png", drawCheck},
            {"back.png", drawBack}, {"backH.png", drawBackHover}, {"closeBtn.png", drawClose},
            {"closeBtnH.png", drawCloseHover}, {"minBtn.png", drawMin}, {"minBtnH.png", drawMinHover},
            {"ask.png", drawAsk}, {"askH.png", drawAskHover}, {"sureBtn.png", drawSure}});
}

} // namespace art
