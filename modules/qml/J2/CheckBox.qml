import QtQuick

// A label with a tick box to its right. A click emits btnClick before it toggles, so the page's
// handler still sees the state the user clicked on.
Item {
    id: checkBox

    property string textValue: "Text"
    property bool isSelect: false
    property int index: -1
    property int gapValue: 8
    property color bgColor: "transparent"
    property color borderColor: colorGray2

    signal btnClick(int index)

    width: box.width + label.width + gapValue
    height: label.height

    Text {
        id: label

        text: checkBox.textValue
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize
    }

    Rectangle {
        id: box

        x: label.width + checkBox.gapValue
        y: (label.height - height) / 2 - 1
        width: 12
        height: 12
        radius: 2
        color: checkBox.bgColor
        border.width: 1
        border.color: checkBox.borderColor

        Image {
            x: 3
            y: -3
            visible: checkBox.isSelect
            source: sourceCheckBtn
        }
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            checkBox.btnClick(checkBox.index)
            checkBox.isSelect = !checkBox.isSelect
        }
    }
}
