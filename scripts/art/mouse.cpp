// The mouse picture (group "mouse"): a top view of the mouse and, for each of its eight buttons, a
// highlight shaped to the button in two states, normal and selected. All geometry is in window
// coordinates, because the documents place the picture and the highlights at fixed window
// positions; each image is the same drawing seen through its own window rectangle, so a highlight
// lies exactly on its button. The numbered tags are drawn by the document; every highlight carries
// a leader line from its button to where the document puts the button's tag.
#include "art.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace art {
namespace {

// Where the documents put the picture and the highlights (top-left corners, window coordinates),
// and the tags (48 × 24) that follow from them.
const QPointF kPictureAt(374, 127);
const QSize kPictureSize(340, 504);
constexpr qreal kCx = 539;          // the body's axis
constexpr qreal kSpineHalf = 28;    // half width of the centre console between the main buttons
constexpr qreal kButtonsEnd = 386;  // where the main buttons end at the console
constexpr qreal kPad = 4;           // room for the selected glow around a button

enum Button { Left, Right, Wheel, Forward, Back, DpiUp, DpiDown, Fire, ButtonCount };

struct Highlight
{
    QPointF at;   // top-left corner in the window
    QSizeF size;  // image size
    QRectF tag;   // the document's tag, for the leader's end
};

// Highlight sizes are chosen so that each image covers its button and reaches its tag: the
// document places tags relative to the image's corners (buttons 1, 4, 5, 8: 48 left and 12 above
// the top-left corner; 2, 6, 7: left edge 48 left of the right edge, 12 above the top; 3: left
// edge 24 left of the right edge, resting on the top).
Highlight highlight(int b)
{
    auto leftTag = [](QPointF at) { return QRectF(at.x() - 48, at.y() - 12, 48, 24); };
    auto rightTag = [](QPointF at, QSizeF s) {
        return QRectF(at.x() + s.width() - 48, at.y() - 12, 48, 24);
    };
    switch (b) {
    case Left: { QPointF at(370, 132); return {at, {148, 272}, leftTag(at)}; }
    case Right: { QPointF at(562, 132); QSizeF s(192, 272); return {at, s, rightTag(at, s)}; }
    case Wheel: {
        QPointF at(512, 104);
        QSizeF s(42, 116);
        return {at, s, QRectF(at.x() + s.width() - 24, at.y() - 24, 48, 24)};
    }
    case Forward: { QPointF at(368, 316); return {at, {28, 58}, leftTag(at)}; }
    case Back: { QPointF at(368, 374); return {at, {28, 58}, leftTag(at)}; }
    case DpiUp: { QPointF at(515, 295); QSizeF s(239, 42); return {at, s, rightTag(at, s)}; }
    case DpiDown: { QPointF at(515, 335); QSizeF s(239, 42); return {at, s, rightTag(at, s)}; }
    case Fire: { QPointF at(368, 229); return {at, {28, 56}, leftTag(at)}; }
    }
    return {};
}

// The silhouette, symmetric about the axis: the left half from the front to the rear as cubic
// segments in (offset from the axis, y), mirrored for the right half.
QPainterPath silhouette()
{
    struct Seg { QPointF c1, c2, to; };
    const QPointF start(0, 136);
    const Seg left[] = {
        {{-64, 136}, {-128, 138}, {-148, 162}},
        {{-160, 176}, {-160, 212}, {-159, 250}},
        {{-158, 300}, {-158, 330}, {-160, 380}},
        {{-163, 440}, {-164, 470}, {-162, 500}},
        {{-158, 570}, {-100, 613}, {0, 614}},
    };
    auto at = [](QPointF d, qreal sign) { return QPointF(kCx + sign * d.x(), d.y()); };
    QPainterPath path(at(start, 1));
    for (const Seg &s : left)
        path.cubicTo(at(s.c1, 1), at(s.c2, 1), at(s.to, 1));
    const int n = int(std::size(left));
    for (int i = n - 1; i >= 0; --i) {
        const QPointF from = i > 0 ? left[i - 1].to : start;
        path.cubicTo(at(left[i].c2, -1), at(left[i].c1, -1), at(from, -1));
    }
    path.closeSubpath();
    return path;
}

QPainterPath mirrored(const QPainterPath &path)
{
    QTransform t;
    t.translate(2 * kCx, 0);
    t.scale(-1, 1);
    return t.map(path);
}

// The left main button: the body's front-left part, up to the console, ending in a curved rear
// edge, and drawn in from the side where the flank (with the side buttons) shows.
QPainterPath leftButton()
{
    QPainterPath area(QPointF(300, 100));
    area.lineTo(kCx - kSpineHalf, 100);
    area.lineTo(kCx - kSpineHalf, kButtonsEnd - 6);
    area.cubicTo(QPointF(kCx - kSpineHalf - 4, kButtonsEnd + 2), QPointF(470, 402),
                 QPointF(404, 392));
    // The flank shows from here on: the button's edge runs inside the silhouette.
    // It leaves the silhouette almost along it, so the two meet without a corner.
    area.cubicTo(QPointF(402, 320), QPointF(389, 232), QPointF(383.5, 192));
    area.lineTo(380, 150);
    area.lineTo(300, 150);
    area.closeSubpath();
    return silhouette().intersected(area).simplified();
}

QPainterPath rightButton() { return mirrored(leftButton()); }

QPainterPath spine()
{
    const QRectF r(kCx - kSpineHalf + 2, 142, 2 * kSpineHalf - 4, kButtonsEnd - 142 + 6);
    QPainterPath path;
    path.addRoundedRect(r, 16, 16);
    return path;
}

QRectF wheelRect() { return QRectF(kCx - 10, 158, 20, 56); }

QPainterPath wheel()
{
    QPainterPath path;
    path.addRoundedRect(wheelRect(), 9, 9);
    return path;
}

QRectF dpiRect(int k) { return QRectF(kCx - 9, 299 + 40 * k, 18, 32); }

QPainterPath dpiButton(int k)
{
    QPainterPath path;
    path.addRoundedRect(dpiRect(k), 7, 7);
    return path;
}

// Side buttons on the left flank: a pill that stands a little out of the silhouette.
QRectF sideRect(int b)
{
    switch (b) {
    case Fire: return QRectF(375, 233, 13, 46);
    case Forward: return QRectF(375, 320, 14, 48);
    default: return QRectF(375, 378, 14, 48);
    }
}

QPainterPath sideButton(int b)
{
    QPainterPath path;
    path.addRoundedRect(sideRect(b), 6.5, 6.5);
    return path;
}

QPainterPath buttonShape(int b)
{
    switch (b) {
    case Left: return leftButton();
    case Right: return rightButton();
    case Wheel: return wheel();
    case DpiUp: return dpiButton(0);
    case DpiDown: return dpiButton(1);
    default: return sideButton(b);
    }
}

// The leader from a button to its tag: a short line at a height inside both, ending on the tag's
// edge, with a dot where it leaves the button.
QPolygonF leader(int b)
{
    const QRectF tag = highlight(b).tag;
    switch (b) {
    case Left: return {QPointF(tag.right(), 140), QPointF(380, 140), QPointF(402, 160)};
    case Right:
        return {QPointF(tag.left(), 140), QPointF(2 * kCx - 380, 140), QPointF(2 * kCx - 402, 160)};
    case Wheel: return {QPointF(kCx + 0.5, tag.bottom()), QPointF(kCx + 0.5, wheelRect().top())};
    case DpiUp:
    case DpiDown: {
        const QRectF r = dpiRect(b == DpiUp ? 0 : 1);
        return {QPointF(tag.left(), r.top() + 4.5), QPointF(r.right(), r.top() + 4.5)};
    }
    default: {
        const QRectF r = sideRect(b);
        return {QPointF(tag.right(), r.top() + 4.5), QPointF(r.left() + 3, r.top() + 4.5)};
    }
    }
}

// ---- the picture ---------------------------------------------------------------------------

QLinearGradient vertical(qreal y0, qreal y1, const QColor &a, const QColor &b)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

void drawShadow(QPainter &p, const QPainterPath &body)
{
    p.save();
    // Lit from the top left; the shadow stays inside the picture's frame.
    p.translate(4, 8);
    for (int i = 10; i >= 1; --i) {
        p.setPen(QPen(QColor(0, 0, 0, 18), 1.0 * i, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0, 0, 0, 18));
        p.drawPath(body);
    }
    p.restore();
}

void drawButtonSurface(QPainter &p, const QPainterPath &shape, qreal scale)
{
    const QRectF r = shape.boundingRect();
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(r.top(), r.bottom(), QColor(0x36, 0x36, 0x36), QColor(0x1e, 0x1e, 0x1e)));
    p.drawPath(shape);
    // A soft sheen across the top of the button.
    p.save();
    p.setClipPath(shape);
    softLight(p, scale, r, QPointF(r.center().x(), r.top() + r.height() * 0.28), r.width() * 0.9,
              QColor(0xff, 0xff, 0xff), 0.07);
    p.restore();
    // Seam.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 0xe0), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shape);
}

