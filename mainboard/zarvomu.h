#pragma once

#include "mainboard/linecounters.h"
#include "mainboard/zarvomucommandpacks.h"
#include "mainboard/zarvomutypes.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <vector>

class QSerialPort;
class QTcpSocket;

// The link to the switcher mainboard: sends the frames of
// zarvoMuCommandPacks and brings the replies back, over the serial line or a
// TCP socket (each frame preceded by a 2-byte big-endian length that counts
// itself). It owns neither device; the control model creates, opens and
// closes them. Lives on the control model's thread (the mainboard lane);
// only the calls marked "any thread" come from elsewhere. The owner check
// sits where the line is touched (send, receive and the raw reads), which
// every exchange passes through.
//
// Every call blocks its caller until the reply has come or its waits have
// passed (serial polling in 10 ms slices). There is no queue: the caller
// serialises calls (commandExecObject holds its mutex around each), because
// each send discards whatever input another call might be waiting for.
class zarvoMu : public QObject
{
    Q_OBJECT
public:
    explicit zarvoMu(QTcpSocket *socket, QSerialPort *serial, QObject *parent = nullptr);

    // Opens `port` on the panel's serial device `name` ("ttyAMA2", through the
    // sysroot) as the board speaks: 115200 baud, 8N1, no flow control.
    static bool openLine(QSerialPort &port, const QString &name);
    ~zarvoMu() override;

    // Transport selection and pass-throughs to the selected device.
    bool getIsUseSocket() const { return isUseSocket; }
    void setIsUseSocket(bool useSocket) { isUseSocket = useSocket; }
    void clearUartReadBuf();
    // Drops what arrived on the serial line while no exchange was running
    // (called from the owner's event loop, never inside an exchange); an
    // acknowledgement still awaited is then gone with it. Bytes dropped.
    qint64 drainIdleInput();
    qint64 bytesAvailable() const;
    bool waitForReadyRead(int ms);
    bool waitForBytesWritten(int ms);

    // Primitives.
    // Bytes written (frame length + 2 on TCP); 0 when refused by the busy
    // gate; -1 on a write error or an empty frame.
    qint64 send(const QByteArray &frame);
    QByteArray receive(int timeoutMs);
    // Exactly expectedLen bytes from the serial line, or empty.
    QByteArray receiveExact(int expectedLen, int timeoutMs);
    QByteArray resendCmd(const QByteArray &frame, int attempts, int expectedLen);
    // Waits for and checks the acknowledgement of a frame already sent.
    bool receiveWriteCommandAck(const QByteArray &frame);

    // Checks on received bytes.
    static bool isStatusAckLength(const QByteArray &bytes);
    static bool checkWriteCommandAck(const QByteArray &bytes);
    static bool checkChecksum(const QByteArray &bytes);
    // Compares the last `message` byte with the sum of the rest of the
    // frame and removes it from `message`. An empty message is invalid.
    static bool checkRecieveWriteCommandCheckSum(COMMANDFORMAT &frame);
    // `bytes` without any successful acknowledgement 02 80 82.
    static QByteArray getReadResponse(const QByteArray &bytes);
    // Moves every whole length-prefixed TCP frame at the front of `raw` to
    // the end of `out`, prefixes stripped; a cut frame stays in `raw`.
    // Returns the prefix when one is below 3 (no frame can be that short;
    // `raw` is left from there on for the caller to drop), else -1.
    static int unframeTcp(QByteArray &raw, QByteArray &out);
    static void printVectorMsg(const std::vector<uint8_t> &bytes);
    static void printVectorMsg(const QByteArray &bytes);

