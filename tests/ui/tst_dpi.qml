import QtQuick
import QtTest

// The DPI block and the report rate in the real main window, against the view, the profile store
// and the virtual mouse of both families: what the controls show, what is stored and what reaches
// the mouse's memory.
PageCase {
    // The shipped range: 200 … 12000 in steps of 100, sensor "3360" (code = value / 100 − 1).
    readonly property var shipped: [400, 800, 1600, 3200, 4800, 6400, 8000, 12000]

    function codes(values, count, is560) {
        return values.map((v, i) => i < count || is560 ? v / 100 - 1 : 0x80)
    }
    // The DPI codes as the mouse holds them: the 553 its stage table, the 560 its profile block.
    function mouseCodes(is560) {
        const m = mouseSim.memory()
        return is560 ? m.profileBlocks[1].slice(84, 92) : m.dpiStageCodes
    }
    function mouseStageCount(is560) {
        const m = mouseSim.memory()
        return is560 ? m.profileBlocks[1][100] : m.dpiStageCount
    }
    function sentCodes() { return Array.from(new Set(commandCodes())) }

    name: "DpiAndReportRate"

    function test_stageCount_data() {
        return [
            { tag: "553", model: { family: "553" }, is560: false },
            { tag: "560", model: { family: "560", isGun: true, isColorful: true }, is560: true }
        ]
    }
    // Four stages offered; choosing "2" shows two sliders, is only marked, and Save stores and
    // sends two stages with all eight values.
    function test_stageCount(row) {
        const doc = open(row.model, { "mouse/dpiCount": 4, "mouse/currentDpiCount": 3 })
        const dpi = child(doc, "dpiSettingMain")
        const list = child(dpi, "dpiSegment")
        compare(list.count, 4)
        compare(list.textValue, "3")
        compare([0, 1, 2, 3, 4].map(k => child(dpi, "dpi" + k).dpiValue),
                ["400", "800", "1600", "3200", "4800"])

        choose(list, 1)
        compare(list.textValue, "2")
        compare([0, 1, 2, 3].map(k => child(dpi, "dpi" + k).visible), [true, true, false, false])
        compare([0, 1, 2, 3].map(k => child(dpi, "dpiLabel" + k).visible), [true, true, false, false])
        verify(dpi.isSave)
        compare(mouseSim.commands(), [])

        save(doc)
        verify(!dpi.isSave)
        compare(storedNumber("mouse/currentDpiCount"), 2)
        compare(storedList("mouse/dpiValueArray"), shipped)
        compare(mouseStageCount(row.is560), row.is560 ? 0x03 : 2)
        compare(mouseCodes(row.is560), codes(shipped, 2, row.is560))
    }

    function test_dragKnob_data() {
        return [
            { tag: "553 top", model: { family: "553" }, is560: false, dy: 300, value: 12000 },
            { tag: "553 bottom", model: { family: "553" }, is560: false, dy: -300, value: 200 },
            // 800 stands at 12 on the 158-pixel track; 30 up is 3 + 39 pixels: 200 + 39 / 158 × 11800 ≈ 3113
            { tag: "560 up a little", model: { family: "560", isColorful: true }, is560: true, dy: 30, value: 3100 }
        ]
    }
    // Dragging shows the value under the knob; the ends are the model's range. Only letting go
    // marks the block, and only Save sends.
    function test_dragKnob(row) {
        const doc = open(row.model, {})
        const dpi = child(doc, "dpiSettingMain")
        const slider = child(dpi, "dpi1")
        const knob = child(slider, "knob")
        dragBy(knob, 6, 6, 0, -row.dy)
        const value = row.value
        compare(slider.dpiValue, String(value))
        compare(child(dpi, "dpiLabel1").text, String(value))
        verify(dpi.isSave)
        compare(mouseSim.commands(), [])

        save(doc)
        const values = shipped.slice()
        values[1] = value
        compare(storedList("mouse/dpiValueArray"), values)
        compare(mouseCodes(row.is560), codes(values, 4, row.is560))
    }

    // The reset image puts the factory values back on the sliders, keeps the stage count, marks
    // the block and sends nothing.
    function test_reset() {
        const doc = open({ family: "553" }, { "mouse/dpiValueArray": [1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000],
                                              "mouse/currentDpiCount": 6 })
        const dpi = child(doc, "dpiSettingMain")
        compare(child(dpi, "dpi7").dpiValue, "1000")
        mouseClick(child(dpi, "dpiReset"))
        compare([0, 1, 2, 3, 4, 5, 6, 7].map(k => Number(child(dpi, "dpi" + k).dpiValue)), shipped)
        compare(dpi.currentDpiCount, 6)
        verify(dpi.isSave)
        compare(mouseSim.commands(), [])
    }

    // The current stage is drawn in orange, the others in blue.
    function test_currentStage() {
        const doc = open({ family: "553" }, {})
        const dpi = child(doc, "dpiSettingMain")
        doc.setCurrentDPI(3)
        compare([0, 1, 2, 3].map(k => Qt.colorEqual(child(dpi, "dpi" + k).colorS, doc.colorOrange)),
                [false, false, true, false])
    }

    // More stages than the block can show leave it untouched and send nothing.
    function test_tooManyStages() {
        const doc = open({ family: "553" }, { "mouse/dpiCount": 9 })
        const dpi = child(doc, "dpiSettingMain")
        compare(child(dpi, "dpi0").dpiValue, "2000")
        compare(child(dpi, "dpiSegment").count, 8)
        dpi.init(true, false)
        compare(mouseSim.commands(), [])
    }

    function test_reportRate_data() {
        return [
            { tag: "553 1000Hz", model: { family: "553" }, row: 3, code: "01", rate: 1 },
            { tag: "553 125Hz", model: { family: "553" }, row: 0, code: "01", rate: 8 },
            { tag: "560 1000Hz", model: { family: "560" }, row: 3, code: "03", rate: 1 },
            { tag: "560 125Hz", model: { family: "560" }, row: 0, code: "03", rate: 8 }
        ]
    }
    // A rate is stored and sent as soon as it is chosen, and selected again on load.
    function test_reportRate(row) {
        const doc = open(row.model, { "mouse/reportRate": 1 })
        const list = child(doc, "reportRateLV")
        compare(list.textValue, "250Hz")
        choose(list, row.row)
        compare(storedNumber("mouse/reportRate"), row.row)
        compare(sentCodes(), [row.code])
        compare(mouseSim.memory().reportRate, row.rate)

        mouseSim.useModel(row.model)
        ui_View.setData("mouse/reportRate", row.row)
        child(doc, "reportRateRect").init(true)
        compare(list.currentSelect, row.row)
        compare(sentCodes(), [row.code])
        compare(mouseSim.memory().reportRate, row.rate)
    }
}
