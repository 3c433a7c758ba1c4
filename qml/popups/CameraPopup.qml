import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"
import "../marks"

// Camera pop-up: white balance and gains, shutter, focus and iris of the
// selected camera. CameraSettings holds the logic; this file draws it.
Item {
    id: popup
    implicitWidth: Theme.designWidth
    implicitHeight: Theme.popupHeight

    CameraSettings { id: cam; panel: popup.panelRef }
    readonly property var panelRef: panel
    Component.onCompleted: cam.refresh()
    Connections {
        target: panel
        function onCamSelChanged() { cam.refresh() }
    }

    PopupFrame {
        anchors.fill: parent
        title: qsTr("Camera")
        onCloseRequested: panel.openFunction(-1)

        headerExtra: [
            Rectangle {
                // Tally of the camera as it reported it.
                width: 28; height: 28; radius: 14
                y: (Theme.buttonHeight - height) / 2
                color: cam.tally === 1 ? Theme.program : cam.tally === 2 ? Theme.preview : Theme.track
                border.color: Theme.outline
            },
            Item {
                width: camChoice.width; height: camChoice.height
                Selector {
                    id: camChoice
                    objectName: "cameraSelector"
                    buttonWidth: 110
                    model: [qsTr("CAM 1"), qsTr("CAM 2"), qsTr("CAM 3")]
                    currentIndex: panel.camSel
                    onActivated: panel.camSel = index
                }
                // What each camera's source is doing, and which are offline.
                Repeater {
                    model: 3
                    Item {
                        x: index * (camChoice.buttonWidth + camChoice.spacing)
                        width: camChoice.buttonWidth; height: camChoice.height
                        TallyTag { source: index + 1; anchors.right: parent.right; anchors.top: parent.top; anchors.margins: 2 }
                        OfflineTag {
                            camera: index
                            anchors.horizontalCenter: parent.horizontalCenter
                            anchors.bottom: parent.bottom; anchors.bottomMargin: 2
                        }
                    }
                }
            }
        ]

        // Page 1: white balance, gains, focus, iris.
        Item {
            anchors.fill: parent
            visible: cam.page === 1

            Column {
                id: left
                width: 560
                spacing: Theme.spacing
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("White balance") }
                    Selector {
                        objectName: "wbSelector"
                        buttonWidth: 120
                        // Shown in the order auto, one push, manual.
                        model: [qsTr("Auto"), qsTr("One push"), qsTr("Manual")]
                        currentIndex: [2, 0, 1][cam.whiteBalance]
                        onActivated: cam.selectWhiteBalance([1, 2, 0][index])
                    }
                }
                // The gains act only in manual white balance.
                Row {
                    spacing: Theme.spacing
                    enabled: cam.whiteBalance === 0
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("WB gain") }
                    Selector {
                        objectName: "gainSelector"
                        buttonWidth: 90
                        model: [qsTr("Red"), qsTr("Blue")]
                        currentIndex: cam.blueGainSelected ? 1 : 0
                        onActivated: cam.blueGainSelected = index === 1
                    }
                    Stepper {
                        objectName: "gainStepper"
                        valueWidth: 92
                        valueText: cam.selectedGain
                        onMinusPressed: cam.minusPressed()
                        onMinusReleased: cam.minusReleased()
                        onPlusPressed: cam.plusPressed()
                    }
                }
                ValueSlider {
                    objectName: "gainSlider"
                    enabled: cam.whiteBalance === 0
                    x: Theme.labelWidth + Theme.spacing
                    width: left.width - x
                    from: 0; to: 255
                    value: cam.selectedGain
                    onMoved: cam.gainMoved(value)
                }
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: Theme.labelWidth; height: Theme.buttonHeight; text: qsTr("Shutter") }
                    TouchButton {
                        objectName: "shutterButton"
                        width: 200
                        text: cam.shutterLabel + "  \u203a"
                        onClicked: cam.openShutterPage()
                    }
                    ThemeText {
                        width: 190
                        height: Theme.buttonHeight
                        dim: true
                        font.pixelSize: Theme.fontSmall
                        text: cam.videoFormatName
                    }
                }
            }

            Column {
                anchors { left: left.right; leftMargin: Theme.margin * 2; right: parent.right }
                spacing: Theme.spacing
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: 110; height: Theme.buttonHeight; text: qsTr("Focus") }
                    Selector {
                        objectName: "focusSelector"
                        buttonWidth: 130
                        model: [qsTr("Auto"), qsTr("Manual")]
                        currentIndex: cam.focusMode
                        onActivated: cam.selectFocus(index)
                    }
                }
                Row {
                    x: 110 + Theme.spacing
                    spacing: Theme.spacing
                    TouchButton {
                        objectName: "focusNear"
                        width: 130
                        text: qsTr("Near")
                        enabled: cam.focusMode === 1
                        onPressed: cam.focusNearPressed()
                        onReleased: cam.focusReleased()
                    }
                    TouchButton {
                        objectName: "focusFar"
                        width: 130
                        text: qsTr("Far")
                        enabled: cam.focusMode === 1
                        onPressed: cam.focusFarPressed()
                        onReleased: cam.focusReleased()
                    }
                }
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: 110; height: Theme.buttonHeight; text: qsTr("Iris") }
                    Selector {
                        objectName: "irisSelector"
                        buttonWidth: 130
                        model: [qsTr("Auto"), qsTr("Manual")]
                        currentIndex: cam.irisMode
                        onActivated: cam.selectIris(index)
                    }
                }
                Row {
                    x: 110 + Theme.spacing
                    spacing: Theme.spacing
                    TouchButton {
                        objectName: "irisDown"
                        width: 130
                        text: qsTr("Close")
                        enabled: cam.irisMode === 1
                        onClicked: cam.irisDown()
                    }
                    TouchButton {
                        objectName: "irisUp"
                        width: 130
                        text: qsTr("Open")
                        enabled: cam.irisMode === 1
                        onClicked: cam.irisUp()
                    }
                }
            }
        }

        // Page 2: shutter.
        Item {
            anchors.fill: parent
            visible: cam.page === 2

            TouchButton {
                objectName: "shutterBack"
                width: 140
                text: "\u2039  " + qsTr("Back")
                onClicked: cam.page = 1
            }
            ThemeText {
                anchors.horizontalCenter: parent.horizontalCenter
                y: 0
                width: 420
                height: Theme.buttonHeight
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: Theme.fontTitle
                text: qsTr("Shutter")
            }
            ThemeText {
                anchors.right: parent.right
                width: 240
                height: Theme.buttonHeight
                horizontalAlignment: Text.AlignRight
                dim: true
                text: cam.videoFormatName
            }
            Stepper {
                objectName: "shutterStepper"
                anchors.horizontalCenter: parent.horizontalCenter
                y: Theme.buttonHeight + 2 * Theme.margin
                valueWidth: 240
                valueText: cam.shutterLabel
                onMinusPressed: cam.minusPressed()
                onMinusReleased: cam.minusReleased()
                onPlusPressed: cam.plusPressed()
            }
            ValueSlider {
                objectName: "shutterSlider"
                anchors { left: parent.left; right: parent.right; leftMargin: 60; rightMargin: 60 }
                y: 2 * Theme.buttonHeight + 5 * Theme.margin
                from: 0; to: 16
                value: cam.shutter
                onMoved: cam.shutterMoved(value)
            }
        }
    }
}
