import QtQuick

// Stands in for the UI documents: records what the host calls.
Item {
    width: 1024
    height: 640
    property var calls: []
    property int currentDPI: -1

    function note(text) { calls = calls.concat([text]) }
    function initUI() { note("initUI") }
    function run() { note("run") }
    function setCurrentDPI(dpiValue) { note("setCurrentDPI " + dpiValue); if (dpiValue !== 0) currentDPI = dpiValue - 1 }
    function setProtectUI(interval) { note("setProtectUI " + interval) }
    function detectKeyboard(isDown, usbCode) { note("detectKeyboard " + isDown + " " + usbCode) }
    function detectMouse(isDown, mouseCode, x, y) { note("detectMouse " + isDown + " " + mouseCode + " " + x + " " + y) }
}
