import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// Auto-tracking set-up: tracking on/off per camera on the left, the options
// of the chosen camera on the right (two option pages). TrackingSetup holds
// the logic; this file draws it.
Item {
    id: popup
    property int optionPage: 0
    readonly property var panelRef: panel
    implicitWidth: Theme.designWidth
    implicitHeight: Theme.popupHeight

    TrackingSetup { id: at; panel: popup.panelRef }
    Component.onCompleted: at.chooseCamera(panel.trackingCamSel)

    PopupFrame {
        anchors.fill: parent
        title: qsTr("Auto tracking")
        onCloseRequested: panel.openFunction(-1)

        headerExtra: Selector {
            objectName: "optionPageSelector"
            buttonWidth: 170
            model: [qsTr("Framing"), qsTr("Indicators")]
            currentIndex: popup.optionPage
            onActivated: {
                popup.optionPage = index
                if (index === 1)
                    at.readIndicatorOptions()
            }
        }

        // Cameras: choose whose options are shown; switch tracking.
        Column {
            id: cams
            width: 330
            spacing: Theme.spacing
            Repeater {
                model: 3
                Row {
                    id: camRow
                    readonly property int trackState: at.trackingStates[index]
                    readonly property bool online: [panel.cam1Online, panel.cam2Online, panel.cam3Online][index]
                    spacing: Theme.spacing
                    TouchButton {
                        objectName: "atCamera" + index
                        width: 150
                        text: qsTr("CAM %1").arg(index + 1)
                        lit: at.atCamSel === index
                        litColor: Theme.selected
                        onClicked: at.chooseCamera(index)
                    }
                    ToggleSwitch {
                        objectName: "atSwitch" + index
                        visible: camRow.trackState > 0
                        width: 172
                        checked: camRow.trackState === 2
                        onToggled: at.toggleTracking(index)
                    }
                    // A camera that cannot track (or did not answer) keeps a
                    // plain label; a press still makes it the joystick camera.
                    TouchButton {
                        objectName: "atPlain" + index
                        visible: camRow.trackState <= 0
                        width: 172
                        text: !camRow.online ? qsTr("No signal") : qsTr("No tracking")
                        lit: panel.trackingCamSel === index
                        litColor: Theme.selected
                        onClicked: at.toggleTracking(index)
                    }
                }
            }
            ThemeText {
                width: parent.width
                height: Theme.buttonHeight
                dim: true
                font.pixelSize: Theme.fontSmall
                wrapMode: Text.WordWrap
                fontSizeMode: Text.Fit
                text: qsTr("Joystick drives CAM %1").arg(panel.trackingCamSel + 1)
            }
        }

        Rectangle {
            id: divider
            anchors { left: cams.right; leftMargin: Theme.margin; top: parent.top; bottom: parent.bottom }
            width: 1
            color: Theme.outline
        }

        Item {
            id: options
            anchors { left: divider.right; leftMargin: Theme.margin; right: parent.right; top: parent.top; bottom: parent.bottom }
            enabled: at.optionsEnabled

            // Option page 0: placement, speed, figure size.
            Column {
                visible: popup.optionPage === 0
                spacing: Theme.spacing
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("Placement") }
                    Selector {
                        objectName: "placementSelector"
                        buttonWidth: 146
                        model: [qsTr("Left"), qsTr("Centre"), qsTr("Right")]
                        currentIndex: at.placement
                        onActivated: at.selectPlacement(index)
                    }
                }
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("Speed") }
                    Selector {
                        objectName: "speedSelector"
                        buttonWidth: 146
                        model: [qsTr("Fast"), qsTr("Medium"), qsTr("Slow")]
                        currentIndex: at.speed
                        onActivated: at.selectSpeed(index)
                    }
                }
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("Figure size") }
                    ValueSlider {
                        objectName: "figureSlider"
                        width: 290
                        from: 0; to: 100
                        value: at.figureSize
                        onMoved: at.figureSize = value
                    }
                    ThemeText {
                        width: 46
                        height: Theme.buttonHeight
                        horizontalAlignment: Text.AlignHCenter
                        font.pixelSize: Theme.fontLarge
                        text: at.figureSize
                    }
                    TouchButton {
                        objectName: "figureApply"
                        width: 110
                        text: qsTr("Apply")
                        onClicked: at.applyFigureSize()
                    }
                }
                ThemeText {
                    x: Theme.labelWidth + Theme.spacing
                    width: 450
                    height: Theme.buttonHeight
                    dim: true
                    text: qsTr("Framing: %1").arg([qsTr("Full body"), qsTr("Half body"), qsTr("Close-up"), qsTr("Custom")][at.figure] || "")
                }
            }

            // Option page 1: indicator, subject, start position, switches.
            Column {
                visible: popup.optionPage === 1
                spacing: Theme.spacing
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("Detection box") }
                    Selector {
                        objectName: "indicatorSelector"
                        buttonWidth: 146
                        model: [qsTr("On"), qsTr("Off"), qsTr("Default")]
                        currentIndex: at.detIndicator
                        onActivated: at.selectDetIndicator(index)
                    }
                }
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("Subject") }
                    TouchButton { objectName: "subjectLeft"; width: 146; text: "\u25c0"; fontSize: 40; onClicked: at.selectSubject(-1) }
                    TouchButton { objectName: "subjectConfirm"; width: 146; text: qsTr("Confirm"); onClicked: at.selectSubject(0) }
                    TouchButton { objectName: "subjectRight"; width: 146; text: "\u25b6"; fontSize: 40; onClicked: at.selectSubject(1) }
                }
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("Start position") }
                    Stepper {
                        objectName: "startPosStepper"
                        valueWidth: 90
                        valueText: at.startPosition
                        onDecrement: at.startPosition = Math.max(0, at.startPosition - 1)
                        onIncrement: at.startPosition = Math.min(255, at.startPosition + 1)
                    }
                    TouchButton {
                        objectName: "startPosSave"
                        width: 146
                        text: qsTr("Save")
                        onClicked: at.saveStartPosition()
                    }
                }
                Row {
                    spacing: Theme.spacing
                    Repeater {
                        model: [
                            { name: "osdSwitch", label: qsTr("Reminder"), on: at.osdReminder },
                            { name: "zoomSwitch", label: qsTr("Auto zoom"), on: at.autoZoom },
                            { name: "tiltSwitch", label: qsTr("Auto tilt"), on: at.autoTilt }
                        ]
                        Column {
                            width: 205
                            spacing: 2
                            ThemeText { width: parent.width; height: 26; font.pixelSize: Theme.fontSmall; dim: true; text: modelData.label }
                            ToggleSwitch {
                                objectName: modelData.name
                                width: 132
                                checked: modelData.on
                                onToggled: {
                                    if (index === 0) at.selectOsdReminder(!checked)
                                    else if (index === 1) at.selectAutoZoom(!checked)
                                    else at.selectAutoTilt(!checked)
                                }
                            }
                        }
                    }
                }
            }
        }
        ThemeText {
            anchors { left: options.left; right: options.right; bottom: parent.bottom }
            height: 40
            visible: !at.optionsEnabled
            horizontalAlignment: Text.AlignHCenter
            color: Theme.warning
            text: qsTr("CAM %1 has no signal: options are unavailable").arg(at.atCamSel + 1)
        }
    }
}
