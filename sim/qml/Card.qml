import QtQuick 2.15
import "."

// A titled panel for one device.
Rectangle {
    id: card
    property string title
    property bool alert: false           // the device is gone or failing
    default property alias content: body.data
    color: SimTheme.surface
    radius: SimTheme.radius
    border.color: alert ? SimTheme.warn : SimTheme.line
    border.width: alert ? 2 : 1

    Text {
        id: heading
        x: 10; y: 6
        text: card.title
        color: SimTheme.dim
        font.pixelSize: SimTheme.small
        font.bold: true
        font.capitalization: Font.AllUppercase
    }
    Item {
        id: body
        anchors { left: parent.left; right: parent.right; top: heading.bottom; bottom: parent.bottom; margins: 10; topMargin: 6 }
    }
}
