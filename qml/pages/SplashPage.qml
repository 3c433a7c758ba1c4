import QtQuick 2.15
import "../controls"

// Shown from power-on until the start-up sequence lets the operator in; the
// launch logo for its first seconds, then what the panel is doing. Nothing
// moves: the software renderer has better things to draw.
Rectangle {
    color: "black"
    MouseArea { anchors.fill: parent } // no touch reaches the home page yet

    Column {
        anchors.centerIn: parent
        spacing: 18
        visible: panel.launchLogoVisible

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 10
            Repeater {
                model: [Theme.program, Theme.preview, Theme.info]
                Rectangle { width: 22; height: 64; radius: 4; color: modelData }
            }
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "TERVANA"
            color: Theme.text
            font.family: Theme.fontFamily; font.pixelSize: 64; font.bold: true
            font.letterSpacing: 12
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("live production switcher")
            color: Theme.textDim
            font.family: Theme.fontFamily; font.pixelSize: Theme.fontLarge
            font.letterSpacing: 3
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 14
        visible: !panel.launchLogoVisible
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Starting...")
            color: Theme.text
            font.family: Theme.fontFamily; font.pixelSize: Theme.fontTitle; font.bold: true
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: panel.mainboardConnected ? qsTr("Reading the switcher state")
                                           : qsTr("Waiting for the mainboard")
            color: Theme.textDim
            font.family: Theme.fontFamily; font.pixelSize: Theme.fontNormal
        }
    }

    Text {
        anchors.right: parent.right; anchors.bottom: parent.bottom; anchors.margins: Theme.margin
        text: panel.appVersion
        color: Theme.textDim
        font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall
    }
}
