import QtQuick 2.15
import NoSuchModule 9.9

Item { this is not QML
