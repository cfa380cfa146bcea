.pragma library

// The application rules page. The page lists a profile by its entry number (0 … 5, the number of
// its file); rules name profiles as the user counts them (1 … 6). A rule's kind is one of the
// stored names below, in the order of the page's kind buttons.

var kinds = ["class", "exe", "title"]

function ruleProfile(profileNo) {
    return Number(profileNo) + 1
}

function kindIndex(kind) {
    return Math.max(0, kinds.indexOf(String(kind)))
}

// The match taken from a picked window: the chosen kind when the window has that property, else
// the first it has of class, executable and title; null when it tells nothing.
function pickedMatch(window, preferredKind) {
    const texts = { class: window.cls, exe: window.exe, title: window.title }
    const order = [String(preferredKind)].concat(kinds)
    for (const kind of order) {
        const text = String(texts[kind] ?? "").trim()
        if (kinds.includes(kind) && text.length > 0)
            return { kind: kind, text: text }
    }
    return null
}

// Row entries from the view's list ({number, kind, text, match}), each with its kind's button
// index; anything else is dropped.
function entries(list) {
    return (list || []).filter(r => r && kinds.includes(String(r.kind)) && Number(r.number) >= 1)
                       .map(r => ({ number: Number(r.number), kind: String(r.kind),
                                    kindIndex: kindIndex(r.kind), text: String(r.text),
                                    match: String(r.match) }))
}
