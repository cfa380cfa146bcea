import QtQuick
import QtTest

// The root document as the program loads it, against the real view, stores and virtual mouse:
// start-up, the busy lock, Save, the factory reset, the window's controls and texts.
PageCase {
    id: mainCase

    name: "MainWindow"

    readonly property var k553: ({ family: "553" })

    // Only reads crossed to the mouse (their codes have the high bit set).
    function onlyReads() { return mouseSim.commands().every(c => parseInt(c, 16) >= 0x80) }
    // The start-up logo, the main screen, the busy lock and whether the view takes input.
    function lockState(doc) {
        return [child(doc, "powerOnLogo").visible, child(doc, "panelleft").visible,
                child(doc, "protectUIItem").isBusy, ui_View.enabled]
    }

    // The first start reads the model and the language and loads every page without sending
    // anything; the logo stays until the lock ends. A lost mouse shows a notice; a reconnection
    // takes it away, only locks for a moment and takes the mouse's current stage.
    function test_startAndReconnect() {
        mouseSim.useModel({ family: "560", isGun: true, isColorful: true })
        const doc = createTemporaryObject(document, mainCase)
        verify(!doc.visible)
        doc.initUI()
        compare([doc.visible, doc.isPownOn, doc.isGun, doc.isColorful, doc.icType, onlyReads()],
                [true, true, true, true, "560", true])
        compare(doc.mainLang, ui_View.getLangStrings("main", doc.language))
        compare(child(doc, "dpiSettingMain").currentDPI, mouseSim.memory().currentDpiStage - 1)
        compare(lockState(doc), [true, false, true, false])
        tryCompare(ui_View, "enabled", true, 3000)
        compare(lockState(doc).concat(child(doc, "gunEditorEntry").visible), [false, true, false, true, true])

        doc.mainLang = ["kept"].concat(doc.mainLang.slice(1))
        const notice = child(doc, "disconnectedNotice")
        verify(!notice.visible)
        doc.setDeviceConnected(false)
        verify(notice.visible)
        mouseSim.pressDpiButton(4)
        mouseSim.clearTrace()
        doc.initUI()
        compare([doc.mainLang[0], mouseSim.commands().length, onlyReads(), notice.visible],
                ["kept", 1, true, false])
        compare([child(doc, "dpiSettingMain").currentDPI, child(doc, "protectUIItem").isBusy], [3, true])
        tryCompare(ui_View, "enabled", true, 3000)
    }

    // The busy lock from the host and from the pages. (Save: tst_e2e_main saves a DPI change, what is
    // sent and stored, the button's colour, the busy notice; tst_ctl_handover that Save with nothing
    // changed sends nothing; tst_ui_dpi that Save sends only the changed block.)
    function test_lock() {
        const doc = open(k553, {})
        for (const [call, arg, locked] of [["setProtectUI", 5000, true], ["setProtectUI", 0, false],
                                           ["controlUIEnable", false, true], ["controlUIEnable", true, false]]) {
            doc[call](arg)
            compare(lockState(doc).slice(2), [locked, !locked], call + " " + arg)
        }
        verify(!child(doc, "gunEditorEntry").visible, "without the gun features: the macro editor only")
    }

    // The factory reset asks in a box that follows the pointer but never leaves the window; OK puts
    // the factory profile back (the report rate here) and shows the second stage. The key matrices
    // are switched only on a gun model (tst_ui_gun resets one). (tst_e2e_main cancels it, and
    // confirmed checks every page sent and the stage made current.)
    function test_factoryReset() {
        const doc = open(k553, { "mouse/reportRate": 0 })
        const box = child(doc, "factorysure")
        mouseClick(child(doc, "resetButton"))
        compare([box.visible, child(doc, "mainMask").visible, box.x, box.y], [true, true, 298, 269])
        for (const [dx, dy, x, y] of [[-900, 0, 0, 269], [900, 0, 597, 269], [-300, -900, 297, 0],
                                      [0, 900, 297, 538]]) {
            dragBy(box, 200, 60, dx, dy)
            compare([box.x, box.y], [x, y])
        }
        mouseClick(child(box, "okButton"))
        compare([box.visible, child(doc, "mainMask").visible, ui_View.enabled], [false, false, true])
        compare(ui_View.getData("mouse/reportRate", false), ui_View.getData("mouse/reportRate", true))
        compare([child(doc, "dpiSettingMain").currentDPI, commandCodes().includes("02")], [1, false])
    }

    // A page whose section the language file lacks keeps texts of its own: they are the English
    // file's. Labels are in title case (a lower-case word crept into "Select gun" and others);
    // longer texts and those ending in punctuation are sentences.
    function test_englishTexts_data() {
        return ["main", "keyMatrix", "keyAssigment", "dpiSetting", "lightControl", "macroEditor",
                "systemSetting", "gunControl", "profile"].map(tag => ({ tag: tag }))
    }
    function test_englishTexts(row) {
        const doc = createTemporaryObject(document, mainCase)
        const texts = ui_View.getLangStrings(row.tag, "English")
        compare((row.tag === "main" ? doc : child(doc, row.tag + "Main"))[row.tag + "Lang"], texts)
        const small = ["a", "an", "and", "at", "in", "of", "on", "or", "per", "the", "to"]
        for (const text of texts) {
            verify(!/Endness|Privous|Volumn/.test(text), text)
            const words = text.split(" ").filter(w => w !== "")
            if (words.length <= 4 && !/[.?!:]$/.test(text))
                words.forEach((w, i) => verify(!/^[a-z]/.test(w) || (i > 0 && small.includes(w)), text))
        }
    }

    // With a modal page open, the controls under the mask neither light up nor take a click; the
    // help menu, which stands above the pages, closes when one opens.
    function test_maskTakesPointer() {
        const doc = open({ family: "553", isGun: true }, {})
        const buttons = ["systemSettingButton", "gunEditorEntry", "configButton"].map(name => child(doc, name))
        for (const button of buttons) {
            mouseMove(button, 10, 10)
            verify(button.hovered, button.objectName + " lights up without the mask")
        }
        mouseMove(doc, 1000, 300)
        child(doc, "upItem").btnClicked(2)
        mouseMove(buttons[0])
        mouseClick(buttons[0])
        compare([child(doc, "systemSettingMain").visible, child(doc, "askMenu").visible], [true, false])
        child(doc, "systemSettingMain").close()
        child(doc, "keyMatrixMain").clickBtn(1)
        compare([child(doc, "keyAssigmentMain").visible, child(doc, "mainMask").visible], [true, true])
        for (const button of buttons) {
            mouseMove(button, 10, 10)
            verify(!button.hovered, button.objectName)
            compare(button.color, button.restColor, button.objectName)
            mouseClick(button, 10, 10, Qt.RightButton)
            mouseClick(button, 10, 10)
        }
        compare(["systemSettingMain", "gunControlMain", "profileMain"].map(n => child(doc, n).visible),
                [false, false, false])
    }
}
