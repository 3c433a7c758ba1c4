import QtQuick 2.15
import "."

// One hardware key: held while pressed (the marker file exists), with its lamp.
Rectangle {
    id: key
    property string label
    property int number
    property bool held: false            // as the unit reports it
    property bool lampOn: false
    property color lampColor: SimTheme.lamp
    signal down()
    signal up()
    width: 88; height: 64
    radius: SimTheme.radius
    color: held || area.pressed ? SimTheme.line : SimTheme.raised
    border.color: lampOn ? lampColor : SimTheme.line
    border.width: lampOn ? 3 : 1
    objectName: "key" + number

    Text {
        anchors.centerIn: parent
        text: key.label
        color: SimTheme.text
        font.pixelSize: SimTheme.title
        font.bold: true
    }
    Lamp { anchors { right: parent.right; top: parent.top; margins: 6 } on: key.lampOn; lit: key.lampColor }
    // The panel looks at the keys every 30 ms or so: a click shorter than
    // a few passes would be missed, so the key stays down at least minHoldMs.
    property int minHoldMs: 150
    property double pressedAt: 0
    Timer { id: late; onTriggered: key.up() }
    function release() {
        var left = minHoldMs - (Date.now() - pressedAt)
        if (left > 0) { late.interval = left; late.start() } else { key.up() }
    }
    MouseArea {
        id: area
        anchors.fill: parent
        onPressed: { late.stop(); key.pressedAt = Date.now(); key.down() }
        onReleased: key.release()
        onCanceled: key.release()
    }
}
