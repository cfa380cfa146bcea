import QtQuick

// Minimise or close in the title bar, drawn rather than taken from images.
Item {
    id: button

    property bool closes: false
    readonly property color ink: area.containsMouse ? mainIten.colorOrange : mainIten.colorGray3

    signal clicked()

    width: 16; height: 16

    Rectangle {
        visible: !button.closes
        width: 12; height: 2
        anchors.centerIn: parent
        color: button.ink
    }
    Repeater {
        model: button.closes ? 2 : 0
        Rectangle {
            width: 16; height: 2
            anchors.centerIn: parent
            rotation: index ? -45 : 45
            antialiasing: true
            color: button.ink
        }
    }
    MouseArea {
        id: area
        anchors.fill: parent
        anchors.margins: -4
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
