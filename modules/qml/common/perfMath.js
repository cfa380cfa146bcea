.pragma library
.import "sliderMath.js" as SliderMath

// Conversions of the performance pages: DPI stage sliders, the pointer-speed sliders of the system
// page and the report rate. Sliders report the knob's left edge; these turn it into values.

var dpiSliderWidth = 176
var pointerSliderWidth = 352

// Knob positions at which the pointer-speed index steps up, one per index 0 … 10.
var speedThresholds = [4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338]

var reportRateValues = [8, 4, 2, 1]

// Column offset (from the block's top, before the column is turned upright), slider spacing and
// label spacing of the DPI sliders for 1 … 8 active stages; the offsets keep the column centred.
// A single stage has no spacing to speak of.
var stageSpreads = [
    { column: 128, sliders: 0, labels: 0 },
    { column: 109, sliders: 33, labels: 10 },
    { column: 90, sliders: 33, labels: 12 },
    { column: 69, sliders: 33, labels: 14 },
    { column: 50, sliders: 33, labels: 14 },
    { column: 46, sliders: 27, labels: 10 },
    { column: 38, sliders: 24, labels: 8 },
    { column: 30, sliders: 22, labels: 4 }
]

function stageSpread(count) {
    return stageSpreads[Math.max(1, Math.min(stageSpreads.length, count)) - 1]
}

// A stored text as a whole number, or fallback when it is none (a missing key reads as empty).
function whole(text, fallback) {
    const n = parseInt(text, 10)
    return isNaN(n) ? fallback : n
}

// The DPI a knob position stands for, cut down to a multiple of dpiBase. The knob's ends give
// minDPI and maxDPI (each cut to dpiBase).
function dpiForPosition(x, minDPI, maxDPI, dpiBase) {
    const lowest = SliderMath.minPos()
    const span = SliderMath.travel(dpiSliderWidth)
    const p = SliderMath.clamp(x, dpiSliderWidth)
    const base = dpiBase > 0 ? dpiBase : 1
    const value = (p - lowest) * (maxDPI - minDPI) / span + minDPI
    return Math.floor(value / base) * base
}

// Where the slider's ratio puts a DPI value, 0 … 1.
function dpiRatio(value, minDPI, maxDPI) {
    if (!(maxDPI > minDPI))
        return 0
    return Math.max(0, Math.min(1, (value - minDPI) / (maxDPI - minDPI)))
}

// The knob position a stored DPI value is placed at.
function dpiPosition(value, minDPI, maxDPI) {
    return SliderMath.ratioToPos(dpiSliderWidth, dpiRatio(value, minDPI, maxDPI))
}

// Pointer-speed index 0 … 10 of a knob position on the system page's sliders.
function speedIndex(position) {
    const i = speedThresholds.findIndex(function (limit) { return position < limit })
    return i < 0 ? 0 : i
}

// The report-rate value sent for a list index; anything unknown is sent as the fastest rate.
function reportRateValue(index) {
    const i = whole(index, -1)
    return i >= 0 && i < reportRateValues.length ? reportRateValues[i] : 1
}

// Wheel lines per notch as the lines box settles: 1 … 100, anything else (empty, 0) is 1.
var oneScreen = 1000
function wheelLines(text) {
    const n = whole(text, 1)
    return n < 1 ? 1 : Math.min(n, 100)
}
