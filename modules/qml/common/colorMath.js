.pragma library

// The colour bar of the lighting page and the knob that picks a colour on it. A position p counts
// the bar's columns inside its 1-pixel frame, 0 … 183 on the 185-wide bar; the knob's centre
// stands over column p + 1. The bar image is drawn from colorAt, so the colour under the knob is
// the colour set.

var barWidth = 185
var knobWidth = 18
var lastPosition = barWidth - 2

// The bar holds six hue edges; the drawing uses whole columns per edge, the placing the exact
// share, so that a colour placed on an edge lands inside it.
var edgeColumns = Math.floor((barWidth - 2) / 6)
var edgeShare = (barWidth - 2) / 6

function clampByte(value) {
    const n = Math.floor(Number(value))
    return isNaN(n) ? 0 : Math.max(0, Math.min(255, n))
}

function clampPosition(p) {
    return Math.max(0, Math.min(lastPosition, Math.floor(p)))
}

// [red, green, blue] under position p: red, yellow, green, cyan, blue, magenta and back to red;
// the last columns past the six edges are red, and the very last one white.
function colorAt(p) {
    p = clampPosition(p)
    const i = Math.floor(p / edgeColumns)
    const v = Math.floor((p - i * edgeColumns) * 255 / edgeColumns)
    switch (i) {
    case 0: return [255, v, 0]
    case 1: return [255 - v, 255, 0]
    case 2: return [0, 255, v]
    case 3: return [0, 255 - v, 255]
    case 4: return [v, 0, 255]
    case 5: return [255, 0, 255 - v]
    default: return p > lastPosition - 1 ? [255, 255, 255] : [255, 0, 0]
    }
}

// The position at which a colour lies on the bar; a colour on none of the edges goes to the left
// end (the colour itself is kept by the caller, only the knob has nowhere better to stand).
function positionOf(red, green, blue) {
    const r = clampByte(red), g = clampByte(green), b = clampByte(blue)
    const d = edgeShare, u = edgeShare / 256
    let p = 0
    if (r === 255 && g === 255 && b === 255)
        p = lastPosition
    else if (r === 255 && b === 0)
        p = u * g
    else if (r === 0 && b === 255)
        p = 3 * d + u * (255 - g)
    else if (g === 255 && b === 0)
        p = d + u * (255 - r)
    else if (g === 0 && b === 255)
        p = 4 * d + u * r
    else if (r === 0 && g === 255)
        p = 2 * d + u * b
    else if (r === 255 && g === 0)
        p = 5 * d + u * (255 - b)
    return clampPosition(p)
}

// Knob left edge (relative to the bar's parent) for a position, and back; the knob stops at the
// bar's ends.
function knobX(barX, p) {
    return barX + 1 + clampPosition(p) - knobWidth / 2
}

function positionAtKnob(barX, x) {
    return clampPosition(x + knobWidth / 2 - barX - 1)
}

function hex(red, green, blue) {
    return "#" + [red, green, blue].map(function (c) {
        return (clampByte(c) + 0x100).toString(16).slice(1)
    }).join("")
}

// [red, green, blue] of "#rrggbb"; black for anything else.
function channels(text) {
    const m = /^#([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})$/i.exec(String(text))
    return m ? [parseInt(m[1], 16), parseInt(m[2], 16), parseInt(m[3], 16)] : [0, 0, 0]
}
