import QtQuick
import "../common/sliderMath.js" as SliderMath

// A head showing the chosen item and a list that slides open under it. The page sets the items
// (mdItems, role textValue) and their number (count). btnClick comes before the head acts, so a
// page that closes every list on it (mainFocus) closes this one too and the click then changes
// nothing, since a list in motion ignores its head. A chosen row is reported by valueChange once
// the list has closed.
Item {
    id: dropDown

    property bool isDrop: false
    property int count: 0
    property ListModel mdItems: ListModel {}
    property int currentSelect: 2
    property string textValue: itemText(currentSelect)
    property color borderColor: colorGray1
    property color bgColor: colorGray0
    property int horizontalOffset: 0

    signal dragSignal(bool isDrag)
    signal btnClick()
    signal valueChange(int index)

    // Closes an open list that is at rest, scrolled or not; a closed or moving one is left alone.
    function closeMenu() {
        if (isDrop && !panel.running)
            setDrop(false)
    }

    function itemText(i) {
        return i >= 0 && i < mdItems.count ? (mdItems.get(i).textValue ?? "") : ""
    }

    function setDrop(drop) {
        isDrop = drop
        if (drop)
            panel.open()
        else
            panel.close()
    }

    function headClicked() {
        btnClick()
        if (!panel.running)
            setDrop(!isDrop)
    }

    function choose(i) {
        if (panel.running)
            return
        currentSelect = i
        internal.chosen = i
        setDrop(false)
    }

    width: 100
    height: head.height

    QtObject {
        id: internal

        property int chosen: -1
    }

    DropDownHead {
        id: head

        width: dropDown.width
        text: dropDown.textValue
        isDrop: dropDown.isDrop
        horizontalOffset: dropDown.horizontalOffset
        color: dropDown.bgColor
        border.color: dropDown.borderColor
        onClicked: dropDown.headClicked()
    }

    DropDownPanel {
        id: panel

        y: head.height
        width: dropDown.width
        height: SliderMath.listHeight(dropDown.count)
        visible: dropDown.isDrop || running
        closedOffset: SliderMath.closedOffset(dropDown.count)
        duration: SliderMath.animationTime(dropDown.count)
        onCloseFinished: {
            const i = internal.chosen
            internal.chosen = -1
            if (i >= 0)
                dropDown.valueChange(i)
        }

        Column {
            y: -panel.offset
            width: parent.width

            Repeater {
                model: dropDown.mdItems

                Rectangle {
                    required property int index
                    required property string textValue

                    width: dropDown.width
                    height: SliderMath.rowHeight
                    color: index === dropDown.currentSelect || rowArea.containsMouse
                           ? colorOrange : dropDown.bgColor

                    Text {
                        anchors.centerIn: parent
                        anchors.horizontalCenterOffset: dropDown.horizontalOffset
                        text: parent.textValue
                        color: fontColor
                        font.family: fontFamily
                        font.pixelSize: fontNormalSize
                    }

                    // The right edge is left to the scroll bar.
                    MouseArea {
                        id: rowArea

                        width: parent.width - 15
                        height: parent.height
                        hoverEnabled: true
                        onClicked: dropDown.choose(parent.index)
                    }
                }
            }
        }

        Rectangle {
            id: scrollBar

            objectName: "scrollBar"
            x: panel.width - width
            y: SliderMath.scrollBarPos(panel.offset, dropDown.count)
            width: 12
            height: SliderMath.scrollBarSize(dropDown.count)
            visible: SliderMath.hasScrollBar(dropDown.count)
            radius: 2
            color: "#ffffff"
            border.width: 1
            border.color: colorGray3

            MouseArea {
                property real grabY: 0

                anchors.fill: parent
                preventStealing: true
                onPressed: mouse => {
                    grabY = mouse.y
                    dropDown.dragSignal(true)
                }
                onPositionChanged: mouse => {
                    if (!panel.running)
                        panel.offset = SliderMath.offsetForBar(scrollBar.y + mouse.y - grabY, dropDown.count)
                }
                onReleased: dropDown.dragSignal(false)
                onCanceled: dropDown.dragSignal(false)
            }
        }
    }
}
