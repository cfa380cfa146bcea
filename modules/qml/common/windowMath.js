.pragma library

// Arithmetic of the main window: placing and dragging boxes, the busy lock, the font choice.

function clamp(value, low, high) {
    return Math.max(low, Math.min(high, value))
}

// Where a box of the given size stands when centred in the window.
function centred(outer, inner) {
    return Math.floor((outer - inner) / 2)
}

// A box dragged to `wanted` stays wholly inside the window.
function clampBox(wantedX, wantedY, boxWidth, boxHeight, windowWidth, windowHeight) {
    return {
        x: clamp(wantedX, 0, windowWidth - boxWidth),
        y: clamp(wantedY, 0, windowHeight - boxHeight)
    }
}

// How long a busy lock of `interval` ms holds; 0 (also for nonsense) unlocks at once.
function lockDuration(interval) {
    const ms = Number(interval)
    return isFinite(ms) && ms > 0 ? Math.round(ms) : 0
}

// The first of `wanted` that is installed, else the last resort.
function pickFont(wanted, installed) {
    for (let i = 0; i < wanted.length; ++i) {
        if (installed.indexOf(wanted[i]) >= 0)
            return wanted[i]
    }
    return "sans-serif"
}

// A stored value as a whole number; text that is no number gives the fallback.
function toInt(value, fallback) {
    if (value === undefined || value === null || value === "")
        return fallback
    const n = Number(value)
    return isFinite(n) ? Math.round(n) : fallback
}

// A stored flag: true, "true" (any case) or a non-zero number.
function toBool(value) {
    if (value === true)
        return true
    const text = String(value).toLowerCase()
    return text === "true" || (text !== "" && isFinite(Number(text)) && Number(text) !== 0)
}
