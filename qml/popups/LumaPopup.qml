import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"
import "../marks"

// Luma key pop-up: key source, black or white keyed out, clean-up level and
// transparency. LumaKey holds the logic.
Item {
    id: popup
    implicitWidth: Theme.designWidth
    implicitHeight: Theme.popupHeight

    readonly property var panelRef: panel
    LumaKey { id: luma; panel: popup.panelRef }
    Component.onCompleted: luma.opened()

    PopupFrame {
        anchors.fill: parent
        title: qsTr("Luma key")
        onCloseRequested: panel.openFunction(-1)

        Column {
            anchors.fill: parent
            spacing: Theme.spacing * 2

            Row {
                spacing: Theme.spacing
                BoardCaption { width: 180; height: Theme.buttonHeight; text: qsTr("Key source") }
                Selector {
                    objectName: "lumaSource"
                    unconfirmed: !panel.boardStateTrusted
                    buttonWidth: 100
                    model: [qsTr("BLK"), qsTr("IN1"), qsTr("IN2"), qsTr("IN3"), qsTr("IN4"), qsTr("BKG"), qsTr("BAR")]
                    currentIndex: luma.source
                    onActivated: luma.chooseSource(index)
                }
            }
            Row {
                spacing: Theme.spacing
                BoardCaption { width: 180; height: Theme.buttonHeight; text: qsTr("Key out") }
                Selector {
                    objectName: "lumaMode"
                    unconfirmed: !panel.boardStateTrusted
                    buttonWidth: 160
                    model: [qsTr("Black"), qsTr("White")]
                    currentIndex: luma.mode
                    onActivated: luma.chooseMode(index)
                }
            }
            Row {
                spacing: Theme.spacing
                BoardCaption { width: 180; height: Theme.touchMin; text: qsTr("Clean-up level") }
                ValueSlider {
                    objectName: "lumaCleanup"
                    width: 600
                    from: 0; to: 100
                    value: luma.cleanup
                    onMoved: { cleanupText.text = Math.round(value); luma.cleanupMoved(Math.round(value)) }
                }
                ThemeText { id: cleanupText; width: 80; height: Theme.touchMin; text: luma.cleanup }
            }
            Row {
                spacing: Theme.spacing
                BoardCaption { width: 180; height: Theme.touchMin; text: qsTr("Transparency") }
                ValueSlider {
                    objectName: "lumaTransparency"
                    width: 600
                    from: 0; to: 64
                    value: luma.transparency
                    onMoved: { transparencyText.text = Math.round(value); luma.transparencyMoved(Math.round(value)) }
                }
                ThemeText { id: transparencyText; width: 80; height: Theme.touchMin; text: luma.transparency }
            }
        }
    }
}
