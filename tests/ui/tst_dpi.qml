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
        const rest = shipped.slice(2)
        return [
            ["553 two stages", m553, 1, shipped, 2, [3, 7, off, off, off, off, off, off]],
            ["560 two stages", m560, 1, shipped, 0x03, [3, 7, 15, 31, 47, 63, 79, 119]],
            ["553 knob top", m553, -300, [400, 12000].concat(rest), 3, [3, 119, 15, off, off, off, off, off]],
            ["553 knob bottom", m553, 300, [400, 200].concat(rest), 3, [3, 1, 15, off, off, off, off, off]],
            // 800 stands at 12 on the 158-pixel track; 30 up is 3 + 39 pixels: 200 + 39 / 158 × 11800 ≈ 3113
            ["560 knob up a little", m560, -30, [400, 3100].concat(rest), 0x07,
             [3, 30, 15, 31, 47, 63, 79, 119]]
        ].map(([tag, model, edit, values, count, codes]) => ({ tag, model, edit, values, count, codes }))
    }
    // Choosing a stage count (edit 1) or dragging a knob (edit: dy) shows the result and only marks
    // the block; Save stores and sends the count and all eight values.
    function test_edit(row) {
        const doc = open(row.model, { "mouse/dpiCount": 4, "mouse/currentDpiCount": 3 })
        const dpi = child(doc, "dpiSettingMain")
        const list = child(dpi, "dpiSegment")
        compare([list.count, list.textValue], [4, "3"])
        if (row.edit === 1) {
            choose(list, 1)
            compare([0, 1, 2].map(k => child(dpi, "dpi" + k).visible && child(dpi, "dpiLabel" + k).visible),
                    [true, true, false])
        } else {
            dragBy(child(child(dpi, "dpi1"), "knob"), 6, 6, 0, row.edit)
            compare(child(dpi, "dpiLabel1").text, String(row.values[1]))
        }
        compare([dpi.isSave, mouseSim.commands()], [true, []])
        save()
        compare([dpi.isSave, storedList("mouse/dpiValueArray")], [false, row.values])
        // only the changed block goes out, in its own command
        compare(Array.from(new Set(commandCodes())), [row.model.family === "560" ? "0c" : "11"])
        compare([[].concat(held("dpiStageCount", 1, 100, 101)), held("dpiStageCodes", 1, 84, 92)],
                [[row.count], row.codes])
    }

    // The stage the mouse reports is drawn in orange, the others in blue; 0 leaves the mark. The
    // reset image puts the factory values back, keeps the stage count, marks the block and sends
    // nothing; more stages than the block can show leave it untouched.
    function test_stageResetAndTooMany() {
        let doc = open(m553, { "mouse/dpiValueArray": Array(8).fill(1000), "mouse/currentDpiCount": 6 })
        let dpi = child(doc, "dpiSettingMain")
        const stage = k => child(dpi, "dpi" + k)
        doc.setCurrentDPI(3)
        doc.setCurrentDPI(0)
        compare([0, 1, 2, 3].map(k => Qt.colorEqual(stage(k).colorS, doc.colorOrange)),
                [false, false, true, false])
        compare(stage(7).dpiValue, "1000")
        mouseClick(child(dpi, "dpiReset"))
        compare([0, 1, 2, 3, 4, 5, 6, 7].map(k => Number(stage(k).dpiValue)), shipped)
        compare([dpi.currentDpiCount, dpi.isSave, mouseSim.commands()], [6, true, []])

        doc = open(m553, { "mouse/dpiCount": 9 })
        dpi = child(doc, "dpiSettingMain")
        compare([stage(0).dpiValue, child(dpi, "dpiSegment").count], ["2000", 8])
        dpi.init(true, false)
        compare(mouseSim.commands(), [])
    }

    function test_reportRate_data() {
        return [["553 1000Hz", m553, 3, "01", 1], ["553 125Hz", m553, 0, "01", 8],
                ["560 1000Hz", m560, 3, "03", 1], ["560 125Hz", m560, 0, "03", 8]]
            .map(([tag, model, row, code, rate]) => ({ tag, model, row, code, rate }))
    }
    // A rate is stored and sent as soon as it is chosen. (tst_ctl_handover has a profile switch
    // select and send the new profile's rate in the window.)
    function test_reportRate(row) {
        const list = child(open(row.model, { "mouse/reportRate": 1 }), "reportRateLV")
        compare(list.textValue, "250Hz")
        choose(list, row.row)
        compare([storedNumber("mouse/reportRate"), mouseSim.memory().reportRate], [row.row, row.rate])
        compare(Array.from(new Set(commandCodes())), [row.code])
    }
}
