// The macro editor's action icons (group "macros"), 16 × 16, for rows that are black or, when
// selected, orange: light glyphs only. A key or a mouse on the left, and an arrow on the right
// that says press (down) or release (up); the delay is a stopwatch.
#include "art.h"
#include "glyph.h"

namespace art {
namespace {

using glyph::ink;
using glyph::kInk;

void arrow(QPainter &p, bool down)
{
    const qreal x = 13.4, top = 2.8, bottom = 13.2;
    p.setPen(ink(1.3));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(x, down ? top : top + 2.5), QPointF(x, down ? bottom - 2.5 : bottom));
    const qreal tip = down ? bottom : top, base = down ? bottom - 3.4 : top + 3.4;
    QPainterPath head(QPointF(x, tip));
    head.lineTo(x - 2.4, base);
    head.lineTo(x + 2.4, base);
    head.closeSubpath();
    p.setPen(QPen(kInk, 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kInk);
    p.drawPath(head);
}

// A key cap seen from the front, pushed down (lower, face lit) or up.
void keyCap(QPainter &p, bool pressed)
{
    const qreal lift = pressed ? 1.5 : 0;
    const QRectF cap(1.4, 3.6 + lift, 9.4, 9.4 - lift);
    p.setPen(ink(1.2));
    p.setBrush(QColor(255, 255, 255, pressed ? 0x50 : 0x18));
    p.drawRoundedRect(cap, 2.2, 2.2);
    p.setPen(QPen(QColor(0xea, 0xea, 0xea, 0xa0), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3.3, 5.2 + lift, 5.6, 4.8 - lift), 1.2, 1.2);
}

// A mouse seen from above, its left button filled while pressed.
void mouseBody(QPainter &p, bool pressed)
{
    const QRectF body(1.8, 1.8, 8.6, 12.6);
    const qreal split = 6.8;
    if (pressed) {
        QPainterPath left;
        left.addRoundedRect(body, 4.3, 4.3);
        QPainterPath quarter;
        quarter.addRect(QRectF(body.left(), body.top(), body.width() / 2, split - body.top()));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPath(left.intersected(quarter));
    }
    p.setPen(ink(1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, 4.3, 4.3);
    p.drawLine(QPointF(body.left(), split), QPointF(body.right(), split));
    p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), split));
}

void drawDelay(QPainter &p, qreal)
{
    const QPointF c(8, 9);
    p.setPen(ink(1.3));
    p.setBrush(QColor(255, 255, 255, 0x18));
    p.drawEllipse(c, 5.6, 5.6);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(6.5, 0.9, 3.0, 1.7), 0.6, 0.6); // crown
    p.setPen(ink(1.3));
    p.drawLine(QPointF(12.2, 4.2), QPointF(13.2, 3.2));        // side button
    p.drawLine(c, QPointF(8, 5.6));                            // hands
    p.drawLine(c, QPointF(10.4, 10.3));
}

void drawKeyPress(QPainter &p, qreal) { keyCap(p, true); arrow(p, true); }
void drawKeyRelease(QPainter &p, qreal) { keyCap(p, false); arrow(p, false); }
void drawMousePress(QPainter &p, qreal) { mouseBody(p, true); arrow(p, true); }
void drawMouseRelease(QPainter &p, qreal) { mouseBody(p, false); arrow(p, false); }

} // namespace

void addMacros(Catalogue &out)
{
    addAll(out, QStringLiteral("skin1/macros/"), {16, 16},
           {{"macroKeyDelay.png", drawDelay}, {"macroKeyPress.png", drawKeyPress},
            {"macroKeyRelease.png", drawKeyRelease}, {"macroMousePress.png", drawMousePress},
            {"macroMouseRelease.png", drawMouseRelease}});
}

} // namespace art
