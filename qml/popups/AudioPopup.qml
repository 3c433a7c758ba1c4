import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// Audio mixer pop-up: six faders, the loudest position at the top.
// AudioMixer turns positions into level steps and sends them.
Item {
    id: popup
    implicitWidth: Theme.designWidth
    implicitHeight: Theme.popupHeight

    readonly property var panelRef: panel
    AudioMixer { id: mixer; panel: popup.panelRef }

    PopupFrame {
        anchors.fill: parent
        title: qsTr("Audio mixer")
        onCloseRequested: panel.openFunction(-1)

        Row {
            anchors.centerIn: parent
            height: parent.height
            spacing: Theme.margin * 3

            Repeater {
                model: [qsTr("CH 1"), qsTr("CH 2"), qsTr("HDMI"), qsTr("RCA"), qsTr("Headset"), qsTr("Master")]
                Column {
                    width: 120
                    height: parent.height
                    spacing: Theme.spacing
                    readonly property int channel: index
                    ThemeText {
                        width: parent.width; height: 28
                        horizontalAlignment: Text.AlignHCenter
                        text: modelData
                    }
                    ValueSlider {
                        id: fader
                        objectName: "fader" + index
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: Theme.touchMin + 20
                        height: parent.height - 28 - 34 - 2 * Theme.spacing
                        orientation: Qt.Vertical
                        // Top is position 0, the loudest.
                        from: 126; to: 0; stepSize: 1
                        handleWidth: Theme.touchMin + 10; handleHeight: 44
                        showFill: false
                        enabled: !(mixer.calibration && channel < 4)
                        onMoved: mixer.setFader(channel, Math.round(value))
                        value: (mixer.revision, mixer.position(channel))
                    }
                    ThemeText {
                        width: parent.width; height: 34
                        horizontalAlignment: Text.AlignHCenter
                        dim: true
                        text: (mixer.revision, mixer.position(channel))
                    }
                }
            }
        }
    }
}
