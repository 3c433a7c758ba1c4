import QtQuick 2.15
import "."

Rectangle {
    property color lit: SimTheme.lamp
    property bool on: false
    width: 14; height: 14; radius: width / 2
    color: on ? lit : SimTheme.off
    border.color: Qt.darker(color, 1.6)
}
