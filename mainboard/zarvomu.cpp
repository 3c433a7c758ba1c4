#include "mainboard/zarvomu.h"

#include "mainboard/mainboardlog.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QThread>

#include <chrono>

namespace {

// Timing of the line (ms).
constexpr int pollSlice = 10;
constexpr int interByteGap = 200;
constexpr int writeDrain = 66;
constexpr int shortReplyWait = 200;
constexpr int normalReplyWait = 3000;
constexpr int pipSettingsWait = 60;
constexpr int resendPause = 200;
constexpr int exactReadTimeout = 1000;
// The longest single wait on the TCP transport between two looks at a stop.
constexpr int kAbortSliceMs = 50;

const QByteArray successAck("\x02\x80\x82", 3);
const QByteArray statusHeader("\x09\x00\xEE", 3);
const QByteArray pipHeader("\x0B\x01\xC9", 3);

// Busy gate: the program, preview, key fill and key source writes, the two
// lamp writes, the wipe-pattern write and 04 00 C9.
const char *const busyPrefixes[] = {"\x04\x00\xC1", "\x04\x00\xC2", "\x04\x00\xC3", "\x04\x00\xC4",
                                    "\x04\x00\xC6", "\x04\x00\xC7", "\x04\x00\xC8", "\x04\x00\xC9"};
const QByteArray tbarPrefix("\x06\x01\xC5", 3);

// Never 0, which marks "answered".
qint64 monotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + 1;
}

uint8_t at(const QByteArray &b, int i) { return i >= 0 && i < b.size() ? static_cast<uint8_t>(b.at(i)) : 0; }

// Splits a reply into a frame whose message is sized to `capacity`
// (zero-filled); the caller has checked 3 <= size <= capacity + 3.
COMMANDFORMAT decode(const QByteArray &reply, int capacity)
{
    COMMANDFORMAT f;
    f.count = at(reply, 0);
    f.effectiveAddress = at(reply, 1);
    f.commandCode = at(reply, 2);
    f.message.assign(static_cast<size_t>(capacity), 0);
    for (int i = 3; i < reply.size() && i - 3 < capacity; ++i)
        f.message[static_cast<size_t>(i - 3)] = at(reply, i);
    return f;
}

// Drops everything before the first occurrence of `header` (kept unchanged
// when there is none).
QByteArray resync(const QByteArray &reply, const QByteArray &header)
{
    const int i = reply.indexOf(header);
    return i > 0 ? reply.mid(i) : reply;
}

// A reply must be long enough to carry the data bytes a read returns and
// the checksum after them; a shorter one that happens to sum right (an
// acknowledgement, a fragment) is no answer.
bool carriesData(const QByteArray &reply, int dataBytes) { return reply.size() >= 3 + dataBytes + 1; }

const char *const tooFew = "receive() returned too few bytes:";

// Too short or too long for the read's message buffer: a warning, false.
bool replyFits(const QByteArray &reply, int maxLen, const char *tooFewText = tooFew)
{
    if (reply.size() < 3) {
        qCWarning(lcMainboard) << tooFewText << reply.size();
        return false;
    }
    if (reply.size() > maxLen) {
        qCWarning(lcMainboard) << "bytes too long for message buffer:" << reply.size();
        return false;
    }
    return true;
}

} // namespace

zarvoMu::zarvoMu(QTcpSocket *socket, QSerialPort *serial, QObject *parent)
    : QObject(parent), socket_(socket), serialPort_(serial)
{
}

zarvoMu::~zarvoMu() = default;

bool zarvoMu::openLine(QSerialPort &port, const QString &name)
{
    port.setPortName(Sysroot::serialDevice(name));
    port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return port.open(QIODevice::ReadWrite);
}

void zarvoMu::clearUartReadBuf()
{
    TAVRIK_ASSERT_OWNER(this);
    if (serialPort_ && serialPort_->isOpen())
        serialPort_->clear(QSerialPort::AllDirections);
}

qint64 zarvoMu::drainIdleInput()
{
    TAVRIK_ASSERT_OWNER(this);
    if (isUseSocket || !serialPort_ || !serialPort_->isOpen() || serialPort_->bytesAvailable() <= 0)
        return 0;
    ackOutstanding_ = false;
    const qint64 n = serialPort_->readAll().size();
    heardLate(n);
    // and what the driver still holds beyond Qt's bounded buffer
    serialPort_->clear(QSerialPort::Input);
    return n;
}

void zarvoMu::sentToBoard()
{
    qint64 none = 0;
    unansweredSince_.compare_exchange_strong(none, monotonicMs());
}

bool zarvoMu::boardSilent() const
{
    if (replyMissed_.load())
        return true;
    const qint64 since = unansweredSince_.load();
    return since != 0 && monotonicMs() - since >= scaled(normalReplyWait);
}

void zarvoMu::missedReply(int nominalMs)
{
    // Shorter waits (the picture-in-picture block's 60 ms, a probe) may end
    // before a healthy board's answer: they say nothing about silence.
    if (nominalMs < shortReplyWait)
        return;
    if (!replyMissed_.exchange(true))
        emit answeringChanged(false);
}

qint64 zarvoMu::bytesAvailable() const
{
    TAVRIK_ASSERT_OWNER(this);
    if (isUseSocket)
        return socket_ ? socket_->bytesAvailable() : 0;
    return serialPort_ ? serialPort_->bytesAvailable() : 0;
}

bool zarvoMu::waitForReadyRead(int ms)
{
    TAVRIK_ASSERT_OWNER(this);
    if (isUseSocket)
        return socket_ && socket_->waitForReadyRead(ms);
    return serialPort_ && serialPort_->isOpen() && serialPort_->waitForReadyRead(ms);
}

bool zarvoMu::waitForBytesWritten(int ms)
{
    TAVRIK_ASSERT_OWNER(this);
    if (isUseSocket)
        return socket_ && socket_->waitForBytesWritten(ms);
    return serialPort_ && serialPort_->isOpen() && serialPort_->waitForBytesWritten(ms);
}

