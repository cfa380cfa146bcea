import QtQuick
import "../common/keyAssign.js" as KeyAssign

// The list of buttons with their functions, and the key matrix itself: 16 assignments, stored in
// the profile and sent to the mouse by saveData(). modKeys_tmp holds the factory assignments,
// which the reset image restores.
Rectangle {
    id: keyMatrixMain

    property bool isSave: false
    property alias modKeys: modKeysModel
    property alias modKeys_tmp: factoryModel
    property var keyMatrixLang: ["Key ", "Key Function"]
    readonly property int maxRows: 14
    readonly property int shownRows: Math.max(0, Math.min(maxRows, mouseMain.keyCount))

    signal enterBtn(int index)
    signal leaveBtn(int index)
    signal clickBtn(int index)

    // Loads the profile's matrix (or the factory one with isRecovery) and the factory matrix;
    // sends the loaded matrix with isSendData.
    function init(isSendData, isRecovery) {
        for (let j = 0; j < modKeysModel.count; ++j) {
            const builtIn = KeyAssign.builtInMatrix[j]
            const factory = KeyAssign.toCodes(ui_View.mouseGetKeydefine(j, true), builtIn)
            const current = KeyAssign.toCodes(ui_View.mouseGetKeydefine(j, isRecovery), factory)
            setEntry(factoryModel, j, factory)
            setEntry(modKeysModel, j, current)
        }
        if (isSendData)
            modKeysModel.saveData()
    }

    function setEntry(model, j, codes) {
        model.set(j, {
            keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2], keyCode3: codes[3],
            keyText: keyAssigmentMain.keyCodeToString(codes[0], codes[1], codes[2], codes[3])
        })
    }

    function codesOf(model, j) {
        const e = model.get(j)
        return [Number(e.keyCode0), Number(e.keyCode1), Number(e.keyCode2), Number(e.keyCode3)]
    }

    function entries(model) {
        const list = []
        for (let j = 0; j < model.count; ++j)
            list.push(codesOf(model, j))
        return list
    }

    // The fire period of the gun in slot 1, 2 or 3 of the gun page; 0 while that page offers none.
    function gunPeriodOfSlot(slot) {
        const model = gunControlMain.gunNumberModel
        const gun = gunControlMain["selectGun" + slot]
        if (!model || gun === undefined || gun < 0 || gun >= model.count)
            return 0
        return model.get(gun).gunPeriod
    }

    // The built-in matrix, until init reads the profile.
    function fillBuiltIn(model) {
        for (const codes of KeyAssign.builtInMatrix)
            model.append({ keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2],
                           keyCode3: codes[3], keyText: "" })
    }

    // Every button takes its factory function again; factory macros are sent to the mouse now.
    function restoreFactory() {
        for (let j = 0; j < factoryModel.count; ++j) {
            const codes = codesOf(factoryModel, j)
            const name = factoryModel.get(j).keyText
            modKeysModel.set(j, {
                keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2], keyCode3: codes[3],
                keyText: name
            })
            if (codes[0] === KeyAssign.Macro) {
                macroEditorMain.sendMacro(codes[2], name)
                ui_View.setData("mouseMacroKey/" + codes[2], name)
            }
        }
        isSave = true
    }

    width: 232
    height: 40 + 24 * shownRows + 2 * Math.max(0, shownRows - 1) + 8
    color: colorBlack

    ListModel {
        id: modKeysModel

        // Stores the 16 assignments in the profile and sends them, with the fire periods of the
        // three slotted guns.
        function saveData() {
            ui_View.mouseSetKeyMatrix(KeyAssign.matrixValues(keyMatrixMain.entries(modKeysModel)), true,
                                      KeyAssign.gunPeriods(keyMatrixMain.gunPeriodOfSlot, [1, 2, 3]))
        }

        // True when the selected button is the only one left that does a left click.
        function checkOneLeftKey() {
            return KeyAssign.isLastLeftClick(keyMatrixMain.entries(modKeysModel), mouseMain.selectKey)
        }

        Component.onCompleted: keyMatrixMain.fillBuiltIn(modKeysModel)
    }

    ListModel {
        id: factoryModel

        Component.onCompleted: keyMatrixMain.fillBuiltIn(factoryModel)
    }

    Text {
        x: 8
        y: 12
        text: keyMatrixLang[1]
        font.family: fontFamily
        font.pixelSize: fontMiddleSize
        font.bold: true
        color: fontColor
    }

    Image {
        objectName: "keyMatrixReset"
        anchors.right: parent.right
        anchors.rightMargin: 8
        y: 12
        source: resetArea.containsMouse ? sourceBackH : sourceBack

        MouseArea {
            id: resetArea

            anchors.fill: parent
            hoverEnabled: true
            onClicked: keyMatrixMain.restoreFactory()
        }
    }

    Column {
        x: 8
        y: 40
        spacing: 2

        Repeater {
            model: modKeysModel

            Rectangle {
                id: row

                required property int index
                required property string keyText

                objectName: "keyRow" + index
                width: 216
                height: 24
                visible: index < keyMatrixMain.shownRows
                color: index === mouseMain.selectKey || rowArea.containsMouse ? colorOrange : "transparent"

                Text {
                    id: rowName

                    x: 24
                    anchors.verticalCenter: parent.verticalCenter
                    text: keyMatrixLang[0] + " " + (row.index + 1)
                    font.family: fontFamily
                    font.pixelSize: fontNormalSize
                    color: fontColor
                }
                Text {
                    anchors.left: rowName.right
                    anchors.right: parent.right
                    anchors.rightMargin: 4
                    anchors.verticalCenter: parent.verticalCenter
                    horizontalAlignment: Text.AlignHCenter
                    elide: Text.ElideRight
                    text: row.keyText
                    font.family: fontFamily
                    font.pixelSize: fontNormalSize
                    color: fontColor
                }
                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onEntered: keyMatrixMain.enterBtn(row.index)
                    onExited: keyMatrixMain.leaveBtn(row.index)
                    onClicked: {
                        mouseMain.selectKey = row.index
                        keyMatrixMain.clickBtn(row.index)
                    }
                }
            }
        }
    }
}
