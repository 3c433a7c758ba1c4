import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"
import "../marks"

// Picture-in-picture pop-up: position and size of the inset on a miniature
// of the output, its crop, source and border. PipControl holds the logic.
Item {
    id: popup
    implicitWidth: Theme.designWidth
    implicitHeight: Theme.popupHeight

    readonly property var panelRef: panel
    PipControl { id: pip; panel: popup.panelRef }
    property int tab: 0

    PopupFrame {
        anchors.fill: parent
        title: qsTr("Picture in picture")
        onCloseRequested: panel.openFunction(-1)
        headerExtra: [
            Selector {
                objectName: "pipTabs"
                buttonWidth: 150
                model: [qsTr("Position"), qsTr("Crop"), qsTr("Source")]
                currentIndex: popup.tab
                onActivated: popup.tab = index
            }
        ]

        // The miniature of the output frame with the inset at size and crop.
        Rectangle {
            id: frame
            visible: popup.tab < 2
            width: 416; height: 234
            anchors.verticalCenter: parent.verticalCenter
            color: Theme.background
            border.color: panel.boardStateTrusted ? Theme.outline : Theme.warning
            border.width: Theme.borderWidth
            clip: true

            // Half-frame guides.
            Rectangle { x: parent.width / 2; width: 1; height: parent.height; color: Theme.outline }
            Rectangle { y: parent.height / 2; height: 1; width: parent.width; color: Theme.outline }

            Rectangle {
                readonly property var r: (pip.posX, pip.posY, pip.posZ, pip.cropLeft, pip.cropRight, pip.cropTop,
                                          pip.cropBottom, pip.cropSize, pip.insetRect(frame.width, frame.height))
                x: r[0]; y: r[1]; width: r[2]; height: r[3]
                // The inset in the colour of where it is: on air red, on
                // preview green, on neither the plain selected colour.
                readonly property color tone: panel.pipPgmFlag ? Theme.program
                                            : panel.pipPvwFlag ? Theme.preview : Theme.selected
                color: Qt.darker(tone, 2.6)
                border.color: tone
                border.width: Theme.borderWidth
            }
            // Position, size and crop as the board last reported them.
            UnconfirmedTag { x: 6; y: 6 }
            MouseArea {
                objectName: "pipMiniature"
                anchors.fill: parent
                enabled: popup.tab === 0
                preventStealing: true
                onPressed: pip.dragTo(mouse.x, mouse.y, width, height)
                onPositionChanged: pip.dragTo(mouse.x, mouse.y, width, height)
                onReleased: pip.dragReleased(mouse.x, mouse.y, width, height)
            }
        }

        // Position page.
        Column {
            visible: popup.tab === 0
            anchors { left: frame.right; leftMargin: Theme.margin * 2; right: parent.right; verticalCenter: parent.verticalCenter }
            spacing: Theme.spacing * 2

            Selector {
                objectName: "pipSliderMode"
                buttonWidth: 150
                model: [qsTr("X"), qsTr("Y"), qsTr("Size")]
                currentIndex: pip.sliderMode
                onActivated: pip.sliderMode = index
            }
            Row {
                spacing: Theme.spacing
                ValueSlider {
                    objectName: "pipSlider"
                    width: 440
                    from: 0; to: 100
                    value: pip.sliderValue
                    onMoved: pip.sliderMoved(Math.round(value))
                    onReleased: pip.sliderReleased(Math.round(value))
                }
                ThemeText { width: 70; height: Theme.touchMin; text: pip.sliderValue }
            }
            Row {
                spacing: Theme.spacing
                UnconfirmedTag { anchors.verticalCenter: parent.verticalCenter }
                ThemeText {
                    width: 380; height: 32; dim: true
                    text: qsTr("X %1 %   Y %2 %   Size %3 %").arg(pip.posX).arg(pip.posY).arg(pip.posZ)
                }
            }
            TouchButton {
                objectName: "pipResetPosition"
                width: 260
                text: qsTr("Reset position")
                onClicked: pip.resetPosition()
            }
        }

        // Crop page.
        Column {
            visible: popup.tab === 1
            anchors { left: frame.right; leftMargin: Theme.margin * 2; right: parent.right; verticalCenter: parent.verticalCenter }
            spacing: Theme.spacing * 2

            Selector {
                objectName: "pipCropSel"
                buttonWidth: 98
                model: [qsTr("Left"), qsTr("Right"), qsTr("Top"), qsTr("Bottom"), qsTr("Size")]
                currentIndex: pip.cropSel
                onActivated: pip.cropSel = index
            }
            ValueSlider {
                objectName: "pipCropSlider"
                width: 540
                from: 0; to: 100
                value: pip.cropValue
                onMoved: pip.cropSliderMoved(Math.round(value))
                onReleased: pip.cropSliderReleased(Math.round(value))
            }
            Row {
                spacing: Theme.spacing * 3
                Stepper {
                    objectName: "pipCropStepper"
                    unconfirmed: !panel.boardStateTrusted
                    autoRepeat: true
                    valueText: pip.cropValue
                    onDecrement: pip.cropStep(-1)
                    onIncrement: pip.cropStep(1)
                }
                TouchButton {
                    objectName: "pipResetCrop"
                    width: 200
                    text: qsTr("Reset crop")
                    onClicked: pip.resetCrop()
                }
            }
        }

        // Source and border page.
        Column {
            visible: popup.tab === 2
            anchors.fill: parent
            spacing: Theme.spacing * 2

            Row {
                spacing: Theme.spacing
                BoardCaption { width: 150; height: Theme.buttonHeight; text: qsTr("Source") }
                Selector {
                    objectName: "pipSource"
                    unconfirmed: !panel.boardStateTrusted
                    buttonWidth: 100
                    model: [qsTr("BLK"), qsTr("IN1"), qsTr("IN2"), qsTr("IN3"), qsTr("IN4"), qsTr("BKG"), qsTr("BAR")]
                    currentIndex: pip.source
                    onActivated: pip.chooseSource(index)
                }
            }
            Row {
                spacing: Theme.spacing
                BoardCaption { width: 150; height: Theme.buttonHeight; text: qsTr("Border size") }
                Selector {
                    objectName: "pipBorderSize"
                    unconfirmed: !panel.boardStateTrusted
                    buttonWidth: 130
                    model: [qsTr("Off"), qsTr("Small"), qsTr("Medium"), qsTr("Large")]
                    currentIndex: pip.borderSize
                    onActivated: pip.chooseBorderSize(index)
                }
            }
            Row {
                spacing: Theme.spacing
                BoardCaption { width: 150; height: Theme.buttonHeight; text: qsTr("Border colour") }
                Selector {
                    objectName: "pipBorderColor"
                    unconfirmed: !panel.boardStateTrusted
                    buttonWidth: 96
                    model: [qsTr("White"), qsTr("Yellow"), qsTr("Cyan"), qsTr("Green"), qsTr("Magenta"), qsTr("Red"),
                            qsTr("Blue"), qsTr("Black")]
                    swatches: Theme.colourCodes
                    currentIndex: pip.borderColor
                    onActivated: pip.chooseBorderColor(index)
                }
            }
        }
    }
}
