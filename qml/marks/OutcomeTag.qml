import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// What became of the last press of `control` (a Switching.Control), shown
// at that control for as long as the panel keeps it (about 2 s). Sits
// inside the control's own area, along its bottom edge.
Rectangle {
    id: tag
    property int control: -1
    readonly property int kind: panel.switching.outcomeKind
    // No control (-1) is also what outcomeControl reads when nothing is shown.
    visible: control >= 0 && panel.switching.outcomeControl === control
    height: 22
    radius: 3
    color: kind === Outcome.Done ? Theme.previewDim : Theme.warning
    border.color: Theme.textOnState
    border.width: 1
    function text(kind) {
        switch (kind) {
        case Outcome.Done: return qsTr("DONE")
        case Outcome.Refused: return qsTr("REFUSED BY SWITCHER")
        case Outcome.NotAnswering: return qsTr("NOT SENT: NO ANSWER")
        case Outcome.LineClosed: return qsTr("NOT SENT: LINE CLOSED")
        case Outcome.Stale: return qsTr("NOT SENT: TOO LATE")
        case Outcome.TransitionRunning: return qsTr("NOT SENT: TRANSITION")
        case Outcome.CameraOffline: return qsTr("NOT SENT: CAMERA OFFLINE")
        }
        return ""
    }
    Text {
        anchors.fill: parent
        anchors.leftMargin: 3; anchors.rightMargin: 3
        horizontalAlignment: Text.AlignHCenter; verticalAlignment: Text.AlignVCenter
        // Taller tags (CUT, AUTO, a bus's name) wrap into larger lines.
        wrapMode: tag.height >= 36 ? Text.WordWrap : Text.NoWrap
        fontSizeMode: Text.Fit; minimumPixelSize: 9
        text: tag.text(tag.kind)
        color: tag.kind === Outcome.Done ? Theme.textOnState : "black"
        font.family: Theme.fontFamily; font.pixelSize: tag.height >= 36 ? 17 : 13; font.bold: true
    }
}