bool zarvoMu::busyGateRefuses(const QByteArray &frame) const
{
    if (!mainboardIsBusy || specialMission || frame.startsWith(tbarPrefix))
        return false;
    for (const char *p : busyPrefixes) {
        if (frame.startsWith(QByteArray(p, 3)))
            return true;
    }
    return false;
}

bool zarvoMu::sendOnly(const QByteArray &frame)
{
    const bool sent = wholeFrameSent(send(frame), frame);
    // The board acknowledges this write too, a moment later; the next send
    // gives that acknowledgement time to arrive before it discards stale
    // input, or it would be taken for the next operation's reply.
    ackOutstanding_ = sent;
    return sent;
}

void zarvoMu::awaitOutstandingAck()
{
    if (!ackOutstanding_.exchange(false))
        return;
    QIODevice *device = isUseSocket ? static_cast<QIODevice *>(socket_) : static_cast<QIODevice *>(serialPort_);
    if (!device || !device->isOpen())
        return;
    QElapsedTimer t;
    t.start();
    while (device->bytesAvailable() < 3 && t.elapsed() < writeDrain)
        device->waitForReadyRead(pollSlice);
}

bool zarvoMu::wholeFrameSent(qint64 written, const QByteArray &frame) const
{
    return !frame.isEmpty() && written == frame.size() + (isUseSocket ? 2 : 0);
}

qint64 zarvoMu::send(const QByteArray &frame)
{
    TAVRIK_ASSERT_OWNER(this);
    if (frame.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] Write fail: empty frame";
        return -1;
    }
    if (aborted_.load())
        return -1;
    // The gate guards the mainboard, whatever carries the frame.
    if (busyGateRefuses(frame)) {
        emit sigMBBusy();
        return 0;
    }

    awaitOutstandingAck();
    if (isUseSocket) {
        qCDebug(lcMainboard).noquote() << "isUseSocket -->bytes length: " << frame.size() << " data: " << mbHex(frame);
        if (!socket_) {
            qCWarning(lcMainboard) << "[ERR] Write fail: no socket";
            counters_.count(MainboardLineCounters::WriteFailed);
            return -1;
        }
        // Stale replies, as on the serial line.
        heardLate(socket_->readAll().size());
        const int len = frame.size() + 2;
        QByteArray out;
        out.reserve(len);
        out.append(static_cast<char>((len >> 8) & 0xFF)).append(static_cast<char>(len & 0xFF)).append(frame);
        const qint64 written = socket_->write(out);
        if (written > 0)
            sentToBoard();
        counters_.count(written == len ? MainboardLineCounters::Sent : MainboardLineCounters::WriteFailed);
        return written;
    }

    qCDebug(lcMainboard).noquote() << "[COM] serialPort_ -->bytes length: " << frame.size() << " data: " << mbHex(frame);
    if (!serialPort_ || !serialPort_->isOpen()) {
        qCWarning(lcMainboard).noquote() << "[ERR] Write fail:" << mbHex(frame) << ", reason:"
                                         << (serialPort_ ? serialPort_->errorString() : QStringLiteral("no serial port"));
        counters_.count(MainboardLineCounters::WriteFailed);
        return -1;
    }
    // Stale replies of earlier frames, both those Qt has buffered and those
    // still in the driver.
    heardLate(serialPort_->readAll().size());
    serialPort_->clear(QSerialPort::Input);

    const qint64 written = serialPort_->write(frame);
    serialPort_->waitForBytesWritten(writeDrain);
    if (written > 0)
        sentToBoard();
    counters_.count(written == frame.size() ? MainboardLineCounters::Sent : MainboardLineCounters::WriteFailed);
    if (written == -1) {
        qCWarning(lcMainboard).noquote() << "[ERR] Write fail:" << mbHex(frame) << ", reason:" << serialPort_->errorString();
    } else if (written < frame.size()) {
        qCWarning(lcMainboard) << "[ERR] Only write " << written << "of" << frame.size();
    }
    return written;
}

QByteArray zarvoMu::receive(int timeoutMs)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = isUseSocket ? receiveTcp(timeoutMs) : receiveSerial(timeoutMs);
    if (reply.isEmpty())
        counters_.count(MainboardLineCounters::TimedOut);
    return reply;
}

QByteArray zarvoMu::receiveSerial(int timeoutMs)
{
    QByteArray buffer;
    const int limit = scaled(timeoutMs);
    QElapsedTimer total;
    QElapsedTimer gap;
    total.start();
    gap.start();
    const bool open = serialPort_ && serialPort_->isOpen();
    while (total.elapsed() < limit && !aborted_.load()) {
        if (open) {
            // Bytes Qt buffered earlier (an event loop ran since the send)
            // count as readable too, or they would sit unseen.
            if (serialPort_->bytesAvailable() > 0 || serialPort_->waitForReadyRead(pollSlice)) {
                const QByteArray chunk = serialPort_->readAll();
                heardBoard(chunk.size());
                if (!chunk.isEmpty()) {
                    buffer.append(chunk);
                    gap.restart();
                }
                if (buffer.size() > 2)
                    break;
            }
        }
        if (!buffer.isEmpty() && gap.elapsed() > interByteGap) {
            qCDebug(lcMainboard) << "[INFO] Partial response timeout.";
            break;
        }
        QThread::msleep(pollSlice);
    }
    if (buffer.isEmpty()) {
        qCWarning(lcMainboard) << "[WARN] No response received in" << timeoutMs << "ms";
        if (open)
            missedReply(timeoutMs);
    } else {
        qCDebug(lcMainboard).noquote() << "result :" << mbHex(buffer);
    }
    return buffer;
}

