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
            { tag: "250Hz", index: 1, value: 4 }, { tag: "500Hz", index: 2, value: 2 },
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
            { tag: "cyan", p: 90, rgb: [0, 255, 255] },
            { tag: "blue", p: 120, rgb: [0, 0, 255] },
            { tag: "magenta", p: 150, rgb: [255, 0, 255] },
            { tag: "past the edges", p: 180, rgb: [255, 0, 0] },
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

    // The lighting page shows the other counts of squares; no stage shows none.
    function test_noStagesNoSquares() {
        for (let k = 0; k < 8; ++k)
            verify(!LightRules.squareOffered(k, 0, 0, false, false), k)
    }

    // The lighting page saves whole lists; one read from a damaged profile is filled up.
    function test_colorsToSaveFillsUp() {
        compare(LightRules.colorsToSave([], 0, false).length, 24)
    }
}
