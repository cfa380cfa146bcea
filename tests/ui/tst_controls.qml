import QtQuick
import QtTest

// The shared controls, each built on its own and driven with real mouse and key events, a table of
// cases per control kind. The controls read the root document's look unqualified, so this
// document declares it.
PageCase {
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
    readonly property color colorOrange: "#cf3e00"
    readonly property url sourceSlide: skin("slide.png")
    readonly property url sourceDropBtn: skin("dropBtn.png")
    readonly property url sourceDropBtnU: skin("dropBtnU.png")
    readonly property url sourceCheckBtn: skin("checkBtn.png")
    readonly property url sourceAsk: skin("ask.png")
    readonly property url sourceAskH: skin("askH.png")
    readonly property url sourceMinBtn: skin("minBtn.png")
    readonly property url sourceMinBtnH: skin("minBtnH.png")
    readonly property url sourceCloseBtn: skin("closeBtn.png")
    readonly property url sourceCloseBtnH: skin("closeBtnH.png")

    function skin(file) { return "qrc:/index/modules/img/skin1/index/" + file }

    name: "Controls"

    // Menu_Up feeds its profile list on the profile page (driven in tst_profile).
    QtObject {
        id: profileMain

        property ListModel profileDataModel0: ListModel {}

        function changeProfile(index) {}
    }

    readonly property var rates: ["125Hz", "250Hz", "500Hz", "1000Hz"]

    // One of the shared controls ("J2/CheckBox"), built on its own at (100, 100).
    function make(file, properties) {
        const type = Qt.createComponent("qrc:/modules/qml/" + file + ".qml")
        return createTemporaryObject(type, root, Object.assign({ x: 100, y: 100 }, properties))
    }
    // The stops of a stepped slider 176 wide.
    function stop(i) { return 3 + 15.8 * i }
    // Every signal the control gives, in order, as "name argument…".
    function record(control) {
        const log = []
        const names = ["btnClick", "valueChange", "valueChangeDelay", "dragSignal", "btnClicked",
                       "inputSignal", "endInputSignal"]
        for (const name of names)
            control[name]?.connect((...args) => log.push([name].concat(args).join(" ")))
        return log
    }


    // Inside the 6-pixel margin or not: the state before and after, and the state the handler sees
    // (none when the click misses). A radio button is set first, then reported, and stays chosen.
    function test_toggle_data() {
        return [
            { tag: "box", at: (w, h) => [w - 6, h / 2], was: false, now: true, seen: false },
            { tag: "box label, ticked", at: (w, h) => [2, h / 2], was: true, now: false, seen: true },
            { tag: "box 6 left", at: (w, h) => [-6, h / 2], was: false, now: true, seen: false },
            { tag: "box 6 below", at: (w, h) => [w / 2, h + 5], was: true, now: false, seen: true },
            { tag: "box 7 right", at: (w, h) => [w + 7, h / 2], was: false, now: false },
            { tag: "box 7 above", at: (w, h) => [w / 2, -7], was: false, now: false },
            { tag: "radio", radio: true, at: (w, h) => [-6, h / 2], was: false, now: true, seen: true },
            { tag: "radio on", radio: true, at: (w, h) => [-6, h / 2], was: true, now: true, seen: true },
            { tag: "radio 7 right", radio: true, at: (w, h) => [w + 7, h / 2], was: false, now: false }
        ]
    }
    function test_toggle(data) {
        const button = make(data.radio ? "J2/RadioButton" : "J2/CheckBox", { index: 5, isSelect: data.was })
        const seen = []
        button.btnClick.connect(i => seen.push([i, button.isSelect]))
        mouseClick(button, ...data.at(button.width, button.height))
        compare([seen, button.isSelect], [data.seen === undefined ? [] : [[5, data.seen]], data.now])
    }

    // Steps on a control: "open" (the head, then at rest), "head", "close" (closeMenu), "page" (a
    // page that closes every list on btnClick, as mainFocus does), "moving" and "still" (the
    // panel), ["row", i, x], ["select", i], ["bar", y, dy] (a drag on the scroll bar), ["value", v],
    // ["index", i, send], ["click", x], ["drag", x, dx], ["slide", dx] (the knob pressed, moved
    // half and all the way, let go), or a check of (control, signals so far).
    function drive(l, log, steps) {
        const act = {
            head: () => mouseClick(l, 10, 12),
            still: () => tryCompare(child(l, "panel"), "running", false),
            open: () => {
                act.head()
                act.still()
            },
            moving: () => verify(child(l, "panel").running),
            close: () => l.closeMenu(),
            page: () => l.btnClick.connect(l.closeMenu),
            row: (i, x) => mouseClick(l, x ?? 10, 24 + 24 * i + 12),
            select: i => l.currentSelect = i,
            is: (property, value) => compare(l[property], value),
            bar: (y, dy) => mouseDrag(l, l.width - 6, y, 0, dy),
            value: v => l.setValue(v),
            index: (i, send) => l.setIndexValue(i, send),
            click: x => mouseClick(l, x, 3),
            at: x => tryVerify(() => Math.abs(child(l, "knob").x - x) < 1e-9, 5000, "knob at " + x),
            drag: (x, dx) => mouseDrag(l, x, 3, dx, 0),
            slide: dx => {
                const knob = l.sliderControl ?? l
                mousePress(knob, 9, 3)
                mouseMove(knob, 9 + Math.round(dx / 2), 3)
                mouseMove(knob, 9 + dx, 3)
                mouseRelease(knob, 9 + dx, 3)
            }
        }
        for (const step of steps) {
            const [what, ...args] = Array.isArray(step) ? step : [step]
            if (typeof step === "function")
                step(l, log)
            else
                act[what](...args)
        }
    }

    // Each row drives a drop-down from closed and compares where it comes to rest: open or not,
    // the panel's offset, the choice and the signals in order. A list reports a row once it has
    // closed; a click on a moving head is reported but changes nothing.
    function test_dropDown_data() {
        const twelve = { items: rates.concat(rates, rates) }
        const dragged = ["btnClick", "dragSignal true", "dragSignal false"]
        const clicks = n => Array(n).fill("btnClick")
        const shows = (i, text) => [["select", i], ["is", "textValue", text]]
        // the steps, then where the list comes to rest: open or not, the panel's offset, the signals
        const row = (tag, steps, drop, offset, log, o) => Object.assign({ tag, steps, drop, offset, log }, o)
        // 20 rows: the bar is half the window and stays inside it however far it is dragged
        const many = { items: Array.from({ length: 20 }, (_, i) => "item " + i) }
        const barAt = y => l => compare([findChild(l, "scrollBar").y, findChild(l, "scrollBar").height,
                                         child(l, "panel").height], [y, 120, 240])
        const bar = (dy, y) => row("bar dragged " + dy, ["open", barAt(0), ["bar", 34, dy], barAt(y)], true,
                                   2 * y, dragged, many)
        const grid = { type: "J2/DropDownGrid", width: 107,
                       items: ["Player", "Next", "Prev", "Stop", "Mute", "Play", "Vol+", "Vol-", ""] }
        const one = { items: ["a"] }
        const strip = { type: "J2/DropDownSlider", width: 110 }
        return [
            row("head", [...shows(0, "125Hz"), ...shows(3, "1000Hz"), ...shows(4, ""), ...shows(-1, "")],
                false, 96, []),
            row("head without items", [["is", "textValue", ""]], false, 0, [], { items: [] }),
            row("choose a row", ["open", ["row", 1], (l, log) => compare(log, clicks(1)), "still",
                                 ["is", "currentSelect", 1]], false, 96, ["btnClick", "valueChange 1"]),
            row("bar edge takes no click", ["open", ["row", 0, 110], ["is", "currentSelect", 2]], true, 0,
                clicks(1)),
            row("head while opening", ["head", "moving", "head"], true, 0, clicks(2), one),
            row("head while closing", ["open", "head", "moving", "head"], false, 24, clicks(3), one),
            row("head closes through page", ["page", "open", "head"], false, 96, clicks(2)),
            row("closeMenu when closed", ["close", "still"], false, 288, [], twelve),
            row("closeMenu open and scrolled", ["open", ["bar", 30, 60], "close", "moving"], false, 288,
                dragged, twelve),
            bar(60, 60),
            bar(400, 120),
            bar(-100, 0),
            row("grid, head while opening", [["is", "textValue", "Player"], "head", "moving", "head",
                l => compare([child(l, "panel").width, child(l, "panel").height], [3 * 107, 3 * 24])],
                true, 0, [], grid),
            // unlike the list, a closed grid runs its close animation again (in place)
            row("grid, closeMenu when closed", ["close", "moving", "head"], false, 24, [],
                { type: "J2/DropDownGrid", width: 107, items: ["a", "b"] }),
            // as for the list, only an open strip at rest closes
            row("slider, head while opening", ["head", "moving", "head", "close"], true, 0, clicks(2),
                strip),
            // the inner slider is 16 narrower (94 of 110: positions 3 … 79) and centred; its
            // positions and drags come out of the drop-down
            row("slider inside", [l => compare([l.sliderControl.width, l.sliderControl.x], [94, 8]),
                                  ["value", 1], ["value", 0], "open", ["slide", 30]], true, 0,
                ["valueChange 79", "valueChange 4", "btnClick", "dragSignal true", "valueChange 19",
                 "valueChange 34", "dragSignal false"], strip)
        ]
    }
    function test_dropDown(data) {
        const list = make(data.type ?? "J2/DropDownList", { width: data.width ?? 120 })
        for (const t of list.mdItems ? data.items ?? rates : [])
            list.mdItems.append({ textValue: t })
        if (list.count !== undefined)
            list.count = list.mdItems.count
        const log = record(list)
        drive(list, log, data.steps)
        tryCompare(child(list, "panel"), "running", false)
        compare([list.isDrop, child(list, "panel").offset, log], [data.drop, data.offset, data.log])
    }

    // The knob stops at 3 and at w - 15 whatever moves it. Stepped, it has eleven stops: a click
    // sends it to the first stop at or past the pointer and reports it once it has arrived; a
    // release within a pixel past a stop stays there, further on it goes to the next; only a
    // request to send reports a stop set from outside.
    function test_slider_data() {
        const ratios = [0, 0.5, 1].map(r => s => s.setRatioValue(r))
        const at = i => " " + Math.floor(stop(i))
        const clicked = i => ["btnClick", "valueChange" + at(i), "valueChangeDelay" + at(i)]
        const released = i => ["btnClick", "dragSignal true", "valueChangeDelay" + at(i), "dragSignal false"]
        const click = (from, x) => [["index", from, false], ["click", x + 6]]
        return [
            { tag: "ratios, 176", steps: ratios, knob: 161,
              log: ["valueChange 4", "valueChange 83", "valueChange 161"] },
            { tag: "ratios, 352", steps: ratios, knob: 337, width: 352,
              log: ["valueChange 4", "valueChange 171", "valueChange 337"] },
            // below the start, dragged past the end and back past the start, clicked past the end
            { tag: "ends", steps: [["value", -50], ["at", 3], ["drag", 9, 300], ["at", 161],
                                   ["drag", 167, -300], ["at", 3], ["click", 178]], knob: 161 },
            { tag: "continuous drag", steps: [["slide", 40]], knob: 43,
              log: ["btnClick", "dragSignal true", "valueChange 23", "valueChange 43",
                    "valueChangeDelay 43", "dragSignal false"] },
            { tag: "from outside", steps: [["index", 1, true], ["index", 10, true], ["index", 5, false]],
              index: 5, log: ["valueChange 18", "valueChange 161"] },
            { tag: "click on stop 0", steps: click(10, stop(0)), index: 0, log: clicked(0) },
            { tag: "click past stop 3", steps: click(10, stop(3) + 0.5), index: 4, log: clicked(4) },
            { tag: "click before stop 6", steps: click(0, 97), index: 6, log: clicked(6) },
            { tag: "click past stop 9", steps: click(0, stop(9) + 1), index: 10, log: clicked(10) },
            { tag: "release before stop 4", steps: [["slide", 63]], index: 4, log: released(4) },
            { tag: "release a pixel past stop 4", steps: [["slide", 64]], index: 4, log: released(4) },
            { tag: "release further past stop 4", steps: [["slide", 65]], index: 5, log: released(5) },
            { tag: "release past the end", steps: [["slide", 197]], index: 10, log: released(10) }
        ]
    }
    function test_slider(data) {
        const stepped = data.index !== undefined
        const slider = make("J2/SliderButton", { isScale: stepped, width: data.width ?? 176 })
        const log = record(slider)
        drive(slider, log, data.steps)
        drive(slider, log, [["at", stepped ? stop(data.index) : data.knob]])
        if (stepped)
            compare(slider.segmentValue, data.index)
        if (data.log) {
            tryCompare(log, "length", data.log.length)
            compare(log, data.log)
        }
    }

    // What the box holds once left: empty or 0 reads "0", the range holds, the validator and the
    // 4-character limit stop the rest while typing.
    function test_numberBox_data() {
        return [
            { tag: "emptied", type: "", shown: "0" },
            { tag: "zero", type: "0", shown: "0" },
            { tag: "leading zeros", type: "007", shown: "7" },
            { tag: "above max", type: "300", shown: "255" },
            { tag: "too many digits", type: "2555", shown: "255" },
            { tag: "letters", type: "1a2", shown: "12" },
            { tag: "below min", type: "3", min: 5, shown: "5" },
            { tag: "four characters", type: "123456", max: 65535, shown: "1234" }
        ]
    }
    function test_numberBox(data) {
        const input = make("J2/RectInput", { minValue: data.min ?? 0, maxValue: data.max ?? 255 })
        const log = record(input)
        input.closeFocus()
        mouseClick(input, 24, 10)
        verify(input.txtInput.activeFocus)
        input.txtInput.selectAll()
        keyClick(Qt.Key_Delete)
        for (const c of data.type)
            keyClick(c)
        keyClick(Qt.Key_Return)
        compare([input.txtInput.activeFocus, input.textValue], [false, data.shown])
        // leaving from outside ends the editing once, and clears the selection
        mouseClick(input, 24, 10)
        input.txtInput.selectAll()
        input.closeFocus()
        compare([input.txtInput.activeFocus, input.txtInput.selectedText], [false, ""])
        compare(log, ["inputSignal", "endInputSignal", "inputSignal", "endInputSignal"])
    }

    function test_busyPulses() {
        const busy = make("basic/BusyIndicator")
        const label = busy.children[0]
        verify(!busy.visible)
        busy.setBusy(true)
        verify(busy.visible)
        tryVerify(() => label.opacity < 0.5)
        tryVerify(() => label.opacity > 0.9)
        busy.setBusy(false)
        compare(busy.visible, false)
    }

    function test_titleButtons() {
        const menu = make("basic/Menu_Up", { x: 920, y: 16 })
        const log = record(menu)
        const buttons = [[8, 2, sourceAsk, sourceAskH], [40, 0, sourceMinBtn, sourceMinBtnH],
                         [72, 1, sourceCloseBtn, sourceCloseBtnH]]
        for (const [x, index, normal, hovered] of buttons) {
            const button = menu.children[1].childAt(x, 8)
            compare(button.source, normal)
            mouseMove(menu, x, 8)
            compare(button.source, hovered)
            mouseClick(menu, x, 8)
            compare(log.splice(0), ["btnClicked " + index])
            mouseMove(menu, x, 40)
            compare(button.source, normal)
        }
    }
}
