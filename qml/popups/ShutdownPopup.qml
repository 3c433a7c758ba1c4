import QtQuick 2.15
import Tavrik.Ui 1.0
import "../controls"

// The shutdown confirmation, opened by the power button.
Rectangle {
    id: root
    width: 640; height: 320
    color: Theme.surface
    border.color: Theme.outline
    border.width: Theme.borderWidth
    radius: Theme.radius

    ThemeText {
        id: title
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: Theme.margin * 2 }
        height: 40
        font.pixelSize: Theme.fontTitle
        font.bold: true
        text: qsTr("Shut down")
    }
    ThemeText {
        anchors { left: parent.left; right: parent.right; top: title.bottom; bottom: buttons.top; margins: Theme.margin * 2 }
        wrapMode: Text.WordWrap
        fontSizeMode: Text.Fit
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignHCenter
        font.pixelSize: Theme.fontLarge
        text: qsTr("Do you want to shut down the system ?")
    }
    Row {
        id: buttons
        anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: Theme.margin * 2 }
        spacing: Theme.margin * 4
        TouchButton {
            objectName: "shutdownYes"
            width: 200
            text: qsTr("Shut down")
            danger: true
            onClicked: panel.confirmShutdown()
        }
        // A click is a release: the dialog closes and the preview resumes.
        TouchButton {
            objectName: "shutdownNo"
            width: 200
            text: qsTr("Cancel")
            onClicked: panel.cancelShutdown()
        }
    }
}
