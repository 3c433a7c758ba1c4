import QtQuick 2.15

// Text in the panel's font and colours; a long text shrinks to fit its box
// instead of running under a neighbour.
Text {
    property bool dim: false
    color: !enabled ? Theme.disabledText : dim ? Theme.textDim : Theme.text
    font.family: Theme.fontFamily
    font.pixelSize: Theme.fontNormal
    verticalAlignment: Text.AlignVCenter
    elide: Text.ElideRight
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: Theme.fontSmall - 3
}
