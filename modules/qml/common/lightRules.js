.pragma library

// The lighting page's rules: which effects a model offers, which step controls an effect has, which
// colour squares are offered, and when colours can be edited. Effects are counted as the page's
// list counts them, which is also the number stored and sent.

var speedStops = 5
var breathLoop = 4          // "Breath Loop" on a model without colourful lighting

// Indexes into the "lightControl" texts, in list order.
function effectTexts(isColorful, is55328) {
    let texts = [1, 2, 3, 4]
    if (isColorful)
        texts = texts.concat([8, 9, 10, 11, 12, 13, 14])
    if (is55328)
        texts.push(15)
    return texts
}

// {speed, brightness}: the step controls an effect shows; {resetSpeed, resetBrightness}: the step
// an effect choice puts them on, or -1 to leave it.
function effectControls(effect, is55328) {
    const row = function (speed, brightness, resetSpeed, resetBrightness) {
        return { speed: speed, brightness: brightness,
                 resetSpeed: resetSpeed, resetBrightness: resetBrightness }
    }
    switch (Number(effect)) {
    case 0: return row(false, true, -1, 4)
    case 1:
    case 2: return row(true, false, 0, -1)
    case 3: return row(false, false, -1, 0)
    case 4: return is55328 ? row(true, false, 0, -1) : row(false, true, -1, 4)
    case 5: return row(true, true, 0, 4)
    case 6: return row(false, false, 0, 4)
    case 7: return row(false, true, -1, 4)
    case 8:
    case 9:
    case 10: return row(true, true, 0, 4)
    default: return row(false, false, -1, -1)
    }
}

// Block height for the controls shown.
function blockHeight(controls) {
    const shown = (controls.speed ? 1 : 0) + (controls.brightness ? 1 : 0)
    return [176, 224, 264][shown]
}

function colorsEditable(effect) {
    return [0, 1, 4, 9, 10].indexOf(Number(effect)) >= 0
}

// Whether colour square k (0 … 7) is offered: one per DPI stage, all eight with colourful
// lighting; the 55328 variant offers seven, and only for its breath loop, besides the first.
function squareOffered(k, effect, dpiCount, isColorful, is55328) {
    if (k === 0)
        return dpiCount > 0 || isColorful
    if (is55328)
        return k < 7 && Number(effect) === breathLoop
    return dpiCount > k || isColorful
}

function stepText(step) {
    return Math.max(0, Math.min(speedStops - 1, step)) * 25 + "%"
}

// The 24 numbers of the eight colours as stored and sent; the 55328 variant keeps an eighth colour
// only for its breath loop.
function colorsToSave(colors, effect, is55328) {
    const out = []
    for (let k = 0; k < 24; ++k)
        out.push(k < colors.length ? Number(colors[k]) : 0)
    if (is55328 && Number(effect) !== breathLoop)
        out.splice(21, 3, 0, 0, 0)
    return out
}
