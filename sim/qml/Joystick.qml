import QtQuick 2.15
import "."

// The joystick: drag the knob; it springs back to the centre on release.
// Right and up raise the readings, as on the unit.
Rectangle {
    id: stick
    property int centre: 1240
    property int reach: 800
    property int readingX: centre
    property int readingY: centre
    signal moved(int x, int y)
    width: 170; height: 170; radius: width / 2
    color: SimTheme.raised; border.color: SimTheme.line
    objectName: "joystick"
    readonly property real travel: (width - knob.width) / 2

    Rectangle { anchors.centerIn: parent; width: 1; height: parent.height - 20; color: SimTheme.line }
    Rectangle { anchors.centerIn: parent; height: 1; width: parent.width - 20; color: SimTheme.line }
    Rectangle {
        id: knob
        width: 56; height: 56; radius: 28
        color: area.pressed ? SimTheme.dim : SimTheme.line
        border.color: SimTheme.text
        x: area.pressed ? x : stick.travel + (stick.readingX - stick.centre) / stick.reach * stick.travel
        y: area.pressed ? y : stick.travel - (stick.readingY - stick.centre) / stick.reach * stick.travel
    }
    MouseArea {
        id: area
        anchors.fill: parent
        function follow(mx, my) {
            var dx = mx - stick.width / 2, dy = my - stick.height / 2
            var len = Math.sqrt(dx * dx + dy * dy)
            if (len > stick.travel) { dx *= stick.travel / len; dy *= stick.travel / len }
            knob.x = stick.travel + dx; knob.y = stick.travel + dy
            stick.moved(Math.round(stick.centre + dx / stick.travel * stick.reach),
                        Math.round(stick.centre - dy / stick.travel * stick.reach))
        }
        onPressed: follow(mouse.x, mouse.y)
        onPositionChanged: follow(mouse.x, mouse.y)
        onReleased: stick.moved(stick.centre, stick.centre)
        onCanceled: stick.moved(stick.centre, stick.centre)
    }
}
