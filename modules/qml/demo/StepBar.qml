import QtQuick

// Five stops of a lighting step (speed or brightness, 0 to 4), with the step as a percentage.
Item {
    id: bar

    property int value: 0

    signal picked(int value)

    width: 136; height: 16

    Row {
        anchors.verticalCenter: parent.verticalCenter
        spacing: 3
        Repeater {
            model: 5
            Rectangle {
                objectName: "stop" + index
                width: 18; height: 10
                radius: 1
                color: index <= bar.value ? mainIten.colorOrange : mainIten.colorGray1
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -2
                    onClicked: bar.picked(index)
                }
            }
        }
    }
    Label {
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        text: bar.value * 25 + "%"
        color: mainIten.colorGray3
        font.pixelSize: mainIten.fontMinSize
    }
}