    // Writes: true when the frame went out and, where the operation waits
    // for it, the mainboard acknowledged it.
    bool writeProgram(CrossPoint src);
    bool writePreset(CrossPoint src);
    bool writeKeyFillSrc(CrossPoint src);
    bool writeKeyKeySrc(CrossPoint src);
    bool writePipSrc(CrossPoint src);
    bool writeSplitSrc(CrossPoint src);
    bool writeAuxSrc(CrossPoint src);
    bool writeAuxMode(int mode);
    bool writeControl(EffectAddress address, quint16 value);
    bool writePushButtonLampOn(PushButtonLamp lamp);
    bool writePushButtonLampOff(PushButtonLamp lamp);
    bool writeWipePattern(WipePattern pattern);
    bool loadUserMemoryPacks(quint16 number);
    bool saveUserMemoryPacks(quint16 number);
    bool loadFactoryDefaultPacks();
    bool saveSetupPacks();
    bool updateStatus(const zarvoMuStatus &status);
    bool writeDeviceType(quint16 type);
    bool writeAutoTransRate(quint16 rate);
    bool writeColorBorderUserParam(const colorWipeBorderSetting &setting);
    // checkResponse false (the picture-in-picture page's slider writes):
    // the acknowledgement is still collected, so it cannot be mistaken for
    // the reply of the next frame, but only the send decides the result.
    bool writePipUserParam(const pipSetting &setting, bool checkResponse = true);
    bool writeLumaAudioUserParam(const lumakeyAudioSetting &setting);
    bool writeMachineInfoUserParam(const machineInfoSetting &setting);

    // Reads: `ok` tells whether the returned value came from a valid reply.
    CrossPoint readProgram(bool &ok);
    CrossPoint readPreset(bool &ok);
    CrossPoint readKeyFillPacks(bool &ok);
    CrossPoint readKeyKeySrc(bool &ok);
    int readControl(EffectAddress address, bool &ok);
    bool readPushButtonLamp(PushButtonLamp lamp, bool &ok);
    WipePattern readWipePattern(bool &ok);
    zarvoMuStatus requestStatus(bool &ok);
    DeviceType readDeviceType(bool &ok);
    int readAutoTransRate(bool &ok);
    colorWipeBorderSetting readColorBorderUserParam(bool &ok);
    pipSetting readPipUserParam(bool &ok);
    // On a checksum failure with the right reply code the received bytes are
    // returned with ok false; the caller decides by ok.
    lumakeyAudioSetting readLumaAudioUserParam(bool &ok);
    machineInfoSetting readMachineInfoUserParam(bool &ok);
    bool isMachineLive();
    CrossPoint readAuxSrc(bool &ok, COMMANDFORMAT &frame);
    int readAuxMode();
    int readFwVersion();

    // Tests only: divides every reply wait (not the 10 ms poll slice, the
    // 200 ms inter-byte gap or the 66 ms write drain) so retry patterns can
    // be exercised without waiting them out; log lines still name the
    // nominal wait. 1 (the default) on the panel.
    void setWaitDivisor(int divisor) { waitDivisor_ = divisor < 1 ? 1 : divisor; }

    // True once a frame has gone out and the board has given no byte at all
    // for a whole normal reply wait since: a board that is off, hung or
    // unplugged, not one that is merely slow. Cleared by any byte from it.
    // Any thread.
    bool boardSilent() const;

    // Any thread, once, when the panel is stopping: a wait under way ends
    // within a poll slice and every later send is refused unsent, so no
    // exchange outlasts the stop whatever the board does.
    void abortExchanges() { aborted_.store(true); }
    bool exchangesAborted() const { return aborted_.load(); }
    // Frames, replies and faults on the line so far (readable from any thread).
    MainboardLineCounters::Snapshot lineCounters() const { return counters_.snapshot(); }
    // Once a reply wait has passed without a single byte, the waits still to
    // come of that exchange are skipped while the board keeps silent: its
    // retries only wait again for the same frame (nothing is sent twice), so
    // a board that ignored a whole wait holds the line for nothing but the
    // next press. Off by default (every wait as specified); the panel turns
    // it on.
    void setSkipRetriesWhenSilent(bool skip) { skipRetriesWhenSilent_ = skip; }

signals:
    // send refused a frame because the mainboard is busy (T-bar in travel).
    void sigMBBusy();
    // The board let a reply wait (of 200 ms or more) pass without a byte
    // (false), or gave bytes again after that (true). Emitted on the
    // caller's thread, on each change only.
    void answeringChanged(bool answering);

public slots:
    void sltSpecialMission(bool on) { specialMission = on; }

public:
    // Written by the control model's T-bar write and the slot, read by send,
    // possibly from different threads: atomic.
    QTcpSocket *socket_ = nullptr;
    QSerialPort *serialPort_ = nullptr;
    std::atomic<bool> isUseSocket{false};
    std::atomic<bool> mainboardIsBusy{false};
    std::atomic<bool> specialMission{false};

private:
    enum class SendFailLog { Text, Size, SizeAndWritten, Frame };

