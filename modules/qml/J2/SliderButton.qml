import QtQuick
import "../common/sliderMath.js" as SliderMath

// A track with a knob. It reports the knob's left edge in pixels, not a value: the page converts.
// valueChange follows the knob; valueChangeDelay comes once, when a drag is let go or a click's
// glide has landed, and is where pages store and send. With isScale the knob rests only on the
// segment + 1 stops and segmentValue is the stop's index.
Item {
    id: slider

    property int segment: 10
    property int segmentValue: 0
    property bool isScale: false
    property color colorS: colorOrange
    property color trackColor: colorGray1

    signal valueChange(int tmpValue)
    signal btnClick()
    signal dragSignal(bool isDrag)
    signal valueChangeDelay(int tmpValue)

    function setRatioValue(ration) {
        place(SliderMath.ratioToPos(width, ration))
        valueChange(knob.x)
    }

    function setIndexValue(Index, isSendSignal) {
        segmentValue = SliderMath.clampIndex(Index, segment)
        place(SliderMath.indexToPos(width, segment, segmentValue))
        if (isSendSignal)
            valueChange(knob.x)
    }

    function setValue(tmpvalue) {
        place(SliderMath.clamp(tmpvalue, width))
    }

    // The knob moves only through here and glideTo; either one cancels a glide still under way.
    function place(x) {
        glide.stop()
        knob.x = x
    }

    function glideTo(x) {
        glide.stop()
        glide.to = x
        glide.start()
    }

    function snap(stop) {
        segmentValue = stop
        return SliderMath.indexToPos(width, segment, stop)
    }

    function clickAt(pointerX) {
        btnClick()
        let target = SliderMath.clickPos(pointerX, width)
        if (isScale)
            target = snap(SliderMath.stopOnClick(target, width, segment))
        glideTo(target)
    }

    function endDrag() {
        if (isScale)
            place(snap(SliderMath.stopOnRelease(knob.x, width, segment)))
        valueChangeDelay(knob.x)
        dragSignal(false)
    }

    width: 100
    height: 6

    Rectangle {
        anchors.fill: parent
        radius: 3
        color: slider.trackColor

        Rectangle {
            width: knob.x + knob.width / 2
            height: parent.height
            radius: 3
            color: slider.colorS
        }
    }

    MouseArea {
        id: trackArea

        anchors.fill: parent
        anchors.margins: -3
        onClicked: mouse => slider.clickAt(mouse.x + trackArea.x)
    }

    Image {
        id: knob

        objectName: "knob"
        x: SliderMath.minPos()
        y: -3
        width: SliderMath.knobSize
        height: SliderMath.knobSize
        source: sourceSlide

        MouseArea {
            property real grabX: 0

            anchors.fill: parent
            preventStealing: true
            onPressed: mouse => {
                slider.place(knob.x)
                grabX = mouse.x
                slider.btnClick()
                slider.dragSignal(true)
            }
            onPositionChanged: mouse => {
                slider.place(SliderMath.clamp(knob.x + mouse.x - grabX, slider.width))
                if (!slider.isScale)
                    slider.valueChange(knob.x)
            }
            onReleased: slider.endDrag()
            onCanceled: slider.endDrag()
        }
    }

    NumberAnimation {
        id: glide

        target: knob
        property: "x"
        duration: 120
        easing.type: Easing.OutQuad
        onFinished: {
            slider.valueChange(knob.x)
            slider.valueChangeDelay(knob.x)
        }
    }
}
