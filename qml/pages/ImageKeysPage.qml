import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"
import "../marks"

// The tracking page with the presets (image keys): four stored positions per
// camera, each with the picture taken when it was stored. The logic is
// ImageKeysLogic (one per panel, so selections outlive the page). A preset of
// the camera on program would move the picture on air: a tap only says so,
// a hold recalls it (unless the setup menu turned that guard off).
Rectangle {
    id: page
    property var keys: ImageKeysLogic
    // The on-air camera whose preset was only tapped (-1: none).
    property int onAirNotice: -1
    // Until the next press, or until another camera is on air.
    Connections { target: panel; function onProgramNoChanged() { page.onAirNotice = -1 } }

    implicitWidth: Theme.designWidth
    implicitHeight: Theme.designHeight * 2 / 3
    color: Theme.background
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius

    Item {
        id: header
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: Theme.margin }
        height: Theme.buttonHeight
        TouchButton {
            id: back
            objectName: "imageKeysBack"
            width: 120
            text: qsTr("Back")
            onClicked: panel.showPage(Panel.HomePage)
        }
        ThemeText {
            anchors { left: back.right; leftMargin: Theme.margin; right: hint.left; rightMargin: Theme.margin }
            height: parent.height
            font.pixelSize: Theme.fontTitle
            font.bold: true
            text: qsTr("Presets")
        }
        TouchButton {
            id: setup
            objectName: "imageKeysTrackingSetup"
            anchors { right: store.left; rightMargin: Theme.spacing }
            width: 200
            text: qsTr("Tracking setup")
            onClicked: panel.openFunction(0)
        }
        ThemeText {
            id: hint
            anchors { right: setup.left; rightMargin: Theme.margin }
            width: 300
            height: parent.height
            horizontalAlignment: Text.AlignRight
            color: Theme.accent
            visible: page.keys.storeMode || page.onAirNotice >= 0
            text: page.keys.storeMode ? qsTr("Press a preset of CAM %1 to store").arg(panel.trackingCamSel + 1)
                                      : qsTr("CAM %1 is on air: hold to move").arg(page.onAirNotice + 1)
        }
        TouchButton {
            id: store
            objectName: "imageKeysStore"
            anchors.right: parent.right
            width: 160
            text: qsTr("STORE")
            lit: page.keys.storeMode
            litColor: Theme.accent
            onClicked: page.keys.toggleStoreMode()
        }
    }

    Column {
        anchors { left: parent.left; right: parent.right; top: header.bottom; bottom: parent.bottom; margins: Theme.margin }
        spacing: Theme.spacing

        Repeater {
            model: 3
            Rectangle {
                id: row
                readonly property int cam: index
                readonly property bool online: [panel.cam1Online, panel.cam2Online, panel.cam3Online][cam]
                readonly property bool joystick: panel.trackingCamSel === cam
                width: parent.width
                height: (parent.height - 2 * Theme.spacing) / 3
                radius: Theme.radius
                color: Theme.surface
                border.width: Theme.borderWidth
                border.color: joystick ? Theme.selected : Theme.outline

                Column {
                    id: camLabel
                    anchors { left: parent.left; leftMargin: Theme.margin; verticalCenter: parent.verticalCenter }
                    width: 150
                    spacing: 4
                    ThemeText {
                        width: parent.width
                        font.pixelSize: Theme.fontTitle
                        font.bold: true
                        text: qsTr("CAM %1").arg(row.cam + 1)
                        height: 34
                    }
                    ThemeText {
                        width: parent.width
                        dim: !row.joystick
                        color: row.joystick ? Theme.selected : Theme.textDim
                        font.pixelSize: Theme.fontSmall
                        text: !row.online ? qsTr("No signal") : row.joystick ? qsTr("Joystick camera") : ""
                    }
                    Row {
                        spacing: 6
                        TallyTag { source: row.cam + 1 }
                        OfflineTag { camera: row.cam }
                    }
                    OutcomeTag {
                        width: parent.width
                        control: page.keys.pressedCamera === row.cam ? Switching.PresetRecall : -1
                    }
                }

                Row {
                    anchors { left: camLabel.right; leftMargin: Theme.margin; right: parent.right; rightMargin: Theme.margin }
                    anchors.verticalCenter: parent.verticalCenter
                    height: parent.height - 2 * Theme.spacing
                    spacing: Theme.spacing
                    visible: page.keys.keysShown[row.cam] === true

                    Repeater {
                        model: 4
                        Rectangle {
                            id: key
                            objectName: "imageKey" + row.cam + index
                            readonly property bool selected: page.keys.selectedKeys[row.cam] === index
                            readonly property string picture: page.keys.pictures[row.cam * 4 + index] || ""
                            readonly property bool usable: row.online && (!page.keys.storeMode || row.joystick)
                                                           && !page.keys.busy
                            // Recalling this preset moves the picture on air.
                            readonly property bool guarded: page.keys.onAirHold && !page.keys.storeMode
                                                            && panel.programNo === row.cam + 1
                            width: (parent.width - 3 * Theme.spacing) / 4
                            height: parent.height
                            radius: Theme.radius
                            color: keyArea.pressed ? Theme.pressed : Theme.surfaceRaised
                            border.width: selected ? 4 : Theme.borderWidth
                            border.color: page.keys.storeMode && usable ? Theme.accent
                                          : selected ? Theme.selected : Theme.outline
                            opacity: usable ? 1.0 : 0.45

                            Image {
                                anchors.fill: parent
                                anchors.margins: key.border.width
                                source: key.picture
                                visible: key.picture !== ""
                                fillMode: Image.PreserveAspectCrop
                                cache: false
                                asynchronous: true
                            }
                            // Position icon when there is no picture: the selected
                            // colour for the camera's selected preset, grey for the others.
                            Rectangle {
                                anchors.centerIn: parent
                                width: 64
                                height: 64
                                radius: 32
                                visible: key.picture === ""
                                color: !row.online ? Theme.surface : key.selected ? Theme.selected : Theme.offline
                                border.color: Theme.outline
                                ThemeText {
                                    anchors.fill: parent
                                    horizontalAlignment: Text.AlignHCenter
                                    font.pixelSize: Theme.fontTitle
                                    font.bold: true
                                    color: row.online ? Theme.textOnState : Theme.disabledText
                                    text: index + 1
                                }
                            }
                            Rectangle {
                                visible: key.picture !== ""
                                anchors { left: parent.left; top: parent.top; margins: 6 }
                                width: 36; height: 36; radius: 18
                                color: key.selected ? Theme.selected : Theme.scrim
                                ThemeText {
                                    anchors.fill: parent
                                    horizontalAlignment: Text.AlignHCenter
                                    font.bold: true
                                    color: Theme.textOnState
                                    text: index + 1
                                }
                            }
                            // Hold progress of a guarded recall.
                            Rectangle {
                                visible: hold.holding
                                anchors { left: parent.left; bottom: parent.bottom; margins: key.border.width }
                                height: 14
                                width: (parent.width - 2 * key.border.width) * hold.holdProgress
                                color: Theme.holdFill
                            }
                            ThemeText {
                                visible: key.guarded && key.usable
                                anchors { right: parent.right; top: parent.top; margins: 6 }
                                font.pixelSize: Theme.fontSmall; font.bold: true
                                text: qsTr("ON AIR · HOLD")
                            }
                            TouchGuard {
                                id: hold
                                onHeld: { keyArea.heldDone = true; page.keys.pressKey(row.cam, index) }
                            }
                            MouseArea {
                                id: keyArea
                                objectName: "imageKeyArea" + row.cam + index
                                anchors.fill: parent
                                property bool heldDone: false
                                onPressed: {
                                    heldDone = false
                                    page.onAirNotice = -1
                                    if (key.guarded)
                                        hold.beginHold()
                                }
                                onReleased: hold.cancelHold()
                                onCanceled: hold.cancelHold()
                                onClicked: {
                                    if (!key.guarded) {
                                        page.keys.pressKey(row.cam, index)
                                    } else if (!heldDone) {
                                        page.onAirNotice = row.cam
                                    }
                                }
                            }
                        }
                    }
                }
                ThemeText {
                    anchors { left: camLabel.right; leftMargin: Theme.margin; right: parent.right; rightMargin: Theme.margin }
                    anchors.verticalCenter: parent.verticalCenter
                    horizontalAlignment: Text.AlignHCenter
                    visible: page.keys.keysShown[row.cam] !== true
                    dim: true
                    font.pixelSize: Theme.fontLarge
                    text: qsTr("Auto-tracking is on: presets are hidden")
                }
            }
        }
    }
}
