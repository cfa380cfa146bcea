import QtQuick
import QtTest

// The view's slots called from a document the way the UI documents call them: with plain script
// numbers, arrays and strings, and with what the store hands back. Each test starts on a fresh
// view and virtual mouse of the model it names.
TestCase {
    name: "ViewSlots"

    readonly property var k553: ({ family: "553" })
    readonly property var k553Gun: ({ family: "553", isGun: true })
    readonly property var k560: ({ family: "560" })
    readonly property var k560Gun: ({ family: "560", isGun: true, isColorful: true })

    function range(from, count) { return Array.from({ length: count }, (_, i) => from + i) }
    function entry(matrix, k) { return mouseSim.memory().keyMatrices[matrix - 1].slice(4 * k, 4 * k + 4) }

    // The matrix of the profile in use as the key page reads it: four stored texts per button.
    function storedMatrix() {
        let src = []
        for (let k = 0; k < 16; ++k)
            src = src.concat(ui_View.mouseGetKeydefine(k, false))
        return src
    }

    // One row per call: the model, the call, the commands it sends in order, and a check of the
    // mouse's memory afterwards.
    function test_deviceSlots_data() {
        const colours = range(1, 24)
        return [
            { tag: "553 current stage", model: k553, sent: ["0b 03"],
              call: () => ui_View.mouseSetCurrentDPI(3),
              check: m => compare(m.currentDpiStage, 3) },
            { tag: "560 current stage", model: k560Gun, sent: ["04 01"],
              call: () => ui_View.mouseSetCurrentDPI(5),
              check: m => compare(m.currentDpiStage, 5) },
            { tag: "553 stage read back", model: k553, sent: ["0b 02", "8b 00"],
              call: () => { ui_View.mouseSetCurrentDPI(2); compare(ui_View.mouseGetCurrentDPI() - 1, 1) },
              check: m => {} },
            { tag: "553 dpi, configured sensor", model: k553, sent: ["11 04"],
              call: () => ui_View.mouseSetDpi(4, ui_View.getGlobalData("mouse/sensorType"),
                                              [400, 800, 1600, 3200, 400, 400, 400, 400]),
              check: m => compare(m.dpiStageCodes, [0x03, 0x07, 0x0f, 0x1f, 0x80, 0x80, 0x80, 0x80]) },
            { tag: "553 dpi from stored texts", model: k553, sent: ["11 02"],
              call: () => ui_View.mouseSetDpi(Number(ui_View.getData("mouse/currentDpiCount", false)) - 2, "3050",
                                              ui_View.getDataList("mouse/dpiValueArray", false)),
              // the shipped profile: 400 800 1600 3200 4800 6400 8000 12000
              check: m => compare(m.dpiStageCodes, [0x02, 0x04, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80]) },
            { tag: "560 dpi 3389", model: k560, sent: ["0c 01"],
              call: () => ui_View.mouseSetDpi(3, "3389", [400, 12800, 12750]),
              check: m => {
                  compare(m.profileBlocks[1].slice(82, 87), [0x02, 0x02, 0x08, 0x00, 0xff])
                  compare(m.profileBlocks[1][100], 0x07)
              } },
            { tag: "553 effect", model: k553, sent: ["0d 01"],
              call: () => ui_View.mouseSetRGBEffect(0, 2, 2),
              check: m => compare(m.ledEffect, [0x01, 0x05, 0x02]) },
            { tag: "553 colours", model: k553, sent: ["10 01", "10 01"],
              call: () => ui_View.mouseSetRGBColor(1, colours.concat([99, 99])),
              check: m => compare(m.ledColors, colours) },
            { tag: "560 colourful colours", model: k560Gun, sent: ["0c 00"],
              call: () => ui_View.mouseSetRGBColor(0, colours),
              check: m => compare(m.profileBlocks[0].slice(24, 48), colours) },
            { tag: "553 macro 0", model: k553, sent: ["13 01"],
              call: () => verify(ui_View.mouseSendMacroData(range(0, 200), 0) === true),
              check: m => compare(m.macros["1"], range(0, 128)) },
            { tag: "560 macro index as text", model: k560, sent: ["0f 0c"],
              call: () => ui_View.mouseSendMacroData([0x10, 0x20, 0x30], "11"),
              check: m => compare(m.macros["12"].slice(0, 4), [0x10, 0x20, 0x30, 0]) },
            { tag: "macro 12 is not sent", model: k553, sent: [],
              call: () => verify(ui_View.mouseSendMacroData([1, 2, 3], 12) === true),
              check: m => verify(!("13" in m.macros)) },
            { tag: "553 gun data", model: k553Gun, sent: ["03 00", "83 00", "04 00"],
              call: () => {
                  ui_View.mouseSetKeyboardoption(0, 0, 1, 0)
                  ui_View.mouseSendGundata(2, [5, 3, 4])
              },
              check: m => compare(m.gunSlots[1], [5, 3, 0xfc]) },
        ]
    }
    function test_deviceSlots(row) {
        mouseSim.useModel(row.model)
        row.call()
        compare(mouseSim.commands(), row.sent)
        row.check(mouseSim.memory())
        compare(mouseSim.protocolErrors(), [])
    }

    // The key page stores the matrix and sends it: the stored texts go back in with the changed
    // button as numbers, and a macro assignment goes out with its number counted from 1.
    function test_keyMatrixWithMacro_data() {
        return [
            { tag: "553", model: k553, sent: ["12 01"] },
            { tag: "560", model: k560, sent: ["0d 01"] },
        ]
    }
    function test_keyMatrixWithMacro(row) {
        mouseSim.useModel(row.model)
        const src = storedMatrix()
        compare(src.length, 64)
        src.splice(4 * 3, 4, 4, 0, 3, 0)
        ui_View.mouseSetKeyMatrix(src, true, [10, 20, 30])
        compare(mouseSim.commands(), row.sent)
        compare(entry(1, 3), [0x09, 0x00, 0x04, 0x00])
        compare(entry(1, 0), [0x01, 0x00, 0xf0, 0x00])
        compare(ui_View.mouseGetKeydefine(3, false).map(Number), [4, 0, 3, 0])
        compare(ui_View.mouseGetKeydefine(3, true).map(Number), [0, 0, 0xf4, 0])
        compare(mouseSim.protocolErrors(), [])
    }

    // A gun key of two slots on a 553 mouse: four matrices, then the selection of matrix 1.
    function test_keyMatrixWithGun() {
        mouseSim.useModel(k553Gun)
        const src = storedMatrix()
        src.splice(4 * 6, 4, 8, 0, 2, 0)
        ui_View.mouseSetKeyMatrix(src, true, [40, "50", 316])
        compare(mouseSim.commands(), ["12 01", "12 02", "12 03", "12 04", "02 01"])
        compare(entry(2, 0), [0x0b, 0x00, 40, 0x00])
        compare(entry(3, 0), [0x0b, 0x01, 50, 0x00])
        compare(entry(4, 0), [0x0b, 0x02, 316 & 0xff, 0x00])
    }

    // What the pages store comes back as the store holds it: the documents read numbers with
    // Number() and lists element by element.
    function test_storeRoundTrip() {
        mouseSim.useModel(k560Gun)
        ui_View.setDataList("mouse/dpiValueArray", [500, "700", 900.0])
        ui_View.setData("mouse/currentDpiCount", 3)
        compare(ui_View.getDataList("mouse/dpiValueArray", false).map(Number), [500, 700, 900])
        compare(Number(ui_View.getData("mouse/currentDpiCount", false)), 3)
        // The factory profile is untouched.
        compare(ui_View.getDataList("mouse/dpiValueArray", true).length, 8)
        compare(Number(ui_View.getData("mouse/currentDpiCount", true)), 4)
        // Absent keys: nothing, and an empty list.
        compare(ui_View.getData("mouse/noSuchKey", false), undefined)
        compare(ui_View.getDataList("mouse/noSuchKey", false), [])
        // Each profile keeps its own values.
        ui_View.setCurrentProfile(1)
        compare(Number(ui_View.getData("mouse/currentDpiCount", false)), 4)
        ui_View.setCurrentProfile(0)
        compare(Number(ui_View.getData("mouse/currentDpiCount", false)), 3)

        ui_View.setGlobalData("mouse/profileNo", 2)
        compare(Number(ui_View.getGlobalData("mouse/profileNo")), 2)
        compare(String(ui_View.getGlobalData("mouse/icType")), "560")
        // Nothing of this reaches the mouse.
        compare(mouseSim.trace(), [])
    }
}
