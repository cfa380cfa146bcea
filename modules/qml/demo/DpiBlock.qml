import QtQuick

// The DPI block: how many stages are active and the value of each, sent with Save.
Panel {
    title: "DPI"
    height: 256

    Stepper {
        objectName: "stageCount"
        x: parent.width - width - 8; y: 8
        width: 112
        text: mainIten.currentDpiCount + (mainIten.currentDpiCount === 1 ? " stage" : " stages")
        canPrev: mainIten.currentDpiCount > 1
        canNext: mainIten.currentDpiCount < mainIten.dpiCount
        onPrev: mainIten.setStageCount(mainIten.currentDpiCount - 1)
        onNext: mainIten.setStageCount(mainIten.currentDpiCount + 1)
    }
    Column {
        x: 8; y: 44
        spacing: 4
        Repeater {
            model: 8
            DpiRow {
                objectName: "dpiRow" + index
                stage: index
                value: mainIten.dpiValues[index] || 0
                minValue: mainIten.minDPI
                maxValue: mainIten.maxDPI
                step: mainIten.dpiBase
                current: index === mainIten.currentDPI
                active: index < mainIten.currentDpiCount
                onMoved: (value) => mainIten.setStageValue(index, value)
            }
        }
    }
}
