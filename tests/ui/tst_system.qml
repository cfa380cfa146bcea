import QtQuick
import QtTest

// The system setting page in the real main window: the host pointer settings it stores in the
// profile and hands to the rig's test pointer backend (never to the desktop, never to the mouse).
PageCase {
    name: "SystemSetting"

    function openSystem(profile) {
        return openModal({ family: "553" }, profile, "systemSettingButton", "systemSettingMain")
    }
    // A click on a slider's track at its far end; the knob glides there and then reports.
    function clickEnd(page, name, right) {
        const slider = child(page, name)
        mouseClick(slider, right ? slider.width : 0, 3)
        tryCompare(child(slider, "knob"), "x", right ? 337 : 3)
    }
    // Types into the lines box what it holds without its last digit, then `typed`, then Enter.
    function typeLines(page, typed) {
        const input = child(page, "linesInput")
        mouseClick(input)
        keyClick(Qt.Key_End)
        keyClick(Qt.Key_Backspace)
        type(typed)
        verify(!input.activeFocus)
    }
    function knobX(page, name) { return child(child(page, name), "knob").x }
    function cleanup() { compare(mouseSim.commands(), []) }

    function test_edit_data() {
        const slide = (name, right) => p => clickEnd(p, name, right)
        const lines = typed => p => typeLines(p, typed)
        return [
            ["cursor fast", slide("cursorSlider", true), "mouse/mouseRate", 337, "cursorSpeed 20"],
            ["cursor slow", slide("cursorSlider", false), "mouse/mouseRate", 3, "cursorSpeed 1"],
            ["double-click fast", slide("doubleSlider", true), "mouse/doubleRate", 337, "doubleClick 200"],
            ["double-click slow", slide("doubleSlider", false), "mouse/doubleRate", 3, "doubleClick 900"],
            ["lines typed", lines("42"), "mouse/scrollRate", 42, "wheelLines 42", "42"],
            ["lines empty", lines(""), "mouse/scrollRate", 1, "wheelLines 1", "1"],
            ["lines 100", lines("100"), "mouse/scrollRate", 100, "wheelLines 100", "100"],
            ["one screen", p => mouseClick(child(p, "screenChoice")), "mouse/scrollRate", 1000,
             "wheelLines 1000", "3"]
        ].map(([tag, act, key, value, call, lines]) => ({ tag, act, key, value, call, lines }))
    }
    // A setting takes effect when the slider comes to rest or the box settles on Enter (empty becomes
    // 1; tst_ui_controls holds the box to its least); only that setting is stored and handed over.
    function test_edit(row) {
        const page = openSystem({ "mouse/scrollRate": 3 })[1]
        row.act(page)
        tryVerify(() => mouseSim.pointerCalls().length > 0)
        compare([mouseSim.pointerCalls(), storedNumber(row.key)], [[row.call], row.value])
        if (row.lines)
            compare(child(page, "linesInput").text, row.lines)
    }

    // What the profile holds is what the page shows; "one screen" loaded keeps the lines count for
    // going back to lines; Reset loads and hands over the factory values; the page closes.
    function test_journey() {
        const [doc, page] = openSystem({ "mouse/mouseRate": 40, "mouse/doubleRate": 300,
                                         "mouse/scrollRate": 7 })
        const linesShown = () => [child(page, "linesChoice").isSelect, child(page, "screenChoice").isSelect,
                                  child(page, "linesInput").text]
        compare([page.x, page.y, knobX(page, "cursorSlider"), knobX(page, "doubleSlider")], [304, 164, 40, 300])
        compare(linesShown(), [true, false, "7"])
        mouseClick(child(page, "screenChoice"))
        page.init(false, false)
        compare(linesShown(), [false, true, "7"])
        mouseSim.clearPointerCalls()
        mouseClick(child(page, "linesChoice"))
        compare([storedNumber("mouse/scrollRate"), mouseSim.pointerCalls()], [7, ["wheelLines 7"]])

        mouseSim.clearPointerCalls()
        mouseClick(child(page, "systemReset"))
        compare(mouseSim.pointerCalls().sort(), ["cursorSpeed 10", "doubleClick 550", "wheelLines 3"])
        compare(["mouse/mouseRate", "mouse/doubleRate", "mouse/scrollRate"].map(storedNumber), [155, 155, 3])
        compare([knobX(page, "cursorSlider"), child(page, "linesChoice").isSelect], [155, true])
        mouseClick(child(page, "systemClose"))
        verify(!page.visible && !child(doc, "mainMask").visible)
    }
}
