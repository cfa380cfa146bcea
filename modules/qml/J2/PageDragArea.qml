import QtQuick
import "../common/windowMath.js" as WindowMath

// Fills a modal page and lets the user drag the page around; the page stays wholly inside the
// window.
MouseArea {
    id: area

    required property Item page
    property real pressX: 0
    property real pressY: 0

    anchors.fill: parent

    onPressed: (mouse) => {
        pressX = mouse.x
        pressY = mouse.y
    }
    onPositionChanged: (mouse) => {
        const to = WindowMath.clampBox(page.x + mouse.x - pressX, page.y + mouse.y - pressY,
                                       page.width, page.height, page.parent.width, page.parent.height)
        page.x = to.x
        page.y = to.y
    }
}
