#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class SimThread;
class SimMainboardPeer;
struct SimMainboardShared;

// The simulated switcher mainboard on the far side of the mainboard line
// ("ttyAMA2", resolved through the sysroot) and, when asked, on a loopback
// TCP port (the panel connects; every frame carries a 2-byte big-endian
// length in front that counts itself).
//
// It runs on a simulation thread (its own, or one handed in), because the
// panel blocks its own thread while it waits for an answer. Every public
// method is thread-safe and may be called from the test thread.
//
// Application mode, as the mainboard answers:
// - a write: the acknowledgement 02 80 82, and the change is applied;
// - a read: its reply frame (status 09 00 EE s0..s5 cs, T-bar 06 01 C5 00 lo
//   hi cs, user-menu block 0B blk C9 p0..p7 cs, ...);
// - a frame with a bad checksum: 02 10 12, nothing applied;
// - an operation, address or argument it does not know: 02 40 42.
// Bytes that cannot start a frame are dropped; a frame that stays incomplete
// for 100 ms is dropped (both counted in Counters::droppedBytes).
//
// Boot loader: the reset command 03 01 EB EF is acknowledged with 02 80 82
// and the board enters its boot loader (a break on a pseudo-terminal cannot
// be seen, so it is assumed). There it echoes the probe 0F, answers the erase
// 03 00 F4 01 00 7E 35 33 04 with 03 63 30 04, acknowledges every image
// packet with 05 04 84 40 04 and goes back to application mode on
// 08 08 81 04. A packet ends after the sizes given by expectImage() (exact,
// and fast: use it), or, without them, when the line has been quiet for
// packetGap() ms (default 30). The boot loader listens on the serial line
// only.
class SimMainboard : public QObject
{
    Q_OBJECT
public:
    // How the application side misbehaves. "Applied" says whether the board
    // still carries out what it was told.
    enum FailureMode {
        Normal,
        // Records, never answers, applies nothing (dead board).
        NoAnswer,
        // Every reply goes out replyDelay() ms late (default 500). Applied.
        LateAnswer,
        // Every reply is written in pieces of splitChunk() bytes (default 2),
        // splitGap() ms apart (default 50). Applied.
        SplitReply,
        // A read reply is preceded by 02 80 82 in the same write. Applied.
        AckBeforeReply,
        // A read reply: 02 80 82 alone, then splitGap() ms later the reply
        // frame. Applied.
        AckThenReply,
        // The last byte of every reply (acknowledgements too) is off by one.
        // Applied.
        CorruptChecksum,
        // A read reply carries command code ^ 0x10 (checksum fixed up to
        // match). Acknowledgements are unchanged. Applied.
        WrongCommandCode,
        // Every reply is replaced by 1 to 16 random bytes (seeded, see
        // setRandomSeed). Applied.
        Garbage,
        // Four bytes A5 A5 A5 A5 follow every reply in the same write. Applied.
        TooManyBytes,
        // Everything is answered 02 20 22 (cannot execute now). Not applied.
        ReportBusy,
        // Writes are acknowledged 02 st cs with st = ackStatus() (checksum
        // correct); applied only when bit 7 of st is set. Reads answer normally.
        AckStatus,
        // The first two frames after this mode was set are handled as
        // earlyMode() (default CorruptChecksum: a prompt but failing answer);
        // from the third on, Normal.
        AnswerOnThirdRequest,
    };
    Q_ENUM(FailureMode)

    // How the boot loader misbehaves. Packet indices count from 0; -1 means
    // every packet.
    enum BootLoaderFailure {
        BootNormal,
        // Never echoes the probe 0F.
        NoProbeEcho,
        // Answers the probe with F0 instead of 0F (fails fast on the panel).
        WrongProbeEcho,
        // Erases, but never answers the erase command.
        NoEraseAck,
        // Records the packet, sends no acknowledgement.
        NoPacketAck,
        // Answers the packet with 05 04 84 41 04 (wrong status byte).
        WrongPacketAck,
        // Erases, and answers the erase with 03 63 31 04 (wrong status byte).
        WrongEraseAck,
    };
    Q_ENUM(BootLoaderFailure)

