.pragma library

// Positions to values on the gun page. The red dot travels 94 pixels down the target (its top
// edge at 89 … 183) for a vertical pull of 0 … 64. The rate slider is 104 long, so its knob runs
// 3 … 89 and position x stands for a fire period of x + 1 ms (4 … 90).

var dotX = 89
var dotTop = 89
var dotTravel = 94
var maxPull = 64

var rateSliderWidth = 104
var minPeriod = 4
var maxPeriod = 90
var maxTimes = 255

// A whole number from a stored or typed text, limited to lo … hi; fallback when it is no number.
function toInt(value, lo, hi, fallback) {
    const n = Math.floor(Number(value))
    if (String(value).trim() === "" || isNaN(n))
        return fallback
    return Math.max(lo, Math.min(hi, n))
}

function clampDot(y) {
    return Math.max(dotTop, Math.min(dotTop + dotTravel, y))
}

function dotYForPull(pull) {
    return dotTravel * toInt(pull, 0, maxPull, 0) / maxPull + dotTop
}

function pullForDotY(y) {
    return Math.floor((clampDot(y) - dotTop) / dotTravel * maxPull)
}

function rateText(x) {
    return (x + 1) + "ms"
}

// The period a rate text stands for ("10ms" → 10); fallback when it holds none.
function periodFromText(text, fallback) {
    return toInt(parseInt(text, 10), minPeriod, maxPeriod, fallback)
}

// The ratio for the slider's setRatioValue that puts its knob on the period's position. The
// slider floors (w − 18) × ratio, so the ratio aims at the middle of the pixel: aiming at its edge
// lands one pixel short for some periods.
function rateRatio(period) {
    const p = toInt(period, minPeriod, maxPeriod, minPeriod)
    return (p - minPeriod - 0.5) / (rateSliderWidth - 18)
}
