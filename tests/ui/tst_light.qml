import QtQuick
import QtTest

// The lighting block in the real main window, against the view, the profile store and the virtual
// mouse of both families: the effects and colours offered, the colour bar, and what Save stores
// and sends.
PageCase {
    // The factory colours of the shipped profile.
    readonly property var factoryColors: [255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255,
                                          0, 0, 255, 255, 0, 255, 255, 255, 255]

    function squaresShown(light) {
        return [0, 1, 2, 3, 4, 5, 6, 7].filter(k => child(light, "colorSquare" + k).visible).length
    }
    function saveLight(doc) {
        save(doc)
        verify(!child(doc, "lightControlMain").isSave)
    }
    // Drags the colour knob to bar position p.
    function dragKnobTo(light, p) {
        const knob = child(light, "colorKnob")
        dragBy(knob, 9, 8, child(light, "colorBar").mapToItem(knob, 1 + p, 0).x - 9, 0)
    }
    function typeChannel(light, name, text) { typeInto(child(light, "channel" + name), text) }

    name: "LightControl"

    function test_offered_data() {
        return [
            { tag: "plain, 4 stages", model: { family: "553" }, dpiCount: 4, effects: 4, squares: 4 },
            { tag: "plain, 8 stages", model: { family: "560" }, dpiCount: 8, effects: 4, squares: 8 },
            { tag: "colourful, 2 stages", model: { family: "560", isColorful: true }, dpiCount: 2,
              effects: 11, squares: 8 },
            { tag: "55328", model: { family: "553", is55328: true }, dpiCount: 8, effects: 5, squares: 1 }
        ]
    }
    // Effects by the model's lighting, one colour per DPI stage or eight on colourful models.
    function test_offered(row) {
        const doc = open(row.model, { "mouse/dpiCount": row.dpiCount, "mouse/lightValue": [0, 0, 4] })
        const light = child(doc, "lightControlMain")
        compare(child(light, "lightModel").count, row.effects)
        compare(squaresShown(light), row.squares)
        // a second start (a profile switch, a reset) does not add the effects again
        light.init(false, false)
        compare(child(light, "lightModel").count, row.effects)
    }

    function test_breathLoop_data() {
        return [
            { tag: "breath loop", effect: 4, squares: 7, eighth: [255, 255, 255] },
            { tag: "static", effect: 0, squares: 1, eighth: [0, 0, 0] }
        ]
    }
    // On the 55328 "Breath Loop" offers seven colours and the speed only, and a save sends the
    // eighth colour with them; any other effect stores and sends it as black.
    function test_breathLoop(row) {
        const doc = open({ family: "553", is55328: true }, { "mouse/lightValue": [1, 0, 0] })
        const light = child(doc, "lightControlMain")
        choose(child(light, "lightModel"), row.effect)
        compare(child(light, "lightModel").textValue, row.effect === 4 ? "Breath Loop" : "Static")
        compare(squaresShown(light), row.squares)
        compare(child(light, "speedSetting").visible, row.effect === 4)
        compare(child(light, "brightnessSetting").visible, row.effect === 0)
        verify(light.isSave)
        compare(mouseSim.commands(), [])

        saveLight(doc)
        const colors = factoryColors.slice(0, 21).concat(row.eighth)
        compare(storedList("mouse/colorValue"), colors)
        compare(storedList("mouse/lightValue")[0], row.effect)
        const m = mouseSim.memory()
        if (row.effect === 4) {
            compare(m.ledColors, colors)
            compare(m.ledEffect, [0x02, 1, 3])
        } else {
            // without an eighth colour the 55328 takes the first colour only
            compare(m.fixLedColor, [255, 0, 0])
            compare(m.ledEffect, [0x01, 10, 1])
        }
    }

    function test_off_data() {
        return [
            { tag: "553", model: { family: "553", isColorful: true } },
            { tag: "560", model: { family: "560", isColorful: true } }
        ]
    }
    // "Off" hides both steps, turns the brightness to 0, covers the colours and sends effect 0.
    function test_off(row) {
        const doc = open(row.model, { "mouse/lightValue": [9, 3, 2] })
        const light = child(doc, "lightControlMain")
        compare(light.height, 264)
        verify(!child(light, "colorMask").visible)
        choose(child(light, "lightModel"), 3)
        verify(!child(light, "speedSetting").visible && !child(light, "brightnessSetting").visible)
        compare(light.height, 176)
        verify(child(light, "colorMask").visible)
        // the mask takes the clicks meant for the squares
        mouseClick(child(light, "colorSquare2"))
        compare(child(light, "knobNumber").text, "1")

        saveLight(doc)
        compare(storedList("mouse/lightValue"), [3, 3, 0])
        const m = mouseSim.memory()
        compare(row.model.family === "560" ? m.profileBlocks[1].slice(71, 74) : m.ledEffect, [0, 0, 0])
    }

    // Each effect choice puts its own steps back: brightness full, speed slowest.
    function test_stepsAndEffect() {
        const doc = open({ family: "553", isColorful: true }, { "mouse/lightValue": [5, 3, 2] })
        const light = child(doc, "lightControlMain")
        const speed = child(light, "speedSetting"), bright = child(light, "brightnessSetting")
        compare([speed.step, bright.step], [3, 2])
        compare(child(bright, "stepText").text, "50%")
        choose(child(light, "lightModel"), 8)
        compare([speed.step, bright.step], [0, 4])
        compare(child(bright, "stepText").text, "100%")

        // a click on the track snaps to the stop at or beyond it
        const slider = child(speed, "stepSlider")
        mouseClick(slider, slider.width * 0.6, 3)
        tryCompare(speed, "step", 3)
        tryCompare(child(speed, "stepText"), "text", "75%")
        saveLight(doc)
        compare(storedList("mouse/lightValue"), [8, 3, 4])
        compare(mouseSim.memory().ledEffect, [0x08, 255, 13])
    }

    function test_colorBar_data() {
        return [
            { tag: "far right", p: 183, rgb: [255, 255, 255] },
            { tag: "one short", p: 182, rgb: [255, 0, 0] },
            { tag: "green", p: 60, rgb: [0, 255, 0] }
        ]
    }
    // The knob gives the colour under it to the selected square and the inputs; Save stores it in
    // that square's place and the colourful 560 takes it into block 0.
    function test_colorBar(row) {
        const doc = open({ family: "560", isColorful: true }, { "mouse/lightValue": [0, 0, 4] })
        const light = child(doc, "lightControlMain")
        mouseClick(child(light, "colorSquare2"))
        compare(child(light, "channelR").textValue, "255")
        compare(child(light, "channelG").textValue, "255")
        compare(child(light, "channelB").textValue, "0")
        dragKnobTo(light, row.p)
        compare(light.knobPosition, row.p)
        compare(["R", "G", "B"].map(c => Number(child(light, "channel" + c).textValue)), row.rgb)
        verify(light.isSave)

        saveLight(doc)
        const colors = factoryColors.slice()
        colors.splice(6, 3, ...row.rgb)
        compare(storedList("mouse/colorValue"), colors)
        compare(mouseSim.memory().profileBlocks[0].slice(24, 48), colors)
    }

    function test_typedColor_data() {
        return [
            { tag: "553 plain", model: { family: "553" }, type: 1 },
            { tag: "553 colourful", model: { family: "553", isColorful: true }, type: 0 },
            { tag: "560 plain", model: { family: "560" }, type: -1 }
        ]
    }
    // 255, 128, 0 typed in puts the knob in the first sixth, about half across, and keeps the
    // colour exactly as typed.
    function test_typedColor(row) {
        const doc = open(row.model, { "mouse/lightValue": [0, 0, 4] })
        const light = child(doc, "lightControlMain")
        mouseClick(child(light, "colorSquare3"))
        compare(child(light, "knobNumber").text, "4")
        typeChannel(light, "R", "255")
        typeChannel(light, "G", "128")
        typeChannel(light, "B", "0")
        // red to yellow takes the first 30 columns of the bar
        verify(light.knobPosition >= 13 && light.knobPosition <= 17, light.knobPosition)
        compare(light.colors[3], "#ff8000")
        verify(light.isSave)

        saveLight(doc)
        const colors = factoryColors.slice()
        colors.splice(9, 3, 255, 128, 0)
        compare(storedList("mouse/colorValue"), colors)
        const m = mouseSim.memory()
        if (row.type < 0) {
            compare(m.profileBlocks[1].slice(104, 128), colors)
        } else {
            compare(m.ledColorType, row.type)
            compare(m.ledColors, colors)
        }
    }

    // The reset image loads the factory lighting and sends nothing.
    function test_reset() {
        const doc = open({ family: "553", isColorful: true },
                         { "mouse/lightValue": [9, 1, 1], "mouse/colorValue": Array(24).fill(7) })
        const light = child(doc, "lightControlMain")
        compare(light.colors[0], "#070707")
        mouseClick(child(light, "lightReset"))
        compare(light.effect, 0)
        compare(child(light, "brightnessSetting").step, 4)
        compare(light.colors[1], "#ff8000")
        verify(light.isSave)
        compare(mouseSim.commands(), [])
    }
}
