import QtQuick
import QtTest
import "qrc:/modules/qml/common/keyAssign.js" as KeyAssign
import "qrc:/modules/qml/common/keyCodes.js" as KeyCodes

// The display text of every class and table item, the hex texts, the combination capture and the
// matrix helpers, checked on their own.
TestCase {
    name: "KeyAssign"

    readonly property var labels: KeyCodes.defaultLabels()
    readonly property var codes: KeyCodes.codes()
    // The page's language list stands in as "L<index>", so a wrong index shows at once.
    readonly property var lang: Array.from({ length: 60 }, (v, i) => "L" + i)
    readonly property var macroNames: ({ 2: "Burst", 7: "Reload" })

    function label(code) { return KeyCodes.keycodeTostr(labels, codes, code) }
    function text(c) {
        return KeyAssign.keyCodeToString(c[0], c[1], c[2], c[3], lang, label, slot => macroNames[slot])
    }
    function hex(codes) { return KeyAssign.joinCode(codes) }

    // Every item of the page's tables: its hex text splits into the codes the device layer
    // expects, and those codes are shown with the item's own text.
    function test_tableItems_data() {
        const rows = []
        const tables = { mouse: KeyAssign.mouseItems, media: KeyAssign.mediaItems,
                         system: KeyAssign.systemItems, shortcut: KeyAssign.shortcutItems,
                         dpi: KeyAssign.dpiItems, gun: KeyAssign.gunItems }
        const expected = {
            mouse: [[0, 0, 0xF0, 0], [0, 0, 0xF2, 0], [0, 0, 0xF1, 0], [0, 0, 0xF4, 0],
                    [0, 0, 0xF3, 0], [0, 0xF0, 0x1E, 0x02]],
            media: [[3, 0, 0x83, 0x01], [3, 0, 0xB5, 0], [3, 0, 0xB6, 0], [3, 0, 0xB7, 0],
                    [3, 0, 0xE2, 0], [3, 0, 0xCD, 0], [3, 0, 0xE9, 0], [3, 0, 0xEA, 0]],
            system: [[6, 0, 0x94, 0x01], [6, 0, 0x23, 0x02], [6, 0, 0x21, 0x02], [6, 0x04, 0x2C, 0x1B],
                     [6, 0x04, 0x2C, 0x11], [6, 0, 0xE3, 0x07], [6, 0, 0xE3, 0x15]],
            shortcut: [0x11, 0x1B, 0x06, 0x19, 0x16, 0x13, 0x09, 0x1C, 0x1D, 0x04].map(k => [7, 0, 0xE0, k]),
            dpi: [[5, 0, 1, 0], [5, 0, 2, 0], [5, 0, 3, 0], [5, 0, 4, 0]],
            gun: [[8, 0, 1, 0], [8, 0, 2, 0], [8, 0, 3, 0]]
        }
        const texts = { mouse: [2, 3, 4, 5, 6, 7], media: [27, 28, 29, 30, 31, 32, 33, 34],
                        system: [35, 36, 37, 38, 39, 40, 41],
                        shortcut: [42, 43, 44, 45, 46, 47, 48, 49, 50, 51],
                        dpi: [22, 23, 24, 56], gun: [53, 54, 55] }
        for (const name in tables) {
            compare(tables[name].length, expected[name].length, name)
            tables[name].forEach((item, i) => rows.push({
                tag: name + " " + i, item: item, codes: expected[name][i], text: "L" + texts[name][i] }))
        }
        return rows
    }
    function test_tableItems(data) {
        compare(KeyAssign.splitCode(data.item.code), data.codes)
        compare(hex(data.codes), data.item.code.toLowerCase())
        compare(text(data.codes), data.text)
        compare(data.item.text, Number(data.text.slice(1)))
    }

    function test_text_data() {
        return [
            { tag: "double fire, factory entry 7", codes: [0, 0xF0, 0x1E, 0x02], text: "L7" },
            { tag: "unknown button code", codes: [0, 0, 0x05, 0], text: "L7" },
            { tag: "fire backslash", codes: [1, 0x31, 4, 3], text: "\\" },
            { tag: "fire unknown key", codes: [1, 0x01, 10, 0], text: "" },
            { tag: "combination, all modifiers", codes: [2, 0xFF, 0, 0],
              text: "LCtrl+LShift+LAlt+LWin+RCtrl+RShift+RAlt+RWin" },
            { tag: "combination, keys only", codes: [2, 0, 0, 0x29], text: "Esc" },
            { tag: "media without item", codes: [3, 0, 0x83, 0x02], text: "" },
            { tag: "macro without a name", codes: [4, 0, 3, 0], text: "" },
            { tag: "DPI 0", codes: [5, 0, 0, 0], text: "" },
            { tag: "DPI 5", codes: [5, 0, 5, 0], text: "" },
            { tag: "system, modifier byte not compared", codes: [6, 0x10, 0x2C, 0x1B], text: "L38" },
            { tag: "system without item", codes: [6, 0, 0xE3, 0x08], text: "" },
            { tag: "shortcut without item", codes: [7, 0, 0xE1, 0x04], text: "" },
            { tag: "gun 4", codes: [8, 0, 4, 0], text: "" },
            { tag: "fixed entry", codes: [0xFF, 0, 1, 0], text: "" },
            { tag: "unknown class", codes: [9, 0, 1, 0], text: "" }
        ]
    }
    function test_text(data) {
        compare(text(data.codes), data.text)
    }

    function test_splitBadText() {
        compare(KeyAssign.splitCode("03zz"), [3, 0, 0, 0])
        compare(KeyAssign.joinCode([0x100 + 4, 0, 0xAB, 1]), "0400ab01")
    }

    // Presses arrive one by one; modifiers set bits, at most two other keys are taken.
    function test_combination_data() {
        return [
            { tag: "modifier after the keys", keys: [0x04, 0xE6, 0xE7],
              text: "A + RAlt + RWin", codes: [2, 0xC0, 0x04, 0] },
            { tag: "modifier only", keys: [0xE3], text: "LWin", codes: [2, 0x08, 0, 0] },
            { tag: "key without a label", keys: [0x01, 0x04], text: "A", codes: [2, 0, 0x04, 0] },
            { tag: "nothing", keys: [], text: "", codes: null }
        ]
    }
    function test_combination(data) {
        let combo = KeyAssign.comboStart()
        for (const key of data.keys)
            combo = KeyAssign.comboAdd(combo, key, label(key))
        compare(combo.text, data.text)
        compare(KeyAssign.comboCodes(combo), data.codes)
    }

    function test_storedCodes_data() {
        const fallback = [0, 0, 0xF1, 0]
        return [
            { tag: "texts", stored: ["1", "4", "10", "0"], codes: [1, 4, 10, 0] },
            { tag: "absent", stored: [], codes: fallback },
            { tag: "undefined", stored: undefined, codes: fallback },
            { tag: "short", stored: ["5", "0"], codes: [5, 0, 0, 0] },
            { tag: "not numbers", stored: ["x", "", "240", "2"], codes: [0, 0, 240, 2] },
            { tag: "wide", stored: ["255", "256", "-1", "1"], codes: [255, 0, 255, 1] }
        ].map(row => Object.assign(row, { fallback: fallback }))
    }
    function test_storedCodes(data) {
        compare(KeyAssign.toCodes(data.stored, data.fallback), data.codes)
    }

    function test_lastLeftClick() {
        const left = [0, 0, 0xF0, 0], right = [0, 0, 0xF1, 0]
        verify(KeyAssign.isLastLeftClick([left, right], 0))
        verify(!KeyAssign.isLastLeftClick([left, right], -1))
        verify(!KeyAssign.isLastLeftClick([left, right, left], 0))
        verify(!KeyAssign.isLastLeftClick([right, [1, 0xF0, 10, 0]], 1))
    }

    function test_rateAndTimes() {
        compare(KeyAssign.rateText(KeyAssign.ratePosition(KeyAssign.rateOfText("10ms"))), "10ms")
        compare(KeyAssign.rateOfText(KeyAssign.rateText(79)), 80)
        compare(KeyAssign.rateOfText(""), KeyAssign.defaultRate)
        compare([KeyAssign.timesOfText("12"), KeyAssign.timesOfText(""), KeyAssign.timesOfText("999")],
                [12, 0, 255])
    }

    // A slot or gun the gun page does not offer sends period 0.
    function test_gunPeriods() {
        const periods = { 1: "12", 2: 9.7 }
        compare(KeyAssign.gunPeriods(slot => periods[slot], [1, 2, 3]), [12, 9, 0])
    }
}
