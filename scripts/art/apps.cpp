// The application rules page's icons (group "apps"), 16 × 16, light glyphs for black rows and
// buttons: the kind of each rule (a window with a name tag for the window class, a program's
// prompt for the executable, a window with its title bar lit for a title part) and the
// cross-hairs of "Pick a window".
#include "art.h"
#include "glyph.h"

namespace art {
namespace {

using glyph::ink;
using glyph::kInk;

// A window frame with its title bar; `litBar` fills the bar.
void window(QPainter &p, bool litBar)
{
    const QRectF frame(1.4, 2.4, 13.2, 11.2);
    p.setPen(ink(1.2));
    p.setBrush(QColor(255, 255, 255, 0x18));
    p.drawRoundedRect(frame, 1.8, 1.8);
    if (litBar) {
        QPainterPath bar;
        bar.addRoundedRect(frame, 1.8, 1.8);
        QPainterPath top;
        top.addRect(QRectF(frame.left(), frame.top(), frame.width(), 3.6));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPath(bar.intersected(top));
        p.setPen(QPen(QColor(0x1a, 0x1a, 0x1a), 1.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.0, 4.2), QPointF(10.0, 4.2));
    } else {
        p.drawLine(QPointF(frame.left(), 6.0), QPointF(frame.right(), 6.0));
    }
}

void drawClass(QPainter &p, qreal)
{
    window(p, false);
    // A name tag in the window: a label with a punched hole.
    QPainterPath tag(QPointF(4.2, 8.0));
    tag.lineTo(9.6, 8.0);
    tag.lineTo(11.8, 9.8);
    tag.lineTo(9.6, 11.6);
    tag.lineTo(4.2, 11.6);
    tag.closeSubpath();
    p.setPen(ink(1.0));
    p.setBrush(QColor(255, 255, 255, 0x50));
    p.drawPath(tag);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(9.4, 9.8), 0.8, 0.8);
}

void drawExe(QPainter &p, qreal)
{
    p.setPen(ink(1.2));
    p.setBrush(QColor(255, 255, 255, 0x18));
    p.drawRoundedRect(QRectF(1.4, 2.4, 13.2, 11.2), 1.8, 1.8);
    p.setPen(ink(1.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath chevron(QPointF(4.2, 5.6));
    chevron.lineTo(7.0, 8.0);
    chevron.lineTo(4.2, 10.4);
    p.drawPath(chevron);
    p.drawLine(QPointF(8.4, 10.6), QPointF(11.6, 10.6));
}

void drawTitle(QPainter &p, qreal)
{
    window(p, true);
    p.setPen(QPen(QColor(0xea, 0xea, 0xea, 0x70), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.8, 9.0), QPointF(12.2, 9.0));
    p.drawLine(QPointF(3.8, 11.2), QPointF(9.4, 11.2));
}

void drawPick(QPainter &p, qreal)
{
    const QPointF c(8, 8);
    p.setPen(ink(1.3));
    for (const QPointF &d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
        p.drawLine(c + d * 2.6, c + d * 7.2);
    aimMark(p, c, 4.6, ink(1.3));
}

} // namespace

void addApps(Catalogue &out)
{
    addAll(out, QStringLiteral("skin1/apps/"), {16, 16},
           {{"appClass.png", drawClass}, {"appExe.png", drawExe}, {"appTitle.png", drawTitle},
            {"pickWindow.png", drawPick}});
}

} // namespace art
