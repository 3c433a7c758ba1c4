import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Picks a failure mode; `current` is what the device reports, so the box
// always shows the device's real mode, whoever changed it.
ComboBox {
    id: box
    property string current
    signal picked(string mode)
    implicitHeight: 40
    font.pixelSize: SimTheme.small
    currentIndex: Math.max(0, model.indexOf(current))
    onActivated: picked(model[index])
    palette.button: current === model[0] ? SimTheme.raised : Qt.darker(SimTheme.warn, 2.2)
    palette.buttonText: SimTheme.text
    palette.window: SimTheme.raised
    palette.text: SimTheme.text
    palette.base: SimTheme.raised
    palette.highlight: SimTheme.line
    palette.highlightedText: SimTheme.text
    palette.light: SimTheme.raised
    palette.mid: SimTheme.line
    palette.dark: SimTheme.line
}
