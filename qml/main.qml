import QtQuick 2.15
import QtQuick.Window 2.15

// Placeholder root page until the interface pages land.
Window {
    id: root
    visible: true
    width: 1024
    height: 600
    color: "#101418"
    title: "tavrik"

    Text {
        anchors.centerIn: parent
        color: "#e0e6ea"
        font.pixelSize: 28
        text: "tavrik"
    }
}
