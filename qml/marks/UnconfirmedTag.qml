import QtQuick 2.15
import "../controls"

// The switcher's state shown beside it may not be what the board holds: it
// stopped answering, or a read after a recall failed, and it has not been
// read back since (panel.boardStateTrusted). Amber with black words, so it
// reads without colour; the one sign for this on every page.
Rectangle {
    id: tag
    objectName: "unconfirmedTag"
    visible: !panel.boardStateTrusted
    implicitWidth: label.implicitWidth + 12
    height: 20
    radius: 3
    color: Theme.warning
    Text {
        id: label
        anchors.fill: parent; anchors.margins: 2
        horizontalAlignment: Text.AlignHCenter; verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit; minimumPixelSize: 8
        text: qsTr("UNCONFIRMED")
        color: "black"
        font.family: Theme.fontFamily; font.pixelSize: 12; font.bold: true
    }
}
