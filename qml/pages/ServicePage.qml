import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// The service page, for installers and service staff: every line's health,
// the raw inputs of the control surface, the key and lamp tests, the
// network and the board. ServiceStatus reads the lanes once a second while
// this page is shown and nothing while it is closed.
Rectangle {
    id: page
    color: Theme.surface
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius

    signal closed()
    property int tab: 0
    readonly property var panelRef: panel
    ServiceStatus { id: status; panel: page.panelRef; active: page.visible }
    ConfigBackup { id: backup; panel: page.panelRef }

    readonly property var mb: status.mainboard
    readonly property var conv: status.converter
    readonly property var sys: status.system

    function shown(v) { return v === undefined || v === "" || v === null || v < 0 ? "–" : String(v) }

    // A caption and its value, read at arm's length.
    component Field: Row {
        property string title: ""
        property var value
        property color valueColor: Theme.text
        property real titleWidth: 150
        property real valueWidth: 150
        spacing: Theme.spacing
        ThemeText { width: titleWidth; height: 34; dim: true; text: title }
        ThemeText { width: valueWidth; height: 34; color: valueColor; font.bold: true; text: page.shown(value) }
    }

    ThemeText {
        id: title
        x: Theme.margin * 2; y: Theme.margin
        width: 150; height: Theme.buttonHeight
        font.pixelSize: Theme.fontTitle
        font.bold: true
        text: qsTr("Service")
    }
    Selector {
        objectName: "serviceTabs"
        anchors { left: title.right; top: title.top }
        buttonWidth: 150
        model: [qsTr("Lines"), qsTr("Controls"), qsTr("System"), qsTr("Support")]
        currentIndex: page.tab
        onActivated: page.tab = index
    }
    TouchButton {
        objectName: "serviceClose"
        anchors { right: parent.right; top: parent.top; margins: Theme.margin }
        width: 150
        text: qsTr("CLOSE")
        onClicked: { status.keyTest = false; page.closed() }
    }

    Item {
        id: body
        anchors { left: parent.left; right: parent.right; top: title.bottom; bottom: parent.bottom; margins: Theme.margin * 2 }

        // Lines: the mainboard and the three cameras.
        Row {
            visible: page.tab === 0
            spacing: Theme.margin * 3
            Column {
                spacing: 2
                Row {
                    spacing: Theme.spacing
                    Rectangle {
                        width: 18; height: 18; radius: 9; anchors.verticalCenter: parent.verticalCenter
                        color: page.mb.answering ? Theme.preview : Theme.program
                    }
                    ThemeText {
                        width: 280; height: 40; font.bold: true
                        text: page.mb.answering ? qsTr("Mainboard answering") : qsTr("Mainboard not answering")
                    }
                }
                Field { title: qsTr("Frames sent"); value: page.mb.sent }
                Field { title: qsTr("Acknowledged"); value: page.mb.acknowledged }
                Field { title: qsTr("Refused"); value: page.mb.refused; valueColor: page.mb.refused > 0 ? Theme.warning : Theme.text }
                Field { title: qsTr("Timed out"); value: page.mb.timedOut; valueColor: page.mb.timedOut > 0 ? Theme.warning : Theme.text }
                Field { title: qsTr("Late replies"); value: page.mb.late }
                Field { title: qsTr("Garbled replies"); value: page.mb.garbled; valueColor: page.mb.garbled > 0 ? Theme.warning : Theme.text }
                Field { title: qsTr("Write failures"); value: page.mb.writeFailed }
                Field { title: qsTr("Last error"); value: page.mb.lastErrorAt ? page.mb.lastError + "  " + page.mb.lastErrorAt : page.mb.lastError }
            }
            Column {
                spacing: 2
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: 140; height: 40 }
                    Repeater {
                        model: 3
                        ThemeText { width: 150; height: 40; font.bold: true; text: qsTr("Camera %1").arg(index + 1) }
                    }
                }
                Repeater {
                    model: [
                        { title: qsTr("Line"), key: "online" },
                        { title: qsTr("Messages"), key: "messages" },
                        { title: qsTr("Timed out"), key: "timedOut" },
                        { title: qsTr("Replies (1 min)"), key: "replies" },
                        { title: qsTr("Reply p50 (ms)"), key: "p50" },
                        { title: qsTr("Reply p99 (ms)"), key: "p99" },
                        { title: qsTr("Model"), key: "model" },
                        { title: qsTr("Version"), key: "version" }
                    ]
                    Row {
                        readonly property var row: modelData
                        spacing: Theme.spacing
                        ThemeText { width: 140; height: 34; dim: true; text: row.title }
                        Repeater {
                            model: 3
                            ThemeText {
                                readonly property var cam: status.cameras[index] || {}
                                width: 150; height: 34; font.bold: true
                                objectName: "camera" + index + "_" + row.key
                                color: row.key === "online" ? (cam.online ? Theme.preview : Theme.program) : Theme.text
                                text: row.key === "online" ? (cam.online ? qsTr("online") : qsTr("offline"))
                                                           : page.shown(cam[row.key])
                            }
                        }
                    }
                }
            }
        }

        // Controls: the converter's readings, the key test, the lamp test.
        Row {
            visible: page.tab === 1
            spacing: Theme.margin * 3
            Column {
                spacing: 2
                ThemeText { width: 330; height: 40; font.bold: true; text: qsTr("Converter (raw readings)") }
                Field { title: qsTr("T-bar"); value: page.conv.tbarRaw }
                Field { title: qsTr("T-bar position"); value: page.conv.tbar }
                Field { title: qsTr("T-bar ends"); value: page.conv.lower === undefined ? "" : page.conv.lower + " … " + page.conv.upper }
                Field { title: qsTr("Joystick X"); value: page.conv.joyX }
                Field { title: qsTr("Joystick Y"); value: page.conv.joyY }
                Field { title: qsTr("Joystick centre"); value: page.conv.joyMid }
                Field { title: qsTr("Zoom"); value: page.conv.zoom }
                Field { title: qsTr("Zoom centre"); value: page.conv.zoomMid }
            }
            Column {
                spacing: Theme.spacing
                Row {
                    spacing: Theme.margin
                    TouchButton {
                        objectName: "keyTest"
                        width: 250
                        lit: status.keyTest
                        text: status.keyTest ? qsTr("End key test") : qsTr("Key test")
                        onClicked: status.keyTest = !status.keyTest
                    }
                    TouchButton {
                        objectName: "lampTest"
                        width: 250
                        lit: status.lampUnderTest >= 0
                        enabled: status.lampUnderTest < 0
                        text: qsTr("Lamp test")
                        onClicked: status.startLampTest()
                    }
                }
                ThemeText {
                    width: 520; height: 40; dim: true; wrapMode: Text.WordWrap
                    text: status.keyTest ? qsTr("Press the keys: nothing is sent to the switcher.")
                                         : qsTr("During the key test the keys switch nothing.")
                }
                Grid {
                    columns: 4; spacing: Theme.spacing
                    Repeater {
                        model: [qsTr("LOCK"), qsTr("FAST"), qsTr("MID"), qsTr("SLOW"), qsTr("CUT"), qsTr("AUTO"), qsTr("UNLOCK")]
                        Rectangle {
                            objectName: "keyTile" + index
                            width: 124; height: 70; radius: Theme.radius
                            color: status.lastKey === index ? Theme.accent
                                 : (status.keyPresses[index] > 0 ? Theme.pressed : Theme.surfaceRaised)
                            border.color: Theme.outline
                            opacity: status.keyTest ? 1 : 0.5
                            Column {
                                anchors.centerIn: parent
                                ThemeText { width: 110; height: 30; horizontalAlignment: Text.AlignHCenter; font.bold: true; text: modelData }
                                ThemeText { width: 110; height: 26; horizontalAlignment: Text.AlignHCenter; dim: true; text: "× " + status.keyPresses[index] }
                            }
                        }
                    }
                }
                ThemeText {
                    width: 520; height: 40
                    visible: status.lampUnderTest >= 0
                    text: qsTr("Key lamp pattern %1 of 4 lit").arg(status.lampUnderTest + 1)
                }
            }
        }

        // System: network, versions, the board.
        Row {
            visible: page.tab === 2
            spacing: Theme.margin * 3
            Column {
                spacing: 2
                ThemeText { width: 330; height: 40; font.bold: true; text: qsTr("Network") }
                Field { title: qsTr("Address"); value: page.sys.address; valueWidth: 200 }
                Field { title: qsTr("Mask"); value: page.sys.mask; valueWidth: 200 }
                Field { title: qsTr("Gateway"); value: page.sys.gateway; valueWidth: 200 }
                Field {
                    title: qsTr("Link"); valueWidth: 200
                    value: page.sys.link === "up" ? qsTr("up") : page.sys.link === "down" ? qsTr("down") : page.sys.link
                }
                Field { title: qsTr("Discovery requests"); value: page.sys.discovery; valueWidth: 200 }
            }
            Column {
                spacing: 2
                ThemeText { width: 330; height: 40; font.bold: true; text: qsTr("Unit") }
                Field { title: qsTr("Panel"); value: page.sys.panelVersion; valueWidth: 230 }
                Field { title: qsTr("Mainboard firmware"); value: page.sys.mainboardVersion; valueWidth: 230 }
                Field { title: qsTr("Uptime"); value: page.sys.uptime; valueWidth: 230 }
                Field { title: qsTr("CPU"); value: page.sys.cpu === undefined ? "" : page.sys.cpu + " %"; valueWidth: 230 }
                Field { title: qsTr("Memory"); value: page.sys.memory; valueWidth: 230 }
                Field { title: qsTr("Board temperature"); value: page.sys.temperature === undefined ? "" : page.sys.temperature + " °C"; valueWidth: 230 }
            }
        }

        // Support: the bundle for support, the configuration to and from the medium.
        Column {
            visible: page.tab === 3
            spacing: Theme.spacing * 2
            Row {
                spacing: Theme.margin
                TouchButton {
                    objectName: "supportBundle"
                    width: 300
                    enabled: !status.bundleBusy
                    text: qsTr("Write support bundle")
                    onClicked: status.writeSupportBundle()
                }
                ThemeText {
                    width: 640; height: Theme.buttonHeight; wrapMode: Text.WordWrap
                    dim: status.bundleMessage === ""
                    text: status.bundleMessage !== "" ? status.bundleMessage
                                                      : qsTr("Settings, network, recent log, versions and counters, written to the update medium. No passwords or tokens.")
                }
            }
            Row {
                spacing: Theme.margin
                TouchButton {
                    objectName: "configBackup"
                    width: 300
                    enabled: !backup.busy && !backup.restorePending
                    text: qsTr("Back up configuration")
                    onClicked: backup.backup()
                }
                TouchButton {
                    objectName: "configRestore"
                    width: 300
                    enabled: !backup.busy && !backup.restorePending
                    text: qsTr("Restore configuration")
                    onClicked: backup.prepareRestore()
                }
            }
            ThemeText {
                width: 940; height: 40; wrapMode: Text.WordWrap
                dim: backup.message === ""
                text: backup.message !== "" ? backup.message
                                            : qsTr("The unit's settings to and from the update medium. A restore shows what will change before anything does.")
            }
            ListView {
                visible: backup.restorePending
                width: 940; height: 150; clip: true
                model: backup.changes.concat(backup.networkChanges.length > 0
                                             ? [qsTr("Network (only with the network):")].concat(backup.networkChanges) : [])
                delegate: ThemeText { width: 940; height: 28; font.pixelSize: Theme.fontSmall; text: modelData }
            }
            Row {
                visible: backup.restorePending
                spacing: Theme.margin
                TouchButton {
                    objectName: "restoreSettings"
                    width: 300; text: qsTr("Restore without network")
                    onClicked: backup.applyRestore(false)
                }
                TouchButton {
                    objectName: "restoreWithNetwork"
                    width: 300; visible: backup.networkChanges.length > 0
                    text: qsTr("Restore with network")
                    onClicked: backup.applyRestore(true)
                }
                TouchButton {
                    objectName: "restoreCancel"
                    width: 200; text: qsTr("Cancel")
                    onClicked: backup.cancelRestore()
                }
            }
        }
    }
}
