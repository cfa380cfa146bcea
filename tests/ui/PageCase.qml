import QtQuick
import QtTest

// What every page suite stands on: the root document in a window of its size, started as the host
// starts it on a fresh view and virtual mouse, and the words the suites share to drive and read it.
// Every case fails on any QML warning and on any report the mouse could not make sense of.
TestCase {
    id: pageCase

    readonly property Component document: Qt.createComponent("qrc:/modules/qml/main.qml")
    // The document open() made last, the page openModal() opened, and the suite's own steps for
    // run() by name.
    property var doc: null
    property var page: null
    property var steps: ({})

    width: 1024
    height: 640
    visible: true
    when: windowShown

    function init() { failOnWarning(/qml/) }
    function cleanup() { compare(mouseSim.protocolErrors(), []) }

    // The root document on a fresh mouse of `model` (see UiRig.h), on a profile holding `profile`
    // (key: value), with the start-up lock over and the trace empty. `before` runs on the fresh
    // stores before the document reads them.
    function open(model, profile, before) {
        mouseSim.useModel(model)
        for (const key in profile)
            ui_View.setData(key, profile[key])
        if (before)
            before()
        doc = createTemporaryObject(document, pageCase)
        verify(doc, document.errorString())
        doc.initUI()
        doc.setProtectUI(0)
        mouseSim.clearTrace()
        return doc
    }
    // open() with the page `name` opened through the control `button`, the trace empty again.
    function openModal(model, profile, button, name) {
        open(model, profile)
        mouseClick(item(button))
        page = item(name)
        verify(page.visible)
        mouseSim.clearTrace()
        return [doc, page]
    }
    function child(parent, name) {
        const item = findChild(parent, name)
        verify(item, name)
        return item
    }
    function item(name) { return child(doc, name) }
    function storedList(key) { return ui_View.getDataList(key, false).map(Number) }
    function storedNumber(key) { return Number(ui_View.getData(key, false)) }
    // n presses and releases of A, gapMs apart, as the macro files store them.
    function tapsOfA(n, gapMs) {
        return Array.from({ length: 2 * n - 1 }, (_, i) => i % 2 ? "0," + gapMs : i % 4 ? "2,A" : "1,A")
    }
    // The command codes of the reports sent since open(), in order.
    function commandCodes() { return mouseSim.commands().map(c => c.split(" ")[0]) }
    function save() { mouseClick(item("saveButton")) }
    // Runs steps [name, args…] through the suite's steps and these: a bare name or ["click", name]
    // clicks the document's item of that name, ["down", code] and ["up", code] are keys as the
    // input hook hands them over, ["save"] the Save button.
    function run(list) {
        const act = Object.assign({
            click: name => mouseClick(item(name)),
            down: code => doc.detectKeyboard(true, code),
            up: code => doc.detectKeyboard(false, code),
            save: save
        }, steps)
        for (const step of list) {
            const [what, ...args] = Array.isArray(step) ? step : ["click", step]
            act[what](...args)
        }
    }
    // What the mouse holds of one setting on either family: the 553's own field, the 560's bytes
    // [from, to) of profile block `block`.
    function held(field, block, from, to) {
        const m = mouseSim.memory()
        const is560 = ui_View.getGlobalData("mouse/icType") === "560"
        return is560 ? m.profileBlocks[block].slice(from, to) : m[field]
    }

    // Opens a drop-down through its head and clicks row i once the list has come to rest.
    function choose(list, i) {
        const panel = child(list, "panel")
        mouseClick(list, list.width / 2, 12)
        tryCompare(panel, "offset", 0)
        tryCompare(panel, "running", false)
        mouseClick(list, 8, 24 * (i + 1) + 12)
        tryCompare(list, "isDrop", false)
        tryCompare(panel, "running", false)
    }
    // Presses at (x, y) of item and drags by (dx, dy) over the window, as a user would.
    function dragBy(item, x, y, dx, dy) {
        const p = item.mapToItem(pageCase, x, y)
        mousePress(pageCase, p.x, p.y)
        mouseMove(pageCase, p.x + dx / 2, p.y + dy / 2, -1, Qt.LeftButton)
        mouseMove(pageCase, p.x + dx, p.y + dy, -1, Qt.LeftButton)
        mouseRelease(pageCase, p.x + dx, p.y + dy)
    }
    // Replaces what a number box holds with text and presses Enter.
    function typeInto(box, text) {
        mouseClick(box)
        box.txtInput.selectAll()
        type(text)
    }
    // Types text key by key, then Enter unless told not to.
    function type(text, enter = true) {
        for (const c of text)
            keyClick(c)
        if (enter)
            keyClick(Qt.Key_Return)
    }
}
