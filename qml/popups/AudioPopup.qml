import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// Audio mixer pop-up: six faders, the loudest position at the top, each
// with its level in dB, and the program meters (left, right, peak hold).
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
            spacing: Theme.margin * 2

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
                        text: (mixer.revision, mixer.levelText(channel))
                    }
                }
            }

            // Program meters: left and right with their held peaks.
            Column {
                width: 96
                height: parent.height
                spacing: Theme.spacing
                ThemeText {
                    width: parent.width; height: 28
                    horizontalAlignment: Text.AlignHCenter
                    text: qsTr("PGM AUDIO")
                }
                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    height: parent.height - 28 - 34 - 2 * Theme.spacing
                    spacing: 12
                    Repeater {
                        model: 2
                        Rectangle {
                            objectName: "meter" + index
                            readonly property int level: index === 0 ? panel.meter.left : panel.meter.right
                            readonly property int peak: index === 0 ? panel.meter.leftPeak : panel.meter.rightPeak
                            width: 30; height: parent.height
                            radius: 3
                            color: Theme.track
                            border.color: Theme.outline
                            Rectangle {
                                objectName: "bar"
                                anchors.bottom: parent.bottom; anchors.bottomMargin: 2
                                x: 2; width: parent.width - 4
                                height: Math.round((parent.height - 4) * parent.level / 255)
                                color: Theme.meterColour(parent.level)
                            }
                            // Peak hold mark.
                            Rectangle {
                                visible: parent.peak > 0
                                x: 2; width: parent.width - 4; height: 3
                                y: parent.height - 2 - Math.round((parent.height - 4) * parent.peak / 255) - 1
                                color: Theme.text
                            }
                        }
                    }
                }
                ThemeText {
                    width: parent.width; height: 34
                    horizontalAlignment: Text.AlignHCenter
                    dim: true
                    text: qsTr("L") + "      " + qsTr("R")
                }
            }
        }
    }
}
