import QtQuick
import "../J2"

// The window's top-right corner: the profile drop-down, then ask, minimise and close. The root
// decides what the buttons do; choosing a profile goes straight to the profile page.
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
}
