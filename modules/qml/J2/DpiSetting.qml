import QtQuick
import "../common/perfMath.js" as PerfMath

// The DPI block: eight upright stage sliders, how many of them are active, and which one the mouse
// uses. Changes are only marked unsaved here; the global Save stores and sends them.
Rectangle {
    id: dpiSetting

    property alias dpiSegment: stageList
    property bool isSave: false
    property int currentDPI: 0
    property int dpiCount: 4
    property int currentDpiCount: 4
    property int minDPI: 200
    property int maxDPI: 6000
    property string sensorType: "3360"
    property int dpiBase: 50
    property var dpiValueArray: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]
    property var dpiSettingLang: ["DPI", "", "", "", ""]
    // What each stage's label shows; this, not the stored array, is what a save takes.
    property var shownValues: ["2000", "2000", "2000", "2000", "2000", "2000", "2000", "2000"]

    readonly property var spread: PerfMath.stageSpread(currentDpiCount)

    function init(isSendData, isRecovery) {
        if (!isRecovery) {
            dpiCount = PerfMath.whole(ui_View.getData("mouse/dpiCount", false), 0)
            currentDpiCount = PerfMath.whole(ui_View.getData("mouse/currentDpiCount", false), 1)
            minDPI = PerfMath.whole(ui_View.getGlobalData("mouse/minDPI"), minDPI)
            maxDPI = PerfMath.whole(ui_View.getGlobalData("mouse/maxDPI"), maxDPI)
            sensorType = ui_View.getGlobalData("mouse/sensorType") ?? sensorType
            dpiBase = PerfMath.whole(ui_View.getGlobalData("mouse/dpiBase"), dpiBase)
        }
        // A model with no stages or more than the block can show leaves the block as it was.
        if (dpiCount < 1 || dpiCount > 8)
            return
        const stored = ui_View.getDataList("mouse/dpiValueArray", isRecovery)
        dpiValueArray = dpiValueArray.map((old, k) => PerfMath.whole(stored[k], old))
        if (!isRecovery) {
            currentDpiCount = Math.max(1, Math.min(dpiCount, currentDpiCount))
            offerStages(dpiCount)
            stageList.currentSelect = currentDpiCount - 1
            stageList.closeMenu()
        }
        for (let k = 0; k < sliders.count; ++k)
            sliders.itemAt(k).setRatioValue(PerfMath.dpiRatio(dpiValueArray[k], minDPI, maxDPI))
        if (isSendData)
            saveData(true)
    }

    function saveData(isSendData) {
        const values = shownValues.map(v => PerfMath.whole(v, 0))
        dpiValueArray = values
        ui_View.setDataList("mouse/dpiValueArray", values)
        ui_View.setData("mouse/currentDpiCount", currentDpiCount)
        if (isSendData)
            ui_View.mouseSetDpi(currentDpiCount, sensorType, values)
    }

    // A knob moved to position x: its stage shows the value; once let go the block is unsaved.
    function dpiValueProc(index, dpiValue, isSendData) {
        const values = shownValues.slice()
        values[index] = String(PerfMath.dpiForPosition(dpiValue, minDPI, maxDPI, dpiBase))
        shownValues = values
        if (isSendData)
            isSave = true
    }

    // The stage-count list offers "1" … count.
    function offerStages(count) {
        while (stageItems.count > count)
            stageItems.remove(stageItems.count - 1)
        while (stageItems.count < count)
            stageItems.append({ textValue: String(stageItems.count + 1) })
    }

    function recover() {
        init(false, true)
        isSave = true
    }

    width: 232
    height: 256
    color: colorBlack

    Text {
        x: 8
        y: 12
        text: dpiSettingLang[0]
        color: fontColor
        font.family: fontFamily
        font.pixelSize: fontMiddleSize
        font.bold: true
    }

    Image {
        id: resetImage

        objectName: "dpiReset"
        anchors.right: parent.right
        anchors.rightMargin: 8
        y: 12
        source: resetArea.containsMouse || resetArea.pressed ? sourceBackH : sourceBack

        MouseArea {
            id: resetArea

            anchors.fill: parent
            hoverEnabled: true
            onClicked: dpiSetting.recover()
        }
    }

    DropDownList {
        id: stageList

        objectName: "dpiSegment"
        anchors.right: resetImage.left
        anchors.rightMargin: 16
        y: 8
        z: 2
        width: 64
        horizontalOffset: -8
        count: stageItems.count
        currentSelect: dpiSetting.currentDpiCount - 1
        mdItems: ListModel {
            id: stageItems

            ListElement { textValue: "1" }
            ListElement { textValue: "2" }
            ListElement { textValue: "3" }
            ListElement { textValue: "4" }
            ListElement { textValue: "5" }
            ListElement { textValue: "6" }
            ListElement { textValue: "7" }
            ListElement { textValue: "8" }
        }
        onBtnClick: mainIten.mainFocus()
        onValueChange: index => {
            dpiSetting.currentDpiCount = index + 1
            dpiSetting.isSave = true
        }
    }

    // Laid out as a column and turned upright, so stage 1 is on the left and low values are at
    // the bottom.
    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: dpiSetting.spread.column
        spacing: dpiSetting.spread.sliders
        rotation: 270

        Repeater {
            id: sliders

            model: 8

            SliderButton {
                required property int index
                readonly property string dpiValue: dpiSetting.shownValues[index]

                objectName: "dpi" + index
                width: 176
                visible: index < dpiSetting.currentDpiCount
                colorS: index === dpiSetting.currentDPI ? colorOrange : colorBlue
                onBtnClick: mainIten.mainFocus()
                onValueChange: x => dpiSetting.dpiValueProc(index, x, false)
                onValueChangeDelay: x => dpiSetting.dpiValueProc(index, x, true)
            }
        }
    }

    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 16
        spacing: dpiSetting.spread.labels

        Repeater {
            model: 8

            Text {
                required property int index

                objectName: "dpiLabel" + index
                width: 24
                visible: index < dpiSetting.currentDpiCount
                horizontalAlignment: Text.AlignHCenter
                text: dpiSetting.shownValues[index]
                color: fontColor
                font.family: fontFamily
                font.pixelSize: fontMinSize
            }
        }
    }
}
