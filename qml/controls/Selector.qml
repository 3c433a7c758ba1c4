import QtQuick 2.15

// A row of choices of which one is selected (a segmented control).
// `model` is a list of texts; `activated(index)` forwards a press, and
// `currentIndex` shows what the owner says is selected (-1: none).
Row {
    id: root
    property var model: []
    property int currentIndex: -1
    property real buttonWidth: 120
    property color litColor: Theme.selected
    signal activated(int index)

    spacing: Theme.spacing

    Repeater {
        model: root.model
        TouchButton {
            // "<selector>/<index>", so tests and tools can find each choice.
            objectName: root.objectName + "/" + index
            width: root.buttonWidth
            text: modelData
            lit: index === root.currentIndex
            litColor: root.litColor
            enabled: root.enabled
            onClicked: root.activated(index)
        }
    }
}
