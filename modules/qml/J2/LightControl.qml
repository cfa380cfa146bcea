import QtQuick
import "../common/colorMath.js" as ColorMath
import "../common/lightRules.js" as LightRules

// The lighting block: the effect, its speed and brightness steps, and up to eight colours picked on
// the colour bar or typed as red, green and blue. Changes are only marked unsaved here; the global
// Save stores and sends them.
Rectangle {
    id: lightControl

    property alias lightModel: effectList
    property bool isSave: false
    property var lightControlLang: ["Light", "Static", "Breath", "Neon", "Off", "Speed", "Color",
                                    "Brightness", "Twinkling", "Wave", "Gliding", "Finger Moving",
                                    "Vertical Flipping", "Yo-Yo", "Spotlight", "Breath Loop",
                                    "", "", "", ""]
    property var colors: ["#ff0000", "#00ff00", "#0000ff", "#ff00ff", "#00ffff", "#ff7f00",
                          "#6000ff", "#ffffff"]
    property int selectedSquare: 0
    // Where the knob stands on the colour bar, 0 … ColorMath.lastPosition.
    property int knobPosition: 0

    readonly property int effect: effectList.currentSelect
    readonly property var controls: LightRules.effectControls(effect, is55328)

    // One of the red, green and blue inputs: its letter and a box of 0 … 255.
    component ChannelInput: Row {
        property string label: ""
        property alias textValue: input.textValue

        function closeFocus() {
            input.closeFocus()
        }

        spacing: 8

        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: parent.label
            color: fontColor
            font.family: fontFamily
            font.pixelSize: fontNormalSize
        }

        RectInput {
            id: input

            objectName: "channel" + parent.label
            width: 32
            height: 16
            color: colorBlue
            minValue: 0
            maxValue: 255
            textValue: "255"
            onEndInputSignal: lightControl.typedColor()
        }
    }

    function init(isSendData, isRecovery) {
        fillEffects()
        const light = ui_View.getDataList("mouse/lightValue", isRecovery)
        effectList.currentSelect = whole(light[0], effect)
        speedSetting.setStep(whole(light[1], speedSetting.step))
        brightnessSetting.setStep(whole(light[2], brightnessSetting.step))
        const stored = ui_View.getDataList("mouse/colorValue", isRecovery)
        colors = colors.map((old, k) => stored.length >= 3 * k + 3
                            ? ColorMath.hex(stored[3 * k], stored[3 * k + 1], stored[3 * k + 2]) : old)
        selectSquare(0)
        if (isSendData)
            saveData(true, 0)
    }

    // isStep says what to store and send: 1 the effect and its steps, 2 the colours, 0 both.
    function saveData(isSendData, isStep) {
        const light = [effect, speedSetting.step, brightnessSetting.step]
        const rgb = LightRules.colorsToSave(colors.reduce((all, c) => all.concat(ColorMath.channels(c)), []),
                                            effect, is55328)
        if (isStep === 0 || isStep === 1)
            ui_View.setDataList("mouse/lightValue", light)
        if (isStep === 0 || isStep === 2)
            ui_View.setDataList("mouse/colorValue", rgb)
        if (!isSendData)
            return
        if (isStep === 0 || isStep === 1)
            ui_View.mouseSetRGBEffect(light[0], light[1], light[2])
        if (isStep === 0 || isStep === 2)
            ui_View.mouseSetRGBColor(isColorful ? 0 : 1, rgb)
    }

    function lightControlFocus() {
        effectList.closeMenu()
        for (const input of [redInput, greenInput, blueInput])
            input.closeFocus()
    }

    function whole(text, fallback) {
        const n = parseInt(text, 10)
        return isNaN(n) ? fallback : n
    }

    // The effect list in the model's order; the texts follow the language.
    function fillEffects() {
        const texts = LightRules.effectTexts(isColorful, is55328)
        effectItems.clear()
        for (const t of texts)
            effectItems.append({ textValue: lightControlLang[t] })
    }

    function chooseEffect(index) {
        const rule = LightRules.effectControls(index, is55328)
        if (rule.resetSpeed >= 0)
            speedSetting.setStep(rule.resetSpeed)
        if (rule.resetBrightness >= 0)
            brightnessSetting.setStep(rule.resetBrightness)
        selectSquare(0)
        isSave = true
    }

    function selectSquare(k) {
        selectedSquare = k
        showColor(colors[k])
    }

    // The knob goes where the colour lies on the bar and the inputs show it; the colour itself is
    // kept exactly as it is.
    function showColor(color) {
        const c = ColorMath.channels(color)
        knobPosition = ColorMath.positionOf(c[0], c[1], c[2])
        showChannels(c)
    }

    function showChannels(rgb) {
        redInput.textValue = String(rgb[0])
        greenInput.textValue = String(rgb[1])
        blueInput.textValue = String(rgb[2])
    }

    function setSelectedColor(color) {
        const list = colors.slice()
        list[selectedSquare] = color
        colors = list
    }

    function dragKnob(x) {
        knobPosition = ColorMath.positionAtKnob(colorBar.x, x)
        const c = ColorMath.colorAt(knobPosition)
        setSelectedColor(ColorMath.hex(c[0], c[1], c[2]))
        showChannels(c)
    }

    function typedColor() {
        const color = ColorMath.hex(redInput.textValue, greenInput.textValue, blueInput.textValue)
        setSelectedColor(color)
        showColor(color)
        isSave = true
    }

    function recover() {
        init(false, true)
        isSave = true
    }

    width: 232
    height: LightRules.blockHeight(controls)
    color: colorBlack

    Text {
        x: 8
        anchors.verticalCenter: effectList.verticalCenter
        text: lightControlLang[0]
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontMiddleSize
        font.bold: true
    }

    Image {
        id: resetImage

        objectName: "lightReset"
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: effectList.verticalCenter
        source: resetArea.containsMouse || resetArea.pressed ? sourceBackH : sourceBack

        MouseArea {
            id: resetArea

            anchors.fill: parent
            hoverEnabled: true
            onClicked: lightControl.recover()
        }
    }

    DropDownList {
        id: effectList

        objectName: "lightModel"
        anchors.right: resetImage.left
        anchors.rightMargin: 8
        y: 8
        z: 3
        width: 120
        currentSelect: 0
        count: effectItems.count
        mdItems: ListModel {
            id: effectItems
        }
        onBtnClick: lightControl.lightControlFocus()
        onValueChange: index => lightControl.chooseEffect(index)
    }

    Column {
        id: stepColumn

        y: effectList.y + effectList.height + 8
        spacing: 8

        StepSetting {
            id: speedSetting

            objectName: "speedSetting"
            label: lightControlLang[5]
            visible: lightControl.controls.speed
            onBtnClick: lightControl.lightControlFocus()
            onStepChosen: lightControl.isSave = true
        }

        StepSetting {
            id: brightnessSetting

            objectName: "brightnessSetting"
            label: lightControlLang[7]
            visible: lightControl.controls.brightness
            onBtnClick: lightControl.lightControlFocus()
            onStepChosen: lightControl.isSave = true
        }
    }

    Rectangle {
        id: divider

        x: 24
        y: stepColumn.y + stepColumn.height + 15
        width: parent.width - 2 * x
        height: 1
        color: colorGray0
    }

    Text {
        id: colorLabel

        x: 24
        y: divider.y + divider.height + 12
        text: lightControlLang[6]
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontNormalSize
    }

    Row {
        anchors.left: colorLabel.right
        anchors.leftMargin: 16
        anchors.verticalCenter: colorLabel.verticalCenter
        spacing: 4

        Repeater {
            model: 8

            Rectangle {
                required property int index

                objectName: "colorSquare" + index
                width: 14
                height: 14
                visible: LightRules.squareOffered(index, lightControl.effect, dpiSettingMain.dpiCount,
                                                  isColorful, is55328)
                color: lightControl.colors[index]
                border.width: index === lightControl.selectedSquare ? 1 : 0
                border.color: fontColor

                Text {
                    anchors.centerIn: parent
                    text: parent.index + 1
                    color: parent.color.hslLightness > 0.6 ? colorBlack : fontColor
                    font.family: fontFamily
                    font.pixelSize: fontMinSize
                }

                MouseArea {
                    anchors.fill: parent
                    onClicked: lightControl.selectSquare(parent.index)
                }
            }
        }
    }

    Image {
        id: colorBar

        objectName: "colorBar"
        x: 24
        y: colorLabel.y + colorLabel.height + 36
        width: ColorMath.barWidth
        height: 24
        source: skinImage("lightControl", "colorBar.png")
    }

    // The knob of the selected square: its number over a diamond of its colour, pointing at the bar.
    Item {
        id: knob

        objectName: "colorKnob"
        x: ColorMath.knobX(colorBar.x, lightControl.knobPosition)
        y: colorLabel.y + colorLabel.height + 8
        width: ColorMath.knobWidth
        height: 28

        Rectangle {
            width: 17
            height: 17
            color: colorBlack
            border.color: colorGray0

            Text {
                objectName: "knobNumber"
                anchors.centerIn: parent
                text: lightControl.selectedSquare + 1
                color: fontColor
                font.family: fontFamily
                font.pixelSize: fontMinSize
            }
        }

        // A square turned on its corner: 12 across.
        Rectangle {
            x: (ColorMath.knobWidth - width) / 2
            y: 17 + (12 - height) / 2
            width: 8.5
            height: 8.5
            rotation: 45
            color: lightControl.colors[lightControl.selectedSquare]
        }

        MouseArea {
            property real grabX: 0

            anchors.fill: parent
            preventStealing: true
            onPressed: mouse => {
                grabX = mouse.x
                lightControl.lightControlFocus()
            }
            onPositionChanged: mouse => lightControl.dragKnob(knob.x + mouse.x - grabX)
            onReleased: lightControl.isSave = true
        }
    }

    Row {
        x: 24
        y: colorBar.y + colorBar.height + 8
        spacing: 16

        ChannelInput {
            id: redInput

            label: "R"
        }
        ChannelInput {
            id: greenInput

            label: "G"
        }
        ChannelInput {
            id: blueInput

            label: "B"
        }
    }

    // Only some effects use the colours; for the others the colour section is covered.
    Rectangle {
        objectName: "colorMask"
        y: colorLabel.y
        width: parent.width
        height: 101
        visible: !LightRules.colorsEditable(lightControl.effect)
        color: "#b0000000"

        MouseArea {
            anchors.fill: parent
        }
    }
}
