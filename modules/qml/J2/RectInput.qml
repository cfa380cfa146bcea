import QtQuick
import "../common/numberInput.js" as NumberInput

// A small box for a whole number from minValue to maxValue. The page hears inputSignal when the
// user starts typing and endInputSignal once the box has been left and its text settled; pages
// call closeFocus from their focus functions, since clicks elsewhere do not take the focus.
Rectangle {
    id: rectInput

    property int maxValue: 255
    property int minValue: 0
    property alias textValue: input.text
    property alias txtInput: input

    signal endInputSignal()
    signal inputSignal()

    function closeFocus() {
        if (input.activeFocus) {
            input.deselect()
            input.focus = false
        }
    }

    function focusMoved(hasFocus) {
        if (hasFocus) {
            inputSignal()
            return
        }
        input.text = NumberInput.settle(input.text, minValue, maxValue)
        endInputSignal()
    }

    width: 48
    height: 20
    color: "transparent"

    TextInput {
        id: input

        anchors.fill: parent
        clip: true
        text: "0"
        maximumLength: 4
        selectByMouse: true
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        color: fontColor
        selectionColor: colorOrange
        font.family: fontFamily
        font.pixelSize: fontNormalSize
        validator: IntValidator {
            bottom: rectInput.minValue
            top: rectInput.maxValue
        }
        Keys.onReturnPressed: input.focus = false
        Keys.onEnterPressed: input.focus = false
        onActiveFocusChanged: rectInput.focusMoved(activeFocus)
    }
}
