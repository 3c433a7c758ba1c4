import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import "."

// The simulated unit: its controls on the left, every device's live state
// on the right, the frames the devices received at the bottom. Everything
// goes through `unit` (SimUnitModel): state comes from it, and every control
// sends the console's command lines to it.
ApplicationWindow {
    id: win
    title: "tavrik — simulated unit"
    width: 1180; height: 780
    visible: true
    color: SimTheme.background
    font.pixelSize: SimTheme.body

    readonly property var mb: unit.mainboard
    readonly property var ctl: unit.controls
    readonly property var pi: unit.pi
    readonly property var keyNames: ["LOCK", "FAST", "MID", "SLOW", "CUT", "AUTO", "UNLOCK"]

    function onOff(v) { return v ? "on" : "off" }
    function levelText(v) { return v < 0 ? "–" : (v ? "high" : "low") }

    // ---- the controls ----
    Card {
        id: controlsCard
        title: "Controls"
        x: SimTheme.gap; y: SimTheme.gap; width: 392; height: mbCard.height + SimTheme.gap + 300
        alert: ctl.converterMode !== "Healthy"

        Grid {
            id: keys
            columns: 4; spacing: SimTheme.gap
            Repeater {
                model: 7
                SimKey {
                    number: index
                    label: win.keyNames[index]
                    held: ctl.keysHeld ? ctl.keysHeld[index] : false
                    lampOn: pi.keyLamps === true
                    lampColor: index === 4 ? SimTheme.program : (index === 5 ? SimTheme.preview : SimTheme.lamp)
                    onDown: unit.command("key " + index + " down")
                    onUp: unit.command("key " + index + " up")
                }
            }
        }
        TBar {
            id: tbar
            anchors { top: keys.bottom; topMargin: 18; left: parent.left }
            height: 250
            reading: ctl.tbar
            maximum: unit.readingMax
            onMoved: unit.command("tbar " + value)
        }
        Text {
            anchors { top: tbar.bottom; horizontalCenter: tbar.horizontalCenter; topMargin: 4 }
            text: "T-bar"; color: SimTheme.dim; font.pixelSize: SimTheme.small
        }
        Column {
            anchors { top: keys.bottom; topMargin: 18; right: parent.right }
            spacing: 10
            Joystick {
                readingX: ctl.joyX; readingY: ctl.joyY
                onMoved: unit.command("joy " + x + " " + y)
            }
            Rocker {
                reading: ctl.zoom
                onMoved: unit.command("zoom " + value)
            }
            Row {
                spacing: 12
                Rectangle {
                    id: power
                    objectName: "power"
                    width: 60; height: 60; radius: 30
                    color: powerArea.pressed || ctl.power ? SimTheme.program : SimTheme.raised
                    border.color: SimTheme.dim
                    Text { anchors.centerIn: parent; text: "PWR"; color: SimTheme.text; font.pixelSize: SimTheme.small; font.bold: true }
                    MouseArea {
                        id: powerArea
                        anchors.fill: parent
                        onPressed: unit.command("power down")
                        onReleased: unit.command("power up")
                        onCanceled: unit.command("power up")
                    }
                }
                Column {
                    anchors.verticalCenter: parent.verticalCenter
                    Text { text: "Power (hold)"; color: SimTheme.dim; font.pixelSize: SimTheme.small }
                    Text { text: "line 27: " + levelText(pi.powerOffLine) + ", pulses " + pi.powerOffPulses
                           color: pi.powerOffPulses > 0 ? SimTheme.warn : SimTheme.text; font.pixelSize: SimTheme.small }
                }
            }
        }
        Column {
            anchors { bottom: parent.bottom; left: parent.left; right: parent.right }
            spacing: 4
            Text { text: "Converter: " + ctl.tbar + " · " + ctl.zoom + " · " + ctl.joyX + " · " + ctl.joyY
                         + (ctl.converterOpen ? "" : " · closed") + " · opened " + ctl.converterConnections + "×"
                   color: SimTheme.dim; font.pixelSize: SimTheme.small }
            ModeBox {
                width: parent.width
                model: unit.converterModes
                current: ctl.converterMode
                onPicked: unit.command("conv " + mode)
            }
        }
    }

    // ---- the mainboard ----
    Card {
        id: mbCard
        title: "Mainboard " + (mb.online ? "" : "· line closed") + (mb.bootLoader ? " · boot loader" : "")
        x: controlsCard.x + controlsCard.width + SimTheme.gap; y: SimTheme.gap
        width: win.width - x - SimTheme.gap; height: 250
        alert: mb.mode !== "Normal" || mb.bootMode !== "BootNormal" || mb.bootLoader === true

        Row {
            id: buses
            spacing: SimTheme.gap
            Repeater {
                model: [ { name: "PROGRAM", src: mb.program, col: SimTheme.program },
                         { name: "PREVIEW", src: mb.preview, col: SimTheme.preview } ]
                Rectangle {
                    width: 110; height: 84; radius: SimTheme.radius
                    color: Qt.darker(modelData.col, 2.6); border.color: modelData.col; border.width: 2
                    objectName: modelData.name.toLowerCase()
                    Text { x: 8; y: 4; text: modelData.name; color: modelData.col; font.pixelSize: SimTheme.small; font.bold: true }
                    Text { anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: 4 }
                           text: modelData.src; color: SimTheme.text; font.pixelSize: SimTheme.big; font.bold: true }
                }
            }
            Column {
                spacing: 4
                width: mbCard.width - 2 * 110 - 3 * SimTheme.gap - 20
                Text { text: mb.transition ? (mb.autoRunning ? "AUTO transition running" : "T-bar transition")
                                           : "no transition"
                       color: mb.transition ? SimTheme.warn : SimTheme.dim; font.pixelSize: SimTheme.body; font.bold: mb.transition }
                Rectangle {
                    width: parent.width; height: 12; radius: 6; color: SimTheme.raised
                    Rectangle { width: parent.width * mb.tbar / 1023; height: parent.height; radius: 6; color: SimTheme.warn }
                }
                Field { width: parent.width; label: "T-bar"; value: mb.tbar + " / 1023" }
                Field { width: parent.width; label: "Rate"; value: mb.rate + " frames, " + (mb.wipe ? "wipe " + mb.wipePattern + (mb.reverse ? " rev" : "") : "mix") }
            }
        }
        Grid {
            anchors { top: buses.bottom; topMargin: 8; left: parent.left; right: parent.right }
            columns: 2; columnSpacing: 12; rowSpacing: 2
            property int cw: (width - 12) / 2
            Field { width: parent.cw; label: "PiP"; value: "src " + mb.pipSource + (mb.pipProgram ? " · on PGM" : "") + (mb.pipPreview ? " · on PVW" : "") }
            Field { width: parent.cw; label: "Key"; value: "src " + mb.keySource + (mb.keyProgram ? " · on PGM" : "") + (mb.keyPreview ? " · on PVW" : "") }
            Field { width: parent.cw; label: "Setup"; value: mb.setup }
            Field { width: parent.cw; label: "Firmware"; value: mb.firmware }
            Field { width: parent.cw; label: "Frames"; value: mb.frames + " · bad " + mb.badFrames + " · dropped " + mb.dropped }
            Field { width: parent.cw; label: "Transitions"; value: mb.transitions + (mb.bootLoader ? " · packets " + mb.packets : "") }
        }
        Row {
            anchors { bottom: parent.bottom; left: parent.left; right: parent.right }
            spacing: SimTheme.gap
            ModeBox { width: (parent.width - SimTheme.gap) / 2; model: unit.mainboardModes; current: mb.mode
                      onPicked: unit.command("mb " + mode) }
            ModeBox { width: (parent.width - SimTheme.gap) / 2; model: unit.bootModes; current: mb.bootMode
                      onPicked: unit.command("boot " + mode) }
        }
    }

    // ---- the cameras ----
    Row {
        id: camRow
        x: mbCard.x; y: mbCard.y + mbCard.height + SimTheme.gap
        spacing: SimTheme.gap
        Repeater {
            model: unit.cameras
            Card {
                id: cam
                property var c: modelData
                objectName: "camera" + c.index
                title: "Camera " + (c.index + 1) + " · " + c.device
                width: (mbCard.width - 2 * SimTheme.gap) / 3; height: 300
                alert: !c.online || c.mode !== "Normal"

                Rectangle {
                    id: tally
                    objectName: "tally"
                    width: 44; height: 44; radius: 22
                    color: c.tally === "red" ? SimTheme.program : c.tally === "green" ? SimTheme.preview : SimTheme.off
                    border.color: SimTheme.line
                }
                Column {
                    anchors { left: tally.right; leftMargin: 8; verticalCenter: tally.verticalCenter }
                    Row { spacing: 6
                          Lamp { anchors.verticalCenter: parent.verticalCenter; on: c.online; lit: SimTheme.preview }
                          Text { text: c.online ? "plugged in" : "UNPLUGGED"; color: c.online ? SimTheme.text : SimTheme.warn
                                 font.pixelSize: SimTheme.body; font.bold: !c.online } }
                    Text { text: "power " + onOff(c.power) + " · tally " + c.tally; color: SimTheme.dim; font.pixelSize: SimTheme.small }
                }
                Column {
                    anchors { top: tally.bottom; topMargin: 6; left: parent.left; right: parent.right }
                    spacing: 1
                    Field { width: parent.width; labelWidth: 74; label: "Pan/tilt"; value: c.pan + " / " + c.tilt + (c.moving ? " ▸" : "") }
                    Field { width: parent.width; labelWidth: 74; label: "Zoom"; value: c.zoom }
                    Field { width: parent.width; labelWidth: 74; label: "Focus"; value: c.focus }
                    Field { width: parent.width; labelWidth: 74; label: "Exposure"; value: c.exposure }
                    Field { width: parent.width; labelWidth: 74; label: "WB"; value: c.wb }
                    Field { width: parent.width; labelWidth: 74; label: "Stored"; value: c.presetStored < 0 ? "no preset" : "preset " + c.presetStored }
                    Field { width: parent.width; labelWidth: 74; label: "Recalled"; value: c.presetRecalled < 0 ? "no preset" : "preset " + c.presetRecalled }
                    Field { width: parent.width; labelWidth: 74; label: "Tracking"; value: c.tracking }
                }
                Row {
                    anchors { bottom: parent.bottom; left: parent.left; right: parent.right }
                    spacing: 6
                    ModeBox { width: parent.width - plug.width - 6; model: unit.cameraModes; current: c.mode
                              onPicked: unit.command("cam " + c.index + " " + mode) }
                    Button {
                        id: plug
                        objectName: "plug"
                        width: 70; height: 40
                        text: c.online ? "Unplug" : "Plug in"
                        font.pixelSize: SimTheme.small
                        palette.button: c.online ? SimTheme.raised : Qt.darker(SimTheme.warn, 2.2)
                        palette.buttonText: SimTheme.text
                        onClicked: unit.command("cam " + c.index + (c.online ? " unplug" : " plug"))
                    }
                }
            }
        }
    }

    // ---- the Pi ----
    Card {
        id: piCard
        title: "Pi side"
        x: SimTheme.gap; y: controlsCard.y + controlsCard.height + SimTheme.gap
        width: controlsCard.width; height: win.height - y - SimTheme.gap
        Column {
            width: parent.width - shot.width - 8
            spacing: 1
            Field { width: parent.width; label: "Key lamps"; value: onOff(pi.keyLamps); valueColor: pi.keyLamps ? SimTheme.lamp : SimTheme.text }
            Field { width: parent.width; label: "Key LEDs"; value: pi.keyLeds }
            Field { width: parent.width; label: "LED driver"; value: pi.ledDriver }
            Field { width: parent.width; label: "Audio levels"; value: pi.audio }
            Field { width: parent.width; label: "Program out"; value: pi.programOutput ? "running " + pi.programRate : "stopped" }
            Field { width: parent.width; label: "Display reset"; value: levelText(pi.displayReset) }
            Field { width: parent.width; label: "Captures"; value: pi.captures }
        }
        Image {
            id: shot
            anchors { right: parent.right; top: parent.top }
            width: 96; height: 54
            fillMode: Image.PreserveAspectFit
            cache: false
            source: pi.picture
            Rectangle { anchors.fill: parent; color: "transparent"; border.color: SimTheme.line }
            Text { anchors.centerIn: parent; visible: pi.picture === ""; text: "no capture"; color: SimTheme.dim; font.pixelSize: SimTheme.small }
        }
    }

    // ---- the frames ----
    Card {
        title: "Frames received (newest last)"
        x: piCard.x + piCard.width + SimTheme.gap; y: piCard.y
        width: win.width - x - SimTheme.gap; height: piCard.height
        ListView {
            id: logView
            anchors.fill: parent
            clip: true
            model: unit.log
            delegate: Text { text: modelData; color: SimTheme.text; font.family: "monospace"; font.pixelSize: SimTheme.small }
            onCountChanged: positionViewAtEnd()
            ScrollBar.vertical: ScrollBar { }
        }
    }
}
