import QtQuick

// One speed setting of the system page: its label, the slider (given as the child) with the slow
// and fast ends under it, and a divider.
Item {
    id: setting

    property string label: ""
    property string slowText: ""
    property string fastText: ""
    default property alias slider: sliderSlot.data

    height: divider.y + divider.height

    Text {
        id: title

        text: setting.label
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize
    }

    Item {
        id: sliderSlot

        anchors.horizontalCenter: parent.horizontalCenter
        y: title.height + 12
        width: childrenRect.width
        height: 6
    }

    Text {
        id: slowEnd

        x: sliderSlot.x
        y: sliderSlot.y + sliderSlot.height + 8
        text: setting.slowText
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize
    }

    Text {
        x: sliderSlot.x + sliderSlot.width - width
        y: slowEnd.y
        text: setting.fastText
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize
    }

    Rectangle {
        id: divider

        y: slowEnd.y + slowEnd.height + 12
        width: setting.width
        height: 1
        color: colorBlack
    }
}
