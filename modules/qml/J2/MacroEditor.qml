import QtQuick
import "../common/macroCodec.js" as MacroCodec

// The macro editor: the list of named macros, and the actions of the selected one (key and button
// presses and releases with delays between them), recorded from the keyboard or inserted from the
// action menu. Every change is stored at once; the root follows the three signals to update the
// buttons that run a macro.
//
// No change may make a macro longer than the mouse's block: a change that would is refused, and the
// page says why.
Rectangle {
    id: macroEditorMain

    property bool isInputting: false
    property bool isInsertting: false
    property alias macroListModel: macroModel
    property alias macroNumber_lv: macroList
    property var macroEditorLang: ["Macro Editor", "Macro Name", "New", "Delete", "Action",
                                   "Stop Recording", "Times", "OK", "Start Recording", "Delay", "Delete",
                                   "Import", "Export", "Insert Delay", "Insert Key",
                                   "Insert Left Key", "Insert Middle Key", "Insert Right Key", "",
                                   "", "The mouse holds no more than 128 bytes of a macro"]
    // Row of the name or delay being edited, -1 for none; the text typed so far.
    property int nameEditRow: -1
    property int delayEditRow: -1
    property string editText: ""
    // Recording: when the last event was taken (the 10 ms ticks are counted from there).
    property real tickStart: 0
    // The label caught by the insert-key box; the action row the menu was opened on.
    property string insertLabel: ""
    property int menuRow: -1
    property bool refused: false
    readonly property int maxMacros: 100
    readonly property int rowHeight: 27
    readonly property var iconFiles: ["macroKeyDelay.png", "macroKeyPress.png", "macroKeyRelease.png",
                                      "macroMousePress.png", "macroMouseRelease.png"]

    signal deleteMacro(string macroName)
    signal modifyMacroName(string oldMacroName, string newMacroName)
    signal modifyMacroData(string macroName)
    signal listViewFocus()

    component PageText: Text {
        font.family: fontFamily
        font.pixelSize: fontNormalSize
        color: fontColor
    }

    // Editing a row's text in place: it opens with the whole text selected.
    component RowEditor: TextInput {
        property string initial

        font.family: fontFamily
        font.pixelSize: fontNormalSize
        color: fontColor
        selectByMouse: true
        onVisibleChanged: {
            if (!visible)
                return
            text = initial
            selectAll()
            forceActiveFocus()
        }
    }

    // A menu of 24-high items opened at the pointer; `run(index)` does the chosen item.
    component PopupMenu: Rectangle {
        id: menu

        property var items: []
        signal run(int index)

        function openAt(px, py) {
            x = Math.max(0, Math.min(px, parent.width - width))
            y = Math.max(0, Math.min(py, parent.height - height))
            visible = true
        }

        visible: false
        z: 10
        width: 150
        height: 24 * items.length
        color: colorGray0
        border.color: colorGray1

        Column {
            Repeater {
                model: menu.items
                delegate: Rectangle {
                    id: menuItem

                    required property int index
                    required property string modelData

                    objectName: menu.objectName + index
                    width: menu.width
                    height: 24
                    color: itemArea.containsMouse ? colorOrange : "transparent"

                    PageText {
                        x: 8
                        anchors.verticalCenter: parent.verticalCenter
                        text: menuItem.modelData
                    }
                    MouseArea {
                        id: itemArea

                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: {
                            menu.visible = false
                            menu.run(menuItem.index)
                        }
                    }
                }
            }
        }
    }

    function init() {
        let names = Array.from(ui_View.getNameList(0), String)
        if (names.length === 2 && names[1] === "loaderbeacon")
            names = names.slice(0, 1)
        actionModel.clear()
        macroModel.clear()
        for (const name of names)
            macroModel.append({ textValue: name })
        macroList.currentIndex = -1
        keyAssigmentMain.macroList.addData(names, true)
    }

    // Sends the stored macro to the mouse's macro slot `index` (the button that runs it).
    function sendMacro(index, macroName) {
        const stored = MacroCodec.fromStored(ui_View.loadMacroIni(macroName))
        ui_View.mouseSendMacroData(MacroCodec.encodeForMouse(stored.actions, stored.repeat,
                                                             _KeyCodeString.keyCodeStr,
                                                             _KeyCodeString.keyCode), index)
    }

    // A key captured while recording.
    function detectKeyboard(isDown, usbCode) {
        if (!isInputting || macroList.currentIndex < 0)
            return
        const current = actionList()
        if (MacroCodec.encodedSize(current) >= MacroCodec.recordLimit) {
            refused = true
            return
        }
        const now = Date.now()
        const added = []
        if (current.length > 0 && delayBox.isSelect)
            added.push({ type: MacroCodec.delay, info: String(Math.floor((now - tickStart) / 10) * 10) })
        added.push({ type: MacroCodec.actionType(isDown, usbCode),
                     info: _KeyCodeString.keycodeTostr(usbCode) })
        if (!accepts(current.concat(added)))
            return
        tickStart = now
        for (const action of added)
            actionModel.append(action)
        actionView.positionViewAtEnd()
    }

    // A key captured while the insert-key box waits.
    function detectInput(isDown, usbCode) {
        if (isInsertting && usbCode < 0xF0)
            insertLabel = _KeyCodeString.keycodeTostr(usbCode)
    }

    function macroEditorFocus() {
        refused = false
        timesBox.closeFocus()
        if (nameEditRow >= 0 || delayEditRow >= 0)
            listViewFocus()
        macroMenu.visible = false
        actionMenu.visible = false
    }

    function currentName() {
        const row = macroList.currentIndex
        return row >= 0 && row < macroModel.count ? macroModel.get(row).textValue : ""
    }

    function autoSave() {
        if (macroList.currentIndex < 0)
            return
        // The mouse plays a macro at least once.
        if (!(parseInt(timesBox.textValue, 10) >= 1))
            timesBox.textValue = "1"
        ui_View.saveMacroIni(currentName(), MacroCodec.toStored(actionList()),
                             parseInt(timesBox.textValue, 10))
        modifyMacroData(currentName())
    }

    function actionList() {
        const list = []
        for (let i = 0; i < actionModel.count; ++i) {
            const a = actionModel.get(i)
            list.push({ type: a.type, info: a.info })
        }
        return list
    }

    // Whether the mouse could take the macro as `candidate`; shows why not when it could not.
    function accepts(candidate) {
        refused = !MacroCodec.fits(candidate)
        return !refused
    }

    function roomToInsert() {
        refused = MacroCodec.encodedSize(actionList()) >= MacroCodec.recordLimit
        return !refused
    }

    function macroNames() {
        const names = []
        for (let i = 0; i < macroModel.count; ++i)
            names.push(macroModel.get(i).textValue)
        return names
    }

    function publishNames() {
        const names = macroNames()
        ui_View.updataNameList(0, names)
        keyAssigmentMain.macroList.addData(names, false)
    }

    // "Macro_" with the smallest number not in use; "" when all of 0 … 99 are.
    function freeName() {
        const names = macroNames()
        for (let n = 0; n < maxMacros; ++n) {
            if (names.indexOf("Macro_" + n) < 0)
                return "Macro_" + n
        }
        return ""
    }

    function loadActions() {
        actionModel.clear()
        if (macroList.currentIndex < 0)
            return
        const stored = MacroCodec.fromStored(ui_View.loadMacroIni(currentName()))
        for (const action of stored.actions)
            actionModel.append(action)
        timesBox.textValue = stored.repeat
        actionView.currentIndex = -1
        // A macro from a file may be longer than the mouse takes.
        refused = !MacroCodec.fits(stored.actions)
    }

    // A recording ends in the macro it was made for.
    function select(row) {
        if (isInputting)
            toggleRecording()
        macroList.currentIndex = row
        macroEditorFocus()
        loadActions()
    }

    function createMacro() {
        const name = freeName()
        if (macroModel.count >= maxMacros || name === "")
            return
        macroModel.append({ textValue: name })
        ui_View.createMacroIni(name, 0)
        select(macroModel.count - 1)
        publishNames()
    }

    function removeMacro() {
        const row = macroList.currentIndex
        if (row < 0)
            return
        // What was being recorded goes with the macro.
        isInputting = false
        const name = currentName()
        ui_View.deleteMacroIni(name)
        actionModel.clear()
        deleteMacro(name)
        macroModel.remove(row)
        select(Math.min(row, macroModel.count - 1))
        publishNames()
    }

    function importMacro() {
        const name = freeName()
        if (macroModel.count >= maxMacros || name === "")
            return
        const row = macroList.currentIndex >= 0 ? macroList.currentIndex : macroModel.count
        macroModel.insert(row, { textValue: name })
        if (!ui_View.loadMacroFile(name))
            ui_View.createMacroIni(name, 0)
        select(row)
        publishNames()
    }

    function exportMacro() {
        if (macroList.currentIndex >= 0)
            ui_View.saveMacroFile(currentName())
    }

    function startNameEdit(row) {
        select(row)
        editText = macroModel.get(row).textValue
        nameEditRow = row
    }

    // A new name must be free, and usable as the macro's file name; a file already there under
    // that name would be taken for the macro.
    function nameIsFree(name) {
        return name !== "" && name !== "." && name !== ".." && !/[\/\\\x00-\x1f]/.test(name)
               && macroNames().indexOf(name) < 0 && ui_View.loadMacroIni(name).length === 0
    }

    function commitName() {
        const row = nameEditRow
        nameEditRow = -1
        if (row < 0 || row >= macroModel.count || !nameIsFree(editText))
            return
        const oldName = macroModel.get(row).textValue
        modifyMacroName(oldName, editText)
        macroModel.setProperty(row, "textValue", editText)
        publishNames()
    }

    function startDelayEdit(row) {
        editText = actionModel.get(row).info
        delayEditRow = row
    }

    // A typed delay is kept in whole 10 ms ticks; anything else leaves the old value.
    function commitDelay() {
        const row = delayEditRow
        delayEditRow = -1
        if (row < 0 || row >= actionModel.count)
            return
        const ms = MacroCodec.roundDelay(editText)
        if (ms !== "") {
            const candidate = actionList()
            candidate[row].info = ms
            if (accepts(candidate))
                actionModel.setProperty(row, "info", ms)
        }
        autoSave()
    }

    function toggleRecording() {
        macroEditorFocus()
        if (isInputting) {
            isInputting = false
            autoSave()
            return
        }
        if (macroList.currentIndex < 0)
            return
        actionModel.clear()
        tickStart = Date.now()
        isInputting = true
    }

    function openActionMenu(row, px, py) {
        macroEditorFocus()
        menuRow = row
        actionView.currentIndex = row
        actionMenu.openAt(px, py)
    }

    function runActionMenu(item) {
        const c = menuRow
        if (item === 0)
            removeAction(c)
        else if (item === 2 && roomToInsert())
            openInsertBox()
        else if (item === 1 && roomToInsert())
            insertActions(c < 0 ? actionModel.count : c, [{ type: MacroCodec.delay, info: "50" }], true)
        else if (item >= 3 && roomToInsert())
            insertClick([0xF0, 0xF2, 0xF1][item - 3], c)
    }

    function removeAction(row) {
        if (row < 0 || row >= actionModel.count)
            return
        const candidate = actionList()
        candidate.splice(row, 1)
        // Joining the delays on both sides can make a longer record.
        if (!accepts(candidate))
            return
        actionModel.remove(row)
        actionView.currentIndex = Math.min(row, actionModel.count - 1)
        autoSave()
    }

    // Inserts `added` at `row`; with `selectFirst` the first inserted action becomes the selected.
    function insertActions(row, added, selectFirst) {
        const candidate = actionList()
        candidate.splice(row, 0, ...added)
        if (!accepts(candidate))
            return
        for (let i = 0; i < added.length; ++i)
            actionModel.insert(row + i, added[i])
        if (selectFirst)
            actionView.currentIndex = row
        autoSave()
    }

    function pair(pressType, label) {
        return [{ type: pressType, info: label }, { type: pressType + 1, info: label }]
    }

    // A click of a mouse button: after the row the menu was opened on.
    function insertClick(code, row) {
        const at = row < 0 || row >= actionModel.count - 1 ? actionModel.count : row + 1
        insertActions(at, pair(MacroCodec.mousePress, _KeyCodeString.keycodeTostr(code)), false)
    }

    function openInsertBox() {
        insertLabel = ""
        isInsertting = true
    }

    // A key press and release with the caught key: before the row the menu was opened on, or at
    // the end when that was the last row. Without a caught key nothing is inserted.
    function closeInsertBox() {
        isInsertting = false
        const c = menuRow
        if (insertLabel === "")
            return
        const at = c < 0 || c >= actionModel.count - 1 ? actionModel.count : c
        insertActions(at, pair(MacroCodec.keyPress, insertLabel), false)
    }

    function close() {
        if (isInputting)
            toggleRecording()
        visible = false
        mainMask.visible = false
        macroEditorFocus()
        keyAssigmentMain.keyAssigmentFocus()
    }

    width: 640
    height: 448
    visible: false
    color: colorGray0

    onListViewFocus: {
        if (nameEditRow >= 0)
            commitName()
        if (delayEditRow >= 0)
            commitDelay()
    }

    ListModel {
        id: macroModel
    }
    ListModel {
        id: actionModel
    }

    // A press on the page ends editing and closes the menus.
    PageDragArea {
        page: macroEditorMain
        onPressed: macroEditorMain.macroEditorFocus()
    }

    Rectangle {
        id: titleStrip

        width: parent.width
        height: 40
        color: colorBlack

        PageText {
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            text: macroEditorMain.macroEditorLang[0]
        }
        Image {
            objectName: "macroCloseButton"
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            source: closeArea.containsMouse ? sourceCloseBtnH : sourceCloseBtn

            MouseArea {
                id: closeArea

                anchors.fill: parent
                anchors.margins: -3
                hoverEnabled: true
                onClicked: macroEditorMain.close()
            }
        }
    }
    Rectangle {
        y: titleStrip.height
        width: parent.width
        height: 1
        color: colorOrange
    }

    // Left: the macro names.
    PageText {
        id: nameLabel

        x: 16
        y: titleStrip.height + 1 + 16
        text: macroEditorMain.macroEditorLang[1]
    }
    Rectangle {
        id: macroBox

        x: 16
        anchors.top: nameLabel.bottom
        anchors.topMargin: 8
        width: 168
        height: 328
        color: colorBlack
        clip: true

        // The empty part of the box opens the menu too, so that a first macro can be imported.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.RightButton
            onPressed: (mouse) => {
                macroEditorMain.macroEditorFocus()
                const at = mapToItem(macroEditorMain, mouse.x, mouse.y)
                macroMenu.openAt(at.x, at.y)
            }
        }

        ListView {
            id: macroList

            objectName: "macroList"
            width: parent.width
            height: Math.min(parent.height, Math.max(1, count) * macroEditorMain.rowHeight)
            boundsBehavior: Flickable.StopAtBounds
            currentIndex: -1
            highlightMoveDuration: 0
            model: macroModel
            delegate: Rectangle {
                id: macroRow

                required property int index
                required property string textValue
                readonly property bool editing: macroEditorMain.nameEditRow === index

                objectName: "macroRow" + index
                width: macroList.width
                height: macroEditorMain.rowHeight
                color: ListView.isCurrentItem || rowArea.containsMouse ? colorOrange : colorBlack

                PageText {
                    x: 16
                    anchors.verticalCenter: parent.verticalCenter
                    visible: !macroRow.editing
                    text: macroRow.textValue
                }
                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onClicked: (mouse) => {
                        macroEditorMain.select(macroRow.index)
                        if (mouse.button === Qt.RightButton) {
                            const at = mapToItem(macroEditorMain, mouse.x, mouse.y)
                            macroMenu.openAt(at.x, at.y)
                        }
                    }
                    onDoubleClicked: (mouse) => {
                        if (mouse.button === Qt.LeftButton)
                            macroEditorMain.startNameEdit(macroRow.index)
                    }
                }
                RowEditor {
                    objectName: "macroNameInput"
                    x: 16
                    width: parent.width - 24
                    anchors.verticalCenter: parent.verticalCenter
                    visible: macroRow.editing
                    initial: macroRow.textValue
                    onTextEdited: macroEditorMain.editText = text
                    onAccepted: macroEditorMain.listViewFocus()
                }
            }
        }
    }
    Row {
        anchors.left: macroBox.left
        anchors.top: macroBox.bottom
        anchors.topMargin: 8
        spacing: 8

        TextButton {
            objectName: "macroNewButton"
            text: macroEditorMain.macroEditorLang[2]
            onClicked: macroEditorMain.createMacro()
        }
        TextButton {
            objectName: "macroDeleteButton"
            text: macroEditorMain.macroEditorLang[3]
            onClicked: macroEditorMain.removeMacro()
        }
    }

    // Right: the actions of the selected macro.
    PageText {
        id: actionLabel

        anchors.left: macroBox.right
        anchors.leftMargin: 16
        y: nameLabel.y
        text: macroEditorMain.macroEditorLang[4]
    }
    PageText {
        objectName: "macroRefusal"
        anchors.right: actionBox.right
        y: nameLabel.y
        visible: macroEditorMain.refused
        color: colorUnsaved
        text: macroEditorMain.macroEditorLang[20] ?? ""
    }
    Rectangle {
        id: actionBox

        anchors.left: actionLabel.left
        anchors.top: macroBox.top
        width: 424
        height: 328
        color: colorBlack
        clip: true

        // Below the rows the menu inserts at the end (or into an empty macro).
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.RightButton
            onPressed: (mouse) => {
                if (macroList.currentIndex < 0)
                    return
                const at = mapToItem(macroEditorMain, mouse.x, mouse.y)
                macroEditorMain.openActionMenu(-1, at.x, at.y)
            }
        }

        ListView {
            id: actionView

            objectName: "actionList"
            width: parent.width
            height: Math.min(parent.height, (count + 1) * macroEditorMain.rowHeight)
            boundsBehavior: Flickable.StopAtBounds
            currentIndex: -1
            highlightMoveDuration: 0
            model: actionModel
            delegate: Rectangle {
                id: actionRow

                required property int index
                required property int type
                required property string info
                readonly property bool editing: macroEditorMain.delayEditRow === index

                objectName: "actionRow" + index
                width: actionView.width
                height: macroEditorMain.rowHeight
                color: ListView.isCurrentItem ? colorOrange : colorBlack

                Row {
                    x: 16
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 16

                    PageText {
                        width: 24
                        text: String(actionRow.index)
                    }
                    Image {
                        anchors.verticalCenter: parent.verticalCenter
                        source: skinImage("macros", macroEditorMain.iconFiles[actionRow.type] ?? "")
                    }
                    Item {
                        width: 200
                        height: 20

                        PageText {
                            anchors.verticalCenter: parent.verticalCenter
                            visible: !actionRow.editing
                            text: actionRow.type === MacroCodec.delay ? actionRow.info + " ms"
                                                                      : actionRow.info
                        }
                        RowEditor {
                            objectName: "delayInput"
                            anchors.verticalCenter: parent.verticalCenter
                            width: parent.width
                            visible: actionRow.editing
                            initial: actionRow.info
                            validator: IntValidator { bottom: 0; top: 65535 }
                            onTextEdited: macroEditorMain.editText = text
                            onAccepted: macroEditorMain.listViewFocus()
                        }
                    }
                }
                MouseArea {
                    anchors.fill: parent
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    enabled: !actionRow.editing
                    onClicked: (mouse) => {
                        if (mouse.button === Qt.RightButton) {
                            const at = mapToItem(macroEditorMain, mouse.x, mouse.y)
                            macroEditorMain.openActionMenu(actionRow.index, at.x, at.y)
                            return
                        }
                        macroEditorMain.macroEditorFocus()
                        actionView.currentIndex = actionRow.index
                    }
                    onDoubleClicked: (mouse) => {
                        if (mouse.button === Qt.LeftButton && actionRow.type === MacroCodec.delay)
                            macroEditorMain.startDelayEdit(actionRow.index)
                    }
                }
            }
        }
    }

    // Under the actions: recording, the repeat count and whether delays are recorded.
    Row {
        anchors.left: actionBox.left
        anchors.top: actionBox.bottom
        anchors.topMargin: 8
        spacing: 16

        TextButton {
            objectName: "macroRecordButton"
            width: 100
            text: macroEditorMain.macroEditorLang[macroEditorMain.isInputting ? 5 : 8]
            restColor: macroEditorMain.isInputting ? colorOrange : colorBlue
            onClicked: macroEditorMain.toggleRecording()
        }
        Row {
            anchors.verticalCenter: parent.verticalCenter
            spacing: 4

            PageText {
                anchors.verticalCenter: parent.verticalCenter
                text: macroEditorMain.macroEditorLang[6]
            }
            RectInput {
                id: timesBox

                objectName: "macroTimes"
                anchors.verticalCenter: parent.verticalCenter
                border.color: colorGray1
                minValue: 1
                maxValue: 65535
                textValue: "1"
                onEndInputSignal: macroEditorMain.autoSave()
            }
        }
        CheckBox {
            id: delayBox

            objectName: "macroDelayBox"
            anchors.verticalCenter: parent.verticalCenter
            textValue: macroEditorMain.macroEditorLang[9]
            isSelect: true
        }
    }

    PopupMenu {
        id: macroMenu

        objectName: "macroMenu"
        items: [macroEditorMain.macroEditorLang[10], macroEditorMain.macroEditorLang[11],
                macroEditorMain.macroEditorLang[12]]
        onRun: (index) => {
            if (index === 0)
                macroEditorMain.removeMacro()
            else if (index === 1)
                macroEditorMain.importMacro()
            else
                macroEditorMain.exportMacro()
        }
    }
    PopupMenu {
        id: actionMenu

        objectName: "actionMenu"
        items: [macroEditorMain.macroEditorLang[10], macroEditorMain.macroEditorLang[13],
                macroEditorMain.macroEditorLang[14], macroEditorMain.macroEditorLang[15],
                macroEditorMain.macroEditorLang[16], macroEditorMain.macroEditorLang[17]]
        onRun: (index) => macroEditorMain.runActionMenu(index)
    }

    // The insert-key box waits for a key over the page's own mask.
    Rectangle {
        anchors.fill: parent
        z: 20
        visible: macroEditorMain.isInsertting
        color: "#90000000"

        MouseArea {
            anchors.fill: parent
        }
        Rectangle {
            objectName: "insertKeyBox"
            x: ((macroEditorMain.parent ? macroEditorMain.parent.width : macroEditorMain.width) - width) / 2
               - macroEditorMain.x
            y: ((macroEditorMain.parent ? macroEditorMain.parent.height : macroEditorMain.height) - height) / 2
               - macroEditorMain.y
            width: 240
            height: 80
            color: colorGray0

            Rectangle {
                id: insertTitle

                width: parent.width
                height: 30
                color: colorBlack

                PageText {
                    x: 10
                    anchors.verticalCenter: parent.verticalCenter
                    text: macroEditorMain.macroEditorLang[14]
                }
            }
            Rectangle {
                x: 10
                anchors.top: insertTitle.bottom
                anchors.topMargin: 12
                width: 120
                height: 25
                color: colorBlack

                PageText {
                    objectName: "insertKeyField"
                    anchors.centerIn: parent
                    text: macroEditorMain.insertLabel
                }
            }
            TextButton {
                objectName: "insertKeyOk"
                anchors.right: parent.right
                anchors.rightMargin: 12
                anchors.top: insertTitle.bottom
                anchors.topMargin: 12
                height: 25
                text: macroEditorMain.macroEditorLang[7]
                onClicked: macroEditorMain.closeInsertBox()
            }
        }
    }
}