    bool wholeFrameSent(qint64 written, const QByteArray &frame) const;
    // Sends a frame; when it does not go out whole, logs `failText` with the
    // detail named (nothing when failText is null) and returns false.
    bool sendFrame(const QByteArray &frame, const char *failText = nullptr, SendFailLog detail = SendFailLog::Text);
    // The acknowledgement of the frame just sent: a wait of `firstMs`, then up
    // to `retries` waits of 3000 ms while nothing came. Logs `noReplyText`
    // when nothing came, and `replyText` with the reply before the check (or
    // after it, with its result, when `withResult`).
    bool awaitAck(int firstMs, int retries, const char *noReplyText = nullptr, const char *replyText = nullptr,
                  bool withResult = false);
    // Resynchronises on `header` and re-reads, adding to what came, while
    // the reply is not one whole `frameLen`-byte frame and `counter` (counted
    // down) is not below zero.
    QByteArray reReadUntil(QByteArray reply, const QByteArray &header, int frameLen, int counter,
                           const char *missText);
    // The aux mode and firmware version reads: data byte 0 or 0.
    int readAuxByte(const QByteArray &frame, const char *logText, const char *invalidText);
    bool sendOnly(const QByteArray &frame);
    void awaitOutstandingAck();
    bool busyGateRefuses(const QByteArray &frame) const;
    int scaled(int ms) const { return ms / waitDivisor_ > 0 ? ms / waitDivisor_ : 1; }
    QByteArray receiveSerial(int timeoutMs);
    QByteArray receiveTcp(int timeoutMs);
    // First wait, then up to `retries` more waits while nothing came.
    QByteArray waitReply(int firstMs, int retries, int retryMs);
    // The common shape of a source read.
    CrossPoint readSource(const char *name, const QByteArray &frame, int waitMs, const char *tooFewText, bool &ok);
    // Length, checksum and code of a user-menu block reply.
    bool decodeBlock(const QByteArray &reply, COMMANDFORMAT &frame);

    // Counts an acknowledgement by what it was: accepted, refused, or bytes
    // that are no acknowledgement at all.
    void countAck(const QByteArray &reply, bool accepted);

    zarvoMuCommandPacks packs_;
    MainboardLineCounters counters_;
    std::atomic<int> waitDivisor_{1};
    // A send-only write went out and its acknowledgement has not been seen.
    std::atomic<bool> ackOutstanding_{false};
    // When the oldest frame the board has not answered with a single byte
    // went out (ms of a monotonic clock); 0: it has answered since.
    std::atomic<qint64> unansweredSince_{0};
    std::atomic<bool> aborted_{false};
    // A reply wait passed without a byte, and none has come since.
    std::atomic<bool> replyMissed_{false};
    std::atomic<bool> skipRetriesWhenSilent_{false};
    void heardBoard(qint64 bytes)
    {
        if (bytes <= 0)
            return;
        unansweredSince_.store(0);
        if (replyMissed_.exchange(false))
            emit answeringChanged(true);
    }
    // Bytes no wait was for (an answer that came after its wait): the board
    // is there, and the line counts them late.
    void heardLate(qint64 bytes)
    {
        heardBoard(bytes);
        if (bytes > 0)
            counters_.count(MainboardLineCounters::Late);
    }
    void missedReply(int nominalMs);
    void sentToBoard();
};
