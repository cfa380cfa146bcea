.pragma library

// Button assignments: four small codes per button, the first naming the function class. The
// pages keep them as numbers and trade them as 8-digit hexadecimal texts ("0000f000"); these are
// the conversions between the two, the display text of an assignment, and the capture of a key
// combination. Texts shown to the user come from the page's language list, so the tables hold
// indexes into that list, never texts.

var MouseButton = 0x00
var Fire = 0x01
var Combination = 0x02
var Media = 0x03
var Macro = 0x04
var Dpi = 0x05
var System = 0x06
var Shortcut = 0x07
var Gun = 0x08

var leftClick = 0xF0
var firstModifier = 0xE0
var lastModifier = 0xE7
var maxComboKeys = 2
var defaultRate = 10

// { text: language index, code: the four codes as hex }
var mouseItems = [
    { text: 2, code: "0000F000" },      // left
    { text: 3, code: "0000F200" },      // middle
    { text: 4, code: "0000F100" },      // right
    { text: 5, code: "0000F400" },      // forward
    { text: 6, code: "0000F300" },      // back
    { text: 7, code: "00f01e02" }       // double fire
]

// Consumer usages, low byte first: media player, next, previous, stop, mute, play/pause,
// volume up, volume down.
var mediaItems = [
    { text: 27, code: "03008301" },
    { text: 28, code: "0300b500" },
    { text: 29, code: "0300b600" },
    { text: 30, code: "0300b700" },
    { text: 31, code: "0300e200" },
    { text: 32, code: "0300cd00" },
    { text: 33, code: "0300e900" },
    { text: 34, code: "0300ea00" }
]
var mediaCells = 9

// Browser, home and search are consumer usages; the window functions are key strokes (LAlt with
// Space then X or N, LWin with D or R).
var systemItems = [
    { text: 35, code: "06009401" },
    { text: 36, code: "06002302" },
    { text: 37, code: "06002102" },
    { text: 38, code: "06042c1b" },
    { text: 39, code: "06042c11" },
    { text: 40, code: "0600e307" },
    { text: 41, code: "0600e315" }
]
var systemCells = 9

// LCtrl with N, X, C, V, S, P, F, Y, Z, A.
var shortcutItems = [
    { text: 42, code: "0700e011" },
    { text: 43, code: "0700e01b" },
    { text: 44, code: "0700e006" },
    { text: 45, code: "0700e019" },
    { text: 46, code: "0700e016" },
    { text: 47, code: "0700e013" },
    { text: 48, code: "0700e009" },
    { text: 49, code: "0700e01c" },
    { text: 50, code: "0700e01d" },
    { text: 51, code: "0700e004" }
]
var shortcutCells = 12

var dpiItems = [
    { text: 22, code: "05000100" },     // DPI+
    { text: 23, code: "05000200" },     // DPI-
    { text: 24, code: "05000300" },     // DPI loop
    { text: 56, code: "05000400" }      // sniper
]

var gunItems = [
    { text: 53, code: "08000100" },
    { text: 54, code: "08000200" },
    { text: 55, code: "08000300" }
]

// The matrix a button list starts from before the profile is read.
var builtInMatrix = [
    [0x00, 0x00, 0xF0, 0x00], [0x00, 0x00, 0xF1, 0x00], [0x00, 0x00, 0xF2, 0x00],
    [0x00, 0x00, 0xF4, 0x00], [0x00, 0x00, 0xF3, 0x00], [0x05, 0x00, 0x01, 0x00],
    [0x05, 0x00, 0x02, 0x00], [0x00, 0xF0, 0x1E, 0x02],
    [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0],
    [0xFF, 0x00, 0x01, 0x00], [0xFF, 0x00, 0x02, 0x00]
]

// "0000f000" → [0x00, 0x00, 0xF0, 0x00]: two digits per code, in order; a pair that is not
// hexadecimal gives 0.
function splitCode(hex) {
    const text = String(hex)
    const codes = []
    for (let i = 0; i < 4; ++i) {
        const n = parseInt(text.substr(2 * i, 2), 16)
        codes.push(isNaN(n) ? 0 : n)
    }
    return codes
}

function joinCode(codes) {
    return codes.map(function (c) {
        return ((Number(c) & 0xFF) + 0x100).toString(16).slice(1)
    }).join("")
}

// Four codes from a stored list of texts; missing values count as 0. An absent list (empty)
// gives the fallback, so a profile without the key keeps a sensible assignment.
function toCodes(stored, fallback) {
    const list = stored ? Array.prototype.slice.call(stored) : []
    if (list.length === 0)
        return fallback.slice()
    const codes = []
    for (let i = 0; i < 4; ++i) {
        const n = parseInt(list[i], 10)
        codes.push(isNaN(n) ? 0 : n & 0xFF)
    }
    return codes
}

