import QtQuick
import QtTest

// The view's slots called from script the way the UI documents call them, with the texts the store
// hands back; what they do must reach the virtual mouse. Each case starts on a fresh view and mouse
// of the model it names.
TestCase {
    id: testCase

    name: "View"

    readonly property var k553: ({ family: "553" })
    readonly property var k560Gun: ({ family: "560", isGun: true, isColorful: true })
    function stored(key) { return ui_View.getDataList(key, false) }
    function entry(matrix, k) { return mouseSim.memory().keyMatrices[matrix - 1].slice(4 * k, 4 * k + 4) }

    function init() { failOnWarning(/qml/) }
    function cleanup() { compare(mouseSim.protocolErrors(), []) }

    // What the store hands back are texts; a macro index may come as one too.
    function test_slotsTakeStoredTexts() {
        mouseSim.useModel(k553)
        // the shipped profile: 400 800 1600 3200 4800 6400 8000 12000
        ui_View.mouseSetDpi(Number(ui_View.getData("mouse/currentDpiCount", false)) - 2, "3050", stored("mouse/dpiValueArray"))
        verify(ui_View.mouseSendMacroData([0x10, 0x20, 0x30], "11") === true)
        compare(mouseSim.commands(), ["11 02", "13 0c"])
        compare(mouseSim.memory().dpiStageCodes, [0x02, 0x04, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80])
        compare(mouseSim.memory().macros["12"].slice(0, 4), [0x10, 0x20, 0x30, 0])
    }

    // The key page sends the stored texts back with the changed buttons as numbers: a macro goes
    // out with its number counted from 1, a gun key of two slots as four matrices.
    function test_keyMatrixFromStoredTexts() {
        mouseSim.useModel({ family: "553", isGun: true })
        let src = []
        for (let k = 0; k < 16; ++k)
            src = src.concat(ui_View.mouseGetKeydefine(k, false))
        compare(src.length, 64)
        src.splice(4 * 3, 4, 4, 0, 3, 0)
        src.splice(4 * 6, 4, 8, 0, 2, 0)
        ui_View.mouseSetKeyMatrix(src, true, [40, "50", 316])
        compare(mouseSim.commands(), ["12 01", "12 02", "12 03", "12 04", "02 01"])
        compare(entry(1, 0), [0x01, 0x00, 0xf0, 0x00])
        compare(entry(1, 3), [0x09, 0x00, 0x04, 0x00])
        compare(entry(3, 0), [0x0b, 0x01, 50, 0x00])
        compare(entry(4, 0), [0x0b, 0x02, 316 & 0xff, 0x00])
        compare(ui_View.mouseGetKeydefine(3, false).map(Number), [4, 0, 3, 0])
    }
}
