import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"
import "../marks"

// The tracking page with the image keys: four stored positions per camera,
// each with the picture taken when it was stored. The logic is
// ImageKeysLogic (one per panel, so selections outlive the page).
Rectangle {
    id: page
    property var keys: ImageKeysLogic

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
            text: qsTr("Image keys")
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
            visible: page.keys.storeMode
            text: qsTr("Press a key of CAM %1 to store").arg(panel.trackingCamSel + 1)
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
                border.color: joystick ? Theme.accent : Theme.outline

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
                        color: row.joystick ? Theme.accent : Theme.textDim
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
                            width: (parent.width - 3 * Theme.spacing) / 4
                            height: parent.height
                            radius: Theme.radius
                            color: keyArea.pressed ? Theme.pressed : Theme.surfaceRaised
                            border.width: selected ? 4 : Theme.borderWidth
                            border.color: page.keys.storeMode && usable ? Theme.accent
                                          : selected ? Theme.program : Theme.outline
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
                            // Position icon when there is no picture: red for the
                            // camera's selected key, grey for the others.
                            Rectangle {
                                anchors.centerIn: parent
                                width: 64
                                height: 64
                                radius: 32
                                visible: key.picture === ""
                                color: !row.online ? Theme.surface : key.selected ? Theme.program : Theme.offline
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
                                color: key.selected ? Theme.program : Theme.scrim
                                ThemeText {
                                    anchors.fill: parent
                                    horizontalAlignment: Text.AlignHCenter
                                    font.bold: true
                                    color: Theme.textOnState
                                    text: index + 1
                                }
                            }
                            MouseArea {
                                id: keyArea
                                anchors.fill: parent
                                onClicked: page.keys.pressKey(row.cam, index)
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
                    text: qsTr("Auto-tracking is on: image keys are hidden")
                }
            }
        }
    }
}