int zarvoMu::unframeTcp(QByteArray &raw, QByteArray &out)
{
    while (raw.size() >= 2) {
        const int len = (at(raw, 0) << 8) | at(raw, 1);
        if (len < 3)
            return len;
        if (raw.size() < len)
            break;
        out.append(raw.mid(2, len - 2));
        raw.remove(0, len);
    }
    return -1;
}

QByteArray zarvoMu::receiveTcp(int timeoutMs)
{
    if (!socket_) {
        qCWarning(lcMainboard) << "[WARN] No response received in" << timeoutMs << "ms";
        return QByteArray();
    }
    const int limit = scaled(timeoutMs);
    QElapsedTimer total;
    total.start();
    socket_->waitForBytesWritten(limit);

    // Every frame carries its own length prefix. Strip each and join the
    // frames (an acknowledgement and a reply may come back to back), and
    // keep waiting while the last prefix promises more bytes than arrived.
    QByteArray raw = socket_->readAll();
    heardBoard(raw.size());
    QByteArray result;
    for (;;) {
        const int bad = unframeTcp(raw, result);
        if (bad >= 0) {
            qCWarning(lcMainboard) << "[ERR] TCP length prefix" << bad << "invalid, dropping" << raw.size() << "bytes";
            counters_.count(MainboardLineCounters::Garbled);
            raw.clear();
        }
        const bool complete = !result.isEmpty() && raw.isEmpty();
        const qint64 left = limit - total.elapsed();
        if (complete || left <= 0 || aborted_.load())
            break;
        // In slices, so a stop is noticed.
        if (!socket_->waitForReadyRead(static_cast<int>(qMin<qint64>(left, kAbortSliceMs)))
            && socket_->bytesAvailable() == 0) {
            if (socket_->state() != QAbstractSocket::ConnectedState)
                break;
            continue;
        }
        const QByteArray more = socket_->readAll();
        heardBoard(more.size());
        raw.append(more);
    }
    if (raw.size() > 2) // a frame cut short: hand over what came
        result.append(raw.mid(2));
    if (result.isEmpty()) {
        qCWarning(lcMainboard) << "[WARN] No response received in" << timeoutMs << "ms";
        missedReply(timeoutMs);
    } else {
        qCDebug(lcMainboard).noquote() << "result :" << mbHex(result);
    }
    return result;
}

QByteArray zarvoMu::receiveExact(int expectedLen, int timeoutMs)
{
    TAVRIK_ASSERT_OWNER(this);
    QByteArray buffer;
    const int limit = scaled(timeoutMs);
    QElapsedTimer timer;
    timer.start();
    const bool open = serialPort_ && serialPort_->isOpen();
    while (buffer.size() < expectedLen && timer.elapsed() < limit && !aborted_.load()) {
        if (!open) {
            QThread::msleep(pollSlice);
            continue;
        }
        if (serialPort_->bytesAvailable() > 0 || serialPort_->waitForReadyRead(pollSlice)) {
            const qint64 missing = expectedLen - buffer.size();
            const qint64 n = qMin(missing, serialPort_->bytesAvailable());
            if (n > 0)
                buffer.append(serialPort_->read(n));
            heardBoard(n);
            qCDebug(lcMainboard) << "wait data";
        }
    }
    if (buffer.size() < expectedLen) {
        qCWarning(lcMainboard).noquote() << "[ERR] Incomplete data" << mbHex(buffer);
        return QByteArray();
    }
    qCDebug(lcMainboard).noquote() << "result :" << mbHex(buffer);
    return buffer;
}

QByteArray zarvoMu::resendCmd(const QByteArray &frame, int attempts, int expectedLen)
{
    bool sent = false;
    for (int i = 0; i < attempts; ++i) {
        if (wholeFrameSent(send(frame), frame)) {
            sent = true;
            break;
        }
        qCWarning(lcMainboard) << "[ERR] Send cmd" << frame.size();
        QThread::msleep(static_cast<unsigned long>(scaled(resendPause)));
    }
    if (!sent)
        return QByteArray();
    const QByteArray reply = receiveExact(expectedLen, exactReadTimeout);
    return reply.size() == expectedLen ? reply : QByteArray();
}

QByteArray zarvoMu::waitReply(int firstMs, int retries, int retryMs)
{
    // A late board misses a short first wait and answers the next one; a
    // silent one misses a whole normal wait, or was silent already.
    bool wholeWaitMissed = replyMissed_;
    QByteArray reply = receive(firstMs);
    wholeWaitMissed |= firstMs >= normalReplyWait;
    for (int i = 0; reply.isEmpty() && i < retries; ++i) {
        if (skipRetriesWhenSilent_ && wholeWaitMissed && replyMissed_) {
            qCWarning(lcMainboard) << "[WARN] mainboard silent:" << retries - i << "reply waits skipped";
            break;
        }
        reply = receive(retryMs);
        wholeWaitMissed |= retryMs >= normalReplyWait;
    }
    return reply;
}

bool zarvoMu::receiveWriteCommandAck(const QByteArray &frame)
{
    const QByteArray reply = waitReply(normalReplyWait, 3, normalReplyWait);
    if (reply.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] Not receive ack";
        return false;
    }
    qCDebug(lcMainboard).noquote() << "Cmd " << mbHex(frame) << ", Receive bytes = " << mbHex(reply);
    const bool accepted = checkWriteCommandAck(reply);
    countAck(reply, accepted);
    return accepted;
}

// ---------------------------------------------------------------- checks

bool zarvoMu::isStatusAckLength(const QByteArray &bytes)
{
    return bytes.size() == 3;
}

