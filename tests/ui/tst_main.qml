import QtQuick
import QtTest

// The root document as the program loads it, against the real view, stores and virtual mouse:
// start-up, the busy lock, Save, the factory reset, the profile switch, dragging and the layout.
TestCase {
    id: testCase

    readonly property var k553: ({ family: "553" })
    readonly property var k553Gun: ({ family: "553", isGun: true })
    readonly property var k560Gun: ({ family: "560", isGun: true, isColorful: true })
    readonly property Component document: Qt.createComponent("qrc:/modules/qml/main.qml")

    // The root document, started as the host starts it, with the start-up lock over.
    function open(model) {
        mouseSim.useModel(model)
        const doc = createTemporaryObject(document, testCase)
        verify(doc, document.errorString())
        doc.initUI()
        doc.setProtectUI(0)
        mouseSim.clearTrace()
        return doc
    }
    function child(doc, name) {
        const item = findChild(doc, name)
        verify(item, name)
        return item
    }
    function profileValue(key) { return ui_View.getData(key, false) }
    // Only reads crossed to the mouse (their codes have the high bit set).
    function onlyReads() { return mouseSim.commands().every(c => parseInt(c, 16) >= 0x80) }
    function commandCodes() { return mouseSim.commands().map(c => c.split(" ")[0]) }

    name: "MainWindow"
    width: 1024
    height: 640
    visible: true
    when: windowShown

    SignalSpy {
        id: busySpy

        signalName: "isBusyChanged"
    }

    function init() { failOnWarning(/qml/) }
    function cleanup() { compare(mouseSim.protocolErrors(), []) }

    // The first start reads the model and the language and loads every page without sending
    // anything; a reconnection only locks for a moment and takes the mouse's current stage.
    function test_startAndReconnect() {
        mouseSim.useModel(k560Gun)
        const doc = createTemporaryObject(document, testCase)
        verify(!doc.visible)
        doc.initUI()
        verify(doc.visible && doc.isPownOn && doc.isGun && doc.isColorful)
        compare(doc.icType, "560")
        verify(onlyReads(), mouseSim.commands())
        compare(doc.mainLang, ui_View.getLangStrings("main", doc.language))
        compare(child(doc, "dpiSettingMain").currentDPI, mouseSim.memory().currentDpiStage - 1)
        // the start-up logo stays until the lock ends, then the main screen shows
        verify(child(doc, "powerOnLogo").visible && !child(doc, "panelleft").visible)
        verify(!ui_View.enabled && child(doc, "protectUIItem").isBusy)
        tryCompare(ui_View, "enabled", true, 3000)
        verify(!child(doc, "powerOnLogo").visible && child(doc, "panelleft").visible)
        verify(!child(doc, "protectUIItem").isBusy)

        const kept = doc.mainLang.slice()
        kept[0] = "kept"
        doc.mainLang = kept
        mouseSim.pressDpiButton(4)
        mouseSim.clearTrace()
        doc.initUI()
        compare(doc.mainLang[0], "kept")
        compare(mouseSim.commands().length, 1)
        verify(onlyReads())
        compare(child(doc, "dpiSettingMain").currentDPI, 3)
        verify(child(doc, "protectUIItem").isBusy)
        tryCompare(ui_View, "enabled", true, 3000)
    }

    function test_busyLock() {
        const doc = open(k553)
        doc.setProtectUI(5000)
        verify(!ui_View.enabled && child(doc, "protectUIItem").isBusy)
        doc.setProtectUI(0)
        verify(ui_View.enabled && !child(doc, "protectUIItem").isBusy)
        doc.controlUIEnable(false)
        verify(!ui_View.enabled && child(doc, "protectUIItem").isBusy)
        doc.controlUIEnable(true)
        verify(ui_View.enabled)
    }

    // A stage reported by the mouse moves the mark; 0 leaves it.
    function test_currentDpiFromMouse() {
        const doc = open(k553)
        doc.setCurrentDPI(5)
        compare(child(doc, "dpiSettingMain").currentDPI, 4)
        doc.setCurrentDPI(0)
        compare(child(doc, "dpiSettingMain").currentDPI, 4)
    }

    // Save sends only what is unsaved, each in its own command, and clears the mark.
    function test_save_data() {
        return [
            { tag: "nothing", page: "", sent: [] },
            { tag: "keys", page: "keyMatrixMain", sent: ["12"] },
            { tag: "dpi", page: "dpiSettingMain", sent: ["11"] },
        ]
    }
    function test_save(row) {
        const doc = open(k553)
        const save = child(doc, "saveButton")
        busySpy.target = child(doc, "protectUIItem")
        busySpy.clear()
        compare(save.color, doc.colorBlue)
        if (row.page !== "") {
            child(doc, row.page).isSave = true
            compare(save.color, doc.colorUnsaved)
        }
        mouseClick(save)
        verify(!child(doc, "keyMatrixMain").isSave && !child(doc, "dpiSettingMain").isSave)
        compare(Array.from(new Set(commandCodes())), row.sent)
        compare(busySpy.count, row.page === "" ? 0 : 2)
        verify(ui_View.enabled)
    }

    // The factory reset asks first; OK puts the factory profile back, sends every page and makes
    // the second stage current. The key matrices are switched only on a gun model.
    function test_factoryReset_data() {
        return [{ tag: "plain", model: k553, switched: false }, { tag: "gun", model: k553Gun, switched: true }]
    }
    function test_factoryReset(row) {
        const doc = open(row.model)
        const box = child(doc, "factorysure")
        ui_View.setData("mouse/reportRate", 0)
        mouseClick(child(doc, "resetButton"))
        verify(box.visible && child(doc, "mainMask").visible)
        compare(box.x, (1024 - 427) / 2 | 0)
        compare(box.y, (640 - 102) / 2)
        mouseClick(child(box, "cancelButton"))
        verify(!box.visible && !child(doc, "mainMask").visible)
        compare(mouseSim.commands(), [])
        compare(profileValue("mouse/reportRate"), "0")

        mouseClick(child(doc, "resetButton"))
        mouseClick(child(box, "okButton"))
        verify(!box.visible && !child(doc, "mainMask").visible)
        compare(profileValue("mouse/reportRate"), ui_View.getData("mouse/reportRate", true))
        compare(mouseSim.memory().currentDpiStage, 2)
        compare(child(doc, "dpiSettingMain").currentDPI, 1)
        compare(commandCodes().includes("02"), row.switched)
        verify(commandCodes().includes("01"), "report rate sent")
        verify(ui_View.enabled)
    }

    // The confirmation box follows the pointer but never leaves the window.
    function test_confirmationStaysInside_data() {
        return [
            { tag: "left", dx: -900, dy: 0, x: 0, y: 269 },
            { tag: "right", dx: 900, dy: 0, x: 1024 - 427, y: 269 },
            { tag: "top", dx: 0, dy: -900, x: 298, y: 0 },
            { tag: "bottom", dx: 0, dy: 900, x: 298, y: 640 - 102 },
        ]
    }
    function test_confirmationStaysInside(row) {
        const doc = open(k553)
        const box = child(doc, "factorysure")
        mouseClick(child(doc, "resetButton"))
        mousePress(box, 200, 60)
        mouseMove(box, 200 + row.dx / 2, 60 + row.dy / 2, -1, Qt.LeftButton)
        mouseMove(box, 200 + row.dx, 60 + row.dy, -1, Qt.LeftButton)
        mouseRelease(box, 200 + row.dx, 60 + row.dy)
        compare(box.x, row.x)
        compare(box.y, row.y)
    }

    // Choosing the current profile again does nothing; another is stored, loaded and sent.
    function test_profileSwitch() {
        const doc = open(k553Gun)
        const profiles = child(doc, "profileMain")
        const current = profiles.profileNo
        profiles.profileSwitch(current)
        compare(mouseSim.commands(), [])
        const other = current === 0 ? 1 : 0
        ui_View.setCurrentProfile(other)
        ui_View.setData("mouse/reportRate", 1)
        ui_View.setCurrentProfile(current)
        profiles.profileSwitch(other)
        compare(profiles.profileNo, other)
        compare(String(ui_View.getGlobalData("mouse/profileNo")), String(other))
        compare(mouseSim.memory().reportRate, 4)
        verify(commandCodes().includes("02"))
        verify(ui_View.enabled)
    }

    // Dragging the empty window hands the distance from the press point to the controller.
    function test_dragMovesWindow() {
        const doc = open(k553)
        mouseSim.clearCtlCalls()
        mousePress(doc, 300, 620)
        mouseMove(doc, 310, 615, -1, Qt.LeftButton)
        mouseMove(doc, 330, 600, -1, Qt.LeftButton)
        mouseRelease(doc, 330, 600)
        compare(mouseSim.ctlCalls(), ["onXChanged 10", "onYChanged -5", "onXChanged 30", "onYChanged -20"])
    }

    function test_windowButtons() {
        const doc = open(k553)
        mouseSim.clearCtlCalls()
        const up = child(doc, "upItem")
        up.btnClicked(0)
        up.btnClicked(1)
        compare(mouseSim.ctlCalls(), ["onMinimize", "onClose"])
        up.btnClicked(2)
        verify(child(doc, "askMenu").visible)
        const rows = child(doc, "askMenuLv")
        compare(rows.count, 2)
        mouseClick(rows, 100, 24 + 12)
        verify(!child(doc, "askMenu").visible)
    }

    // Without the gun features the editor box offers the macro editor only.
    function test_editorBox_data() {
        return [{ tag: "gun", model: k553Gun, height: 100 }, { tag: "plain", model: k553, height: 76 }]
    }
    function test_editorBox(row) {
        const doc = open(row.model)
        compare(child(doc, "editorBox").height, row.height)
        compare(child(doc, "gunEditorEntry").visible, row.model.isGun === true)
        mouseClick(child(doc, "macroEditorEntry"))
        const page = child(doc, "macroEditorMain")
        verify(page.visible && child(doc, "mainMask").visible)
        compare(page.x, (1024 - page.width) / 2)
        compare(page.y, (640 - page.height) / 2)
    }

    // A page whose section the language file lacks keeps texts of its own: they are the English
    // file's. Labels are in title case (a lower-case word crept into "Select gun" and others);
    // longer texts and those ending in punctuation are sentences.
    function test_englishTexts_data() {
        return [
            { tag: "main", page: "", list: "mainLang" },
            { tag: "keyMatrix", page: "keyMatrixMain", list: "keyMatrixLang" },
            { tag: "keyAssigment", page: "keyAssigmentMain", list: "keyAssigmentLang" },
            { tag: "dpiSetting", page: "dpiSettingMain", list: "dpiSettingLang" },
            { tag: "lightControl", page: "lightControlMain", list: "lightControlLang" },
            { tag: "macroEditor", page: "macroEditorMain", list: "macroEditorLang" },
            { tag: "systemSetting", page: "systemSettingMain", list: "systemSettingLang" },
            { tag: "gunControl", page: "gunControlMain", list: "gunControlLang" },
            { tag: "profile", page: "profileMain", list: "profileLang" },
        ]
    }
    function test_englishTexts(row) {
        const doc = createTemporaryObject(document, testCase)
        const texts = ui_View.getLangStrings(row.tag, "English")
        compare((row.page === "" ? doc : child(doc, row.page))[row.list], texts)
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
        const doc = open(k553Gun)
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

    function test_disconnectedNotice() {
        const doc = open(k553)
        const notice = child(doc, "disconnectedNotice")
        verify(!notice.visible)
        doc.setDeviceConnected(false)
        verify(notice.visible)
        doc.initUI()
        verify(!notice.visible)
    }

    function test_layout_data() {
        return [
            { tag: "panelleft", x: 24, y: 88 },
            { tag: "panelRight", x: 768, y: 56 },
            { tag: "upItem", x: 920, y: 16 },
            { tag: "reportRateRect", w: 232, h: 42 },
            { tag: "systemSettingButton", w: 232, h: 24 },
            { tag: "saveButton", w: 64, h: 24 },
            { tag: "factorysure", w: 427, h: 102 },
            { tag: "mainMask", x: 0, y: 0, w: 1024, h: 640 },
            { tag: "mouseMain", x: 0, y: 0, w: 1024, h: 640 },
            { tag: "askMenu", x: 1024 - 300 - 200, y: 30, w: 200 },
        ]
    }
    function test_layout(row) {
        const doc = open(k553)
        const item = child(doc, row.tag)
        if (row.x !== undefined) compare(item.x, row.x)
        if (row.y !== undefined) compare(item.y, row.y)
        if (row.w !== undefined) compare(item.width, row.w)
        if (row.h !== undefined) compare(item.height, row.h)
    }

    // The bottom bar stands 24 from the right and 8 from the bottom: Config, Reset, Save.
    function test_bottomBar() {
        const doc = open(k553)
        const bar = child(doc, "bottomBar")
        compare(bar.x + bar.width, 1024 - 24)
        compare(bar.y + bar.height, 640 - 8)
        const names = ["configButton", "resetButton", "saveButton"]
        for (let i = 0; i < 3; ++i)
            compare(child(doc, names[i]).x, i * (64 + 16))
    }
}
