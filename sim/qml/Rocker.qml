import QtQuick 2.15
import "."

// The zoom rocker: left is wide, right is tele; springs back to the centre.
Rectangle {
    id: rocker
    property int centre: 1250
    property int reach: 700
    property int reading: centre
    signal moved(int value)
    width: 170; height: 52; radius: SimTheme.radius
    color: SimTheme.raised; border.color: SimTheme.line
    objectName: "zoom"
    readonly property real travel: (width - knob.width) / 2

    Text { anchors { left: parent.left; leftMargin: 8; verticalCenter: parent.verticalCenter }
           text: "W"; color: SimTheme.dim; font.pixelSize: SimTheme.body }
    Text { anchors { right: parent.right; rightMargin: 8; verticalCenter: parent.verticalCenter }
           text: "T"; color: SimTheme.dim; font.pixelSize: SimTheme.body }
    Rectangle {
        id: knob
        width: 48; height: parent.height - 8; y: 4; radius: SimTheme.radius
        color: area.pressed ? SimTheme.dim : SimTheme.line; border.color: SimTheme.text
        x: area.pressed ? x : rocker.travel + (rocker.reading - rocker.centre) / rocker.reach * rocker.travel
    }
    MouseArea {
        id: area
        anchors.fill: parent
        function follow(mx) {
            var dx = Math.max(-rocker.travel, Math.min(rocker.travel, mx - rocker.width / 2))
            knob.x = rocker.travel + dx
            rocker.moved(Math.round(rocker.centre + dx / rocker.travel * rocker.reach))
        }
        onPressed: follow(mouse.x)
        onPositionChanged: follow(mouse.x)
        onReleased: rocker.moved(rocker.centre)
        onCanceled: rocker.moved(rocker.centre)
    }
}
