import QtQuick
import QtTest
import "qrc:/modules/qml/common/gunMath.js" as GunMath

// The gun page in the whole window, against the real view, gun data file and virtual mouse:
// edits are stored at once and reach the mouse only when the page is closed after a change.
PageCase {
    name: "GunPage"

    readonly property var threeGuns: ({ "mouse/selectGun": [3, 4, 5] })

    // The window with the gun page opened through its entry.
    function openGuns(family, config) {
        return openModal({ family: family ?? "553", isGun: true, config: config }, {}, "gunEditorEntry",
                         "gunControlMain")
    }
    // Gun n's record: name, image, period, times, pull, …
    function stored(gun) { return ui_View.getGunData(gun).map(String) }
    function count(code) { return commandCodes().filter(c => c === code).length }
    function closePage(page) { mouseClick(child(page, "gunCloseButton")) }
    // What the mouse holds for gun n in a slot.
    function slotOf(gun) { return [5, 3, 4].map(field => Number(stored(gun)[field])) }
    // The gun, pull and period the page shows.
    function shown(page) {
        return [page.gunNumber_lv.currentIndex, child(page, "slotList").textValue,
                child(page, "yBox").textValue, child(page, "rateSlider").textValue]
    }

    // The stored slots and records show; slot 1's gun is shown, every period 4 … 90 as itself;
    // choosing slot 3 shows its gun and stores nothing. (tst_ui_main drags a page to every edge.)
    function test_init() {
        const [doc, page] = openGuns("553", threeGuns)
        compare([page.selectGun1, page.selectGun2, page.selectGun3, page.gunNumberModel.count], [3, 4, 5, 6])
        compare([page.gunNumberModel.get(3).gunName, page.gunNumberModel.get(3).gunImage],
                ["SCAR-L", doc.sourceGunDir + "SCAR-L.png"])
        // the shipped SCAR-L: period 10, pull 6, so the dot is 6/64 of its 94 pixels below 89
        compare(shown(page).concat(child(page, "dot").y), [3, "Gun 1", "6", "10ms", 97.8125])
        choose(child(page, "slotList"), 2)
        tryCompare(page.gunNumber_lv, "currentIndex", 5)
        compare([child(page, "yBox").textValue, page.isSave], [stored(5)[4], false])
        for (let p = GunMath.minPeriod; p <= GunMath.maxPeriod; ++p) {
            page.gunNumberModel.setProperty(0, "gunPeriod", String(p))
            page.showGun(0)
            compare(child(page, "rateSlider").textValue, p + "ms")
        }
    }

    function test_edit_data() {
        const typePull = enter => page => {
            mouseClick(child(page, "yBox"))
            child(page, "yBox").txtInput.selectAll()
            type("40", enter)
            if (enter)
                compare(child(page, "dot").y, 89 + 94 * 40 / 64)
        }
        const dragDot = dy => page => {
            page.gunNumberModel.setProperty(0, "gunY", "32")
            page.showGun(0)
            mouseDrag(child(page, "dot"), 4, 4, 0, dy)
        }
        return [
            { tag: "dot lowest", act: dragDot(400), field: 4, value: "64" },
            { tag: "dot top", act: dragDot(-400), field: 4, value: "0" },
            { tag: "pull typed", act: typePull(true), field: 4, value: "40" },
            { tag: "pull closed while typing", act: typePull(false), field: 4, value: "40" },
            // the rate knob at the right end is 90 ms (tst_ui_controls clicks and drags the slider itself)
            { tag: "rate end", field: 2, value: "90", act: page => {
                const rate = child(page, "rateSlider")
                mouseClick(rate, 10, 12)
                tryCompare(child(rate, "panel"), "running", false)
                mouseDrag(child(rate, "knob"), 6, 6, 300, 0)
                compare(rate.textValue, "90ms")
            } },
            // the times box and the endless box tell the same thing: a count of 0 is endless
            { tag: "times and endless", field: 5, value: "0", act: page => {
                const endless = child(page, "endless")
                verify(endless.isSelect)
                typeInto(child(page, "timesBox"), "5")
                compare([stored(0)[5], endless.isSelect], ["5", false])
                mouseClick(endless)
                compare(child(page, "timesBox").textValue, "0")
                tryCompare(endless, "isSelect", true)
                mouseClick(endless)
                tryCompare(endless, "isSelect", true)
            } }
        ]
    }
    // An edit is stored at once (one still being typed when the page closes, on close) and goes
    // out with the slot when the page is closed, not before.
    function test_edit(row) {
        const page = openGuns()[1]
        row.act(page)
        compare(mouseSim.commands(), [])
        closePage(page)
        compare([stored(0)[row.field], mouseSim.memory().gunSlots[0]], [row.value, slotOf(0)])
    }

    function test_gunInSlot_data() {
        return [{ tag: "553", family: "553", gun: "04", matrix: "12" },
                { tag: "560", family: "560", matrix: "0d" }]
    }
    // The current gun again in its own slot and a press on the dot change nothing: nothing sent.
    // A gun put in slot 2 is stored at once; closing sends the three slots and the key matrix once,
    // a second close nothing.
    function test_gunInSlot(row) {
        const [doc, page] = openGuns(row.family, threeGuns)
        const before = mouseSim.readFile("gun/gunData.bin")
        mouseClick(child(page, "gunRow3"))
        mouseClick(child(page, "dot"))
        closePage(page)
        compare([mouseSim.commands(), mouseSim.readFile("gun/gunData.bin")], [[], before])
        mouseClick(child(doc, "gunEditorEntry"))
        choose(child(page, "slotList"), 1)
        tryCompare(child(page, "slotList"), "textValue", "Gun 2")
        mouseClick(child(page, "gunRow1"))
        compare(ui_View.getGlobalData("mouse/selectGun").map(String), ["3", "1", "5"])
        compare([page.selectGun2, page.gunNumber_lv.currentIndex, mouseSim.commands()], [1, 1, []])

        closePage(page)
        compare([page.visible, child(doc, "mainMask").visible, ui_View.enabled, count(row.matrix)],
                [false, false, true, 1])
        const m = mouseSim.memory()
        const sent = row.gun ? m.gunSlots : [2, 3, 4].map(b => m.profileBlocks[b].slice(79, 82))
        compare([sent, count(row.gun)], [[3, 1, 5].map(slotOf), row.gun ? 3 : 0])
        mouseSim.clearTrace()
        mouseClick(child(doc, "gunEditorEntry"))
        closePage(page)
        compare(mouseSim.commands(), [])
    }

    // The factory reset puts guns 0, 1, 2 with their factory pull and period in the slots and sends
    // them with the key matrices; the next close has nothing new for the mouse.
    function test_factoryReset() {
        const [doc, page] = openGuns("553", threeGuns)
        page.gunNumberModel.setProperty(0, "gunY", "30")
        page.gunNumberModel.setProperty(0, "gunPeriod", "40")
        page.saveGun(0)
        closePage(page)
        mouseSim.clearTrace()
        mouseClick(child(doc, "resetButton"))
        mouseClick(child(doc, "okButton"))
        compare(ui_View.getGlobalData("mouse/selectGun").map(String), ["0", "1", "2"])
        compare([0, 1, 2].map(g => [stored(g)[4], stored(g)[2]]), [["5", "9"], ["7", "9"], ["8", "9"]])
        // the key matrices are switched back too
        compare([count("04"), count("02") > 0], [3, true])
        mouseClick(child(doc, "gunEditorEntry"))
        compare(shown(page).concat(page.isSave), [0, "Gun 1", "5", "9ms", true])
        mouseSim.clearTrace()
        closePage(page)
        compare(count("12"), 0)
    }
}
