import QtQuick

// Text of the dashboard: its font, white, normal size unless told otherwise.
Text {
    color: mainIten.fontColor
    font.family: mainIten.fontFamily
    font.pixelSize: mainIten.fontNormalSize
}
