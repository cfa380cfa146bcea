import QtQuick
import QtTest
import "qrc:/modules/qml/common/macroCodec.js" as MacroCodec
import "qrc:/modules/qml/common/keyCodes.js" as KeyCodes

// The macro's byte list for the mouse and its size, checked on their own.
TestCase {
    name: "MacroCodec"

    readonly property var labels: KeyCodes.defaultLabels()
    readonly property var codes: KeyCodes.codes()

    function press(label) { return { type: 1, info: label } }
    function release(label) { return { type: 2, info: label } }
    function wait(ms) { return { type: 0, info: String(ms) } }

    function test_encode_data() {
        const A = 0x04
        return [
            { tag: "worked example", repeat: 1,
              actions: [press("A"), wait(50), release("A")],
              bytes: [0x00, 0x01, 0x05, A, 0x81, A, 0x00, 0x00] },
            { tag: "leading delays skipped", repeat: 2,
              actions: [wait(300), wait(20), press("A"), release("A")],
              bytes: [0x00, 0x02, 0x01, A, 0x81, A, 0x00, 0x00] },
            { tag: "single action", repeat: 1, actions: [press("A")], bytes: [0x00, 0x01] },
            { tag: "single action after delays", repeat: 1, actions: [wait(50), press("A")],
              bytes: [0x00, 0x01] },
            { tag: "only delays", repeat: 1, actions: [wait(50), wait(60)], bytes: [0x00, 0x01] },
            { tag: "empty", repeat: 7, actions: [], bytes: [0x00, 0x07] },
            { tag: "trailing delay", repeat: 1, actions: [press("A"), wait(50)],
              bytes: [0x00, 0x01, 0x01, A, 0x00, 0x00] },
            { tag: "delays between add up", repeat: 1,
              actions: [press("A"), wait(500), wait(700), wait(60), release("A")],
              bytes: [0x00, 0x01, 126, A, 0x81, A, 0x00, 0x00] },
            { tag: "no wait counts as one tick", repeat: 1, actions: [press("A"), release("A")],
              bytes: [0x00, 0x01, 0x01, A, 0x81, A, 0x00, 0x00] },
            { tag: "repeat high byte first", repeat: "300", actions: [press("A"), release("A")],
              bytes: [0x01, 0x2C, 0x01, A, 0x81, A, 0x00, 0x00] },
            { tag: "mouse buttons", repeat: 1,
              actions: [{ type: 3, info: "MS-L" }, { type: 4, info: "MS-L" }, { type: 3, info: "MS-B5" }],
              bytes: [0x00, 0x01, 0x01, 0xF0, 0x81, 0xF0, 0x01, 0xF4, 0x00, 0x00] },
            { tag: "label not in the table", repeat: 1, actions: [press("Hyper"), release("A")],
              bytes: [0x00, 0x01, 0x01, 0x00, 0x81, A, 0x00, 0x00] },
            { tag: "backslash is the US key", repeat: 1, actions: [press("\\"), release("\\")],
              bytes: [0x00, 0x01, 0x01, 0x31, 0x81, 0x31, 0x00, 0x00] }
        ]
    }
    function test_encode(data) {
        const bytes = MacroCodec.encode(data.actions, data.repeat, labels, codes)
        compare(bytes, data.bytes)
        compare(MacroCodec.encodedSize(data.actions), bytes.length)
    }

    // The wait after a release, in ticks of 10 ms, at each edge of the delay forms.
    function test_extendedDelay_data() {
        return [
            { tag: "126", t: 126, tail: [0x80 | 126, 0x04] },
            { tag: "127", t: 127, tail: [0x80, 0x04, 0, 1, 0x00, 63] },
            { tag: "99999", t: 99999, tail: [0x80, 0x04, 0, 1, 0xC3, 0x4F] },
            { tag: "100000", t: 100000, tail: [0x80, 0x04, 0, 2, 0x4E, 0x20] },
            { tag: "299999", t: 299999, tail: [0x80, 0x04, 0, 2, 0xEA, 0x5F] },
            { tag: "300000", t: 300000, tail: [0x80, 0x04, 0, 3, 0x75, 0x30] },
            { tag: "599999", t: 599999, tail: [0x80, 0x04, 0, 3, 0xEA, 0x5F] },
            // Longer waits do not fit the value's two bytes: the longest one is sent.
            { tag: "600000", t: 600000, tail: [0x80, 0x04, 0, 3, 0xEA, 0x5F] },
            { tag: "far beyond", t: 6000000, tail: [0x80, 0x04, 0, 3, 0xEA, 0x5F] }
        ]
    }
    function test_extendedDelay(data) {
        const actions = [release("A"), wait(data.t * 10), press("B")]
        const bytes = MacroCodec.encode(actions, 1, labels, codes)
        compare(bytes, [0, 1].concat(data.tail, [0x01, 0x05, 0x00, 0x00]))
        compare(MacroCodec.encodedSize(actions), bytes.length)
    }

    function keys(n, gapMs) {
        const out = []
        for (let i = 0; i < n; ++i) {
            if (i > 0 && gapMs > 0)
                out.push(wait(gapMs))
            out.push(i % 2 ? release("A") : press("A"))
        }
        return out
    }

    // An over-long list from a file: whole records up to the block, ended properly.
    function test_encodeForMouse() {
        const actions = keys(60, 10).concat([wait(1270), release("B"), press("C")])
        const bytes = MacroCodec.encodeForMouse(actions, 1, labels, codes)
        compare(bytes, MacroCodec.encode(keys(60, 10), 1, labels, codes))
        compare(bytes.length, 124)
        compare(bytes.slice(-4), [0x81, 0x04, 0x00, 0x00])
        const fitting = keys(62, 10)
        compare(MacroCodec.encodeForMouse(fitting, 1, labels, codes),
                MacroCodec.encode(fitting, 1, labels, codes))
    }

    function test_roundDelay_data() {
        return [
            { tag: "multiple of 10", text: "50", stored: "50" },
            { tag: "half rounds up", text: "55", stored: "60" },
            { tag: "below a tick", text: "4", stored: "0" },
            { tag: "zero", text: "0", stored: "0" },
            { tag: "top of the input", text: "65535", stored: "65530" },
            { tag: "spaces", text: " 120 ", stored: "120" },
            { tag: "not a number", text: "5a", stored: "" },
            { tag: "negative", text: "-20", stored: "" }
        ]
    }
    function test_roundDelay(data) {
        compare(MacroCodec.roundDelay(data.text), data.stored)
    }

    function test_storedForm() {
        const loaded = MacroCodec.fromStored(["1,A", "0,50", "2,,", "3,MS-L", "12"])
        compare(loaded.repeat, "12")
        compare(loaded.actions, [press("A"), wait(50), release(","), { type: 3, info: "MS-L" }])
        compare(MacroCodec.toStored(loaded.actions), ["1,A", "0,50", "2,,", "3,MS-L"])
        compare(MacroCodec.fromStored([]).actions, [])
    }

    function test_actionType() {
        compare(MacroCodec.actionType(true, 0x04), 1)
        compare(MacroCodec.actionType(false, 0xE7), 2)
        compare(MacroCodec.actionType(true, 0xF0), 3)
        compare(MacroCodec.actionType(false, 0xF2), 4)
    }
}
