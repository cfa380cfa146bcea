import QtQuick
import "../common/keyCodes.js" as KeyCodes

// The key label table the pages share. keyCodeStr starts with the English labels and is replaced
// by the "keyCode" language list at start-up; keyCode stays as it is.
QtObject {
    property var keyCode: KeyCodes.codes()
    property var keyCodeStr: KeyCodes.defaultLabels()

    function strTokeycode(str) {
        return KeyCodes.strTokeycode(keyCodeStr, keyCode, str)
    }

    function keycodeTostr(keycode) {
        return KeyCodes.keycodeTostr(keyCodeStr, keyCode, keycode)
    }
}
