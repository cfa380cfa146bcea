.pragma library

// The profile list of the profile page. Each entry is {textValue, profileNo}: the name shown and
// the number of the profile file behind it (p<profileNo + 1>.bin). Names and numbers are separate
// because deleting an entry from the middle leaves the later entries' numbers where they were;
// every call that means a profile passes profileNo, never the list position.

var maxProfiles = 6
var sentinel = "loaderbeacon"
var namePrefix = "profile_"
var nameTries = 12

// Stored form: the name immediately followed by the number as one digit.
function toStored(entries) {
    return entries.map(e => e.textValue + e.profileNo)
}

// Entries from the stored list (texts). The sentinel that keeps a one-entry list a list is
// dropped; entries without a number 0 … 5 at their end, or whose number an earlier entry already
// uses, are skipped, since two entries on one file would overwrite each other. The standard entry
// comes first with its language name; without one (no stored list) it is put back as number 0.
function parse(stored, standardName) {
    let texts = (stored || []).map(s => String(s))
    if (texts.length === 2 && texts[1] === sentinel)
        texts = [texts[0]]
    const entries = []
    for (const text of texts) {
        const no = Number(text.slice(-1))
        if (text.length === 0 || !/[0-9]$/.test(text) || no >= maxProfiles)
            continue
        if (entries.some(e => e.profileNo === no) || entries.length === maxProfiles)
            continue
        entries.push({ textValue: text.slice(0, -1), profileNo: no })
    }
    if (entries.length === 0)
        entries.push({ textValue: standardName, profileNo: 0 })
    entries[0].textValue = standardName
    return entries
}

function indexOfNumber(entries, no) {
    return entries.findIndex(e => e.profileNo === no)
}

function hasName(entries, name) {
    return entries.some(e => e.textValue === name)
}

// "profile_" + the first n of 0 … 11 that no entry is called (12 when all are).
function firstFreeName(entries) {
    let n = 0
    while (n < nameTries && hasName(entries, namePrefix + n))
        ++n
    return namePrefix + n
}

// The first number 0 … 5 that no entry uses (6 when all are used).
function firstFreeNumber(entries) {
    let no = 0
    while (no < maxProfiles && indexOfNumber(entries, no) >= 0)
        ++no
    return no
}

function isFull(entries) {
    return entries.length >= maxProfiles
}

// The standard entry and the profile in use stay.
function canDelete(entries, index, activeNo) {
    return index > 0 && index < entries.length && entries[index].profileNo !== activeNo
}

// A new name is taken when it is not empty and no entry (itself included) carries it already. The
// standard entry keeps the language's name.
function canRename(entries, index, name) {
    return index > 0 && index < entries.length && name.trim().length > 0 && !hasName(entries, name)
}
