import QtQuick 2.15
import "."

// The T-bar: drag the handle; the lower end is reading 0, the top the
// converter's full range. Shows the unit's reading when left alone.
Item {
    id: bar
    property int reading: 0
    property int maximum: 2047
    signal moved(int value)
    width: 90; height: 250
    objectName: "tbar"

    Rectangle {
        id: track
        anchors.horizontalCenter: parent.horizontalCenter
        y: handle.height / 2; width: 10; height: parent.height - handle.height
        radius: 5; color: SimTheme.raised; border.color: SimTheme.line
    }
    Rectangle {
        id: handle
        width: bar.width; height: 40; radius: SimTheme.radius
        color: drag.pressed ? SimTheme.line : SimTheme.raised
        border.color: SimTheme.dim
        y: drag.pressed ? y : (1 - bar.reading / bar.maximum) * (bar.height - height)
        Text { anchors.centerIn: parent; text: bar.reading; color: SimTheme.text; font.pixelSize: SimTheme.body }
    }
    MouseArea {
        id: drag
        anchors.fill: parent
        function follow(my) {
            var top = Math.max(0, Math.min(bar.height - handle.height, my - handle.height / 2))
            handle.y = top
            bar.moved(Math.round((1 - top / (bar.height - handle.height)) * bar.maximum))
        }
        onPressed: follow(mouse.y)
        onPositionChanged: follow(mouse.y)
    }
}
