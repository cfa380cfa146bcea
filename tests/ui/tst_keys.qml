import QtQuick
import QtTest

// The button assignment: the key list, the mouse picture and the assignment page inside the root
// document, against the real view, stores and virtual mouse. Functions are chosen through the
// page's controls; Save must leave the chosen codes in the profile and their device form in the
// mouse's key matrix.
PageCase {
    readonly property var english: ({ "common/language": "English" })
    // The shipped factory matrix as the mouse holds it after Save, entry by entry.
    readonly property var factoryDevice: [
        [0x01, 0, 0xF0, 0], [0x01, 0, 0xF1, 0], [0x01, 0, 0xF2, 0], [0x01, 0, 0xF4, 0],
        [0x01, 0, 0xF3, 0], [0x07, 0, 1, 0], [0x07, 0, 2, 0], [0x0A, 0xF0, 0x1E, 0x02],
        [0x01, 0, 0, 0], [0x01, 0, 0, 0], [0x01, 0, 0, 0], [0x01, 0, 0, 0], [0x01, 0, 0, 0],
        [0x01, 0, 0, 0], [0x04, 0, 1, 0], [0x04, 0, 2, 0]
    ]
    readonly property var macroNames: ["Burst", "Reload"]

    name: "Keys"

    // The root document with two macros in the page's list.
    function openKeys(model) {
        const doc = open(Object.assign({ config: english }, model), {}, () => {
            for (const name of macroNames)
                ui_View.createMacroIni(name, 0)
            ui_View.updataNameList(0, macroNames)
        })
        child(doc, "keyAssigmentMain").macroList.addData(macroNames, false)
        mouseSim.clearTrace()
        // the lists place their rows when the first frame is drawn
        waitForRendering(doc)
        return doc
    }
    function keys(doc) { return child(doc, "keyMatrixMain") }
    function entry(doc, i) {
        const e = keys(doc).modKeys.get(i)
        return [e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3]
    }
    function stored(i) { return storedList("mouseKeyMatrix/" + i) }
    function matrix(n) { return mouseSim.memory().keyMatrices[n - 1] }
    function flat(entries) {
        const bytes = []
        for (const e of entries)
            bytes.push(...e)
        return bytes
    }

    // Opens the page through the button's tag on the mouse picture.
    function openPage(doc, button) {
        mouseClick(child(doc, "mouseTag" + button))
        const page = child(doc, "keyAssigmentMain")
        verify(page.visible)
        verify(child(doc, "mainMask").visible)
        return page
    }
    function closePage(doc) {
        mouseClick(child(doc, "assignClose"))
        verify(!child(doc, "keyAssigmentMain").visible)
    }

    // Scrolls the page's content so that item stands near the top of the visible area.
    function reveal(page, item) {
        page.scrollTo(item.mapToItem(child(page, "assignContent"), 0, 0).y - 8)
        return item
    }
    function click(page, name) { mouseClick(reveal(page, child(page, name))) }

    // The sliding part of a drop-down; clicks count only once it has stopped.
    function settle(dropDown) {
        for (let i = 0; i < dropDown.children.length; ++i) {
            const part = dropDown.children[i]
            if (part.running !== undefined)
                tryVerify(() => !part.running)
        }
    }
    function chooseCell(page, gridName, cell) {
        const grid = reveal(page, child(page, gridName))
        mouseClick(grid)
        settle(grid)
        mouseClick(grid, (cell % 3 + 0.5) * grid.width, 24 * (1 + Math.floor(cell / 3)) + 12)
        settle(grid)
        verify(!grid.isDrop)
    }
    function chooseMacro(page, row) {
        choose(reveal(page, child(page, "macroList")), row)
        tryCompare(page, "keyString", macroNames[row])
        compare(page.keyCode0, 4)
    }
    function typeFireKey(doc, page, usbCode) {
        click(page, "fireKeyField")
        verify(page.isFireInput)
        doc.detectKeyboard(true, usbCode)
        doc.detectKeyboard(false, usbCode)
        verify(!page.isFireInput)
    }
    // The rate slider's knob to position x, which stands for x + 1 ms.
    function chooseRate(page, x) {
        const rate = reveal(page, child(page, "fireRate"))
        mouseClick(rate)
        settle(rate)
        mouseClick(rate.sliderControl, x + 6, rate.sliderControl.height / 2)
        tryCompare(rate, "textValue", (x + 1) + "ms")
    }
    function typeTimes(page, text) { typeInto(reveal(page, child(page, "fireTimes")), text) }
    function typeCombination(doc, page, usbCodes) {
        click(page, "comboField")
        verify(page.isComboInput)
        for (const code of usbCodes) {
            doc.detectKeyboard(true, code)
            doc.detectKeyboard(false, code)
        }
    }

    // Every class through the page's controls, on both families: what the profile stores, what the
    // list shows and what the mouse's key matrix holds after Save.
    function test_assign_data() {
        const classes = [
            { tag: "mouse right", button: 3, codes: [0, 0, 0xF1, 0], text: "Right Key",
              act: (doc, page) => click(page, "mouseFunction2"), device: [0x01, 0, 0xF1, 0] },
            { tag: "double fire", button: 4, codes: [0, 0xF0, 0x1E, 2], text: "Double Fire",
              act: (doc, page) => click(page, "mouseFunction5"), device: [0x0A, 0xF0, 0x1E, 2] },
            { tag: "fire", button: 1, codes: [1, 0x04, 30, 3], text: "A",
              act: (doc, page) => {
                  chooseRate(page, 29)
                  typeTimes(page, "3")
                  verify(!child(page, "fireEndless").isSelect)
                  typeFireKey(doc, page, 0x04)
              }, device: [0x0A, 0x04, 30, 3] },
            { tag: "fire, endless, rate after the key", button: 2, codes: [1, 0x29, 61, 0], text: "Esc",
              act: (doc, page) => {
                  typeTimes(page, "7")
                  typeFireKey(doc, page, 0x29)
                  compare(page.keyCode3, 7)
                  click(page, "fireEndless")
                  chooseRate(page, 60)
              }, device: [0x0A, 0x29, 61, 0] },
            { tag: "combination", button: 2, codes: [2, 0x05, 0x06, 0], text: "LCtrl + LAlt + C",
              act: (doc, page) => {
                  typeCombination(doc, page, [0xE0, 0xE2, 0x06])
                  click(page, "comboOk")
              }, device: [0x00, 0x05, 0x06, 0] },
            { tag: "media", button: 3, codes: [3, 0, 0xCD, 0], text: "Play/Pause",
              act: (doc, page) => chooseCell(page, "mediaGrid", 5), device: [0x03, 0, 0xCD, 0] },
            { tag: "macro", button: 2, codes: [4, 1, 2, 0], text: "Reload",
              act: (doc, page) => {
                  click(page, "macroMode1")
                  chooseMacro(page, 1)
              }, device: [0x09, 1, 3, 0] },
            { tag: "dpi loop", button: 6, codes: [5, 0, 3, 0], text: "DPI Loop",
              act: (doc, page) => click(page, "dpiFunction2"), device: [0x07, 0, 3, 0] },
            { tag: "sniper", button: 5, codes: [5, 0, 4, 0], text: "Sniper Key",
              act: (doc, page) => click(page, "dpiFunction3"),
              device: [0x07, 0, 4, 1], device560: [0x0B, 0, 1, 1] },
            { tag: "system browser", button: 6, codes: [6, 0, 0x94, 1], text: "My PC",
              act: (doc, page) => chooseCell(page, "systemGrid", 0), device: [0x03, 0, 0x94, 1] },
            { tag: "system desktop", button: 6, codes: [6, 0, 0xE3, 7], text: "Desktop",
              act: (doc, page) => chooseCell(page, "systemGrid", 5), device: [0x00, 0, 0xE3, 7] },
            { tag: "shortcut", button: 7, codes: [7, 0, 0xE0, 6], text: "Copy",
              act: (doc, page) => chooseCell(page, "shortcutGrid", 2), device: [0x00, 0, 0xE0, 6] },
            { tag: "gun", button: 4, codes: [8, 0, 2, 0], text: "Gun 2", gun: true,
              act: (doc, page) => click(page, "gunFunction1"),
              device: [0x08, 0, 1, 1], device560: [0x08, 0, 1, 0] }
        ]
        const rows = []
        for (const family of ["553", "560"]) {
            for (const c of classes)
                rows.push(Object.assign({}, c, { tag: family + " " + c.tag, family: family,
                                                 device: family === "560" && c.device560 ? c.device560 : c.device }))
        }
        return rows
    }
    function test_assign(row) {
        const doc = openKeys({ family: row.family, isGun: true })
        const page = openPage(doc, row.button)
        compare(mouseMain(doc).selectKey, row.button)
        row.act(doc, page)
        compare([page.keyCode0, page.keyCode1, page.keyCode2, page.keyCode3], row.codes)
        compare(page.keyString, row.text)
        verify(!keys(doc).isSave)
        closePage(doc)
        verify(keys(doc).isSave)
        compare(mouseMain(doc).selectKey, -1)
        compare(entry(doc, row.button), row.codes)

        save(doc)
        verify(!keys(doc).isSave)
        compare(stored(row.button), row.codes)
        for (let i = 0; i < 16; ++i) {
            if (i !== row.button)
                compare(stored(i), ui_View.mouseGetKeydefine(i, true).map(Number), "entry " + i)
        }
        const expected = factoryDevice.slice()
        expected[row.button] = row.device
        compare(matrix(1), flat(expected))
        compare(commandCodes().filter(c => c === "12" || c === "0d").length, row.gun ? 4 : 1)
        if (row.gun) {
            // the gun matrices carry the fire periods of the slotted guns in their first entry
            for (let n = 2; n <= 4; ++n)
                compare(matrix(n).slice(0, 4), [0x0B, n - 2, slotPeriod(doc, n - 1), 0])
        }
        compare(keys(doc).modKeys.get(row.button).keyText, row.text)
    }
    // The fire period of the gun the gun page holds in slot 1 … 3; 0 while it offers none.
    function slotPeriod(doc, slot) {
        const guns = child(doc, "gunControlMain")
        return guns.gunNumberModel ? Number(guns.gunNumberModel.get(guns["selectGun" + slot]).gunPeriod) & 0xFF : 0
    }
    function mouseMain(doc) { return child(doc, "mouseMain") }

    // A combination takes modifiers as bits and the first two other keys; every key is shown.
    function test_combinationKeepsTwoKeys() {
        const doc = openKeys({ family: "553" })
        const page = openPage(doc, 1)
        typeCombination(doc, page, [0xE0, 0xE1, 0x04, 0x05, 0x07])
        compare(page.combo.text, "LCtrl + LShift + A + B + D")
        click(page, "comboOk")
        compare([page.keyCode0, page.keyCode1, page.keyCode2, page.keyCode3], [2, 0x03, 0x04, 0x05])
        compare(page.keyString, "LCtrl + LShift + A + B + D")
        closePage(doc)
        save(doc)
        compare(stored(1), [2, 0x03, 0x04, 0x05])
        compare(matrix(1).slice(4, 8), [0x00, 0x03, 0x04, 0x05])
        // the list shows the stored codes once the profile is read again
        keys(doc).init(false, false)
        compare(keys(doc).modKeys.get(1).keyText, "LCtrl+LShift+A+B")
    }

    // An empty capture, and a cancelled one, leave the choice as it was.
    function test_combinationEmptyOrCancelled() {
        const doc = openKeys({ family: "553" })
        const page = openPage(doc, 1)
        typeCombination(doc, page, [])
        click(page, "comboOk")
        verify(!page.isComboInput)
        compare(page.keyCode0, 0)
        typeCombination(doc, page, [0xE0, 0x04])
        click(page, "comboCancel")
        verify(!page.isComboInput)
        compare([page.keyCode0, page.keyCode2], [0, 0xF1])
        closePage(doc)
        verify(!keys(doc).isSave)
    }

    // Opening and closing the page without a change marks nothing unsaved and sends nothing, also
    // for a button that runs a macro while the macro list shows another one.
    function test_closeWithoutChange() {
        const doc = openKeys({ family: "560" })
        let page = openPage(doc, 4)
        closePage(doc)
        verify(!keys(doc).isSave)

        page = openPage(doc, 2)
        chooseMacro(page, 0)
        closePage(doc)
        verify(keys(doc).isSave)
        compare(ui_View.getData("mouseMacroKey/2", false), "Burst")
        save(doc)
        page = openPage(doc, 3)
        chooseMacro(page, 1)
        closePage(doc)
        save(doc)
        compare(ui_View.getData("mouseMacroKey/3", false), "Reload")

        mouseSim.clearTrace()
        page = openPage(doc, 2)
        compare(page.keyString, "Burst")
        closePage(doc)
        verify(!keys(doc).isSave)
        save(doc)
        compare(mouseSim.commands(), [])
        compare(ui_View.getData("mouseMacroKey/2", false), "Burst")
    }

    // The macro editor opens over the page; closing it returns to the page, still behind its mask.
    function test_macroEditorOverPage() {
        const doc = openKeys({ family: "553" })
        const page = openPage(doc, 2)
        const editor = child(doc, "macroEditorMain")
        click(page, "macroEditorButton")
        verify(editor.visible && page.visible && child(doc, "mainMask").visible)
        verify(editor.z > page.z)
        compare([editor.x, editor.y], [(1024 - editor.width) / 2, (640 - editor.height) / 2])
        mouseClick(child(editor, "macroCloseButton"))
        verify(!editor.visible && page.visible)
        tryCompare(child(doc, "mainMask"), "visible", true)
        closePage(doc)
        verify(!child(doc, "mainMask").visible)
    }

    // Another macro on a macro button with the same mode is a change.
    function test_otherMacroOnMacroButton() {
        const doc = openKeys({ family: "553" })
        let page = openPage(doc, 2)
        chooseMacro(page, 0)
        closePage(doc)
        save(doc)
        page = openPage(doc, 2)
        chooseMacro(page, 1)
        closePage(doc)
        verify(keys(doc).isSave)
        compare(ui_View.getData("mouseMacroKey/2", false), "Reload")
        compare(keys(doc).modKeys.get(2).keyText, "Reload")
    }

    // Clicking an empty cell closes the grid and applies its chosen item again.
    function test_emptyCell_data() {
        return [
            { tag: "media", grid: "mediaGrid", item: 2, empty: 8, codes: [3, 0, 0xB6, 0] },
            { tag: "system", grid: "systemGrid", item: 4, empty: 7, codes: [6, 0x04, 0x2C, 0x11] },
            { tag: "shortcut", grid: "shortcutGrid", item: 9, empty: 11, codes: [7, 0, 0xE0, 0x04] },
            { tag: "shortcut, nothing chosen yet", grid: "shortcutGrid", empty: 10, codes: [7, 0, 0xE0, 0x11] }
        ]
    }
    function test_emptyCell(row) {
        const doc = openKeys({ family: "553" })
        const page = openPage(doc, 1)
        if (row.item !== undefined)
            chooseCell(page, row.grid, row.item)
        click(page, "mouseFunction3")
        compare(page.keyCode0, 0)
        chooseCell(page, row.grid, row.empty)
        compare(child(page, row.grid).currentSelect, row.item === undefined ? 0 : row.item)
        compare([page.keyCode0, page.keyCode1, page.keyCode2, page.keyCode3], row.codes)
    }

    // The only button left that does a left click cannot be opened, from the picture or the list.
    function test_lastLeftClick() {
        const doc = openKeys({ family: "553" })
        const page = child(doc, "keyAssigmentMain")
        mouseClick(child(doc, "mouseTag0"))
        verify(!page.visible && !child(doc, "mainMask").visible)
        compare(mouseMain(doc).selectKey, -1)
        mouseClick(child(doc, "keyRow0"))
        verify(!page.visible)

        openPage(doc, 1)
        click(page, "mouseFunction0")
        closePage(doc)
        openPage(doc, 0)
        click(page, "mouseFunction2")
        closePage(doc)
        compare(entry(doc, 0), [0, 0, 0xF1, 0])
        mouseClick(child(doc, "mouseTag1"))
        verify(!page.visible)
    }

    // The list and the picture show keyCount buttons, each with the profile's function; entry 7's
    // factory value is the double fire.
    function test_keyCount_data() {
        return [{ tag: "six", count: 6, family: "553" }, { tag: "eight", count: 8, family: "560" }]
    }
    function test_keyCount(row) {
        const doc = openKeys({ family: row.family, config: Object.assign({ "mouse/keyCount": row.count }, english) })
        const texts = ["Left Key", "Right Key", "Middle Key", "Forward Key", "Back Key", "DPI+", "DPI-",
                       "Double Fire"]
        for (let i = 0; i < texts.length; ++i)
            compare(keys(doc).modKeys.get(i).keyText, texts[i])
        compare(keys(doc).modKeys_tmp.get(7).keyText, "Double Fire")
        compare(mouseMain(doc).keyCount, row.count)
        for (let i = 0; i < 16; ++i) {
            compare(child(doc, "keyRow" + i).visible, i < row.count, "row " + i)
            compare(findChild(doc, "mouseTag" + i) !== null, i < row.count, "tag " + i)
        }
        compare(keys(doc).height, 40 + 24 * row.count + 2 * (row.count - 1) + 8)
    }

    // A tag closes the main screen's open lists before the page opens.
    function test_tagClosesLists() {
        const doc = openKeys({ family: "553" })
        const rates = child(doc, "reportRateLV")
        mouseClick(rates)
        settle(rates)
        verify(rates.isDrop)
        openPage(doc, 2)
        tryCompare(rates, "isDrop", false)
    }

    // Hovering a row lights the button on the picture; clicking it opens the page with the row's
    // function in the title.
    function test_rowOpensPage() {
        const doc = openKeys({ family: "553" })
        const row = child(doc, "keyRow5")
        mouseMove(row, 10, 10)
        compare(mouseMain(doc).selectKey, 5)
        compare(row.color, doc.colorOrange)
        mouseMove(doc, 600, 600)
        compare(mouseMain(doc).selectKey, -1)
        mouseClick(row)
        const page = child(doc, "keyAssigmentMain")
        verify(page.visible && child(doc, "mainMask").visible)
        compare(page.keyString, "DPI+")
        compare([page.x, page.y], [(1024 - 416) / 2, (640 - 404) / 2])
        mouseMove(doc, 600, 600)
        compare(mouseMain(doc).selectKey, 5)
    }

    // The page's reset image gives the button its factory function; the list's gives every button.
    function test_resets() {
        const doc = openKeys({ family: "553" })
        let page = openPage(doc, 3)
        click(page, "dpiFunction0")
        closePage(doc)
        page = openPage(doc, 4)
        chooseCell(page, "mediaGrid", 0)
        mouseClick(child(doc, "assignReset"))
        compare([page.keyCode0, page.keyCode2], [0, 0xF3])
        compare(page.keyString, "Back Key")
        verify(keys(doc).isSave)
        closePage(doc)
        compare(entry(doc, 4), [0, 0, 0xF3, 0])
        compare(entry(doc, 3), [5, 0, 1, 0])

        save(doc)
        mouseClick(child(doc, "keyMatrixReset"))
        verify(keys(doc).isSave)
        compare(entry(doc, 3), [0, 0, 0xF4, 0])
        compare(keys(doc).modKeys.get(3).keyText, "Forward Key")
        save(doc)
        compare(stored(3), [0, 0, 0xF4, 0])
        compare(matrix(1), flat(factoryDevice))
    }

    // Without the gun features the gun section is hidden and the content keeps its height.
    function test_gunSection_data() {
        return [{ tag: "gun", isGun: true }, { tag: "plain", isGun: false }]
    }
    function test_gunSection(row) {
        const doc = openKeys({ family: "553", isGun: row.isGun })
        const page = openPage(doc, 1)
        compare(child(page, "gunSection").visible, row.isGun)
        compare(child(page, "assignContent").height, 830)
    }

    // The content scrolls with the wheel and the scroll bar and stops at its ends.
    function test_scroll() {
        const doc = openKeys({ family: "553" })
        const page = openPage(doc, 1)
        const bar = child(page, "assignScrollBar")
        page.scrollTo(0)
        compare(bar.y, 42)
        mouseWheel(page, 200, 200, 0, -120)
        verify(page.contentY > 0)
        mouseDrag(bar, 6, 10, 0, 400)
        compare(page.contentY, 830 - 360)
        compare(bar.y, 42 + 212)
        compare(bar.y + bar.height, 41 + 360)
        mouseDrag(bar, 6, 10, 0, -400)
        compare(page.contentY, 0)
        mouseWheel(page, 200, 200, 0, 120)
        compare(page.contentY, 0)
    }

    // A key arriving while nothing waits for one, or a release, or a key without a label, does not
    // become the fire key.
    function test_fireCapture() {
        const doc = openKeys({ family: "553" })
        const page = openPage(doc, 1)
        doc.detectKeyboard(true, 0x04)
        compare(page.keyCode0, 0)
        click(page, "fireKeyField")
        doc.detectKeyboard(false, 0x05)
        doc.detectKeyboard(true, 0x01)
        verify(page.isFireInput)
        doc.detectKeyboard(true, 0x05)
        compare([page.keyCode0, page.keyCode1, page.keyCode2, page.keyCode3], [1, 0x05, 10, 0])
        verify(child(page, "fireEndless").isSelect)
        // closing ends a capture that is still waiting
        click(page, "fireKeyField")
        closePage(doc)
        verify(!page.isFireInput)
    }
}