bool zarvoMu::checkWriteCommandAck(const QByteArray &bytes)
{
    if (bytes.size() != 3)
        qCWarning(lcMainboard).noquote() << "[WARM] len = " << bytes.size() << ", return code =" << mbHex(bytes);
    const uint8_t b0 = at(bytes, 0);
    const uint8_t b1 = at(bytes, 1);
    const uint8_t b2 = at(bytes, 2);
    if (static_cast<uint8_t>(b0 + b1) != b2) {
        qCWarning(lcMainboard).noquote() << "[ERR] sum = " << static_cast<uint8_t>(b0 + b1) + 0 << mbHex(bytes);
        return false;
    }
    if (b1 & 0x80)
        return true;
    if (b1 & 0x40)
        qCWarning(lcMainboard) << "[ERR] instruction not support";
    if (b1 & 0x20)
        qCWarning(lcMainboard) << "[ERR] device cannot exec this command";
    if (b1 & 0x10)
        qCWarning(lcMainboard) << "[ERR] MB receive cmd checksum not correct";
    if (!(b1 & 0x70))
        qCWarning(lcMainboard).noquote() << "[ERR] command failed, status" << mbHex(bytes);
    return false;
}

bool zarvoMu::checkChecksum(const QByteArray &bytes)
{
    if (bytes.size() < 2)
        return false;
    return zarvoMuCommandPacks::calcCheckSumByte(bytes.left(bytes.size() - 1)) == at(bytes, bytes.size() - 1);
}

bool zarvoMu::checkRecieveWriteCommandCheckSum(COMMANDFORMAT &frame)
{
    if (frame.message.empty())
        return false;
    const uint8_t received = frame.message.back();
    frame.message.pop_back();
    quint32 sum = frame.count + frame.effectiveAddress + frame.commandCode;
    for (uint8_t b : frame.message)
        sum += b;
    return zarvoMuCommandPacks::truncateCheckSum(sum) == received;
}

QByteArray zarvoMu::getReadResponse(const QByteArray &bytes)
{
    QByteArray cleaned = bytes;
    // Removing one occurrence can join its neighbours into a new one.
    int i;
    while ((i = cleaned.indexOf(successAck)) >= 0)
        cleaned.remove(i, successAck.size());
    qCDebug(lcMainboard).noquote() << "Cleaned data:" << mbHex(cleaned);
    return cleaned;
}

void zarvoMu::printVectorMsg(const std::vector<uint8_t> &bytes)
{
    QString line = QStringLiteral("message = ");
    for (uint8_t b : bytes)
        line += QStringLiteral("0x%1 ").arg(QString::number(b, 16).rightJustified(2, QLatin1Char('0')).toUpper());
    qCDebug(lcMainboard).noquote() << line;
}

