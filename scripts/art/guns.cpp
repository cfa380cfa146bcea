// The gun page's pictures: six side silhouettes for the 248 × 58 rows of the gun list, and the
// target that holds the recoil dot.
//
// Each gun is built from simple parts in centimetres (bore axis at y = 0, muzzle to the right),
// merged into one outline and drawn at one common scale, so the guns keep their real lengths
// relative to each other. The name sits at the row's bottom left (16 in, 8 up), so each picture
// is a full row with the gun in its right part.
#include "art.h"

#include <QLinearGradient>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QtMath>

namespace art {
namespace {

constexpr qreal kPxPerCm = 1.6;
const QRectF kGunArea(78, 4, 164, 50); // where a gun stands in its row, clear of the name

struct Gun
{
    QPainterPath body;    // the outline, merged from the parts
    QPainterPath details; // cut lines drawn over the body
    QPainterPath holes;   // see-through openings (stock frames, handle apertures)
};

QPainterPath poly(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath box(qreal x0, qreal y0, qreal x1, qreal y1, qreal r = 0)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)), r, r);
    return path;
}

QPainterPath stroked(const QPainterPath &line, qreal width)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(Qt::RoundCap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(line);
}

// A magazine hanging from (x0, y0)-(x1, y0), its front edge bowing forward by `bow` and its foot
// moved forward by `lean` at depth `depth`.
QPainterPath magazine(qreal x0, qreal x1, qreal y0, qreal depth, qreal lean, qreal bow)
{
    const qreal y1 = y0 + depth;
    QPainterPath path(QPointF(x0, y0));
    path.lineTo(x1, y0);
    path.quadTo(QPointF(x1 + lean / 2 + bow, y0 + depth / 2), QPointF(x1 + lean, y1 - 0.3));
    path.lineTo(x0 + lean + 0.4, y1);
    path.quadTo(QPointF(x0 + lean / 2 + bow, y0 + depth / 2), QPointF(x0, y0));
    path.closeSubpath();
    return path;
}

QPainterPath grip(qreal x, qreal y, qreal width, qreal depth, qreal rake)
{
    return poly({{x, y}, {x + width, y}, {x + width - rake, y + depth},
                 {x - rake - 0.6, y + depth - 0.5}});
}

// The trigger guard: a loop under the receiver from `x0` to `x1`, `depth` deep, and the trigger.
QPainterPath triggerGuard(qreal x0, qreal x1, qreal y, qreal depth)
{
    QPainterPath loop(QPointF(x0, y));
    loop.lineTo(x0 + 0.4, y + depth);
    loop.lineTo(x1, y + depth);
    loop.lineTo(x1, y);
    QPainterPath trigger(QPointF(x0 + 1.6, y));
    trigger.quadTo(QPointF(x0 + 2.4, y + depth * 0.6), QPointF(x0 + 1.6, y + depth * 0.9));
    return stroked(loop, 0.55).united(stroked(trigger, 0.5));
}

void railTeeth(QPainterPath &details, qreal x0, qreal x1, qreal top, qreal depth)
{
    for (qreal x = x0 + 0.7; x < x1 - 0.3; x += 1.0) {
        details.moveTo(x, top);
        details.lineTo(x, top + depth);
    }
}

Gun m416()
{
    Gun g;
    QPainterPath b;
    b.addPath(poly({{0, -3.6}, {14, -3.6}, {14, 1.4}, {2, 8.2}, {0, 8.2}}));     // stock
    b.addPath(box(13, -1.5, 23, 1.5));                                           // buffer tube
    b.addPath(box(22, -3.2, 45, 1.6));                                           // upper
    b.addPath(box(22, -4.4, 66, -3.0));                                          // top rail
    b.addPath(poly({{22, 1.4}, {43, 1.4}, {43, 3.2}, {41, 5.6}, {33, 5.6}, {31, 4.2},
                    {22, 4.2}}));                                                // lower
    b.addPath(box(44, -4.2, 66, 3.4, 0.6));                                      // rail handguard
    b.addPath(box(65, -0.8, 78, 0.8));                                           // barrel
    b.addPath(box(77, -1.3, 84, 1.3, 0.3));                                      // flash hider
    b.addPath(box(30, -8.6, 38.5, -4.4, 1.6));                                   // red dot sight
    b.addPath(box(31.5, -5, 37, -4.2));
    b.addPath(magazine(33.4, 40.4, 5.2, 13.5, 2.6, 0.8));
    b.addPath(grip(24.5, 4.0, 4.6, 8.6, 2.2));
    b.addPath(triggerGuard(29, 33.6, 4.0, 3.2));
    b.addPath(poly({{48, 3.2}, {52, 3.2}, {51.6, 9.4}, {48.6, 9.4}}));            // foregrip
    g.body = b;
    g.holes.addPath(poly({{4, -1.6}, {11.5, -1.6}, {11.5, 0.6}, {4, 4.6}}));     // stock frame
    railTeeth(g.details, 22, 66, -4.4, 0.7);
    for (qreal x = 46; x < 64; x += 3.2) g.details.addRoundedRect(QRectF(x, -1.4, 2.2, 2.8), 0.6, 0.6);
    g.details.addRect(QRectF(33, -1.8, 6, 2.2));                                 // ejection port
    g.details.addRoundedRect(QRectF(31.5, -7.6, 3, 2.2), 0.5, 0.5);              // sight lens
    return g;
}

