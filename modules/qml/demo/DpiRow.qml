import QtQuick

// One stage of the DPI block: its number, a track to drag its value along, and the value.
Item {
    id: row

    property int stage: 0              // counted from 0
    property int value: 0
    property int minValue: 200
    property int maxValue: 6000
    property int step: 50
    property bool current: false       // the stage the mouse uses
    property bool active: true         // inside the number of active stages

    // The user put the knob on a new value.
    signal moved(int value)

    // The value at track position x: a whole number of steps, inside the range.
    function valueAt(x) {
        const s = step > 0 ? step : 1
        const ratio = Math.max(0, Math.min(1, x / track.width))
        const v = Math.floor((ratio * (maxValue - minValue) + minValue) / s) * s
        return Math.max(minValue, Math.min(maxValue, v))
    }

    width: 216; height: 22
    opacity: active ? 1 : 0.4

    Label {
        width: 16
        anchors.verticalCenter: parent.verticalCenter
        text: row.stage + 1
        color: row.current ? mainIten.colorOrange : mainIten.colorGray3
        font.bold: row.current
    }
    Rectangle {
        id: track

        readonly property real ratio: row.maxValue > row.minValue
            ? Math.max(0, Math.min(1, (row.value - row.minValue) / (row.maxValue - row.minValue))) : 0

        x: 22
        width: 140; height: 4
        radius: 2
        anchors.verticalCenter: parent.verticalCenter
        color: mainIten.colorGray1

        Rectangle {
            width: track.ratio * track.width; height: parent.height
            radius: 2
            color: row.current ? mainIten.colorOrange : mainIten.colorBlue
        }
        Rectangle {
            x: track.ratio * track.width - width / 2
            width: 10; height: 10
            radius: 5
            anchors.verticalCenter: parent.verticalCenter
            color: mainIten.colorGray3
            border.color: row.current ? mainIten.colorOrange : mainIten.colorBlue
            border.width: 2
        }
    }
    MouseArea {
        objectName: "track"
        x: track.x - 6
        width: track.width + 12; height: parent.height
        preventStealing: true
        onPressed: (mouse) => row.moved(row.valueAt(mouse.x - 6))
        onPositionChanged: (mouse) => row.moved(row.valueAt(mouse.x - 6))
    }
    Label {
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        text: row.value
    }
}
