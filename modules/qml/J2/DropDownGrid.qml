import QtQuick
import "../common/sliderMath.js" as SliderMath

// A head and, under it, a grid of three columns of cells, each as wide as the head. Empty cells
// fill out the last row: choosing one closes the grid but keeps the selection. The page learns of
// every choice through btnClick; the head itself reports nothing.
Item {
    id: dropGrid

    property bool isDrop: false
    property ListModel mdItems: ListModel {}
    property int currentSelect: 0
    property string textValue: itemText(currentSelect)
    property color borderColor: colorGray1
    property color bgColor: colorGray0
    property int horizontalOffset: 0

    signal btnClick()

    // Unlike the list, always closes (a closed grid runs its close animation again).
    function closeMenu() {
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
        if (!panel.running)
            setDrop(!isDrop)
    }

    function choose(i) {
        if (panel.running)
            return
        if (itemText(i) !== "")
            currentSelect = i
        setDrop(false)
        btnClick()
    }

    width: 100
    height: head.height

    DropDownHead {
        id: head

        width: dropGrid.width
        text: dropGrid.textValue
        isDrop: dropGrid.isDrop
        horizontalOffset: dropGrid.horizontalOffset
        color: dropGrid.bgColor
        border.color: dropGrid.borderColor
        onClicked: dropGrid.headClicked()
    }

    DropDownPanel {
        id: panel

        readonly property int rows: SliderMath.gridRows(dropGrid.mdItems.count, cells.columns)

        y: head.height
        width: dropGrid.width * cells.columns
        height: SliderMath.closedOffset(rows)
        visible: dropGrid.isDrop || running
        closedOffset: SliderMath.closedOffset(rows)
        duration: SliderMath.animationTime(dropGrid.mdItems.count)

        Grid {
            id: cells

            y: -panel.offset
            columns: 3

            Repeater {
                model: dropGrid.mdItems

                Rectangle {
                    required property int index
                    required property string textValue

                    width: dropGrid.width
                    height: SliderMath.rowHeight
                    color: index === dropGrid.currentSelect || cellArea.containsMouse
                           ? colorOrange : dropGrid.bgColor

                    Text {
                        anchors.centerIn: parent
                        anchors.horizontalCenterOffset: dropGrid.horizontalOffset
                        text: parent.textValue
                        color: fontColor
                        font.family: fontFamily
                        font.pixelSize: fontNormalSize
                    }

                    MouseArea {
                        id: cellArea

                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: dropGrid.choose(parent.index)
                    }
                }
            }
        }
    }
}
