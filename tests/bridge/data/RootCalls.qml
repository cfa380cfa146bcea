import QtQuick

// Stands in for main.qml: records every root call the host makes, and reaches the controller the
// way the documents do.
Item {
    width: 64
    height: 48

    function initUI() { recorder.note("initUI") }
    function run() { recorder.note("run") }
    function setProtectUI(interval) { recorder.note("setProtectUI " + interval) }
    function setCurrentDPI(dpiValue) { recorder.note("setCurrentDPI " + dpiValue) }
    function busyFromDocument() { ui_Ctl.setBusy() }
    function busyFromDocumentFor(interval) { ui_Ctl.setBusy(interval) }
}
