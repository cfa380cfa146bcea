.pragma library
.import "keyCodes.js" as KeyCodes

// A macro as the editor keeps it and as the mouse receives it.
//
// An action is {type, info}: type 0 a delay of info milliseconds, 1/2 a key press/release, 3/4 a
// mouse-button press/release, info then the key's label. The store keeps each action as the text
// "type,info" and appends the repeat count to the list.
//
// The mouse gets a byte list: the repeat count (high byte first), then one record per key or button
// action after the leading delays: a delay byte and the key code. The delay byte tells how long to
// wait before the next action, in 10 ms ticks (bit 7 set for a release); a wait of 127 ticks or
// more is written as 0 followed by an extended delay (0, unit, value high, value low). The list
// ends with 0, 0. The mouse keeps a macro in a block of blockSize bytes.
//
// API (pure functions):
//   fromStored(list) / toStored(actions, repeat)   the store's form <-> {actions, repeat}
//   actionType(isDown, code)                       type of a captured key or button event
//   roundDelay(text)                               a typed delay as stored: whole 10 ms, or ""
//   encodedSize(actions)                           length of encode()'s list
//   fits(actions)                                  whether the list fits the mouse's block
//   encode(actions, repeat, labels, codes)         the byte list
//   encodeForMouse(actions, repeat, labels, codes) encode() of the longest leading part that fits

var delay = 0
var keyPress = 1
var keyRelease = 2
var mousePress = 3
var mouseRelease = 4

var blockSize = 128
// Recording and inserting stop once the list is this long: a last record still fits.
var recordLimit = 126
var maxDelayMs = 65530
var maxRepeat = 65535

// Ticks below 127 fit the delay byte itself; longer waits step in the coarsest unit that keeps the
// value below 60000. The longest wait the units carry is 599999 ticks (about 100 minutes): a longer
// one is cut to it, as its value would not fit two bytes.
var shortTicks = 127
var longestTicks = 599999
var delayUnits = [
    { unit: 1, below: 100000, step: 2 },
    { unit: 2, below: 300000, step: 5 },
    { unit: 3, below: 600000, step: 10 }
]

function isRelease(type) {
    return type === keyRelease || type === mouseRelease
}

function actionType(isDown, code) {
    const mouse = Number(code) >= KeyCodes.mouseLeft
    if (isDown)
        return mouse ? mousePress : keyPress
    return mouse ? mouseRelease : keyRelease
}

// The stored text "1,A": the type is the first character, the info everything after the comma
// (which may itself hold a comma: the label of the comma key).
function fromStored(list) {
    const items = list ? Array.from(list, String) : []
    const repeat = items.length > 0 ? items.pop() : "1"
    const actions = items.map(text => ({ type: Number(text.charAt(0)) || 0, info: text.substring(2) }))
    return { actions: actions, repeat: repeat }
}

function toStored(actions) {
    return actions.map(a => a.type + "," + a.info)
}

function wholeNumber(value, low, high) {
    const n = Math.floor(Number(value))
    return isFinite(n) ? Math.max(low, Math.min(high, n)) : low
}

// Delays are kept in whole 10 ms ticks, so that what is shown is what the mouse waits.
function roundDelay(text) {
    const trimmed = String(text).trim()
    if (!/^\d+$/.test(trimmed))
        return ""
    return String(Math.min(maxDelayMs, Math.round(Number(trimmed) / 10) * 10))
}

// The key and button actions after the leading delays, each with the ticks to the next one (the
// last with none); null when the mouse gets no records at all.
function records(actions) {
    let first = 0
    while (first < actions.length && Number(actions[first].type) === delay)
        ++first
    if (first >= actions.length - 1)
        return null
    const out = []
    let waitMs = 0
    for (let i = first; i < actions.length; ++i) {
        const a = actions[i]
        if (Number(a.type) === delay) {
            waitMs += Number(a.info) || 0
            continue
        }
        if (out.length > 0)
            out[out.length - 1].ticks = Math.round(waitMs / 10)
        out.push({ type: Number(a.type), info: String(a.info), ticks: -1 })
        waitMs = 0
    }
    return out
}

function extendedDelay(ticks) {
    const t = Math.min(ticks, longestTicks)
    const u = delayUnits.find(d => t < d.below)
    const value = Math.floor(t / u.step)
    return [0, u.unit, (value >> 8) & 0xFF, value & 0xFF]
}

function recordSize(ticks) {
    return ticks >= shortTicks ? 6 : 2
}

function encodedSize(actions) {
    const recs = records(actions)
    if (recs === null)
        return 2
    return recs.reduce((size, r) => size + recordSize(r.ticks), 2) + 2
}

function fits(actions) {
    return encodedSize(actions) <= blockSize
}

function encode(actions, repeat, labels, codes) {
    const n = wholeNumber(repeat, 0, maxRepeat)
    const bytes = [(n >> 8) & 0xFF, n & 0xFF]
    const recs = records(actions)
    if (recs === null)
        return bytes
    for (const r of recs) {
        const release = isRelease(r.type) ? 0x80 : 0
        const code = KeyCodes.strTokeycode(labels, codes, r.info) & 0xFF
        if (r.ticks >= shortTicks)
            bytes.push(release, code, ...extendedDelay(r.ticks))
        else
            bytes.push(Math.max(1, r.ticks) | release, code)
    }
    bytes.push(0, 0)
    return bytes
}

// A list from elsewhere (an imported file) can be longer than the block: the mouse then gets the
// whole records that fit, never a record cut in two.
function encodeForMouse(actions, repeat, labels, codes) {
    let kept = actions.slice()
    while (!fits(kept))
        kept.pop()
    return encode(kept, repeat, labels, codes)
}
