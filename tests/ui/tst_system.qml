import QtQuick
import QtTest

// The system setting page in the real main window: the host pointer settings it stores in the
// profile and hands to the rig's test pointer backend (never to the desktop).
PageCase {
    name: "SystemSetting"

    // The main window on a profile holding `profile` (key: value), with the page opened through
    // its button.
    function openPage(profile) {
        const doc = open({ family: "553" }, profile)
        mouseClick(child(doc, "systemSettingButton"))
        const page = child(doc, "systemSettingMain")
        verify(page.visible && child(doc, "mainMask").visible)
        compare([page.x, page.y], [(1024 - 416) / 2, (640 - 312) / 2])
        mouseSim.clearPointerCalls()
        return doc
    }
    function stored(key) { return storedNumber(key) }
    // A click on a slider's track at its far end; the knob glides there and then reports.
    function clickEnd(slider, right) {
        mouseClick(slider, right ? slider.width : 0, 3)
        tryCompare(child(slider, "knob"), "x", right ? 337 : 3)
    }
    function cleanup() {
        // Pointer settings never reach the mouse.
        compare(mouseSim.commands(), [])
    }

    // What the profile holds is what the page shows.
    function test_load() {
        const doc = openPage({ "mouse/mouseRate": 40, "mouse/doubleRate": 300, "mouse/scrollRate": 42 })
        const page = child(doc, "systemSettingMain")
        compare(child(child(page, "cursorSlider"), "knob").x, 40)
        compare(child(child(page, "doubleSlider"), "knob").x, 300)
        verify(child(page, "linesChoice").isSelect && !child(page, "screenChoice").isSelect)
        compare(child(page, "linesInput").text, "42")
        compare(mouseSim.pointerCalls(), [])
    }

    function test_slider_data() {
        return [
            { tag: "cursor fast", slider: "cursorSlider", key: "mouse/mouseRate", right: true, call: "cursorSpeed 20" },
            { tag: "cursor slow", slider: "cursorSlider", key: "mouse/mouseRate", right: false, call: "cursorSpeed 1" },
            { tag: "double-click fast", slider: "doubleSlider", key: "mouse/doubleRate", right: true, call: "doubleClick 200" },
            { tag: "double-click slow", slider: "doubleSlider", key: "mouse/doubleRate", right: false, call: "doubleClick 900" }
        ]
    }
    // A slider takes effect when it comes to rest, and only its own setting is sent.
    function test_slider(row) {
        const page = child(openPage({}), "systemSettingMain")
        clickEnd(child(page, row.slider), row.right)
        tryVerify(() => mouseSim.pointerCalls().length > 0)
        compare(mouseSim.pointerCalls(), [row.call])
        compare(stored(row.key), row.right ? 337 : 3)
    }

    // "Scroll One Screen" stores and sends 1000; loaded again it is selected and the lines box
    // keeps what it held.
    function test_oneScreen() {
        const doc = openPage({ "mouse/scrollRate": 7 })
        const page = child(doc, "systemSettingMain")
        mouseClick(child(page, "screenChoice"))
        verify(child(page, "screenChoice").isSelect && !child(page, "linesChoice").isSelect)
        compare(stored("mouse/scrollRate"), 1000)
        compare(mouseSim.pointerCalls(), ["wheelLines 1000"])

        page.init(false, false)
        verify(child(page, "screenChoice").isSelect && !child(page, "linesChoice").isSelect)
        compare(child(page, "linesInput").text, "7")

        mouseSim.clearPointerCalls()
        mouseClick(child(page, "linesChoice"))
        compare(stored("mouse/scrollRate"), 7)
        compare(mouseSim.pointerCalls(), ["wheelLines 7"])
    }

    function test_typedLines_data() {
        return [
            { tag: "number", keys: [Qt.Key_4, Qt.Key_2], lines: 42 },
            { tag: "zero", keys: [Qt.Key_0], lines: 1 },
            { tag: "empty", keys: [], lines: 1 },
            { tag: "hundred", keys: [Qt.Key_1, Qt.Key_0, Qt.Key_0], lines: 100 }
        ]
    }
    // The lines box settles when the user presses Enter: empty and 0 become 1.
    function test_typedLines(row) {
        const page = child(openPage({ "mouse/scrollRate": 3 }), "systemSettingMain")
        const input = child(page, "linesInput")
        mouseClick(input)
        verify(input.activeFocus)
        keyClick(Qt.Key_End)
        keyClick(Qt.Key_Backspace)
        for (const key of row.keys)
            keyClick(key)
        keyClick(Qt.Key_Return)
        verify(!input.activeFocus)
        compare(input.text, String(row.lines))
        compare(stored("mouse/scrollRate"), row.lines)
        compare(mouseSim.pointerCalls(), ["wheelLines " + row.lines])
    }

    // Reset loads the factory values (155, 155, 3) and sends all three.
    function test_reset() {
        const doc = openPage({ "mouse/mouseRate": 3, "mouse/doubleRate": 337, "mouse/scrollRate": 1000 })
        const page = child(doc, "systemSettingMain")
        mouseClick(child(page, "systemReset"))
        compare(mouseSim.pointerCalls().sort(), ["cursorSpeed 10", "doubleClick 550", "wheelLines 3"])
        compare([stored("mouse/mouseRate"), stored("mouse/doubleRate"), stored("mouse/scrollRate")],
                [155, 155, 3])
        compare(child(child(page, "cursorSlider"), "knob").x, 155)
        verify(child(page, "linesChoice").isSelect)
    }

    function test_drag_data() {
        return [
            { tag: "left", dx: -900, dy: 0, x: 0, y: 164 },
            { tag: "right", dx: 900, dy: 0, x: 1024 - 416, y: 164 },
            { tag: "up", dx: 0, dy: -900, x: 304, y: 0 },
            { tag: "down", dx: 0, dy: 900, x: 304, y: 640 - 312 },
            { tag: "inside", dx: 20, dy: -30, x: 324, y: 134 }
        ]
    }
    // The page follows the pointer and stops at the window's edges.
    function test_drag(row) {
        const doc = openPage({})
        const page = child(doc, "systemSettingMain")
        dragBy(page, 200, 20, row.dx, row.dy)
        compare([page.x, page.y], [row.x, row.y])
    }

    function test_close() {
        const doc = openPage({})
        const page = child(doc, "systemSettingMain")
        mouseClick(child(page, "systemClose"))
        verify(!page.visible && !child(doc, "mainMask").visible)
    }
}
