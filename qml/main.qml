import QtQuick 2.15
import QtQuick.Window 2.15
import Tavrik.Ui 1.0
import "controls"
import "pages"

// The root page. Everything is laid out at 1024x600, the unit's 7-inch
// screen, and scaled uniformly to the window (letterboxed), so a PC window
// of any size shows exactly what the unit shows.
//
// Layers, bottom to top: home page; tracking page and function pop-ups over
// the lower two thirds (the buses stay visible and usable); setup and
// network pages below the status bar; banners; upgrade and shutdown prompts;
// loading page (below the buses, which stay in view); splash.
Window {
    id: window
    visible: true
    width: Theme.designWidth
    height: Theme.designHeight
    // The unit's framebuffer is the whole screen; a PC keeps a window.
    Component.onCompleted: {
        if (Qt.platform.pluginName === "linuxfb" || Qt.platform.pluginName === "eglfs")
            showFullScreen()
    }
    color: "black"
    title: qsTr("tavrik")

    readonly property bool homeShown: !panel.splashVisible && !panel.loadingVisible
    property bool homeLogged: false
    // The benchmark times start-up up to this line.
    onHomeShownChanged: {
        if (homeShown && !homeLogged) {
            homeLogged = true
            console.log("home page shown")
        }
    }

    // A strip across the lower two thirds: a notice that leaves the buses in view.
    component Banner: Rectangle {
        id: banner
        property string text
        property color tone: Theme.info
        property bool closable: false
        signal closeRequested()
        height: Math.max(Theme.touchMin + 2 * Theme.spacing, label.implicitHeight + 2 * Theme.margin)
        radius: Theme.radius
        color: Qt.darker(tone, 2.6)
        border.color: tone
        border.width: Theme.borderWidth
        Rectangle { width: 10; height: parent.height; radius: Theme.radius; color: banner.tone }
        Text {
            id: label
            text: banner.text
            anchors.left: parent.left; anchors.leftMargin: 10 + Theme.margin
            anchors.right: closer.visible ? closer.left : parent.right; anchors.rightMargin: Theme.margin
            anchors.verticalCenter: parent.verticalCenter
            wrapMode: Text.WordWrap
            color: Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontLarge
        }
        TouchButton {
            id: closer
            visible: banner.closable
            anchors.right: parent.right; anchors.rightMargin: Theme.spacing
            anchors.verticalCenter: parent.verticalCenter
            width: Theme.touchMin; height: Theme.touchMin
            text: qsTr("OK")
            onClicked: banner.closeRequested()
        }
    }

    Item {
        id: screen
        width: Theme.designWidth
        height: Theme.designHeight
        readonly property real fit: Math.min(window.width / width, window.height / height)
        scale: fit
        transformOrigin: Item.TopLeft
        x: Math.round((window.width - width * fit) / 2)
        y: Math.round((window.height - height * fit) / 2)
        clip: true

        // The lower two thirds: below the program and preview buses.
        readonly property int lowerTop: Math.round(height / 3)

        HomePage {
            id: home
            anchors.fill: parent
            enabled: !panel.splashVisible && !panel.loadingVisible
        }

        // Tracking page with the image keys.
        // Touches stop at the page; none falls through to the home page.
        MouseArea { enabled: trackingHost.active; x: trackingHost.x; y: trackingHost.y; width: trackingHost.width; height: trackingHost.height }
        Loader {
            id: trackingHost
            x: 0; y: screen.lowerTop
            width: parent.width; height: parent.height - y
            active: panel.page === Panel.TrackingPage
            source: "pages/ImageKeysPage.qml"
        }

        // Function pop-ups, one at a time.
        // Touches stop at the page; none falls through to the home page.
        MouseArea { enabled: popupHost.active; x: popupHost.x; y: popupHost.y; width: popupHost.width; height: popupHost.height }
        Loader {
            id: popupHost
            x: 0; y: screen.lowerTop
            width: parent.width; height: parent.height - y
            readonly property var files: ["popups/TrackingSetupPopup.qml", "popups/CameraPopup.qml",
                                          "popups/PipPopup.qml", "popups/LumaPopup.qml",
                                          "popups/AudioPopup.qml"]
            active: panel.funcSel >= 0 && panel.funcSel < files.length
            source: active ? files[panel.funcSel] : ""
        }

        // Setup menu and network page: off-air work, under the status bar.
        // Touches stop at the page; none falls through to the home page.
        MouseArea { enabled: pageHost.active; x: pageHost.x; y: pageHost.y; width: pageHost.width; height: pageHost.height }
        Loader {
            id: pageHost
            x: 0; y: home.statusBarHeight
            width: parent.width; height: parent.height - y
            active: panel.page === Panel.SetupMenuPage || panel.page === Panel.NetworkPage
            source: panel.page === Panel.NetworkPage ? "pages/NetworkPage.qml"
                  : panel.page === Panel.SetupMenuPage ? "pages/SetupMenuPage.qml" : ""
        }

        // Banners: at the top of the lower two thirds, never over the buses.
        Column {
            x: Theme.margin; y: screen.lowerTop + Theme.spacing
            width: parent.width - 2 * Theme.margin
            spacing: Theme.spacing

            Banner {
                width: parent.width
                visible: panel.busyNoticeVisible
                tone: Theme.warning
                text: qsTr("T-Bar transition in progress\n\nOther operations are unavailable until the transition is completed.")
            }
            Banner {
                width: parent.width
                visible: panel.notice !== ""
                tone: Theme.info
                text: panel.notice
                closable: true
                onCloseRequested: panel.notice = ""
            }
        }

        // System prompts: modal, over everything but the loading and splash pages.
        Rectangle {
            anchors.fill: parent
            visible: panel.upgradeVisible || panel.shutdownVisible
            color: "#b0000000"
            MouseArea { anchors.fill: parent } // nothing behind a prompt takes a touch
        }
        Loader {
            anchors.centerIn: parent
            active: panel.upgradeVisible
            source: "popups/UpgradePopup.qml"
        }
        Loader {
            anchors.centerIn: parent
            active: panel.shutdownVisible
            source: "popups/ShutdownPopup.qml"
        }

        // The re-read after a user memory or a factory default: the buses stay
        // in view, dimmed and marked as updating (they show what the board
        // had before until it is read); nothing takes a touch until it ends.
        Rectangle {
            objectName: "busesUpdating"
            visible: panel.loadingVisible
            y: home.statusBarHeight
            width: parent.width; height: screen.lowerTop - y
            color: "#20000000"
            border.color: Theme.warning; border.width: 3
            MouseArea { anchors.fill: parent }
            Rectangle {
                anchors.centerIn: parent
                width: updatingText.implicitWidth + 4 * Theme.margin; height: 48
                radius: Theme.radius
                color: Theme.surface
                border.color: Theme.warning; border.width: Theme.borderWidth
                Text {
                    id: updatingText
                    anchors.centerIn: parent
                    text: qsTr("UPDATING FROM THE SWITCHER")
                    color: Theme.text
                    font.family: Theme.fontFamily; font.pixelSize: Theme.fontLarge; font.bold: true
                }
            }
        }
        Loader {
            x: 0; y: screen.lowerTop
            width: parent.width; height: parent.height - y
            active: panel.loadingVisible
            source: "pages/LoadingPage.qml"
        }

        Loader {
            anchors.fill: parent
            active: panel.splashVisible
            source: "pages/SplashPage.qml"
        }
    }
}
