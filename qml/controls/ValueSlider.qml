import QtQuick 2.15
import QtQuick.Controls 2.15 as C

// A slider with a handle a finger can take. `moved(value)` is emitted only
// for the operator's own moves, never when `value` is set from outside (for
// example from a camera's answer), so a page never echoes a value back.
Item {
    id: root
    property real from: 0
    property real to: 100
    property real stepSize: 1
    property real value: 0
    signal moved(real value)
    // The finger left the handle (pages that send once on release).
    signal released(real value)

    implicitWidth: 360
    implicitHeight: Theme.touchMin

    C.Slider {
        id: slider
        anchors.fill: parent
        from: root.from
        to: root.to
        stepSize: root.stepSize
        snapMode: C.Slider.SnapAlways
        enabled: root.enabled
        leftPadding: Theme.sliderHandle / 2
        rightPadding: Theme.sliderHandle / 2
        topPadding: 0
        bottomPadding: 0
        onMoved: root.moved(value)
        onPressedChanged: if (!pressed) root.released(value)

        background: Rectangle {
            x: slider.leftPadding
            y: slider.topPadding + slider.availableHeight / 2 - height / 2
            width: slider.availableWidth
            height: 10
            radius: 5
            color: Theme.track
            border.color: Theme.outline
            Rectangle {
                width: slider.visualPosition * parent.width
                height: parent.height
                radius: 5
                color: root.enabled ? Theme.selected : Theme.offline
            }
        }
        handle: Rectangle {
            x: slider.leftPadding + slider.visualPosition * slider.availableWidth - width / 2
            y: slider.topPadding + slider.availableHeight / 2 - height / 2
            width: Theme.sliderHandle
            height: Theme.sliderHandle
            radius: width / 2
            color: slider.pressed ? Theme.pressed : Theme.surfaceRaised
            border.width: Theme.borderWidth
            border.color: root.enabled ? Theme.text : Theme.outline
        }
    }
    // Follows `value` again after the operator has dragged.
    Binding { target: slider; property: "value"; value: root.value }
}
