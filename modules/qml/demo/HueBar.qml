import QtQuick

// The colour bar of the lighting block. Positions 0 to 179 run along the six edges of the colour
// cube (red, yellow, green, cyan, blue, magenta, back to red) in steps of 30; the last few
// positions are white. The knob stands where the current colour lies, or at the left end for a
// colour off those edges (the colour itself is kept).
Item {
    id: bar

    property int red: 255
    property int green: 0
    property int blue: 0

    signal picked(int red, int green, int blue)

    readonly property int span: 183
    readonly property int edge: 30

    function colourAt(p) {
        const i = Math.floor(p / edge)
        const v = Math.round((p - i * edge) * 255 / edge)
        switch (i) {
        case 0: return [255, v, 0]
        case 1: return [255 - v, 255, 0]
        case 2: return [0, 255, v]
        case 3: return [0, 255 - v, 255]
        case 4: return [v, 0, 255]
        case 5: return [255, 0, 255 - v]
        }
        return p > 180 ? [255, 255, 255] : [255, 0, 0]
    }

    function positionOf(r, g, b) {
        const at = (i, v) => i * edge + v * edge / 255
        if (r === 255 && g === 255 && b === 255) return span
        if (r === 255 && b === 0) return at(0, g)
        if (g === 255 && b === 0) return at(1, 255 - r)
        if (r === 0 && g === 255) return at(2, b)
        if (r === 0 && b === 255) return at(3, 255 - g)
        if (g === 0 && b === 255) return at(4, r)
        if (r === 255 && g === 0) return at(5, 255 - b)
        return 0
    }

    function pick(x) {
        const c = colourAt(Math.max(0, Math.min(span, Math.round(x) - 1)))
        picked(c[0], c[1], c[2])
    }

    width: 185; height: 30

    Rectangle {
        id: strip
        y: 12
        width: parent.width; height: 14
        border.color: mainIten.colorGray1
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0 / 183; color: "#ff0000" }
            GradientStop { position: 30 / 183; color: "#ffff00" }
            GradientStop { position: 60 / 183; color: "#00ff00" }
            GradientStop { position: 90 / 183; color: "#00ffff" }
            GradientStop { position: 120 / 183; color: "#0000ff" }
            GradientStop { position: 150 / 183; color: "#ff00ff" }
            GradientStop { position: 180 / 183; color: "#ff0000" }
            GradientStop { position: 181 / 183; color: "#ffffff" }
        }
    }
    Rectangle {
        objectName: "knob"
        x: 1 + bar.positionOf(bar.red, bar.green, bar.blue) - width / 2; y: 2
        width: 10; height: 10
        rotation: 45
        antialiasing: true
        color: Qt.rgba(bar.red / 255, bar.green / 255, bar.blue / 255, 1)
        border.color: mainIten.colorGray3
    }
    MouseArea {
        anchors.fill: parent
        preventStealing: true
        onPressed: (mouse) => bar.pick(mouse.x)
        onPositionChanged: (mouse) => bar.pick(mouse.x)
    }
}
