import QtQuick

// Root document. The host calls initUI, run, detectKeyboard, detectMouse, setProtectUI and
// setCurrentDPI by name; the pages that fill the window come with the UI documents.
Item {
    id: mainIten
    width: 1024
    height: 640
    visible: false

    property int currentDPI: -1
    property bool isPownOn: false
    property string lastKey: ""

    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int mouseCode, int x, int y)

    function initUI() {
        setProtectUI(1000)
        mainIten.visible = true
        isPownOn = true
        currentDPI = ui_View.mouseGetCurrentDPI() - 1
    }
    function run() {}
    function detectKeyboard(isDown, usbCode) {
        lastKey = (isDown ? "\u2193 " : "\u2191 ") + "0x" + Number(usbCode).toString(16)
        msg_KB(isDown, usbCode)
    }
    function detectMouse(isDown, mouseCode, x, y) { msg_MS(isDown, mouseCode, x, y) }
    function setProtectUI(interval) {
        busy.visible = true
        ui_View.setEnabled(false)
        tmrProtectUI.interval = interval
        tmrProtectUI.restart()
    }
    function setCurrentDPI(dpiValue) {
        if (dpiValue !== 0)
            currentDPI = dpiValue - 1
    }

    Timer {
        id: tmrProtectUI
        interval: 1000
        onTriggered: { ui_View.setEnabled(true); busy.visible = false }
    }

    Rectangle {
        anchors.fill: parent
        radius: 12
        gradient: Gradient {
            GradientStop { position: 0.0; color: "#1f2126" }
            GradientStop { position: 1.0; color: "#0d0e10" }
        }
        border.color: "#3c3c3c"

        MouseArea {
            anchors.fill: parent
            property int pressX: 0
            property int pressY: 0
            onPressed: (mouse) => { pressX = mouse.x; pressY = mouse.y }
            onPositionChanged: (mouse) => {
                ui_Ctl.onXChanged(mouse.x - pressX)
                ui_Ctl.onYChanged(mouse.y - pressY)
            }
        }

        Text {
            x: 32; y: 24
            text: "KESTREL ORBIT"
            color: "#ffffff"
            font.pixelSize: 22
            font.bold: true
            font.letterSpacing: 4
        }
        Row {
            anchors.right: parent.right; anchors.rightMargin: 24; y: 24
            spacing: 12
            Text { text: "\u2013"; color: "#d1d1d1"; font.pixelSize: 20
                   MouseArea { anchors.fill: parent; onClicked: ui_Ctl.onMinimize() } }
            Text { text: "\u00d7"; color: "#d1d1d1"; font.pixelSize: 20
                   MouseArea { anchors.fill: parent; onClicked: ui_Ctl.onClose() } }
        }
        Column {
            anchors.centerIn: parent
            spacing: 18
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "DPI stage"
                color: "#969696"; font.pixelSize: 16
            }
            Row {
                anchors.horizontalCenter: parent.horizontalCenter
                spacing: 10
                Repeater {
                    model: 8
                    Rectangle {
                        width: 56; height: 56; radius: 8
                        color: index === mainIten.currentDPI ? "#cf3e00" : "#09347f"
                        Text { anchors.centerIn: parent; text: index + 1; color: "#ffffff"; font.pixelSize: 20 }
                    }
                }
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: mainIten.lastKey
                color: "#d1d1d1"; font.pixelSize: 14
            }
        }
        Text {
            id: busy
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom; anchors.bottomMargin: 24
            visible: false
            text: "Working\u2026"
            color: "#cf3e00"; font.pixelSize: 14
        }
    }
}
