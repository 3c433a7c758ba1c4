import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// The control API: switched on or off here, with where it listens and the
// two tokens a control surface needs (read-only and control). New tokens
// lock out every surface set up with the old ones.
Rectangle {
    id: root
    width: 820; height: 440
    color: Theme.surfaceRaised
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius
    signal closed()

    readonly property var api: panel.api
    readonly property bool on: api !== null && api.enabled

    Column {
        anchors { fill: parent; margins: Theme.margin * 2 }
        spacing: Theme.spacing * 2
        ThemeText { width: parent.width; height: 40; font.bold: true; font.pixelSize: Theme.fontTitle; text: qsTr("Control API") }
        Row {
            spacing: Theme.margin * 2
            ToggleSwitch {
                objectName: "apiEnabled"
                checked: root.on
                enabled: root.api !== null
                onToggled: root.api.enabled = !root.on
            }
            ThemeText {
                width: 560; height: Theme.buttonHeight; dim: !root.on
                text: !root.on ? qsTr("Off: nothing listens.")
                      : root.api.port === 0 ? qsTr("On, not listening yet.")
                      : qsTr("ws://%1:%2   clients: %3").arg(root.api.address).arg(root.api.port).arg(root.api.clients)
            }
        }
        ThemeText { width: parent.width; height: 30; text: qsTr("Control token") }
        ThemeText {
            objectName: "apiControlToken"
            width: parent.width; height: 30; font.family: "monospace"
            text: root.api ? root.api.controlToken : ""
        }
        ThemeText { width: parent.width; height: 30; text: qsTr("Read-only token") }
        ThemeText {
            width: parent.width; height: 30; font.family: "monospace"
            text: root.api ? root.api.readToken : ""
        }
        Row {
            spacing: Theme.margin * 3
            TouchButton {
                objectName: "apiNewTokens"
                width: 240; text: qsTr("New tokens")
                enabled: root.api !== null
                onClicked: root.api.regenerateTokens()
            }
            TouchButton {
                objectName: "apiClose"
                width: 180; text: qsTr("CLOSE")
                onClicked: root.closed()
            }
        }
    }
}
