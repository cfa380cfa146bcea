import QtQuick

// A flat text button of the main window and the pages: blue at rest, orange under the pointer.
Rectangle {
    id: button

    property alias text: label.text
    property bool bold: false
    // Above 0 the text stands this far from the left edge instead of in the middle.
    property int textInset: 0
    property color restColor: colorBlue
    property color hoverColor: colorOrange
    readonly property bool hovered: area.containsMouse

    signal clicked()

    width: 64
    height: 24
    color: hovered ? hoverColor : restColor

    Text {
        id: label

        x: button.textInset > 0 ? button.textInset : (button.width - width) / 2
        anchors.verticalCenter: parent.verticalCenter
        font.family: fontFamily
        font.pixelSize: fontNormalSize
        font.bold: button.bold
        color: fontColor
    }

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
