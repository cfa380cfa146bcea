import QtQuick
import "../common/gunMath.js" as GunMath

// The gun page: recoil data of six guns and which gun sits in each of the mouse's three gun slots.
// Every edit is stored at once; the three slots and the key matrix (which carries the slotted guns'
// fire periods) reach the mouse when the page is closed after a change.
Rectangle {
    id: gunControlMain

    // Slots 1 … 3: the list index of the gun in each.
    property int selectGun1: 0
    property int selectGun2: 0
    property int selectGun3: 0
    // Changes made since the data were last sent.
    property bool isSave: false
    property var gunControlLang: ["Gun Editor", "Gun", "Select Gun", "Cursor Adjust", "X Axis",
                                  "Y Axis", "Fire Adjust", "Rate", "Times", "Endless"]
    property alias gunNumber_lv: gunList
    property ListModel gunNumberModel: ListModel {}
    readonly property int currentGun: gunList.currentIndex

    component PageText: Text {
        font.family: fontFamily
        font.pixelSize: fontNormalSize
        color: fontColor
    }

    function init() {
        fillSlotItems()
        for (let i = 0; i < gunNumberModel.count; ++i)
            takeRecord(i, ui_View.getGunData(i))
        const stored = ui_View.getGlobalData("mouse/selectGun")
        const slots = typeof stored === "object" && stored !== null ? stored : String(stored ?? "").split(",")
        selectGun1 = GunMath.toInt(slots[0], 0, gunNumberModel.count - 1, 0)
        selectGun2 = GunMath.toInt(slots[1], 0, gunNumberModel.count - 1, 0)
        selectGun3 = GunMath.toInt(slots[2], 0, gunNumberModel.count - 1, 0)
        slotList.currentSelect = 0
        showGun(selectGun1)
    }

    // Factory reset: the first three guns in the slots with their factory pull and period, sent.
    function resetData() {
        setSlots(0, 1, 2)
        const pulls = ["5", "7", "8"]
        for (let g = 0; g < 3; ++g) {
            gunNumberModel.setProperty(g, "gunY", pulls[g])
            gunNumberModel.setProperty(g, "gunPeriod", "9")
            saveGun(g)
        }
        sendSlots()
        slotList.currentSelect = 0
        showGun(0)
    }

    // Closes the open lists and ends typing. A list whose own head was pressed is closed here when
    // open, and the press then leaves it closed; a closed one opens.
    function gunControlFocus() {
        slotList.closeMenu()
        rateSlider.closeMenu()
        timesBox.closeFocus()
        xBox.closeFocus()
        yBox.closeFocus()
    }

    function fillSlotItems() {
        slotItems.clear()
        for (let n = 1; n <= 3; ++n)
            slotItems.append({ textValue: gunControlLang[1] + " " + n })
    }
    // A stored record (name, trigger, period, X, Y, times) into gun i; a short one is ignored.
    function takeRecord(i, record) {
        if (!record || record.length < 6)
            return
        const roles = ["gunName", "gunKey", "gunPeriod", "gunX", "gunY", "gunTimes"]
        for (let r = 0; r < roles.length; ++r)
            gunNumberModel.setProperty(i, roles[r], String(record[r]))
    }
    function slotGun(slot) {
        return [selectGun1, selectGun2, selectGun3][slot] ?? selectGun1
    }
    function setSlots(g1, g2, g3) {
        selectGun1 = g1
        selectGun2 = g2
        selectGun3 = g3
        ui_View.setGlobalData("mouse/selectGun", [g1, g2, g3])
    }
    function showGun(g) {
        gunList.currentIndex = g
        const gun = gunNumberModel.get(g)
        xBox.textValue = gun.gunX
        yBox.textValue = gun.gunY
        dot.y = GunMath.dotYForPull(gun.gunY)
        rateSlider.setValue(GunMath.rateRatio(gun.gunPeriod))
        timesBox.textValue = gun.gunTimes
        endless.isSelect = gun.gunTimes === "0"
    }
    function saveGun(g) {
        isSave = true
        const gun = gunNumberModel.get(g)
        ui_View.mouseSaveGundata(g, [gun.gunName, gun.gunKey, gun.gunPeriod, gun.gunX, gun.gunY,
                                     gun.gunTimes])
    }
    // Stores one value of the current gun; an unchanged value is no change.
    function setGunValue(role, value) {
        if (currentGun < 0 || gunNumberModel.get(currentGun)[role] === value)
            return
        gunNumberModel.setProperty(currentGun, role, value)
        saveGun(currentGun)
    }
    function putInSlot(g) {
        gunControlFocus()
        const slot = Math.max(0, Math.min(2, slotList.currentSelect))
        if (slotGun(slot) !== g) {
            const guns = [selectGun1, selectGun2, selectGun3]
            guns[slot] = g
            setSlots(guns[0], guns[1], guns[2])
            isSave = true
        }
        showGun(g)
    }
    function sendSlots() {
        for (let s = 0; s < 3; ++s) {
            const gun = gunNumberModel.get(slotGun(s))
            ui_View.mouseSendGundata(s + 1, [GunMath.toInt(gun.gunTimes, 0, GunMath.maxTimes, 0),
                                             GunMath.toInt(gun.gunX, -128, 255, 0),
                                             GunMath.toInt(gun.gunY, 0, GunMath.maxPull, 0)])
        }
    }
    // A number still being typed is taken first, so that it goes out with the rest.
    function close() {
        gunControlFocus()
        visible = false
        mainMask.visible = false
        if (isSave) {
            isSave = false
            controlUIEnable(false)
            sendSlots()
            keyMatrixMain.modKeys.saveData()
            controlUIEnable(true)
        }
    }

    width: 640
    height: 448
    color: colorGray0

    Component.onCompleted: {
        const builtIn = ["M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"]
        for (const name of builtIn) {
            gunNumberModel.append({ gunName: name, gunImage: sourceGunDir + name + ".png",
                                    gunKey: "L-Click", gunPeriod: "10", gunX: "0", gunY: "10",
                                    gunTimes: "0" })
        }
        fillSlotItems()
    }

    ListModel {
        id: slotItems
    }

    // A press on the page ends whatever is open.
    PageDragArea {
        page: gunControlMain
        onPressed: gunControlMain.gunControlFocus()
    }

    Rectangle {
        id: titleStrip

        width: parent.width
        height: 40
        color: colorBlack

        PageText {
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            text: gunControlMain.gunControlLang[0]
        }
        Image {
            objectName: "gunCloseButton"
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            source: closeArea.containsMouse ? sourceCloseBtnH : sourceCloseBtn

            MouseArea {
                id: closeArea

                anchors.fill: parent
                anchors.margins: -3
                hoverEnabled: true
                onClicked: gunControlMain.close()
            }
        }
    }
    Rectangle {
        y: titleStrip.height
        width: parent.width
        height: 1
        color: colorOrange
    }

    PageText {
        id: gunLabel

        x: 16
        y: titleStrip.height + 1 + 16
        text: gunControlMain.gunControlLang[1]
    }
    ListView {
        id: gunList

        objectName: "gunList"
        x: 16
        anchors.top: gunLabel.bottom
        anchors.topMargin: 8
        width: 248
        height: 342
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        currentIndex: -1
        highlightMoveDuration: 0
        model: gunControlMain.gunNumberModel
        delegate: Rectangle {
            id: gunRow

            required property int index
            required property string gunName
            required property string gunImage

            objectName: "gunRow" + index
            width: gunList.width
            height: 58
            color: ListView.isCurrentItem || rowArea.containsMouse ? colorOrange : colorBlack

            Image {
                anchors.centerIn: parent
                source: gunRow.gunImage
            }
            PageText {
                x: 16
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 8
                text: gunRow.gunName
            }
            Rectangle {
                anchors.bottom: parent.bottom
                width: parent.width
                height: 1
                color: "#4d4d4d"
            }
            MouseArea {
                id: rowArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: gunControlMain.putInSlot(gunRow.index)
            }
        }
    }

    // Right half: slot choice, the target with the pull, and the fire settings.
    Item {
        id: rightSide

        x: gunList.x + gunList.width + 20
        y: gunLabel.y
        width: parent.width - x - 16
        height: parent.height - y

        PageText {
            id: slotLabel

            anchors.verticalCenter: slotList.verticalCenter
            text: gunControlMain.gunControlLang[2]
        }
        DropDownList {
            id: slotList

            objectName: "slotList"
            x: slotLabel.width + 16
            z: 3
            width: 96
            bgColor: colorBlue
            mdItems: slotItems
            count: slotItems.count
            onBtnClick: gunControlMain.gunControlFocus()
            onValueChange: (index) => gunControlMain.showGun(gunControlMain.slotGun(index))
        }
        Rectangle {
            id: slotLine

            y: slotList.y + 24 + 12
            width: parent.width
            height: 1
            color: colorBlack
        }

        PageText {
            id: cursorLabel

            anchors.top: slotLine.bottom
            anchors.topMargin: 16
            text: gunControlMain.gunControlLang[3]
        }
        Image {
            id: target

            objectName: "target"
            x: 12
            anchors.top: cursorLabel.bottom
            anchors.topMargin: 12
            width: 190
            height: 190
            source: sourceGunDir + "target.png"

            // The pull: dragged up and down, the Y box follows; stored when let go.
            Rectangle {
                id: dot

                objectName: "dot"
                x: GunMath.dotX
                y: GunMath.dotTop
                width: 8
                height: 8
                radius: 4
                color: "red"
                border.color: "white"
                border.width: dotArea.pressed || dotArea.containsMouse ? 1 : 0

                onYChanged: {
                    if (dotArea.drag.active)
                        yBox.textValue = String(GunMath.pullForDotY(y))
                }

                MouseArea {
                    id: dotArea

                    anchors.fill: parent
                    hoverEnabled: true
                    drag.target: dot
                    drag.axis: Drag.YAxis
                    drag.minimumY: GunMath.dotTop
                    drag.maximumY: GunMath.dotTop + GunMath.dotTravel
                    drag.threshold: 0
                    onPressed: gunControlMain.gunControlFocus()
                    onReleased: gunControlMain.setGunValue("gunY", String(GunMath.pullForDotY(dot.y)))
                }
            }
        }

        PageText {
            anchors.verticalCenter: xBox.verticalCenter
            anchors.right: xBox.left
            anchors.rightMargin: 8
            text: gunControlMain.gunControlLang[4]
        }
        RectInput {
            id: xBox

            objectName: "xBox"
            anchors.right: parent.right
            y: target.y + 64
            enabled: false
        }
        PageText {
            anchors.verticalCenter: yBox.verticalCenter
            anchors.right: yBox.left
            anchors.rightMargin: 8
            text: gunControlMain.gunControlLang[5]
        }
        RectInput {
            id: yBox

            objectName: "yBox"
            anchors.right: parent.right
            anchors.top: xBox.bottom
            anchors.topMargin: 16
            maxValue: GunMath.maxPull
            onEndInputSignal: {
                const pull = String(GunMath.toInt(textValue, 0, GunMath.maxPull, 0))
                dot.y = GunMath.dotYForPull(pull)
                gunControlMain.setGunValue("gunY", pull)
            }
        }

        PageText {
            id: fireLabel

            anchors.top: target.bottom
            anchors.topMargin: 16
            text: gunControlMain.gunControlLang[6]
        }
        PageText {
            id: rateLabel

            x: 16
            anchors.verticalCenter: rateSlider.verticalCenter
            text: gunControlMain.gunControlLang[7]
        }
        DropDownSlider {
            id: rateSlider

            objectName: "rateSlider"
            x: Math.max(rateLabel.x + rateLabel.width, timesLabel.x + timesLabel.width) + 16
            anchors.top: fireLabel.bottom
            anchors.topMargin: 20 - (24 - fireLabel.height) / 2
            z: 2
            width: 120
            bgColor: colorBlue
            textValue: "10ms"
            onBtnClick: gunControlMain.gunControlFocus()
            onValueChange: (index) => textValue = GunMath.rateText(index)
        }
        // The stored period follows the knob once it rests, after a drag or a click on the track.
        Connections {
            target: rateSlider.sliderControl

            function onValueChangeDelay(tmpValue) {
                gunControlMain.setGunValue("gunPeriod",
                                           String(GunMath.periodFromText(rateSlider.textValue, tmpValue + 1)))
            }
        }

        PageText {
            id: timesLabel

            x: 16
            anchors.verticalCenter: timesBox.verticalCenter
            text: gunControlMain.gunControlLang[8]
        }
        RectInput {
            id: timesBox

            objectName: "timesBox"
            x: rateSlider.x
            anchors.top: rateSlider.bottom
            anchors.topMargin: 20
            maxValue: GunMath.maxTimes
            onEndInputSignal: {
                const times = String(GunMath.toInt(textValue, 0, GunMath.maxTimes, 0))
                gunControlMain.setGunValue("gunTimes", times)
                endless.isSelect = times === "0"
            }
        }
        CheckBox {
            id: endless

            objectName: "endless"
            anchors.left: timesBox.right
            anchors.leftMargin: 16
            anchors.verticalCenter: timesBox.verticalCenter
            textValue: gunControlMain.gunControlLang[9]
            // Endless is what a count of 0 means: ticking it sets 0, and it stays ticked until
            // another count is typed.
            onBtnClick: {
                if (!isSelect) {
                    timesBox.textValue = "0"
                    gunControlMain.setGunValue("gunTimes", "0")
                }
            }
            onIsSelectChanged: {
                const endlessNow = gunControlMain.currentGun >= 0
                        && gunControlMain.gunNumberModel.get(gunControlMain.currentGun).gunTimes === "0"
                if (isSelect !== endlessNow)
                    isSelect = endlessNow
            }
        }
    }
}
