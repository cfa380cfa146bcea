import QtQuick
import "./basic"
import "./common"
import "./J2"
import "common/windowMath.js" as WindowMath
import "common/perfMath.js" as PerfMath

// The root document: the 1024 × 640 window, the look every page shares, navigation between the main
// screen and the modal pages, the start-up sequence, the busy lock, Save, the factory reset, the
// profile switch and the glue between the macro editor and the key matrix.
//
// The pages address the root and each other by the object ids below; those ids are the contract
// between the documents. The host publishes ui_View, ui_Ctl and hid after this document is created,
// so they are used in functions only, never in bindings.
Item {
    id: mainIten

    property var mainLang: ["Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
                            "Reset to factory settings?", "Cancel", "OK", "System Settings", "Save",
                            "Mouse Disconnected", "", "", ""]
    property string language: "ChineseSimplified"
    property string url: "https://kestrel-orbit.example/support"
    property bool isColorful: false
    property string icType: "553"
    property bool is55328: false
    property bool isGun: true
    property bool isPownOn: false
    property int skin_No: 1
    // False while the mouse is unplugged: the view is then disabled and says why.
    property bool deviceConnected: true
    // Which application rule chose the profile in use, or why none switches (from the host).
    property string focusStatus: ""

    // The first family that is installed; the CJK-capable ones render both shipped languages.
    readonly property string fontFamily: WindowMath.pickFont(
        ["微软雅黑", "Noto Sans CJK SC", "Noto Sans SC", "WenQuanYi Micro Hei", "Droid Sans Fallback",
         "DejaVu Sans"], Qt.fontFamilies())
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

    readonly property url sourceBackground: "qrc:/modules/img/background.png"
    readonly property url sourceTitleBar: "qrc:/modules/img/titleBar.png"
    readonly property url sourceTitleLogo: "qrc:/modules/img/titleLogo.png"
    readonly property url sourcePowerOn: skinImage("index", "powerOn.png")
    readonly property url sourceSlide: skinImage("index", "slide.png")
    readonly property url sourceDropBtn: skinImage("index", "dropBtn.png")
    readonly property url sourceDropBtnU: skinImage("index", "dropBtnU.png")
    readonly property url sourceCheckBtn: skinImage("index", "checkBtn.png")
    readonly property url sourceBack: skinImage("index", "back.png")
    readonly property url sourceBackH: skinImage("index", "backH.png")
    readonly property url sourceCloseBtn: skinImage("index", "closeBtn.png")
    readonly property url sourceCloseBtnH: skinImage("index", "closeBtnH.png")
    readonly property url sourceMinBtn: skinImage("index", "minBtn.png")
    readonly property url sourceMinBtnH: skinImage("index", "minBtnH.png")
    readonly property url sourceAsk: skinImage("index", "ask.png")
    readonly property url sourceAskH: skinImage("index", "askH.png")
    readonly property url sourceSureBtn: skinImage("index", "sureBtn.png")
    readonly property string sourceGunDir: "qrc:/gun/modules/img/skin1/gun/"

    readonly property bool anyUnsaved: keyMatrixMain.isSave || dpiSettingMain.isSave
                                       || lightControlMain.isSave
    // The main screen's regions appear when the start-up logo goes.
    property bool mainShown: false

    signal emptyAreaPressed()
    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int mouseCode, int x, int y)

    function skinImage(group, file) {
        return "qrc:/" + group + "/modules/img/skin" + skin_No + "/" + group + "/" + file
    }

    // ---- Called by the host ----

    function initUI() {
        setProtectUI(1000)
        mainIten.visible = true
        deviceConnected = true
        if (!isPownOn) {
            readGlobalData()
            if (icType === "560" && WindowMath.toInt(ui_View.mouseReadCurrentProfile(), 1) !== 1)
                hid.hid560_02H_SetCurrentProfile(1)
            loadLanguage()
            reportRateRect.init(false)
            profileMain.init()
            profileMain.profileNo = WindowMath.toInt(ui_View.getGlobalData("mouse/profileNo"), 0)
            upItem.profileBtn.currentSelect = profileRow(profileMain.profileNo)
            upItem.profileBtn.closeMenu()
            ui_View.setCurrentProfile(profileMain.profileNo)
            macroEditorMain.init()
            gunControlMain.init()
            keyAssigmentMain.init()
            keyMatrixMain.init(false, false)
            dpiSettingMain.init(false, false)
            lightControlMain.init(false, false)
            systemSettingMain.init(false, false)
            viewSignals.target = ui_View
            focusStatus = Qt.binding(() => String(ui_View.ruleStatus ?? ""))
            isPownOn = true
        }
        dpiSettingMain.currentDPI = WindowMath.toInt(ui_View.mouseGetCurrentDPI(), 0) - 1
    }
    function run() {}
    function detectKeyboard(isDown, usbCode) { msg_KB(isDown, usbCode) }
    function detectMouse(isDown, mouseCode, x, y) { msg_MS(isDown, mouseCode, x, y) }
    function setProtectUI(interval) {
        controlUIEnable(false)
        tmrProtectUI.stop()
        tmrProtectUI.interval = WindowMath.lockDuration(interval)
        if (tmrProtectUI.interval > 0)
            tmrProtectUI.start()
        else
            endProtectUI()
    }
    function setCurrentDPI(dpiValue) {
        const stage = WindowMath.toInt(dpiValue, 0)
        if (stage !== 0)
            dpiSettingMain.currentDPI = stage - 1
    }
    // The mouse went away (false) or came back (true).
    function setDeviceConnected(isConnected) {
        deviceConnected = isConnected
    }

    // ---- Used by the pages ----

    function mainFocus() {
        reportRateLV.closeMenu()
        dpiSettingMain.dpiSegment.closeMenu()
        upItem.profileBtn.closeMenu()
        lightControlMain.lightModel.closeMenu()
        askMenu.visible = false
    }
    function controlUIEnable(isEnable) {
        protectUIItem.setBusy(!isEnable)
        ui_View.setEnabled(isEnable)
        // The exchange that follows holds the event loop: draw the busy notice before it starts.
        if (!isEnable)
            ui_View.repaintNow()
    }
    function openPage(page, withFocus) {
        page.x = WindowMath.centred(width, page.width)
        page.y = WindowMath.centred(height, page.height)
        page.visible = true
        mainMask.visible = true
        if (withFocus)
            mainFocus()
    }

    // ---- Start-up ----

    function readGlobalData() {
        isColorful = WindowMath.toBool(ui_View.getGlobalData("mouse/isColorful"))
        icType = String(ui_View.getGlobalData("mouse/icType") || "553")
        is55328 = WindowMath.toBool(ui_View.getGlobalData("mouse/is55328"))
        isGun = WindowMath.toBool(ui_View.getGlobalData("mouse/isGun"))
        mouseMain.keyCount = WindowMath.toInt(ui_View.getGlobalData("mouse/keyCount"), mouseMain.keyCount)
        language = String(ui_View.getGlobalData("common/language") || language)
        url = String(ui_View.getGlobalData("common/url") || url)
    }
    function loadLanguage() {
        mainLang = langOr("main", mainLang)
        keyMatrixMain.keyMatrixLang = langOr("keyMatrix", keyMatrixMain.keyMatrixLang)
        keyAssigmentMain.keyAssigmentLang = langOr("keyAssigment", keyAssigmentMain.keyAssigmentLang)
        dpiSettingMain.dpiSettingLang = langOr("dpiSetting", dpiSettingMain.dpiSettingLang)
        lightControlMain.lightControlLang = langOr("lightControl", lightControlMain.lightControlLang)
        macroEditorMain.macroEditorLang = langOr("macroEditor", macroEditorMain.macroEditorLang)
        systemSettingMain.systemSettingLang = langOr("systemSetting", systemSettingMain.systemSettingLang)
        gunControlMain.gunControlLang = langOr("gunControl", gunControlMain.gunControlLang)
        profileMain.profileLang = langOr("profile", profileMain.profileLang)
        appRulesMain.appRulesLang = langOr("appRules", appRulesMain.appRulesLang)
        _KeyCodeString.keyCodeStr = langOr("keyCode", _KeyCodeString.keyCodeStr)
        // Read for the host: it turns these into the DPI notices of the tray.
        ui_View.getLangStrings("other", language)
    }
    // A language file without the section keeps the built-in English texts.
    function langOr(typeStr, defaults) {
        const texts = ui_View.getLangStrings(typeStr, language)
        return texts && texts.length > 0 ? texts : defaults
    }
    // The row of the profile list that holds profile number `number` (row 0 when none does).
    function profileRow(number) {
        const model = profileMain.profileDataModel0
        for (let i = 0; i < model.count; ++i) {
            if (WindowMath.toInt(model.get(i).profileNo, -1) === number)
                return i
        }
        return 0
    }
    function endProtectUI() {
        ui_View.setEnabled(true)
        protectUIItem.setBusy(false)
        if (powerOnLogo.visible) {
            powerOnLogo.visible = false
            mainShown = true
        }
    }

    // ---- Bottom bar, reset and profile switch ----

    // Runs `work` under the busy lock, raised only once a report actually goes to the mouse: values
    // it holds already are not sent, and then nothing is locked.
    function sendLocked(work) {
        let locked = false
        const lock = () => {
            if (!locked) {
                locked = true
                controlUIEnable(false)
            }
        }
        hid.exchangeStarting.connect(lock)
        try {
            work()
        } finally {
            hid.exchangeStarting.disconnect(lock)
            if (locked)
                controlUIEnable(true)
        }
    }
    function save() {
        mainFocus()
        sendLocked(saveUnsaved)
    }
    function saveUnsaved() {
        if (keyMatrixMain.isSave) {
            keyMatrixMain.isSave = false
            keyMatrixMain.modKeys.saveData()
        }
        if (dpiSettingMain.isSave) {
            dpiSettingMain.isSave = false
            dpiSettingMain.saveData(true)
        }
        if (lightControlMain.isSave) {
            lightControlMain.isSave = false
            lightControlMain.saveData(true, 0)
        }
    }
    function askReset() {
        mainFocus()
        factorysure.x = WindowMath.centred(width, factorysure.width)
        factorysure.y = WindowMath.centred(height, factorysure.height)
        factorysure.visible = true
        mainMask.visible = true
    }
    function closeReset() {
        factorysure.visible = false
        mainMask.visible = false
    }
    // Every page takes the current profile's values again and sends them.
    function reloadAndSend() {
        keyMatrixMain.init(true, false)
        reportRateRect.init(true)
        dpiSettingMain.init(true, false)
        lightControlMain.init(true, false)
        systemSettingMain.init(true, false)
        if (isGun) {
            ui_View.mouseSwitchKeyMatrix(1)
            ui_View.mouseResetKeyMatrix()
        }
    }
    // Writes everything, whatever the mouse holds: the way back when it and the program disagree.
    function factoryReset() {
        controlUIEnable(false)
        const fullBefore = hid ? hid.setFullWrites(true) : false
        closeReset()
        keyMatrixMain.isSave = false
        dpiSettingMain.isSave = false
        lightControlMain.isSave = false
        ui_View.resetProfile(profileMain.profileNo)
        reloadAndSend()
        ui_View.mouseSetCurrentDPI(2)
        dpiSettingMain.currentDPI = 1
        gunControlMain.resetData()
        if (hid)
            hid.setFullWrites(fullBefore)
        controlUIEnable(true)
    }
    function switchProfile(number) {
        if (number === profileMain.profileNo)
            return
        profileMain.profileNo = number
        ui_View.setGlobalData("mouse/profileNo", number)
        ui_View.setCurrentProfile(number)
        // A profile whose values the mouse already holds sends nothing and locks nothing.
        sendLocked(reloadAndSend)
    }

    // ---- Macro glue: buttons that run a macro follow its deletion, new name and new data ----

    function macroButtons(macroName) {
        const found = []
        for (let n = 0; n < keyMatrixMain.modKeys.count; ++n) {
            if (WindowMath.toInt(keyMatrixMain.modKeys.get(n).keyCode0, -1) === 4
                    && String(ui_View.getData("mouseMacroKey/" + n, false)) === macroName)
                found.push(n)
        }
        return found
    }
    function onMacroDeleted(macroName) {
        const keys = keyMatrixMain.modKeys
        const factory = keyMatrixMain.modKeys_tmp
        macroButtons(macroName).forEach(n => {
            for (const role of ["keyCode0", "keyCode1", "keyCode2", "keyCode3", "keyText"])
                keys.setProperty(n, role, factory.get(n)[role])
            keys.saveData()
        })
        ui_View.deleteMacroUpdateProfile(macroName)
    }
    function onMacroRenamed(oldMacroName, newMacroName) {
        macroButtons(oldMacroName).forEach(n => {
            ui_View.setData("mouseMacroKey/" + n, newMacroName)
            keyMatrixMain.modKeys.setProperty(n, "keyText", newMacroName)
        })
        ui_View.modifyMacroNameUpdateProfile(oldMacroName, newMacroName)
    }
    function onMacroChanged(macroName) {
        macroButtons(macroName).forEach(n => macroEditorMain.sendMacro(n, macroName))
    }

    width: 1024
    height: 640
    visible: false

    onMsg_KB: (isDown, usbCode) => {
        const macroSelected = macroEditorMain.macroNumber_lv.currentIndex !== -1
        if (macroEditorMain.isInputting && macroSelected)
            macroEditorMain.detectKeyboard(isDown, usbCode)
        if (macroEditorMain.isInsertting && macroSelected)
            macroEditorMain.detectInput(isDown, usbCode)
        if (keyAssigmentMain.isFireInput)
            keyAssigmentMain.detectKeyboard(isDown, usbCode, 0)
        if (keyAssigmentMain.isComboInput)
            keyAssigmentMain.detectKeyboard(isDown, usbCode, 1)
    }

    KeyCodeString {
        id: _KeyCodeString
    }

    // The view's own signals; connected once the host has published the view (initUI).
    Connections {
        id: viewSignals

        target: null
        ignoreUnknownSignals: true

        // Another program's window took the focus: "Pick a window" on the rules page may be waiting.
        function onFocusedWindow(cls, exe, title) {
            appRulesMain.windowPicked(String(cls ?? ""), String(exe ?? ""), String(title ?? ""))
        }
    }

    // Under everything: a press on the empty window closes the open lists; dragging moves the window.
    DragArea {
        anchors.fill: parent
        onPressed: {
            mainIten.emptyAreaPressed()
            mainIten.mainFocus()
        }
    }

    Environment {
        id: envItem
        objectName: "envItem"

        visible: mainIten.mainShown
    }

    Image {
        id: powerOnLogo
        objectName: "powerOnLogo"

        anchors.centerIn: parent
        // Released once the main screen shows.
        source: visible ? sourcePowerOn : ""
    }

    Mouse {
        id: mouseMain
        objectName: "mouseMain"

        anchors.fill: parent
        visible: mainIten.mainShown
        // A tag about to open the assignment page: the main screen's lists close first.
        onBtnClick: mainIten.mainFocus()
    }

    Column {
        id: panelleft
        objectName: "panelleft"

        x: 24
        y: 88
        spacing: 8
        visible: mainIten.mainShown

        KeyMatrix {
            id: keyMatrixMain
            objectName: "keyMatrixMain"

            onEnterBtn: (index) => { mouseMain.selectKey = index }
            onLeaveBtn: (index) => {
                if (!keyAssigmentMain.visible)
                    mouseMain.selectKey = -1
            }
            onClickBtn: (index) => {
                if (keyMatrixMain.modKeys.checkOneLeftKey())
                    return
                keyAssigmentMain.show(index)
                mainMask.visible = true
                mainIten.mainFocus()
            }
        }

        Rectangle {
            id: editorBox
            objectName: "editorBox"

            width: 232
            height: isGun ? 100 : 76
            color: colorBlack

            Text {
                x: 8
                y: 12
                text: mainLang[0]
                font.family: fontFamily
                font.pixelSize: fontMiddleSize
                font.bold: true
                color: fontColor
            }

            Column {
                x: 8
                y: 40
                spacing: 2

                TextButton {
                    objectName: "macroEditorEntry"
                    width: 216
                    textInset: 8
                    restColor: "transparent"
                    text: mainLang[1]
                    onClicked: mainIten.openPage(macroEditorMain, true)
                }
                Rectangle {
                    width: 216
                    height: 1
                    color: colorGray0
                    visible: isGun
                }
                TextButton {
                    objectName: "gunEditorEntry"
                    width: 216
                    textInset: 8
                    restColor: "transparent"
                    text: mainLang[2]
                    visible: isGun
                    onClicked: mainIten.openPage(gunControlMain, true)
                }
            }
        }

        Rectangle {
            id: reportRateRect
            objectName: "reportRateRect"

            // Selects the stored rate; sends it too when asked.
            function init(isSendData) {
                const index = WindowMath.toInt(ui_View.getData("mouse/reportRate", false), 3)
                reportRateLV.currentSelect = index
                if (isSendData)
                    ui_View.mouseSetReportRate(PerfMath.reportRateValue(index))
            }
            // A chosen rate is stored and takes effect at once.
            function choose(index) {
                ui_View.setData("mouse/reportRate", index)
                ui_View.mouseSetReportRate(PerfMath.reportRateValue(index))
            }

            width: 232
            height: 42
            z: 1
            color: colorBlack

            Text {
                x: 8
                anchors.verticalCenter: parent.verticalCenter
                text: mainLang[3]
                font.family: fontFamily
                font.pixelSize: fontMiddleSize
                color: fontColor
            }

            DropDownList {
                id: reportRateLV
            objectName: "reportRateLV"

                anchors.right: parent.right
                anchors.rightMargin: 8
                y: 9
                width: 120
                count: mdItems.count
                mdItems: ListModel {
                    ListElement { textValue: "125Hz" }
                    ListElement { textValue: "250Hz" }
                    ListElement { textValue: "500Hz" }
                    ListElement { textValue: "1000Hz" }
                }
                onBtnClick: mainIten.mainFocus()
                onValueChange: (index) => reportRateRect.choose(index)
            }
        }

        TextButton {
            objectName: "systemSettingButton"
            width: 232
            height: 24
            text: mainLang[9]
            bold: true
            restColor: colorBlack
            onClicked: mainIten.openPage(systemSettingMain, false)
        }
    }

    Row {
        id: bottomBar
        objectName: "bottomBar"

        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        spacing: 16
        visible: mainIten.mainShown

        TextButton {
            objectName: "configButton"
            text: mainLang[4]
            onClicked: mainIten.openPage(profileMain, true)
        }
        TextButton {
            objectName: "resetButton"
            text: mainLang[5]
            onClicked: mainIten.askReset()
        }
        TextButton {
            objectName: "saveButton"
            text: mainLang[10]
            restColor: mainIten.anyUnsaved ? colorUnsaved : colorBlue
            onClicked: mainIten.save()
        }
    }

    Column {
        id: panelRight
        objectName: "panelRight"

        x: 768
        y: 56
        spacing: 8
        visible: mainIten.mainShown

        DpiSetting {
            id: dpiSettingMain
            objectName: "dpiSettingMain"
        }
        LightControl {
            id: lightControlMain
            objectName: "lightControlMain"
        }
    }

    Menu_Up {
        id: upItem
        objectName: "upItem"

        x: 920
        y: 16
        visible: mainIten.mainShown
        onBtnClicked: (btnIndex) => {
            if (btnIndex === 0)
                ui_Ctl.onMinimize()
            else if (btnIndex === 1)
                ui_Ctl.onClose()
            else
                askMenu.visible = !askMenu.visible
        }
    }

    Rectangle {
        id: askMenu
        objectName: "askMenu"

        anchors.right: parent.right
        anchors.rightMargin: 300
        y: 30
        z: 2
        width: 200
        height: askMenuLv.contentHeight + 2
        visible: false
        color: colorGray0
        border.color: colorGray1

        ListView {
            id: askMenuLv
            objectName: "askMenuLv"

            anchors.fill: parent
            anchors.margins: 1
            interactive: false
            model: [mainIten.url, "Version 1.0"]
            delegate: Rectangle {
                required property int index
                required property string modelData

                width: askMenuLv.width
                height: 24
                color: "transparent"

                Rectangle {
                    anchors.fill: parent
                    anchors.leftMargin: 3
                    anchors.rightMargin: 3
                    color: colorOrange
                    visible: rowArea.containsMouse
                }
                Text {
                    x: 6
                    width: parent.width - 12
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData
                    elide: Text.ElideRight
                    font.family: fontFamily
                    font.pixelSize: fontNormalSize
                    color: fontColor
                }
                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: {
                        askMenu.visible = false
                        if (index === 0)
                            Qt.openUrlExternally(mainIten.url)
                    }
                }
            }
        }
    }

    // Behind the modal pages; pressing it closes the pages' open lists and editors.
    Rectangle {
        id: mainMask
        objectName: "mainMask"

        anchors.fill: parent
        visible: false
        color: "#90000000"
        // The help menu stands above the pages: it goes when one opens.
        onVisibleChanged: if (visible) askMenu.visible = false

        // Takes the pointer wholly, hover, every button and the wheel, so that nothing under the
        // mask lights up or reacts while a page is open.
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.AllButtons
            onWheel: (wheel) => wheel.accepted = true
        }
        DragArea {
            anchors.fill: parent
            onPressed: {
                if (macroEditorMain.visible)
                    macroEditorMain.macroEditorFocus()
                if (profileMain.visible)
                    profileMain.profileFocus()
                if (appRulesMain.visible)
                    appRulesMain.appRulesFocus()
                if (gunControlMain.visible)
                    gunControlMain.gunControlFocus()
                lightControlMain.lightControlFocus()
                if (systemSettingMain.visible)
                    systemSettingMain.systemSettingFocus()
            }
        }
    }

    MacroEditor {
        id: macroEditorMain
        objectName: "macroEditorMain"

        visible: false
        onDeleteMacro: (macroName) => mainIten.onMacroDeleted(macroName)
        onModifyMacroName: (oldMacroName, newMacroName) => mainIten.onMacroRenamed(oldMacroName, newMacroName)
        onModifyMacroData: (macroName) => mainIten.onMacroChanged(macroName)
    }
    GunControl {
        id: gunControlMain
        objectName: "gunControlMain"

        visible: false
    }
    SystemSetting {
        id: systemSettingMain
        objectName: "systemSettingMain"

        visible: false
    }
    KeyAssigment {
        id: keyAssigmentMain
        objectName: "keyAssigmentMain"

        visible: false
    }
    Profile {
        id: profileMain
        objectName: "profileMain"

        visible: false
        onProfileSwitch: (tmpProfileNo) => mainIten.switchProfile(tmpProfileNo)
    }
    AppRules {
        id: appRulesMain
        objectName: "appRulesMain"

        visible: false
        // Back to the profile page it was opened from; the mask stays.
        onClosed: profileMain.visible = true
    }

    ConfirmBox {
        id: factorysure

        objectName: "factorysure"
        visible: false
        title: mainLang[5]
        question: mainLang[6]
        okText: mainLang[8]
        cancelText: mainLang[7]
        onAccepted: mainIten.factoryReset()
        onRejected: mainIten.closeReset()
    }

    // While the mouse is unplugged the disabled view says so, instead of looking alive.
    Rectangle {
        objectName: "disconnectedNotice"
        anchors.fill: parent
        z: 98
        visible: mainIten.isPownOn && !mainIten.deviceConnected
        color: "#b0000000"

        Text {
            anchors.centerIn: parent
            text: mainLang[11]
            font.family: fontFamily
            font.pixelSize: fontMaxSize
            font.bold: true
            color: colorGray3
        }
    }

    BusyIndicator {
        id: protectUIItem
        objectName: "protectUIItem"

        anchors.centerIn: parent
        z: 99
    }

    Timer {
        id: tmrProtectUI
        objectName: "tmrProtectUI"

        interval: 1000
        onTriggered: mainIten.endProtectUI()
    }
}
