import QtQuick
import QtTest

// The profile page and the top-right drop-down in the whole window, against the real view, name
// list, profile files and virtual mouse. Rows and profile numbers part ways once a row in the
// middle is deleted; every call must then still reach the entry's own profile file.
PageCase {
    property var dropDown: null

    name: "ProfilePage"

    // The window on a gun model in English with the profile page open.
    function openProfiles() {
        openModal({ family: "553", isGun: true, config: { "common/language": "English" } }, {}, "configButton",
                  "profileMain")
        dropDown = child(doc, "upItem").profileBtn
    }
    function row(i) { return child(page, "profileRow" + i) }
    function names() {
        const m = page.profileDataModel0
        return Array.from({ length: m.count }, (_, i) => m.get(i).textValue + m.get(i).profileNo)
    }
    // The rows shown, and the same in the stored list.
    function namesStored(expected) {
        compare([names(), ui_View.getNameList(2).map(String)], [expected, expected])
    }
    function addProfiles(n) {
        for (let i = 0; i < n; ++i)
            mouseClick(child(page, "newButton"))
    }
    function menuCommand(i, cmd) {
        mouseClick(row(i), 40, 10, Qt.RightButton)
        verify(child(page, "profileMenu").visible)
        mouseClick(child(page, "profileMenuItem" + cmd))
        verify(!child(page, "profileMenu").visible)
    }
    // Chooses row i in the top-right drop-down, as the user does, and opens the page again.
    function chooseInDropDown(i) {
        mouseClick(child(page, "profileCloseButton"))
        choose(dropDown, i)
        mouseClick(child(doc, "configButton"))
        verify(page.visible)
    }
    function profileFile(number) { return mouseSim.readFile("setting/p" + (number + 1) + ".bin") }
    // Gives profile n the report rate `rate` in its own file.
    function setRate(n, rate) {
        ui_View.setCurrentProfile(n)
        ui_View.setData("mouse/reportRate", rate)
        ui_View.setCurrentProfile(0)
    }

    // The shipped list is one profile and the sentinel. New takes the first free name and number,
    // from the factory profile; with six it adds none. A double click edits a name; Enter or a press
    // elsewhere ends it. Names in use, an empty name and the standard profile's name are not taken;
    // the drop-down shows the name.
    function test_newAndRename() {
        openProfiles()
        compare([row(0).textValue, dropDown.textValue, dropDown.count, page.profileNo],
                ["Standard", "Standard", 1, 0])
        compare(ui_View.getNameList(2).map(String), ["Standard0", "loaderbeacon"])
        setRate(3, 1)
        verify(mouseSim.writeFile("setting/p7.bin", "[mouse]\nreportRate=2\n"))
        addProfiles(6)
        namesStored(["Standard0", "profile_01", "profile_12", "profile_23", "profile_34", "profile_45"])
        compare(dropDown.count, 6)
        ui_View.setCurrentProfile(3)
        compare(ui_View.getData("mouse/reportRate", false), ui_View.getData("mouse/reportRate", true))
        ui_View.setCurrentProfile(0)
        compare(profileFile(6), "[mouse]\nreportRate=2\n", "a seventh profile is neither added nor reset")

        const steps = [[1, "Shooter", "enter", "Shooter1"], [1, "Racing", "press", "Racing1"],
                       [1, "profile_1", "enter", "Racing1"], [1, "", "enter", "Racing1"],
                       [0, "Mine", "enter", "Standard0"]]
        for (const [i, typed, end, out] of steps) {
            dropDown.currentSelect = i
            mouseDoubleClickSequence(row(i), 40, 10)
            const input = child(row(i), "nameInput")
            compare([input.visible, input.activeFocus, input.selectedText], [true, true, input.text])
            keyClick(Qt.Key_Delete)
            type(typed, end === "enter")
            if (end === "press")
                mouseClick(page, 300, 270)
            compare([input.visible, names()[i], dropDown.textValue], [false, out, out.slice(0, -1)])
            namesStored(names())
        }
    }

    // Rows and numbers part ways once a row in the middle is deleted: the drop-down still switches
    // by the entry's own number, to the settings of its own file, sent to the mouse with the key
    // matrix; choosing the profile in use again does nothing. The active and the standard profile
    // cannot be deleted; a deleted number is free again. Export writes the active profile, whichever
    // row was right-clicked; import fills the next free number from the chosen file and overwrites
    // no other; a cancelled choice adds nothing.
    function test_deleteSwitchExportImport() {
        openProfiles()
        addProfiles(3)
        // p2 125 Hz, p3 250 Hz, p4 500 Hz
        for (let n = 1; n <= 3; ++n)
            setRate(n, n - 1)
        chooseInDropDown(3)
        menuCommand(3, 0)
        menuCommand(0, 0)
        namesStored(["Standard0", "profile_01", "profile_12", "profile_23"])
        menuCommand(2, 0)
        namesStored(["Standard0", "profile_01", "profile_23"])
        compare([dropDown.count, dropDown.currentSelect, dropDown.textValue], [3, 2, "profile_2"],
                "still the profile in use")

        chooseInDropDown(1)
        compare([page.profileNo, dropDown.textValue, mouseSim.memory().reportRate], [1, "profile_0", 8],
                "125 Hz, the rate of p2.bin")
        verify(commandCodes().includes("02") && ui_View.enabled)
        chooseInDropDown(2)
        compare([page.profileNo, dropDown.textValue, String(ui_View.getGlobalData("mouse/profileNo")),
                 String(ui_View.getData("mouse/reportRate", false)), mouseSim.memory().reportRate],
                [3, "profile_2", "3", "2", 2], "500 Hz, the rate of p4.bin")
        mouseSim.clearTrace()
        chooseInDropDown(2)
        compare(mouseSim.commands(), [])
        addProfiles(1)
        compare(names(), ["Standard0", "profile_01", "profile_23", "profile_12"])

        const target = mouseSim.tempPath("exported.pf")
        mouseSim.chooseFiles([target])
        menuCommand(1, 1)
        tryVerify(() => mouseSim.readFile(target) === profileFile(3))
        verify(mouseSim.readFile(target).includes("reportRate=2"))

        menuCommand(1, 0)
        const file = mouseSim.tempPath("in.pf")
        const kept = profileFile(2)
        verify(mouseSim.writeFile(file, "[mouse]\nreportRate=1\n"))
        for (const [answer, expected] of [["", ["Standard0", "profile_23", "profile_12"]],
                                          [file, ["Standard0", "profile_23", "profile_12", "profile_01"]]]) {
            mouseSim.chooseFiles([answer])
            mouseClick(child(page, "importButton"))
            namesStored(expected)
        }
        compare([profileFile(1), profileFile(2)], [mouseSim.readFile(file), kept])
    }

    // "Applications…" in the profile menu opens the row's own rules (entry 1 is profile 2 to the
    // rules). A typed and a picked rule land in the configuration; a refused one shows the store's
    // reason and stores nothing; Remove takes the row's own rule; closing leads back to the page.
    // While the rules are on, the top-right line tells which rule chose the profile.
    function test_appRules() {
        openProfiles()
        addProfiles(1)
        const line = child(doc, "focusStatusLine")
        verify(!line.visible)
        menuCommand(1, 2)
        const rules = child(doc, "appRulesMain")
        const input = child(rules, "appRulesInput")
        const message = child(rules, "appRulesMessage")
        const stored = (...keys) => keys.map(key => mouseSim.setting("setting/apConfig.bin", "appRules/" + key))
        const click = name => mouseClick(child(rules, name))
        compare([rules.visible, page.visible, child(doc, "mainMask").visible,
                 child(rules, "appRulesEmpty").visible], [true, false, true, true])

        // the store's reasons for a refusal are tst_stores' and tst_ctl_commands'; one shows here
        const adds = [[2, "Counter", ""],
                      [2, "Counter", "Not added: profile 2 already has the rule title:Counter"]]
        for (const [kind, typed, why] of adds) {
            click("appRulesKind" + kind)
            input.text = typed
            click("appRulesAdd")
            compare([message.text, stored("count", "rule1", "profile1"), rules.rules.count],
                    [why, ["1", "title:Counter", "2"], 1])
        }

        // Picking waits for a focus watcher; the picked window's class fills the input.
        click("appRulesKind0")
        click("appRulesPick")
        compare(message.text, "No window can be picked here: this desktop offers no focus events")
        mouseSim.watchWindows(true)
        click("appRulesPick")
        verify(rules.picking)
        mouseSim.focusWindow("steam_app_570", "dota2.exe", "Dota 2")
        tryCompare(input, "text", "steam_app_570")
        click("appRulesAdd")
        compare(stored("count", "rule2"), ["2", "class:steam_app_570"])

        // The switches: on fixes the profile in use (1) as the desktop profile; this one can take it.
        click("appRulesSwitch")
        compare(stored("enabled", "desktopProfile"), ["true", "1"])
        click("appRulesDesktop")
        compare(stored("desktopProfile"), ["2"])

        compare(ui_View.removeAppRule(1, 2, "title:Other"),
                "the rules changed meanwhile; the list shows them again")
        compare(stored("count"), ["2"], "a rule the page did not show stays")
        tryVerify(() => findChild(rules, "appRuleRow1"), 5000, "the rows are laid out")
        mouseClick(child(child(rules, "appRuleRow0"), "appRuleRemove"))
        compare([stored("count", "rule1", "profile1"), rules.rules.count],
                [["1", "class:steam_app_570", "2"], 1])

        click("appRulesCloseButton")
        compare([rules.visible, page.visible], [false, true])
        menuCommand(0, 2)
        verify(child(rules, "appRulesEmpty").visible, "the standard profile has no rules")

        verify(line.visible)
        mouseSim.focusWindow("Other", "other", "Other")
        mouseSim.focusWindow("steam_app_570", "dota2.exe", "Dota 2")
        tryCompare(line, "text", "Profile 2: rule 1 (class:steam_app_570) for steam_app_570")
        compare(mouseSim.setting("setting/apConfig.bin", "mouse/profileNo"), "1")
        ui_View.setAppRulesEnabled(false, 2)
        verify(!line.visible)
    }
}
