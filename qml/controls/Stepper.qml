import QtQuick 2.15

// Minus, value, plus. Presses and releases are forwarded as they happen, so
// the owner can decide what holding a button does. With `autoRepeat` the
// stepper repeats `decrement`/`increment` itself while a button is held:
// first after 400 ms, then every 100 ms.
Row {
    id: root
    property string valueText: ""
    property real valueWidth: 120
    property bool autoRepeat: false
    // The value is not confirmed by the device: an amber frame, the number
    // faded (as the home page draws an unconfirmed bus).
    property bool unconfirmed: false
    signal minusPressed()
    signal minusReleased()
    signal plusPressed()
    signal plusReleased()
    signal decrement()
    signal increment()

    spacing: Theme.spacing

    TouchButton {
        id: minus
        objectName: "stepperMinus"
        width: Theme.touchMin + 10
        text: "\u2212"
        fontSize: Theme.fontTitle
        enabled: root.enabled
        onPressed: { root.minusPressed(); root.decrement(); repeat.restart() }
        onReleased: { repeat.stop(); root.minusReleased() }
    }
    Rectangle {
        width: root.valueWidth
        height: Theme.buttonHeight
        radius: Theme.radius
        color: Theme.track
        border.color: root.unconfirmed ? Theme.warning : Theme.outline
        border.width: root.unconfirmed ? Theme.borderWidth : 1
        ThemeText {
            anchors.fill: parent
            anchors.margins: 4
            horizontalAlignment: Text.AlignHCenter
            font.pixelSize: Theme.fontValue
            text: root.valueText
            enabled: root.enabled
            opacity: root.unconfirmed ? 0.6 : 1
        }
    }
    TouchButton {
        id: plus
        objectName: "stepperPlus"
        width: Theme.touchMin + 10
        text: "+"
        fontSize: Theme.fontTitle
        enabled: root.enabled
        onPressed: { root.plusPressed(); root.increment(); repeat.restart() }
        onReleased: { repeat.stop(); root.plusReleased() }
    }
    Timer {
        id: repeat
        interval: 400
        repeat: true
        onTriggered: {
            if (!root.autoRepeat) { stop(); return }
            interval = 100
            if (minus.down) root.decrement()
            else if (plus.down) root.increment()
            else stop()
        }
        onRunningChanged: if (!running) interval = 400
    }
}
