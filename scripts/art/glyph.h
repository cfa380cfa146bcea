#pragma once

#include <QColor>
#include <QPen>

// The light ink of the small row and button icons (macro actions, application rules), drawn on
// black or orange.
namespace art::glyph {

inline const QColor kInk(0xea, 0xea, 0xea);

inline QPen ink(qreal width = 1.2)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace art::glyph