    // What a user memory holds (memory 0 is the factory set).
    struct Memory
    {
        std::array<quint8, 6> status{};
        quint8 autoRate = 0;
        std::array<quint16, 3> control{};
        std::array<std::array<quint8, 8>, 4> menu{};
        quint8 auxSource = 0;
        quint8 auxMode = 0;
    };

    // Everything the board keeps. The status record follows the wire layout:
    // byte 0 program (bits 0-3) and preview (4-7); byte 1 autokey, mixWipe,
    // split, pipSplitPgm, pipSplitPvw, keyerPgm, keyerPvw, menu (bits 0-7);
    // byte 2 pip source (0-3) and split source (4-7); byte 3 key source (0-3)
    // and key fill source (4-7); byte 4 wipe pattern (0-6) and reverse (7);
    // byte 5 spare.
    struct State
    {
        // The board as it starts: memories 0..6 and slot 0xFF hold this set.
        State();

        std::array<quint8, 6> status{{0x21, 0x00, 0x03, 0x21, 0x00, 0x00}};
        quint8 autoRate = 30;                  // in frames, see setFrameMs()
        // Effect-control values by address 0..2; address 1 is the T-bar, 0..1023.
        std::array<quint16, 3> control{};
        // The end (0 or 1023) the T-bar last rested at: reaching the other
        // end completes a transition.
        quint16 tbarLastEnd = 0;
        // User-menu blocks 0 colour/border, 1 pip, 2 luma key/audio, 3 setup.
        // Block 3 bytes 3..6 are the board's versions (mainboard major, minor,
        // OSD major, minor); a block write or memory load leaves them alone.
        std::array<std::array<quint8, 8>, 4> menu{{
            {{0, 1, 2, 1, 3, 0, 0, 0}},
            {{50, 0, 0, 0, 0, 0, 0, 0}},
            {{0, 50, 32, 0, 1, 0, 1, 0}},
            {{2, 2, 0, 1, 5, 1, 2, 0}},
        }};
        quint8 auxSource = 0;
        quint8 auxMode = 0;
        quint8 deviceType = 2;                 // ZARVOMU
        // Lamps 0..22 that are not derived from the status record (auto,
        // cut, preset and the unused 7..16).
        std::array<bool, 23> lamps{};
        bool autoTransitionRunning = false;
        std::array<Memory, 7> memories{};      // 0 is the factory set
        std::array<quint8, 8> setupSlot{};     // slot 0xFF: a copy of block 3

        int program() const { return status[0] & 0x0F; }
        int preview() const { return status[0] >> 4; }
        void setProgram(int src) { status[0] = quint8((status[0] & 0xF0) | (src & 0x0F)); }
        void setPreview(int src) { status[0] = quint8((status[0] & 0x0F) | ((src & 0x0F) << 4)); }
        bool flag(int bit) const { return (status[1] >> bit) & 1; } // byte 1 bit
        void setFlag(int bit, bool on)
        {
            status[1] = on ? quint8(status[1] | (1u << bit)) : quint8(status[1] & ~(1u << bit));
        }
        int pipSource() const { return status[2] & 0x0F; }
        int splitSource() const { return status[2] >> 4; }
        int keySource() const { return status[3] & 0x0F; }
        int keyFillSource() const { return status[3] >> 4; }
        int wipePattern() const { return status[4] & 0x7F; }
        bool reverse() const { return status[4] & 0x80; }
        quint16 tbar() const { return control[1]; }
        // Lamp state as the board reports it (derived lamps from the status).
        bool lampLit(int lamp) const;
        QByteArray statusBytes() const { return QByteArray(reinterpret_cast<const char *>(status.data()), 6); }
        QByteArray menuBytes(int block) const;
    };

    struct Counters
    {
        int frames = 0;          // whole frames received (application mode)
        int replies = 0;         // answers written
        int checksumErrors = 0;  // frames answered 02 10 12
        int unsupported = 0;     // frames answered 02 40 42
        int droppedBytes = 0;    // bytes that formed no frame
        int transitions = 0;     // program/preview swaps (cut, auto, T-bar)
        int probes = 0;          // 0F probes received in the boot loader
        int erases = 0;
        int packets = 0;         // image packets received
        int bootLoaderEntries = 0;
        int bootLoaderExits = 0;
    };

