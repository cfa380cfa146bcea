import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/common/keyCodes.js" as KeyCodes

// The key label table: its look-ups on their own, through KeyCodeString, and against the
// "keyCode" lists of the shipped language files that replace the labels at start-up.
TestCase {
    id: testCase

    readonly property var codes: KeyCodes.codes()
    readonly property var labels: KeyCodes.defaultLabels()

    name: "KeyCodes"
    when: windowShown

    Component { id: tableType; KeyCodeString {} }

    function init() { failOnWarning(/qml/) }

    function test_strTokeycode_data() {
        return [
            ["A", 0x04], ["Z", 0x1D], ["1", 0x1E], ["0", 0x27], ["Enter", 0x28], ["\\", 0x31],
            [";", 0x33], ["Caps", 0x39], ["F12", 0x45], ["\u25BA", 0x4F], ["\u25C4", 0x50],
            ["\u25BC", 0x51], ["\u25B2", 0x52], ["KP0", 0x62], ["KP=", 0x67], ["F13", 0x68],
            ["F24", 0x73], ["Keypad", 0x85], ["Intl1", 0x87], ["Intl5", 0x8B], ["Lang1", 0x90],
            ["Lang2", 0x91], ["LCtrl", 0xE0], ["RWin", 0xE7], ["MS-L", 0xF0], ["MS-B5", 0xF4],
            ["a", 0], ["", 0], ["F25", 0],
        ].map(([str, code]) => ({ tag: "'" + str + "'", str, code }))
    }
    function test_strTokeycode(data) {
        compare(KeyCodes.strTokeycode(labels, codes, data.str), data.code)
    }

    // Codes may come as numbers or as the store's texts.
    function test_keycodeTostr_data() {
        return [
            [0x31, "\\"], [0x32, "\\"], [0x2C, "Space"], [0x4F, "\u25BA"], [0xF2, "MS-M"],
            [0x74, ""], [0x86, ""], [0x00, ""], ["49", "\\"], ["0x85", "Keypad"], ["", ""],
            [undefined, ""],
        ].map(([code, str]) => ({ tag: String(code), code, str }))
    }
    function test_keycodeTostr(data) {
        compare(KeyCodes.keycodeTostr(labels, codes, data.code), data.str)
    }

    // Every label leads back to its own code, except the second backslash, which the first wins;
    // no code stands twice.
    function test_roundTrip() {
        compare(new Set(codes).size, labels.length)
        for (const code of codes) {
            const back = KeyCodes.strTokeycode(labels, codes, KeyCodes.keycodeTostr(labels, codes, code))
            compare(back, code === 0x32 ? 0x31 : code, code.toString(16))
        }
    }

    function test_copiesAreOwn() {
        const mine = KeyCodes.defaultLabels()
        mine[0] = "changed"
        compare(KeyCodes.defaultLabels()[0], "A")
    }

    // The shipped language lists replace the labels: the English one is the default table, and
    // with either list the look-ups of KeyCodeString follow it.
    function test_languageLists_data() {
        return [{ tag: "English" }, { tag: "ChineseSimplified" }]
    }
    function test_languageLists(data) {
        mouseSim.useModel({ family: "553" })
        const table = createTemporaryObject(tableType, testCase)
        compare(table.keyCodeStr, labels)
        const list = ui_View.getLangStrings("keyCode", data.tag)
        compare(list.length, 133)
        if (data.tag === "English")
            compare(Array.from(list), labels)
        table.keyCodeStr = list
        compare(table.strTokeycode(list[45]), 0x31)
        compare(table.keycodeTostr(0xE2), list[122])
        compare(table.strTokeycode("no such key"), 0)
        compare(table.keycodeTostr(0x99), "")
    }
}
