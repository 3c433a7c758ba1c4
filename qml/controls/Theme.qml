pragma Singleton
import QtQuick 2.15

// Colours, sizes and fonts of every page. Pages are laid out at 1024x600
// (the unit's 7-inch screen) and the root page scales them uniformly.
QtObject {
    readonly property int designWidth: 1024
    readonly property int designHeight: 600

    // Dark, calm surfaces; state colours that read at arm's length. Red is
    // program / on air and green is preview, nowhere else; everything the
    // operator has chosen (a function, an entry, a camera) is `selected`.
    readonly property color background: "#111417"
    readonly property color surface: "#1b2025"
    readonly property color surfaceRaised: "#262d34"
    readonly property color outline: "#3a444e"
    readonly property color text: "#e8ecef"
    readonly property color textDim: "#9aa5af"
    readonly property color textOnState: "#ffffff"
    readonly property color program: "#d42a2a"
    readonly property color programDim: "#5a1c1c"
    readonly property color preview: "#1fa34a"
    readonly property color previewDim: "#1a4428"
    readonly property color accent: "#f0a020"     // armed states: store mode, lock
    readonly property color selected: "#2f7fd0"   // whatever is chosen, on every page
    // A choice that cannot be taken back (shut down, reset, overwrite).
    readonly property color danger: "#ff8c1a"
    readonly property color dangerDim: "#4a2a0a"
    readonly property color holdFill: "#66ffffff" // a hold's progress
    readonly property color info: "#2f7fd0"
    readonly property color warning: "#e0a000"
    readonly property color offline: "#5b636b"
    readonly property color pressed: "#3d4752"
    readonly property color disabledText: "#5b636b"
    readonly property color scrim: "#c0000000"    // behind pop-ups and notices
    readonly property color track: "#0c0f12"      // slider grooves, value wells
    // The switcher's eight border and background colours, in code order
    // (white, yellow, cyan, green, magenta, red, blue, black): the swatches
    // drawn beside their names.
    readonly property var colourCodes: ["#ffffff", "#ffff00", "#00ffff", "#00ff00",
                                        "#ff00ff", "#ff0000", "#0000ff", "#000000"]

    // An audio meter's bar at `level` (0..255): red near full scale,
    // amber below it, green otherwise.
    function meterColour(level) { return level > 230 ? program : level > 190 ? warning : preview }

    // Touch targets: at least 9 mm on a 7-inch 1024x600 panel (about 60 px).
    readonly property int touchMin: 60
    readonly property int buttonHeight: 64
    readonly property int busButtonWidth: 104
    readonly property int spacing: 8
    readonly property int margin: 12
    readonly property int radius: 6
    readonly property int borderWidth: 2
    // A pop-up covers the lower part of the screen and leaves the buses'
    // state visible above it.
    readonly property int popupHeight: 400
    readonly property int popupHeaderHeight: 64
    readonly property int sliderHandle: 56
    readonly property int labelWidth: 150         // row captions in pop-ups

    // One family for every language: the CJK font carries Latin glyphs too,
    // so English and Chinese share metrics and nothing jumps on a switch.
    readonly property string fontFamily: "WenQuanYi Micro Hei"
    readonly property int fontSmall: 15
    readonly property int fontNormal: 18
    readonly property int fontLarge: 22
    readonly property int fontTitle: 26
    readonly property int fontValue: 30          // numbers read from afar
}