// The item of a grid whose code pair (third and fourth code) matches; -1 when none does.
function itemOfPair(items, code2, code3) {
    for (let i = 0; i < items.length; ++i) {
        const c = splitCode(items[i].code)
        if (c[2] === code2 && c[3] === code3)
            return i
    }
    return -1
}

function itemText(items, index, lang) {
    return index >= 0 && index < items.length ? String(lang[items[index].text]) : ""
}

// The cell texts of a grid: the items' texts, then empty cells up to cellCount.
function cellTexts(items, cellCount, lang) {
    const texts = []
    for (let i = 0; i < cellCount; ++i)
        texts.push(itemText(items, i, lang))
    return texts
}

function isModifier(code) {
    return code >= firstModifier && code <= lastModifier
}

function modifierBit(code) {
    return isModifier(code) ? 1 << (code - firstModifier) : 0
}

// The display text of an assignment. lang is the page's language list, keyLabel(code) gives a
// key's label and macroName(slot) the name stored for a macro slot.
function keyCodeToString(code0, code1, code2, code3, lang, keyLabel, macroName) {
    switch (code0) {
    case MouseButton:
        switch (code2) {
        case 0xF0: return String(lang[2])
        case 0xF2: return String(lang[3])
        case 0xF1: return String(lang[4])
        case 0xF4: return String(lang[5])
        case 0xF3: return String(lang[6])
        default: return String(lang[7])
        }
    case Fire:
        return keyLabel(code1)
    case Combination: {
        const parts = []
        for (let bit = 0; bit < 8; ++bit) {
            if (code1 & (1 << bit))
                parts.push(keyLabel(firstModifier + bit))
        }
        if (code2 !== 0)
            parts.push(keyLabel(code2))
        if (code3 !== 0)
            parts.push(keyLabel(code3))
        return parts.join("+")
    }
    case Media:
        return itemText(mediaItems, itemOfPair(mediaItems, code2, code3), lang)
    case Macro: {
        const name = macroName(code2)
        return name === undefined || name === null ? "" : String(name)
    }
    case Dpi:
        return code2 >= 1 && code2 <= dpiItems.length ? String(lang[dpiItems[code2 - 1].text]) : ""
    case System:
        return itemText(systemItems, itemOfPair(systemItems, code2, code3), lang)
    case Shortcut:
        return itemText(shortcutItems, itemOfPair(shortcutItems, code2, code3), lang)
    case Gun:
        return code2 >= 1 && code2 <= gunItems.length ? String(lang[gunItems[code2 - 1].text]) : ""
    default:
        return ""
    }
}

// Key combination capture. Each captured press is appended to the text; modifiers set their bit,
// other keys are taken while fewer than two have been; a key without a label is not offered.
function comboStart() {
    return { text: "", bits: 0, keys: [] }
}

function comboAdd(combo, usbCode, label) {
    if (label === "")
        return combo
    const next = {
        text: combo.text === "" ? label : combo.text + " + " + label,
        bits: combo.bits,
        keys: combo.keys.slice()
    }
    if (isModifier(usbCode))
        next.bits |= modifierBit(usbCode)
    else if (next.keys.length < maxComboKeys)
        next.keys.push(usbCode)
    return next
}

// The four codes a finished capture stands for; null when nothing was captured.
function comboCodes(combo) {
    if (combo.text === "")
        return null
    return [Combination, combo.bits, combo.keys.length > 0 ? combo.keys[0] : 0,
            combo.keys.length > 1 ? combo.keys[1] : 0]
}

// The fire rate slider: knob position x stands for x + 1 ms.
function rateText(x) {
    return (Math.round(x) + 1) + "ms"
}

function ratePosition(rate) {
    return rate - 1
}

// The rate a rate text stands for: the text without its unit ("10ms", "25MS").
function rateOfText(text) {
    const n = parseInt(String(text).slice(0, -2), 10)
    return isNaN(n) ? defaultRate : n
}

// Fire times from the times box: a whole number 0 … 255, 0 meaning endless.
function timesOfText(text) {
    const n = parseInt(text, 10)
    return isNaN(n) ? 0 : Math.max(0, Math.min(255, n))
}

// True when the entry at selected is the only left click, so it must keep it. entries holds the
// four codes of each button.
function isLastLeftClick(entries, selected) {
    let count = 0
    let only = -1
    for (let i = 0; i < entries.length; ++i) {
        if (entries[i][0] === MouseButton && entries[i][2] === leftClick) {
            ++count
            only = i
        }
    }
    return count === 1 && only === selected
}

// The 64 values of the matrix, entry by entry.
function matrixValues(entries) {
    const values = []
    for (let i = 0; i < entries.length; ++i)
        values.push(entries[i][0], entries[i][1], entries[i][2], entries[i][3])
    return values
}

// The three fire periods sent beside the matrix: the period of the gun in each slot, or 0 when
// the slot or its gun is not there.
function gunPeriods(periodOf, slots) {
    return slots.map(function (slot) {
        const n = Math.floor(Number(periodOf(slot)))
        return isNaN(n) ? 0 : n
    })
}
