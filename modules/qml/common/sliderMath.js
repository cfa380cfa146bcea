.pragma library

// Geometry of the shared sliders and drop-downs, apart from the documents so it can be tested on
// its own.
//
// Sliders: a position is the pixel x of the knob's left edge on a track w wide. The 12-pixel knob
// keeps a quarter of its width clear of the left end and a width and a quarter clear of the right
// one, so positions run from 3 to w - 15 and the travel between them is w - 18.
//
// Drop-downs: rows are 24 high and at most 10 show at once; the open part is hidden by moving its
// content up by its full height (offset), and shown at offset 0.

var knobSize = 12
var rowHeight = 24
var visibleRows = 10
var scrollWindow = rowHeight * visibleRows

function minPos() {
    return knobSize / 4
}

function maxPos(w) {
    return w - knobSize - knobSize / 4
}

function clamp(x, w) {
    return Math.min(Math.max(x, minPos()), maxPos(w))
}

function travel(w) {
    return maxPos(w) - minPos()
}

// Distance between two stops of a slider with `segment` steps (segment + 1 stops).
function step(w, segment) {
    return travel(w) / segment
}

// r from 0 to 1. The +4 (one more than the left end) is what stored values were placed with, so
// pages that convert positions back to values depend on it; the right end is still clamped.
function ratioToPos(w, r) {
    return clamp(Math.floor(travel(w) * r) + 4, w)
}

// Indexes may come as texts from the store; anything that is not a number is the first stop.
function clampIndex(i, segment) {
    const n = Math.round(Number(i))
    return isNaN(n) ? 0 : Math.min(Math.max(n, 0), segment)
}

function indexToPos(w, segment, i) {
    return minPos() + step(w, segment) * clampIndex(i, segment)
}

// Where a click at pointer x (track coordinates) sends the knob: centred under the pointer.
function clickPos(pointerX, w) {
    return clamp(pointerX - knobSize / 2, w)
}

// The stop a click at knob position x lands on: the first stop at or beyond x.
function stopOnClick(x, w, segment) {
    return firstStopFrom(x, w, segment, 0)
}

// The stop a released knob settles on. Dragged positions are whole pixels while stops need not
// be, so a knob one pixel past a stop still counts as on it.
function stopOnRelease(x, w, segment) {
    return firstStopFrom(x, w, segment, 1)
}

function firstStopFrom(x, w, segment, slack) {
    const p = step(w, segment)
    for (let i = 0; i < segment; ++i) {
        if (x <= minPos() + p * i + slack)
            return i
    }
    return segment
}

// Height of an open list of `count` rows: at most ten rows show, the rest scroll.
function listHeight(count) {
    return rowHeight * Math.min(Math.max(count, 0), visibleRows)
}

// Offset that hides `rows` rows above the clipped area.
function closedOffset(rows) {
    return rowHeight * Math.max(rows, 0)
}

function gridRows(count, columns) {
    return Math.ceil(Math.max(count, 0) / columns)
}

// Longer lists open faster. From 18 items on the formula reaches zero; it never goes below, since
// an animation cannot take a negative time (it would keep its old duration and warn).
function animationTime(count) {
    return Math.max(180 - 10 * count, 0)
}

// Scroll bar of a list of `count` rows: the visible share and position of the list, scaled to the
// 240-pixel window. Only lists longer than the window have one.
function hasScrollBar(count) {
    return count > visibleRows
}

function scrollBarSize(count) {
    return hasScrollBar(count) ? scrollWindow * visibleRows / count : scrollWindow
}

function scrollBarPos(offset, count) {
    return count > 0 ? offset / (rowHeight * count) * scrollWindow : 0
}

// The list offset for a dragged bar: the bar stays inside the window (never above the top, and
// its lower end never below the window's).
function offsetForBar(barPos, count) {
    const top = Math.min(Math.max(barPos, 0), scrollWindow - scrollBarSize(count))
    return top / scrollWindow * rowHeight * count
}
