import QtQuick

// A head with free text and, under it, a strip holding a slider. The slider's positions reach the
// page through valueChange; the page usually writes what they mean into textValue.
Item {
    id: dropSlider

    property bool isDrop: false
    property string textValue: ""
    property color borderColor: colorGray1
    property color bgColor: colorGray0
    property color sliderBgColor: colorGray0
    property color sliderbarBg: colorGray1
    property alias sliderControl: slider
    property int horizontalOffset: 0

    signal btnClick()
    signal dragSignal(bool isDrag)
    signal valueChange(int index)

    // As for the list: only an open strip at rest closes.
    function closeMenu() {
        if (isDrop && !panel.running)
            setDrop(false)
    }

    function setValue(ration) {
        slider.setRatioValue(ration)
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

    width: 100
    height: head.height

    DropDownHead {
        id: head

        width: dropSlider.width
        text: dropSlider.textValue
        isDrop: dropSlider.isDrop
        horizontalOffset: dropSlider.horizontalOffset
        color: dropSlider.bgColor
        border.color: dropSlider.borderColor
        onClicked: dropSlider.headClicked()
    }

    DropDownPanel {
        id: panel

        y: head.height
        width: dropSlider.width
        height: 24
        visible: dropSlider.isDrop || running
        closedOffset: height
        duration: 180

        Rectangle {
            y: -panel.offset
            width: panel.width
            height: panel.height
            color: dropSlider.sliderBgColor

            SliderButton {
                id: slider

                anchors.centerIn: parent
                width: parent.width - 16
                trackColor: dropSlider.sliderbarBg
                onValueChange: tmpValue => dropSlider.valueChange(tmpValue)
                onDragSignal: isDrag => dropSlider.dragSignal(isDrag)
            }
        }
    }
}
