#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The Kivo discovery and control datagrams: pure builders and parsers, no
// I/O. The management tool finds switchers by keyword, so requests are not
// parsed beyond the few bytes each command needs.
namespace Kivo {

enum KivoType : quint8 {
    KIVO_TYPE_BROADCAST = 0x80,
    KIVO_TYPE_UDP = 0x81,
    KIVO_TYPE_TCP = 0x82, // declared by the protocol; this panel never sends it
};

enum class Command { None, SetMacAdr, EthReq, GetModel, GetModelName };

using Mac = std::array<quint8, 6>;
using Quad = std::array<quint8, 4>;

constexpr quint16 kPort = 5002;
constexpr int kTypeOffset = 2;
constexpr int kTargetMacOffset = 4;    // bytes 4..9 of GET_MODEL / GET_MODEL_NAME
constexpr int kEthReqReplySize = 48;
constexpr int kSetMacReplySize = 37;
constexpr int kGetModelReplySize = 8;
constexpr int kGetModelNameReplySize = 20;

// First keyword that matches wins; "GET_MODEL" is a prefix of
// "GET_MODEL_NAME", so the longer one is checked for explicitly.
Command dispatch(const QByteArray &request);

// 0x80 when the request was sent as a broadcast, 0x81 otherwise (also for
// requests too short to carry a type byte).
quint8 replyType(const QByteArray &request);
bool isBroadcastRequest(const QByteArray &request);

// Text parsers. They return false when the text does not have the expected
// number of parts; a part that is not a number in 0..255 (or a hex pair)
// becomes 0, as the management tool expects.
bool parseQuad(const QString &text, Quad *out);
bool parseMac(const QString &text, Mac *out);

// Strict checks for values the panel itself stores or writes.
bool isDottedQuad(const QString &text);
bool isMacText(const QString &text);

// The /24 broadcast address of an IPv4 text: a.b.c.255. Empty when the text
// has fewer than three parts.
QString broadcastOf(const QString &ip);

// "B827EB010203" for a 6-byte MAC.
QString macHex(const Mac &mac);
// Bytes 4..9 of a request as upper-case hex; empty if the request is shorter.
QString targetMacHex(const QByteArray &request);
// The last six bytes of a SET_MACADR request (always present: the keyword
// alone is ten bytes long).
Mac newMacOf(const QByteArray &request);
// "b8:27:eb:01:02:03"
QString macText(const Mac &mac);

QByteArray ethReqReply(quint8 type, const Mac &mac, const Quad &ip, const Quad &mask);
QByteArray setMacReply(quint8 type, const Mac &newMac, const Quad &ip, const Quad &mask);
QByteArray getModelReply(quint8 type);
QByteArray getModelNameReply(quint8 type);

// The model name field: "TAVRIK" padded with zero bytes to 16.
QByteArray modelNameField();

// The boot configuration edit: in the first line holding
// "force_mac_address=", the 17 characters after the key become the new MAC
// text. Returns false (text untouched) when no line has the key.
bool replaceForcedMac(QString *configText, const QString &newMacText);

} // namespace Kivo
