import QtQuick 2.15

// An on-screen keyboard for numbers and addresses: digits, a point, erase
// and done. The owner keeps the text; the keyboard only forwards keys.
Grid {
    id: root
    property bool showPoint: true
    property real keyWidth: 96
    signal digit(string d)
    signal backspace()
    signal accepted()

    columns: 3
    spacing: Theme.spacing

    Repeater {
        model: ["1", "2", "3", "4", "5", "6", "7", "8", "9"]
        TouchButton {
            width: root.keyWidth
            text: modelData
            fontSize: Theme.fontTitle
            onClicked: root.digit(modelData)
        }
    }
    TouchButton {
        width: root.keyWidth
        text: "."
        fontSize: Theme.fontTitle
        enabled: root.showPoint
        onClicked: root.digit(".")
    }
    TouchButton {
        width: root.keyWidth
        text: "0"
        fontSize: Theme.fontTitle
        onClicked: root.digit("0")
    }
    TouchButton {
        width: root.keyWidth
        text: "\u2190"
        fontSize: Theme.fontTitle
        onClicked: root.backspace()
    }
    TouchButton {
        width: root.keyWidth
        text: qsTr("Done")
        lit: true
        litColor: Theme.selected
        onClicked: root.accepted()
    }
}
