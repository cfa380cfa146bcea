import QtQuick

// The busy text shown while the view is locked; it pulses so that a long exchange with the mouse
// visibly keeps going.
Item {
    id: busyIndicator

    property bool isBusy: false

    function setBusy(_isBusy) {
        isBusy = _isBusy
    }

    width: label.width
    height: label.height
    visible: isBusy

    Text {
        id: label

        text: "Loading…"
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize

        SequentialAnimation on opacity {
            running: busyIndicator.isBusy
            loops: Animation.Infinite

            NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
            NumberAnimation { to: 1.0; duration: 400 }
        }
    }
}
