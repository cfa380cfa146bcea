import QtQuick
import "../J2"

// The window's top-right corner: the profile drop-down, then ask, minimise and close. The root
// decides what the buttons do; choosing a profile goes straight to the profile page. Under the
// drop-down, a small line says which application rule chose the profile; the whole text shows
// under the pointer when the line is cut.
Item {
    id: menuUp

    property alias profileBtn: profileList

    signal btnClicked(int btnIndex)

    component HoverButton: Image {
        id: hoverButton

        property url normal
        property url hovered
        property int btnIndex

        width: 16
        height: 16
        source: area.containsMouse ? hovered : normal

        MouseArea {
            id: area

            anchors.fill: parent
            hoverEnabled: true
            onClicked: menuUp.btnClicked(hoverButton.btnIndex)
        }
    }

    width: buttons.width
    height: buttons.height

    DropDownList {
        id: profileList

        x: -16 - width
        anchors.verticalCenter: buttons.verticalCenter
        width: 144
        mdItems: profileMain.profileDataModel0
        count: profileMain.profileDataModel0.count
        onValueChange: index => profileMain.changeProfile(index)
    }

    Row {
        id: buttons

        spacing: 16

        HoverButton { normal: sourceAsk; hovered: sourceAskH; btnIndex: 2 }
        HoverButton { normal: sourceMinBtn; hovered: sourceMinBtnH; btnIndex: 0 }
        HoverButton { normal: sourceCloseBtn; hovered: sourceCloseBtnH; btnIndex: 1 }
    }

    Text {
        id: focusLine

        objectName: "focusStatusLine"
        anchors.right: profileList.right
        anchors.top: profileList.bottom
        anchors.topMargin: 4
        width: 280
        horizontalAlignment: Text.AlignRight
        elide: Text.ElideRight
        visible: text !== ""
        text: focusStatus
        font.family: fontFamily
        font.pixelSize: fontMinSize
        color: colorGray2

        MouseArea {
            id: focusLineArea

            anchors.fill: parent
            hoverEnabled: true
        }
    }
    Rectangle {
        objectName: "focusStatusTip"
        anchors.right: focusLine.right
        anchors.top: focusLine.bottom
        anchors.topMargin: 4
        z: 3
        width: tipText.width + 16
        height: tipText.height + 8
        visible: focusLineArea.containsMouse && focusLine.truncated
        color: colorGray0
        border.color: colorGray1

        Text {
            id: tipText

            x: 8
            y: 4
            width: Math.min(implicitWidth, 480)
            wrapMode: Text.Wrap
            text: focusLine.text
            font.family: fontFamily
            font.pixelSize: fontNormalSize
            color: fontColor
        }
    }
}