Gun akm()
{
    Gun g;
    QPainterPath b;
    b.addPath(poly({{0, 1.2}, {24.5, -1.8}, {24.5, 2.8}, {2.6, 11}, {0, 11}}));  // wooden stock
    b.addPath(box(24, -2.6, 50, 3.4, 0.8));                                      // receiver
    b.addPath(box(49, -3.5, 54, -1.0, 0.4));                                     // rear sight block
    b.addPath(box(52, -3.4, 70, -1.4, 0.9));                                     // gas tube / upper guard
    b.addPath(poly({{50, -1.4}, {66, -1.4}, {66, 1.4}, {62, 2.4}, {50, 3.3}}));  // lower handguard
    b.addPath(box(65, -0.7, 83, 0.7));                                           // barrel
    b.addPath(box(68.5, -3.4, 72, 0.8, 0.3));                                    // gas block
    b.addPath(poly({{78.4, 0.9}, {82.4, 0.9}, {82.4, -1.4}, {81.8, -4.0}, {80.9, -4.0},
                    {79.4, -1.3}}));                                             // front sight
    b.addPath(poly({{82, -1.0}, {87, -1.0}, {88, 1.1}, {82, 1.1}}));             // slant brake
    b.addPath(magazine(36, 42, 3.2, 17.5, 7.5, 2.6));                            // banana magazine
    b.addPath(grip(27.6, 3.2, 4.2, 8.2, 3.2));
    b.addPath(triggerGuard(31.6, 36, 3.2, 3.0));
    g.body = b;
    g.details.moveTo(24, 0.2);                                                   // dust cover seam
    g.details.lineTo(47, 0.2);
    g.details.addRoundedRect(QRectF(37, -1.6, 7, 1.4), 0.4, 0.4);                // ejection port
    for (qreal y = 7; y < 19; y += 2.6) {                                        // magazine ribs
        const qreal t = (y - 3.2) / 17.5;
        g.details.moveTo(36.6 + t * 7.5 + 0.6 * std::sin(t * M_PI) * 2, y);
        g.details.lineTo(41.6 + t * 7.5 + 0.6 * std::sin(t * M_PI) * 2, y - 0.6);
    }
    g.details.moveTo(52, 1.0);                                                   // handguard groove
    g.details.lineTo(63, 1.0);
    return g;
}

