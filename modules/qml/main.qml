import QtQuick
import "demo"

// Root document: a dashboard of the mouse's main settings until the full pages arrive.
//
// The host calls initUI, run, detectKeyboard, detectMouse, setProtectUI and setCurrentDPI by name.
// It publishes ui_View, ui_Ctl and hid only after the document has been created, and a test may
// publish none of them, so every call into the host goes through host(), ctl() or device().
//
// The current stage and the report rate reach the mouse at once; DPI values and lighting are
// marked unsaved and sent with Save, as the full pages do.
Item {
    id: mainIten

    width: 1024; height: 640
    visible: false

    // Look of the main window.
    readonly property string fontFamily: pickFont(["微软雅黑", "Noto Sans CJK SC", "DejaVu Sans"])
    readonly property int fontNormalSize: 12
    readonly property int fontMiddleSize: 14
    readonly property int fontMinSize: 10
    readonly property int fontMaxSize: 16
    readonly property color fontColor: "#ffffff"
    readonly property color colorGray0: "#1a1a1a"
    readonly property color colorGray1: "#3c3c3c"
    readonly property color colorGray2: "#969696"
    readonly property color colorGray3: "#d1d1d1"
    readonly property color colorBlue: "#09347f"
    readonly property color colorOrange: "#cf3e00"
    readonly property color colorBlack: "#000000"
    readonly property color colorUnsaved: "#ff3030"

    // The model, from the configuration.
    property string modelName: ""
    property string icType: "553"
    property bool isColorful: false
    property bool is55328: false
    property string sensorType: "3360"
    property int minDPI: 200
    property int maxDPI: 6000
    property int dpiBase: 50
    property int profileNo: 0

    // What the profile in use holds, as shown.
    property bool isPownOn: false
    property int currentDPI: -1            // stage the mouse uses, counted from 0; -1 none
    property int dpiCount: 8
    property int currentDpiCount: 4
    property var dpiValues: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]
    property int reportRate: 3             // index into reportRates
    property int lightEffect: 0
    property int lightSpeed: 0
    property int lightBrightness: 4
    property var colourValues: [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255,
                                0, 255, 255, 255, 127, 0, 96, 0, 255, 255, 255, 255]
    property int selectedColour: 0
    property bool dpiUnsaved: false
    property bool lightUnsaved: false

    readonly property var reportRates: [["125Hz", 8], ["250Hz", 4], ["500Hz", 2], ["1000Hz", 1]]
    readonly property var effectNames: {
        let names = ["Static", "Breath", "Neon", "OFF"]
        if (isColorful)
            names = names.concat(["Twinkling", "Wave", "Gliding", "Finger Moving",
                                  "Vertical Flipping", "YO-YO", "Spotlight"])
        if (is55328)
            names.push("Breath Loop")
        return names
    }
    readonly property bool effectHasSpeed: [1, 2, 5, 8, 9, 10].includes(lightEffect)
                                           || (lightEffect === 4 && is55328)
    readonly property bool effectHasBrightness: [0, 5, 7, 8, 9, 10].includes(lightEffect)
                                                || (lightEffect === 4 && !is55328)
    readonly property bool effectHasColour: [0, 1, 4, 9, 10].includes(lightEffect)
    // One colour per DPI stage, eight on colourful models; the 55328 variant has its own rule.
    readonly property int offeredColours: is55328 ? (lightEffect === 4 ? 7 : 1)
                                                  : (isColorful ? 8 : Math.max(1, Math.min(8, dpiCount)))

    signal emptyAreaPressed()
    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int mouseCode, int x, int y)

    // ---- Called by the host ----

    function initUI() {
        setProtectUI(1000)
        mainIten.visible = true
        const view = host()
        if (!view)
            return
        if (!isPownOn) {
            readModel(view)
            if (icType === "560" && number(view.mouseReadCurrentProfile(), 1) !== 1) {
                const h = device()
                if (h)
                    h.hid560_02H_SetCurrentProfile(1)
            }
            view.setCurrentProfile(profileNo)
            loadProfile(view)
            isPownOn = true
        }
        currentDPI = number(view.mouseGetCurrentDPI(), 0) - 1
    }
    function run() {}
    function detectKeyboard(isDown, usbCode) { msg_KB(isDown, usbCode) }
    function detectMouse(isDown, mouseCode, x, y) { msg_MS(isDown, mouseCode, x, y) }
    function setProtectUI(interval) {
        controlUIEnable(false)
        const ms = Number(interval)
        if (ms > 0) {
            tmrProtectUI.interval = ms
            tmrProtectUI.restart()
        } else {
            tmrProtectUI.stop()
            controlUIEnable(true)
        }
    }
    function setCurrentDPI(dpiValue) {
        const stage = Number(dpiValue)
        if (stage >= 1)
            currentDPI = stage - 1
    }

    // ---- Host access ----

    function host() { return typeof ui_View === "undefined" ? null : ui_View }
    function ctl() { return typeof ui_Ctl === "undefined" ? null : ui_Ctl }
    function device() { return typeof hid === "undefined" ? null : hid }

    function controlUIEnable(isEnable) {
        protectUIItem.visible = !isEnable
        const view = host()
        if (view)
            view.setEnabled(isEnable)
    }

    // ---- Reading the store: every value arrives as text ----

    function number(value, fallback) {
        const n = Number(value)
        return value === undefined || value === null || value === "" || isNaN(n) ? fallback
                                                                                  : Math.round(n)
    }
    function bounded(value, low, high, fallback) {
        return Math.max(low, Math.min(high, number(value, fallback)))
    }
    function flag(value) { return value === true || String(value).toLowerCase() === "true" }
    // The first n numbers of a stored list; positions missing or not numbers keep the old value.
    function numbers(list, old, n) {
        const out = old.slice(0, n)
        for (let i = 0; i < n && list && i < list.length; ++i)
            out[i] = number(list[i], out[i])
        return out
    }

    function readModel(view) {
        modelName = String(view.getGlobalData("common/name") || "")
        icType = String(view.getGlobalData("mouse/icType") || "553")
        isColorful = flag(view.getGlobalData("mouse/isColorful"))
        is55328 = flag(view.getGlobalData("mouse/is55328"))
        sensorType = String(view.getGlobalData("mouse/sensorType") || sensorType)
        minDPI = number(view.getGlobalData("mouse/minDPI"), minDPI)
        maxDPI = Math.max(minDPI, number(view.getGlobalData("mouse/maxDPI"), maxDPI))
        dpiBase = Math.max(1, number(view.getGlobalData("mouse/dpiBase"), dpiBase))
        profileNo = number(view.getGlobalData("mouse/profileNo"), 0)
    }

    function loadProfile(view) {
        dpiCount = bounded(view.getData("mouse/dpiCount", false), 1, 8, dpiCount)
        currentDpiCount = bounded(view.getData("mouse/currentDpiCount", false), 1, dpiCount,
                                  currentDpiCount)
        dpiValues = numbers(view.getDataList("mouse/dpiValueArray", false), dpiValues, 8)
        reportRate = bounded(view.getData("mouse/reportRate", false), 0, reportRates.length - 1,
                             reportRate)
        const light = numbers(view.getDataList("mouse/lightValue", false),
                              [lightEffect, lightSpeed, lightBrightness], 3)
        lightEffect = Math.max(0, Math.min(effectNames.length - 1, light[0]))
        lightSpeed = Math.max(0, Math.min(4, light[1]))
        lightBrightness = Math.max(0, Math.min(4, light[2]))
        colourValues = numbers(view.getDataList("mouse/colorValue", false), colourValues, 24)
            .map(c => Math.max(0, Math.min(255, c)))
        selectedColour = 0
        dpiUnsaved = false
        lightUnsaved = false
    }

    // ---- The user's changes ----

    function selectStage(stage) {
        const view = host()
        if (view)
            view.mouseSetCurrentDPI(stage)
        currentDPI = stage - 1
    }
    function selectReportRate(index) {
        reportRate = index
        const view = host()
        if (view) {
            view.setData("mouse/reportRate", index)
            view.mouseSetReportRate(reportRates[index][1])
        }
    }
    function setStageCount(count) {
        currentDpiCount = Math.max(1, Math.min(dpiCount, count))
        dpiUnsaved = true
    }
    function setStageValue(stage, value) {
        if (dpiValues[stage] === value)
            return
        const values = dpiValues.slice()
        values[stage] = value
        dpiValues = values
        dpiUnsaved = true
    }
    function setLight(effect, speed, brightness) {
        lightEffect = effect
        lightSpeed = speed
        lightBrightness = brightness
        if (selectedColour >= offeredColours)
            selectedColour = 0
        lightUnsaved = true
    }
    function setColour(index, red, green, blue) {
        const values = colourValues.slice()
        values.splice(3 * index, 3, red, green, blue)
        colourValues = values
        lightUnsaved = true
    }

    // Stores what is unsaved in the profile in use and sends it to the mouse.
    function save() {
        if (!dpiUnsaved && !lightUnsaved)
            return
        controlUIEnable(false)
        const view = host()
        if (dpiUnsaved && view) {
            const values = dpiValues.slice(0, 8)
            view.setDataList("mouse/dpiValueArray", values)
            view.setData("mouse/currentDpiCount", currentDpiCount)
            view.mouseSetDpi(currentDpiCount, sensorType, values)
        }
        if (lightUnsaved && view) {
            const light = [lightEffect, lightSpeed, lightBrightness]
            const colours = colourValues.slice(0, 24)
            // The 55328 variant only keeps an eighth colour for Breath Loop.
            if (is55328 && lightEffect !== 4)
                colours.splice(21, 3, 0, 0, 0)
            view.setDataList("mouse/lightValue", light)
            view.setDataList("mouse/colorValue", colours)
            view.mouseSetRGBEffect(light[0], light[1], light[2])
            view.mouseSetRGBColor(isColorful ? 0 : 1, colours)
        }
        dpiUnsaved = false
        lightUnsaved = false
        controlUIEnable(true)
    }

    function pickFont(families) {
        const installed = Qt.fontFamilies()
        return families.find(f => installed.includes(f)) || "sans-serif"
    }
    function colourOf(index) {
        const c = colourValues
        return Qt.rgba(c[3 * index] / 255, c[3 * index + 1] / 255, c[3 * index + 2] / 255, 1)
    }

    Timer {
        id: tmrProtectUI
        interval: 1000
        onTriggered: mainIten.controlUIEnable(true)
    }

    Rectangle {
        id: envItem
        anchors.fill: parent
        color: mainIten.colorGray0
        border.color: mainIten.colorGray1

        // Under everything: a press on an empty spot drags the frameless window.
        MouseArea {
            property int pressX: 0
            property int pressY: 0

            anchors.fill: parent
            onPressed: (mouse) => {
                pressX = mouse.x
                pressY = mouse.y
                mainIten.emptyAreaPressed()
            }
            onPositionChanged: (mouse) => {
                const c = mainIten.ctl()
                if (c) {
                    c.onXChanged(mouse.x - pressX)
                    c.onYChanged(mouse.y - pressY)
                }
            }
        }
    }

    // ---- Title bar ----
    Rectangle {
        x: 1; y: 1
        width: parent.width - 2; height: 47
        color: mainIten.colorBlack

        Image {
            x: 22
            anchors.verticalCenter: parent.verticalCenter
            width: 28; height: 28
            source: "qrc:/modules/img/logo.png"
            sourceSize: Qt.size(56, 56)
            smooth: true
        }
        Label {
            id: brand
            x: 60
            anchors.verticalCenter: parent.verticalCenter
            text: "KESTREL ORBIT"
            font.pixelSize: mainIten.fontMaxSize
            font.bold: true
            font.letterSpacing: 3
        }
        Label {
            objectName: "modelName"
            x: brand.x + brand.width + 20
            anchors.verticalCenter: parent.verticalCenter
            text: mainIten.modelName
            color: mainIten.colorGray2
        }
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width; height: 1
            color: mainIten.colorGray1
        }
    }
    Row {
        x: 951; y: 16
        spacing: 18
        WindowButton {
            objectName: "minBtn"
            onClicked: { const c = mainIten.ctl(); if (c) c.onMinimize() }
        }
        WindowButton {
            objectName: "closeBtn"
            closes: true
            onClicked: { const c = mainIten.ctl(); if (c) c.onClose() }
        }
    }

    // ---- Left panel ----
    Column {
        id: panelleft
        x: 24; y: 64
        spacing: 8

        Panel {
            title: "Device"
            height: deviceRows.y + deviceRows.height + 12
            Column {
                id: deviceRows
                x: 8; y: 40
                spacing: 4
                Repeater {
                    model: [["Model", mainIten.modelName],
                            ["Chip", mainIten.icType + " family"],
                            ["Sensor", mainIten.sensorType],
                            ["Profile", String(mainIten.profileNo + 1)]]
                    Row {
                        Label {
                            width: 64
                            text: modelData[0]
                            color: mainIten.colorGray2
                        }
                        Label {
                            width: 152
                            text: modelData[1]
                            elide: Text.ElideRight
                        }
                    }
                }
            }
        }
        Panel {
            id: reportRateRect
            title: "Report Rate"
            height: 72
            Row {
                x: 8; y: 40
                spacing: 4
                Repeater {
                    model: mainIten.reportRates
                    FlatButton {
                        objectName: "rate" + index
                        width: 51
                        text: modelData[0]
                        fontSize: mainIten.fontMinSize
                        checked: index === mainIten.reportRate
                        onClicked: mainIten.selectReportRate(index)
                    }
                }
            }
        }
        Panel {
            title: "About this demo"
            height: about.y + about.height + 12
            Label {
                id: about
                x: 8; y: 40
                width: 216
                wrapMode: Text.WordWrap
                lineHeight: 1.2
                text: "The stage and the report rate reach the mouse at once. DPI values and "
                      + "lighting are sent with Save. Every report to and from the virtual mouse "
                      + "is printed on the terminal."
                color: mainIten.colorGray2
            }
        }
    }

    // ---- Centre: the stage in use ----
    Item {
        x: 280; y: 64
        width: 464; height: 512

        Canvas {
            id: gauge

            readonly property int value: mainIten.dpiValues[mainIten.currentDPI] || 0
            readonly property real ratio: mainIten.maxDPI > mainIten.minDPI
                ? Math.max(0, Math.min(1, (value - mainIten.minDPI) / (mainIten.maxDPI - mainIten.minDPI))) : 0

            anchors.horizontalCenter: parent.horizontalCenter
            y: 64
            width: 280; height: 280
            onRatioChanged: requestPaint()
            onValueChanged: requestPaint()
            onPaint: {
                const ctx = getContext("2d")
                ctx.reset()
                const start = 0.75 * Math.PI, sweep = 1.5 * Math.PI
                ctx.lineWidth = 12
                ctx.lineCap = "round"
                ctx.strokeStyle = mainIten.colorGray1
                ctx.beginPath()
                ctx.arc(width / 2, height / 2, width / 2 - 12, start, start + sweep)
                ctx.stroke()
                if (value > 0) {
                    ctx.strokeStyle = mainIten.colorOrange
                    ctx.beginPath()
                    ctx.arc(width / 2, height / 2, width / 2 - 12, start, start + sweep * Math.max(ratio, 0.01))
                    ctx.stroke()
                }
            }

            Column {
                anchors.centerIn: parent
                spacing: 2
                Label {
                    objectName: "currentValue"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: gauge.value > 0 ? gauge.value : "\u2014"
                    font.pixelSize: 56
                    font.bold: true
                }
                Label {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: mainIten.currentDPI >= 0 ? "DPI  \u00b7  stage " + (mainIten.currentDPI + 1)
                                                   : "DPI"
                    color: mainIten.colorGray2
                    font.pixelSize: mainIten.fontMiddleSize
                }
            }
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 376
            spacing: 10
            Repeater {
                model: 8
                FlatButton {
                    objectName: "stage" + (index + 1)
                    width: 40; height: 40
                    text: index + 1
                    fontSize: mainIten.fontMaxSize
                    checked: index === mainIten.currentDPI
                    enabled: index < mainIten.currentDpiCount
                    onClicked: mainIten.selectStage(index + 1)
                }
            }
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 436
            text: "Choose a stage, or press the DPI button of the virtual mouse."
            color: mainIten.colorGray2
        }
    }

    // ---- Right panel ----
    Column {
        id: panelRight
        x: 768; y: 64
        spacing: 8

        DpiBlock { id: dpiSettingMain }
        LightBlock { id: lightControlMain }
    }

    // ---- Bottom bar ----
    Row {
        id: bottomBar
        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        spacing: 16

        Label {
            anchors.verticalCenter: parent.verticalCenter
            visible: mainIten.dpiUnsaved || mainIten.lightUnsaved
            text: "Unsaved changes"
            color: mainIten.colorUnsaved
        }
        FlatButton {
            objectName: "saveBtn"
            text: "Save"
            restColor: mainIten.dpiUnsaved || mainIten.lightUnsaved ? mainIten.colorUnsaved
                                                                     : mainIten.colorBlue
            onClicked: mainIten.save()
        }
    }

    // ---- Busy lock: the host disables the view meanwhile; this only shows it ----
    Rectangle {
        id: protectUIItem
        objectName: "protectUIItem"
        anchors.fill: parent
        z: 99
        visible: false
        color: "#90000000"

        Rectangle {
            anchors.centerIn: parent
            width: 168; height: 44
            radius: 4
            color: mainIten.colorBlack
            border.color: mainIten.colorOrange

            Row {
                anchors.centerIn: parent
                spacing: 12
                Rectangle {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 12; height: 12
                    color: "transparent"
                    border.color: mainIten.colorOrange
                    border.width: 2
                    RotationAnimation on rotation {
                        running: protectUIItem.visible
                        loops: Animation.Infinite
                        from: 0; to: 360
                        duration: 900
                    }
                }
                Label {
                    text: "Working\u2026"
                    font.pixelSize: mainIten.fontMiddleSize
                }
            }
        }
    }
}