void zarvoMu::printVectorMsg(const QByteArray &bytes)
{
    printVectorMsg(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

// ---------------------------------------------------------------- writes

bool zarvoMu::sendFrame(const QByteArray &frame, const char *failText, SendFailLog detail)
{
    const qint64 written = send(frame);
    if (wholeFrameSent(written, frame))
        return true;
    if (!failText)
        return false;
    switch (detail) {
    case SendFailLog::Text: qCWarning(lcMainboard) << failText; break;
    case SendFailLog::Size: qCWarning(lcMainboard) << failText << frame.size(); break;
    case SendFailLog::SizeAndWritten: qCWarning(lcMainboard) << failText << frame.size() << written; break;
    case SendFailLog::Frame: qCWarning(lcMainboard).noquote() << failText << mbHex(frame); break;
    }
    return false;
}

void zarvoMu::countAck(const QByteArray &reply, bool accepted)
{
    const bool wellFormed = reply.size() == 3 && static_cast<uint8_t>(at(reply, 0) + at(reply, 1)) == at(reply, 2);
    counters_.count(accepted ? MainboardLineCounters::Acknowledged
                             : wellFormed ? MainboardLineCounters::Refused : MainboardLineCounters::Garbled);
}

bool zarvoMu::awaitAck(int firstMs, int retries, const char *noReplyText, const char *replyText, bool withResult)
{
    const QByteArray reply = waitReply(firstMs, retries, normalReplyWait);
    if (reply.isEmpty()) {
        if (noReplyText)
            qCWarning(lcMainboard) << noReplyText;
        return false;
    }
    if (replyText && !withResult)
        qCDebug(lcMainboard).noquote() << replyText << mbHex(reply);
    const bool result = checkWriteCommandAck(reply);
    countAck(reply, result);
    if (replyText && withResult)
        qCDebug(lcMainboard).noquote() << replyText << mbHex(reply) << result;
    return result;
}

bool zarvoMu::writeProgram(CrossPoint src)
{
    qCDebug(lcMainboard) << "writeProgram:..... " << src;
    return sendFrame(packs_.writeProgramPacks(src), "[ERR] Send : ", SendFailLog::Size)
           && awaitAck(shortReplyWait, 3, "[ERR] No Ack", "Receive = ");
}

bool zarvoMu::writePreset(CrossPoint src)
{
    qCDebug(lcMainboard) << "writePreset:..... " << src;
    return sendFrame(packs_.writePresetPacks(src)) && awaitAck(shortReplyWait, 3, "[ERR] No Ack", "bytes = ", true);
}

bool zarvoMu::writePipSrc(CrossPoint src)
{
    if (!sendFrame(packs_.writePipSrcPacks(src), "[ERR] Send pack: ", SendFailLog::Frame))
        return false;
    // A single wait; an empty reply goes through the check and fails it.
    const bool result = checkWriteCommandAck(receive(normalReplyWait));
    qCDebug(lcMainboard) << "Ack :" << result;
    return result;
}

bool zarvoMu::writeKeyFillSrc(CrossPoint src)
{
    qCDebug(lcMainboard) << "writeKeyFillSrc:..... " << src;
    return sendOnly(packs_.writeKeyFillSrcPacks(src));
}

bool zarvoMu::writeKeyKeySrc(CrossPoint src)
{
    qCDebug(lcMainboard) << "writeKeyKeySrc:..... " << src;
    return sendOnly(packs_.writeKeyKeySrcPacks(src));
}

bool zarvoMu::writeSplitSrc(CrossPoint src)
{
    qCDebug(lcMainboard) << "writeSplitSrc:..... " << src;
    return sendOnly(packs_.writeSplitSrcPacks(src));
}

bool zarvoMu::writeControl(EffectAddress address, quint16 value)
{
    if (!sendFrame(packs_.writeControlPacks(address, value), "[ERR] TBar send error "))
        return false;
    // The T-bar streams positions: any answer will do, its content is not
    // waited for beyond the short wait.
    if (receive(shortReplyWait).isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] No Ack";
        return false;
    }
    return true;
}

bool zarvoMu::writePushButtonLampOn(PushButtonLamp lamp)
{
    return sendFrame(packs_.writePushButtonLampPacksOn(lamp), "[ERR] Write push button lamp on: packs = ",
                     SendFailLog::Frame)
           && awaitAck(normalReplyWait, 3, "[ERR] No Ack", "Receive :");
}

bool zarvoMu::writePushButtonLampOff(PushButtonLamp lamp)
{
    qCDebug(lcMainboard) << "writePushButtonLampOff:..... " << lamp;
    return sendFrame(packs_.writePushButtonLampPacksOff(lamp), "[ERR] Pack size not equal")
           && awaitAck(normalReplyWait, 3, "[ERR] No Ack", "Receive :");
}

bool zarvoMu::writeWipePattern(WipePattern pattern)
{
    qCDebug(lcMainboard) << "writeWipePattern:..... " << pattern;
    return sendOnly(packs_.writeWipePatternPacks(pattern));
}

bool zarvoMu::loadUserMemoryPacks(quint16 number)
{
    qCDebug(lcMainboard) << "load User Memory Packs number:" << number;
    if (number >= 7) {
        qCWarning(lcMainboard) << "[ERR] number out of range:" << number;
        return false;
    }
    return sendFrame(packs_.loadUserMemoryPacks(number), "[ERR] send to MB", SendFailLog::Frame)
           && awaitAck(normalReplyWait, 0, "[ERR] Not receive ack", "Receive from MB:");
}

bool zarvoMu::saveUserMemoryPacks(quint16 number)
{
    if (number >= 7) {
        qCWarning(lcMainboard) << "[ERR] number out of range" << number;
        return false;
    }
    const QByteArray frame = packs_.saveUserMemoryPacks(number);
    if (!sendOnly(frame)) {
        qCWarning(lcMainboard).noquote() << "[ERR] send to MB" << mbHex(frame);
        return false;
    }
    return true;
}

bool zarvoMu::loadFactoryDefaultPacks() { return sendOnly(packs_.loadFactoryDefaultPacks()); }

bool zarvoMu::saveSetupPacks() { return sendOnly(packs_.saveSetupPacks()); }

bool zarvoMu::updateStatus(const zarvoMuStatus &status)
{
    return sendFrame(packs_.updateStatusPacks(status)) && awaitAck(normalReplyWait, 3);
}

bool zarvoMu::writeDeviceType(quint16 type) { return sendOnly(packs_.writeDeviceTypePacks(type)); }

bool zarvoMu::writeAutoTransRate(quint16 rate)
{
    return sendFrame(packs_.writeAutoTransRatePacks(rate), "[ERR] packSize error")
           && awaitAck(normalReplyWait, 2, "[ERR] receive empty", "receive bytes = ");
}

bool zarvoMu::writeColorBorderUserParam(const colorWipeBorderSetting &setting)
{
    return sendFrame(packs_.writeColorBorderUserParamPacks(setting), "[ERR] send packs:", SendFailLog::Frame)
           && awaitAck(normalReplyWait, 0, "[ERR] No Ack");
}

bool zarvoMu::writePipUserParam(const pipSetting &setting, bool checkResponse)
{
    if (!sendFrame(packs_.writePipUserParamPacks(setting), "[ERR] Send packs", SendFailLog::SizeAndWritten))
        return false;
    if (checkResponse)
        return awaitAck(pipSettingsWait, 0, "[ERR] No Ack", "Receive pip packs", true);
    qCDebug(lcMainboard).noquote() << "Receive pip packs" << mbHex(receive(pipSettingsWait)) << "(not checked)";
    return true;
}

bool zarvoMu::writeLumaAudioUserParam(const lumakeyAudioSetting &setting)
{
    return sendFrame(packs_.writeLumaAudioUserParamPacks(setting), "[ERR] pack size error :", SendFailLog::Size)
           && awaitAck(normalReplyWait, 0, "[ERR] No Ack", "Receive Audio setting ack :", true);
}

bool zarvoMu::writeMachineInfoUserParam(const machineInfoSetting &setting)
{
    return sendFrame(packs_.writeMachineInfoUserParamPacks(setting), "[ERR] pack size error :", SendFailLog::Size)
           && awaitAck(normalReplyWait, 3, "[ERR] Not receive ack");
}

bool zarvoMu::writeAuxSrc(CrossPoint src) { return sendOnly(packs_.writeAuxSrcPacks(src)); }

bool zarvoMu::writeAuxMode(int mode)
{
    qCDebug(lcMainboard) << "writeAuxMode: 000000 : " << mode;
    const QByteArray frame = packs_.writeAuxModePacks(mode);
    qCDebug(lcMainboard) << "writeAuxMode: 111111 : " << mode;
    return sendOnly(frame);
}

// ---------------------------------------------------------------- reads

CrossPoint zarvoMu::readSource(const char *name, const QByteArray &frame, int waitMs, const char *tooFewText,
                               bool &ok)
{
    ok = false;
    qCDebug(lcMainboard) << name;
    if (!sendFrame(frame))
        return none;
    const QByteArray reply = receive(waitMs);
    if (!replyFits(reply, 5, tooFewText))
        return black;
    // A stale acknowledgement or a garbled reply must not pass as a source:
    // the frame has to carry its source byte under a valid checksum, and
    // answer this request (its code, or the code with the top bit set).
    if (!checkChecksum(reply) || !carriesData(reply, 1)) {
        qCWarning(lcMainboard).noquote() << "[ERR] source reply invalid:" << mbHex(reply);
        counters_.count(MainboardLineCounters::Garbled);
        return black;
    }
    const uint8_t code = at(reply, 2);
    const uint8_t asked = at(frame, 2);
    if (code != asked && code != (asked | 0x80)) {
        qCWarning(lcMainboard).noquote() << "[ERR] source reply command code:" << int(code) << mbHex(reply);
        return black;
    }
    ok = true;
    return static_cast<CrossPoint>(decode(reply, 2).message[0]);
}

CrossPoint zarvoMu::readProgram(bool &ok)
{
    return readSource("readProgram:..... ", packs_.readProgramPacks(), shortReplyWait,
                      "receive returned too few bytes:", ok);
}

CrossPoint zarvoMu::readPreset(bool &ok)
{
    return readSource("readPreset:..... ", packs_.readPresetPacks(), shortReplyWait,
                      "receive returned too few bytes:", ok);
}

CrossPoint zarvoMu::readKeyFillPacks(bool &ok)
{
    return readSource("readKeyFillPacks:..... ", packs_.readKeyFillPacks(), normalReplyWait, tooFew, ok);
}

CrossPoint zarvoMu::readKeyKeySrc(bool &ok)
{
    return readSource("readKeyKeySrc:..... ", packs_.readKeyKeySrcPacks(), normalReplyWait, tooFew, ok);
}

int zarvoMu::readControl(EffectAddress address, bool &ok)
{
    ok = false;
    if (!sendFrame(packs_.readControlPacks(address), "[ERR] Send"))
        return -1;
    const QByteArray reply = receive(normalReplyWait);
    if (!replyFits(reply, 7))
        return 0;
    const COMMANDFORMAT f = decode(reply, 4);
    const bool sumOk = checkChecksum(reply);
    if (!sumOk) {
        qCWarning(lcMainboard) << "[ERR] checksum = " << sumOk;
        counters_.count(MainboardLineCounters::Garbled);
        return -1;
    }
    if (f.commandCode != 0xC5) {
        qCWarning(lcMainboard) << "[ERR] commandCode = " << int(f.commandCode);
        return -1;
    }
    if (!carriesData(reply, 3)) {
        qCWarning(lcMainboard) << tooFew << reply.size();
        return -1;
    }
    if (f.message[0] != 0) {
        qCWarning(lcMainboard) << "[ERR] control = " << int(f.message[0]);
        return -1;
    }
    ok = true;
    return f.message[2] * 256 + f.message[1];
}

bool zarvoMu::readPushButtonLamp(PushButtonLamp lamp, bool &ok)
{
    qCDebug(lcMainboard) << "readPushButtonLamp:..... " << lamp;
    ok = false;
    if (!sendFrame(packs_.readPushButtonLampPacks(lamp), "[ERR] Send pack: ", SendFailLog::Frame))
        return false;
    QByteArray reply = waitReply(normalReplyWait, 2, normalReplyWait);
    if (reply.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] Not rceive ack";
        return false;
    }
    qCDebug(lcMainboard).noquote() << "recv bytes : " << mbHex(reply);
    reply = getReadResponse(reply);
    if (reply.size() == 3 && !checkWriteCommandAck(reply)) {
        qCWarning(lcMainboard).noquote() << "[ERR]checksum fail" << ", bytes :" << mbHex(reply);
        return false;
    }
    if (!replyFits(reply, 5))
        return false;
    COMMANDFORMAT f = decode(reply, 2);
    if (!checkRecieveWriteCommandCheckSum(f) || !carriesData(reply, 1)) {
        qCWarning(lcMainboard).noquote() << "[ERR]checksum fail" << mbHex(reply);
        return false;
    }
    if (f.commandCode != 0xC6 && f.commandCode != 0xC7) {
        qCWarning(lcMainboard) << "[ERR]commmandCode fail" << int(f.commandCode);
        return false;
    }
    qCDebug(lcMainboard) << "pushButtonStatus :" << int(f.message[0]);
    ok = true;
    return f.message[0] != 0;
}

