import QtQuick 2.15
import "../controls"

// What a source is doing now, in words and shape, not by colour alone:
// "ON AIR" (program, the PiP or key source on program, both sources of a
// mix) or "PVW" (preview). Nothing otherwise. `source` is a crosspoint
// number 0..6.
Rectangle {
    id: tag
    property int source: -1
    readonly property bool onAir: source >= 0 && source <= 6 && ((panel.switcher.onAirMask >> source) & 1) === 1
    readonly property bool onPreview: !onAir && source >= 0 && source <= 6
                                      && ((panel.switcher.previewMask >> source) & 1) === 1
    visible: onAir || onPreview
    width: label.implicitWidth + 10
    height: 18
    radius: 3
    color: onAir ? Theme.programDim : Theme.previewDim
    border.color: Theme.textOnState
    border.width: 1
    Text {
        id: label
        anchors.centerIn: parent
        text: tag.onAir ? qsTr("ON AIR") : qsTr("PVW")
        color: Theme.textOnState
        font.family: Theme.fontFamily; font.pixelSize: 12; font.bold: true
    }
}
