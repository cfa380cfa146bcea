import QtQuick
import QtTest

// The view's slots called from script the way the UI documents call them, and the root document
// as the program loads it, driven through its controls; what they do must reach the store and the
// virtual mouse. Each case starts on a fresh view and mouse of the model it names.
TestCase {
    id: testCase

    name: "View"
    width: 1024
    height: 640
    visible: true
    when: windowShown

    readonly property var k553: ({ family: "553" })
    readonly property var k560Gun: ({ family: "560", isGun: true, isColorful: true })
    readonly property Component document: Qt.createComponent("qrc:/modules/qml/main.qml")

    // The root document, started as the host starts it.
    function open(model) {
        mouseSim.useModel(model)
        const doc = createTemporaryObject(document, testCase)
        verify(doc, document.errorString())
        doc.initUI()
        mouseSim.clearTrace()
        return doc
    }
    function child(doc, name) {
        const item = findChild(doc, name)
        verify(item, name)
        return item
    }
    function stored(key) { return ui_View.getDataList(key, false) }
    function entry(matrix, k) { return mouseSim.memory().keyMatrices[matrix - 1].slice(4 * k, 4 * k + 4) }

    function init() { failOnWarning(/main\.qml|demo\//) }
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

    // The stored profile is shown, and the view is locked for a moment after the start.
    function test_start() {
        const doc = open(k560Gun)
        compare(doc.currentDPI, mouseSim.memory().currentDpiStage - 1)
        compare(child(doc, "dpiRow1").value, Number(stored("mouse/dpiValueArray")[1]))
        verify(!ui_View.enabled && child(doc, "protectUIItem").visible)
        tryCompare(ui_View, "enabled", true)
    }

    // A stage tile goes out at once, in the family's command, and only for an active stage.
    function test_stageTiles_data() {
        return [{ tag: "553", model: k553, sent: ["0b 03"] }, { tag: "560", model: k560Gun, sent: ["04 01"] }]
    }
    function test_stageTiles(row) {
        const doc = open(row.model)
        mouseClick(child(doc, "stage5"))
        mouseClick(child(doc, "stage3"))
        compare(mouseSim.commands(), row.sent)
        compare(mouseSim.memory().currentDpiStage, 3)
    }

    // A value clicked on its track (140 wide, minimum at the left end) and the stage count stepped
    // up are sent with Save only.
    function test_dpiValuesAreSentWithSave() {
        const doc = open(k553)
        const track = child(child(doc, "dpiRow1"), "track")
        mouseClick(track, 6 + 70, track.height / 2)                  // half way: 6100
        mouseClick(child(child(doc, "stageCount"), "next"))
        compare(mouseSim.commands(), [])
        mouseClick(child(doc, "saveBtn"))
        compare(stored("mouse/dpiValueArray").map(Number), [400, 6100, 1600, 3200, 4800, 6400, 8000, 12000])
        compare(mouseSim.commands(), ["11 05"])
        compare(mouseSim.memory().dpiStageCodes, [3, 60, 15, 31, 47, 0x80, 0x80, 0x80])
    }
}
