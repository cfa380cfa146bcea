import QtQuick

// A round-cornered mark with a label to its right. Buttons are not grouped: a click only sets this
// one, and the page clears the others of its group in its btnClick handler.
Item {
    id: radioButton

    property string textValue: "Text"
    property bool isSelect: false
    property int index: -1
    property int gapValue: 16

    signal btnClick(int index)

    width: 8 + label.width + gapValue
    height: Math.max(label.height, mark.height)

    Rectangle {
        id: mark

        anchors.verticalCenter: parent.verticalCenter
        width: 10
        height: 10
        radius: 4
        color: colorGray3

        Rectangle {
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 2
            visible: radioButton.isSelect
            color: colorOrange
        }
    }

    Text {
        id: label

        anchors.verticalCenter: parent.verticalCenter
        x: mark.width + radioButton.gapValue
        text: radioButton.textValue
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            radioButton.isSelect = true
            radioButton.btnClick(radioButton.index)
        }
    }
}
