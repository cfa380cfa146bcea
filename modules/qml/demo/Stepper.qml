import QtQuick

// A choice stepped through with two arrows, the current choice between them.
Row {
    id: stepper

    property alias text: label.text
    property bool canPrev: true
    property bool canNext: true

    signal prev()
    signal next()

    width: 120; height: 24

    FlatButton {
        objectName: "prev"
        width: 20; height: parent.height
        text: "\u2039"
        fontSize: mainIten.fontMaxSize
        restColor: mainIten.colorGray1
        enabled: stepper.canPrev
        onClicked: stepper.prev()
    }
    Label {
        id: label
        width: stepper.width - 40; height: parent.height
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    FlatButton {
        objectName: "next"
        width: 20; height: parent.height
        text: "\u203a"
        fontSize: mainIten.fontMaxSize
        restColor: mainIten.colorGray1
        enabled: stepper.canNext
        onClicked: stepper.next()
    }
}
