import QtQuick
import QtTest
import "qrc:/modules/qml/common/gunMath.js" as GunMath

// The gun page in the whole window, against the real view, gun data file and virtual mouse:
// edits are stored at once and reach the mouse only when the page is closed after a change.
PageCase {
    property var doc: null
    property var page: null

    name: "GunPage"

    // The window with the gun page opened through its entry.
    function openGuns(model) {
        doc = open(model)
        page = child(doc, "gunControlMain")
        mouseClick(child(doc, "gunEditorEntry"))
        verify(page.visible)
        mouseSim.clearTrace()
    }
    function stored(gun) { return ui_View.getGunData(gun).map(String) }
    function count(list, value) { return list.filter(v => v === value).length }
    function closePage() { mouseClick(child(page, "gunCloseButton")) }
    // Opens a drop-down and waits until it rests open.
    function openDrop(drop) {
        mouseClick(drop, 10, 12)
        tryCompare(child(drop, "panel"), "running", false)
        verify(drop.isDrop)
    }

    // Pure arithmetic of the target and the rate slider.
    function test_gunMath_data() {
        return [
            { tag: "top", pull: 0, y: 89 },
            { tag: "middle", pull: 32, y: 136 },
            { tag: "bottom", pull: 64, y: 183 },
            { tag: "pull above range", pull: 90, y: 183, back: 64 },
            { tag: "pull not a number", pull: "x", y: 89, back: 0 },
        ]
    }
    function test_gunMath(row) {
        compare(GunMath.dotYForPull(row.pull), row.y)
        compare(GunMath.pullForDotY(row.y), row.back ?? row.pull)
        compare(GunMath.pullForDotY(row.y - 500), 0)
        compare(GunMath.pullForDotY(row.y + 500), 64)
    }
    // init: the stored records, the stored slots, slot 1's gun shown.
    function test_init() {
        openGuns({ family: "553", isGun: true, config: { "mouse/selectGun": [3, 4, 5] } })
        compare([page.selectGun1, page.selectGun2, page.selectGun3], [3, 4, 5])
        compare(page.gunNumberModel.count, 6)
        compare(page.gunNumberModel.get(3).gunName, "SCAR-L")
        compare(page.gunNumberModel.get(3).gunImage, doc.sourceGunDir + "SCAR-L.png")
        compare(page.gunNumber_lv.currentIndex, 3)
        compare(child(page, "slotList").textValue, "Gun 1")
        // the shipped SCAR-L: period 10, pull 6, so the dot is 6/64 of its 94 pixels below 89
        compare(child(page, "yBox").textValue, "6")
        compare(child(page, "rateSlider").textValue, "10ms")
        compare(child(page, "dot").y, 97.8125)
        // choosing slot 3 shows its gun and stores nothing
        const slots = child(page, "slotList")
        choose(slots, 2)
        tryCompare(page.gunNumber_lv, "currentIndex", 5)
        compare(child(page, "yBox").textValue, stored(5)[4])
        verify(!page.isSave)
    }

    // Every period 4 … 90 shows as itself on the rate slider.
    function test_ratePlacedForEveryPeriod() {
        openGuns({ family: "553", isGun: true })
        const rate = child(page, "rateSlider")
        for (let p = GunMath.minPeriod; p <= GunMath.maxPeriod; ++p) {
            page.gunNumberModel.setProperty(0, "gunPeriod", String(p))
            page.showGun(0)
            compare(rate.textValue, p + "ms")
        }
    }

    // A gun put in slot 2 is stored at once; closing sends the three slots and the key matrix once.
    function test_gunInSlot_data() {
        return [
            { tag: "553", family: "553", gun: "04", matrix: "12" },
            { tag: "560", family: "560", gun: "0c", matrix: "0d" },
        ]
    }
    function test_gunInSlot(row) {
        openGuns({ family: row.family, isGun: true, config: { "mouse/selectGun": [3, 4, 5] } })
        const slots = child(page, "slotList")
        choose(slots, 1)
        tryCompare(slots, "textValue", "Gun 2")
        mouseClick(child(page, "gunRow1"))
        compare(ui_View.getGlobalData("mouse/selectGun").map(String), ["3", "1", "5"])
        compare(page.selectGun2, 1)
        compare(page.gunNumber_lv.currentIndex, 1)
        compare(mouseSim.commands(), [])

        closePage()
        verify(!page.visible && !child(doc, "mainMask").visible)
        compare(count(commandCodes(), row.matrix), 1)
        verify(ui_View.enabled)
        const sent = [3, 1, 5].map(g => [stored(g)[5], stored(g)[3], stored(g)[4]].map(Number))
        if (row.family === "553") {
            compare(count(commandCodes(), row.gun), 3)
            compare(mouseSim.memory().gunSlots, sent)
        } else {
            const blocks = mouseSim.memory().profileBlocks
            for (let s = 0; s < 3; ++s)
                compare(blocks[s + 2].slice(79, 82), sent[s])
        }
        mouseSim.clearTrace()
        mouseClick(child(doc, "gunEditorEntry"))
        closePage()
        compare(mouseSim.commands(), [], "the second close has nothing new to send")
    }

    function test_closeWithoutChange() {
        openGuns({ family: "553", isGun: true })
        const before = mouseSim.readFile("gun/gunData.bin")
        // the current gun again in its own slot, a press on the dot without moving it
        mouseClick(child(page, "gunRow0"))
        mouseClick(child(page, "dot"))
        closePage()
        compare(mouseSim.commands(), [])
        compare(mouseSim.readFile("gun/gunData.bin"), before)
    }

    // The dot is dragged to either end of its travel; the Y box follows and the pull is stored.
    function test_dotDrag_data() {
        return [{ tag: "lowest", dy: 400, pull: "64" }, { tag: "top", dy: -400, pull: "0" }]
    }
    function test_dotDrag(row) {
        openGuns({ family: "553", isGun: true })
        page.gunNumberModel.setProperty(0, "gunY", "32")
        page.showGun(0)
        const dot = child(page, "dot")
        mouseDrag(dot, 4, 4, 0, row.dy)
        compare(child(page, "yBox").textValue, row.pull)
        compare(stored(0)[4], row.pull)
        verify(page.isSave)
    }

    // A pull typed into the Y box moves the dot and is stored; one still being typed when the
    // page is closed is stored and goes out with the rest.
    function test_typedPull_data() {
        return [{ tag: "enter", enter: true }, { tag: "closed while typing", enter: false }]
    }
    function test_typedPull(data) {
        openGuns({ family: "553", isGun: true })
        const box = child(page, "yBox")
        mouseClick(box)
        box.txtInput.selectAll()
        keyClick("4")
        keyClick("0")
        if (data.enter) {
            keyClick(Qt.Key_Return)
            compare(child(page, "dot").y, 89 + 94 * 40 / 64)
            verify(page.isSave)
            compare(mouseSim.commands(), [])
        }
        closePage()
        compare(stored(0)[4], "40")
        compare(mouseSim.memory().gunSlots[0], [Number(stored(0)[5]), Number(stored(0)[3]), 40])
    }

    // The rate knob at the right end is 90 ms; a click on the track is stored as well.
    function test_rate() {
        openGuns({ family: "553", isGun: true })
        const rate = child(page, "rateSlider")
        openDrop(rate)
        const knob = child(rate, "knob")
        mouseDrag(knob, 6, 6, 300, 0)
        compare(rate.textValue, "90ms")
        compare(stored(0)[2], "90")
        mouseClick(rate.sliderControl, 6 + 20, 3)
        tryCompare(rate, "textValue", "21ms")
        compare(stored(0)[2], "21")
    }

    // The times box and the endless box tell the same thing: a count of 0 is endless.
    function test_timesAndEndless() {
        openGuns({ family: "553", isGun: true })
        const endless = child(page, "endless")
        verify(endless.isSelect)
        typeInto(child(page, "timesBox"), "5")
        compare(stored(0)[5], "5")
        verify(!endless.isSelect)
        mouseClick(endless)
        compare(child(page, "timesBox").textValue, "0")
        compare(stored(0)[5], "0")
        tryCompare(endless, "isSelect", true)
        mouseClick(endless)
        tryCompare(endless, "isSelect", true)
        compare(stored(0)[5], "0")
    }

    // The factory reset puts guns 0, 1, 2 in the slots with their factory pull and period and
    // sends them; the page is left marked, and its next close sends the key matrix, which the mouse
    // holds already from the reset: nothing goes out.
    function test_factoryReset() {
        openGuns({ family: "553", isGun: true, config: { "mouse/selectGun": [3, 4, 5] } })
        page.gunNumberModel.setProperty(0, "gunY", "30")
        page.gunNumberModel.setProperty(0, "gunPeriod", "40")
        page.saveGun(0)
        closePage()
        mouseSim.clearTrace()
        mouseClick(child(doc, "resetButton"))
        mouseClick(child(doc, "okButton"))
        compare(ui_View.getGlobalData("mouse/selectGun").map(String), ["0", "1", "2"])
        compare([stored(0)[4], stored(1)[4], stored(2)[4]], ["5", "7", "8"])
        compare([stored(0)[2], stored(1)[2], stored(2)[2]], ["9", "9", "9"])
        compare(count(commandCodes(), "04"), 3)
        mouseClick(child(doc, "gunEditorEntry"))
        compare(page.gunNumber_lv.currentIndex, 0)
        compare(child(page, "yBox").textValue, "5")
        compare(child(page, "rateSlider").textValue, "9ms")
        compare(child(page, "slotList").textValue, "Gun 1")
        verify(page.isSave)
        mouseSim.clearTrace()
        closePage()
        compare(count(commandCodes(), "12"), 0)
    }

    // The page is dragged inside the window and stops at its edges.
    function test_pageStaysInside() {
        openGuns({ family: "553", isGun: true })
        dragBy(page, 300, 20, -500, -400)
        compare(page.x, 0)
        compare(page.y, 0)
    }
}
