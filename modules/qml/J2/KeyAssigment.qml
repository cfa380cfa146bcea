import QtQuick
import "../common/keyAssign.js" as KeyAssign

// The modal page on which a function is chosen for the selected button. The choice lives in the
// page (keyCode0 … keyCode3, keyString) until the page is closed; closing copies it into the key
// matrix when it differs, and the global Save sends the matrix.
Rectangle {
    id: keyAssigmentMain

    property var keyAssigmentLang: [
        "Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key", "Forward Key", "Back Key",
        "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate", "Times", "Endless",
        "Combination Function", "Media Function", "Macro Function", "Macro Editor",
        "Macro runs once when the button is pressed", "Macro loops until any button is pressed",
        "Macro loops until the button is released", "DPI Function", "DPI+", "DPI-", "DPI Loop",
        "System Function", "Shortcut Function", "Player", "Next", "Previous", "Stop", "Mute",
        "Play/Pause", "Volume+", "Volume-", "My PC", "Home", "Search", "Maximize", "Minimize",
        "Desktop", "Run", "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo",
        "Undo", "Select All", "Gun Function", "Gun 1", "Gun 2", "Gun 3", "Sniper Key", "", "", ""
    ]
    property int keyCode0: 0
    property int keyCode1: 0
    property int keyCode2: 0
    property int keyCode3: 0
    readonly property string keyCode: KeyAssign.joinCode([keyCode0, keyCode1, keyCode2, keyCode3])
    property string keyString: ""
    property bool isFireInput: false
    property bool isComboInput: false
    property alias macroList: macroListBox
    // The button being assigned; mouseMain.selectKey when the page was opened.
    property int editIndex: -1
    // The label of the captured fire key and the finished combination; "" shows "Click Input".
    property string fireLabel: ""
    property string comboLabel: ""
    property var combo: KeyAssign.comboStart()
    property int macroMode: 0
    // How far the content is scrolled, 0 … contentArea.travel.
    property real contentY: 0
    readonly property var lang: keyAssigmentLang

    function init() {
        macroDrop.closeMenu()
        fillCells(mediaCells, KeyAssign.mediaItems, KeyAssign.mediaCells)
        fillCells(systemCells, KeyAssign.systemItems, KeyAssign.systemCells)
        fillCells(shortcutCells, KeyAssign.shortcutItems, KeyAssign.shortcutCells)
    }

    function fillCells(model, items, cellCount) {
        const texts = KeyAssign.cellTexts(items, cellCount, keyAssigmentLang)
        model.clear()
        for (const text of texts)
            model.append({ textValue: text })
    }

    // Opens the page on button index with the button's current function.
    function show(index) {
        const entry = keyMatrixMain.modKeys.get(index)
        editIndex = index
        setCodes([entry.keyCode0, entry.keyCode1, entry.keyCode2, entry.keyCode3].map(Number))
        keyString = entry.keyText
        x = Math.floor((mainIten.width - width) / 2)
        y = Math.floor((mainIten.height - height) / 2)
        visible = true
    }

    function keyCodeToString(code0, code1, code2, code3) {
        return KeyAssign.keyCodeToString(Number(code0), Number(code1), Number(code2), Number(code3),
                                         keyAssigmentLang, code => _KeyCodeString.keycodeTostr(code),
                                         slot => macroNameOf(slot))
    }

    function macroNameOf(slot) {
        const name = ui_View.getData("mouseMacroKey/" + slot, false)
        return name === undefined || name === null ? "" : String(name)
    }

    function setCodes(codes) {
        keyCode0 = codes[0]
        keyCode1 = codes[1]
        keyCode2 = codes[2]
        keyCode3 = codes[3]
    }

    // A table item (mouse, media, DPI, system, shortcut, gun) becomes the page's choice.
    function chooseItem(item) {
        setCodes(KeyAssign.splitCode(item.code))
        keyString = String(keyAssigmentLang[item.text])
    }

    // A captured key: index 0 for the fire key, 1 for the combination. Only presses count, and
    // only keys that have a label.
    function detectKeyboard(isDown, usbCode, index) {
        if (!isDown)
            return
        const label = _KeyCodeString.keycodeTostr(usbCode)
        if (label === "")
            return
        if (index === 0 && isFireInput) {
            isFireInput = false
            fireLabel = label
            setCodes([KeyAssign.Fire, usbCode, KeyAssign.rateOfText(rateSlider.textValue),
                      KeyAssign.timesOfText(timesInput.textValue)])
            keyString = label
        } else if (index === 1 && isComboInput) {
            combo = KeyAssign.comboAdd(combo, usbCode, label)
        }
    }

    function startFireInput() {
        cancelCombo()
        fireLabel = ""
        isFireInput = true
    }

    function startCombo() {
        isFireInput = false
        combo = KeyAssign.comboStart()
        comboLabel = ""
        isComboInput = true
    }

    function finishCombo() {
        const codes = KeyAssign.comboCodes(combo)
        isComboInput = false
        comboLabel = codes ? combo.text : ""
        if (!codes)
            return
        setCodes(codes)
        keyString = combo.text
    }

    function cancelCombo() {
        if (!isComboInput)
            return
        isComboInput = false
        comboLabel = ""
    }

    function setRate(position) {
        rateSlider.textValue = KeyAssign.rateText(position)
        if (keyCode0 === KeyAssign.Fire)
            keyCode2 = KeyAssign.rateOfText(rateSlider.textValue)
    }

    function setTimes(times) {
        endless.isSelect = times === 0
        if (keyCode0 === KeyAssign.Fire)
            keyCode3 = times
    }

    function chooseMacro(row) {
        if (row < 0 || row >= macroModel.count)
            return
        setCodes([KeyAssign.Macro, macroMode, editIndex, 0])
        keyString = macroModel.get(row).textValue
    }

    function chooseMacroMode(mode) {
        macroMode = mode
        if (keyCode0 === KeyAssign.Macro)
            keyCode1 = mode
    }

    function openMacroEditor() {
        macroEditorMain.z = z + 1
        macroEditorMain.x = Math.floor((mainIten.width - macroEditorMain.width) / 2)
        macroEditorMain.y = Math.floor((mainIten.height - macroEditorMain.height) / 2)
        macroEditorMain.visible = true
        mainMask.visible = true
        mainIten.mainFocus()
    }

    // Closes the open lists and ends editing of the times box.
    function keyAssigmentFocus() {
        if (rateSlider.isDrop)
            rateSlider.closeMenu()
        for (const grid of [mediaGrid, systemGrid, shortcutGrid]) {
            if (grid.isDrop)
                grid.closeMenu()
        }
        macroDrop.closeMenu()
        timesInput.closeFocus()
    }

    function entryCodes(model, index) {
        const e = model.get(index)
        return [Number(e.keyCode0), Number(e.keyCode1), Number(e.keyCode2), Number(e.keyCode3)]
    }

    // The page's choice goes into the button's entry when it differs from what the entry holds;
    // a macro is sent to the mouse at once.
    function commit() {
        const keys = keyMatrixMain.modKeys
        if (editIndex < 0 || editIndex >= keys.count)
            return
        const was = entryCodes(keys, editIndex)
        const now = [keyCode0, keyCode1, keyCode2, keyCode3]
        let changed = was.some((c, i) => c !== now[i])
        if (!changed && now[0] === KeyAssign.Macro)
            changed = macroNameOf(keyCode2) !== keyString
        if (!changed)
            return
        keys.set(editIndex, { keyCode0: now[0], keyCode1: now[1], keyCode2: now[2],
                              keyCode3: now[3], keyText: keyString })
        keyMatrixMain.isSave = true
        if (now[0] === KeyAssign.Macro) {
            macroEditorMain.sendMacro(keyCode2, keyString)
            ui_View.setData("mouseMacroKey/" + keyCode2, keyString)
        }
    }

    function close() {
        visible = false
        mainMask.visible = false
        isFireInput = false
        cancelCombo()
        commit()
        editIndex = -1
        mouseMain.selectKey = -1
        keyAssigmentFocus()
    }

    // The button's factory function, on the page and in the matrix.
    function restoreFactory() {
        const factory = keyMatrixMain.modKeys_tmp
        if (editIndex < 0 || editIndex >= factory.count)
            return
        const codes = entryCodes(factory, editIndex)
        const text = factory.get(editIndex).keyText
        const now = [keyCode0, keyCode1, keyCode2, keyCode3]
        if (text === keyString && codes.every((c, i) => c === now[i]))
            return
        setCodes(codes)
        keyString = text
        keyMatrixMain.modKeys.set(editIndex, { keyCode0: codes[0], keyCode1: codes[1],
                                               keyCode2: codes[2], keyCode3: codes[3], keyText: text })
        keyMatrixMain.isSave = true
        if (codes[0] === KeyAssign.Macro) {
            macroEditorMain.sendMacro(codes[2], text)
            ui_View.setData("mouseMacroKey/" + codes[2], text)
        }
    }

    function keepMask() {
        if (visible)
            mainMask.visible = true
    }

    function scrollTo(y) {
        contentY = Math.max(0, Math.min(contentArea.travel, y))
    }

    width: 416
    height: 404
    color: colorGray0

    // A section of the content: its title 32 from the left above a line 16 in from both sides.
    component Section: Item {
        property alias title: titleText.text
        readonly property int body: 42

        width: 404

        Text {
            id: titleText

            x: 32
            y: 10
            font.family: fontFamily
            font.pixelSize: fontNormalSize
            font.bold: true
            color: fontColor
        }
        Rectangle {
            x: 16
            y: 32
            width: parent.width - 32
            height: 1
            color: colorBlack
        }
    }

    // A label in front of a control of the content's usual 24-pixel height.
    component Label: Text {
        height: 24
        verticalAlignment: Text.AlignVCenter
        font.family: fontFamily
        font.pixelSize: fontNormalSize
        color: fontColor
    }

    // Radio buttons of which one is chosen at a time; texts are the labels. A cellWidth above 0
    // gives every button a cell of that width.
    component RadioGroup: Grid {
        id: group

        property var texts: []
        property int chosen: -1
        property int cellWidth: 0
        property string namePrefix: ""

        signal picked(int index)

        Repeater {
            id: radios

            model: group.texts.length

            Item {
                id: cell

                required property int index

                function deselect() {
                    radio.isSelect = false
                }

                width: group.cellWidth > 0 ? group.cellWidth : radio.width
                height: radio.height

                RadioButton {
                    id: radio

                    objectName: group.namePrefix + cell.index
                    index: cell.index
                    textValue: group.texts[cell.index]
                    isSelect: cell.index === group.chosen
                    onBtnClick: (i) => {
                        for (let j = 0; j < radios.count; ++j) {
                            if (j !== i)
                                radios.itemAt(j).deselect()
                        }
                        group.picked(i)
                    }
                }
            }
        }
    }

    // The page moves with the pointer inside the window; a press closes the open lists.
    PageDragArea {
        id: pageDrag

        page: keyAssigmentMain
        onWheel: (wheel) => keyAssigmentMain.scrollTo(keyAssigmentMain.contentY - wheel.angleDelta.y / 3)
    }
    Connections {
        target: pageDrag

        function onPressed() { keyAssigmentMain.keyAssigmentFocus() }
    }
    // The macro editor, opened over this page, takes the mask away as it closes; this page still
    // stands over the main screen, so the mask comes back once the editor is done.
    Connections {
        target: macroEditorMain

        function onVisibleChanged() {
            if (!macroEditorMain.visible)
                Qt.callLater(keyAssigmentMain.keepMask)
        }
    }

    Rectangle {
        id: titleStrip

        width: parent.width
        height: 40
        color: colorBlack

        Text {
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            text: lang[0] + (keyAssigmentMain.editIndex + 1) + " : " + keyAssigmentMain.keyString
            font.family: fontFamily
            font.pixelSize: fontMiddleSize
            font.bold: true
            color: fontColor
        }
        Image {
            objectName: "assignReset"
            anchors.right: closeImage.left
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            source: resetArea.containsMouse ? sourceBackH : sourceBack

            MouseArea {
                id: resetArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: keyAssigmentMain.restoreFactory()
            }
        }
        Image {
            id: closeImage

            objectName: "assignClose"
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            source: closeArea.containsMouse ? sourceCloseBtnH : sourceCloseBtn

            MouseArea {
                id: closeArea

                anchors.fill: parent
                hoverEnabled: true
                onPressed: keyAssigmentMain.close()
            }
        }
    }
    Rectangle {
        y: 40
        width: parent.width
        height: 1
        color: colorOrange
    }

    Item {
        id: contentArea

        readonly property int travel: content.height - height

        y: 41
        width: parent.width - 12
        height: 360
        clip: true

        Column {
            id: content

            objectName: "assignContent"
            y: -keyAssigmentMain.contentY
            width: parent.width
            height: 830

            Section {
                title: lang[1]
                height: 100

                RadioGroup {
                    x: 24
                    y: parent.body
                    columns: 3
                    spacing: 8
                    cellWidth: 120
                    namePrefix: "mouseFunction"
                    texts: KeyAssign.mouseItems.map(item => lang[item.text])
                    onPicked: (i) => keyAssigmentMain.chooseItem(KeyAssign.mouseItems[i])
                }
            }

            Section {
                title: lang[8]
                height: 108
                z: rateSlider.isDrop ? 2 : 0

                // Fixed places, so that the controls stand where they stand whatever the language.
                Label {
                    x: 32
                    y: parent.body
                    text: lang[9]
                }
                Rectangle {
                    objectName: "fireKeyField"
                    x: 104
                    y: parent.body
                    width: 96
                    height: 24
                    color: keyAssigmentMain.isFireInput || fireArea.containsMouse ? colorOrange : colorBlue

                    Text {
                        anchors.centerIn: parent
                        text: keyAssigmentMain.isFireInput || keyAssigmentMain.fireLabel === ""
                              ? lang[10] : keyAssigmentMain.fireLabel
                        font.family: fontFamily
                        font.pixelSize: fontNormalSize
                        color: fontColor
                    }
                    MouseArea {
                        id: fireArea

                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: {
                            keyAssigmentMain.keyAssigmentFocus()
                            keyAssigmentMain.startFireInput()
                        }
                    }
                }

                Label {
                    x: 32
                    y: parent.body + 32
                    text: lang[11]
                }
                DropDownSlider {
                    id: rateSlider

                    objectName: "fireRate"
                    x: 80
                    y: parent.body + 32
                    width: 110
                    bgColor: colorBlue
                    textValue: "10ms"
                    onValueChange: (position) => keyAssigmentMain.setRate(position)
                    Component.onCompleted: sliderControl.setValue(KeyAssign.ratePosition(KeyAssign.rateOfText(textValue)))
                }
                Label {
                    x: 206
                    y: parent.body + 32
                    text: lang[12]
                }
                RectInput {
                    id: timesInput

                    objectName: "fireTimes"
                    x: 248
                    y: parent.body + 34
                    width: 48
                    maxValue: 255
                    minValue: 0
                    onEndInputSignal: keyAssigmentMain.setTimes(KeyAssign.timesOfText(textValue))
                }
                CheckBox {
                    id: endless

                    objectName: "fireEndless"
                    x: 304
                    y: parent.body + 32 + (24 - height) / 2
                    textValue: lang[13]
                    isSelect: true
                    // Emitted before the box toggles: only selecting it means endless.
                    onBtnClick: {
                        if (isSelect)
                            return
                        timesInput.textValue = "0"
                        if (keyAssigmentMain.keyCode0 === KeyAssign.Fire)
                            keyAssigmentMain.keyCode3 = 0
                    }
                }
            }

            Section {
                title: lang[14]
                height: 72

                Rectangle {
                    objectName: "comboField"
                    x: 32
                    y: parent.body
                    width: 240
                    height: 24
                    color: keyAssigmentMain.isComboInput || comboArea.containsMouse ? colorOrange : colorBlue

                    MouseArea {
                        id: comboArea

                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: {
                            keyAssigmentMain.keyAssigmentFocus()
                            keyAssigmentMain.startCombo()
                        }
                    }
                    Text {
                        anchors.left: parent.left
                        anchors.right: comboOk.left
                        anchors.margins: 4
                        anchors.verticalCenter: parent.verticalCenter
                        horizontalAlignment: Text.AlignHCenter
                        elide: Text.ElideLeft
                        text: keyAssigmentMain.isComboInput ? keyAssigmentMain.combo.text
                              : keyAssigmentMain.comboLabel === "" ? lang[10] : keyAssigmentMain.comboLabel
                        font.family: fontFamily
                        font.pixelSize: fontNormalSize
                        color: fontColor
                    }
                    Image {
                        id: comboOk

                        objectName: "comboOk"
                        anchors.right: comboCancel.left
                        anchors.rightMargin: 8
                        anchors.verticalCenter: parent.verticalCenter
                        visible: keyAssigmentMain.isComboInput
                        source: sourceSureBtn

                        MouseArea {
                            anchors.fill: parent
                            onClicked: keyAssigmentMain.finishCombo()
                        }
                    }
                    Image {
                        id: comboCancel

                        objectName: "comboCancel"
                        anchors.right: parent.right
                        anchors.rightMargin: 4
                        anchors.verticalCenter: parent.verticalCenter
                        visible: keyAssigmentMain.isComboInput
                        source: sourceCloseBtn

                        MouseArea {
                            anchors.fill: parent
                            onClicked: keyAssigmentMain.cancelCombo()
                        }
                    }
                }
            }

            Section {
                title: lang[15]
                height: 72
                z: mediaGrid.isDrop ? 2 : 0

                DropDownGrid {
                    id: mediaGrid

                    objectName: "mediaGrid"
                    x: 32
                    y: parent.body
                    width: 107
                    bgColor: colorBlue
                    mdItems: ListModel { id: mediaCells }
                    onBtnClick: keyAssigmentMain.chooseItem(KeyAssign.mediaItems[currentSelect])
                }
            }

            Section {
                title: lang[16]
                height: 148
                z: macroDrop.isDrop ? 2 : 0

                Item {
                    id: macroListBox

                    // Replaces the macro names, in order; the chosen macro stays chosen while its
                    // name is still in the list.
                    function addData(names, isInit) {
                        const row = macroDrop.currentSelect
                        const chosen = !isInit && row >= 0 && row < macroModel.count
                                       ? macroModel.get(row).textValue : undefined
                        macroModel.clear()
                        for (const name of names)
                            macroModel.append({ textValue: String(name) })
                        macroDrop.count = macroModel.count
                        macroDrop.currentSelect = chosen === undefined ? -1
                                                  : Array.prototype.map.call(names, String).indexOf(chosen)
                    }

                    x: 32
                    y: parent.body
                    z: 1
                    width: 160
                    height: 24

                    DropDownList {
                        id: macroDrop

                        objectName: "macroList"
                        width: 160
                        bgColor: colorBlue
                        currentSelect: -1
                        mdItems: ListModel { id: macroModel }
                        onValueChange: (row) => keyAssigmentMain.chooseMacro(row)
                    }
                }
                TextButton {
                    objectName: "macroEditorButton"
                    anchors.left: macroListBox.right
                    anchors.leftMargin: 16
                    y: parent.body
                    width: 107
                    text: lang[17]
                    onClicked: keyAssigmentMain.openMacroEditor()
                }
                RadioGroup {
                    x: 32
                    y: parent.body + 36
                    columns: 1
                    spacing: 8
                    chosen: 0
                    namePrefix: "macroMode"
                    texts: [lang[18], lang[19], lang[20]]
                    onPicked: (i) => keyAssigmentMain.chooseMacroMode(i)
                }
            }

            Section {
                title: lang[21]
                height: 72

                RadioGroup {
                    x: 32
                    y: parent.body
                    rows: 1
                    spacing: 16
                    namePrefix: "dpiFunction"
                    texts: KeyAssign.dpiItems.map(item => lang[item.text])
                    onPicked: (i) => keyAssigmentMain.chooseItem(KeyAssign.dpiItems[i])
                }
            }

            Section {
                title: lang[25]
                height: 72
                z: systemGrid.isDrop ? 2 : 0

                DropDownGrid {
                    id: systemGrid

                    objectName: "systemGrid"
                    x: 32
                    y: parent.body
                    width: 107
                    bgColor: colorBlue
                    mdItems: ListModel { id: systemCells }
                    onBtnClick: keyAssigmentMain.chooseItem(KeyAssign.systemItems[currentSelect])
                }
            }

            Section {
                title: lang[26]
                height: 72
                z: shortcutGrid.isDrop ? 2 : 0

                DropDownGrid {
                    id: shortcutGrid

                    objectName: "shortcutGrid"
                    x: 32
                    y: parent.body
                    width: 107
                    bgColor: colorBlue
                    mdItems: ListModel { id: shortcutCells }
                    onBtnClick: keyAssigmentMain.chooseItem(KeyAssign.shortcutItems[currentSelect])
                }
            }

            // Without the gun features the section is hidden; the content keeps its height.
            Section {
                objectName: "gunSection"
                title: lang[52]
                height: 72
                visible: isGun

                RadioGroup {
                    x: 32
                    y: parent.body
                    rows: 1
                    spacing: 16
                    namePrefix: "gunFunction"
                    texts: KeyAssign.gunItems.map(item => lang[item.text])
                    onPicked: (i) => keyAssigmentMain.chooseItem(KeyAssign.gunItems[i])
                }
            }
        }
    }

    // The scroll bar: its travel of 212 stands for the content's whole scroll range.
    Rectangle {
        id: scrollBar

        readonly property int startY: 42
        readonly property int barTravel: 212

        objectName: "assignScrollBar"
        x: 402
        y: startY + barTravel * (contentArea.travel > 0 ? keyAssigmentMain.contentY / contentArea.travel : 0)
        width: 12
        height: contentArea.height - barTravel - 1
        color: colorBlack
        border.color: colorGray2

        MouseArea {
            property real pressY: 0
            property real startContentY: 0

            anchors.fill: parent
            onPressed: (mouse) => {
                pressY = mapToItem(keyAssigmentMain, mouse.x, mouse.y).y
                startContentY = keyAssigmentMain.contentY
            }
            onPositionChanged: (mouse) => {
                const moved = mapToItem(keyAssigmentMain, mouse.x, mouse.y).y - pressY
                keyAssigmentMain.scrollTo(startContentY + moved * contentArea.travel / scrollBar.barTravel)
            }
        }
    }
}
