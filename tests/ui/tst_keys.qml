import QtQuick
import QtTest

// The button assignment: the key list, the mouse picture and the assignment page inside the root
// document, against the real view, stores and virtual mouse. Functions are chosen through the
// page's controls; Save must leave the chosen codes in the profile and their device form in the
// mouse's key matrix.
PageCase {
    readonly property var english: ({ "common/language": "English" })
    readonly property var macroNames: ["Burst", "Reload"]

    name: "Keys"

    // The root document with two macros in the page's list.
    function openKeys(model) {
        doc = open(Object.assign({ config: english }, model), {}, () => {
            for (const name of macroNames)
                ui_View.createMacroIni(name, 0)
            ui_View.updataNameList(0, macroNames)
        })
        page = item("keyAssigmentMain")
        page.macroList.addData(macroNames, false)
        // the lists place their rows when the first frame is drawn
        waitForRendering(doc)
    }
    function keys() { return item("keyMatrixMain") }
    function selected() { return item("mouseMain").selectKey }
    // The four codes of the page or of a list entry.
    function codesOf(o) { return [o.keyCode0, o.keyCode1, o.keyCode2, o.keyCode3] }
    // The codes and the text of the list's entry i.
    function entry(i) {
        const e = keys().modKeys.get(i)
        return [codesOf(e), e.keyText]
    }
    function stored(i) { return storedList("mouseKeyMatrix/" + i) }
    function storedMatrix() { return Array.from({ length: 16 }, (_, i) => stored(i)) }
    function factoryMatrix() {
        return Array.from({ length: 16 }, (_, i) => ui_View.mouseGetKeydefine(i, true).map(Number))
    }
    function matrix(n) { return mouseSim.memory().keyMatrices[n - 1] }
    function shown() { return page.visible && item("mainMask").visible }

    function settle(dropDown) { tryCompare(child(dropDown, "panel"), "running", false) }
    // Scrolls the page's content so that its item `name` stands near the top of the visible area.
    function reveal(name) {
        const control = child(page, name)
        page.scrollTo(control.mapToItem(child(page, "assignContent"), 0, 0).y - 8)
        return control
    }
    function openDropDown(name) {
        const control = reveal(name)
        mouseClick(control)
        settle(control)
        return control
    }
    // Steps besides PageCase's: ["open", button] through the button's tag on the picture, ["close"],
    // ["pick", name] on the page's controls (scrolled to first), keys typed into a field.
    steps: ({
        open: button => {
            mouseClick(item("mouseTag" + button))
            verify(shown())
        },
        close: () => {
            mouseClick(item("assignClose"))
            verify(!page.visible)
        },
        pick: name => mouseClick(reveal(name)),
        cell: (name, i) => {
            const grid = openDropDown(name)
            mouseClick(grid, (i % 3 + 0.5) * grid.width, 24 * (1 + Math.floor(i / 3)) + 12)
            settle(grid)
            verify(!grid.isDrop)
        },
        // the knob to position p, which stands for p + 1 ms
        rate: p => {
            const rate = openDropDown("fireRate")
            mouseClick(rate.sliderControl, p + 6, rate.sliderControl.height / 2)
            tryCompare(rate, "textValue", (p + 1) + "ms")
        },
        times: text => typeInto(reveal("fireTimes"), text),
        macro: i => {
            choose(reveal("macroList"), i)
            tryCompare(page, "keyString", macroNames[i])
        },
        keys: (name, codes) => {
            mouseClick(reveal(name))
            for (const code of codes)
                run([["down", code], ["up", code]])
        }
    })
    // The fire period of the gun the gun page holds in slot 1 … 3; 0 while it offers none.
    function slotPeriod(slot) {
        const guns = item("gunControlMain")
        const gun = guns.gunNumberModel ? guns.gunNumberModel.get(guns["selectGun" + slot]) : null
        return gun ? Number(gun.gunPeriod) & 0xFF : 0
    }

    // Every class through the page's controls: what the profile stores, what the list shows (also
    // read again from the profile), and that Save sends the key matrix (tst_view holds the device
    // form of every class on both families).
    function test_assign_data() {
        const fire = code => ["keys", "fireKeyField", [code]]
        const pick = name => ["pick", name]
        // An empty cell closes the grid and applies its chosen item again (or the first).
        const empty = (grid, i, cell) => [["cell", grid, i], pick("mouseFunction3"), ["cell", grid, cell]]
        return [
            ["mouse right", 3, [pick("mouseFunction2")], [0, 0, 0xF1, 0], "Right Key"],
            ["double fire", 4, [pick("mouseFunction5")], [0, 0xF0, 0x1E, 2], "Double Fire"],
            ["fire, defaults", 1, [fire(0x05)], [1, 0x05, 10, 0], "B"],
            ["fire", 1, [["rate", 29], ["times", "3"], fire(0x04)], [1, 0x04, 30, 3], "A"],
            ["fire endless, rate last", 2, [["times", "7"], fire(0x29), pick("fireEndless"), ["rate", 60]],
             [1, 0x29, 61, 0], "Esc"],
            // modifiers as bits and the first two other keys; every key is shown until it is stored
            ["combination", 2, [["keys", "comboField", [0xE0, 0xE1, 0x04, 0x05, 0x07]], pick("comboOk")],
             [2, 3, 4, 5], "LCtrl + LShift + A + B + D", "LCtrl+LShift+A+B"],
            ["media", 3, [["cell", "mediaGrid", 5]], [3, 0, 0xCD, 0], "Play/Pause"],
            ["macro", 2, [pick("macroMode1"), ["macro", 1]], [4, 1, 2, 0], "Reload"],
            ["dpi loop", 6, [pick("dpiFunction2")], [5, 0, 3, 0], "DPI Loop"],
            ["sniper", 5, [pick("dpiFunction3")], [5, 0, 4, 0], "Sniper Key"],
            ["system browser", 6, [["cell", "systemGrid", 0]], [6, 0, 0x94, 1], "My PC"],
            ["shortcut", 7, [["cell", "shortcutGrid", 2]], [7, 0, 0xE0, 6], "Copy"],
            ["gun", 4, [pick("gunFunction1")], [8, 0, 2, 0], "Gun 2"],
            ["media empty", 1, empty("mediaGrid", 2, 8), [3, 0, 0xB6, 0], "Previous"],
            ["system empty", 1, empty("systemGrid", 4, 7), [6, 4, 0x2C, 0x11], "Minimize"],
            ["shortcut empty", 1, empty("shortcutGrid", 9, 11), [7, 0, 0xE0, 4], "Select All"],
            ["shortcut first empty", 1, [["cell", "shortcutGrid", 10]], [7, 0, 0xE0, 0x11], "New"]
        ].map(([tag, button, steps, codes, text, storedText]) =>
              ({ tag, button, steps, codes, text, storedText }))
    }
    function test_assign(row) {
        openKeys({ family: "553", isGun: true })
        run([["open", row.button]])
        compare(selected(), row.button)
        run(row.steps)
        compare([codesOf(page), page.keyString, keys().isSave], [row.codes, row.text, false])
        run([["close"]])
        compare([keys().isSave, selected(), entry(row.button)], [true, -1, [row.codes, row.text]])

        save()
        verify(!keys().isSave)
        compare(storedMatrix(), factoryMatrix().map((codes, i) => i === row.button ? row.codes : codes))
        const gun = row.codes[0] === 8
        compare(commandCodes().filter(c => c === "12").length, gun ? 4 : 1)
        // the gun matrices carry the fire periods of the slotted guns in their first entry
        for (const n of gun ? [2, 3, 4] : [])
            compare(matrix(n).slice(0, 4), [0x0B, n - 2, slotPeriod(n - 1), 0])
        keys().init(false, false)
        compare(entry(row.button)[1], row.storedText ?? row.text)
    }

    // Another macro on a macro button is a change. What leaves the choice as it was is none:
    // the same macro while the macro list shows another, the macro editor opened over the page, a
    // key while nothing waits for one, an empty or a cancelled capture, a release or a key without a
    // label as the fire key. Nothing is then marked unsaved or sent. Then the resets: the page's
    // reset image gives the button its factory function, the list's gives every button.
    function test_noChangeThenResets() {
        openKeys({ family: "560" })
        for (const [button, macro] of [[2, 0], [2, 1], [3, 0]]) {
            run([["open", button], ["macro", macro], ["close"]])
            compare([keys().isSave, entry(button)[1]], [true, macroNames[macro]])
            compare(ui_View.getData("mouseMacroKey/" + button, false), macroNames[macro])
            save()
        }
        mouseSim.clearTrace()
        run([["open", 2]])
        compare(page.keyString, "Reload")
        const editor = item("macroEditorMain")
        run([["pick", "macroEditorButton"]])
        verify(editor.visible && shown() && editor.z > page.z)
        compare([editor.x, editor.y], [(1024 - editor.width) / 2, (640 - editor.height) / 2])
        mouseClick(child(editor, "macroCloseButton"))
        verify(!editor.visible && page.visible)
        tryCompare(item("mainMask"), "visible", true)
        run([["close"]])
        verify(!item("mainMask").visible)

        run([["open", 1], ["down", 0x04], ["keys", "comboField", []], ["pick", "comboOk"],
             ["keys", "comboField", [0xE0, 0x04]], ["pick", "comboCancel"]])
        verify(!page.isComboInput)
        run([["pick", "fireKeyField"], ["up", 0x05], ["down", 0x01]])
        compare([page.isFireInput, codesOf(page)], [true, [0, 0, 0xF1, 0]])
        // closing ends a capture that is still waiting
        run([["close"]])
        compare([page.isFireInput, keys().isSave], [false, false])
        save()
        compare(mouseSim.commands(), [])

        run([["open", 3], ["pick", "dpiFunction0"], ["close"], ["open", 4], ["cell", "mediaGrid", 0],
             "assignReset"])
        compare([codesOf(page), page.keyString, keys().isSave], [[0, 0, 0xF3, 0], "Back Key", true])
        run([["close"]])
        compare([entry(4)[0], entry(3)[0]], [[0, 0, 0xF3, 0], [5, 0, 1, 0]])
        run([["save"], "keyMatrixReset"])
        compare([keys().isSave, entry(3)], [true, [[0, 0, 0xF4, 0], "Forward Key"]])
        mouseSim.clearTrace()
        save()
        compare([stored(3), storedMatrix(), commandCodes()], [[0, 0, 0xF4, 0], factoryMatrix(), ["0d"]])
    }

    // The list and the picture show keyCount buttons, each with the profile's function. A tag
    // closes the main screen's open lists before the page opens. Hovering a row lights the button
    // on the picture; the row opens the page centred, with its function in the title. The only
    // button left that does a left click cannot be opened, from the picture or the list. Without
    // the gun features the page hides its gun section and keeps its height.
    function test_layout_data() {
        return [{ tag: "six, gun", count: 6, family: "553", isGun: true },
                { tag: "eight, plain", count: 8, family: "560", isGun: false }]
    }
    function test_layout(row) {
        const config = Object.assign({ "mouse/keyCount": row.count }, english)
        openKeys({ family: row.family, isGun: row.isGun, config: config })
        const texts = ["Left Key", "Right Key", "Middle Key", "Forward Key", "Back Key", "DPI+", "DPI-",
                       "Double Fire"]
        compare(texts.map((t, i) => entry(i)[1]), texts)
        compare(item("mouseMain").keyCount, row.count)
        // [row shown, tag shown] for each of the 16 buttons
        const want = Array.from({ length: 16 }, (_, i) => [i < row.count, i < row.count])
        compare(want.map((_, i) => [item("keyRow" + i).visible, findChild(doc, "mouseTag" + i) !== null]), want)

        const rates = item("reportRateLV")
        const keyRow = item("keyRow5")
        mouseClick(rates)
        settle(rates)
        run([["open", 2]])
        tryCompare(rates, "isDrop", false)
        run([["close"]])
        mouseMove(keyRow, 10, 10)
        compare([selected(), keyRow.color], [5, doc.colorOrange])
        mouseMove(doc, 600, 600)
        compare(selected(), -1)
        mouseClick(keyRow)
        compare([shown(), page.keyString, page.x, page.y], [true, "DPI+", (1024 - 416) / 2, (640 - 404) / 2])
        mouseMove(doc, 600, 600)
        compare(selected(), 5)
        run([["close"], "mouseTag0"])
        compare([page.visible, item("mainMask").visible, selected()], [false, false, -1])
        run(["keyRow0"])
        verify(!page.visible)
        // the left click moves from button 0 to button 1
        run([["open", 1], ["pick", "mouseFunction0"], ["close"], ["open", 0], ["pick", "mouseFunction2"],
             ["close"], "mouseTag1"])
        verify(!page.visible)

        run([["open", 2]])
        compare([child(page, "gunSection").visible, child(page, "assignContent").height], [row.isGun, 830])
        // the content scrolls with the wheel and the scroll bar and stops at its ends
        const bar = child(page, "assignScrollBar")
        page.scrollTo(0)
        compare(bar.y, 42)
        mouseWheel(page, 200, 200, 0, -120)
        verify(page.contentY > 0)
        mouseDrag(bar, 6, 10, 0, 400)
        compare([page.contentY, bar.y + bar.height], [830 - 360, 41 + 360])
        mouseDrag(bar, 6, 10, 0, -400)
        compare(page.contentY, 0)
        mouseWheel(page, 200, 200, 0, 120)
        compare(page.contentY, 0)
    }
}
