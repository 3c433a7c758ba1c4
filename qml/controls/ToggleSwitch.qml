import QtQuick 2.15

// An on/off switch the size of a button. The owner sets `checked` from the
// state it knows; a press only asks (`toggled`), so the switch never shows a
// state the device has not taken.
Rectangle {
    id: root
    property bool checked: false
    property string onText: qsTr("ON")
    property string offText: qsTr("OFF")
    property color onColor: Theme.selected
    signal toggled()

    implicitWidth: 132
    implicitHeight: Theme.buttonHeight
    radius: height / 2
    color: root.checked ? onColor : Theme.track
    border.width: Theme.borderWidth
    border.color: root.checked ? Qt.lighter(onColor, 1.3) : Theme.outline
    opacity: enabled ? 1.0 : 0.5

    Rectangle {
        id: knob
        width: parent.height - 12
        height: width
        radius: width / 2
        y: 6
        x: root.checked ? parent.width - width - 6 : 6
        color: area.pressed ? Theme.pressed : Theme.text
    }
    ThemeText {
        anchors.verticalCenter: parent.verticalCenter
        x: root.checked ? 10 : knob.width + 14
        width: parent.width - knob.width - 24
        horizontalAlignment: Text.AlignHCenter
        font.bold: true
        color: root.checked ? Theme.textOnState : Theme.textDim
        text: root.checked ? root.onText : root.offText
    }
    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: root.toggled()
    }
}
