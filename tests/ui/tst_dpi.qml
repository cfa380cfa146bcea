import QtQuick
import QtTest

// The DPI block and the report rate in the real main window on both families: what the controls
// show, what Save stores and what reaches the mouse's memory.
PageCase {
    name: "DpiAndReportRate"

    readonly property var m553: ({ family: "553" })
    readonly property var m560: ({ family: "560", isGun: true, isColorful: true })
    // The shipped stages; the sensor's code is value / 100 − 1, 0x80 a 553 stage that is off.
    readonly property var shipped: [400, 800, 1600, 3200, 4800, 6400, 8000, 12000]

    function test_edit_data() {
        const off = 0x80
        return [
            { tag: "553 two stages", model: m553, stages: 1, values: shipped, count: 2,
              codes: [3, 7, off, off, off, off, off, off] },
            { tag: "560 two stages", model: m560, stages: 1, values: shipped, count: 0x03,
              codes: [3, 7, 15, 31, 47, 63, 79, 119] },
            { tag: "553 knob top", model: m553, dy: 300, values: [400, 12000].concat(shipped.slice(2)),
              count: 3, codes: [3, 119, 15, off, off, off, off, off] },
            { tag: "553 knob bottom", model: m553, dy: -300, values: [400, 200].concat(shipped.slice(2)),
              count: 3, codes: [3, 1, 15, off, off, off, off, off] },
            // 800 stands at 12 on the 158-pixel track; 30 up is 3 + 39 pixels: 200 + 39 / 158 × 11800 ≈ 3113
            { tag: "560 knob up a little", model: m560, dy: 30, values: [400, 3100].concat(shipped.slice(2)),
              count: 0x07, codes: [3, 30, 15, 31, 47, 63, 79, 119] }
        ]
    }
    // Choosing a stage count or dragging a knob shows the result and only marks the block; Save
    // stores and sends the count and all eight values.
    function test_edit(row) {
        const doc = open(row.model, { "mouse/dpiCount": 4, "mouse/currentDpiCount": 3 })
        const dpi = child(doc, "dpiSettingMain")
        const list = child(dpi, "dpiSegment")
        compare([list.count, list.textValue], [4, "3"])
        if (row.stages !== undefined) {
            choose(list, row.stages)
            compare([0, 1, 2].map(k => child(dpi, "dpi" + k).visible && child(dpi, "dpiLabel" + k).visible),
                    [true, true, false])
        } else {
            dragBy(child(child(dpi, "dpi1"), "knob"), 6, 6, 0, -row.dy)
            compare(child(dpi, "dpiLabel1").text, String(row.values[1]))
        }
        verify(dpi.isSave)
        compare(mouseSim.commands(), [])

        save(doc)
        verify(!dpi.isSave)
        compare(storedList("mouse/dpiValueArray"), row.values)
        compare([].concat(held("dpiStageCount", 1, 100, 101)), [row.count])
        compare(held("dpiStageCodes", 1, 84, 92), row.codes)
    }

    // The stage the mouse reports is drawn in orange, the others in blue; 0 leaves the mark. The
    // reset image puts the factory values back, keeps the stage count, marks the block and sends
    // nothing; more stages than the block can show leave it untouched.
    function test_stageResetAndTooMany() {
        let doc = open(m553, { "mouse/dpiValueArray": Array(8).fill(1000), "mouse/currentDpiCount": 6 })
        let dpi = child(doc, "dpiSettingMain")
        doc.setCurrentDPI(3)
        doc.setCurrentDPI(0)
        compare([0, 1, 2, 3].map(k => Qt.colorEqual(child(dpi, "dpi" + k).colorS, doc.colorOrange)),
                [false, false, true, false])
        compare(child(dpi, "dpi7").dpiValue, "1000")
        mouseClick(child(dpi, "dpiReset"))
        compare([0, 1, 2, 3, 4, 5, 6, 7].map(k => Number(child(dpi, "dpi" + k).dpiValue)), shipped)
        compare([dpi.currentDpiCount, dpi.isSave, mouseSim.commands()], [6, true, []])

        doc = open(m553, { "mouse/dpiCount": 9 })
        dpi = child(doc, "dpiSettingMain")
        compare([child(dpi, "dpi0").dpiValue, child(dpi, "dpiSegment").count], ["2000", 8])
        dpi.init(true, false)
        compare(mouseSim.commands(), [])
    }

    function test_reportRate_data() {
        return [
            { tag: "553 1000Hz", model: m553, row: 3, code: "01", rate: 1 },
            { tag: "553 125Hz", model: m553, row: 0, code: "01", rate: 8 },
            { tag: "560 1000Hz", model: m560, row: 3, code: "03", rate: 1 },
            { tag: "560 125Hz", model: m560, row: 0, code: "03", rate: 8 }
        ]
    }
    // A rate is stored and sent as soon as it is chosen, and selected and sent again on load.
    function test_reportRate(row) {
        const doc = open(row.model, { "mouse/reportRate": 1 })
        const list = child(doc, "reportRateLV")
        compare(list.textValue, "250Hz")
        choose(list, row.row)
        compare(storedNumber("mouse/reportRate"), row.row)
        compare(Array.from(new Set(commandCodes())), [row.code])
        compare(mouseSim.memory().reportRate, row.rate)

        mouseSim.useModel(row.model)
        ui_View.setData("mouse/reportRate", row.row)
        child(doc, "reportRateRect").init(true)
        compare(list.currentSelect, row.row)
        compare(mouseSim.memory().reportRate, row.rate)
    }
}
