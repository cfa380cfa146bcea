import QtQuick
import QtTest

// The system setting page in the real main window: the host pointer settings it stores in the
// profile and hands to the rig's test pointer backend (never to the desktop, never to the mouse).
PageCase {
    name: "SystemSetting"

    function openSystem(profile) {
        const opened = openModal({ family: "553" }, profile, "systemSettingButton", "systemSettingMain")
        mouseSim.clearPointerCalls()
        return opened
    }
    // A click on a slider's track at its far end; the knob glides there and then reports.
    function clickEnd(page, name, right) {
        const slider = child(page, name)
        mouseClick(slider, right ? slider.width : 0, 3)
        tryCompare(child(slider, "knob"), "x", right ? 337 : 3)
    }
    // Types into the lines box what it holds without its last digit, then `keys`, then Enter.
    function typeLines(page, keys) {
        const input = child(page, "linesInput")
        mouseClick(input)
        keyClick(Qt.Key_End)
        keyClick(Qt.Key_Backspace)
        for (const key of keys)
            keyClick(key)
        keyClick(Qt.Key_Return)
        verify(!input.activeFocus)
    }
    function cleanup() { compare(mouseSim.commands(), []) }

    function test_edit_data() {
        return [
            { tag: "cursor fast", act: p => clickEnd(p, "cursorSlider", true), key: "mouse/mouseRate",
              value: 337, call: "cursorSpeed 20" },
            { tag: "cursor slow", act: p => clickEnd(p, "cursorSlider", false), key: "mouse/mouseRate",
              value: 3, call: "cursorSpeed 1" },
            { tag: "double-click fast", act: p => clickEnd(p, "doubleSlider", true), key: "mouse/doubleRate",
              value: 337, call: "doubleClick 200" },
            { tag: "double-click slow", act: p => clickEnd(p, "doubleSlider", false), key: "mouse/doubleRate",
              value: 3, call: "doubleClick 900" },
            { tag: "lines typed", act: p => typeLines(p, [Qt.Key_4, Qt.Key_2]), lines: "42", value: 42 },
            { tag: "lines 0", act: p => typeLines(p, [Qt.Key_0]), lines: "1", value: 1 },
            { tag: "lines empty", act: p => typeLines(p, []), lines: "1", value: 1 },
            { tag: "lines 100", act: p => typeLines(p, [Qt.Key_1, Qt.Key_0, Qt.Key_0]), lines: "100",
              value: 100 },
            { tag: "one screen", act: p => mouseClick(child(p, "screenChoice")), lines: "3", value: 1000 }
        ]
    }
    // A setting takes effect when the slider comes to rest or the box settles on Enter (empty and
    // 0 become 1); only that setting is stored and handed over.
    function test_edit(row) {
        const page = openSystem({ "mouse/scrollRate": 3 })[1]
        row.act(page)
        tryVerify(() => mouseSim.pointerCalls().length > 0)
        compare(mouseSim.pointerCalls(), [row.call ?? "wheelLines " + row.value])
        compare(storedNumber(row.key ?? "mouse/scrollRate"), row.value)
        if (row.lines)
            compare(child(page, "linesInput").text, row.lines)
    }

    // What the profile holds is what the page shows; "one screen" loaded keeps the lines count for
    // going back to lines; Reset loads and hands over the factory values; the page can be dragged
    // and closed.
    function test_journey() {
        const profile = { "mouse/mouseRate": 40, "mouse/doubleRate": 300, "mouse/scrollRate": 7 }
        const [doc, page] = openSystem(profile)
        compare([page.x, page.y], [(1024 - 416) / 2, (640 - 312) / 2])
        compare(child(child(page, "cursorSlider"), "knob").x, 40)
        compare(child(child(page, "doubleSlider"), "knob").x, 300)
        verify(child(page, "linesChoice").isSelect && !child(page, "screenChoice").isSelect)
        compare(child(page, "linesInput").text, "7")
        compare(mouseSim.pointerCalls(), [])

        mouseClick(child(page, "screenChoice"))
        page.init(false, false)
        verify(child(page, "screenChoice").isSelect && !child(page, "linesChoice").isSelect)
        compare(child(page, "linesInput").text, "7")
        mouseSim.clearPointerCalls()
        mouseClick(child(page, "linesChoice"))
        compare(storedNumber("mouse/scrollRate"), 7)
        compare(mouseSim.pointerCalls(), ["wheelLines 7"])

        mouseSim.clearPointerCalls()
        mouseClick(child(page, "systemReset"))
        compare(mouseSim.pointerCalls().sort(), ["cursorSpeed 10", "doubleClick 550", "wheelLines 3"])
        compare(["mouse/mouseRate", "mouse/doubleRate", "mouse/scrollRate"].map(storedNumber), [155, 155, 3])
        compare(child(child(page, "cursorSlider"), "knob").x, 155)
        verify(child(page, "linesChoice").isSelect)

        dragBy(page, 200, 20, 20, -30)
        compare([page.x, page.y], [324, 134])
        mouseClick(child(page, "systemClose"))
        verify(!page.visible && !child(doc, "mainMask").visible)
    }
}
