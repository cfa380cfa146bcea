import QtQuick

// The head of the drop-down controls: the shown text and the arrow, which points up while the
// control is open.
Rectangle {
    id: head

    property string text: ""
    property bool isDrop: false
    property int horizontalOffset: 0

    signal clicked()

    height: 24
    z: 1
    border.width: 1

    Text {
        anchors.centerIn: parent
        anchors.horizontalCenterOffset: head.horizontalOffset
        text: head.text
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize
    }

    Image {
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        source: head.isDrop ? sourceDropBtnU : sourceDropBtn
    }

    MouseArea {
        anchors.fill: parent
        onClicked: head.clicked()
    }
}