Gun m16a4()
{
    Gun g;
    QPainterPath b;
    b.addPath(poly({{0, -2.6}, {25, -2.4}, {25, 2.8}, {1.2, 9.4}, {0, 9.4}}));    // A2 stock
    b.addPath(box(24, -3.2, 47, 1.6));                                           // upper
    b.addPath(poly({{24, 1.4}, {45, 1.4}, {45, 3.4}, {43, 5.4}, {35.5, 5.4}, {33.5, 4.2},
                    {24, 4.2}}));                                                // lower
    b.addPath(poly({{26.5, -3.0}, {28.6, -8.4}, {43.6, -8.4}, {45.4, -3.0}}));    // carry handle
    b.addPath(box(46, -3.6, 71, 3.2, 1.4));                                      // round handguard
    b.addPath(box(70, -0.7, 97, 0.7));                                           // barrel
    b.addPath(poly({{70.6, 0.8}, {74.6, 0.8}, {74.2, -7.2}, {73.2, -7.2}, {70.6, -2.0}})); // A-frame
    b.addPath(box(96.5, -1.1, 100.5, 1.1, 0.3));                                 // flash hider
    b.addPath(magazine(35.8, 42.6, 5.0, 13.2, 1.8, 0.6));
    b.addPath(grip(26.8, 4.0, 4.6, 8.6, 2.2));
    b.addPath(triggerGuard(31.4, 35.8, 4.0, 3.2));
    g.body = b;
    g.holes.addPath(poly({{30.2, -3.8}, {31.2, -6.9}, {41.6, -6.9}, {42.6, -3.8}})); // handle opening
    for (qreal x = 48.5; x < 70; x += 1.6) {                                     // handguard ribs
        g.details.moveTo(x, -2.6);
        g.details.lineTo(x, 2.2);
    }
    g.details.addRect(QRectF(35, -1.8, 6.4, 2.2));                               // ejection port
    g.details.moveTo(1.2, -2.6);                                                 // butt plate
    g.details.lineTo(1.2, 9.4);
    return g;
}

Gun scarL()
{
    Gun g;
    QPainterPath b;
    b.addPath(poly({{0, -4.4}, {4, -5.8}, {14, -5.8}, {15, -4.2}, {21, -4.2}, {22.5, -3}, {22.5, 2},
                    {16, 2.6}, {5.6, 9}, {0, 9}}));                              // folding stock
    b.addPath(box(22, -4.2, 70, 0.9, 0.4));                                      // long upper
    b.addPath(box(22, -5.4, 70, -4.0));                                          // full-length rail
    b.addPath(poly({{24, 0.8}, {47, 0.8}, {49.5, 3.0}, {44, 6.6}, {36, 6.6}, {34, 5.0},
                    {24, 5.0}}));                                                // polymer lower
    b.addPath(box(55, 0.8, 70, 2.4, 0.4));                                       // lower rail
    b.addPath(box(69, -0.7, 83, 0.7));                                           // barrel
    b.addPath(box(82, -1.3, 89, 1.3, 0.4));                                      // muzzle device
    b.addPath(poly({{23.5, -5.4}, {24.5, -7.6}, {26.5, -7.6}, {27, -5.4}}));      // rear sight
    b.addPath(poly({{65.5, -5.4}, {66.5, -7.8}, {68, -7.8}, {68.6, -5.4}}));      // front sight
    b.addPath(magazine(36.6, 43.2, 6.2, 12.6, 2.2, 0.7));
    b.addPath(grip(27.4, 4.8, 4.6, 8.6, 2.2));
    b.addPath(triggerGuard(32, 36.4, 4.8, 2.8));
    g.body = b;
    g.holes.addPath(poly({{6, 0}, {14.6, -0.4}, {14.6, 1.2}, {7.6, 5.6}, {6, 5.6}})); // stock frame
    railTeeth(g.details, 22, 70, -5.4, 0.7);
    g.details.moveTo(22, -1.6);                                                  // upper's side rib
    g.details.lineTo(68, -1.6);
    g.details.addRoundedRect(QRectF(50, -3.6, 2.4, 1.6), 0.5, 0.5);              // charging handle
    g.details.addRect(QRectF(35, -0.6, 6, 1.2));                                 // ejection port
    return g;
}

Gun unp9()
{
    Gun g;
    QPainterPath b;
    b.addPath(poly({{0, -3.2}, {16.5, -3.2}, {16.5, 2.6}, {3.6, 8.4}, {0, 8.4}})); // skeleton stock
    b.addPath(poly({{16, -3.6}, {50, -3.6}, {53.5, -1.2}, {53.5, 2.4}, {51, 4.6}, {16, 4.6}})); // box body
    b.addPath(box(20, -4.8, 44, -3.4));                                          // top rail
    b.addPath(box(53, -0.7, 61, 0.7));                                           // barrel
    b.addPath(box(60.5, -1.0, 64, 1.0, 0.3));                                    // thread protector
    b.addPath(box(42, 4.4, 51, 5.6, 0.3));                                       // lower rail
    b.addPath(magazine(34.6, 40.6, 4.4, 13.4, 2.4, 0.6));
    b.addPath(grip(21.6, 4.4, 5.0, 8.4, 2.0));
    b.addPath(triggerGuard(26.6, 33.4, 4.4, 3.4));
    g.body = b;
    g.holes.addPath(poly({{2.6, -1.2}, {14.2, -1.2}, {14.2, 1.4}, {4.2, 6.0}, {2.6, 6.0}}));
    railTeeth(g.details, 20, 44, -4.8, 0.6);
    g.details.moveTo(16, 0.4);                                                   // body seam
    g.details.lineTo(50, 0.4);
    g.details.addRoundedRect(QRectF(29, -2.2, 6, 1.8), 0.4, 0.4);                // ejection port
    for (qreal x = 45; x < 51; x += 2) g.details.addEllipse(QPointF(x, 2.2), 0.5, 0.5); // vents
    return g;
}