WipePattern zarvoMu::readWipePattern(bool &ok)
{
    qCDebug(lcMainboard) << "readWipePattern:..... ";
    ok = false;
    if (!sendFrame(packs_.readWipePatternPacks()))
        return reverse;
    const QByteArray reply = waitReply(normalReplyWait, 3, normalReplyWait);
    if (reply.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] receive wipe pattern empty";
        return reverse;
    }
    if (reply.size() == 3) {
        // An acknowledgement without data.
        ok = checkWriteCommandAck(reply);
        return reverse;
    }
    if (!replyFits(reply, 5))
        return LeftToRight;
    COMMANDFORMAT f = decode(reply, 2);
    if (!checkRecieveWriteCommandCheckSum(f) || f.commandCode != 0xC8 || !carriesData(reply, 1)) {
        qCWarning(lcMainboard).noquote() << "[ERR] wipe pattern reply invalid:" << mbHex(reply);
        return reverse;
    }
    ok = true;
    return static_cast<WipePattern>(f.message[0]);
}

QByteArray zarvoMu::reReadUntil(QByteArray reply, const QByteArray &header, int frameLen, int counter,
                                const char *missText)
{
    reply = resync(reply, header);
    auto complete = [&](const QByteArray &r) {
        return r.size() == frameLen && at(r, 0) == at(header, 0) && at(r, 2) == at(header, 2);
    };
    // A frame that starts here but runs longer than a frame may be followed
    // by a newer one: resynchronise on its header. Without one, more bytes
    // can never make the reply valid.
    auto settle = [&](QByteArray &r) {
        while (r.startsWith(header) && r.size() > frameLen) {
            const int next = r.indexOf(header, 1);
            if (next < 0)
                break;
            r.remove(0, next);
        }
        return r.startsWith(header) && r.size() >= frameLen && !complete(r);
    };
    // The re-reads only collect the rest of a frame that has begun: one
    // normal reply wait in all, however the bytes trickle in. A bound, not a
    // wait: the test divisor shortens the waits inside it, not the bound.
    QElapsedTimer total;
    total.start();
    const qint64 budget = normalReplyWait;
    for (;; --counter) {
        const bool stuck = settle(reply);
        if (complete(reply) || counter < 0)
            break;
        if (stuck) {
            qCWarning(lcMainboard).noquote() << "[ERR] reply cannot become a frame:" << mbHex(reply);
            break;
        }
        const qint64 left = budget - total.elapsed();
        if (left <= 0) {
            qCWarning(lcMainboard).noquote() << "[ERR] reply incomplete after" << normalReplyWait << "ms:" << mbHex(reply);
            break;
        }
        qCDebug(lcMainboard).noquote() << missText << mbHex(reply);
        // Re-reads add to what came so far: a reply split over several reads
        // is joined, not lost.
        reply.append(receive(int(qMin<qint64>(normalReplyWait, left * waitDivisor_))));
        reply = resync(reply, header);
    }
    return reply;
}

