import QtQuick
import QtTest

// The lighting block in the real main window on every lighting model: the effects and colours
// offered, the colour bar, and what Save stores and sends.
PageCase {
    name: "LightControl"

    // The factory colours of the shipped profile.
    readonly property var factoryColors: [255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255,
                                          0, 0, 255, 255, 0, 255, 255, 255, 255]

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
        for (const [c, v] of [["R", "255"], ["G", "128"], ["B", "0"]])
            typeInto(child(light, "channel" + c), v)
        verify(light.knobPosition >= 13 && light.knobPosition <= 17, light.knobPosition)
        compare(light.colors[3], "#ff8000")
    }
    // "Off" hides both steps, turns the brightness to 0 and covers the colours.
    function off(light) {
        compare([light.height, child(light, "colorMask").visible], [264, false])
        effect(light, 3, [false, false])
        compare([light.height, child(light, "colorMask").visible], [176, true])
        mouseClick(child(light, "colorSquare2"))
        compare(child(light, "knobNumber").text, "1", "the mask takes the clicks meant for the squares")
    }
    // Each effect puts its own steps back (brightness full, speed slowest); a click on the track
    // snaps to the stop at or beyond it.
    function steps(light) {
        const speed = child(light, "speedSetting")
        const bright = child(light, "brightnessSetting")
        compare([speed.step, bright.step, child(bright, "stepText").text], [3, 2, "50%"])
        choose(child(light, "lightModel"), 8)
        compare([speed.step, bright.step, child(bright, "stepText").text], [0, 4, "100%"])
        mouseClick(child(speed, "stepSlider"), child(speed, "stepSlider").width * 0.6, 3)
        tryCompare(speed, "step", 3)
        tryCompare(child(speed, "stepText"), "text", "75%")
    }

    function test_offered_data() {
        return [
            ["plain, 4 stages", { family: "553" }, 4, 4, 4],
            ["plain, 8 stages", { family: "560" }, 8, 4, 8],
            ["colourful, 2 stages", { family: "560", isColorful: true }, 2, 11, 8],
            ["55328", { family: "553", is55328: true }, 8, 5, 1]
        ].map(([tag, model, dpiCount, effects, squares]) => ({ tag, model, dpiCount, effects, squares }))
    }
    // Effects by the model's lighting, one colour per DPI stage or eight on colourful models; a
    // second start (a profile switch, a reset) does not add the effects again.
    function test_offered(row) {
        const light = child(open(row.model, { "mouse/dpiCount": row.dpiCount, "mouse/lightValue": [0, 0, 4] }),
                            "lightControlMain")
        const squares = [0, 1, 2, 3, 4, 5, 6, 7].filter(k => child(light, "colorSquare" + k).visible).length
        compare([child(light, "lightModel").count, squares], [row.effects, row.squares])
        light.init(false, false)
        compare(child(light, "lightModel").count, row.effects)
    }

    // Rows: model, lighting stored before, the edit, lighting stored after (a first value: the effect
    // only), colour changed [at, r, g, b], what the mouse holds [field or "", block, from, value];
    // "colors" stands for all the colours stored.
    function test_save_data() {
        const m55328 = { family: "553", is55328: true }
        const c553 = { family: "553", isColorful: true }
        const c560 = { family: "560", isColorful: true }
        return [
            // the 55328's "Breath Loop" offers seven colours and the speed, and sends the eighth
            // colour with them; any other effect stores it as black and sends the first colour only
            ["55328 breath loop", m55328, [1, 0, 0], l => effect(l, 4, [true, false]), [4], [21, 255, 255, 255],
             [["ledColors", 0, 0, "colors"], ["ledEffect", 0, 0, [2, 1, 3]]]],
            ["55328 static", m55328, [1, 0, 0], l => effect(l, 0, [false, true]), [0], [21, 0, 0, 0],
             [["fixLedColor", 0, 0, [255, 0, 0]], ["ledEffect", 0, 0, [1, 10, 1]]]],
            ["553 off", c553, [9, 3, 2], off, [3, 3, 0], null, [["ledEffect", 1, 71, [0, 0, 0]]]],
            ["560 off", c560, [9, 3, 2], off, [3, 3, 0], null, [["ledEffect", 1, 71, [0, 0, 0]]]],
            ["steps", c553, [5, 3, 2], steps, [8, 3, 4], null, [["ledEffect", 0, 0, [8, 255, 13]]]],
            // the knob gives the colour under it to the selected square; the colourful 560 takes
            // the colours into block 0
            ["bar far right", c560, null, l => barTo(l, 183), null, [6, 255, 255, 255], [["", 0, 24, "colors"]]],
            ["bar one short", c560, null, l => barTo(l, 182), null, [6, 255, 0, 0], [["", 0, 24, "colors"]]],
            ["bar green", c560, null, l => barTo(l, 60), null, [6, 0, 255, 0], [["", 0, 24, "colors"]]],
            ["typed 553 plain", { family: "553" }, null, typed, null, [9, 255, 128, 0],
             [["ledColors", 0, 0, "colors"], ["ledColorType", 0, 0, 1]]],
            ["typed 553 colourful", c553, null, typed, null, [9, 255, 128, 0],
             [["ledColors", 0, 0, "colors"], ["ledColorType", 0, 0, 0]]],
            ["typed 560 plain", { family: "560" }, null, typed, null, [9, 255, 128, 0],
             [["", 1, 104, "colors"]]]
        ].map(([tag, model, light, act, stored, color, sent]) =>
              ({ tag, model, light, act, stored, color, sent }))
    }
    // An edit only marks the block; Save stores the lighting and the colours and sends them.
    function test_save(row) {
        const doc = open(row.model, { "mouse/lightValue": row.light ?? [0, 0, 4] })
        const light = child(doc, "lightControlMain")
        row.act(light)
        compare([light.isSave, mouseSim.commands()], [true, []])
        save()
        verify(!light.isSave)
        if (row.stored)
            compare(storedList("mouse/lightValue").slice(0, row.stored.length), row.stored)
        const colors = factoryColors.slice()
        if (row.color)
            colors.splice(row.color[0], 3, ...row.color.slice(1))
        compare(storedList("mouse/colorValue"), colors)
        for (let [field, block, from, value] of row.sent) {
            value = value === "colors" ? colors : value
            compare(held(field, block, from, from + [].concat(value).length), value, field)
        }
    }

    // The reset image loads the factory lighting and sends nothing.
    function test_reset() {
        const doc = open({ family: "553", isColorful: true },
                         { "mouse/lightValue": [9, 1, 1], "mouse/colorValue": Array(24).fill(7) })
        const light = child(doc, "lightControlMain")
        compare(light.colors[0], "#070707")
        mouseClick(child(light, "lightReset"))
        compare([light.effect, child(light, "brightnessSetting").step, light.colors[1]], [0, 4, "#ff8000"])
        compare([light.isSave, mouseSim.commands()], [true, []])
    }
}
