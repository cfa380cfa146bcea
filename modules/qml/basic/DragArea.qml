import QtQuick

// Moves the window by the pointer's distance from where the press began. The press point is kept:
// the host moves the window under the pointer, so the pointer stays over the same window point.
MouseArea {
    property real pressX: 0
    property real pressY: 0

    onPressed: (mouse) => {
        pressX = mouse.x
        pressY = mouse.y
    }
    onPositionChanged: (mouse) => {
        if (!pressed)
            return
        ui_Ctl.onXChanged(Math.round(mouse.x - pressX))
        ui_Ctl.onYChanged(Math.round(mouse.y - pressY))
    }
}
