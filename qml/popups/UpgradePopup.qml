import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// The upgrade prompt: what the update check found, Upgrade / Not now, and the
// mainboard firmware's progress while it is written. UpgradeFlow holds the
// logic.
Rectangle {
    id: root
    width: 680; height: 380
    color: Theme.surface
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius

    readonly property var panelRef: panel
    UpgradeFlow { id: flow; panel: root.panelRef }
    Component.onCompleted: flow.shown()

    ThemeText {
        id: title
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: Theme.margin * 2 }
        height: 40
        font.pixelSize: Theme.fontTitle
        font.bold: true
        text: qsTr("Upgrade")
    }
    ThemeText {
        objectName: "upgradeText"
        anchors { left: parent.left; right: parent.right; top: title.bottom; margins: Theme.margin * 2 }
        height: 130
        wrapMode: Text.WordWrap
        fontSizeMode: Text.Fit
        verticalAlignment: Text.AlignVCenter
        font.pixelSize: Theme.fontLarge
        text: flow.text
    }
    // The firmware's progress, from the percentages the upgrade reports.
    Rectangle {
        id: bar
        visible: flow.upgrading
        anchors { left: parent.left; right: parent.right; bottom: buttons.top; margins: Theme.margin * 2 }
        height: 24
        radius: 4
        color: Theme.track
        border.color: Theme.outline
        Rectangle {
            width: parent.width * flow.progress / 100
            height: parent.height
            radius: 4
            color: Theme.selected
        }
    }
    Row {
        id: buttons
        anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: Theme.margin * 2 }
        spacing: Theme.margin * 4
        TouchButton {
            objectName: "upgradeYes"
            width: 200
            text: qsTr("Upgrade")
            danger: true
            enabled: flow.buttonsEnabled
            onClicked: flow.yes()
        }
        TouchButton {
            objectName: "upgradeNo"
            width: 200
            text: qsTr("Not now")
            enabled: flow.buttonsEnabled
            onClicked: flow.no()
        }
    }
}
