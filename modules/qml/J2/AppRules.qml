import QtQuick
import "../common/appRules.js" as AppRules

// The application rules of one profile, opened from the profile page's menu: while a window that
// matches a rule has the focus, the mouse uses this profile. Rules are added by typing a match or
// by picking the next window the user focuses, and removed per row. The rules live in the
// program's configuration, so every action reads them afresh and the list shows what is stored.
Rectangle {
    id: appRulesMain

    property var appRulesLang: ["Applications…", "Applications", "Class", "Executable",
                                "Title part", "Add", "Remove", "Pick a window", "Cancel",
                                "Now switch to the window to take.",
                                "No window can be picked here: ",
                                "Switch profiles by the application in focus",
                                "Use this profile where no rule matches",
                                "No application chooses this profile yet.",
                                "Taken from the window; press Add to keep it.",
                                "Not added: ", "Not removed: ",
                                "The window told nothing to match."]
    // The profile shown: its entry number (0 … 5) and name.
    property int profileNo: 0
    property string profileName: ""
    property ListModel rules: ListModel {}
    property int kindIndex: 0
    property bool picking: false
    property string message: ""
    property bool messageIsError: false

    signal closed()

    component PageText: Text {
        font.family: fontFamily
        font.pixelSize: fontNormalSize
        color: fontColor
    }

    function show(number, name) {
        profileNo = number
        profileName = name
        kindIndex = 0
        matchInput.text = ""
        say("", false)
        reload()
    }
    function reload() {
        const list = AppRules.entries(ui_View.appRules(AppRules.ruleProfile(profileNo)))
        rules.clear()
        for (const entry of list)
            rules.append(entry)
        featureSwitch.isSelect = ui_View.appRulesEnabled()
        desktopChoice.isSelect = ui_View.appRulesDesktopProfile() === AppRules.ruleProfile(profileNo)
    }
    function say(text, isError) {
        message = text
        messageIsError = isError
    }
    function appRulesFocus() {
        if (matchInput.activeFocus)
            matchInput.focus = false
    }
    function addRule() {
        const why = ui_View.addAppRule(AppRules.ruleProfile(profileNo), AppRules.kinds[kindIndex],
                                       matchInput.text.trim())
        if (why === "") {
            matchInput.text = ""
            say("", false)
        } else {
            say(appRulesLang[15] + why, true)
        }
        reload()
    }
    function removeRule(number, match) {
        const why = ui_View.removeAppRule(number, AppRules.ruleProfile(profileNo), match)
        say(why === "" ? "" : appRulesLang[16] + why, why !== "")
        reload()
    }
    function togglePick() {
        if (picking) {
            picking = false
            say("", false)
            return
        }
        const why = ui_View.pickWindow()
        if (why !== "") {
            say(appRulesLang[10] + why, true)
            return
        }
        picking = true
        say(appRulesLang[9], false)
    }
    // The first window focused while picking: its match goes into the input for the user to confirm.
    function windowPicked(cls, exe, title) {
        if (!picking)
            return
        picking = false
        const taken = AppRules.pickedMatch({ cls: cls, exe: exe, title: title }, AppRules.kinds[kindIndex])
        if (!taken) {
            say(appRulesLang[17], true)
            return
        }
        kindIndex = AppRules.kindIndex(taken.kind)
        matchInput.text = taken.text
        say(appRulesLang[14], false)
    }
    function close() {
        picking = false
        appRulesFocus()
        visible = false
        closed()
    }

    width: 480
    // Room for a message of two lines under the input.
    height: messageLine.y + 2 * messageLine.font.pixelSize + 24
    color: colorGray0

    PageDragArea {
        page: appRulesMain
        onPressed: appRulesMain.appRulesFocus()
    }

    Rectangle {
        id: titleStrip

        width: parent.width
        height: 40
        color: colorBlack

        PageText {
            x: 16
            width: parent.width - 64
            anchors.verticalCenter: parent.verticalCenter
            elide: Text.ElideRight
            text: appRulesMain.appRulesLang[1] + " · " + appRulesMain.profileName
        }
        Image {
            objectName: "appRulesCloseButton"
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            source: closeArea.containsMouse ? sourceCloseBtnH : sourceCloseBtn

            MouseArea {
                id: closeArea

                anchors.fill: parent
                anchors.margins: -3
                hoverEnabled: true
                onClicked: appRulesMain.close()
            }
        }
    }

    Column {
        id: switches

        x: 16
        y: titleStrip.height + 14
        spacing: 10

        CheckBox {
            id: featureSwitch

            objectName: "appRulesSwitch"
            textValue: appRulesMain.appRulesLang[11]
            // Called before the box toggles: the new state is the opposite of isSelect. Turning on
            // may fix the profile in use as the desktop profile.
            onBtnClick: {
                ui_View.setAppRulesEnabled(!isSelect, AppRules.ruleProfile(profileMain.profileNo))
                desktopChoice.isSelect = ui_View.appRulesDesktopProfile() === AppRules.ruleProfile(appRulesMain.profileNo)
            }
        }
        RadioButton {
            id: desktopChoice

            objectName: "appRulesDesktop"
            gapValue: 8
            textValue: appRulesMain.appRulesLang[12]
            onBtnClick: {
                const why = ui_View.setAppRulesDesktopProfile(AppRules.ruleProfile(appRulesMain.profileNo))
                appRulesMain.say(why, why !== "")
                appRulesMain.reload()
            }
        }
    }

    Rectangle {
        id: listBox

        x: 16
        y: switches.y + switches.height + 14
        width: parent.width - 32
        height: 27 * 5
        color: colorBlack
        clip: true

        ListView {
            id: ruleList

            objectName: "appRulesList"
            anchors.fill: parent
            boundsBehavior: Flickable.StopAtBounds
            model: appRulesMain.rules
            delegate: Rectangle {
                id: ruleRow

                required property int index
                required property int number
                required property int kindIndex
                required property string text
                required property string match

                objectName: "appRuleRow" + index
                width: ruleList.width
                height: 27
                color: rowArea.containsMouse ? colorGray1 : "transparent"

                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                }
                Image {
                    x: 12
                    anchors.verticalCenter: parent.verticalCenter
                    source: skinImage("apps", ["appClass.png", "appExe.png", "appTitle.png"][ruleRow.kindIndex])
                }
                Text {
                    x: 36
                    width: 84
                    anchors.verticalCenter: parent.verticalCenter
                    elide: Text.ElideRight
                    text: appRulesMain.appRulesLang[2 + ruleRow.kindIndex]
                    font.family: fontFamily
                    font.pixelSize: fontNormalSize
                    color: colorGray2
                }
                PageText {
                    x: 124
                    width: removeButton.x - x - 8
                    anchors.verticalCenter: parent.verticalCenter
                    elide: Text.ElideRight
                    text: ruleRow.text
                }
                TextButton {
                    id: removeButton

                    objectName: "appRuleRemove"
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    height: 20
                    text: appRulesMain.appRulesLang[6]
                    restColor: "transparent"
                    border.color: hovered ? colorOrange : colorGray1
                    onClicked: appRulesMain.removeRule(ruleRow.number, ruleRow.match)
                }
            }
        }
        Text {
            objectName: "appRulesEmpty"
            anchors.centerIn: parent
            visible: appRulesMain.rules.count === 0
            text: appRulesMain.appRulesLang[13]
            font.family: fontFamily
            font.pixelSize: fontNormalSize
            color: colorGray2
        }
    }

    Row {
        id: kindRow

        x: 16
        y: listBox.y + listBox.height + 14
        spacing: 8

        Repeater {
            model: 3

            RadioButton {
                required index

                objectName: "appRulesKind" + index
                gapValue: 8
                textValue: appRulesMain.appRulesLang[2 + index]
                isSelect: appRulesMain.kindIndex === index
                onBtnClick: (i) => {
                    appRulesMain.kindIndex = i
                    // The click set isSelect itself; the group's choice decides again.
                    isSelect = Qt.binding(() => appRulesMain.kindIndex === index)
                }
            }
        }
    }

    Row {
        id: addRow

        x: 16
        y: kindRow.y + kindRow.height + 10
        spacing: 8

        Rectangle {
            width: appRulesMain.width - 32 - addButton.width - pickButton.width - 16
            height: 24
            color: colorBlack
            border.color: matchInput.activeFocus ? colorOrange : colorGray1

            TextInput {
                id: matchInput

                objectName: "appRulesInput"
                anchors.fill: parent
                anchors.leftMargin: 8
                anchors.rightMargin: 8
                verticalAlignment: TextInput.AlignVCenter
                clip: true
                maximumLength: 400
                selectByMouse: true
                font.family: fontFamily
                font.pixelSize: fontNormalSize
                color: fontColor
                selectionColor: colorOrange
                onAccepted: appRulesMain.addRule()
            }
        }
        TextButton {
            id: addButton

            objectName: "appRulesAdd"
            width: 64
            text: appRulesMain.appRulesLang[5]
            onClicked: appRulesMain.addRule()
        }
        TextButton {
            id: pickButton

            objectName: "appRulesPick"
            width: 128
            textInset: 28
            text: appRulesMain.picking ? appRulesMain.appRulesLang[8] : appRulesMain.appRulesLang[7]
            restColor: appRulesMain.picking ? colorOrange : colorGray1

            Image {
                x: 8
                anchors.verticalCenter: parent.verticalCenter
                source: skinImage("apps", "pickWindow.png")
            }
            onClicked: appRulesMain.togglePick()
        }
    }

    Text {
        id: messageLine

        objectName: "appRulesMessage"
        x: 16
        y: addRow.y + addRow.height + 10
        width: parent.width - 32
        wrapMode: Text.Wrap
        maximumLineCount: 2
        elide: Text.ElideRight
        text: appRulesMain.message
        font.family: fontFamily
        font.pixelSize: fontNormalSize
        color: appRulesMain.messageIsError ? colorUnsaved : colorGray3
    }
}
