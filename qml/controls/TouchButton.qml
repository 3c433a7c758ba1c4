import QtQuick 2.15

// A finger-sized button. `lit` shows the selected state in `litColor`;
// every press gives feedback at once, before the device answers.
Rectangle {
    id: button
    property alias text: label.text
    property bool lit: false
    property color litColor: Theme.accent
    property alias fontSize: label.font.pixelSize
    readonly property bool down: area.pressed
    signal clicked()
    signal pressed()
    signal released()

    implicitWidth: Math.max(Theme.touchMin, label.implicitWidth + 2 * Theme.margin)
    implicitHeight: Theme.buttonHeight
    radius: Theme.radius
    color: !enabled ? Theme.surface : area.pressed ? Theme.pressed : lit ? litColor : Theme.surfaceRaised
    border.width: Theme.borderWidth
    border.color: lit ? Qt.lighter(litColor, 1.3) : Theme.outline
    opacity: enabled ? 1.0 : 0.5

    Text {
        id: label
        anchors.fill: parent
        anchors.margins: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WordWrap
        fontSizeMode: Text.Fit
        minimumPixelSize: Theme.fontSmall - 3
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormal
        font.bold: button.lit
        color: button.enabled ? (button.lit ? Theme.textOnState : Theme.text) : Theme.disabledText
    }

    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: button.clicked()
        onPressed: button.pressed()
        onReleased: button.released()
        onCanceled: button.released()
    }
}
