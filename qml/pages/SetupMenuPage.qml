import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"
import "../marks"

// The setup menu: start, audio, user memory, camera and setup pages of
// switcher and camera settings. SetupMenu holds the lists and sends each
// choice; this file draws the rows and the pickers.
Rectangle {
    id: page
    color: Theme.surface
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius

    readonly property var panelRef: panel
    SetupMenu { id: menu; panel: page.panelRef }

    // The list being chosen from (-1: none), and the number being typed.
    property int listSetting: -1
    property string listTitle: ""
    property int typing: -1
    property string typed: ""
    property bool askFactory: false
    // The memory a Save would overwrite, waiting for its confirmation (0: none).
    property int askSave: 0
    property bool calibrating: false
    property bool serviceOpen: false
    property bool tallyOut: false
    property bool apiOpen: false

    function entryText(setting) {
        var labels = menu.labels(setting)
        var s = menu.selected(setting)
        return s >= 0 && s < labels.length ? qsTranslate("SetupMenu", labels[s]) : "-"
    }

    function isColourSetting(setting) {
        return setting === SetupMenu.WipeBorderColor || setting === SetupMenu.BackgroundColor
    }

    component Swatch: Rectangle {
        property int code: -1
        visible: code >= 0 && code < Theme.colourCodes.length
        width: 28; height: 28; radius: 4
        color: visible ? Theme.colourCodes[code] : "transparent"
        border.color: Theme.text; border.width: 1
    }

    component SettingRow: Row {
        property int setting: 0
        property string title: ""
        spacing: Theme.spacing
        BoardCaption { width: 170; height: Theme.buttonHeight; text: title; fromBoard: menu.fromBoard(setting) }
        TouchButton {
            objectName: "setting" + setting
            width: 230
            text: (menu.revision, page.entryText(setting))
            onClicked: { page.listTitle = title; page.listSetting = setting }
            Swatch {
                x: Theme.spacing; anchors.verticalCenter: parent.verticalCenter
                code: page.isColourSetting(setting) ? (menu.revision, menu.selected(setting)) : -1
            }
        }
    }
    component NumberRow: Row {
        property int which: 0
        property string title: ""
        // Stepped by held buttons, or only typed.
        property bool stepped: true
        property string unit: ""
        spacing: Theme.spacing
        BoardCaption { width: 130; height: Theme.buttonHeight; text: title; fromBoard: menu.numberFromBoard(which) }
        Stepper {
            visible: stepped
            valueWidth: 80
            valueText: (menu.revision, menu.number(which)) + (unit !== "" ? " " + unit : "")
            onMinusPressed: menu.stepPress(which, -1)
            onMinusReleased: menu.stepRelease()
            onPlusPressed: menu.stepPress(which, 1)
            onPlusReleased: menu.stepRelease()
        }
        TouchButton {
            width: stepped ? 80 : 230
            text: stepped ? qsTr("Type") : (menu.revision, menu.number(which))
            onClicked: { page.typed = ""; page.typing = which }
        }
    }

    // Title bar: the menu pages and the way out.
    ThemeText {
        id: title
        x: Theme.margin * 2; y: Theme.margin
        width: 150; height: Theme.buttonHeight
        font.pixelSize: Theme.fontTitle
        font.bold: true
        text: qsTr("Setup")
    }
    Selector {
        objectName: "menuPages"
        anchors { left: title.right; top: title.top }
        buttonWidth: 128
        model: [qsTr("Transition"), qsTr("Audio"), qsTr("Memory"), qsTr("Camera"), qsTr("System")]
        currentIndex: panel.menuOption
        onActivated: panel.menuOption = index
    }
    TouchButton {
        objectName: "setupClose"
        anchors { right: parent.right; top: parent.top; margins: Theme.margin }
        width: 150
        text: qsTr("CLOSE")
        onClicked: panel.showPage(Panel.HomePage)
    }

    Item {
        id: body
        anchors { left: parent.left; right: parent.right; top: title.bottom; bottom: parent.bottom; margins: Theme.margin * 2 }

        // Start page.
        Grid {
            visible: panel.menuOption === SetupMenu.StartPage
            columns: 2; columnSpacing: Theme.margin * 3; rowSpacing: Theme.spacing * 2
            SettingRow { setting: SetupMenu.TransitionType; title: qsTr("Transition type") }
            SettingRow { setting: SetupMenu.WipeEffect; title: qsTr("Wipe effect") }
            SettingRow { setting: SetupMenu.WipeBorderSize; title: qsTr("Wipe border") }
            SettingRow { setting: SetupMenu.WipeBorderColor; title: qsTr("Border colour") }
            SettingRow { setting: SetupMenu.BackgroundColor; title: qsTr("Background") }
            NumberRow { which: SetupMenu.AutoRate; title: qsTr("Auto rate"); unit: qsTr("fr") }
        }

        // Audio page.
        Grid {
            visible: panel.menuOption === SetupMenu.AudioPage
            columns: 2; columnSpacing: Theme.margin * 3; rowSpacing: Theme.spacing * 2
            SettingRow { setting: SetupMenu.Mute; title: qsTr("Mute") }
            SettingRow { setting: SetupMenu.HdmiInput; title: qsTr("HDMI input") }
            SettingRow { setting: SetupMenu.HdmiGroup; title: qsTr("HDMI group") }
            SettingRow { setting: SetupMenu.HdmiLevel; title: qsTr("HDMI level") }
            SettingRow { setting: SetupMenu.TallyMode; title: qsTr("Tally mode") }
            TouchButton {
                objectName: "audioCalibration"
                width: 250
                text: qsTr("Calibration")
                onClicked: page.calibrating = true
            }
        }

        // User memory page: no reset, the memories are the user's own.
        Column {
            visible: panel.menuOption === SetupMenu.MemoryPage
            spacing: Theme.spacing * 2
            Grid {
                columns: 3; columnSpacing: Theme.margin * 2; rowSpacing: Theme.spacing * 2
                Repeater {
                    model: 6
                    Row {
                        spacing: Theme.spacing
                        ThemeText { width: 90; height: Theme.buttonHeight; text: qsTr("MEM %1").arg(index + 1) }
                        TouchButton {
                            objectName: "memSave" + (index + 1)
                            width: 100; text: qsTr("Save")
                            onClicked: page.askSave = index + 1
                        }
                        TouchButton {
                            objectName: "memRecall" + (index + 1)
                            width: 100; text: qsTr("Recall")
                            lit: panel.userMemorySel === index + 1
                            // A whole switcher memory and the audio levels: held, not tapped.
                            holdMs: 600
                            onHeld: menu.recallUserMemory(index + 1)
                        }
                    }
                }
            }
            ThemeText {
                width: 700; height: 32; dim: true
                text: qsTr("Hold Recall to load a memory: it changes the whole switcher and the audio levels.")
            }
            TouchButton {
                objectName: "factoryDefault"
                width: 300
                text: qsTr("Factory default")
                onClicked: page.askFactory = true
            }
        }

        // Camera page of the selected camera.
        Column {
            visible: panel.menuOption === SetupMenu.CameraPage
            spacing: Theme.spacing
            Selector {
                objectName: "menuCamera"
                buttonWidth: 110
                model: [qsTr("CAM 1"), qsTr("CAM 2"), qsTr("CAM 3")]
                currentIndex: panel.camSel
                onActivated: panel.camSel = index
            }
            Grid {
                columns: 2; columnSpacing: Theme.margin * 2; rowSpacing: Theme.spacing
                SettingRow { setting: SetupMenu.VideoFormat; title: qsTr("Video format") }
                SettingRow { setting: SetupMenu.MirrorMode; title: qsTr("Mirror / flip") }
                SettingRow { setting: SetupMenu.PanDirection; title: qsTr("Pan direction") }
                SettingRow { setting: SetupMenu.TiltDirection; title: qsTr("Tilt direction") }
                SettingRow { setting: SetupMenu.TallyLed; title: qsTr("Tally LED") }
                NumberRow { which: SetupMenu.MemorySpeed; title: qsTr("Preset speed"); stepped: false }
                NumberRow { which: SetupMenu.RedGain; title: qsTr("WB red gain") }
                NumberRow { which: SetupMenu.BlueGain; title: qsTr("WB blue gain") }
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: 230; height: Theme.buttonHeight; text: qsTr("On-air preset: hold to move") }
                    ToggleSwitch {
                        objectName: "presetOnAirHold"
                        checked: ImageKeysLogic.onAirHold
                        onToggled: ImageKeysLogic.onAirHold = !ImageKeysLogic.onAirHold
                    }
                }
            }
        }

        // System page.
        Grid {
            visible: panel.menuOption === SetupMenu.SetupPage
            columns: 2; columnSpacing: Theme.margin * 3; rowSpacing: Theme.spacing * 2
            SettingRow { setting: SetupMenu.PgmOutResolution; title: qsTr("Program output") }
            SettingRow { setting: SetupMenu.MvOutResolution; title: qsTr("Multiview output") }
            SettingRow { setting: SetupMenu.OutputFormat; title: qsTr("Output format") }
            SettingRow { setting: SetupMenu.Language; title: qsTr("Language") }
            TouchButton {
                objectName: "openNetwork"
                width: 250
                text: qsTr("Network")
                onClicked: panel.showPage(Panel.NetworkPage)
            }
            TouchButton {
                objectName: "openTallyOut"
                width: 250
                text: qsTr("Tally out")
                onClicked: page.tallyOut = true
            }
            TouchButton {
                objectName: "openControlApi"
                width: 250
                text: qsTr("Control API")
                onClicked: page.apiOpen = true
            }
            ThemeText {
                objectName: "versionLine"
                width: 440; height: Theme.buttonHeight; dim: true
                text: qsTr("Mainboard %1   Panel %2").arg(panel.mainboardVersion).arg(panel.appVersion)
                // Held for two seconds, with the progress drawn under it, it
                // opens the service page: never by a touch in passing.
                Rectangle { anchors.bottom: parent.bottom; height: 4; color: Theme.accent; width: parent.width * serviceHold.holdProgress }
                TouchGuard { id: serviceHold; holdMs: 2000; onHeld: page.serviceOpen = true }
                MouseArea {
                    anchors.fill: parent
                    onPressed: serviceHold.beginHold()
                    onReleased: serviceHold.cancelHold()
                    onCanceled: serviceHold.cancelHold()
                }
            }
            // Service work: the CUT key then saves a picture of the screen
            // instead of cutting, so it is switched on by a long hold only.
            TouchButton {
                objectName: "screenshotMode"
                width: 250
                text: panel.screenshotMode ? qsTr("Screenshot mode: on") : qsTr("Screenshot mode: off")
                lit: panel.screenshotMode
                holdMs: panel.screenshotMode ? 0 : 2000
                onHeld: panel.screenshotMode = !panel.screenshotMode
            }
            ThemeText {
                width: 440; height: Theme.buttonHeight; dim: true
                wrapMode: Text.WordWrap; fontSizeMode: Text.Fit
                text: panel.screenshotMode ? qsTr("The CUT key saves a screenshot instead of cutting.")
                                           : qsTr("Hold 2 s: the CUT key then saves screenshots instead of cutting.")
            }
        }

        TouchButton {
            objectName: "pageReset"
            visible: panel.menuOption !== SetupMenu.MemoryPage
            anchors { right: parent.right; bottom: parent.bottom }
            width: 200
            text: qsTr("Reset")
            enabled: !menu.resetRunning
            onClicked: menu.askReset(panel.menuOption)
        }
    }

    // Overlays: one at a time, over the whole menu.
    Rectangle {
        anchors.fill: parent
        radius: Theme.radius
        color: Theme.scrim
        visible: page.listSetting >= 0 || page.typing >= 0 || menu.resetAsked >= 0 || page.askFactory || page.askSave > 0 || page.calibrating
        MouseArea { anchors.fill: parent }
    }

    // A list of entries; choosing one closes it and sends the code at once.
    Rectangle {
        visible: page.listSetting >= 0
        anchors.centerIn: parent
        width: 420; height: parent.height - 2 * Theme.margin
        color: Theme.surfaceRaised
        border.color: Theme.outline
        radius: Theme.radius
        ThemeText {
            id: listTitle
            anchors { left: parent.left; right: parent.right; top: parent.top; margins: Theme.margin }
            height: 40; font.bold: true
            text: page.listTitle
        }
        ListPicker {
            objectName: "settingList"
            anchors { left: parent.left; right: parent.right; top: listTitle.bottom; bottom: listCancel.top; margins: Theme.margin }
            model: {
                menu.revision
                var out = []
                var labels = page.listSetting >= 0 ? menu.labels(page.listSetting) : []
                for (var i = 0; i < labels.length; ++i)
                    out.push(qsTranslate("SetupMenu", labels[i]))
                return out
            }
            selectedIndex: (menu.revision, page.listSetting >= 0 ? menu.selected(page.listSetting) : -1)
            swatches: page.isColourSetting(page.listSetting) ? Theme.colourCodes : []
            onActivated: { var s = page.listSetting; page.listSetting = -1; menu.choose(s, index) }
        }
        TouchButton {
            id: listCancel
            anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: Theme.margin }
            width: 200
            text: qsTr("Cancel")
            onClicked: page.listSetting = -1
        }
    }

    // A number typed on the digit keyboard.
    Rectangle {
        visible: page.typing >= 0
        anchors.centerIn: parent
        width: 420; height: 480
        color: Theme.surfaceRaised
        border.color: Theme.outline
        radius: Theme.radius
        Rectangle {
            id: typedBox
            anchors { left: parent.left; right: parent.right; top: parent.top; margins: Theme.margin }
            height: Theme.buttonHeight
            radius: Theme.radius
            color: Theme.track
            border.color: Theme.selected
            ThemeText {
                anchors.fill: parent; anchors.margins: Theme.spacing
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: Theme.fontTitle
                text: page.typed
            }
        }
        DigitKeyboard {
            anchors { horizontalCenter: parent.horizontalCenter; top: typedBox.bottom; topMargin: Theme.margin }
            showPoint: false
            onDigit: if (page.typed.length < 4) page.typed += d
            onBackspace: page.typed = page.typed.slice(0, -1)
            onAccepted: {
                if (page.typed.length > 0)
                    menu.typeNumber(page.typing, parseInt(page.typed, 10))
                page.typing = -1
            }
        }
    }

    // Confirmations.
    Rectangle {
        visible: menu.resetAsked >= 0 || page.askFactory || page.askSave > 0
        anchors.centerIn: parent
        width: 640; height: 260
        color: Theme.surfaceRaised
        border.color: Theme.outline
        radius: Theme.radius
        ThemeText {
            anchors { left: parent.left; right: parent.right; top: parent.top; bottom: confirmButtons.top; margins: Theme.margin * 2 }
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            fontSizeMode: Text.Fit
            font.pixelSize: Theme.fontLarge
            text: page.askFactory ? qsTr("Do you want to load the factory settings ?")
                : page.askSave > 0 ? qsTr("Save the switcher's settings and the audio levels into MEM %1? What MEM %1 holds now is overwritten.").arg(page.askSave)
                : qsTr("Do you want to reset settings ?")
        }
        Row {
            id: confirmButtons
            anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: Theme.margin * 2 }
            spacing: Theme.margin * 4
            TouchButton {
                objectName: "confirmYes"
                width: 260
                text: page.askFactory ? qsTr("Load factory settings")
                    : page.askSave > 0 ? qsTr("Save to MEM %1").arg(page.askSave) : qsTr("Reset")
                danger: true
                onClicked: {
                    if (page.askFactory) { page.askFactory = false; menu.factoryDefault() }
                    else if (page.askSave > 0) { var n = page.askSave; page.askSave = 0; menu.saveUserMemory(n) }
                    else menu.confirmReset()
                }
            }
            TouchButton {
                objectName: "confirmNo"
                width: 200; text: qsTr("Cancel")
                onClicked: {
                    page.askFactory = false
                    if (page.askSave > 0) page.askSave = 0
                    else menu.cancelReset()
                }
            }
        }
    }

    // Audio calibration: the inputs at the reference position, each
    // channel's offset by steps, and Save.
    Loader {
        active: page.calibrating
        anchors.centerIn: parent
        sourceComponent: Rectangle {
            // As tall as the rows and the buttons under them need.
            width: 640; height: calibRows.implicitHeight + Theme.margin * 4
            color: Theme.surfaceRaised
            border.color: Theme.outline
            radius: Theme.radius
            AudioMixer { id: calib; panel: page.panelRef }
            Component.onCompleted: calib.calibration = true
            Column {
                id: calibRows
                anchors { fill: parent; margins: Theme.margin * 2 }
                spacing: Theme.spacing * 2
                ThemeText { width: parent.width; height: 40; font.bold: true; text: qsTr("Audio calibration") }
                Repeater {
                    model: [qsTr("CH 1"), qsTr("CH 2"), qsTr("HDMI"), qsTr("RCA")]
                    Row {
                        spacing: Theme.margin
                        ThemeText { width: 160; height: Theme.buttonHeight; text: modelData }
                        Stepper {
                            valueWidth: 100
                            valueText: (calib.revision, calib.offset(index))
                            onDecrement: calib.adjustOffset(index, -1)
                            onIncrement: calib.adjustOffset(index, 1)
                        }
                    }
                }
                Row {
                    spacing: Theme.margin * 3
                    TouchButton {
                        objectName: "calibrationSave"
                        width: 180; text: qsTr("Save")
                        onClicked: calib.saveCalibration()
                    }
                    TouchButton {
                        objectName: "calibrationClose"
                        width: 180; text: qsTr("CLOSE")
                        onClicked: { calib.calibration = false; page.calibrating = false }
                    }
                }
            }
        }
    }

    Loader {
        id: serviceLoader
        active: page.serviceOpen
        anchors.fill: parent
        source: "ServicePage.qml"
        Connections { target: serviceLoader.item; function onClosed() { page.serviceOpen = false } }
    }
    // Tally out to TSL receivers, over the whole menu.
    Loader {
        anchors.fill: parent
        active: page.tallyOut
        source: "TallyOutPage.qml"
        onLoaded: item.closeRequested.connect(function() { page.tallyOut = false })
    }
    Loader {
        active: page.apiOpen
        anchors.centerIn: parent
        source: "../popups/ControlApiPopup.qml"
        onLoaded: item.closed.connect(function() { page.apiOpen = false })
    }
}
