import QtQuick

// A block of the main screen: a black panel with its title at the top left.
Rectangle {
    property alias title: caption.text

    width: 232
    color: mainIten.colorBlack

    Label {
        id: caption
        x: 8; y: 12
        font.pixelSize: mainIten.fontMiddleSize
        font.bold: true
    }
}