zarvoMuStatus zarvoMu::requestStatus(bool &ok)
{
    ok = false;
    if (!sendFrame(packs_.requestStatusPacks(), "request status send bytes not corrent", SendFailLog::Frame))
        return zarvoMuStatus();
    QByteArray reply = waitReply(normalReplyWait, 2, normalReplyWait);
    if (reply.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] request status receive zero bytes";
        return zarvoMuStatus();
    }
    // An acknowledgement may come first; the first three bytes of a status
    // frame that arrived in pieces are not one.
    if (reply.size() == 3 && !reply.startsWith(statusHeader) && !checkWriteCommandAck(reply)) {
        qCWarning(lcMainboard).noquote() << "[ERR] request status check sum:" << mbHex(reply);
        counters_.count(MainboardLineCounters::Garbled);
        return zarvoMuStatus();
    }
    reply = reReadUntil(reply, statusHeader, 10, 2, "request status miss some bytes... ");
    if (!replyFits(reply, 10))
        return zarvoMuStatus();
    COMMANDFORMAT f = decode(reply, 7);
    if (!checkRecieveWriteCommandCheckSum(f) || !carriesData(reply, 6)) {
        qCWarning(lcMainboard).noquote() << "[ERR] request status check sum error" << mbHex(reply);
        counters_.count(MainboardLineCounters::Garbled);
        return zarvoMuStatus();
    }
    if (f.commandCode != 0xEE) {
        qCWarning(lcMainboard).noquote() << "[ERR] request status command code error:" << int(f.commandCode) << mbHex(reply);
        return zarvoMuStatus();
    }
    const zarvoMuStatus s = zarvoMuStatus::fromBytes(f.message.data(), 6);
    qCDebug(lcMainboard).nospace() << "Received pgmSource:" << int(s.pgmSource) << ", pvwSource:" << int(s.pvwSource)
                                   << ", mixWipe:" << bool(s.mixWipe) << ", split:" << bool(s.split)
                                   << ", pipSplitPgm:" << bool(s.pipSplitPgm) << ", pipSplitPvw:" << bool(s.pipSplitPvw)
                                   << ", keyerPgm:" << bool(s.keyerPgm) << ", keyerPvw:" << bool(s.keyerPvw)
                                   << ", menu:" << bool(s.menu) << ", pipSource:" << int(s.pipSource)
                                   << ", splitSource:" << int(s.splitSource) << ", keySource:" << int(s.keySource)
                                   << ", keyFillSource:" << int(s.keyFillSource) << ", wipePattern:" << int(s.wipePattern)
                                   << ", reverse:" << bool(s.reverse);
    ok = true;
    return s;
}

DeviceType zarvoMu::readDeviceType(bool &ok)
{
    ok = false;
    if (!sendFrame(packs_.readDeviceTypePacks()))
        return unKnown;
    const QByteArray reply = receive(normalReplyWait);
    if (!replyFits(reply, 5))
        return VORNA;
    COMMANDFORMAT f = decode(reply, 2);
    if (!checkRecieveWriteCommandCheckSum(f) || f.commandCode != 0xEF || !carriesData(reply, 1)) {
        qCWarning(lcMainboard).noquote() << "[ERR] device type reply invalid:" << mbHex(reply);
        return unKnown;
    }
    ok = true;
    return static_cast<DeviceType>(f.message[0]);
}

int zarvoMu::readAutoTransRate(bool &ok)
{
    ok = false;
    if (!sendFrame(packs_.readAutoTransRatePacks(), "[ERR] packSize = ", SendFailLog::Size))
        return -1;
    const QByteArray reply = waitReply(normalReplyWait, 2, normalReplyWait);
    if (reply.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] Not receive Trans Rate Packs";
        return -1;
    }
    qCDebug(lcMainboard).noquote() << "Receive bytes :" << mbHex(reply);
    if (!replyFits(reply, 5))
        return 0;
    COMMANDFORMAT f = decode(reply, 2);
    if (!checkRecieveWriteCommandCheckSum(f) || !carriesData(reply, 1)) {
        qCWarning(lcMainboard) << "[ERR] checksum error";
        return -1;
    }
    if (f.commandCode != 0xCC) {
        qCWarning(lcMainboard) << "[ERR] command code error";
        return -1;
    }
    ok = true;
    return f.message[0];
}

bool zarvoMu::decodeBlock(const QByteArray &reply, COMMANDFORMAT &f)
{
    if (!replyFits(reply, 12))
        return false;
    f = decode(reply, 9);
    if (!checkRecieveWriteCommandCheckSum(f) || !carriesData(reply, 8)) {
        qCWarning(lcMainboard).noquote() << "[ERR] checksum" << mbHex(reply);
        counters_.count(MainboardLineCounters::Garbled);
        return false;
    }
    if (f.commandCode != 0xC9) {
        qCWarning(lcMainboard) << "[ERR] command Code" << int(f.commandCode);
        return false;
    }
    return true;
}

