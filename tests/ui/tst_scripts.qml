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
import "qrc:/modules/qml/common/profileList.js" as ProfileList
import "qrc:/modules/qml/common/appRules.js" as AppRules
import "qrc:/modules/qml/common/gunMath.js" as GunMath

// The pages' script libraries on their own, a table per library: worked examples and the ends of
// every range, against values known apart from the code (USB usages, protocol bytes, pixels).
PageCase {
    id: testCase

    readonly property var codes: KeyCodes.codes()
    readonly property var labels: KeyCodes.defaultLabels()
    // The page's language list stands in as "L<index>", so a wrong index shows at once.
    readonly property var lang: Array.from({ length: 60 }, (v, i) => "L" + i)

    name: "Scripts"

    Component { id: tableType; KeyCodeString {} }


    function label(code) { return KeyCodes.keycodeTostr(labels, codes, code) }
    function text(c) { return KeyAssign.keyCodeToString(...c, lang, label, slot => undefined) }
    function combo(keys) {
        const c = keys.reduce((c, key) => KeyAssign.comboAdd(c, key, label(key)), KeyAssign.comboStart())
        return [c.text, KeyAssign.comboCodes(c)]
    }
    // The actions of a macro written as the store keeps it.
    function acts(stored) { return MacroCodec.fromStored(stored.concat(["1"])).actions }
    // n presses and releases of A, gapMs apart.
    function keys(n, gapMs) { return acts(tapsOfA(n, gapMs)) }
    function encode(actions) { return MacroCodec.encode(actions, 1, labels, codes) }

    // A section per library, each row [tag, what the library gives, what it must give].
    function test_library_data() {
        // the labels at the ends of every run of USB usages, and codes arriving as the store's texts
        const toCode = [
            ["A", 0x04], ["Z", 0x1D], ["1", 0x1E], ["0", 0x27], ["Enter", 0x28], ["\\", 0x31],
            ["Caps", 0x39], ["F12", 0x45], ["\u25BA", 0x4F], ["\u25B2", 0x52], ["KP0", 0x62],
            ["KP=", 0x67], ["F13", 0x68], ["F24", 0x73], ["Keypad", 0x85], ["Intl1", 0x87],
            ["Intl5", 0x8B], ["Lang2", 0x91], ["LCtrl", 0xE0], ["RWin", 0xE7], ["MS-L", 0xF0],
            ["MS-B5", 0xF4], ["a", 0], ["", 0], ["F25", 0]
        ].map(([l, code]) => ["code of " + l, KeyCodes.strTokeycode(labels, codes, l), code])
        const toLabel = [
            [0x32, "\\"], [0x2C, "Space"], [0xF2, "MS-M"], [0x74, ""], [0x86, ""], [0x00, ""],
            ["49", "\\"], ["0x85", "Keypad"], ["", ""], [undefined, ""]
        ].map(([code, l]) => ["label of " + code, label(code), l])
        const mine = KeyCodes.defaultLabels()
        mine[0] = "changed"
        mouseSim.useModel({ family: "553" })
        const table = createTemporaryObject(tableType, testCase, { keyCodeStr: ["x", "y"] })
        // every label leads back to its own code, except the second backslash, which the first wins;
        // no code stands twice, and the tables handed out are copies
        const keyCodes = [
            ["labels lead back", codes.map(c => KeyCodes.strTokeycode(labels, codes, label(c))),
             codes.map(c => c === 0x32 ? 0x31 : c)],
            ["no code twice", new Set(codes).size, labels.length],
            ["tables are copies", KeyCodes.defaultLabels()[0], "A"],
            // the shipped English list is the default table (tst_language_files holds the others to
            // it), and the shared table's look-ups follow the list that replaces it
            ["English list", Array.from(ui_View.getLangStrings("keyCode", "English")), labels],
            ["replaced list", [table.strTokeycode("y"), table.keycodeTostr(0x04)], [0x05, "x"]]
        ]
        const left = [0, 0, 0xF0, 0]
        const right = [0, 0, 0xF1, 0]
        const onlyLeft = KeyAssign.isLastLeftClick
        // texts of assignments no table item covers; the page drives one item of every table (tst_keys)
        const keyAssign = [
            // an unknown button code, a fire key, keys only, the modifier byte of a system item ignored
            ["texts", [[0, 0, 0x05, 0], [1, 0x31, 4, 3], [2, 0, 0, 0x29], [6, 0x10, 0x2C, 0x1B]].map(text),
             ["L7", "\\", "Esc", "L38"]],
            // a media code without item, a macro without a name, DPI 5, gun 4, an unknown class
            ["no text", [[3, 0, 0x83, 0x02], [4, 0, 3, 0], [5, 0, 5, 0], [8, 0, 4, 0], [9, 0, 1, 0]].map(text),
             ["", "", "", "", ""]],
            ["all modifiers", text([2, 0xFF, 0, 0]), "LCtrl+LShift+LAlt+LWin+RCtrl+RShift+RAlt+RWin"],
            ["split bad text", KeyAssign.splitCode("03zz"), [3, 0, 0, 0]],
            ["join wide", KeyAssign.joinCode([0x104, 0, 0xAB, 1]), "0400ab01"],
            ["combo modifier after keys", combo([0x04, 0xE6, 0xE7]), ["A + RAlt + RWin", [2, 0xC0, 4, 0]]],
            ["combo modifier only", combo([0xE3]), ["LWin", [2, 0x08, 0, 0]]],
            ["combo unlabelled key", combo([0x01, 0x04]), ["A", [2, 0, 0x04, 0]]],
            ["combo nothing", combo([]), ["", null]],
            // texts, absent, undefined, not numbers, out of a byte's range
            ["stored", [["1", "4", "10", "0"], [], undefined, ["x", "", "240", "2"], ["255", "256", "-1", "1"]]
                 .map(list => KeyAssign.toCodes(list, right)),
             [[1, 4, 10, 0], right, right, [0, 0, 240, 2], [255, 0, 255, 1]]],
            // the only left click, one of two, a fire key on the left button
            ["left click", [onlyLeft([left, right], 0), onlyLeft([left, right, left], 0),
                            onlyLeft([right, [1, 0xF0, 10, 0]], 1)], [true, false, false]],
            ["rate empty, times", [KeyAssign.rateOfText(""), ...["12", "", "999"].map(KeyAssign.timesOfText)],
             [10, 12, 0, 255]],
            // slot 3 absent
            ["gun periods", KeyAssign.gunPeriods(s => ({ 1: "12", 2: 9.7 })[s], [1, 2, 3]), [12, 9, 0]]
        ]
        const loaded = MacroCodec.fromStored(["1,A", "0,50", "2,,", "3,MS-L", "12"])
        const tooLong = keys(60, 10).concat(acts(["0,1270", "2,B", "1,C"]))
        const forMouse = actions => MacroCodec.encodeForMouse(actions, 1, labels, codes)
        const types = [[true, 0x04], [false, 0xE7], [true, 0xF0], [false, 0xF2]]
        const A = 0x04
        // the bytes for the mouse; a size encodedSize gets wrong shows in their place
        const encoded = (repeat, stored) => {
            const actions = acts(stored.split(" ").filter(a => a !== ""))
            const bytes = MacroCodec.encode(actions, repeat, labels, codes)
            const size = MacroCodec.encodedSize(actions)
            return size === bytes.length ? bytes : ["size", size]
        }
        // A released, then B pressed after `ticks`
        const longWait = (ticks, delay) => [ticks + " ticks", encoded(1, "2,A 0," + ticks * 10 + " 1,B"),
                                            [0, 1, ...delay, 0x01, 0x05, 0, 0]]
        // The bytes for the mouse: repeat high byte first, records of delay and key, 0 0 at the end;
        // a wait of 127 ticks or more takes the long form, in the units' ranges.
        const macroBytes = [
            ["worked example", encoded(1, "1,A 0,50 2,A"), [0, 1, 5, A, 0x81, A, 0, 0]],
            ["leading delays skipped", encoded(2, "0,300 0,20 1,A 2,A"), [0, 2, 1, A, 0x81, A, 0, 0]],
            ["one action after delays", encoded(1, "0,50 1,A"), [0, 1]],
            ["only delays", encoded(1, "0,50 0,60"), [0, 1]],
            ["empty", encoded(7, ""), [0, 7]],
            ["trailing delay", encoded(1, "1,A 0,50"), [0, 1, 1, A, 0, 0]],
            ["delays between add up", encoded(1, "1,A 0,500 0,700 0,60 2,A"), [0, 1, 126, A, 0x81, A, 0, 0]],
            ["repeat as text", encoded("300", "1,A 2,A"), [1, 0x2C, 1, A, 0x81, A, 0, 0]],
            ["mouse buttons", encoded(1, "3,MS-L 4,MS-L 3,MS-B5"), [0, 1, 1, 0xF0, 0x81, 0xF0, 1, 0xF4, 0, 0]],
            ["label not in the table", encoded(1, "1,Hyper 2,\\"), [0, 1, 1, 0, 0x81, 0x31, 0, 0]],
            longWait(126, [0x80 | 126, A]),
            longWait(127, [0x80, A, 0, 1, 0x00, 63]),
            longWait(99999, [0x80, A, 0, 1, 0xC3, 0x4F]),
            longWait(100000, [0x80, A, 0, 2, 0x4E, 0x20]),
            longWait(299999, [0x80, A, 0, 2, 0xEA, 0x5F]),
            longWait(300000, [0x80, A, 0, 3, 0x75, 0x30]),
            // longer waits do not fit the value's two bytes: the longest one is sent
            longWait(600000, [0x80, A, 0, 3, 0xEA, 0x5F])
        ]
        const macroCodec = [
            // whole ticks, half up, below a tick, the input's top, spaces, no number, negative
            ["delays rounded", ["50", "55", "4", "65535", " 120 ", "5a", "-20"].map(MacroCodec.roundDelay),
             ["50", "60", "0", "65530", "120", "", ""]],
            ["stored", [loaded.repeat, loaded.actions],
             ["12", [{ type: 1, info: "A" }, { type: 0, info: "50" }, { type: 2, info: "," },
                     { type: 3, info: "MS-L" }]]],
            ["stored again", MacroCodec.toStored(loaded.actions), ["1,A", "0,50", "2,,", "3,MS-L"]],
            ["stored empty", MacroCodec.fromStored([]).actions, []],
            ["types", types.map(e => MacroCodec.actionType(...e)), [1, 2, 3, 4]],
            // an over-long list from a file: whole records up to the block, ended properly
            ["cut for the mouse", [forMouse(tooLong), forMouse(tooLong).length], [encode(keys(60, 10)), 124]],
            ["fitting kept", forMouse(keys(62, 10)), encode(keys(62, 10))]
        ]
        const at = (r, g, b) => ColorMath.positionOf(r, g, b)
        const dpis = [200, 500, 1550, 3000, 6000].map(v => [v, 6000, 50])
                         .concat([400, 800, 3200, 12000].map(v => [v, 12000, 100]))
        const knobs = dpis.map(([v, max]) => PerfMath.dpiPosition(v, 200, max))
        const columns = Array.from({ length: 180 }, (_, p) => p)
        const ratios = [[100, 200, 6000], [9000, 200, 6000], [500, 6000, 6000]]
        // Slider positions run 3 … 161 on the DPI slider and 3 … 337 on the pointer-speed one; the
        // colour bar's columns 0 … 183 run red, yellow, green, cyan, blue, magenta and end white.
        const perfMath = [
            // bottom, top, top and bottom cut to the base, off both ends of the track, middle, no base
            ["dpi", [[3, 200, 6000, 50], [161, 200, 6000, 50], [161, 200, 6030, 50], [3, 230, 6000, 100],
                     [-40, 200, 6000, 50], [400, 200, 6000, 50], [82, 200, 6000, 50], [161, 200, 6000, 0]]
                 .map(a => PerfMath.dpiForPosition(...a)), [200, 6000, 6000, 200, 200, 6000, 3100, 6000]],
            // a stored DPI placed on its slider and read back off the knob is the value itself
            ["dpi round trip", dpis.map((d, i) => PerfMath.dpiForPosition(knobs[i], 200, d[1], d[2])),
             dpis.map(d => d[0])],
            ["dpi knobs on the track", knobs.filter(x => x < 3 || x > 161), []],
            ["dpi ratio", ratios.map(a => PerfMath.dpiRatio(...a)), [0, 1, 0]],
            ["speed steps", [3, 4, 36, 37, 155, 304, 305, 337, 338].map(PerfMath.speedIndex),
             [0, 1, 1, 2, 5, 9, 10, 10, 0]],
            ["report rates", [1, 2, "0", 7, undefined].map(PerfMath.reportRateValue), [4, 2, 8, 1, 1]],
            // red, yellow, blue, past the edges, beyond
            ["colours", [0, 30, 120, 180, 500].map(ColorMath.colorAt),
             [[255, 0, 0], [255, 255, 0], [0, 0, 255], [255, 0, 0], [255, 255, 255]]],
            ["orange placed", Math.abs(at(255, 128, 0) - 15) <= 2, true],
            // placing the knob for the colour under it puts it back within a few columns, over the
            // whole bar: both directions agree on the order of the edges
            ["bar and placing agree", columns.filter(p => Math.abs(at(...ColorMath.colorAt(p)) - p) > 3), []],
            // white, off the edges, texts
            ["placed", [at(255, 255, 255), at(10, 20, 30), at("0", "0", "255")], [183, 0, 121]],
            ["hex", [ColorMath.hex(255, 128, 0), ColorMath.hex("7", 300, -1)], ["#ff8000", "#07ff00"]],
            ["channels", ["#FF8001", "red"].map(ColorMath.channels), [[255, 128, 1], [0, 0, 0]]],
            ["no stage, no square", [0, 1, 7].map(k => LightRules.squareOffered(k, 0, 0, false, false)),
             [false, false, false]],
            ["damaged colours filled up", LightRules.colorsToSave([], 0, false).length, 24],
            // what the controls' own tests do not reach: stored texts, indexes past the end, long
            // lists, and texts that typing cannot produce
            ["index past the end, as text", [9, "2"].map(i => SliderMath.indexToPos(96, 4, i)), [81, 42]],
            ["times of 4 and 18", [4, 18].map(SliderMath.animationTime), [140, 0]],
            // grid rows for 10, the bar for 12 rows and none for 10, the bar of a closed list
            ["lists", [SliderMath.gridRows(10, 3), SliderMath.scrollBarSize(12), SliderMath.hasScrollBar(10),
                       SliderMath.scrollBarPos(480, 20)], [4, 200, false, 240]],
            // letters, minus, 0 below the least
            ["settled", [["abc", 0, 255], ["-3", 0, 255], ["0", 1, 65535]].map(a => NumberInput.settle(...a)),
             ["0", "0", "0"]],
            // the gun target's travel is 89 … 183; a pull above 64 or no number, a dot beyond either
            // end land on the ends (the page's own edits reach only the travel)
            ["gun dot", [90, "x"].map(GunMath.dotYForPull), [183, 89]],
            ["gun pull", [183, 89, -411, 683].map(GunMath.pullForDotY), [64, 0, 0, 64]]
        ]
        // The stored profile list read and written back; the first free name (profile_0 unless
        // given) and number for New.
        const profiles = [
            ["the sentinel", ["Standard0", "loaderbeacon"], ["S0"], 1],
            ["sentinel only at the end of two", ["Standard0", "loaderbeacon", "b1"], ["S0", "b1"], 2],
            ["gap in the middle", ["Standard0", "profile_01", "profile_13"], null, 2, "profile_2"],
            ["name ending in a digit", ["Standard0", "CS23"], null, 1],
            ["no number, out of range, twice", ["Standard0", "x", "", "y7", "z0", "a2"], ["S0", "a2"], 1],
            ["nothing stored", [], ["S0"], 1],
            ["user names", ["S0", "profile_12", "mine1"], null, 3],
            ["full", ["S0", "a1", "b2", "c3", "d4", "e5"], null, 6]
        ].map(([tag, stored, out, number, name]) => {
            const list = ProfileList.parse(stored, "S")
            return ["profiles, " + tag, [ProfileList.toStored(list), ProfileList.firstFreeName(list),
                                          ProfileList.firstFreeNumber(list)],
                    [out ?? ["S0"].concat(stored.slice(1)), name ?? "profile_0", number]]
        })
        // A picked window gives the chosen kind when it has it, else class, executable, title in turn.
        const picked = [
            ["chosen kind", "steam_app_570", "dota2.exe", "Dota 2", "title", { kind: "title", text: "Dota 2" }],
            ["no title: class", "Gimp", "gimp", " ", "title", { kind: "class", text: "Gimp" }],
            ["only an executable", "", "game.exe", "", "class", { kind: "exe", text: "game.exe" }],
            ["nothing", "", "", "", "class", null]
        ].map(([tag, cls, exe, title, kind, out]) =>
              ["picked, " + tag, AppRules.pickedMatch({ cls, exe, title }, kind), out])
        const rows = toCode.concat(toLabel, keyCodes, keyAssign, macroBytes, macroCodec, perfMath, profiles,
                                   picked)
        return rows.map(([tag, got, want]) => ({ tag, got, want }))
    }
    function test_library(data) { compare(data.got, data.want) }
}
