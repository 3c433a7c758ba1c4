import QtQuick 2.15
import "../controls"

// While the panel re-reads the switcher (after a user memory or a factory
// default), over the lower two thirds; the root page marks the buses above
// as updating. Nothing is pressable until the re-read ends.
Rectangle {
    color: "#e6101418"
    MouseArea { anchors.fill: parent }

    Rectangle {
        anchors.centerIn: parent
        width: 520; height: 180
        radius: Theme.radius
        color: Theme.surface
        border.color: Theme.info; border.width: Theme.borderWidth
        Column {
            anchors.centerIn: parent
            width: parent.width - 4 * Theme.margin
            spacing: 12
            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: qsTr("Loading...")
                color: Theme.text
                font.family: Theme.fontFamily; font.pixelSize: Theme.fontTitle; font.bold: true
            }
            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: qsTr("Reading the switcher state. The buses are up to date again in a few seconds.")
                color: Theme.textDim
                font.family: Theme.fontFamily; font.pixelSize: Theme.fontNormal
            }
        }
    }
}
