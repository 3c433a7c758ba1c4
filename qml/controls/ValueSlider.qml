import QtQuick 2.15

// A slider that moves only when its knob is taken: a touch on the track
// does nothing, so a brushed fader never jumps a level on air. The knob
// follows the finger from where it was taken. `moved(value)` is emitted
// only for the operator's own moves, never when `value` is set from outside
// (for example from a camera's answer), so a page never echoes a value back.
// Vertical sliders run from `from` at the bottom to `to` at the top.
Item {
    id: root
    property real from: 0
    property real to: 100
    property real stepSize: 1
    property real value: 0
    property int orientation: Qt.Horizontal
    property real handleWidth: Theme.sliderHandle
    property real handleHeight: Theme.sliderHandle
    property bool showFill: true
    readonly property bool pressed: grab.pressed
    readonly property bool vertical: orientation === Qt.Vertical
    signal moved(real value)
    // The finger left the knob (pages that send once on release).
    signal released(real value)

    implicitWidth: vertical ? Theme.touchMin + 20 : 360
    implicitHeight: vertical ? 240 : Theme.touchMin

    // The value shown: the operator's while the knob is held, else `value`.
    property real shown: value
    function followValue() { shown = Qt.binding(function() { return root.value }) }

    readonly property real span: to - from
    readonly property real position: span === 0 ? 0 : Math.max(0, Math.min(1, (shown - from) / span))
    readonly property real travel: vertical ? height - handleHeight : width - handleWidth

    function snapped(v) {
        const lo = Math.min(from, to), hi = Math.max(from, to)
        const s = stepSize > 0 ? Math.round((v - from) / stepSize) * stepSize + from : v
        return Math.max(lo, Math.min(hi, s))
    }

    Rectangle {
        id: track
        x: root.vertical ? (root.width - width) / 2 : root.handleWidth / 2
        y: root.vertical ? root.handleHeight / 2 : (root.height - height) / 2
        width: root.vertical ? 10 : root.travel
        height: root.vertical ? root.travel : 10
        radius: 5
        color: Theme.track
        border.color: Theme.outline
        Rectangle {
            visible: root.showFill
            width: root.vertical ? parent.width : root.position * parent.width
            height: root.vertical ? root.position * parent.height : parent.height
            y: root.vertical ? parent.height - height : 0
            radius: 5
            color: root.enabled ? Theme.selected : Theme.offline
        }
    }

    Rectangle {
        id: knob
        objectName: "knob"
        x: root.vertical ? (root.width - width) / 2 : root.position * root.travel
        y: root.vertical ? (1 - root.position) * root.travel : (root.height - height) / 2
        width: root.handleWidth
        height: root.handleHeight
        radius: root.vertical ? Theme.radius : width / 2
        color: grab.pressed ? Theme.pressed : Theme.surfaceRaised
        border.width: Theme.borderWidth
        border.color: root.enabled ? Theme.text : Theme.outline
        Rectangle {
            visible: root.vertical
            anchors.centerIn: parent; width: parent.width - 12; height: 3; color: Theme.text
        }

        MouseArea {
            id: grab
            anchors.fill: parent
            enabled: root.enabled
            preventStealing: true
            property real grabOffset: 0
            function along(mouse) {
                const p = mapToItem(root, mouse.x, mouse.y)
                return root.vertical ? p.y : p.x
            }
            onPressed: {
                const centre = root.vertical ? knob.y + knob.height / 2 : knob.x + knob.width / 2
                grabOffset = along(mouse) - centre
            }
            onPositionChanged: {
                if (root.travel <= 0)
                    return
                const centre = along(mouse) - grabOffset
                const half = root.vertical ? root.handleHeight / 2 : root.handleWidth / 2
                let pos = (centre - half) / root.travel
                if (root.vertical)
                    pos = 1 - pos
                const v = root.snapped(root.from + Math.max(0, Math.min(1, pos)) * root.span)
                if (v !== root.shown) {
                    root.shown = v
                    root.moved(v)
                }
            }
            onReleased: { root.released(root.shown); root.followValue() }
            onCanceled: { root.released(root.shown); root.followValue() }
        }
    }
}
