import QtQuick

// The picture of the mouse with a highlight and a numbered tag per button. A tag opens the
// assignment page for its button, unless that button is the last one that does a left click.
Item {
    id: mouseMain

    property int keyCount: 8
    property int selectKey: -1
    // Where each button's highlight lies, and on which side of it the tag stands: "left" 48 to the
    // left of the highlight and 12 above it, "right" over its right end and 12 above it, "top"
    // resting on its top near the right end.
    readonly property var buttons: [
        { x: 370, y: 132, tag: "left" },
        { x: 562, y: 132, tag: "right" },
        { x: 512, y: 104, tag: "top" },
        { x: 368, y: 316, tag: "left" },
        { x: 368, y: 374, tag: "left" },
        { x: 515, y: 295, tag: "right" },
        { x: 515, y: 335, tag: "right" },
        { x: 368, y: 229, tag: "left" }
    ]

    signal btnClick()

    function openButton(index) {
        selectKey = index
        if (keyMatrixMain.modKeys.checkOneLeftKey()) {
            selectKey = -1
            return
        }
        btnClick()
        mainMask.visible = true
        keyAssigmentMain.show(index)
    }

    width: 1024
    height: 640

    Image {
        x: 374
        y: 127
        source: skinImage("mouse", "MouseFront.png")
    }

    Repeater {
        model: Math.max(0, Math.min(mouseMain.keyCount, mouseMain.buttons.length))

        Item {
            id: button

            required property int index
            readonly property var place: mouseMain.buttons[index]
            readonly property bool lit: mouseMain.selectKey === index || tagArea.containsMouse

            anchors.fill: parent

            Image {
                id: highlight

                x: button.place.x
                y: button.place.y
                source: skinImage("mouse", "Mouse" + button.index + (button.lit ? "S" : "") + ".png")
            }

            Rectangle {
                objectName: "mouseTag" + button.index
                x: button.place.tag === "left" ? highlight.x - 48
                   : button.place.tag === "right" ? highlight.x + highlight.width - 48
                   : highlight.x + highlight.width - 24
                y: button.place.tag === "top" ? highlight.y - height : highlight.y - 12
                width: 48
                height: 24
                color: button.lit ? colorOrange : colorGray0
                border.color: button.lit ? colorOrange : colorGray1

                Text {
                    anchors.centerIn: parent
                    text: button.index + 1
                    font.family: fontFamily
                    font.pixelSize: fontNormalSize
                    color: fontColor
                }

                MouseArea {
                    id: tagArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: mouseMain.openButton(button.index)
                }
            }
        }
    }
}
