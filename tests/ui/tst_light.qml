import QtQuick
import QtTest

// The lighting block in the real main window on every lighting model: the effects and colours
// offered, the colour bar, and what Save stores and sends.
PageCase {
    name: "LightControl"

    // The factory colours of the shipped profile.
    readonly property var factoryColors: [255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255,
                                          0, 0, 255, 255, 0, 255, 255, 255, 255]

    function squaresShown(light) {
        return [0, 1, 2, 3, 4, 5, 6, 7].filter(k => child(light, "colorSquare" + k).visible).length
    }
    function factoryWith(at, rgb) {
        const colors = factoryColors.slice()
        colors.splice(at, rgb.length, ...rgb)
        return colors
    }
    // Picks effect i; the speed and brightness steps shown are `steps`.
    function effect(light, i, steps) {
        choose(child(light, "lightModel"), i)
        compare([child(light, "speedSetting").visible, child(light, "brightnessSetting").visible], steps)
    }
    // Square 2 selected, then the colour knob dragged to bar position p.
    function barTo(light, p) {
        mouseClick(child(light, "colorSquare2"))
        compare(["R", "G", "B"].map(c => child(light, "channel" + c).textValue), ["255", "255", "0"])
        const knob = child(light, "colorKnob")
        dragBy(knob, 9, 8, child(light, "colorBar").mapToItem(knob, 1 + p, 0).x - 9, 0)
        compare(light.knobPosition, p)
    }
    // Square 4 selected and 255, 128, 0 typed in: the knob goes into the first sixth, about half
    // across (red to yellow takes the first 30 columns), and the colour stays as typed.
    function typed(light) {
        mouseClick(child(light, "colorSquare3"))
        compare(child(light, "knobNumber").text, "4")
        typeInto(child(light, "channelR"), "255")
        typeInto(child(light, "channelG"), "128")
        typeInto(child(light, "channelB"), "0")
        verify(light.knobPosition >= 13 && light.knobPosition <= 17, light.knobPosition)
        compare(light.colors[3], "#ff8000")
    }

    function test_offered_data() {
        return [
            { tag: "plain, 4 stages", model: { family: "553" }, dpiCount: 4, effects: 4, squares: 4 },
            { tag: "plain, 8 stages", model: { family: "560" }, dpiCount: 8, effects: 4, squares: 8 },
            { tag: "colourful, 2 stages", model: { family: "560", isColorful: true }, dpiCount: 2,
              effects: 11, squares: 8 },
            { tag: "55328", model: { family: "553", is55328: true }, dpiCount: 8, effects: 5, squares: 1 }
        ]
    }
    // Effects by the model's lighting, one colour per DPI stage or eight on colourful models; a
    // second start (a profile switch, a reset) does not add the effects again.
    function test_offered(row) {
        const doc = open(row.model, { "mouse/dpiCount": row.dpiCount, "mouse/lightValue": [0, 0, 4] })
        const light = child(doc, "lightControlMain")
        compare([child(light, "lightModel").count, squaresShown(light)], [row.effects, row.squares])
        light.init(false, false)
        compare(child(light, "lightModel").count, row.effects)
    }

    function test_save_data() {
        const m55328 = { family: "553", is55328: true }
        const colourful553 = { family: "553", isColorful: true }
        const colourful560 = { family: "560", isColorful: true }
        const offAct = light => {
            compare([light.height, child(light, "colorMask").visible], [264, false])
            effect(light, 3, [false, false])
            compare([light.height, child(light, "colorMask").visible], [176, true])
            mouseClick(child(light, "colorSquare2"))
            compare(child(light, "knobNumber").text, "1", "the mask takes the clicks meant for the squares")
        }
        return [
            // the 55328's "Breath Loop" offers seven colours and the speed, and sends the eighth
            // colour with them; any other effect stores it as black and sends the first colour only
            { tag: "55328 breath loop", model: m55328, light: [1, 0, 0], act: l => effect(l, 4, [true, false]),
              effect: 4, at: 21, rgb: [255, 255, 255], colorsAt: ["ledColors", 0, 0],
              sent: [["ledEffect", 0, 0, [2, 1, 3]]] },
            { tag: "55328 static", model: m55328, light: [1, 0, 0], act: l => effect(l, 0, [false, true]),
              effect: 0, at: 21, rgb: [0, 0, 0],
              sent: [["fixLedColor", 0, 0, [255, 0, 0]], ["ledEffect", 0, 0, [1, 10, 1]]] },
            // "Off" hides both steps, turns the brightness to 0 and covers the colours
            { tag: "553 off", model: colourful553, light: [9, 3, 2], act: offAct, stored: [3, 3, 0],
              sent: [["ledEffect", 1, 71, [0, 0, 0]]] },
            { tag: "560 off", model: colourful560, light: [9, 3, 2], act: offAct, stored: [3, 3, 0],
              sent: [["ledEffect", 1, 71, [0, 0, 0]]] },
            // each effect puts its own steps back (brightness full, speed slowest); a click on the
            // track snaps to the stop at or beyond it
            { tag: "steps", model: colourful553, light: [5, 3, 2], stored: [8, 3, 4],
              sent: [["ledEffect", 0, 0, [8, 255, 13]]], act: light => {
                  const speed = child(light, "speedSetting")
                  const bright = child(light, "brightnessSetting")
                  compare([speed.step, bright.step, child(bright, "stepText").text], [3, 2, "50%"])
                  choose(child(light, "lightModel"), 8)
                  compare([speed.step, bright.step, child(bright, "stepText").text], [0, 4, "100%"])
                  const slider = child(speed, "stepSlider")
                  mouseClick(slider, slider.width * 0.6, 3)
                  tryCompare(speed, "step", 3)
                  tryCompare(child(speed, "stepText"), "text", "75%")
              } },
            // the knob gives the colour under it to the selected square; the colourful 560 takes
            // the colours into block 0
            { tag: "bar far right", model: colourful560, act: l => barTo(l, 183), at: 6, rgb: [255, 255, 255],
              colorsAt: ["", 0, 24] },
            { tag: "bar one short", model: colourful560, act: l => barTo(l, 182), at: 6, rgb: [255, 0, 0],
              colorsAt: ["", 0, 24] },
            { tag: "bar green", model: colourful560, act: l => barTo(l, 60), at: 6, rgb: [0, 255, 0],
              colorsAt: ["", 0, 24] },
            { tag: "typed 553 plain", model: { family: "553" }, act: typed, at: 9, rgb: [255, 128, 0],
              colorsAt: ["ledColors", 0, 0], sent: [["ledColorType", 0, 0, 1]] },
            { tag: "typed 553 colourful", model: colourful553, act: typed, at: 9, rgb: [255, 128, 0],
              colorsAt: ["ledColors", 0, 0], sent: [["ledColorType", 0, 0, 0]] },
            { tag: "typed 560 plain", model: { family: "560" }, act: typed, at: 9, rgb: [255, 128, 0],
              colorsAt: ["", 1, 104] }
        ]
    }
    // An edit only marks the block; Save stores the lighting and the colours and sends them.
    function test_save(row) {
        const doc = open(row.model, { "mouse/lightValue": row.light ?? [0, 0, 4] })
        const light = child(doc, "lightControlMain")
        row.act(light)
        verify(light.isSave)
        compare(mouseSim.commands(), [])

        save(doc)
        verify(!light.isSave)
        if (row.stored)
            compare(storedList("mouse/lightValue"), row.stored)
        if (row.effect !== undefined)
            compare(storedList("mouse/lightValue")[0], row.effect)
        const colors = row.rgb ? factoryWith(row.at, row.rgb) : null
        if (colors)
            compare(storedList("mouse/colorValue"), colors)
        if (row.colorsAt)
            row.sent = (row.sent ?? []).concat([row.colorsAt.concat([colors])])
        for (const [field, block, from, value] of row.sent)
            compare(held(field, block, from, from + [].concat(value).length), value, field)
    }

    // The reset image loads the factory lighting and sends nothing.
    function test_reset() {
        const doc = open({ family: "553", isColorful: true },
                         { "mouse/lightValue": [9, 1, 1], "mouse/colorValue": Array(24).fill(7) })
        const light = child(doc, "lightControlMain")
        compare(light.colors[0], "#070707")
        mouseClick(child(light, "lightReset"))
        compare([light.effect, child(light, "brightnessSetting").step, light.colors[1]], [0, 4, "#ff8000"])
        verify(light.isSave)
        compare(mouseSim.commands(), [])
    }
}