colorWipeBorderSetting zarvoMu::readColorBorderUserParam(bool &ok)
{
    ok = false;
    if (!sendFrame(packs_.readUserParamPacks(colorBorderControl)))
        return colorWipeBorderSetting();
    const QByteArray reply = waitReply(normalReplyWait, 6, normalReplyWait);
    if (reply.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] receive empty";
        return colorWipeBorderSetting();
    }
    COMMANDFORMAT f;
    if (!decodeBlock(reply, f))
        return colorWipeBorderSetting();
    printVectorMsg(f.message);
    ok = true;
    return colorWipeBorderSetting::fromBytes(f.message.data());
}

pipSetting zarvoMu::readPipUserParam(bool &ok)
{
    ok = false;
    if (!sendFrame(packs_.readUserParamPacks(pipControl), "[ERR] pack Size"))
        return pipSetting();
    QByteArray reply = waitReply(normalReplyWait, 6, normalReplyWait);
    if (reply.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] receive empty";
        return pipSetting();
    }
    reply = reReadUntil(reply, pipHeader, 12, 12, "read pip user miss some bytes... ");
    qCDebug(lcMainboard).noquote() << "read pip user- bytes... " << mbHex(reply);
    COMMANDFORMAT f;
    if (!decodeBlock(reply, f))
        return pipSetting();
    ok = true;
    return pipSetting::fromBytes(f.message.data());
}

lumakeyAudioSetting zarvoMu::readLumaAudioUserParam(bool &ok)
{
    ok = false;
    if (!sendFrame(packs_.readUserParamPacks(lumakeyAudioControl)))
        return lumakeyAudioSetting();
    QByteArray reply = receive(normalReplyWait);
    const int start = reply.indexOf('\x0B');
    reply = start >= 0 ? reply.mid(start) : QByteArray();
    if (!replyFits(reply, 12))
        return lumakeyAudioSetting();
    COMMANDFORMAT f = decode(reply, 9);
    qCDebug(lcMainboard) << "luma audio count:" << int(f.count) << "command code:" << int(f.commandCode);
    const bool sumOk = checkRecieveWriteCommandCheckSum(f);
    qCDebug(lcMainboard) << "luma audio checksum:" << sumOk;
    if (!sumOk)
        qCWarning(lcMainboard).noquote() << "[ERR] luma audio checksum" << mbHex(reply);
    if (f.commandCode != 0xC9 || !carriesData(reply, 8)) {
        qCWarning(lcMainboard).noquote() << "[ERR] luma audio reply invalid:" << mbHex(reply);
        return lumakeyAudioSetting();
    }
    ok = sumOk;
    return lumakeyAudioSetting::fromBytes(f.message.data());
}

machineInfoSetting zarvoMu::readMachineInfoUserParam(bool &ok)
{
    ok = false;
    if (!sendFrame(packs_.readUserParamPacks(setupControl)))
        return machineInfoSetting();
    COMMANDFORMAT f;
    if (!decodeBlock(receive(normalReplyWait), f))
        return machineInfoSetting();
    ok = true;
    return machineInfoSetting::fromBytes(f.message.data());
}

bool zarvoMu::isMachineLive()
{
    if (!sendFrame(packs_.machineLivePacks()))
        return false;
    QByteArray reply = waitReply(normalReplyWait, 2, normalReplyWait);
    if (reply.isEmpty()) {
        qCWarning(lcMainboard) << "[ERR] machine live: no reply";
        return false;
    }
    const int start = reply.indexOf('\x02');
    reply = start >= 0 ? reply.mid(start) : QByteArray();
    if (reply.size() == 3 && static_cast<uint8_t>(at(reply, 0) + at(reply, 1)) != at(reply, 2)) {
        qCWarning(lcMainboard).noquote() << "[ERR] machine live: checksum" << mbHex(reply);
        return false;
    }
    if (reply.size() >= 2 && at(reply, 0) == 0x02 && (at(reply, 1) == 0x40 || at(reply, 1) == 0x80))
        return true;
    qCWarning(lcMainboard).noquote() << "[ERR] machine live: unexpected reply" << mbHex(reply);
    return false;
}

CrossPoint zarvoMu::readAuxSrc(bool &ok, COMMANDFORMAT &frameOut)
{
    ok = false;
    if (!sendFrame(packs_.readAuxSrcPacks()))
        return none;
    const QByteArray reply = receive(normalReplyWait);
    frameOut.message.assign(8, 0);
    if (!replyFits(reply, 11))
        return black;
    frameOut = decode(reply, 8);
    if (!checkChecksum(reply) || !carriesData(reply, 1)) {
        qCWarning(lcMainboard).noquote() << "[ERR] aux source reply invalid:" << mbHex(reply);
        return black;
    }
    ok = true;
    return static_cast<CrossPoint>(frameOut.message[0]);
}

int zarvoMu::readAuxByte(const QByteArray &frame, const char *logText, const char *invalidText)
{
    if (!sendFrame(frame))
        return 0;
    const QByteArray reply = receive(normalReplyWait);
    qCDebug(lcMainboard).noquote() << logText << mbHex(reply);
    if (reply.size() < 3 || reply.size() > 11 || !checkChecksum(reply) || !carriesData(reply, 1)) {
        qCWarning(lcMainboard).noquote() << invalidText << mbHex(reply);
        return 0;
    }
    return decode(reply, 8).message[0];
}

int zarvoMu::readAuxMode()
{
    return readAuxByte(packs_.readAuxModePacks(), "readAuxMode Read Aux mode bytes = ",
                       "[ERR] aux mode reply invalid:");
}

int zarvoMu::readFwVersion()
{
    return readAuxByte(packs_.readFwVersionPacks(), "readFwVersion Read Aux mode bytes = ",
                       "[ERR] firmware version reply invalid:");
}
