import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// Network settings: DHCP or a static address, mask and gateway typed on the
// digit keyboard. NetworkSettings checks the entries and writes them.
Rectangle {
    id: root
    color: Theme.surface
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius

    readonly property var panelRef: panel
    NetworkSettings {
        id: net
        panel: root.panelRef
        onApplied: panel.showPage(Panel.SetupMenuPage)
    }
    Component.onCompleted: net.load()
    // The field the keyboard types into: 0 address, 1 mask, 2 gateway.
    property int field: 0
    function fieldText(i) { return i === 0 ? net.address : i === 1 ? net.mask : net.gateway }
    function setField(i, t) {
        if (i === 0) net.address = t
        else if (i === 1) net.mask = t
        else net.gateway = t
    }

    ThemeText {
        id: title
        x: Theme.margin * 2; y: Theme.margin
        width: 400; height: Theme.buttonHeight
        font.pixelSize: Theme.fontTitle
        font.bold: true
        text: qsTr("Network")
    }
    TouchButton {
        objectName: "networkClose"
        anchors { right: parent.right; top: parent.top; margins: Theme.margin }
        width: 160
        text: qsTr("CLOSE")
        onClicked: panel.showPage(Panel.SetupMenuPage)
    }

    Column {
        id: form
        x: Theme.margin * 2; y: title.y + title.height + Theme.margin
        spacing: Theme.spacing * 2

        Row {
            spacing: Theme.margin
            ThemeText { width: 180; height: Theme.buttonHeight; text: qsTr("DHCP") }
            ToggleSwitch {
                objectName: "networkDhcp"
                checked: net.dhcp
                onToggled: net.dhcp = !net.dhcp
            }
        }
        Repeater {
            model: [qsTr("Address"), qsTr("Mask"), qsTr("Gateway")]
            Row {
                spacing: Theme.margin
                ThemeText { width: 180; height: Theme.buttonHeight; text: modelData }
                Rectangle {
                    objectName: "networkField" + index
                    width: 360; height: Theme.buttonHeight
                    radius: Theme.radius
                    enabled: !net.dhcp
                    opacity: enabled ? 1.0 : 0.5
                    color: Theme.track
                    border.width: Theme.borderWidth
                    border.color: enabled && root.field === index ? Theme.selected : Theme.outline
                    ThemeText {
                        anchors.fill: parent
                        anchors.margins: Theme.spacing
                        font.pixelSize: Theme.fontLarge
                        text: root.fieldText(index)
                    }
                    MouseArea { anchors.fill: parent; onClicked: root.field = index }
                }
            }
        }
        ThemeText {
            objectName: "networkError"
            width: 560; height: 56
            wrapMode: Text.WordWrap
            color: Theme.warning
            text: net.error
        }
        TouchButton {
            objectName: "networkApply"
            width: 240
            text: qsTr("APPLY")
            lit: true
            litColor: Theme.selected
            onClicked: net.apply()
        }
    }

    DigitKeyboard {
        objectName: "networkKeyboard"
        anchors { right: parent.right; rightMargin: Theme.margin * 2; top: form.top }
        enabled: !net.dhcp
        opacity: enabled ? 1.0 : 0.5
        onDigit: if (root.fieldText(root.field).length < 15) root.setField(root.field, root.fieldText(root.field) + d)
        onBackspace: root.setField(root.field, root.fieldText(root.field).slice(0, -1))
        onAccepted: root.field = (root.field + 1) % 3
    }
}
