#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class SimThread;
class SimCameraPeer;
struct SimCameraShared;

// A simulated PTZ camera at VISCA address 1 on the far side of one camera
// line ("ttyAMA0", "ttyAMA1", "ttyUSB0", resolved through the sysroot).
//
// The camera runs on a simulation thread (its own, or one handed in), so the
// panel's blocking serial calls on the test thread never starve it. Every
// public method is thread-safe and may be called from the test thread.
//
// Answers, as a VISCA camera gives them:
// - a command: acknowledgement 90 41 FF, then after completionDelay()
//   the completion 90 51 FF;
// - an inquiry: the answer 90 50 ... FF alone;
// - a message it does not know: syntax error 90 60 02 FF;
// - in standby, a command other than power: not executable 90 61 41 FF.
// A message sent inside the two-byte frame (00 <length> message) is answered
// with each reply framed the same way (00 <length> reply).
//
// Answers whose layout the camera family chose for itself:
// - system status 81 09 7E 7E 70 FF: 15 bytes, 90 50 status video wb r r b b
//   focus exposure 00 directions speed-range FF;
// - version 81 09 00 02 FF: 16 bytes, 90 50 0m mm, four MCU, three FPGA and
//   four motor digits one per byte, FF;
// - video format 81 09 04 24 72 09 FF: 90 50 0h 0l FF (the code in nibbles);
// - maximum speeds 81 09 06 11 FF: 90 50 pan tilt FF.
class SimCamera : public QObject
{
    Q_OBJECT
public:
    enum FailureMode {
        Normal,
        // Receives and records, never answers (cable pulled, camera dead).
        Silent,
        // Held in standby whatever it is told: power inquiry and system status
        // report power off, every other command (power on included) is
        // refused with 90 61 41 FF; inquiries are still answered.
        PowerOff,
        // Every reply goes out lateDelay() after it is due (default 600 ms,
        // longer than the panel's longest wait).
        AnswerLate,
        // Every reply is written in two pieces splitGap() apart (default 25 ms).
        SplitReply,
        // A command's completion comes when its motion ends, long after the
        // acknowledgement: it is held until the next message arrives, goes
        // out then, and that message's own answer follows splitGap() later.
        // Leaving the mode sends a held completion at once.
        LateCompletion,
    };
    Q_ENUM(FailureMode)

    struct Preset
    {
        int pan = 0;
        int tilt = 0;
        int zoom = 0;
    };

    // Everything the camera keeps. Codes are the VISCA ones it answers with.
    struct State
    {
        bool power = true;
        bool colorBar = false;
        bool osd = false;        // camera menu on screen
        int menuCode = 0;        // last 81 01 06 06 p FF parameter

        // Zoom 0..0x4000; direction +1 tele, -1 wide, 0 still; speed 0..7.
        int zoomPos = 0;
        int zoomDir = 0;
        int zoomSpeed = 0;
        // Pan and tilt: direction +1 right/up, -1 left/down, 0 still.
        int panDir = 0;
        int tiltDir = 0;
        int panSpeed = 0;
        int tiltSpeed = 0;
        int panPos = 0;
        int tiltPos = 0;
        int moveCount = 0;       // drive commands that started a movement
        int stopCount = 0;       // drive stop commands

        bool autoFocus = true;
        int focusDir = 0;        // +1 far, -1 near
        int focusPos = 0x1000;
        int wbMode = 0;          // 0 auto, 1 indoor, 2 outdoor, 3 one-push, 5 manual
        int onePushTriggers = 0;
        int rGain = 0x80;
        int bGain = 0x80;
        int aeMode = 0;          // 0 auto, 3 manual, 10 shutter, 11 iris, 13 bright
        int iris = 8;
        int shutter = 0x0A;
        int gain = 0;
        bool backlight = false;

        bool flip = false;       // vertical flip (81 01 04 66)
        bool mirror = false;     // horizontal flip (81 01 04 61)
        bool panReverse = false;
        bool tiltReverse = false;
        bool redTally = false;
        bool greenTally = false;

        int videoCode = 0x15;    // 1080p60

