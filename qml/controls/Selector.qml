import QtQuick 2.15

// A row of choices of which one is selected (a segmented control).
// `model` is a list of texts; `activated(index)` forwards a press, and
// `currentIndex` shows what the owner says is selected (-1: none);
// `swatches`, when given, a colour per choice drawn above its name.
Row {
    id: root
    property var model: []
    property int currentIndex: -1
    property real buttonWidth: 120
    property color litColor: Theme.selected
    property var swatches: []
    // The choice shown is not confirmed by the device: drawn faded, as the
    // home page draws an unconfirmed bus.
    property bool unconfirmed: false
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
            unconfirmed: root.unconfirmed
            enabled: root.enabled
            onClicked: root.activated(index)
            Rectangle {
                visible: index < root.swatches.length
                anchors { horizontalCenter: parent.horizontalCenter; top: parent.top; topMargin: 5 }
                width: parent.width - 24; height: 12; radius: 3
                color: visible ? root.swatches[index] : "transparent"
                border.color: Theme.text; border.width: 1
            }
        }
    }
}
