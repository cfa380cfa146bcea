import QtQuick
import QtTest
import "qrc:/modules/qml/common/macroCodec.js" as MacroCodec

// The macro editor in the whole window, against the real view, stores and virtual mouse: what the
// user does on the page, as seen in the name list, the macro files, the profile and the mouse.
PageCase {

    name: "MacroEditor"

    // The window with `names` stored as the macro list (each with a macro file of `actions`), and
    // the editor open.
    function openEditor(names, actions) {
        doc = open({ family: "553" }, {}, () => {
            ui_View.updataNameList(0, names)
            for (const name of names) {
                ui_View.createMacroIni(name, 0)
                ui_View.saveMacroIni(name, actions, 1)
            }
        })
        page = item("macroEditorMain")
        doc.openPage(page, true)
        mouseSim.clearTrace()
    }
    function shownNames() {
        const model = page.macroListModel
        return Array.from({ length: model.count }, (_, i) => model.get(i).textValue)
    }
    function storedNames() { return mouseSim.setting("setting/name.bin", "macro/macroName") }
    function stored(name) { return ui_View.loadMacroIni(name) }
    function macroFile(name) { return "macro/" + name + ".bin" }
    // Steps besides PageCase's: ["menu", row, entry] (a right click on the row, then the entry),
    // ["edit", row, text] (a double click, the text typed over the old one, Enter).
    steps: ({
        menu: (row, entry) => {
            mouseClick(item(row), 5, 5, Qt.RightButton)
            mouseClick(item(entry))
        },
        edit: (row, text) => {
            mouseDoubleClickSequence(item(row))
            keyClick(Qt.Key_A, Qt.ControlModifier)
            keyClick(Qt.Key_Backspace)
            type(text)
        }
    })
    // Buttons run macros in the profile in use: [button, name]….
    function useMacros(uses) {
        for (const [button, name] of uses) {
            ui_View.setDataList("mouseKeyMatrix/" + button, [4, 0, button, 0])
            ui_View.setData("mouseMacroKey/" + button, name)
        }
        item("keyMatrixMain").init(false, false)
    }
    function block(slot) { return mouseSim.memory().macros[String(slot + 1)] }
    function refused() { return item("macroRefusal").visible }
    // Keys typed while recording, with the delays between them (whole 10 ms), then without once the
    // Delay box is cleared; a recording stops at the mouse's 126 bytes, and the page says why.
    function test_record() {
        openEditor(["M"], ["1,Z", "2,Z"])
        run(["macroRow0"])
        const typed = [["down", 0x04], ["up", 0x04], ["down", 0xE1], ["down", 0x05], ["up", 0x05],
                       ["up", 0xE1]]
        const keysOnly = ["1,A", "2,A", "1,LShift", "1,B", "2,B", "2,LShift", "1"]
        const withWaits = [].concat(...keysOnly.map((a, i) => i && i < 6 ? ["wait", a] : [a]))
        for (const delays of [true, false]) {
            run((delays ? [] : ["macroDelayBox"]).concat(["macroRecordButton"]))
            verify(page.isInputting)
            run(typed.concat(["macroRecordButton"]))
            verify(!page.isInputting)
            // each wait in whole 10 ms
            compare(stored("M").map(a => /^0,\d*0$/.test(a) ? "wait" : a), delays ? withWaits : keysOnly)
        }
        run(["macroRecordButton"].concat(...Array(35).fill([["down", 0x04], ["up", 0x04]])))
        verify(refused())
        run(["macroRecordButton"])
        compare(stored("M").length, 61 + 1)
    }

    // A delay typed into a macro that buttons run: rounded to whole 10 ms, stored, and sent at
    // once to each button's slot; a release 1.5 s before the next key takes the long form. The
    // repeat count likewise.
    function test_editsSent() {
        openEditor(["M", "N"], ["1,A", "2,A", "0,50", "1,B", "2,B"])
        useMacros([[3, "M"], [5, "M"], [6, "N"]])
        run(["macroRow0", ["edit", "actionRow2", "1504"]])
        compare(stored("M"), ["1,A", "2,A", "0,1500", "1,B", "2,B", "1"])
        compare(mouseSim.commands(), ["13 04", "13 06"])
        for (const slot of [3, 5])
            compare(block(slot).slice(0, 16), [0x00, 0x01, 0x01, 0x04, 0x80, 0x04, 0x00, 0x01,
                                               0x00, 0x4B, 0x01, 0x05, 0x81, 0x05, 0x00, 0x00])
        // an empty delay is no number: the old one stays; a press on the page outside its
        // controls ends any editing
        run([["edit", "actionRow2", ""]])
        mouseClick(page, 300, 20)
        compare(stored("M")[2], "0,1500")
        mouseSim.clearTrace()
        typeInto(item("macroTimes"), "3")
        compare([stored("M").pop(), block(5).slice(0, 2)], ["3", [0, 3]])
        compare(mouseSim.commands(), ["13 04", "13 06"])
    }

    // A new name renames the file and the buttons' profile keys; a taken or unusable name changes
    // nothing. Export copies the file; import puts the copy under a new name before the selected
    // macro, or an empty macro when the user cancels. New names take the smallest free number,
    // also one freed by a delete. Deleting a macro gives the buttons that ran it their factory
    // assignment back; a last name is stored beside a sentinel. The list, the files and the
    // assignment page follow.
    function test_names() {
        openEditor(["M", "N"], ["1,A", "0,30", "2,A"])
        useMacros([[3, "M"], [4, "N"]])
        compare(page.macroNumber_lv.currentIndex, -1)
        run([["edit", "macroRow0", "Fast"]])
        compare([shownNames(), storedNames()], [["Fast", "N"], ["Fast", "N"]])
        verify(!mouseSim.fileExists(macroFile("M")))
        compare(String(ui_View.getData("mouseMacroKey/3", false)), "Fast")
        for (const taken of ["N", "Fast", "a/b", ""]) {
            run([["edit", "macroRow0", taken]])
            compare([storedNames(), stored("Fast")], [["Fast", "N"], ["1,A", "0,30", "2,A", "1"]], taken)
        }

        const copy = mouseSim.tempPath("m.mc")
        mouseSim.chooseFiles([copy, copy, ""])
        run(["macroRow0", ["menu", "macroRow0", "macroMenu2"]])
        compare(mouseSim.readFile(copy), mouseSim.readFile(macroFile("Fast")))
        run([["menu", "macroRow0", "macroMenu1"]])
        compare(storedNames(), ["Macro_0", "Fast", "N"])
        compare([page.macroNumber_lv.currentIndex, item("actionList").count], [0, 3])
        compare(stored("Macro_0"), stored("Fast"))
        run([["menu", "macroRow1", "macroMenu1"]])
        compare([storedNames(), stored("Macro_1")], [["Macro_0", "Macro_1", "Fast", "N"], ["1"]])

        run(["macroRow0", "macroDeleteButton"])
        verify(!mouseSim.fileExists(macroFile("Macro_0")))
        compare([storedNames(), page.macroNumber_lv.currentIndex], [["Macro_1", "Fast", "N"], 0])
        run(["macroNewButton"])
        compare([shownNames(), page.macroNumber_lv.currentIndex], [["Macro_1", "Fast", "N", "Macro_0"], 3])
        for (const row of [0, 2, 0])
            run(["macroRow" + row, "macroDeleteButton"])
        compare([storedNames(), shownNames()], [["N", "loaderbeacon"], ["N"]])
        compare(ui_View.getDataList("mouseKeyMatrix/3", false), ui_View.getDataList("mouseKeyMatrix/3", true))
        compare(storedList("mouseKeyMatrix/4"), [4, 0, 4, 0])
    }

    // The action menu: a click of a button after the row, a delay before it, a caught key before it
    // (at the end from the last row), removing a row. No change makes a macro longer than the
    // mouse's 128 bytes, and the page says why.
    function test_actions() {
        openEditor(["M"], ["1,A", "2,A"])
        run(["macroRow0", ["menu", "actionRow0", "actionMenu3"]])
        compare(stored("M"), ["1,A", "3,MS-L", "4,MS-L", "2,A", "1"])
        run([["menu", "actionRow3", "actionMenu5"]])
        compare(stored("M"), ["1,A", "3,MS-L", "4,MS-L", "2,A", "3,MS-R", "4,MS-R", "1"])
        run([["menu", "actionRow1", "actionMenu1"]])
        compare(stored("M"), ["1,A", "0,50", "3,MS-L", "4,MS-L", "2,A", "3,MS-R", "4,MS-R", "1"])
        compare(item("actionList").currentIndex, 1)

        run([["menu", "actionRow1", "actionMenu2"]])
        verify(page.isInsertting && item("insertKeyBox").visible)
        // buttons are not keys
        run([["down", 0xF0], ["down", 0x05], ["up", 0x05]])
        compare(item("insertKeyField").text, "B")
        run(["insertKeyOk"])
        verify(!page.isInsertting)
        compare(stored("M"), ["1,A", "1,B", "2,B", "0,50", "3,MS-L", "4,MS-L", "2,A", "3,MS-R", "4,MS-R", "1"])
        run([["menu", "actionRow0", "actionMenu0"]])
        compare([stored("M")[0], stored("M").length], ["1,B", 9])

        // 62 actions 10 ms apart fill the block exactly; a longer wait would need the long form
        ui_View.saveMacroIni("M", tapsOfA(62, 10), 1)
        run(["macroRow0"])
        verify(!refused())
        run([["edit", "actionRow1", "1270"]])
        compare([stored("M")[1], refused()], ["0,10", true])
        compare(item("macroRefusal").text, ui_View.getLangStrings("macroEditor", doc.language)[20])
        run([["edit", "actionRow1", "1260"]])
        compare([stored("M")[1], refused()], ["0,1260", false])
        run([["menu", "actionRow0", "actionMenu1"]])
        compare([refused(), stored("M").length], [true, 62 + 61 + 1])

        // removing a key joins the waits on both sides into one long wait
        ui_View.saveMacroIni("M", tapsOfA(60, 10).concat(["0,700", "1,B", "0,700", "2,B"]), 1)
        run(["macroRow0"])
        compare(MacroCodec.encodedSize(MacroCodec.fromStored(stored("M")).actions), 128)
        item("actionList").positionViewAtEnd()
        tryVerify(() => findChild(doc, "actionRow120"))
        run([["menu", "actionRow120", "actionMenu0"]])
        compare([refused(), stored("M").length], [true, 2 * 60 - 1 + 4 + 1])
    }
}
