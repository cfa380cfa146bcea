import QtQuick
import QtTest

// The root document as the program loads it, driven through its controls; what it does must
// reach the store and the virtual mouse.
TestCase {
    id: testCase

    name: "Dashboard"
    width: 1024
    height: 640
    visible: true
    when: windowShown

    readonly property url documentUrl: "qrc:/modules/qml/main.qml"
    readonly property Component document: Qt.createComponent(documentUrl)
    readonly property var k553: ({ family: "553" })
    readonly property var k55328: ({ family: "553", is55328: true })
    readonly property var k560Gun: ({ family: "560", isGun: true, isColorful: true })

    // The document for a fresh view and mouse of `model`, started as the host starts it.
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
    function storedNumbers(key) { return ui_View.getDataList(key, false).map(Number) }

    function init() { failOnWarning(/main\.qml|demo\//) }

    function test_startShowsTheProfileAndLocksBriefly() {
        const doc = open(k560Gun)
        verify(doc.visible)
        compare(child(doc, "modelName").text, String(ui_View.getGlobalData("common/name")))
        compare(doc.currentDPI, mouseSim.memory().currentDpiStage - 1)
        const stored = storedNumbers("mouse/dpiValueArray")
        for (let i = 0; i < 8; ++i)
            compare(child(doc, "dpiRow" + i).value, stored[i])
        compare(child(doc, "stageCount").text, "4 stages")
        verify(child(doc, "rate3").checked)

        verify(child(doc, "protectUIItem").visible)
        verify(!ui_View.enabled)
        tryCompare(ui_View, "enabled", true)
        verify(!child(doc, "protectUIItem").visible)

        // A reconnection only refreshes the stage in use.
        ui_View.setDataList("mouse/dpiValueArray", [200, 200, 200, 200, 200, 200, 200, 200])
        ui_View.mouseSetCurrentDPI(3)
        doc.initUI()
        compare(doc.currentDPI, 2)
        compare(child(doc, "dpiRow0").value, stored[0])
    }

    // A 560 mouse left on another device profile is put back on the first at start.
    function test_560StartsOnDeviceProfile1_data() {
        return [{ tag: "left on 3", profile: 3, sent: ["82 00", "02 01"] },
                { tag: "on 1", profile: 1, sent: ["82 00"] }]
    }
    function test_560StartsOnDeviceProfile1(row) {
        mouseSim.useModel(k560Gun)
        ui_View.mouseSwitchKeyMatrix(row.profile)
        mouseSim.clearTrace()
        createTemporaryObject(document, testCase).initUI()
        compare(mouseSim.commands().filter(c => /^(82|02) /.test(c)), row.sent)
        compare(mouseSim.memory().currentProfile, 1)
    }

    function test_stageTiles_data() {
        return [{ tag: "553", model: k553, command: "0b" }, { tag: "560", model: k560Gun, command: "04" }]
    }
    function test_stageTiles(row) {
        const doc = open(row.model)
        mouseClick(child(doc, "stage3"))
        compare(mouseSim.memory().currentDpiStage, 3)
        compare(mouseSim.commands().map(c => c.split(" ")[0]), [row.command])
        verify(child(doc, "stage3").checked)
        compare(child(doc, "currentValue").text, String(storedNumbers("mouse/dpiValueArray")[2]))

        // Stage 5 is beyond the four active ones.
        mouseSim.clearTrace()
        mouseClick(child(doc, "stage5"))
        compare(mouseSim.commands(), [])
        compare(mouseSim.memory().currentDpiStage, 3)
    }

    function test_stageReportedByTheMouse() {
        const doc = open(k560Gun)
        doc.setCurrentDPI(5)
        verify(child(doc, "stage5").checked)
        compare(child(doc, "currentValue").text, String(storedNumbers("mouse/dpiValueArray")[4]))
        doc.setCurrentDPI(0)
        compare(doc.currentDPI, 4)
    }

    function test_reportRate() {
        const doc = open(k553)
        mouseClick(child(doc, "rate0"))
        compare(mouseSim.memory().reportRate, 8)
        mouseClick(child(doc, "rate2"))
        compare(mouseSim.memory().reportRate, 2)
        compare(Number(ui_View.getData("mouse/reportRate", false)), 2)
        verify(child(doc, "rate2").checked && !child(doc, "rate0").checked)
    }

    // Values are dragged and clicked on the tracks (140 wide, minimum at the left end), the
    // stage count stepped up, and nothing is sent until Save.
    function test_dpiValuesAreSentWithSave() {
        const doc = open(k553)
        const save = child(doc, "saveBtn")
        const row1 = child(child(doc, "dpiRow1"), "track")
        mouseClick(row1, 6 + 70, row1.height / 2)                    // half way: 6100
        const row0 = child(child(doc, "dpiRow0"), "track")
        mouseDrag(row0, 10, row0.height / 2, 400, 0)                   // past the right end
        mouseClick(child(child(doc, "stageCount"), "next"))
        compare(child(doc, "dpiRow1").value, 6100)
        compare(child(doc, "dpiRow0").value, 12000)
        compare(mouseSim.commands(), [])
        compare(String(save.restColor), String(doc.colorUnsaved))

        mouseClick(save)
        compare(storedNumbers("mouse/dpiValueArray"), [12000, 6100, 1600, 3200, 4800, 6400, 8000, 12000])
        compare(Number(ui_View.getData("mouse/currentDpiCount", false)), 5)
        compare(mouseSim.commands(), ["11 05"])
        compare(mouseSim.memory().dpiStageCodes, [119, 60, 15, 31, 47, 0x80, 0x80, 0x80])
        compare(String(save.restColor), String(doc.colorBlue))
        verify(ui_View.enabled)

        // A second Save has nothing to send.
        mouseClick(save)
        compare(mouseSim.commands(), ["11 05"])
    }

    // Breath at speed step 3 with a green second colour, on the demo's colourful 560 model.
    function test_lightingIsSentWithSave() {
        const doc = open(k560Gun)
        mouseClick(child(child(doc, "effect"), "next"))
        mouseClick(child(child(doc, "speed"), "stop3"))
        mouseClick(child(doc, "colour1"))
        const bar = child(doc, "hueBar")
        mouseClick(bar, 1 + 60, bar.height - 4)
        compare(mouseSim.commands(), [])

        mouseClick(child(doc, "saveBtn"))
        const light = [1, 3, Number(ui_View.getDataList("mouse/lightValue", false)[2])]
        compare(storedNumbers("mouse/lightValue"), light)
        compare(storedNumbers("mouse/colorValue").slice(3, 6), [0, 255, 0])
        const m = mouseSim.memory()
        compare(m.profileBlocks[1].slice(71, 74), [0x03, 0x00, 0x03])
        compare(m.profileBlocks[0].slice(27, 30), [0, 255, 0])
        compare(mouseSim.protocolErrors(), [])
    }

    // The 55328 variant keeps an eighth colour only for Breath Loop; otherwise its single colour
    // goes out as the fixed colour.
    function test_55328SendsItsSingleColour() {
        const doc = open(k55328)
        const bar = child(doc, "hueBar")
        mouseClick(bar, 1 + 120, bar.height - 4)                     // blue
        mouseClick(child(doc, "saveBtn"))
        compare(mouseSim.commands(), ["0d 01", "0c 00"])
        compare(mouseSim.memory().fixLedColor, [0, 0, 255])
        compare(storedNumbers("mouse/colorValue").slice(21, 24), [0, 0, 0])
    }

    function test_busyLock() {
        const doc = open(k553)
        tryCompare(ui_View, "enabled", true)
        doc.setProtectUI(200)
        verify(!ui_View.enabled && child(doc, "protectUIItem").visible)
        tryCompare(ui_View, "enabled", true)
        doc.setProtectUI(5000)
        doc.setProtectUI(0)
        verify(ui_View.enabled && !child(doc, "protectUIItem").visible)
    }

    function test_windowHandling() {
        const doc = open(k553)
        mousePress(doc, 500, 610)
        mouseMove(doc, 510, 603, -1, Qt.LeftButton)
        mouseRelease(doc, 510, 603)
        mouseClick(child(doc, "minBtn"))
        mouseClick(child(doc, "closeBtn"))
        compare(mouseSim.controllerCalls(), ["onXChanged 10", "onYChanged -7", "onMinimize", "onClose"])
    }

    // The host creates the document before it publishes ui_View, hid and ui_Ctl.
    function test_withoutHostObjects() {
        compare(mouseSim.warningsWithoutHost(documentUrl), [])
    }
}
