import QtQuick
import "../common/perfMath.js" as PerfMath
import "../common/sliderMath.js" as SliderMath

// The host's pointer settings: cursor speed, double-click speed and wheel scrolling. Unlike the
// mouse's own settings they take effect at once, each when its control is let go.
Rectangle {
    id: systemSetting

    property var compareValue: PerfMath.speedThresholds
    property var systemSettingLang: ["System Settings", "Mouse Speed", "Double-Click Speed", "Slow",
                                     "Fast", "Scroll Speed", "Number of Lines", "Scroll One Screen",
                                     "", "", "", "", "", "", ""]
    // Knob positions of the two sliders, as stored.
    property int mouseRate: SliderMath.minPos()
    property int doubleRate: SliderMath.minPos()
    property bool isOneScreen: false

    function init(isSendData, isRecovery) {
        mouseRate = SliderMath.clamp(PerfMath.whole(ui_View.getData("mouse/mouseRate", isRecovery), mouseRate),
                                     cursorSlider.width)
        doubleRate = SliderMath.clamp(PerfMath.whole(ui_View.getData("mouse/doubleRate", isRecovery), doubleRate),
                                      doubleSlider.width)
        cursorSlider.setValue(mouseRate)
        doubleSlider.setValue(doubleRate)
        const lines = PerfMath.whole(ui_View.getData("mouse/scrollRate", isRecovery), 1)
        markScrolling(lines > 100)
        if (!isOneScreen)
            linesInput.text = String(PerfMath.wheelLines(lines))
        if (isSendData)
            saveData(true, 0)
    }

    // isStep says what changed: 1 cursor speed, 2 double-click speed, 3 wheel lines, 0 all three.
    function saveData(isSendData, isStep) {
        ui_View.setData("mouse/mouseRate", mouseRate)
        ui_View.setData("mouse/doubleRate", doubleRate)
        const lines = isOneScreen ? PerfMath.oneScreen : PerfMath.wheelLines(linesInput.text)
        ui_View.setData("mouse/scrollRate", lines)
        if (!isSendData)
            return
        if (isStep === 0 || isStep === 1)
            ui_View.mouseSetCursorSpeed(PerfMath.speedIndex(mouseRate))
        if (isStep === 0 || isStep === 2)
            ui_View.mouseSetDoubleClickSpeed(PerfMath.speedIndex(doubleRate))
        if (isStep === 0 || isStep === 3)
            ui_View.mouseSetVerticalScrollLines(lines)
    }

    function systemSettingFocus() {
        linesInput.focus = false
    }

    // The two scrolling choices are not grouped: the one chosen clears the other.
    function markScrolling(oneScreen) {
        isOneScreen = oneScreen
        linesChoice.isSelect = !oneScreen
        screenChoice.isSelect = oneScreen
    }

    function chooseScrolling(oneScreen) {
        markScrolling(oneScreen)
        saveData(true, 3)
    }

    function close() {
        systemSettingFocus()
        visible = false
        mainMask.visible = false
    }

    width: 416
    height: 312
    color: colorGray0

    PageDragArea {
        page: systemSetting
        onPressed: systemSetting.systemSettingFocus()
    }

    Rectangle {
        id: titleStrip

        width: parent.width
        height: 40
        color: colorBlack

        Text {
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            text: systemSettingLang[0]
            color: fontColor
            font.family: fontFamily
            font.pixelSize: fontMiddleSize
            font.bold: true
        }

        Image {
            id: closeImage

            objectName: "systemClose"
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            source: closeArea.containsMouse ? sourceCloseBtnH : sourceCloseBtn

            MouseArea {
                id: closeArea

                anchors.fill: parent
                anchors.margins: -3
                hoverEnabled: true
                onClicked: systemSetting.close()
            }
        }

        Image {
            objectName: "systemReset"
            anchors.right: closeImage.left
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            source: resetArea.containsMouse || resetArea.pressed ? sourceBackH : sourceBack

            MouseArea {
                id: resetArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: systemSetting.init(true, true)
            }
        }
    }

    Rectangle {
        y: titleStrip.height
        width: parent.width
        height: 1
        color: colorOrange
    }

    Column {
        x: 16
        y: titleStrip.height + 1 + 16
        width: parent.width - 2 * x
        spacing: 16

        SpeedSetting {
            width: parent.width
            label: systemSettingLang[1]
            slowText: systemSettingLang[3]
            fastText: systemSettingLang[4]

            SliderButton {
                id: cursorSlider

                objectName: "cursorSlider"
                width: PerfMath.pointerSliderWidth
                onValueChange: x => systemSetting.mouseRate = x
                onValueChangeDelay: x => {
                    systemSetting.mouseRate = x
                    systemSetting.saveData(true, 1)
                }
            }
        }

        SpeedSetting {
            width: parent.width
            label: systemSettingLang[2]
            slowText: systemSettingLang[3]
            fastText: systemSettingLang[4]

            SliderButton {
                id: doubleSlider

                objectName: "doubleSlider"
                width: PerfMath.pointerSliderWidth
                onValueChange: x => systemSetting.doubleRate = x
                onValueChangeDelay: x => {
                    systemSetting.doubleRate = x
                    systemSetting.saveData(true, 2)
                }
            }
        }

        Item {
            width: parent.width
            height: scrollColumn.y + scrollColumn.height

            Text {
                id: scrollLabel

                text: systemSettingLang[5]
                color: fontColor
                font.family: fontFamily
                font.pixelSize: fontNormalSize
            }

            Column {
                id: scrollColumn

                x: 8
                y: scrollLabel.height + 10
                spacing: 8

                Row {
                    spacing: 16

                    RadioButton {
                        id: linesChoice

                        objectName: "linesChoice"
                        textValue: systemSettingLang[6]
                        isSelect: true
                        onBtnClick: systemSetting.chooseScrolling(false)
                    }

                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 32
                        height: 16
                        color: colorGray0
                        border.color: colorGray1

                        TextInput {
                            id: linesInput

                            objectName: "linesInput"
                            anchors.fill: parent
                            horizontalAlignment: TextInput.AlignHCenter
                            verticalAlignment: TextInput.AlignVCenter
                            text: "1"
                            maximumLength: 3
                            validator: IntValidator { bottom: 1; top: 100 }
                            selectByMouse: true
                            color: fontColor
                            font.family: fontFamily
                            font.pixelSize: fontNormalSize
                            // Enter leaves the box even on an unfinished number, which then settles.
                            Keys.onReturnPressed: focus = false
                            Keys.onEnterPressed: focus = false
                            onActiveFocusChanged: {
                                if (activeFocus) {
                                    mainIten.mainFocus()
                                } else {
                                    text = String(PerfMath.wheelLines(text))
                                    systemSetting.saveData(true, 3)
                                }
                            }
                        }
                    }
                }

                RadioButton {
                    id: screenChoice

                    objectName: "screenChoice"
                    textValue: systemSettingLang[7]
                    onBtnClick: systemSetting.chooseScrolling(true)
                }
            }
        }
    }
}
