import QtQuick
import QtTest

// The root document as the program loads it, against the real view, stores and virtual mouse:
// start-up, the busy lock, Save, the factory reset, the window's controls and texts.
PageCase {
    id: mainCase

    name: "MainWindow"

    readonly property var k553: ({ family: "553" })
    readonly property var k553Gun: ({ family: "553", isGun: true })

    // Only reads crossed to the mouse (their codes have the high bit set).
    function onlyReads() { return mouseSim.commands().every(c => parseInt(c, 16) >= 0x80) }

    SignalSpy {
        id: busySpy

        signalName: "isBusyChanged"
    }

    // The first start reads the model and the language and loads every page without sending
    // anything; a reconnection only locks for a moment and takes the mouse's current stage.
    function test_startAndReconnect() {
        mouseSim.useModel({ family: "560", isGun: true, isColorful: true })
        const doc = createTemporaryObject(document, mainCase)
        verify(!doc.visible)
        doc.initUI()
        compare([doc.visible, doc.isPownOn, doc.isGun, doc.isColorful, doc.icType],
                [true, true, true, true, "560"])
        verify(onlyReads(), mouseSim.commands())
        compare(doc.mainLang, ui_View.getLangStrings("main", doc.language))
        compare(child(doc, "dpiSettingMain").currentDPI, mouseSim.memory().currentDpiStage - 1)
        // the start-up logo stays until the lock ends, then the main screen shows
        verify(child(doc, "powerOnLogo").visible && !child(doc, "panelleft").visible)
        verify(!ui_View.enabled && child(doc, "protectUIItem").isBusy)
        tryCompare(ui_View, "enabled", true, 3000)
        verify(!child(doc, "powerOnLogo").visible && child(doc, "panelleft").visible)
        verify(child(doc, "gunEditorEntry").visible)
        verify(!child(doc, "protectUIItem").isBusy)

        const kept = doc.mainLang.slice()
        kept[0] = "kept"
        doc.mainLang = kept
        mouseSim.pressDpiButton(4)
        mouseSim.clearTrace()
        doc.initUI()
        compare([doc.mainLang[0], mouseSim.commands().length, onlyReads()], ["kept", 1, true])
        compare(child(doc, "dpiSettingMain").currentDPI, 3)
        verify(child(doc, "protectUIItem").isBusy)
        tryCompare(ui_View, "enabled", true, 3000)
    }

    // The busy lock from the host and from the pages; the notice of a lost mouse until it is back.
    // Dragging the empty window hands the distance from the press point to the controller; the
    // title buttons minimise, close and open the help menu.
    function test_lockNoticeAndWindow() {
        const doc = open(k553, {})
        const busy = child(doc, "protectUIItem")
        doc.setProtectUI(5000)
        verify(!ui_View.enabled && busy.isBusy)
        doc.setProtectUI(0)
        verify(ui_View.enabled && !busy.isBusy)
        doc.controlUIEnable(false)
        verify(!ui_View.enabled && busy.isBusy)
        doc.controlUIEnable(true)
        verify(ui_View.enabled)

        verify(!child(doc, "gunEditorEntry").visible, "without the gun features: the macro editor only")
        const notice = child(doc, "disconnectedNotice")
        verify(!notice.visible)
        doc.setDeviceConnected(false)
        verify(notice.visible)
        doc.initUI()
        verify(!notice.visible)
        tryCompare(ui_View, "enabled", true, 3000)

        mouseSim.clearCtlCalls()
        mousePress(doc, 300, 620)
        mouseMove(doc, 310, 615, -1, Qt.LeftButton)
        mouseMove(doc, 330, 600, -1, Qt.LeftButton)
        mouseRelease(doc, 330, 600)
        const up = child(doc, "upItem")
        up.btnClicked(0)
        up.btnClicked(1)
        compare(mouseSim.ctlCalls(), ["onXChanged 10", "onYChanged -5", "onXChanged 30", "onYChanged -20",
                                      "onMinimize", "onClose"])
        up.btnClicked(2)
        verify(child(doc, "askMenu").visible)
        compare(child(doc, "askMenuLv").count, 2)
        mouseClick(child(doc, "askMenuLv"), 100, 24 + 12)
        verify(!child(doc, "askMenu").visible)
    }

    function test_save_data() {
        return [
            { tag: "nothing", page: "", sent: [] },
            { tag: "keys", page: "keyMatrixMain", sent: ["12"] },
            { tag: "dpi", page: "dpiSettingMain", sent: ["11"] }
        ]
    }
    // Save sends only what is unsaved, each in its own command, under the lock, and clears the mark.
    function test_save(row) {
        const doc = open(k553, {})
        const button = child(doc, "saveButton")
        busySpy.target = child(doc, "protectUIItem")
        busySpy.clear()
        compare(button.color, doc.colorBlue)
        if (row.page !== "") {
            child(doc, row.page).isSave = true
            compare(button.color, doc.colorUnsaved)
        }
        mouseClick(button)
        verify(!child(doc, "keyMatrixMain").isSave && !child(doc, "dpiSettingMain").isSave)
        compare(Array.from(new Set(commandCodes())), row.sent)
        compare(busySpy.count, row.page === "" ? 0 : 2)
        verify(ui_View.enabled)
    }

    function test_factoryReset_data() {
        return [{ tag: "plain", model: k553, switched: false }, { tag: "gun", model: k553Gun, switched: true }]
    }
    // The factory reset asks first; OK puts the factory profile back, sends every page and makes
    // the second stage current. The key matrices are switched only on a gun model.
    function test_factoryReset(row) {
        const doc = open(row.model, { "mouse/reportRate": 0 })
        const box = child(doc, "factorysure")
        mouseClick(child(doc, "resetButton"))
        verify(box.visible && child(doc, "mainMask").visible)
        compare([box.x, box.y], [(1024 - 427) / 2 | 0, (640 - 102) / 2])
        mouseClick(child(box, "cancelButton"))
        verify(!box.visible && !child(doc, "mainMask").visible)
        compare([mouseSim.commands(), ui_View.getData("mouse/reportRate", false)], [[], "0"])

        mouseClick(child(doc, "resetButton"))
        mouseClick(child(box, "okButton"))
        verify(!box.visible && !child(doc, "mainMask").visible && ui_View.enabled)
        compare(ui_View.getData("mouse/reportRate", false), ui_View.getData("mouse/reportRate", true))
        compare([mouseSim.memory().currentDpiStage, child(doc, "dpiSettingMain").currentDPI], [2, 1])
        compare([commandCodes().includes("02"), commandCodes().includes("01")], [row.switched, true])
    }

    // The confirmation box (as every page) follows the pointer but never leaves the window: dragged
    // far left, right, up (and a little left) and down.
    function test_confirmationStaysInside() {
        const doc = open(k553, {})
        const box = child(doc, "factorysure")
        mouseClick(child(doc, "resetButton"))
        const drags = [[-900, 0, 0, 269], [900, 0, 1024 - 427, 269], [-300, -900, 297, 0], [0, 900, 297, 640 - 102]]
        for (const [dx, dy, x, y] of drags) {
            dragBy(box, 200, 60, dx, dy)
            compare([box.x, box.y], [x, y])
        }
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
        const doc = open(k553Gun, {})
        const names = ["systemSettingButton", "gunEditorEntry", "configButton"]
        for (const name of names) {
            mouseMove(child(doc, name), 10, 10)
            verify(child(doc, name).hovered, name + " lights up without the mask")
        }
        mouseMove(doc, 1000, 300)
        child(doc, "upItem").btnClicked(2)
        mouseMove(child(doc, "systemSettingButton"))
        mouseClick(child(doc, "systemSettingButton"))
        verify(child(doc, "systemSettingMain").visible && !child(doc, "askMenu").visible)
        child(doc, "systemSettingMain").close()
        child(doc, "keyMatrixMain").clickBtn(1)
        verify(child(doc, "keyAssigmentMain").visible && child(doc, "mainMask").visible)
        for (const name of names) {
            const button = child(doc, name)
            mouseMove(button, 10, 10)
            verify(!button.hovered, name)
            compare(button.color, button.restColor, name)
            mouseClick(button, 10, 10, Qt.RightButton)
            mouseClick(button, 10, 10)
        }
        verify(!child(doc, "systemSettingMain").visible && !child(doc, "gunControlMain").visible
               && !child(doc, "profileMain").visible)
    }
}
