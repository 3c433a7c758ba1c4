import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"
import "../marks"

// The home screen: state lamps along the top, the program and preview buses
// in the top third (never covered by a pop-up), the transition block at the
// right hand beside the T-bar, the joystick camera, speed and user memories
// at the left, and the functions along the bottom. Every press is forwarded
// to the panel; the lamps follow the panel's state, not the press.
Rectangle {
    id: page
    color: Theme.background

    // ---- pieces -------------------------------------------------------------
    component FunctionButton: TouchButton {
        width: parent.buttonWidth; height: Theme.buttonHeight
        litColor: Theme.selected
    }

    // A labelled row of buttons.
    component Group: Rectangle {
        property string title
        default property alias content: groupRow.data
        width: parent.width
        height: Theme.buttonHeight + 2 * 14
        radius: Theme.radius
        color: Theme.surface
        Text {
            x: Theme.margin
            width: 100; height: parent.height
            text: parent.title
            verticalAlignment: Text.AlignVCenter
            wrapMode: Text.WordWrap
            fontSizeMode: Text.Fit; minimumPixelSize: 11
            color: Theme.textDim
            font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall; font.bold: true
        }
        Row {
            id: groupRow
            x: Theme.margin + 100 + Theme.spacing
            anchors.verticalCenter: parent.verticalCenter
            spacing: Theme.spacing
        }
    }

    // A state lamp with its name.
    component Lamp: Row {
        property string text
        property color tone: Theme.preview
        property bool lit: false
        spacing: 7
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 16; height: 16; radius: 8
            color: parent.lit ? parent.tone : "transparent"
            border.color: parent.lit ? Qt.lighter(parent.tone, 1.2) : Theme.offline
            border.width: 2
        }
        Text {
            text: parent.text
            anchors.verticalCenter: parent.verticalCenter
            color: parent.lit ? Theme.text : Theme.textDim
            font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall; font.bold: true
        }
    }

    // One bus: its name, six source buttons and its two keyer buttons.
    component Bus: Row {
        id: bus
        property string title
        property color tone
        property int selected: -1
        property string keyerOne
        property string keyerTwo
        property bool keyerOneOn: false
        property bool keyerTwoOn: false
        property int busControl: -1
        property int keyerOneControl: -1
        property int keyerTwoControl: -1
        // Shown as the panel last knew it, not (yet) read back from the board.
        readonly property bool unconfirmed: !panel.boardStateTrusted
        signal pressedButton(int button)
        signal keyerOnePressed()
        signal keyerTwoPressed()
        spacing: Theme.spacing

        BoardCaption {
            width: page.labelWidth; height: Theme.buttonHeight
            color: Qt.darker(bus.tone, 2.2)
            frameColor: bus.tone
            padding: 4
            text: bus.title
            horizontalAlignment: Text.AlignHCenter
            font.pixelSize: Theme.fontLarge; font.bold: true
            OutcomeTag {
                control: bus.busControl
                anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
                height: parent.height
            }
        }
        Repeater {
            model: 6
            TouchButton {
                readonly property bool isToggle: index === 5
                // The source this button puts on the bus (the toggle: what it shows).
                readonly property int source: isToggle ? (bus.selected === page.sourceColourBar
                                                          ? page.sourceColourBar : page.sourceBackground) : index
                width: 100; height: Theme.buttonHeight
                unconfirmed: bus.unconfirmed
                text: isToggle ? page.bkgBarText(bus.selected)
                    : [qsTr("BLK"), qsTr("IN1"), qsTr("IN2"), qsTr("IN3"), qsTr("IN4")][index]
                fontSize: Theme.fontLarge
                lit: isToggle ? (bus.selected === page.sourceBackground || bus.selected === page.sourceColourBar)
                              : bus.selected === index
                litColor: bus.tone
                actOnPress: true
                onActivated: bus.pressedButton(index)
                // Which camera an input carries, and what the toggle gives next.
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.bottom: parent.bottom; anchors.bottomMargin: 3
                    visible: text !== ""
                    text: parent.isToggle ? (parent.lit ? "› " + (bus.selected === page.sourceColourBar
                                                                  ? qsTr("BKG") : qsTr("BAR")) : "")
                        : (index >= 1 && index <= 3 && !offlineTag.offline ? qsTr("CAM %1").arg(index) : "")
                    color: parent.lit ? Theme.textOnState : Theme.textDim
                    opacity: 0.85
                    font.family: Theme.fontFamily; font.pixelSize: 12
                }
                TallyTag { source: parent.source; x: 3; y: 3 }
                OfflineTag {
                    id: offlineTag
                    camera: index - 1
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.bottom: parent.bottom; anchors.bottomMargin: 3
                }
            }
        }
        Item { width: 28; height: 1 }
        TouchButton {
            text: bus.keyerOne
            width: 112; height: Theme.buttonHeight
            lit: bus.keyerOneOn
            litColor: bus.tone
            opacity: bus.unconfirmed ? 0.6 : 1
            actOnPress: true
            onActivated: bus.keyerOnePressed()
            OutcomeTag {
                control: bus.keyerOneControl
                anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
                anchors.margins: 2
            }
        }
        TouchButton {
            text: bus.keyerTwo
            width: 112; height: Theme.buttonHeight
            lit: bus.keyerTwoOn
            litColor: bus.tone
            opacity: bus.unconfirmed ? 0.6 : 1
            actOnPress: true
            onActivated: bus.keyerTwoPressed()
            OutcomeTag {
                control: bus.keyerTwoControl
                anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
                anchors.margins: 2
            }
        }
    }

    readonly property int statusBarHeight: 48
    readonly property int labelWidth: 76
    readonly property int rowGap: 16

    // Source numbers of the six bus buttons: black, inputs 1..4, and the
    // background / colour bar toggle.
    readonly property int sourceBackground: 5
    readonly property int sourceColourBar: 6

    function cameraOnAir(cam) { return panel.programNo === cam + 1 }
    function cameraOnPreview(cam) { return panel.previewNo === cam + 1 }
    // `online` is passed in so that a binding follows the camera's flag.
    function camTallyColour(cam, online) {
        if (!online)
            return Theme.offline
        if (cameraOnAir(cam))
            return Theme.program
        if (cameraOnPreview(cam))
            return Theme.preview
        return Theme.text
    }

    // The label of a bus's sixth button says what the bus shows: colour bar
    // when it is on colour bar, background otherwise (a press from any other
    // source selects background).
    function bkgBarText(bus) { return bus === sourceColourBar ? qsTr("BAR") : qsTr("BKG") }

    // ---- status bar ---------------------------------------------------------
    Rectangle {
        id: statusBar
        width: parent.width
        height: page.statusBarHeight
        color: Theme.surface

        Row {
            id: lamps
            anchors.left: parent.left; anchors.leftMargin: Theme.margin
            anchors.verticalCenter: parent.verticalCenter
            spacing: 18

            Repeater {
                model: 3
                Lamp {
                    // Re-evaluated when any of these change.
                    readonly property bool online: [panel.cam1Online, panel.cam2Online, panel.cam3Online][index]
                    text: qsTr("CAM%1").arg(index + 1)
                    tone: page.camTallyColour(index, online)
                    lit: online
                }
            }
            Rectangle { width: 1; height: 28; color: Theme.outline; anchors.verticalCenter: parent.verticalCenter }
            // The mainboard link in three states: answering; not answering
            // (NO CONTROL, flashing: presses are not reaching the board);
            // line closed.
            Rectangle {
                id: link
                readonly property int linkState: panel.switcher.linkState
                readonly property bool noControl: linkState === SwitcherState.LinkNotAnswering
                property bool flash: true
                anchors.verticalCenter: parent.verticalCenter
                width: linkLamp.width + (noControl ? 20 : 0); height: 34
                radius: 4
                color: noControl ? (flash ? Theme.program : Theme.programDim) : "transparent"
                border.color: noControl ? Theme.textOnState : "transparent"
                border.width: 2
                Lamp {
                    id: linkLamp
                    anchors.centerIn: parent
                    text: link.linkState === SwitcherState.LinkAnswering ? qsTr("MAINBOARD")
                        : link.noControl ? qsTr("NO CONTROL · MAINBOARD NOT ANSWERING")
                                         : qsTr("MAINBOARD OFFLINE")
                    tone: link.linkState === SwitcherState.LinkAnswering ? Theme.preview : Theme.textOnState
                    lit: link.linkState !== SwitcherState.LinkClosed
                }
                // Runs only while the board is silent: an idle panel draws nothing.
                Timer {
                    interval: 500; repeat: true
                    running: link.noControl
                    onRunningChanged: link.flash = true
                    onTriggered: link.flash = !link.flash
                }
            }
        }

        Row {
            anchors.right: parent.right; anchors.rightMargin: Theme.margin
            anchors.verticalCenter: parent.verticalCenter
            spacing: 18
            Text {
                anchors.verticalCenter: parent.verticalCenter
                visible: panel.screenshotMode
                text: qsTr("SCREENSHOT MODE")
                color: Theme.accent
                font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall; font.bold: true
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("MEM %1").arg(panel.userMemorySel)
                visible: panel.userMemorySel > 0
                color: Theme.textDim
                font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall
            }
            // Program audio, compact: left over right, with the held peaks.
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4
                Repeater {
                    model: 2
                    Row {
                        spacing: 5
                        readonly property int level: index === 0 ? panel.meter.left : panel.meter.right
                        readonly property int peak: index === 0 ? panel.meter.leftPeak : panel.meter.rightPeak
                        Text {
                            width: 10
                            anchors.verticalCenter: parent.verticalCenter
                            text: index === 0 ? qsTr("L") : qsTr("R")
                            color: Theme.textDim
                            font.family: Theme.fontFamily; font.pixelSize: 11; font.bold: true
                        }
                        Rectangle {
                            width: 90; height: 10
                            color: Theme.track
                            border.color: Theme.outline
                            Rectangle {
                                x: 1; y: 1; height: parent.height - 2
                                width: Math.round((parent.width - 2) * parent.parent.level / 255)
                                color: Theme.meterColour(parent.parent.level)
                            }
                            Rectangle {
                                visible: parent.parent.peak > 0
                                y: 1; height: parent.height - 2; width: 2
                                x: 1 + Math.round((parent.width - 4) * parent.parent.peak / 255)
                                color: Theme.text
                            }
                        }
                    }
                }
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: panel.appVersion + "  ·  " + qsTr("MB %1").arg(panel.mainboardVersion)
                color: Theme.textDim
                font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall
            }
        }
    }

    // ---- buses (top third) ----------------------------------------------------
    Column {
        id: buses
        x: Theme.margin
        y: page.statusBarHeight + Theme.spacing
        spacing: Theme.spacing

        Bus {
            title: qsTr("PGM")
            tone: Theme.program
            selected: panel.programNo
            busControl: Switching.ProgramBus
            keyerOneControl: Switching.PipProgram; keyerTwoControl: Switching.KeyProgram
            onPressedButton: panel.pressProgram(button)
            keyerOne: qsTr("PiP PGM"); keyerOneOn: panel.pipPgmFlag
            onKeyerOnePressed: panel.togglePipProgram()
            keyerTwo: qsTr("KEY PGM"); keyerTwoOn: panel.lumaPgmFlag
            onKeyerTwoPressed: panel.toggleKeyProgram()
        }
        Bus {
            title: qsTr("PVW")
            tone: Theme.preview
            selected: panel.previewNo
            busControl: Switching.PreviewBus
            keyerOneControl: Switching.PipPreview; keyerTwoControl: Switching.KeyPreview
            onPressedButton: panel.pressPreview(button)
            keyerOne: qsTr("PiP PVW"); keyerOneOn: panel.pipPvwFlag
            onKeyerOnePressed: panel.togglePipPreview()
            keyerTwo: qsTr("KEY PVW"); keyerTwoOn: panel.lumaPvwFlag
            onKeyerTwoPressed: panel.toggleKeyPreview()
        }
    }

    // ---- lower two thirds -------------------------------------------------------
    readonly property int lowerTop: Math.round(height / 3) + Theme.spacing
    readonly property int functionRowY: height - Theme.margin - Theme.buttonHeight
    readonly property int tbarWidth: 64
    readonly property int transitionWidth: 2 * 140 + Theme.spacing

    // Joystick camera, speed class and user memories.
    Column {
        x: Theme.margin
        y: page.lowerTop
        width: page.width - 2 * Theme.margin - page.tbarWidth - page.transitionWidth - 2 * page.rowGap
        spacing: (page.functionRowY - page.rowGap - y - 3 * (Theme.buttonHeight + 28)) / 2

        Group {
            title: qsTr("JOYSTICK")
            Repeater {
                model: 3
                TouchButton {
                    readonly property bool online: [panel.cam1Online, panel.cam2Online, panel.cam3Online][index]
                    width: 150; height: Theme.buttonHeight
                    text: qsTr("CAM %1").arg(index + 1)
                    lit: panel.trackingCamSel === index
                    litColor: Theme.selected
                    onClicked: panel.trackingCamSel = index
                    // Online lamp with the camera's tally colour.
                    Rectangle {
                        x: 8; y: 8; width: 12; height: 12; radius: 6
                        color: parent.online ? page.camTallyColour(index, true) : "transparent"
                        border.color: parent.online ? Qt.lighter(color, 1.2) : Theme.offline
                        border.width: 2
                    }
                    TallyTag { source: index + 1; anchors.right: parent.right; anchors.top: parent.top; anchors.margins: 3 }
                    OfflineTag {
                        camera: index
                        anchors.horizontalCenter: parent.horizontalCenter
                        anchors.bottom: parent.bottom; anchors.bottomMargin: 3
                    }
                }
            }
        }
        Group {
            title: qsTr("SPEED")
            Repeater {
                // Speed classes as the hardware speed keys set them.
                model: [{ name: qsTr("SLOW"), speed: 6, value: 8 },
                        { name: qsTr("MID"), speed: 12, value: 16 },
                        { name: qsTr("FAST"), speed: 18, value: 24 }]
                TouchButton {
                    width: 150; height: Theme.buttonHeight
                    text: modelData.name
                    lit: panel.speedValue === modelData.value
                    litColor: Theme.selected
                    onClicked: panel.setCameraSpeed(panel.trackingCamSel, modelData.speed)
                }
            }
        }
        Group {
            title: qsTr("MEMORY\nhold to recall")
            Repeater {
                model: 2
                TouchButton {
                    width: 150; height: Theme.buttonHeight
                    text: qsTr("MEM %1").arg(index + 1)
                    objectName: "recallMem" + (index + 1)
                    lit: panel.userMemorySel === index + 1
                    litColor: Theme.selected
                    // A whole switcher memory and the audio levels: held, not tapped.
                    holdMs: 600
                    onHeld: panel.recallUserMemory(index + 1)
                    OutcomeTag {
                        control: parent.lit ? Switching.UserMemory : -1
                        anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
                        anchors.margins: 2
                    }
                }
            }
        }
    }

    // Transition block, at the right hand beside the T-bar.
    Item {
        id: transition
        x: page.width - Theme.margin - page.tbarWidth - page.rowGap - width
        y: page.lowerTop
        width: page.transitionWidth
        height: page.functionRowY - y - page.rowGap

        Row {
            id: modeRow
            spacing: Theme.spacing
            TouchButton {
                width: 140; height: Theme.buttonHeight
                text: qsTr("MIX")
                lit: !panel.wipeSelected
                litColor: Theme.selected
                unconfirmed: !panel.boardStateTrusted
                onClicked: panel.selectMix()
                OutcomeTag {
                    control: Switching.Mix
                    anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
                    anchors.margins: 2
                }
            }
            TouchButton {
                width: 140; height: Theme.buttonHeight
                text: qsTr("WIPE")
                lit: panel.wipeSelected
                litColor: Theme.selected
                unconfirmed: !panel.boardStateTrusted
                onClicked: panel.selectWipe()
                OutcomeTag {
                    control: Switching.Wipe
                    anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
                    anchors.margins: 2
                }
            }
        }
        // One tag across both, along their top (inside: a pop-up starts at
        // their top edge): which of the two the board has is the state.
        UnconfirmedTag {
            anchors.left: modeRow.left; anchors.right: modeRow.right; anchors.top: modeRow.top
            anchors.margins: 2
            height: 18 // clear of the Chinese names under it
        }
        Row {
            anchors.top: modeRow.bottom; anchors.topMargin: 12
            anchors.bottom: parent.bottom
            spacing: Theme.spacing
            TouchButton {
                width: 140; height: parent.height
                text: qsTr("CUT")
                fontSize: Theme.fontTitle + 4
                objectName: "cut"
                border.color: Theme.text
                actOnPress: true
                onActivated: panel.cut()
                OutcomeTag {
                    control: Switching.Cut
                    anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
                    anchors.margins: 4
                    height: 40
                }
            }
            TouchButton {
                width: 140; height: parent.height
                text: qsTr("AUTO")
                fontSize: Theme.fontTitle + 4
                lit: panel.transitionRunning
                litColor: Theme.program
                border.color: lit ? Qt.lighter(litColor, 1.3) : Theme.text
                objectName: "auto"
                actOnPress: true
                onActivated: panel.autoTransition()
                // How far the transition should be, from its rate: the lamp
                // still waits for the board to say it ended.
                Rectangle {
                    visible: panel.transitionRunning && panel.autoLengthMs > 0
                    x: 8; y: 8; height: 10
                    width: (parent.width - 16) * panel.autoProgress
                    radius: 4
                    color: Theme.text
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.bottom: parent.bottom; anchors.bottomMargin: 10
                    // The rate is the board's: a "?" and amber until read back.
                    text: qsTr("rate %1 fr").arg(panel.transSpeed) + (panel.boardStateTrusted ? "" : " ?")
                    color: panel.boardStateTrusted ? Theme.textDim : Theme.warning
                    font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall
                }
                OutcomeTag {
                    control: Switching.Auto
                    anchors.left: parent.left; anchors.right: parent.right; anchors.bottom: parent.bottom
                    anchors.margins: 4
                    height: 40
                }
            }
        }
    }

    // T-bar position and lock, where the hand finds the lever.
    Item {
        id: tbar
        x: page.width - Theme.margin - width
        y: page.lowerTop
        width: page.tbarWidth
        height: page.height - Theme.margin - y

        Text {
            id: tbarTitle
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("T-BAR")
            color: Theme.textDim
            font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall; font.bold: true
        }
        Rectangle {
            id: track
            anchors.top: tbarTitle.bottom; anchors.topMargin: 6
            anchors.bottom: lock.top; anchors.bottomMargin: Theme.spacing
            anchors.horizontalCenter: parent.horizontalCenter
            width: 28
            radius: 4
            color: Theme.surface
            border.color: Theme.outline
            border.width: Theme.borderWidth
            Rectangle {
                anchors.bottom: parent.bottom
                anchors.left: parent.left; anchors.right: parent.right
                anchors.margins: 3
                height: Math.round((parent.height - 6) * Math.max(0, Math.min(1023, panel.tbarPosition)) / 1023)
                radius: 2
                color: panel.lockJoystickAndTBar ? Theme.offline : Theme.program
            }
            // The end that swaps program and preview next, by shape.
            Text {
                visible: panel.tbarSwapEnd >= 0
                anchors.horizontalCenter: parent.horizontalCenter
                y: panel.tbarSwapEnd > 0 ? 4 : parent.height - height - 4
                text: panel.tbarSwapEnd > 0 ? "▲" : "▼"
                color: Theme.text
                style: Text.Outline; styleColor: "black"
                font.family: Theme.fontFamily; font.pixelSize: 18
            }
        }
        Rectangle {
            id: lock
            anchors.bottom: parent.bottom
            width: parent.width; height: Theme.buttonHeight
            radius: Theme.radius
            color: panel.lockJoystickAndTBar ? Theme.accent : Theme.surface
            border.color: panel.lockJoystickAndTBar ? Qt.lighter(Theme.accent, 1.3) : Theme.outline
            border.width: Theme.borderWidth
            Text {
                anchors.fill: parent
                anchors.margins: 2
                horizontalAlignment: Text.AlignHCenter; verticalAlignment: Text.AlignVCenter
                wrapMode: Text.WordWrap
                fontSizeMode: Text.Fit; minimumPixelSize: 10
                text: panel.lockJoystickAndTBar ? qsTr("LOCKED") : qsTr("UNLOCKED")
                color: panel.lockJoystickAndTBar ? "black" : Theme.textDim
                font.family: Theme.fontFamily; font.pixelSize: Theme.fontSmall; font.bold: true
            }
        }
    }

    // Functions along the bottom.
    Row {
        x: Theme.margin
        y: page.functionRowY
        spacing: Theme.spacing
        readonly property int buttonWidth: (page.width - 2 * Theme.margin - page.tbarWidth - page.rowGap
                                            - 5 * spacing) / 6
        FunctionButton { text: qsTr("TRACKING"); lit: panel.page === Panel.TrackingPage
            onClicked: panel.showPage(lit ? Panel.HomePage : Panel.TrackingPage) }
        FunctionButton { text: qsTr("CAMERA"); lit: panel.funcSel === 1
            onClicked: panel.openFunction(lit ? -1 : 1) }
        FunctionButton { text: qsTr("PiP"); lit: panel.funcSel === 2
            onClicked: panel.openFunction(lit ? -1 : 2) }
        FunctionButton { text: qsTr("LUMA"); lit: panel.funcSel === 3
            onClicked: panel.openFunction(lit ? -1 : 3) }
        FunctionButton { text: qsTr("AUDIO"); lit: panel.funcSel === 4
            onClicked: panel.openFunction(lit ? -1 : 4) }
        FunctionButton { text: qsTr("SETUP"); lit: panel.page === Panel.SetupMenuPage
            onClicked: panel.showPage(Panel.SetupMenuPage) }
    }
}