Gun thomson()
{
    Gun g;
    QPainterPath b;
    QPainterPath stock(QPointF(22.5, -1.4));                                     // curved wooden stock
    stock.lineTo(1.4, 1.0);
    stock.quadTo(QPointF(0, 1.2), QPointF(0, 2.4));
    stock.lineTo(0, 10.2);
    stock.lineTo(2.6, 10.2);
    stock.quadTo(QPointF(14, 5.0), QPointF(22.5, 2.6));
    stock.closeSubpath();
    b.addPath(stock);
    b.addPath(box(22, -2.8, 46, 2.6, 0.8));                                      // receiver
    b.addPath(box(24, 2.2, 45, 4.4, 0.4));                                       // frame
    b.addPath(box(25, -4.0, 27.6, -2.6, 0.3));                                   // rear sight
    b.addPath(box(40, -3.8, 42.4, -2.6, 0.6));                                   // cocking knob
    b.addPath(box(46, -1.9, 62, 1.9, 0.4));                                      // finned barrel
    for (qreal x = 46.6; x < 61.5; x += 1.2)                                     // fins
        b.addPath(box(x, -2.4, x + 0.6, 2.4));
    b.addPath(box(61, -1.1, 72, 1.1));                                           // barrel
    b.addPath(box(71.5, -1.6, 78, 1.6, 0.4));                                    // compensator
    b.addPath(box(76.4, -3.0, 77.2, -1.4));                                      // front blade
    QPainterPath drum;
    drum.addEllipse(QPointF(37.6, 10.2), 6.6, 6.6);                              // drum magazine
    b.addPath(drum);
    b.addPath(box(34.6, 4.0, 40.6, 5.2));
    b.addPath(grip(25.2, 4.2, 4.6, 8.2, 1.8));                                   // wooden grip
    b.addPath(triggerGuard(29.8, 31.6, 4.2, 2.6));
    QPainterPath fore(QPointF(51.4, 1.6));                                       // vertical foregrip
    fore.lineTo(55.6, 1.6);
    fore.quadTo(QPointF(56.6, 6), QPointF(56.2, 10.6));
    fore.quadTo(QPointF(54, 11.6), QPointF(52, 10.8));
    fore.quadTo(QPointF(51.2, 6), QPointF(51.4, 1.6));
    b.addPath(fore);
    g.body = b;
    g.details.addEllipse(QPointF(37.6, 10.2), 4.8, 4.8);                         // drum face
    g.details.addEllipse(QPointF(37.6, 10.2), 1.2, 1.2);
    g.details.moveTo(37.6, 10.2);                                                // winding key
    g.details.lineTo(41.0, 6.8);
    for (qreal x = 72.8; x < 77; x += 1.3) {                                     // compensator slots
        g.details.moveTo(x, -1.6);
        g.details.lineTo(x + 0.6, -0.6);
    }
    g.details.moveTo(1.2, 1.6);                                                  // butt plate
    g.details.lineTo(1.2, 10.2);
    return g;
}

