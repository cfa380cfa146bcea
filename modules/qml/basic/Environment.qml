import QtQuick

// The window's backdrop: background, title bar and the logo on it.
Item {
    width: 1024
    height: 640

    Image {
        source: sourceBackground
    }

    Image {
        source: sourceTitleBar
    }

    Image {
        y: 10
        source: sourceTitleLogo
    }
}
