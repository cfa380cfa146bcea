import QtQuick

// The part of a drop-down control that opens under its head: a clipped area whose content is
// drawn `offset` pixels higher than its top. closedOffset hides all of it, 0 shows it from the
// top. Opening always starts from fully closed; closing runs from wherever the content is, so
// closing a closed panel runs its animation without moving anything.
Item {
    id: panel

    property real offset: closedOffset
    property real closedOffset: 0
    property int duration: 180
    readonly property alias running: slide.running

    signal closeFinished()

    function open() {
        slide.stop()
        offset = closedOffset
        run(0, false)
    }

    function close() {
        run(closedOffset, true)
    }

    function run(to, closing) {
        slide.stop()
        slide.to = to
        slide.closing = closing
        slide.start()
    }

    objectName: "panel"
    clip: true

    NumberAnimation {
        id: slide

        property bool closing: false

        target: panel
        property: "offset"
        duration: panel.duration
        easing.type: Easing.OutQuad
        onFinished: {
            if (slide.closing)
                panel.closeFinished()
        }
    }
}
