import QtQuick 2.15
import "../controls"

// Marks a control whose camera (0..2) is offline: a struck-through grey
// tag with "OFFLINE", so it reads without colour.
Rectangle {
    id: tag
    property int camera: -1
    readonly property bool offline: camera >= 0 && camera <= 2
                                    && ![panel.cam1Online, panel.cam2Online, panel.cam3Online][camera]
    visible: offline
    width: label.implicitWidth + 10
    height: 18
    radius: 3
    color: Theme.background
    border.color: Theme.textDim
    border.width: 1
    Text {
        id: label
        anchors.centerIn: parent
        text: qsTr("OFFLINE")
        color: Theme.text
        font.family: Theme.fontFamily; font.pixelSize: 12; font.bold: true
        font.strikeout: true
    }
}
