import QtQuick 2.15

// An on-screen keyboard for short names: digits, capitals, a few signs,
// space, erase and done. The owner keeps the text; the keyboard only
// forwards keys.
Column {
    id: root
    property real keyWidth: 76
    signal key(string k)
    signal backspace()
    signal accepted()

    spacing: Theme.spacing

    Repeater {
        model: ["1234567890", "QWERTYUIOP", "ASDFGHJKL-", "ZXCVBNM./+"]
        Row {
            spacing: Theme.spacing
            Repeater {
                model: modelData.split("")
                TouchButton {
                    width: root.keyWidth
                    text: modelData
                    fontSize: Theme.fontLarge
                    onClicked: root.key(modelData)
                }
            }
        }
    }
    Row {
        spacing: Theme.spacing
        TouchButton {
            width: root.keyWidth * 6 + Theme.spacing * 5
            text: qsTr("Space")
            onClicked: root.key(" ")
        }
        TouchButton {
            width: root.keyWidth * 2 + Theme.spacing
            text: "\u2190"
            fontSize: Theme.fontTitle
            onClicked: root.backspace()
        }
        TouchButton {
            width: root.keyWidth * 2 + Theme.spacing
            text: qsTr("Done")
            lit: true
            litColor: Theme.selected
            onClicked: root.accepted()
        }
    }
}
