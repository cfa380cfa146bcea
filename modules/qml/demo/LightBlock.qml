import QtQuick

// The lighting block: effect, speed and brightness steps and the colours, sent with Save.
Panel {
    title: "Light"
    height: 216

    Stepper {
        objectName: "effect"
        x: parent.width - width - 8; y: 8
        width: 140
        text: mainIten.effectNames[mainIten.lightEffect] || ""
        canPrev: mainIten.lightEffect > 0
        canNext: mainIten.lightEffect < mainIten.effectNames.length - 1
        onPrev: mainIten.setLight(mainIten.lightEffect - 1, mainIten.lightSpeed, mainIten.lightBrightness)
        onNext: mainIten.setLight(mainIten.lightEffect + 1, mainIten.lightSpeed, mainIten.lightBrightness)
    }
    Column {
        x: 8; y: 44
        spacing: 8
        Repeater {
            model: [["Speed", "speed"], ["Brightness", "brightness"]]
            Row {
                id: stepRow
                readonly property bool isSpeed: index === 0
                enabled: isSpeed ? mainIten.effectHasSpeed : mainIten.effectHasBrightness
                opacity: enabled ? 1 : 0.35
                Label {
                    width: 80
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData[0]
                    color: mainIten.colorGray3
                }
                StepBar {
                    objectName: modelData[1]
                    value: stepRow.isSpeed ? mainIten.lightSpeed : mainIten.lightBrightness
                    onPicked: (step) => stepRow.isSpeed
                        ? mainIten.setLight(mainIten.lightEffect, step, mainIten.lightBrightness)
                        : mainIten.setLight(mainIten.lightEffect, mainIten.lightSpeed, step)
                }
            }
        }
    }
    Rectangle {
        x: 8; y: 104
        width: 216; height: 1
        color: mainIten.colorGray1
    }
    Item {
        x: 8; y: 116
        width: 216; height: 92
        opacity: mainIten.effectHasColour ? 1 : 0.35
        enabled: mainIten.effectHasColour

        Label {
            width: 48; height: 16
            verticalAlignment: Text.AlignVCenter
            text: "Color"
            color: mainIten.colorGray3
        }
        Row {
            x: 48
            spacing: 5
            Repeater {
                model: mainIten.offeredColours
                Rectangle {
                    objectName: "colour" + index
                    width: 16; height: 16
                    color: mainIten.colourOf(index)
                    border.width: index === mainIten.selectedColour ? 2 : 1
                    border.color: index === mainIten.selectedColour ? mainIten.colorOrange
                                                                    : mainIten.colorGray1
                    MouseArea {
                        anchors.fill: parent
                        onClicked: mainIten.selectedColour = index
                    }
                }
            }
        }
        HueBar {
            objectName: "hueBar"
            x: 16; y: 24
            red: mainIten.colourValues[3 * mainIten.selectedColour]
            green: mainIten.colourValues[3 * mainIten.selectedColour + 1]
            blue: mainIten.colourValues[3 * mainIten.selectedColour + 2]
            onPicked: (r, g, b) => mainIten.setColour(mainIten.selectedColour, r, g, b)
        }
        Label {
            x: 16; y: 66
            text: "R " + mainIten.colourValues[3 * mainIten.selectedColour]
                  + "   G " + mainIten.colourValues[3 * mainIten.selectedColour + 1]
                  + "   B " + mainIten.colourValues[3 * mainIten.selectedColour + 2]
            color: mainIten.colorGray3
            font.pixelSize: mainIten.fontMinSize
        }
    }
}
