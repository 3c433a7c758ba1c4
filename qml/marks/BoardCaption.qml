import QtQuick 2.15
import "../controls"

// The name of a field that shows the switcher's state. While that state is
// unconfirmed it is drawn as the buses' names are: an amber frame, a "?"
// after the name and the UNCONFIRMED tag under it, so the value beside it
// is not taken for the board's.
Rectangle {
    id: caption
    property string text
    // False for a caption of the panel's own values, drawn alike but never marked.
    property bool fromBoard: true
    readonly property bool unconfirmed: fromBoard && !panel.boardStateTrusted
    // The frame while the state is confirmed (none by default).
    property color frameColor: "transparent"
    property int padding: 8
    property alias font: label.font
    property alias horizontalAlignment: label.horizontalAlignment

    implicitWidth: 170
    implicitHeight: Theme.buttonHeight
    radius: Theme.radius
    color: "transparent"
    border.color: unconfirmed ? Theme.warning : frameColor
    border.width: Theme.borderWidth
    Text {
        id: label
        anchors.fill: parent
        anchors.leftMargin: caption.padding; anchors.rightMargin: 4
        anchors.topMargin: 4; anchors.bottomMargin: caption.unconfirmed ? 24 : 4
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WordWrap
        fontSizeMode: Text.Fit; minimumPixelSize: 12
        text: caption.unconfirmed ? caption.text + "?" : caption.text
        color: Theme.text
        font.family: Theme.fontFamily; font.pixelSize: Theme.fontNormal
    }
    UnconfirmedTag {
        visible: caption.unconfirmed
        anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
        anchors.margins: 3
    }
}
