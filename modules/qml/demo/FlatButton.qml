import QtQuick

// A flat button of the dashboard: blue at rest, orange while hovered or checked, grey when off.
Rectangle {
    id: button

    property alias text: label.text
    property bool checked: false
    property color restColor: mainIten.colorBlue
    property int fontSize: mainIten.fontNormalSize

    signal clicked()

    width: 64; height: 24
    radius: 2
    color: !enabled ? mainIten.colorGray1
                    : (area.containsMouse || checked ? mainIten.colorOrange : restColor)
    opacity: enabled ? 1 : 0.55

    Label {
        id: label
        anchors.centerIn: parent
        font.pixelSize: button.fontSize
        font.bold: true
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
