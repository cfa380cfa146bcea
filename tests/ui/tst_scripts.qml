import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/common/keyCodes.js" as KeyCodes
import "qrc:/modules/qml/common/keyAssign.js" as KeyAssign
import "qrc:/modules/qml/common/macroCodec.js" as MacroCodec
import "qrc:/modules/qml/common/perfMath.js" as PerfMath
import "qrc:/modules/qml/common/colorMath.js" as ColorMath
import "qrc:/modules/qml/common/lightRules.js" as LightRules
import "qrc:/modules/qml/common/sliderMath.js" as SliderMath
import "qrc:/modules/qml/common/numberInput.js" as NumberInput

// The pages' script libraries on their own, a table per library: worked examples and the ends of
// every range, against values known apart from the code (USB usages, protocol bytes, pixels).
TestCase {
    id: testCase

    readonly property var codes: KeyCodes.codes()
    readonly property var labels: KeyCodes.defaultLabels()
    // The page's language list stands in as "L<index>", so a wrong index shows at once.
    readonly property var lang: Array.from({ length: 60 }, (v, i) => "L" + i)

    name: "Scripts"
    when: windowShown

    Component { id: tableType; KeyCodeString {} }

    function init() { failOnWarning(/qml/) }

    function label(code) { return KeyCodes.keycodeTostr(labels, codes, code) }
    function text(c) {
        return KeyAssign.keyCodeToString(c[0], c[1], c[2], c[3], lang, label, slot => undefined)
    }
    function combo(keys) {
        let c = KeyAssign.comboStart()
        for (const key of keys)
            c = KeyAssign.comboAdd(c, key, label(key))
        return [c.text, KeyAssign.comboCodes(c)]
    }
    // The actions of a macro written as the store keeps it.
    function acts(stored) { return MacroCodec.fromStored(stored.concat(["1"])).actions }
    // n presses and releases of A, gapMs apart.
    function keys(n, gapMs) {
        return acts(Array.from({ length: 2 * n - 1 }, (_, i) => i % 2 ? "0," + gapMs : i % 4 ? "2,A" : "1,A"))
    }
    function encode(actions) { return MacroCodec.encode(actions, 1, labels, codes) }

    // The labels at the ends of every run of USB usages, and codes arriving as the store's texts.
    function test_keyCodes_data() {
        const toCode = [
            ["A", 0x04], ["Z", 0x1D], ["1", 0x1E], ["0", 0x27], ["Enter", 0x28], ["\\", 0x31],
            ["Caps", 0x39], ["F12", 0x45], ["\u25BA", 0x4F], ["\u25B2", 0x52], ["KP0", 0x62],
            ["KP=", 0x67], ["F13", 0x68], ["F24", 0x73], ["Keypad", 0x85], ["Intl1", 0x87],
            ["Intl5", 0x8B], ["Lang2", 0x91], ["LCtrl", 0xE0], ["RWin", 0xE7], ["MS-L", 0xF0],
            ["MS-B5", 0xF4], ["a", 0], ["", 0], ["F25", 0]
        ].map(([l, code]) => ({ tag: l, got: KeyCodes.strTokeycode(labels, codes, l), want: code }))
        const toLabel = [
            [0x32, "\\"], [0x2C, "Space"], [0xF2, "MS-M"], [0x74, ""], [0x86, ""], [0x00, ""],
            ["49", "\\"], ["0x85", "Keypad"], ["", ""], [undefined, ""]
        ].map(([code, l]) => ({ tag: String(code), got: label(code), want: l }))
        return toCode.concat(toLabel)
    }
    function test_keyCodes(data) { compare(data.got, data.want) }

    // Every label leads back to its own code, except the second backslash, which the first wins;
    // no code stands twice, and the tables handed out are copies.
    function test_keyCodesRoundTrip() {
        compare(new Set(codes).size, labels.length)
        for (const code of codes)
            compare(KeyCodes.strTokeycode(labels, codes, label(code)), code === 0x32 ? 0x31 : code, code)
        const mine = KeyCodes.defaultLabels()
        mine[0] = "changed"
        compare(KeyCodes.defaultLabels()[0], "A")
    }

    // The shipped English list is the default table (tst_language_files holds the others to it),
    // and the shared table's look-ups follow the list that replaces it.
    function test_languageList() {
        mouseSim.useModel({ family: "553" })
        compare(Array.from(ui_View.getLangStrings("keyCode", "English")), labels)
        const table = createTemporaryObject(tableType, testCase, { keyCodeStr: ["x", "y"] })
        compare([table.strTokeycode("y"), table.keycodeTostr(0x04)], [0x05, "x"])
    }

    // Texts of assignments no table item covers; the page drives one item of every table (tst_keys).
    function test_keyAssign_data() {
        const left = [0, 0, 0xF0, 0]
        const right = [0, 0, 0xF1, 0]
        const stored = list => KeyAssign.toCodes(list, right)
        const onlyLeft = KeyAssign.isLastLeftClick
        return [
            { tag: "unknown button code", got: text([0, 0, 0x05, 0]), want: "L7" },
            { tag: "fire backslash", got: text([1, 0x31, 4, 3]), want: "\\" },
            { tag: "all modifiers", got: text([2, 0xFF, 0, 0]),
              want: "LCtrl+LShift+LAlt+LWin+RCtrl+RShift+RAlt+RWin" },
            { tag: "keys only", got: text([2, 0, 0, 0x29]), want: "Esc" },
            { tag: "media without item", got: text([3, 0, 0x83, 0x02]), want: "" },
            { tag: "macro without a name", got: text([4, 0, 3, 0]), want: "" },
            { tag: "DPI 5", got: text([5, 0, 5, 0]), want: "" },
            { tag: "system, modifier byte ignored", got: text([6, 0x10, 0x2C, 0x1B]), want: "L38" },
            { tag: "gun 4", got: text([8, 0, 4, 0]), want: "" },
            { tag: "unknown class", got: text([9, 0, 1, 0]), want: "" },
            { tag: "split bad text", got: KeyAssign.splitCode("03zz"), want: [3, 0, 0, 0] },
            { tag: "join wide", got: KeyAssign.joinCode([0x104, 0, 0xAB, 1]), want: "0400ab01" },
            { tag: "combo modifier after keys", got: combo([0x04, 0xE6, 0xE7]),
              want: ["A + RAlt + RWin", [2, 0xC0, 4, 0]] },
            { tag: "combo modifier only", got: combo([0xE3]), want: ["LWin", [2, 0x08, 0, 0]] },
            { tag: "combo unlabelled key", got: combo([0x01, 0x04]), want: ["A", [2, 0, 0x04, 0]] },
            { tag: "combo nothing", got: combo([]), want: ["", null] },
            { tag: "stored texts", got: stored(["1", "4", "10", "0"]), want: [1, 4, 10, 0] },
            { tag: "stored absent", got: stored([]), want: right },
            { tag: "stored undefined", got: stored(undefined), want: right },
            { tag: "stored not numbers", got: stored(["x", "", "240", "2"]), want: [0, 0, 240, 2] },
            { tag: "stored wide", got: stored(["255", "256", "-1", "1"]), want: [255, 0, 255, 1] },
            { tag: "only left click", got: onlyLeft([left, right], 0), want: true },
            { tag: "two left clicks", got: onlyLeft([left, right, left], 0), want: false },
            { tag: "fire is no left click", got: onlyLeft([right, [1, 0xF0, 10, 0]], 1), want: false },
            { tag: "rate empty", got: KeyAssign.rateOfText(""), want: 10 },
            { tag: "times", got: ["12", "", "999"].map(KeyAssign.timesOfText), want: [12, 0, 255] },
            { tag: "gun periods, slot 3 absent", want: [12, 9, 0],
              got: KeyAssign.gunPeriods(s => ({ 1: "12", 2: 9.7 })[s], [1, 2, 3]) }
        ]
    }
    function test_keyAssign(data) { compare(data.got, data.want) }

    // The bytes for the mouse (repeat high byte first, records of delay and key, 0 0 at the end) and
    // their size; a wait of 127 ticks or more takes the long form, in the units' ranges. Actions
    // are written as the store keeps them.
    function test_macroEncode_data() {
        const A = 0x04
        const row = (tag, repeat, stored, bytes) => ({ tag, repeat, stored: stored.split(" "), bytes })
        // A released, then B pressed after `ticks`
        const longWait = (ticks, delay) => row(ticks + " ticks", 1, "2,A 0," + ticks * 10 + " 1,B",
                                                [0, 1, ...delay, 0x01, 0x05, 0, 0])
        return [
            row("worked example", 1, "1,A 0,50 2,A", [0, 1, 5, A, 0x81, A, 0, 0]),
            row("leading delays skipped", 2, "0,300 0,20 1,A 2,A", [0, 2, 1, A, 0x81, A, 0, 0]),
            row("one action after delays", 1, "0,50 1,A", [0, 1]),
            row("only delays", 1, "0,50 0,60", [0, 1]),
            row("empty", 7, "", [0, 7]),
            row("trailing delay", 1, "1,A 0,50", [0, 1, 1, A, 0, 0]),
            row("delays between add up", 1, "1,A 0,500 0,700 0,60 2,A", [0, 1, 126, A, 0x81, A, 0, 0]),
            row("repeat as text", "300", "1,A 2,A", [1, 0x2C, 1, A, 0x81, A, 0, 0]),
            row("mouse buttons", 1, "3,MS-L 4,MS-L 3,MS-B5", [0, 1, 1, 0xF0, 0x81, 0xF0, 1, 0xF4, 0, 0]),
            row("label not in the table", 1, "1,Hyper 2,\\", [0, 1, 1, 0, 0x81, 0x31, 0, 0]),
            longWait(126, [0x80 | 126, A]),
            longWait(127, [0x80, A, 0, 1, 0x00, 63]),
            longWait(99999, [0x80, A, 0, 1, 0xC3, 0x4F]),
            longWait(100000, [0x80, A, 0, 2, 0x4E, 0x20]),
            longWait(299999, [0x80, A, 0, 2, 0xEA, 0x5F]),
            longWait(300000, [0x80, A, 0, 3, 0x75, 0x30]),
            // longer waits do not fit the value's two bytes: the longest one is sent
            longWait(600000, [0x80, A, 0, 3, 0xEA, 0x5F])
        ]
    }
    function test_macroEncode(data) {
        const actions = acts(data.stored.filter(a => a !== ""))
        const bytes = MacroCodec.encode(actions, data.repeat, labels, codes)
        compare(bytes, data.bytes)
        compare(MacroCodec.encodedSize(actions), bytes.length)
    }

    function test_macroCodec_data() {
        const loaded = MacroCodec.fromStored(["1,A", "0,50", "2,,", "3,MS-L", "12"])
        const tooLong = keys(60, 10).concat(acts(["0,1270", "2,B", "1,C"]))
        const forMouse = actions => MacroCodec.encodeForMouse(actions, 1, labels, codes)
        const round = MacroCodec.roundDelay
        const types = [[true, 0x04], [false, 0xE7], [true, 0xF0], [false, 0xF2]]
        return [
            { tag: "delay multiple of 10", got: round("50"), want: "50" },
            { tag: "delay half rounds up", got: round("55"), want: "60" },
            { tag: "delay below a tick", got: round("4"), want: "0" },
            { tag: "delay top of the input", got: round("65535"), want: "65530" },
            { tag: "delay spaces", got: round(" 120 "), want: "120" },
            { tag: "delay not a number", got: round("5a"), want: "" },
            { tag: "delay negative", got: round("-20"), want: "" },
            { tag: "stored repeat", got: loaded.repeat, want: "12" },
            { tag: "stored actions", got: loaded.actions,
              want: [{ type: 1, info: "A" }, { type: 0, info: "50" }, { type: 2, info: "," },
                     { type: 3, info: "MS-L" }] },
            { tag: "stored again", got: MacroCodec.toStored(loaded.actions),
              want: ["1,A", "0,50", "2,,", "3,MS-L"] },
            { tag: "stored empty", got: MacroCodec.fromStored([]).actions, want: [] },
            { tag: "types", got: types.map(e => MacroCodec.actionType(...e)), want: [1, 2, 3, 4] },
            // an over-long list from a file: whole records up to the block, ended properly
            { tag: "cut for the mouse", got: forMouse(tooLong), want: encode(keys(60, 10)) },
            { tag: "cut size", got: encode(keys(60, 10)).length, want: 124 },
            { tag: "fitting kept", got: forMouse(keys(62, 10)), want: encode(keys(62, 10)) }
        ]
    }
    function test_macroCodec(data) { compare(data.got, data.want) }

    // A stored DPI placed on its slider and read back off the knob is the value itself.
    function test_dpiRoundTrip() {
        for (const v of [200, 500, 1550, 3000, 6000]) {
            const x = PerfMath.dpiPosition(v, 200, 6000)
            verify(x >= 3 && x <= 161, v + " at " + x)
            compare(PerfMath.dpiForPosition(x, 200, 6000, 50), v, v + " at " + x)
        }
        for (const v of [400, 800, 3200, 12000])
            compare(PerfMath.dpiForPosition(PerfMath.dpiPosition(v, 200, 12000), 200, 12000, 100), v, v)
    }

    // Slider positions run 3 … 161 on the DPI slider and 3 … 337 on the pointer-speed one; the
    // colour bar's columns 0 … 183 run red, yellow, green, cyan, blue, magenta and end white.
    function test_perfMath_data() {
        const dpi = (x, min, max, base) => PerfMath.dpiForPosition(x, min, max, base)
        const at = (r, g, b) => ColorMath.positionOf(r, g, b)
        const ratios = [[100, 200, 6000], [9000, 200, 6000], [500, 6000, 6000]]
        const channels = ColorMath.channels
        return [
            { tag: "dpi bottom", got: dpi(3, 200, 6000, 50), want: 200 },
            { tag: "dpi top", got: dpi(161, 200, 6000, 50), want: 6000 },
            { tag: "dpi top cut to base", got: dpi(161, 200, 6030, 50), want: 6000 },
            { tag: "dpi bottom cut to base", got: dpi(3, 230, 6000, 100), want: 200 },
            { tag: "dpi below the track", got: dpi(-40, 200, 6000, 50), want: 200 },
            { tag: "dpi past the track", got: dpi(400, 200, 6000, 50), want: 6000 },
            { tag: "dpi middle", got: dpi(82, 200, 6000, 50), want: 3100 },
            { tag: "dpi no base", got: dpi(161, 200, 6000, 0), want: 6000 },
            { tag: "dpi ratio", got: ratios.map(a => PerfMath.dpiRatio(...a)), want: [0, 1, 0] },
            { tag: "speed steps", got: [3, 4, 36, 37, 155, 304, 305, 337, 338].map(PerfMath.speedIndex),
              want: [0, 1, 1, 2, 5, 9, 10, 10, 0] },
            { tag: "report rates", got: [1, 2, "0", 7, undefined].map(PerfMath.reportRateValue),
              want: [4, 2, 8, 1, 1] },
            { tag: "red", got: ColorMath.colorAt(0), want: [255, 0, 0] },
            { tag: "yellow", got: ColorMath.colorAt(30), want: [255, 255, 0] },
            { tag: "blue", got: ColorMath.colorAt(120), want: [0, 0, 255] },
            { tag: "past the edges", got: ColorMath.colorAt(180), want: [255, 0, 0] },
            { tag: "beyond", got: ColorMath.colorAt(500), want: [255, 255, 255] },
            { tag: "orange placed", got: Math.abs(at(255, 128, 0) - 15) <= 2, want: true },
            { tag: "white placed", got: at(255, 255, 255), want: 183 },
            { tag: "off the edges placed", got: at(10, 20, 30), want: 0 },
            { tag: "texts placed", got: at("0", "0", "255"), want: 121 },
            { tag: "hex", got: [ColorMath.hex(255, 128, 0), ColorMath.hex("7", 300, -1)],
              want: ["#ff8000", "#07ff00"] },
            { tag: "channels", got: [channels("#FF8001"), channels("red")],
              want: [[255, 128, 1], [0, 0, 0]] },
            { tag: "no stage, no square", want: [false, false, false],
              got: [0, 1, 7].map(k => LightRules.squareOffered(k, 0, 0, false, false)) },
            { tag: "damaged colours filled up", got: LightRules.colorsToSave([], 0, false).length, want: 24 },
            // what the controls' own tests do not reach: stored texts, indexes past the end, long
            // lists, and texts that typing cannot produce
            { tag: "index past the end", got: SliderMath.indexToPos(96, 4, 9), want: 81 },
            { tag: "index as text", got: SliderMath.indexToPos(96, 4, "2"), want: 42 },
            { tag: "time of 4", got: SliderMath.animationTime(4), want: 140 },
            { tag: "time of 18", got: SliderMath.animationTime(18), want: 0 },
            { tag: "grid rows of 10", got: SliderMath.gridRows(10, 3), want: 4 },
            { tag: "bar of 12", got: SliderMath.scrollBarSize(12), want: 200 },
            { tag: "no bar for 10", got: SliderMath.hasScrollBar(10), want: false },
            { tag: "bar closed", got: SliderMath.scrollBarPos(480, 20), want: 240 },
            { tag: "settle letters", got: NumberInput.settle("abc", 0, 255), want: "0" },
            { tag: "settle minus", got: NumberInput.settle("-3", 0, 255), want: "0" },
            { tag: "settle 0 below min", got: NumberInput.settle("0", 1, 65535), want: "0" }
        ]
    }
    function test_perfMath(data) { compare(data.got, data.want) }

    // Placing the knob for the colour under it puts it back within a few columns, over the whole
    // bar: both directions agree on the order of the edges.
    function test_barAndPlacingAgree() {
        for (let p = 0; p < 180; ++p) {
            const c = ColorMath.colorAt(p)
            verify(Math.abs(ColorMath.positionOf(c[0], c[1], c[2]) - p) <= 3, p)
        }
    }
}
