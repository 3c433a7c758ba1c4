import QtQuick 2.15
import Tavrik.Ui 1.0

// A finger-sized button. `lit` shows the selected state in `litColor`;
// every press gives feedback at once, before the device answers.
//
// How a button acts, chosen per instance:
// - `clicked()` on release (the default, for off-air work);
// - `actOnPress`: `activated()` on touch-down, as a hardware key does, and a
//   second touch-down within `guardMs` is ignored (for CUT, AUTO, buses);
// - `holdMs` > 0: `held()` once the finger has stayed `holdMs`, with the
//   progress drawn across the button; lifting earlier does nothing. With
//   `holdMs` 0 a tap emits `held()` (a page can switch its guard off);
// - `danger`: a choice that cannot be taken back, drawn as such.
// `unconfirmed`: the device has not confirmed the state shown; a lit
// button is drawn faded (as the home page draws an unconfirmed bus).
Rectangle {
    id: button
    property alias text: label.text
    property bool lit: false
    property color litColor: Theme.selected
    property alias fontSize: label.font.pixelSize
    property bool actOnPress: false
    property alias guardMs: guard.guardMs
    property int holdMs: -1
    property bool danger: false
    property bool unconfirmed: false
    readonly property bool down: area.pressed
    readonly property real holdProgress: guard.holdProgress
    signal clicked()
    signal pressed()
    signal released()
    signal activated()
    signal held()

    implicitWidth: Math.max(Theme.touchMin, label.implicitWidth + 2 * Theme.margin)
    implicitHeight: Theme.buttonHeight
    radius: Theme.radius
    color: !enabled ? Theme.surface : area.pressed ? Theme.pressed
         : lit ? litColor : danger ? Theme.dangerDim : Theme.surfaceRaised
    border.width: danger ? 2 * Theme.borderWidth : Theme.borderWidth
    border.color: danger ? Theme.danger : lit ? Qt.lighter(litColor, 1.3) : Theme.outline
    opacity: !enabled ? 0.5 : lit && unconfirmed ? 0.6 : 1

    // Hold progress: fills from the left while the finger stays.
    Rectangle {
        visible: guard.holding || guard.holdProgress > 0
        x: Theme.borderWidth; y: Theme.borderWidth
        height: parent.height - 2 * Theme.borderWidth
        width: (parent.width - 2 * Theme.borderWidth) * guard.holdProgress
        radius: Theme.radius
        color: Theme.holdFill
    }

    Text {
        id: label
        anchors.fill: parent
        anchors.margins: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WordWrap
        fontSizeMode: Text.Fit
        minimumPixelSize: Theme.fontSmall - 3
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormal
        font.bold: button.lit || button.danger
        color: button.enabled ? (button.lit ? Theme.textOnState : Theme.text) : Theme.disabledText
    }

    TouchGuard {
        id: guard
        holdMs: Math.max(0, button.holdMs)
        onHeld: button.held()
    }

    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: button.clicked()
        onPressed: {
            button.pressed()
            if (button.actOnPress && guard.admit())
                button.activated()
            if (button.holdMs >= 0)
                guard.beginHold()
        }
        onReleased: { guard.cancelHold(); button.released() }
        onCanceled: { guard.cancelHold(); button.released() }
    }
}
