pragma Singleton
import QtQuick 2.15

// The simulated unit's look: the panel's habits (dark and calm, red for
// program, green for preview, targets a finger can hit).
QtObject {
    readonly property color background: "#101418"
    readonly property color surface: "#1a2027"
    readonly property color raised: "#252d36"
    readonly property color line: "#34404c"
    readonly property color text: "#e0e6ea"
    readonly property color dim: "#8a96a0"
    readonly property color program: "#e0303a"
    readonly property color preview: "#2fb24c"
    readonly property color lamp: "#f0a020"
    readonly property color warn: "#f0a020"
    readonly property color off: "#46505a"
    readonly property int gap: 8
    readonly property int radius: 6
    readonly property int touch: 48          // smallest target
    readonly property int small: 14
    readonly property int body: 16
    readonly property int title: 18
    readonly property int big: 34
}
