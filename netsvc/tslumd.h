#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// TSL UMD tally packets, as pure functions of a tally model: no I/O, no
// clock. Version 5.0 (UDP, or TCP with DLE/STX framing) and version 3.1
// (UDP). Every multi-byte field of 5.0 is little-endian.
namespace Tsl {

enum Protocol { V50Udp = 0, V50Tcp = 1, V31Udp = 2 };
constexpr int kProtocolCount = 3;
// As the operator reads it ("TSL 5.0 UDP"); 5.0 UDP for anything unknown.
const char *protocolName(int protocol);

// Lamp colours of a 5.0 display (two bits each).
enum Colour { Off = 0, Red = 1, Green = 2, Amber = 3 };

// 0xFFFF addresses every display of a 5.0 screen, so no one display has it.
constexpr int kMaxIndexV50 = 0xFFFE;
// 0x80 + address must stay a byte other than 0xFF.
constexpr int kMaxAddressV31 = 126;
// What a label carries: the 16 characters of a 3.1 display, in 5.0 too, so
// one label reads the same on either.
constexpr int kLabelChars = 16;
// Full brightness, both versions.
constexpr int kBrightness = 3;
// DLE, and the STX that follows it at the start of each packet on TCP.
constexpr char kDle = char(0xFE);
constexpr char kStx = char(0x02);

struct Display
{
    int index = 0; // 5.0 index, or 3.1 address
    QString text;
    bool program = false;
    bool preview = false;
};

// What program and preview light: a 5.0 colour, a 3.1 tally bit (0..3 for
// tally 1..4). Receivers differ on which is preview.
struct Lamps
{
    int programColour = Red;
    int previewColour = Green;
    int programTally = 0;
    int previewTally = 1;
};

// The 5.0 CONTROL word: right-hand, text and left-hand tally all show the
// display's state (program wins over preview), full brightness.
quint16 v50Control(const Display &d, const Lamps &lamps);
// One 5.0 packet carrying every display (screen 0). Labels longer than
// kLabelChars are cut; control characters become spaces. Text goes as
// ASCII unless some label needs more, then the whole packet is UTF-16LE.
QByteArray v50Packet(const QVector<Display> &displays, const Lamps &lamps);
// A 5.0 packet as sent on TCP: DLE STX, then the packet with every DLE
// inside it doubled.
QByteArray v50Stream(const QByteArray &packet);

// The 3.1 control byte: the program and preview tally bits, full brightness.
quint8 v31Control(const Display &d, const Lamps &lamps);
// One 18-byte 3.1 packet; empty when the address is out of range. Text:
// 16 printable ASCII characters, anything else as '?', padded with spaces.
QByteArray v31Packet(const Display &d, const Lamps &lamps);

// The label as a display shows it: control characters as spaces, at most
// kLabelChars characters (never half a surrogate pair).
QString displayText(const QString &label);

} // namespace Tsl