void drawMousePicture(QPainter &p, qreal scale)
{
    const QPainterPath body = silhouette();
    drawShadow(p, body);

    // Shell: the flanks and the palm rest.
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(133, 613, QColor(0x22, 0x22, 0x22), QColor(0x0e, 0x0e, 0x0e)));
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    softLight(p, scale, body.boundingRect(), QPointF(kCx - 20, 470), 170, QColor(0xff, 0xff, 0xff),
              0.10);
    // Flanks: darker strips where the sides turn away.
    const QRectF bounds = body.boundingRect();
    QLinearGradient flank(bounds.left(), 0, bounds.right(), 0);
    flank.setColorAt(0, QColor(0, 0, 0, 0xa0));
    flank.setColorAt(0.09, QColor(0, 0, 0, 0));
    flank.setColorAt(0.91, QColor(0, 0, 0, 0));
    flank.setColorAt(1, QColor(0, 0, 0, 0xa0));
    p.fillRect(bounds, flank);
    p.restore();

    // Lighting strip around the palm rest, in the product's orange.
    {
        // The silhouette drawn in by about 12 pixels; only its rear part lights.
        QTransform in;
        in.translate(kCx, 360);
        in.scale(0.925, 0.93);
        in.translate(-kCx, -360);
        QPainterPath strip = in.map(body);
        p.save();
        p.setClipRect(QRectF(300, 430, 480, 220));
        // Both ends fade into the flanks.
        QLinearGradient fade(0, 430, 0, 520);
        fade.setColorAt(0, QColor(0xcf, 0x3e, 0x00, 0));
        fade.setColorAt(1, QColor(0xcf, 0x3e, 0x00, 0x70));
        for (int i = 6; i >= 1; --i) {
            QLinearGradient f = fade;
            f.setColorAt(1, QColor(0xcf, 0x3e, 0x00, 0x70 / 6));
            p.setPen(QPen(QBrush(f), 12.0 * i / 6, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(strip);
        }
        QLinearGradient core(0, 430, 0, 500);
        core.setColorAt(0, QColor(0xf0, 0x6a, 0x1e, 0));
        core.setColorAt(1, colour::orangeLight);
        p.setPen(QPen(QBrush(core), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(strip);
        p.restore();
    }

    // The mark on the palm rest.
    drawMark(p, QPointF(kCx, 506), 30, false);

    // Main buttons and the centre console.
    drawButtonSurface(p, leftButton(), scale);
    drawButtonSurface(p, rightButton(), scale);
    const QPainterPath console = spine();
    p.setPen(QPen(QColor(0, 0, 0, 0xe0), 1.6));
    p.setBrush(vertical(140, kButtonsEnd, QColor(0x16, 0x16, 0x16), QColor(0x0c, 0x0c, 0x0c)));
    p.drawPath(console);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xff, 0xff, 0xff, 0x12), 1.0));
    p.drawPath(console.translated(0, 1));

    // Wheel in its slot: a rubber tyre with ribs, lit from the sides.
    const QRectF w = wheelRect();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0));
    p.drawRoundedRect(w.adjusted(-4, -5, 4, 5), 12, 12);
    {
        QColor g = colour::orange;
        g.setAlpha(0x60);
        QPainterPath slot;
        slot.addRoundedRect(w.adjusted(-3, -4, 3, 4), 11, 11);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(g, 1.2));
        p.drawPath(slot);
    }
    QLinearGradient tyre(w.left(), 0, w.right(), 0);
    tyre.setColorAt(0, QColor(0x18, 0x18, 0x18));
    tyre.setColorAt(0.5, QColor(0x4a, 0x4a, 0x4a));
    tyre.setColorAt(1, QColor(0x18, 0x18, 0x18));
    p.setPen(Qt::NoPen);
    p.setBrush(tyre);
    p.drawPath(wheel());
    p.save();
    p.setClipPath(wheel());
    p.setPen(QPen(QColor(0, 0, 0, 0x90), 1.2));
    for (qreal y = w.top() + 3; y < w.bottom(); y += 4)
        p.drawLine(QPointF(w.left() + 3, y), QPointF(w.right() - 3, y));
    QLinearGradient shade(0, w.top(), 0, w.bottom());
    shade.setColorAt(0, QColor(0, 0, 0, 0xb0));
    shade.setColorAt(0.3, QColor(0, 0, 0, 0));
    shade.setColorAt(0.7, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, 0xb0));
    p.fillRect(w, shade);
    p.restore();

    // DPI stage lights between the wheel and the DPI buttons; the first one lit.
    for (int i = 0; i < 4; ++i) {
        const QPointF c(kCx, 236 + 13 * i);
        if (i == 0) {
            QRadialGradient halo(c, 7);
            halo.setColorAt(0, QColor(0xf0, 0x6a, 0x1e, 0xa0));
            halo.setColorAt(1, QColor(0xf0, 0x6a, 0x1e, 0));
            p.setBrush(halo);
            p.setPen(Qt::NoPen);
            p.drawEllipse(c, 7, 7);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? colour::orangeLight : QColor(0x30, 0x30, 0x30));
        p.drawRoundedRect(QRectF(c.x() - 5, c.y() - 1.5, 10, 3), 1.5, 1.5);
    }

    // DPI buttons with a raised plus and minus.
    for (int k = 0; k < 2; ++k) {
        const QRectF r = dpiRect(k);
        p.setPen(QPen(QColor(0, 0, 0), 1.2));
        p.setBrush(vertical(r.top(), r.bottom(), QColor(0x3a, 0x3a, 0x3a), QColor(0x22, 0x22, 0x22)));
        p.drawPath(dpiButton(k));
        p.setPen(QPen(QColor(0x8a, 0x8a, 0x8a), 1.4, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = r.center();
        p.drawLine(c - QPointF(3.5, 0), c + QPointF(3.5, 0));
        if (k == 0)
            p.drawLine(c - QPointF(0, 3.5), c + QPointF(0, 3.5));
    }

    // A faint rim light on the silhouette.
    p.setBrush(Qt::NoBrush);
    QLinearGradient rim(0, 133, 0, 613);
    rim.setColorAt(0, QColor(0xff, 0xff, 0xff, 0x38));
    rim.setColorAt(1, QColor(0xff, 0xff, 0xff, 0x08));
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawPath(body);

    // Side buttons, over the rim.
    for (int b : {Fire, Forward, Back}) {
        const QRectF r = sideRect(b);
        QLinearGradient g(r.left(), 0, r.right(), 0);
        g.setColorAt(0, QColor(0x24, 0x24, 0x24));
        g.setColorAt(0.45, QColor(0x48, 0x48, 0x48));
        g.setColorAt(1, QColor(0x26, 0x26, 0x26));
        p.setPen(QPen(QColor(0, 0, 0), 1.2));
        p.setBrush(g);
        p.drawPath(sideButton(b));
    }
    // The fire button carries an orange mark.
    {
        const QRectF r = sideRect(Fire);
        p.setPen(Qt::NoPen);
        p.setBrush(colour::orange);
        p.drawRoundedRect(QRectF(r.center().x() - 1.5, r.top() + 9, 3, r.height() - 18), 1.5, 1.5);
    }

}

// ---- the highlights ------------------------------------------------------------------------

void drawHighlight(QPainter &p, int b, bool selected)
{
    const QPainterPath shape = buttonShape(b);
    const QPolygonF line = leader(b);
    const QColor accent = selected ? colour::orangeLight : QColor(0xd1, 0xd1, 0xd1);
    p.setBrush(Qt::NoBrush);
    if (selected) {
        QColor g = colour::orange;
        g.setAlpha(0xa0);
        glow(p, shape, g, 2 * kPad, 4);
        QColor fill = colour::orange;
        fill.setAlpha(0x60);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(shape);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(accent, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shape);
    } else {
        QColor edge = accent;
        edge.setAlpha(0x50);
        p.setPen(QPen(edge, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shape);
    }
    QColor lineColour = accent;
    lineColour.setAlpha(selected ? 0xff : 0x90);
    p.setPen(QPen(lineColour, selected ? 1.4 : 1.0, Qt::SolidLine, Qt::FlatCap));
    p.drawPolyline(line);
    p.setPen(Qt::NoPen);
    p.setBrush(lineColour);
    p.drawEllipse(line.last(), 2.2, 2.2);
}

} // namespace

void addMouse(Catalogue &out)
{
    const QString dir = QStringLiteral("skin1/mouse/");
    out.append({dir + QStringLiteral("MouseFront.png"), kPictureSize, [](QPainter &p, qreal s) {
                    p.translate(-kPictureAt);
                    drawMousePicture(p, s);
                }});
    for (int b = 0; b < ButtonCount; ++b) {
        const Highlight h = highlight(b);
        // A highlight that cut its button or its glow would not sit on the button as drawn.
        const QRectF image(h.at, h.size);
        const QRectF needed = buttonShape(b).boundingRect().adjusted(-kPad, -kPad, kPad, kPad)
                                  .united(leader(b).boundingRect());
        if (!image.contains(needed))
            qFatal("highlight %d: image %s does not hold its button %s", b,
                   qPrintable(QString("%1,%2 %3x%4").arg(image.x()).arg(image.y())
                                  .arg(image.width()).arg(image.height())),
                   qPrintable(QString("%1,%2 %3x%4").arg(needed.x()).arg(needed.y())
                                  .arg(needed.width()).arg(needed.height())));
        for (bool selected : {false, true}) {
            out.append({dir + QStringLiteral("Mouse%1%2.png").arg(b).arg(selected ? "S" : ""),
                        h.size.toSize(), [b, selected](QPainter &p, qreal) {
                            p.translate(-highlight(b).at);
                            drawHighlight(p, b, selected);
                        }});
        }
    }
}

} // namespace art