    // Opens the line <sysroot>/dev/<deviceName> on `thread` (which must
    // outlive the board), or on a thread of its own when null. Check
    // isOpen(). TAVRIK_SYSROOT must be set.
    explicit SimMainboard(const QString &deviceName = QStringLiteral("ttyAMA2"), SimThread *thread = nullptr);
    ~SimMainboard() override;

    // Back to the start: state, failure modes, delays, injected replies,
    // boot loader and records. The line and the TCP port stay open.
    void reset();

    bool isOpen() const;
    QString deviceName() const { return deviceName_; }
    QString linkPath() const;
    // Closes the line (the panel's device vanishes) and opens it again.
    void close();
    bool open();

    // Listens on 127.0.0.1:port (0: the system picks one). Returns the port,
    // 0 on failure. One panel connection at a time; a newer one replaces it.
    quint16 listenTcp(quint16 port = 0);
    quint16 tcpPort() const;

    void setFailureMode(FailureMode mode);
    FailureMode failureMode() const;
    void setReplyDelay(int ms);
    int replyDelay() const;
    void setSplitReply(int chunkBytes, int gapMs);
    int splitChunk() const;
    int splitGap() const;
    void setAckStatus(quint8 status);
    quint8 ackStatus() const;
    void setEarlyMode(FailureMode mode);
    FailureMode earlyMode() const;
    void setRandomSeed(quint32 seed);

    // The next received frame (each call queues one more) is answered with
    // exactly `raw` (on TCP: nothing added, give the length prefix yourself).
    // The frame itself is still applied. For fuzzing the panel's decoders.
    void injectReply(const QByteArray &raw);
    // Writes `raw` now, unasked, on the serial line (and on the TCP
    // connection when one is up).
    void writeRaw(const QByteArray &raw);

    State state() const;
    // Changes the board's state under its lock: mb.update([](auto &s) { s.setProgram(3); });
    void update(const std::function<void(State &)> &change);
    // Shortcuts.
    int program() const;
    int preview() const;
    quint16 tbar() const;
    bool lampLit(int lamp) const;
    QByteArray statusBytes() const;
    QByteArray menuBlock(int block) const;
    void setMenuBlock(int block, const QByteArray &eightBytes);
    void setVersions(quint8 mbMajor, quint8 mbMinor, quint8 osdMajor, quint8 osdMinor);

    // An auto transition swaps program and preview after rate x frameMs();
    // by default (-1) a frame of the program output resolution in the setup
    // record.
    void setFrameMs(int ms);
    int frameMs() const;

    // Frames received in application mode, oldest first (bad ones too).
    // The records keep the newest 100000 frames and 4 MB of bytes.
    QList<QByteArray> receivedFrames() const;
    QByteArray lastFrame() const;
    // Every byte received, in both modes.
    QByteArray receivedBytes() const;
    // Everything written, in both modes, as it went out (TCP: with the
    // length prefixes).
    QByteArray sentBytes() const;
    Counters counters() const;
    // Clears frames, bytes, boot packets and counters.
    void clearReceived();

    // Boot loader.
    bool inBootLoader() const;
    void enterBootLoader();
    void leaveBootLoader();
    void setBootLoaderFailure(BootLoaderFailure failure, int packetIndex = -1);
    BootLoaderFailure bootLoaderFailure() const;
    // Packet sizes taken from an image file (see MbImage); empty or
    // unparsable: fall back to the quiet gap.
    void expectImage(const QByteArray &imageFile);
    void setExpectedPacketSizes(const QList<int> &sizes);
    void setPacketGap(int ms);
    int packetGap() const;
    // Image packets received since the last erase, in order.
    QList<QByteArray> bootPackets() const;

signals:
    // Emitted on the simulation thread.
    void frameReceived(const QByteArray &frame);
    void transitionDone(int program, int preview);
    void bootLoaderEntered();
    void bootLoaderLeft();

private:
    QString deviceName_;
    std::shared_ptr<SimMainboardShared> shared_;
    std::unique_ptr<SimThread> ownThread_;
    SimThread *thread_ = nullptr;
    SimMainboardPeer *peer_ = nullptr; // lives on thread_
};
