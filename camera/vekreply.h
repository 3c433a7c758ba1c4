#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Decoders for what a VISCA camera (address 1) sends back. Pure functions of
// the reply bytes: no I/O, no logging. A reply may hold several packets back
// to back (acknowledgement, completion, answer), bare (90 ...) or framed
// (00 len 90 ...); every reader here checks each byte it touches against the
// reply's size, because a serial line can deliver anything.
namespace VekReply {

// Byte `index` of `reply`, or 0 when the reply is shorter.
quint8 byteAt(const QByteArray &reply, int index);

// The reply holds 90 41 FF (acknowledgement) or 90 51 FF (completion).
bool containsAckComplete(const QByteArray &reply);

// What came back on a line after one message was written, sorted.
struct Exchange
{
    QByteArray answer;      // the packets that answer the message, in order,
                            // then a packet still unfinished at the end
    QByteArray dropped;     // packets that answer an earlier message, and
                            // bytes that form no packet
    bool done = false;      // nothing more is worth waiting for: an answer,
                            // or noise; only packets that come late for an
                            // earlier message leave the wait open
};
// An inquiry (81 09 ..) is answered by an answer 90 50 .. FF, of the length
// its reader needs where that is fixed, or an error 90 6y .. FF; a command
// by its acknowledgement 90 4y FF, the completion 90 5y FF after it, or an
// error. A completion before the acknowledgement, and any packet the
// message cannot have caused, come late for an earlier message. Bare and
// framed packets alike; bytes of a message not for address 1 are returned
// as they came.
Exchange sortExchange(const QByteArray &sent, const QByteArray &collected);

// Answer to a preset store or recall: a reply of more than two bytes whose
// first packet is an acknowledgement or a completion.
bool isPresetAck(const QByteArray &reply);

// Payload of the first bare inquiry answer 90 50 <payload> FF in the reply.
// False when there is none or its payload is shorter than `minPayload`.
bool bareAnswer(const QByteArray &reply, QByteArray *payload, int minPayload = 1);

// Payload of the first framed inquiry answer 00 len 90 50 <payload> FF whose
// length byte matches the frame. False when there is none or its payload is
// shorter than `minPayload`.
bool framedAnswer(const QByteArray &reply, QByteArray *payload, int minPayload = 1);

// One entry of the video code table.
struct VideoFormat
{
    int code;
    const char *text;
    int index;
};
// The format for a video code; false when the code is not in the table.
bool videoFormatForCode(int code, QString *text, int *index);
// The code that selects the format at `index` of the interface's list
// (0 to 17), or -1.
int videoCodeForIndex(int index);

// The 15-byte answer to the system status inquiry, decoded.
struct SystemStatus
{
    quint8 statusBits = 0;   // bit 0 power, 1 colour bar, 2 red, 3 green, 4 OSD
    int videoCode = 0;       // low six bits of byte 3
    QString formatText;      // empty when the code is unknown
    int formatIndex = 0;     // 0 when the code is unknown
    quint8 wbCode = 0;
    quint8 rGain = 0;
    quint8 bGain = 0;
    quint8 focusCode = 0;
    quint8 exposureCode = 0;
    quint8 flipBits = 0;     // byte 12
    quint8 speedRange = 0;   // byte 13

    bool powerOn() const { return statusBits & 0x01; }
    bool colorBar() const { return statusBits & 0x02; }
    bool redTally() const { return statusBits & 0x04; }
    bool greenTally() const { return statusBits & 0x08; }
    bool osd() const { return statusBits & 0x10; }
    bool panReversed() const { return flipBits & 0x01; }
    bool tiltReversed() const { return flipBits & 0x02; }
    bool hFlip() const { return flipBits & 0x10; }
    bool vFlip() const { return flipBits & 0x20; }
};
// True only for exactly 15 bytes that form one answer packet 90 50 ... FF.
bool decodeSystemStatus(const QByteArray &reply, SystemStatus *status);

// The texts of the 16-byte version answer.
struct VersionInfo
{
    QString model;
    QString mcu;
    QString fpga;
    QString motor;
};
// True only for exactly 16 bytes that form one answer packet 90 50 ... FF.
bool decodeVersion(const QByteArray &reply, VersionInfo *info);

// Shutter position from the framed answer 00 09 90 50 00 00 0p 0q FF; -1
// when the reply holds no such answer.
int shutterPosition(const QByteArray &reply);

// Red or blue gain from the framed answer 00 09 90 50 00 00 0p 0q FF; false
// when there is none.
bool framedGain(const QByteArray &reply, int *gain);

// Tracking state of the last four bytes of the answer to the tracking
// inquiry: the low nibble of an answer 90 50 0p FF, or -1.
enum class TrackAnswer { Value, TooShort, NotSupported, Unknown };
TrackAnswer trackState(const QByteArray &reply, int *state);

// Profile number from the framed answer 00 len 90 50 0p 0q FF, or -1 when
// the reply holds none or the number is outside 1 to 10.
int profileNumber(const QByteArray &reply);

} // namespace VekReply
