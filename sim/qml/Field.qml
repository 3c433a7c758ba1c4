import QtQuick 2.15
import "."

// One labelled value; the label keeps a fixed width so values line up.
Row {
    property alias label: name.text
    property alias value: val.text
    property color valueColor: SimTheme.text
    property int labelWidth: 92
    spacing: 6
    Text { id: name; width: labelWidth; color: SimTheme.dim; font.pixelSize: SimTheme.small; elide: Text.ElideRight }
    Text { id: val; color: valueColor; font.pixelSize: SimTheme.body; elide: Text.ElideRight
           width: parent.width > 0 ? parent.width - labelWidth - 6 : implicitWidth }
}
