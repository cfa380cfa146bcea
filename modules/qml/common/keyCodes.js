.pragma library

// The key table: every key the mouse can be told to press, as USB HID usage IDs of the
// keyboard/keypad page, followed by the program's own codes for the mouse buttons. Labels and codes
// are parallel lists; the labels are the English defaults, which the "keyCode" language list
// replaces at start-up.
//
// API (all functions are pure; nothing here keeps state, so every importer can share this file):
//   codes()                               a fresh copy of the 133 codes
//   defaultLabels()                       a fresh copy of the 133 default labels
//   strTokeycode(labels, codes, str)      code of the first entry labelled str; 0 when none
//   keycodeTostr(labels, codes, keycode)  label of the first entry with that code; "" when none
//   mouseLeft … mouseForward              the mouse-button codes
//
// Codes may arrive as numbers or as the texts the store hands back ("49", "0x31"). Look-ups take
// the first match because two entries share a label: the backslash names both 0x31 and 0x32
// (the key left of Enter on US and on ISO keyboards), and 0x31 is the one a label means.

var mouseLeft = 0xF0
var mouseRight = 0xF1
var mouseMiddle = 0xF2
var mouseBack = 0xF3
var mouseForward = 0xF4

function range(first, last) {
    const out = []
    for (let c = first; c <= last; ++c)
        out.push(c)
    return out
}

function numbered(prefix, first, last) {
    return range(first, last).map(n => prefix + n)
}

var codeTable = [].concat(
    range(0x04, 0x73),            // letters, digits, editing, F1 … F24, keypad
    [0x85], range(0x87, 0x8B),    // keypad comma, international keys
    [0x90, 0x91],                 // language keys
    range(0xE0, 0xE7),            // modifiers
    range(mouseLeft, mouseForward))

var labelTable = [].concat(
    range(0x41, 0x5A).map(c => String.fromCharCode(c)),
    numbered("", 1, 9), ["0"],
    ["Enter", "Esc", "Back", "Tab", "Space", "-", "=", "[", "]", "\\", "\\",
     ";", "'", "`", ",", ".", "/", "Caps"],
    numbered("F", 1, 12),
    ["Prt", "Scr", "Pau", "Ins", "Hom", "Pgu", "Del", "End", "PgD",
     "\u25BA", "\u25C4", "\u25BC", "\u25B2",
     "Num", "KP/", "KP*", "KP-", "KP+", "KPEnter"],
    numbered("KP", 1, 9), ["KP0", "KP.", "Eur2", "App", "Power", "KP="],
    numbered("F", 13, 24),
    ["Keypad"], numbered("Intl", 1, 5), ["Lang1", "Lang2"],
    ["LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin"],
    ["MS-L", "MS-R", "MS-M", "MS-B4", "MS-B5"])

// Copies, so that a page replacing or editing its list cannot change another page's table.
function codes() {
    return codeTable.slice()
}

function defaultLabels() {
    return labelTable.slice()
}

function strTokeycode(labels, codeList, str) {
    const i = labels.indexOf(String(str))
    return i >= 0 && i < codeList.length ? Number(codeList[i]) : 0
}

function keycodeTostr(labels, codeList, keycode) {
    if (keycode === null || keycode === undefined || keycode === "")
        return ""
    const wanted = Number(keycode)
    const i = codeList.findIndex(c => Number(c) === wanted)
    return i >= 0 && i < labels.length ? String(labels[i]) : ""
}