        QMap<int, Preset> presets;
        QMap<int, int> presetSpeeds;  // per preset (81 01 7E 01 0B pp ss FF)
        int presetSpeedAll = 0x18;    // 81 01 7E 01 0B 7D ss FF
        int lastStoredPreset = -1;
        int lastRecalledPreset = -1;
        int recallCount = 0;
        int speedRange = 3;           // 81 01 7E 01 0B 7E p FF

        // Version answer: model code (12 bits, answered in byte 2's low nibble
        // and byte 3) and one hexadecimal digit per version nibble.
        int modelCode = 0x39C;
        QByteArray mcuVersion = "1234";
        QByteArray fpgaVersion = "01a";
        QByteArray motorVersion = "1007";
        int panMaxSpeed = 0x08;
        int tiltMaxSpeed = 0x07;

        // Auto-tracking. A camera without the capability answers every
        // tracking message with a syntax error.
        bool trackingCapable = true;
        bool aiCamOn = false;         // 81 0A 11 54 (what 81 09 7E 11 54 reports)
        bool trackFunction = false;   // 81 0A 01 04 1C
        bool autoZoom = false;
        bool autoTilt = false;
        int detIndicator = 2;         // 2 on, 3 off
        bool osdReminder = false;
        int figure = 0;               // 0 full, 1 half, 2 close-up, 3 custom
        int figureSize = 0x0500;
        int subject = 0;              // moves left/right, confirmed count in subjectConfirms
        int subjectConfirms = 0;
        int placement = 1;            // 0 left, 1 centre, 2 right
        int trackSpeed = 1;           // 0 fast, 1 medium, 2 slow
        int trackStartPreset = 0;
        int trackStartMode = 0;       // 81 0A 04 3F 02 00 mm pp: last mm
        int profile = 1;
    };

    // Opens the line on `thread`, or on a thread of its own when null. Check
    // isOpen() afterwards. TAVRIK_SYSROOT must be set before construction.
    explicit SimCamera(const QString &deviceName, SimThread *thread = nullptr);
    ~SimCamera() override;

    bool isOpen() const;
    QString deviceName() const { return deviceName_; }
    // The sysroot link the panel opens ("<sysroot>/dev/ttyAMA0").
    QString linkPath() const;
    // Unplugs the camera (the line closes, the panel's device vanishes) and
    // plugs it in again; the camera keeps its state meanwhile.
    void close();
    bool open();

    void setFailureMode(FailureMode mode);
    FailureMode failureMode() const;
    // Pause between acknowledgement and completion (default 2 ms).
    void setCompletionDelay(int ms);
    int completionDelay() const;
    void setLateDelay(int ms);
    int lateDelay() const;
    void setSplitGap(int ms);
    int splitGap() const;

    // The next received message (each call queues one more) is answered with
    // exactly `raw` instead of its normal answer, and has no effect on the
    // camera. For feeding the panel malformed or unexpected answers.
    void injectReply(const QByteArray &raw);
    // Writes `raw` to the line now, unasked.
    void writeRaw(const QByteArray &raw);

    State state() const;
    // Changes the camera's state under its lock: cam.update([](auto &s) { s.rGain = 0xA5; });
    void update(const std::function<void(State &)> &change);

    // Whole messages as they arrived (a framed one with its two frame bytes),
    // oldest first; bytes that formed no message are only in receivedBytes().
    // The records keep the newest 10000 messages and 256 KiB of bytes.
    QList<QByteArray> received() const;
    int receivedCount() const;
    QByteArray lastReceived() const;
    QByteArray receivedBytes() const;
    // Everything the camera wrote, in order.
    QByteArray sentBytes() const;
    void clearReceived();

signals:
    // Emitted on the simulation thread for each whole message.
    void messageReceived(const QByteArray &message);

private:
    QString deviceName_;
    std::shared_ptr<SimCameraShared> shared_;
    std::unique_ptr<SimThread> ownThread_;
    SimThread *thread_ = nullptr;
    SimCameraPeer *peer_ = nullptr; // lives on thread_
};
