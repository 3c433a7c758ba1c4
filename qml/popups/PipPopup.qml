import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// Placeholder until the page is built: its title and a way out.
Rectangle {
    id: root
    color: Theme.surface
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius

    Text {
        anchors.left: parent.left; anchors.leftMargin: Theme.margin * 2
        anchors.right: close.left; anchors.rightMargin: Theme.margin
        anchors.verticalCenter: close.verticalCenter
        elide: Text.ElideRight
        text: qsTr("Picture in picture")
        color: Theme.text
        font.family: Theme.fontFamily; font.pixelSize: Theme.fontTitle; font.bold: true
    }
    TouchButton {
        id: close
        anchors.right: parent.right; anchors.top: parent.top; anchors.margins: Theme.margin
        width: 120
        text: qsTr("CLOSE")
        onClicked: panel.openFunction(-1)
    }
}