void drawGun(QPainter &p, const Gun &gun)
{
    QPainterPath body = gun.body;
    body.setFillRule(Qt::WindingFill);
    body = body.simplified().subtracted(gun.holes);
    const QRectF cm = body.boundingRect();
    // Centred in the gun area, at the common scale.
    p.translate(kGunArea.center() - cm.center() * kPxPerCm);
    p.scale(kPxPerCm, kPxPerCm);

    const qreal px = 1.0 / kPxPerCm;
    QLinearGradient metal(0, cm.top(), 0, cm.bottom());
    metal.setColorAt(0, QColor(0xf4, 0xf4, 0xf4));
    metal.setColorAt(0.45, QColor(0xd6, 0xd6, 0xd6));
    metal.setColorAt(1, QColor(0x9a, 0x9a, 0x9a));
    p.setPen(QPen(QColor(0x10, 0x10, 0x10, 0x90), 1.0 * px, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(metal);
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30, 0xb0), 0.9 * px, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPath(gun.details);
    p.restore();
}

// ---- the target ----------------------------------------------------------------------------

// The red dot (8 × 8) stands at x 89 and y 89 … 183 on the target: its centre runs down from
// (93, 93), the point of no pull, to 187 for the strongest pull. The face is centred on that point
// and reaches down to where the dot's path ends.
const QPointF kAim(93, 93);
constexpr qreal kFace = 92.5;

void drawTarget(QPainter &p, qreal)
{
    QRadialGradient face(kAim, kFace);
    face.setColorAt(0, QColor(0x18, 0x18, 0x18));
    face.setColorAt(1, QColor(0x06, 0x06, 0x06));
    p.setPen(QPen(colour::gray1, 1.0));
    p.setBrush(face);
    p.drawEllipse(kAim, kFace, kFace);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x3c, 0x3c, 0x3c), 1.0));
    for (qreal r : {23.0, 46.0, 69.0})
        p.drawEllipse(kAim, r, r);
    // Cross hairs with a gap round the aim point.
    const qreal reach = kFace - 4;
    p.setPen(QPen(QColor(0x96, 0x96, 0x96, 0x90), 1.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kAim.x() - reach, kAim.y()), QPointF(kAim.x() - 8, kAim.y()));
    p.drawLine(QPointF(kAim.x() + 8, kAim.y()), QPointF(kAim.x() + reach, kAim.y()));
    p.drawLine(QPointF(kAim.x(), kAim.y() - reach), QPointF(kAim.x(), kAim.y() - 8));
    p.drawLine(QPointF(kAim.x(), kAim.y() + 8), QPointF(kAim.x(), kAim.y() + reach));

    // Ticks round the rim, longer every 45 degrees.
    p.setPen(QPen(QColor(0x5a, 0x5a, 0x5a), 1.0, Qt::SolidLine, Qt::FlatCap));
    for (int a = 0; a < 360; a += 15) {
        const qreal t = qDegreesToRadians(qreal(a));
        const QPointF d(std::cos(t), std::sin(t));
        p.drawLine(kAim + d * ((a % 45 == 0) ? kFace - 12 : kFace - 8), kAim + d * (kFace - 3));
    }
    // Orange arrow heads at the ends of the cross.
    p.setPen(Qt::NoPen);
    p.setBrush(colour::orange);
    for (int a = 0; a < 4; ++a) {
        p.save();
        p.translate(kAim);
        p.rotate(90 * a);
        p.drawPath(poly({{0, -kFace + 1.5}, {-4, -kFace + 9.5}, {4, -kFace + 9.5}}));
        p.restore();
    }

    // The pull scale along the dot's path: a tick every 8 of the 0 … 64 steps, in orange at 32
    // and 64.
    for (int k = 1; k <= 7; ++k) {
        const qreal y = kAim.y() + 94.0 * 8 * k / 64;
        const bool major = k % 4 == 0;
        const qreal half = major ? 6 : 3.5;
        p.setPen(QPen(major ? colour::orangeLight : QColor(0x96, 0x96, 0x96), 1.2, Qt::SolidLine,
                      Qt::FlatCap));
        p.drawLine(QPointF(kAim.x() - half, y), QPointF(kAim.x() + half, y));
    }

    // The aim point.
    aimMark(p, kAim, 5, QPen(colour::orangeLight, 1.4));
}

} // namespace

void addGuns(Catalogue &out)
{
    const QString dir = QStringLiteral("skin1/gun/");
    const QSize row(248, 58);
    const std::pair<const char *, Gun (*)()> guns[] = {
        {"M416", m416}, {"AKM", akm}, {"M16A4", m16a4},
        {"SCAR-L", scarL}, {"UNP9", unp9}, {"Thomson", thomson},
    };
    for (const auto &[name, build] : guns) {
        auto make = build;
        out.append({dir + QLatin1String(name) + QStringLiteral(".png"), row,
                    [make](QPainter &p, qreal) { drawGun(p, make()); }});
    }
    out.append({dir + QStringLiteral("target.png"), {190, 190}, drawTarget});
}

} // namespace art
