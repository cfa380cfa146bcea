import QtQuick
import "../common/profileList.js" as ProfileList

// The profile page: the list of at most six profiles that also feeds the profile drop-down at the
// top right. Here profiles are created, imported, deleted, exported and named; choosing one in the
// drop-down switches to it. An entry's position in the list and its profile number part ways once
// an entry in the middle is deleted, so every call that means a profile passes the entry's number.
Rectangle {
    id: profileMain

    // The profile in use (its number, not its row); -1 until the root sets it.
    property int profileNo: -1
    property var profileLang: ["Config", "New", "Import", "Delete", "Export", "Standard",
                               "", "", "", "", "", "", "", "", "", "", "", "", "", ""]
    // Entries {textValue, profileNo}.
    property ListModel profileDataModel0: ListModel {}
    // The row whose name is being edited; -1 when none is.
    property int editingIndex: -1

    signal profileSwitch(int tmpProfileNo)
    // Ends the name editing (the new name is taken if it may be).
    signal listViewFocus()

    component PageText: Text {
        font.family: fontFamily
        font.pixelSize: fontNormalSize
        color: fontColor
    }

    function init() {
        const list = ProfileList.parse(ui_View.getNameList(2), profileLang[5])
        profileDataModel0.clear()
        for (const entry of list)
            profileDataModel0.append(entry)
        profileList.currentIndex = Math.max(0, ProfileList.indexOfNumber(list, profileNo))
        storeList()
    }

    // Called by the drop-down with the row chosen there.
    function changeProfile(index) {
        if (index >= 0 && index < profileDataModel0.count)
            profileSwitch(profileDataModel0.get(index).profileNo)
    }

    function profileFocus() {
        if (editingIndex >= 0)
            listViewFocus()
        profileMenu.visible = false
    }

    // 0 deletes the current row, 1 exports the profile in use, 2 opens the current row's
    // application rules in place of this page.
    function profileMenuCmd(cmd) {
        profileMenu.visible = false
        if (cmd === 0)
            deleteCurrent()
        else if (cmd === 1)
            ui_View.saveProfile(profileNo)
        else if (cmd === 2)
            openAppRules()
    }
    function openAppRules() {
        const entry = profileDataModel0.get(profileList.currentIndex)
        if (!entry)
            return
        visible = false
        appRulesMain.show(entry.profileNo, entry.textValue)
        mainIten.openPage(appRulesMain, false)
    }

    function entries() {
        const list = []
        for (let i = 0; i < profileDataModel0.count; ++i) {
            const e = profileDataModel0.get(i)
            list.push({ textValue: e.textValue, profileNo: e.profileNo })
        }
        return list
    }
    function storeList() {
        ui_View.updataNameList(2, ProfileList.toStored(entries()))
    }
    // The drop-down shows the row of the profile in use, wherever deletions have moved it.
    function syncProfileButton() {
        if (typeof upItem !== "undefined")
            upItem.profileBtn.currentSelect = ProfileList.indexOfNumber(entries(), profileNo)
    }
    function addEntry(name, number) {
        profileDataModel0.append({ textValue: name, profileNo: number })
        profileList.currentIndex = profileDataModel0.count - 1
        storeList()
    }
    // A new profile from the factory values.
    function newProfile() {
        profileFocus()
        const list = entries()
        if (ProfileList.isFull(list))
            return
        const number = ProfileList.firstFreeNumber(list)
        addEntry(ProfileList.firstFreeName(list), number)
        ui_View.resetProfile(number)
    }
    // A new profile from a file; no entry when the user cancels the file choice.
    function importProfile() {
        profileFocus()
        const list = entries()
        if (ProfileList.isFull(list))
            return
        const number = ProfileList.firstFreeNumber(list)
        if (ui_View.loadProfile(number))
            addEntry(ProfileList.firstFreeName(list), number)
    }
    function deleteCurrent() {
        const index = profileList.currentIndex
        if (!ProfileList.canDelete(entries(), index, profileNo))
            return
        profileDataModel0.remove(index)
        storeList()
        syncProfileButton()
    }
    function startEditing(index) {
        editingIndex = index
    }
    function commitName(name) {
        const index = editingIndex
        editingIndex = -1
        if (!ProfileList.canRename(entries(), index, name))
            return
        profileDataModel0.setProperty(index, "textValue", name)
        storeList()
    }
    function openMenu(row, mouse) {
        const at = row.mapToItem(profileMain, mouse.x, mouse.y)
        profileMenu.x = Math.min(at.x, width - profileMenu.width)
        profileMenu.y = Math.min(at.y, height - profileMenu.height)
        profileMenu.visible = true
    }
    function close() {
        visible = false
        profileFocus()
        mainMask.visible = false
        upItem.profileBtn.closeMenu()
    }

    width: 415
    height: 288
    color: colorGray0

    onProfileNoChanged: syncProfileButton()

    // A press on the page ends the editing and closes the menu.
    PageDragArea {
        page: profileMain
        onPressed: profileMain.profileFocus()
    }

    Rectangle {
        id: titleStrip

        width: parent.width
        height: 40
        color: colorBlack

        PageText {
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            text: profileMain.profileLang[0]
        }
        Image {
            objectName: "profileCloseButton"
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            source: closeArea.containsMouse ? sourceCloseBtnH : sourceCloseBtn

            MouseArea {
                id: closeArea

                anchors.fill: parent
                anchors.margins: -3
                hoverEnabled: true
                onClicked: profileMain.close()
            }
        }
    }
    Rectangle {
        y: titleStrip.height
        width: parent.width
        height: 1
        color: colorBlack
    }

    Rectangle {
        id: listBox

        x: 16
        y: titleStrip.height + 1 + 16
        width: 384
        height: 180
        color: colorBlack
        clip: true

        ListView {
            id: profileList

            objectName: "profileList"
            width: parent.width
            height: Math.min(parent.height, 27 * count)
            interactive: false
            highlightMoveDuration: 0
            model: profileMain.profileDataModel0
            delegate: Rectangle {
                id: profileRow

                required property int index
                required property string textValue

                objectName: "profileRow" + index
                width: profileList.width
                height: 27
                color: ListView.isCurrentItem || rowArea.containsMouse ? colorOrange : "transparent"

                PageText {
                    x: 16
                    anchors.verticalCenter: parent.verticalCenter
                    visible: !nameInput.visible
                    text: profileRow.textValue
                }
                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onClicked: (mouse) => {
                        profileList.currentIndex = profileRow.index
                        profileMain.profileFocus()
                        if (mouse.button === Qt.RightButton)
                            profileMain.openMenu(profileRow, mouse)
                    }
                    onDoubleClicked: (mouse) => {
                        if (mouse.button === Qt.LeftButton)
                            profileMain.startEditing(profileRow.index)
                    }
                }
                TextInput {
                    id: nameInput

                    objectName: "nameInput"
                    x: 16
                    width: parent.width - 32
                    anchors.verticalCenter: parent.verticalCenter
                    visible: profileMain.editingIndex === profileRow.index
                    font.family: fontFamily
                    font.pixelSize: fontNormalSize
                    color: fontColor
                    selectionColor: colorBlue
                    selectByMouse: true
                    clip: true
                    onVisibleChanged: {
                        if (!visible)
                            return
                        text = profileRow.textValue
                        selectAll()
                        forceActiveFocus()
                    }
                    onAccepted: profileMain.commitName(text)
                    Keys.onEscapePressed: profileMain.editingIndex = -1

                    Connections {
                        target: profileMain
                        enabled: nameInput.visible

                        function onListViewFocus() {
                            profileMain.commitName(nameInput.text)
                        }
                    }
                }
            }
        }
    }

    Row {
        anchors.top: listBox.bottom
        anchors.topMargin: 12
        x: listBox.x
        spacing: 8

        TextButton {
            objectName: "newButton"
            text: profileMain.profileLang[1]
            restColor: colorGray0
            border.color: hovered ? colorOrange : colorGray1
            onClicked: profileMain.newProfile()
        }
        TextButton {
            objectName: "importButton"
            text: profileMain.profileLang[2]
            restColor: colorGray0
            border.color: hovered ? colorOrange : colorGray1
            onClicked: profileMain.importProfile()
        }
    }

    Rectangle {
        id: profileMenu

        objectName: "profileMenu"
        z: 2
        width: 128
        height: 24 * 3
        visible: false
        color: colorGray0
        border.color: colorGray1

        Column {
            anchors.fill: parent

            Repeater {
                model: [profileMain.profileLang[3], profileMain.profileLang[4], appRulesMain.appRulesLang[0]]

                Rectangle {
                    id: menuRow

                    required property int index
                    required property string modelData

                    objectName: "profileMenuItem" + index
                    width: profileMenu.width
                    height: 24
                    color: menuArea.containsMouse ? colorOrange : "transparent"

                    PageText {
                        x: 8
                        anchors.verticalCenter: parent.verticalCenter
                        text: menuRow.modelData
                    }
                    MouseArea {
                        id: menuArea

                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: profileMain.profileMenuCmd(menuRow.index)
                    }
                }
            }
        }
    }
}
