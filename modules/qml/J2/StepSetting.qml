import QtQuick
import "../common/lightRules.js" as LightRules

// A lighting step control: its label, a five-stop slider over its scale, and a box showing the
// stop as a percentage. stepChosen comes once the user lets go of the slider (or a click has
// landed); btnClick as the slider is pressed.
Item {
    id: setting

    property string label: ""
    readonly property int step: slider.segmentValue

    signal btnClick()
    signal stepChosen(int step)

    // Puts the slider on a stop without telling anyone.
    function setStep(step) {
        slider.setIndexValue(step, false)
    }

    width: 232
    height: 40

    Text {
        id: title

        x: 24
        text: setting.label
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize
    }

    SliderButton {
        id: slider

        objectName: "stepSlider"
        x: title.x + 8
        y: title.height + 8
        width: 96
        segment: LightRules.speedStops - 1
        isScale: true
        colorS: colorOrange
        trackColor: colorGray1
        onBtnClick: setting.btnClick()
        onValueChangeDelay: setting.stepChosen(slider.segmentValue)
    }

    // Its ticks stand under the knob's centre at each stop.
    Image {
        x: slider.x + 9
        y: slider.y + slider.height + 5
        source: skinImage("lightControl", "speedScale.png")
    }

    Rectangle {
        x: slider.x + slider.width + 16
        anchors.verticalCenter: slider.verticalCenter
        width: 48
        height: 16
        color: colorBlue

        Text {
            objectName: "stepText"
            anchors.centerIn: parent
            text: LightRules.stepText(setting.step)
            color: fontColor
            font.family: fontFamily
            font.pixelSize: fontNormalSize
        }
    }
}
