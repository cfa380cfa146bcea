import QtQuick
import QtTest
import "qrc:/modules/qml/common/perfMath.js" as PerfMath
import "qrc:/modules/qml/common/colorMath.js" as ColorMath
import "qrc:/modules/qml/common/lightRules.js" as LightRules

// The conversions behind the DPI, system and lighting pages, checked on their own.
TestCase {
    name: "PerfMath"

    function test_dpiRoundTrip_data() {
        return [
            { tag: "defaults", min: 200, max: 6000, base: 50,
              values: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000] },
            { tag: "shipped", min: 200, max: 12000, base: 100,
              values: [400, 800, 1600, 3200, 4800, 6400, 8000, 12000] }
        ]
    }
    // A stored value placed on its slider and read back off the knob is the value itself.
    function test_dpiRoundTrip(data) {
        for (const v of data.values) {
            const x = PerfMath.dpiPosition(v, data.min, data.max)
            verify(x >= 3 && x <= 161, v + " at " + x)
            compare(PerfMath.dpiForPosition(x, data.min, data.max, data.base), v, v + " at " + x)
        }
    }

    function test_dpiEnds_data() {
        return [
            { tag: "bottom", x: 3, min: 200, max: 6000, base: 50, dpi: 200 },
            { tag: "top", x: 161, min: 200, max: 6000, base: 50, dpi: 6000 },
            { tag: "top cut to base", x: 161, min: 200, max: 6030, base: 50, dpi: 6000 },
            { tag: "bottom cut to base", x: 3, min: 230, max: 6000, base: 100, dpi: 200 },
            { tag: "below the track", x: -40, min: 200, max: 6000, base: 50, dpi: 200 },
            { tag: "past the track", x: 400, min: 200, max: 6000, base: 50, dpi: 6000 },
            { tag: "one step up", x: 4, min: 200, max: 6000, base: 50, dpi: 200 },
            { tag: "middle", x: 82, min: 200, max: 6000, base: 50, dpi: 3100 },
            { tag: "no base", x: 161, min: 200, max: 6000, base: 0, dpi: 6000 }
        ]
    }
    function test_dpiEnds(data) {
        compare(PerfMath.dpiForPosition(data.x, data.min, data.max, data.base), data.dpi)
    }

    function test_dpiRatioStaysOnTrack() {
        compare(PerfMath.dpiRatio(100, 200, 6000), 0)
        compare(PerfMath.dpiRatio(9000, 200, 6000), 1)
        compare(PerfMath.dpiRatio(500, 6000, 6000), 0)
    }

    function test_speedIndex_data() {
        return [
            { tag: "3", x: 3, index: 0 }, { tag: "4", x: 4, index: 1 },
            { tag: "36", x: 36, index: 1 }, { tag: "37", x: 37, index: 2 },
            { tag: "155", x: 155, index: 5 }, { tag: "304", x: 304, index: 9 },
            { tag: "305", x: 305, index: 10 }, { tag: "337", x: 337, index: 10 },
            { tag: "past every threshold", x: 338, index: 0 }
        ]
    }
    function test_speedIndex(data) {
        compare(PerfMath.speedIndex(data.x), data.index)
    }

    function test_reportRate_data() {
        return [
            { tag: "125Hz", index: 0, value: 8 }, { tag: "250Hz", index: 1, value: 4 },
            { tag: "500Hz", index: 2, value: 2 }, { tag: "1000Hz", index: 3, value: 1 },
            { tag: "stored text", index: "0", value: 8 }, { tag: "unknown", index: 7, value: 1 },
            { tag: "missing", index: undefined, value: 1 }
        ]
    }
    function test_reportRate(data) {
        compare(PerfMath.reportRateValue(data.index), data.value)
    }

    function test_colorAt_data() {
        return [
            { tag: "left end", p: 0, rgb: [255, 0, 0] },
            { tag: "yellow", p: 30, rgb: [255, 255, 0] },
            { tag: "green", p: 60, rgb: [0, 255, 0] },
            { tag: "cyan", p: 90, rgb: [0, 255, 255] },
            { tag: "blue", p: 120, rgb: [0, 0, 255] },
            { tag: "magenta", p: 150, rgb: [255, 0, 255] },
            { tag: "past the edges", p: 180, rgb: [255, 0, 0] },
            { tag: "one short of the end", p: 182, rgb: [255, 0, 0] },
            { tag: "far right", p: 183, rgb: [255, 255, 255] },
            { tag: "beyond", p: 500, rgb: [255, 255, 255] }
        ]
    }
    function test_colorAt(data) {
        compare(ColorMath.colorAt(data.p), data.rgb)
    }

    // Placing the knob for the colour under it puts it back within a few columns, over the whole
    // bar: both directions agree on the order of the edges.
    function test_barAndPlacingAgree() {
        for (let p = 0; p < 180; ++p) {
            const c = ColorMath.colorAt(p)
            const back = ColorMath.positionOf(c[0], c[1], c[2])
            verify(Math.abs(back - p) <= 3, p + " came back as " + back)
        }
    }

    function test_positionOf_data() {
        return [
            { tag: "orange", rgb: [255, 128, 0], from: 13, to: 17 },
            { tag: "white", rgb: [255, 255, 255], from: 183, to: 183 },
            { tag: "off the edges", rgb: [10, 20, 30], from: 0, to: 0 },
            { tag: "texts", rgb: ["0", "0", "255"], from: 121, to: 121 }
        ]
    }
    function test_positionOf(data) {
        const p = ColorMath.positionOf(data.rgb[0], data.rgb[1], data.rgb[2])
        verify(p >= data.from && p <= data.to, "at " + p)
    }

    function test_hex() {
        compare(ColorMath.hex(255, 128, 0), "#ff8000")
        compare(ColorMath.hex("7", 300, -1), "#07ff00")
        compare(ColorMath.channels("#FF8001"), [255, 128, 1])
        compare(ColorMath.channels("red"), [0, 0, 0])
    }

    function test_squaresOffered_data() {
        return [
            { tag: "4 stages", dpiCount: 4, effect: 0, colorful: false, e55328: false, count: 4 },
            { tag: "8 stages", dpiCount: 8, effect: 0, colorful: false, e55328: false, count: 8 },
            { tag: "colourful", dpiCount: 2, effect: 5, colorful: true, e55328: false, count: 8 },
            { tag: "55328 breath loop", dpiCount: 8, effect: 4, colorful: false, e55328: true, count: 7 },
            { tag: "55328 static", dpiCount: 8, effect: 0, colorful: false, e55328: true, count: 1 },
            { tag: "no stages", dpiCount: 0, effect: 0, colorful: false, e55328: false, count: 0 }
        ]
    }
    function test_squaresOffered(data) {
        let offered = []
        for (let k = 0; k < 8; ++k)
            if (LightRules.squareOffered(k, data.effect, data.dpiCount, data.colorful, data.e55328))
                offered.push(k)
        compare(offered, [0, 1, 2, 3, 4, 5, 6, 7].slice(0, data.count))
    }

    // Only the 55328's breath loop keeps an eighth colour.
    function test_colorsToSave() {
        const colors = []
        for (let k = 0; k < 24; ++k)
            colors.push(String(k + 1))
        compare(LightRules.colorsToSave(colors, 4, true).slice(21), [22, 23, 24])
        compare(LightRules.colorsToSave(colors, 0, true).slice(18), [19, 20, 21, 0, 0, 0])
        compare(LightRules.colorsToSave(colors, 0, false).slice(21), [22, 23, 24])
        compare(LightRules.colorsToSave([], 0, false).length, 24)
    }
}
