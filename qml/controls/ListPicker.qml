import QtQuick 2.15

// A vertical list of choices, one selected; scrolls when it is longer than
// its box. `model` is a list of texts; `swatches`, when given, a colour
// per entry drawn beside its name.
ListView {
    id: root
    property int selectedIndex: -1
    property color litColor: Theme.selected
    property var swatches: []
    signal activated(int index)

    implicitWidth: 260
    implicitHeight: 4 * (Theme.buttonHeight + Theme.spacing)
    clip: true
    spacing: Theme.spacing
    boundsBehavior: Flickable.StopAtBounds
    delegate: TouchButton {
        width: root.width
        text: modelData
        lit: index === root.selectedIndex
        litColor: root.litColor
        enabled: root.enabled
        onClicked: root.activated(index)
        Rectangle {
            visible: index < root.swatches.length
            x: Theme.margin; anchors.verticalCenter: parent.verticalCenter
            width: 32; height: 32; radius: 4
            color: visible ? root.swatches[index] : "transparent"
            border.color: Theme.text; border.width: 1
        }
    }
}
