import QtQuick
import "../J2"

// A question with OK and Cancel on a title strip; it can be dragged anywhere inside the window.
Rectangle {
    id: box

    property alias title: titleText.text
    property alias question: questionText.text
    property alias okText: okButton.text
    property alias cancelText: cancelButton.text

    signal accepted()
    signal rejected()

    width: 427
    height: 102
    color: colorGray0

    PageDragArea {
        page: box
    }

    Rectangle {
        id: strip

        x: 1
        y: 1
        width: parent.width - 2
        height: 30
        color: colorBlack

        Text {
            id: titleText

            x: 10
            anchors.verticalCenter: parent.verticalCenter
            font.family: fontFamily
            font.pixelSize: fontNormalSize
            font.bold: true
            color: fontColor
        }
    }

    Text {
        id: questionText

        x: 30
        anchors.top: strip.bottom
        anchors.topMargin: 6
        font.family: fontFamily
        font.pixelSize: 15
        font.bold: true
        color: fontColor
    }

    TextButton {
        id: okButton

        objectName: "okButton"
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.top: questionText.bottom
        anchors.topMargin: 6
        width: 88
        height: 25
        onClicked: box.accepted()
    }
    TextButton {
        id: cancelButton

        objectName: "cancelButton"
        anchors.right: okButton.left
        anchors.rightMargin: 7
        anchors.top: okButton.top
        width: 88
        height: 25
        onClicked: box.rejected()
    }
}
