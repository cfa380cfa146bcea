import QtQuick
import QtTest
import "qrc:/modules/qml/J2"
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/common/sliderMath.js" as SliderMath
import "qrc:/modules/qml/common/numberInput.js" as NumberInput

// The shared controls, each built on its own and driven with real mouse and key events. The
// controls read the root document's look unqualified, so this document declares it, and stands
// in for the profile page that Menu_Up feeds on.
Item {
    id: root

    readonly property string fontFamily: "DejaVu Sans"
    readonly property int fontNormalSize: 12
    readonly property int fontMinSize: 10
    property string focusStatus: ""
    readonly property color fontColor: "#ffffff"
    readonly property color colorGray0: "#1a1a1a"
    readonly property color colorGray1: "#3c3c3c"
    readonly property color colorGray2: "#969696"
    readonly property color colorGray3: "#d1d1d1"
    readonly property color colorBlue: "#09347f"
    readonly property color colorOrange: "#cf3e00"
    readonly property color colorBlack: "#000000"
    readonly property url sourceSlide: skinImage("index", "slide.png")
    readonly property url sourceDropBtn: skinImage("index", "dropBtn.png")
    readonly property url sourceDropBtnU: skinImage("index", "dropBtnU.png")
    readonly property url sourceCheckBtn: skinImage("index", "checkBtn.png")
    readonly property url sourceAsk: skinImage("index", "ask.png")
    readonly property url sourceAskH: skinImage("index", "askH.png")
    readonly property url sourceMinBtn: skinImage("index", "minBtn.png")
    readonly property url sourceMinBtnH: skinImage("index", "minBtnH.png")
    readonly property url sourceCloseBtn: skinImage("index", "closeBtn.png")
    readonly property url sourceCloseBtnH: skinImage("index", "closeBtnH.png")

    function skinImage(group, file) {
        return "qrc:/" + group + "/modules/img/skin1/" + group + "/" + file
    }

    width: 1024
    height: 640

    QtObject {
        id: profileMain

        property ListModel profileDataModel0: ListModel {
            ListElement { textValue: "Standard"; profileNo: 0 }
            ListElement { textValue: "Work"; profileNo: 1 }
            ListElement { textValue: "Game"; profileNo: 4 }
        }
        property var changes: []

        function changeProfile(index) { changes.push(index) }
    }

    Component { id: checkBoxType; CheckBox { x: 100; y: 100 } }
    Component { id: radioType; RadioButton { x: 100; y: 100 } }
    Component { id: listType; DropDownList { x: 100; y: 100; width: 120 } }
    Component { id: gridType; DropDownGrid { x: 100; y: 100; width: 107 } }
    Component { id: dropSliderType; DropDownSlider { x: 100; y: 100; width: 110 } }
    Component { id: sliderType; SliderButton { x: 100; y: 100 } }
    Component { id: inputType; RectInput { x: 100; y: 100 } }
    Component { id: busyType; BusyIndicator {} }
    Component { id: menuType; Menu_Up { x: 920; y: 16 } }
    Component { id: spyType; SignalSpy {} }

    // Every case runs on the shown window and fails on any QML warning.
    component ControlTest: TestCase {
        when: windowShown

        function init() { failOnWarning(/qml/) }
    }

    // Shared by the test cases below.
    function spy(target, signalName) {
        return spyType.createObject(target, { target: target, signalName: signalName })
    }

    function fill(control, texts) {
        for (const t of texts)
            control.mdItems.append({ textValue: t })
        if (control.count !== undefined)
            control.count = texts.length
    }

    function panelOf(control) {
        return Array.from(control.children).find(c => c.objectName === "panel")
    }

    // A spy's arguments as plain lists, to compare whole.
    function argsOf(spy) {
        return spy.signalArguments.map(a => Array.from(a))
    }

    ControlTest {
        name: "CheckBox"

        // Inside the 6-pixel margin or not; the handler sees the state from before the click.
        function test_click_data() {
            return [
                { tag: "on the box", at: (w, h) => [w - 6, h / 2], was: false, clicks: 1 },
                { tag: "on the label, ticked", at: (w, h) => [2, h / 2], was: true, clicks: 1 },
                { tag: "6 left", at: (w, h) => [-6, h / 2], was: false, clicks: 1 },
                { tag: "6 below", at: (w, h) => [w / 2, h + 5], was: true, clicks: 1 },
                { tag: "7 right", at: (w, h) => [w + 7, h / 2], was: false, clicks: 0 },
                { tag: "7 above", at: (w, h) => [w / 2, -7], was: false, clicks: 0 },
            ]
        }
        function test_click(data) {
            const box = createTemporaryObject(checkBoxType, root, { index: 5, isSelect: data.was })
            const seen = []
            box.btnClick.connect(i => seen.push([i, box.isSelect]))
            const [x, y] = data.at(box.width, box.height)
            mouseClick(box, x, y)
            compare(seen, data.clicks ? [[5, data.was]] : [])
            compare(box.isSelect, data.clicks ? !data.was : data.was)
        }
    }

    ControlTest {
        name: "RadioButton"

        // Set first, then reported; clicking a chosen button keeps it chosen.
        function test_click_data() {
            return [
                { tag: "unchosen", was: false },
                { tag: "chosen", was: true },
            ]
        }
        function test_click(data) {
            const button = createTemporaryObject(radioType, root, { index: 2, isSelect: data.was })
            const seen = []
            button.btnClick.connect(i => seen.push([i, button.isSelect]))
            mouseClick(button, -6, button.height / 2)
            compare(seen, [[2, true]])
            compare(button.isSelect, true)
            mouseClick(button, button.width + 7, button.height / 2)
            compare(seen.length, 1)
        }
    }

    ControlTest {
        name: "DropDownList"

        readonly property var rates: ["125Hz", "250Hz", "500Hz", "1000Hz"]

        function make(texts, props) {
            const list = createTemporaryObject(listType, root, props || {})
            fill(list, texts)
            return list
        }
        function settle(list) { tryCompare(panelOf(list), "running", false) }
        function open(list) {
            mouseClick(list, 10, 12)
            settle(list)
            compare(panelOf(list).offset, 0)
        }
        function clickRow(list, row, x) { mouseClick(list, x === undefined ? 10 : x, 24 + 24 * row + 12) }

        function test_head_data() {
            return [
                { tag: "first", select: 0, text: "125Hz" },
                { tag: "last", select: 3, text: "1000Hz" },
                { tag: "past the end", select: 4, text: "" },
                { tag: "none", select: -1, text: "" },
                { tag: "no items", select: 0, text: "", items: [] },
            ]
        }
        function test_head(data) {
            const list = make(data.items || rates)
            compare(list.textValue, data.items ? "" : "500Hz")
            list.currentSelect = data.select
            compare(list.textValue, data.text)
        }

        // The row is chosen at once; the page hears of it when the list has closed.
        function test_chooseRow() {
            const list = make(rates)
            const changed = spy(list, "valueChange")
            open(list)
            clickRow(list, 1)
            compare(list.currentSelect, 1)
            compare(list.isDrop, false)
            compare(changed.count, 0)
            changed.wait()
            compare(argsOf(changed), [[1]])
            compare(panelOf(list).offset, 24 * 4)
        }

        function test_scrollBarEdgeTakesNoClicks() {
            const list = make(rates)
            open(list)
            clickRow(list, 0, list.width - 10)
            compare(list.currentSelect, 2)
            compare(list.isDrop, true)
        }

        // A click on a moving list's head is reported but changes nothing.
        function test_headWhileMoving_data() {
            return [
                { tag: "opening", startOpen: false },
                { tag: "closing", startOpen: true },
            ]
        }
        function test_headWhileMoving(data) {
            const list = make(rates.slice(0, 1))
            const clicks = spy(list, "btnClick")
            if (data.startOpen)
                open(list)
            mouseClick(list, 10, 12)
            verify(panelOf(list).running)
            mouseClick(list, 10, 12)
            compare(clicks.count, data.startOpen ? 3 : 2)
            compare(list.isDrop, !data.startOpen)
            settle(list)
            compare(panelOf(list).offset, data.startOpen ? 24 : 0)
        }

        // A page that closes every list on btnClick (mainFocus) closes an open one with the head.
        function test_headClosesThroughPage() {
            const list = make(rates)
            list.btnClick.connect(list.closeMenu)
            open(list)
            mouseClick(list, 10, 12)
            compare(list.isDrop, false)
            settle(list)
            compare(panelOf(list).offset, 24 * 4)
        }

        function test_closeMenu_data() {
            return [
                { tag: "closed", openFirst: false, scroll: 0, running: false },
                { tag: "open", openFirst: true, scroll: 0, running: true },
                { tag: "open and scrolled", openFirst: true, scroll: 60, running: true },
            ]
        }
        function test_closeMenu(data) {
            const list = make(rates.concat(rates, rates), { currentSelect: 0 })
            if (data.openFirst)
                open(list)
            if (data.scroll)
                mouseDrag(list, list.width - 6, 30, 0, data.scroll)
            list.closeMenu()
            compare(list.isDrop, false)
            compare(panelOf(list).running, data.running)
            settle(list)
            compare(panelOf(list).offset, 24 * 12)
        }

        // 20 rows: the bar is half the window; it stays inside the window however far it is
        // dragged, and the list follows it.
        function test_scrollBar_data() {
            return [
                { tag: "down 60", dy: 60, offset: 120 },
                { tag: "past the bottom", dy: 400, offset: 240 },
                { tag: "up past the top", dy: -100, offset: 0 },
            ]
        }
        function test_scrollBar(data) {
            const list = make(Array.from({ length: 20 }, (_, i) => "item " + i))
            const drags = spy(list, "dragSignal")
            open(list)
            const bar = findChild(list, "scrollBar")
            compare(bar.height, 120)
            compare(panelOf(list).height, 240)
            mouseDrag(list, list.width - 6, 34, 0, data.dy)
            compare(panelOf(list).offset, data.offset)
            compare(bar.y, data.offset / 2)
            compare(argsOf(drags), [[true], [false]])
        }
    }

    ControlTest {
        name: "DropDownGrid"

        readonly property var media: ["Player", "Next", "Prev", "Stop", "Mute", "Play", "Vol+", "Vol-", ""]

        function make() {
            const grid = createTemporaryObject(gridType, root)
            fill(grid, media)
            return grid
        }
        function settle(grid) { tryCompare(panelOf(grid), "running", false) }

        // Choosing a named or an empty cell is driven on the key assignment page (tst_keys).
        function test_headWhileMoving() {
            const grid = make()
            const clicks = spy(grid, "btnClick")
            compare(grid.textValue, "Player")
            compare([panelOf(grid).width, panelOf(grid).height], [3 * 107, 3 * 24])
            mouseClick(grid, 10, 12)
            mouseClick(grid, 10, 12)
            compare(grid.isDrop, true)
            compare(clicks.count, 0)
        }

        // Unlike the list, a closed grid runs its close animation again (in place).
        function test_closeMenuWhenClosed() {
            const grid = make()
            grid.closeMenu()
            verify(panelOf(grid).running)
            compare(grid.isDrop, false)
            compare(panelOf(grid).offset, 72)
            mouseClick(grid, 10, 12)
            compare(grid.isDrop, false)
            settle(grid)
        }
    }

    ControlTest {
        name: "DropDownSlider"

        // The inner slider is 16 narrower (94 of 110: positions 3 … 79) and centred; its
        // positions and drags come out of the drop-down.
        function test_slider() {
            const drop = createTemporaryObject(dropSliderType, root, { textValue: "10ms" })
            const slider = drop.sliderControl
            const values = spy(drop, "valueChange")
            const drags = spy(drop, "dragSignal")
            compare(slider.width, 94)
            compare(slider.x, 8)
            drop.setValue(1)
            drop.setValue(0)
            compare(argsOf(values), [[79], [4]])
            mouseClick(drop, 10, 12)
            compare(drop.isDrop, true)
            tryCompare(panelOf(drop), "running", false)
            mouseDrag(slider, findChild(slider, "knob").x + 6, 3, 30, 0)
            compare(argsOf(drags), [[true], [false]])
            verify(values.count > 2)
        }

        function test_headWhileMoving() {
            const drop = createTemporaryObject(dropSliderType, root)
            const clicks = spy(drop, "btnClick")
            mouseClick(drop, 10, 12)
            mouseClick(drop, 10, 12)
            compare(clicks.count, 2)
            compare(drop.isDrop, true)
            drop.closeMenu()
            compare(drop.isDrop, true)
        }
    }

    ControlTest {
        name: "SliderButton"

        function make(props) { return createTemporaryObject(sliderType, root, props) }
        function knob(slider) { return findChild(slider, "knob") }
        function stop(w, i) { return 3 + (w - 18) / 10 * i }

        // Every way of moving the knob stops at 3 and at w - 15.
        function test_ends_data() {
            return [
                { tag: "176", width: 176, last: 161 },
                { tag: "352", width: 352, last: 337 },
            ]
        }
        function test_ends(data) {
            const slider = make({ width: data.width })
            const values = spy(slider, "valueChange")
            slider.setRatioValue(0)
            slider.setRatioValue(0.5)
            slider.setRatioValue(1)
            compare(argsOf(values), [[4], [Math.floor((data.width - 18) / 2) + 4], [data.last]])
            slider.setValue(-50)
            compare(knob(slider).x, 3)
            mouseDrag(slider, 9, 3, data.width + 100, 0)
            compare(knob(slider).x, data.last)
            mouseDrag(slider, data.last + 6, 3, -data.width - 100, 0)
            compare(knob(slider).x, 3)
            mouseClick(slider, data.width + 2, 3)
            tryCompare(knob(slider), "x", data.last)
        }

        // Eleven stops; only a request to send reports the move.
        function test_setIndex_data() {
            return [0, 1, 5, 9, 10].map(i => ({ tag: "stop " + i, index: i }))
        }
        function test_setIndex(data) {
            const slider = make({ width: 176, isScale: true })
            const values = spy(slider, "valueChange")
            slider.setIndexValue(data.index, false)
            compare(slider.segmentValue, data.index)
            fuzzyCompare(knob(slider).x, stop(176, data.index), 1e-9)
            compare(values.count, 0)
            slider.setIndexValue(data.index, true)
            compare(argsOf(values), [[Math.floor(stop(176, data.index))]])
        }

        // A click sends the knob to the first stop at or past the pointer, then reports it once
        // it has arrived: valueChange, then valueChangeDelay.
        function test_clickSnaps_data() {
            return [
                { tag: "on stop 0", at: stop(176, 0), index: 0 },
                { tag: "just past stop 3", at: stop(176, 3) + 0.5, index: 4 },
                { tag: "just before stop 6", at: 97, index: 6 },
                { tag: "past stop 9", at: stop(176, 9) + 1, index: 10 },
                { tag: "right end", at: 170, index: 10 },
            ]
        }
        function test_clickSnaps(data) {
            const slider = make({ width: 176, isScale: true })
            const order = []
            slider.valueChange.connect(x => order.push(["change", x]))
            slider.valueChangeDelay.connect(x => order.push(["delay", x]))
            const clicks = spy(slider, "btnClick")
            slider.setIndexValue(data.index < 5 ? 10 : 0, false)
            mouseClick(slider, data.at + 6, 3)
            compare(clicks.count, 1)
            compare(slider.segmentValue, data.index)
            tryCompare(knob(slider), "x", stop(176, data.index))
            tryCompare(order, "length", 2)
            const x = Math.floor(stop(176, data.index))
            compare(order, [["change", x], ["delay", x]])
        }

        // Released within a pixel past a stop it stays there, further on it goes to the next;
        // while stepped, a drag reports only its end.
        function test_releaseSnaps_data() {
            return [
                { tag: "just before stop 4 (66.2)", to: 66, index: 4 },
                { tag: "within a pixel past stop 4", to: 67, index: 4 },
                { tag: "more than a pixel past stop 4", to: 68, index: 5 },
                { tag: "past the end", to: 200, index: 10 },
            ]
        }
        function test_releaseSnaps(data) {
            const slider = make({ width: 176, isScale: true })
            const values = spy(slider, "valueChange")
            const delayed = spy(slider, "valueChangeDelay")
            const drags = spy(slider, "dragSignal")
            mousePress(slider, 9, 3)
            mouseMove(slider, 9 + Math.round((data.to - 3) / 2), 3)
            mouseMove(slider, 9 + data.to - 3, 3)
            mouseRelease(slider, 9 + data.to - 3, 3)
            compare(slider.segmentValue, data.index)
            fuzzyCompare(knob(slider).x, stop(176, data.index), 1e-9)
            compare(values.count, 0)
            compare(argsOf(delayed), [[Math.floor(stop(176, data.index))]])
            compare(argsOf(drags), [[true], [false]])
        }

        function test_continuousDrag() {
            const slider = make({ width: 176 })
            const values = spy(slider, "valueChange")
            const delayed = spy(slider, "valueChangeDelay")
            const clicks = spy(slider, "btnClick")
            mousePress(slider, 9, 3)
            mouseMove(slider, 19, 3)
            mouseMove(slider, 49, 3)
            mouseRelease(slider, 49, 3)
            compare(clicks.count, 1)
            compare(argsOf(values), [[13], [43]])
            compare(argsOf(delayed), [[43]])
        }
    }

    ControlTest {
        name: "RectInput"

        // What the box holds once left: empty or 0 reads "0", the range holds, the validator
        // and the 4-character limit stop the rest while typing.
        function test_leave_data() {
            return [
                { tag: "emptied", type: "", shown: "0" },
                { tag: "zero", type: "0", shown: "0" },
                { tag: "leading zeros", type: "007", shown: "7" },
                { tag: "in range", type: "128", shown: "128" },
                { tag: "above max", type: "300", shown: "255" },
                { tag: "too many digits", type: "2555", shown: "255" },
                { tag: "letters", type: "1a2", shown: "12" },
                { tag: "below min", type: "3", min: 5, shown: "5" },
                { tag: "four characters", type: "123456", max: 65535, shown: "1234" },
            ]
        }
        function test_leave(data) {
            const input = createTemporaryObject(inputType, root,
                { minValue: data.min || 0, maxValue: data.max || 255 })
            const began = spy(input, "inputSignal")
            const ended = spy(input, "endInputSignal")
            mouseClick(input, 24, 10)
            verify(input.txtInput.activeFocus)
            compare(began.count, 1)
            input.txtInput.selectAll()
            keyClick(Qt.Key_Delete)
            for (const c of data.type)
                keyClick(c)
            keyClick(Qt.Key_Return)
            verify(!input.txtInput.activeFocus)
            compare(input.textValue, data.shown)
            compare(ended.count, 1)
        }

        function test_closeFocus() {
            const input = createTemporaryObject(inputType, root)
            const ended = spy(input, "endInputSignal")
            input.closeFocus()
            compare(ended.count, 0)
            mouseClick(input, 24, 10)
            input.txtInput.selectAll()
            input.closeFocus()
            verify(!input.txtInput.activeFocus)
            compare(input.txtInput.selectedText, "")
            compare(ended.count, 1)
        }
    }

    ControlTest {
        name: "BusyIndicator"

        function test_pulseWhileBusy() {
            const busy = createTemporaryObject(busyType, root)
            const label = busy.children[0]
            compare(label.text, "Loading…")
            compare(busy.visible, false)
            busy.setBusy(true)
            verify(busy.visible)
            tryVerify(() => label.opacity < 0.5)
            tryVerify(() => label.opacity > 0.9)
            busy.setBusy(false)
            compare(busy.visible, false)
        }
    }

    ControlTest {
        name: "Menu_Up"

        function init() {
            failOnWarning(/qml/)
            profileMain.changes = []
        }

        function test_buttons_data() {
            return [
                { tag: "ask", x: 8, index: 2, normal: sourceAsk, hovered: sourceAskH },
                { tag: "minimise", x: 40, index: 0, normal: sourceMinBtn, hovered: sourceMinBtnH },
                { tag: "close", x: 72, index: 1, normal: sourceCloseBtn, hovered: sourceCloseBtnH },
            ]
        }
        function test_buttons(data) {
            const menu = createTemporaryObject(menuType, root)
            const clicked = spy(menu, "btnClicked")
            const button = menu.children[1].childAt(data.x, 8)
            compare(button.source, data.normal)
            mouseMove(menu, data.x, 8)
            compare(button.source, data.hovered)
            mouseClick(menu, data.x, 8)
            compare(argsOf(clicked), [[data.index]])
            mouseMove(menu, data.x, 40)
            compare(button.source, data.normal)
        }

        // The profile drop-down: 144 × 24, 16 left of the buttons, fed by the profile page and
        // switching through it once the list has closed.
        function test_profileList() {
            const menu = createTemporaryObject(menuType, root)
            const list = menu.profileBtn
            compare([list.x, list.y, list.width, list.height], [-160, -4, 144, 24])
            compare(list.count, 3)
            list.currentSelect = 0
            mouseClick(list, 10, 12)
            tryCompare(panelOf(list), "running", false)
            mouseClick(list, 10, 24 + 2 * 24 + 12)
            compare(profileMain.changes, [])
            tryCompare(profileMain.changes, "length", 1)
            compare(profileMain.changes, [2])
            compare(list.textValue, "Game")
        }
    }

    // What the controls above do not reach: stored texts, indexes past the end, long lists, and
    // texts that typing cannot produce.
    ControlTest {
        name: "SliderMath"

        function test_values_data() {
            return [
                { tag: "index past the end", got: SliderMath.indexToPos(96, 4, 9), want: 81 },
                { tag: "index as text", got: SliderMath.indexToPos(96, 4, "2"), want: 42 },
                { tag: "time of 4", got: SliderMath.animationTime(4), want: 140 },
                { tag: "time of 18", got: SliderMath.animationTime(18), want: 0 },
                { tag: "grid rows of 10", got: SliderMath.gridRows(10, 3), want: 4 },
                { tag: "bar of 12", got: SliderMath.scrollBarSize(12), want: 200 },
                { tag: "no bar for 10", got: SliderMath.hasScrollBar(10), want: false },
                { tag: "bar closed", got: SliderMath.scrollBarPos(480, 20), want: 240 },
                { tag: "settle letters", got: NumberInput.settle("abc", 0, 255), want: "0" },
                { tag: "settle minus", got: NumberInput.settle("-3", 0, 255), want: "0" },
                { tag: "settle 0 below min", got: NumberInput.settle("0", 1, 65535), want: "0" },
            ]
        }
        function test_values(data) {
            compare(data.got, data.want)
        }
    }
}
