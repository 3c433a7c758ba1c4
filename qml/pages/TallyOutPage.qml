import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// Tally out: the switcher's tally to TSL receivers on the network. On or
// off, the destinations, a display index and label per source, and the
// lamps of program and preview. TallyOutSetup checks and stores them.
Rectangle {
    id: root
    color: Theme.surface
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius
    signal closeRequested()
    // Touches stop at the page; none falls through to the menu under it.
    MouseArea { anchors.fill: parent }

    readonly property var panelRef: panel
    TallyOutSetup {
        id: tally
        panel: root.panelRef
        onApplied: root.closeRequested()
    }
    Component.onCompleted: tally.load()

    property int tab: 0
    // What is being typed: "" none, else "address", "port", "index" or "label" of row `typingRow`.
    property string typing: ""
    property int typingRow: 0
    property string typed: ""
    property string typingTitle: ""
    function startTyping(kind, row, text, title) { typed = text; typingRow = row; typingTitle = title; typing = kind }
    function finishTyping() {
        if (typing === "address") tally.setAddress(typingRow, typed)
        else if (typing === "port") tally.setPort(typingRow, typed)
        else if (typing === "index") tally.setDisplayIndex(typingRow, typed)
        else if (typing === "label") tally.setLabel(typingRow, typed)
        typing = ""
    }

    component Field: Rectangle {
        property alias text: fieldText.text
        signal tapped()
        height: Theme.buttonHeight
        radius: Theme.radius
        color: Theme.track
        border.width: Theme.borderWidth
        border.color: Theme.outline
        ThemeText {
            id: fieldText
            anchors.fill: parent
            anchors.margins: Theme.spacing
            font.pixelSize: Theme.fontLarge
        }
        MouseArea { anchors.fill: parent; onClicked: parent.tapped() }
    }

    // Title bar: on/off, the tabs and the way out.
    ThemeText {
        id: title
        x: Theme.margin * 2; y: Theme.margin
        width: 170; height: Theme.buttonHeight
        font.pixelSize: Theme.fontTitle
        font.bold: true
        text: qsTr("Tally out")
    }
    ToggleSwitch {
        objectName: "tallyEnabled"
        anchors { left: title.right; top: title.top }
        checked: tally.enabled
        onToggled: tally.enabled = !tally.enabled
    }
    Selector {
        objectName: "tallyTabs"
        anchors { left: title.right; leftMargin: 132 + Theme.margin * 2; top: title.top }
        buttonWidth: 160
        model: [qsTr("Destinations"), qsTr("Displays"), qsTr("Lamps")]
        currentIndex: root.tab
        onActivated: root.tab = index
    }
    TouchButton {
        objectName: "tallyClose"
        anchors { right: parent.right; top: parent.top; margins: Theme.margin }
        width: 130
        text: qsTr("CLOSE")
        onClicked: root.closeRequested()
    }

    Item {
        id: body
        anchors { left: parent.left; right: parent.right; top: title.bottom; bottom: footer.top; margins: Theme.margin * 2 }

        // Destinations: address, port and protocol of each.
        Column {
            visible: root.tab === 0
            spacing: Theme.spacing
            Row {
                spacing: Theme.spacing
                ThemeText { width: 40; height: 30; text: "" }
                ThemeText { width: 300; height: 30; dim: true; text: qsTr("Address (empty: not used)") }
                ThemeText { width: 130; height: 30; dim: true; text: qsTr("Port") }
                ThemeText { width: 220; height: 30; dim: true; text: qsTr("Protocol") }
            }
            Repeater {
                model: 4
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: 40; height: Theme.buttonHeight; font.bold: true; text: index + 1 }
                    Field {
                        objectName: "tallyAddress" + index
                        width: 300
                        text: (tally.revision, tally.address(index))
                        onTapped: root.startTyping("address", index, tally.address(index), qsTr("Destination %1").arg(index + 1))
                    }
                    Field {
                        objectName: "tallyPort" + index
                        width: 130
                        text: (tally.revision, tally.port(index))
                        onTapped: root.startTyping("port", index, tally.port(index), qsTr("Port"))
                    }
                    TouchButton {
                        objectName: "tallyProtocol" + index
                        width: 220
                        text: (tally.revision, tally.protocolNames[tally.protocol(index)])
                        onClicked: tally.setProtocol(index, (tally.protocol(index) + 1) % tally.protocolNames.length)
                    }
                }
            }
        }

        // Displays: the index and label each source has on the receivers.
        Grid {
            visible: root.tab === 1
            columns: 2; columnSpacing: Theme.margin * 3; rowSpacing: Theme.spacing
            flow: Grid.TopToBottom
            rows: 4
            Repeater {
                model: tally.sourceNames
                Row {
                    spacing: Theme.spacing
                    ThemeText { width: 70; height: Theme.buttonHeight; font.bold: true; text: modelData }
                    Field {
                        objectName: "tallyIndex" + index
                        width: 110
                        text: (tally.revision, tally.displayIndex(index) === "" ? qsTr("none") : tally.displayIndex(index))
                        onTapped: root.startTyping("index", index, tally.displayIndex(index), qsTr("%1: display index").arg(modelData))
                    }
                    Field {
                        objectName: "tallyLabel" + index
                        width: 260
                        text: (tally.revision, tally.label(index))
                        onTapped: root.startTyping("label", index, tally.label(index), qsTr("%1: label").arg(modelData))
                    }
                }
            }
        }

        // Lamps: what program and preview light on each kind of receiver.
        Column {
            visible: root.tab === 2
            spacing: Theme.spacing * 2
            Row {
                spacing: Theme.margin
                ThemeText { width: 130; height: 30; text: "" }
                ThemeText { width: 3 * 120 + 2 * Theme.spacing; height: 30; dim: true; text: qsTr("TSL 5.0 colour") }
                ThemeText { width: 4 * 70 + 3 * Theme.spacing; height: 30; dim: true; text: qsTr("TSL 3.1 tally") }
            }
            Repeater {
                model: [qsTr("Program"), qsTr("Preview")]
                Row {
                    spacing: Theme.margin
                    ThemeText { width: 130; height: Theme.buttonHeight; font.bold: true; text: modelData }
                    Selector {
                        objectName: "tallyColour" + index
                        buttonWidth: 120
                        model: [qsTr("Red"), qsTr("Green"), qsTr("Amber")]
                        currentIndex: (tally.revision, tally.lamp(index === 0 ? TallyOutSetup.ProgramColour : TallyOutSetup.PreviewColour) - 1)
                        onActivated: tally.setLamp(index === 0 ? TallyOutSetup.ProgramColour : TallyOutSetup.PreviewColour, index + 1)
                    }
                    Selector {
                        objectName: "tallyBit" + index
                        buttonWidth: 70
                        model: ["1", "2", "3", "4"]
                        currentIndex: (tally.revision, tally.lamp(index === 0 ? TallyOutSetup.ProgramTally : TallyOutSetup.PreviewTally) - 1)
                        onActivated: tally.setLamp(index === 0 ? TallyOutSetup.ProgramTally : TallyOutSetup.PreviewTally, index + 1)
                    }
                }
            }
            ThemeText {
                width: 900; height: 36
                dim: true
                wrapMode: Text.WordWrap
                text: qsTr("Receivers differ in which tally means preview: set it as they expect.")
            }
            // The cameras' own lamps: not part of the entries above, so
            // stored and in effect at once.
            Row {
                spacing: Theme.margin
                ThemeText { width: 130; height: Theme.buttonHeight; font.bold: true; text: qsTr("Camera tally") }
                ToggleSwitch {
                    objectName: "cameraOnAirSources"
                    checked: tally.cameraOnAirSources
                    onToggled: tally.cameraOnAirSources = !tally.cameraOnAirSources
                }
                ThemeText {
                    width: 900 - 130 - 132 - 2 * Theme.margin; height: Theme.buttonHeight
                    wrapMode: Text.WordWrap
                    fontSizeMode: Text.Fit
                    text: qsTr("On: camera lamps also light for PiP/key sources on program, and for both sources during a mix. Off (standard): program and preview only. Takes effect at once, without APPLY.")
                }
            }
        }
    }

    Row {
        id: footer
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom; margins: Theme.margin * 2 }
        height: Theme.buttonHeight
        spacing: Theme.margin
        ThemeText {
            objectName: "tallyError"
            width: parent.width - apply.width - Theme.margin
            height: Theme.buttonHeight
            wrapMode: Text.WordWrap
            color: tally.error !== "" ? Theme.warning : Theme.textDim
            text: tally.error !== "" ? tally.error
                                     : qsTr("Off: nothing is sent. On: the tally the switcher confirms, at once and every 2 s.")
        }
        TouchButton {
            id: apply
            objectName: "tallyApply"
            width: 200
            text: qsTr("APPLY")
            lit: true
            litColor: Theme.selected
            onClicked: tally.apply()
        }
    }

    // Typing, over the whole page.
    Rectangle {
        anchors.fill: parent
        radius: Theme.radius
        color: Theme.scrim
        visible: root.typing !== ""
        MouseArea { anchors.fill: parent }
    }
    Rectangle {
        visible: root.typing !== ""
        anchors.centerIn: parent
        width: (root.typing === "label" ? textKeys.width : digitKeys.width) + Theme.margin * 2
        height: typedRow.height + (root.typing === "label" ? textKeys.height : digitKeys.height) + Theme.margin * 3
        color: Theme.surfaceRaised
        border.color: Theme.outline
        radius: Theme.radius
        Column {
            id: typedRow
            x: Theme.margin; y: Theme.margin
            width: parent.width - 2 * Theme.margin
            spacing: Theme.spacing
            Row {
                spacing: Theme.spacing
                ThemeText { width: typedRow.width - cancel.width - Theme.spacing; height: Theme.touchMin; font.bold: true; text: root.typingTitle }
                TouchButton {
                    id: cancel
                    objectName: "tallyTypingCancel"
                    width: 140; height: Theme.touchMin
                    text: qsTr("Cancel")
                    onClicked: root.typing = ""
                }
            }
            Rectangle {
                width: typedRow.width; height: Theme.buttonHeight
                radius: Theme.radius
                color: Theme.track
                border.color: Theme.selected
                ThemeText {
                    anchors.fill: parent; anchors.margins: Theme.spacing
                    horizontalAlignment: Text.AlignHCenter
                    font.pixelSize: Theme.fontTitle
                    text: root.typed
                }
            }
        }
        DigitKeyboard {
            id: digitKeys
            visible: root.typing !== "label"
            x: Theme.margin; y: typedRow.height + Theme.margin * 2
            keyWidth: 110
            showPoint: root.typing === "address"
            onDigit: if (root.typed.length < (root.typing === "address" ? 15 : 5)) root.typed += d
            onBackspace: root.typed = root.typed.slice(0, -1)
            onAccepted: root.finishTyping()
        }
        TextKeyboard {
            id: textKeys
            objectName: "tallyTextKeyboard"
            visible: root.typing === "label"
            x: Theme.margin; y: typedRow.height + Theme.margin * 2
            onKey: if (root.typed.length < 16) root.typed += k
            onBackspace: root.typed = root.typed.slice(0, -1)
            onAccepted: root.finishTyping()
        }
    }
}
