#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;
class QTcpServer;
class QTcpSocket;
class QSocketNotifier;
class QTimer;

// The panel's network services object: the Ethernet settings, the audio
// meter and levels, the program output and still capture, a few hardware
// details, and the update check. Lives on the system lane (see
// ui/devicelines.h); every call comes from that thread, checked in debug
// builds. The system actions are shell commands and external programs.
class net : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int correctionValue READ correctionValue WRITE setCorrectionValue NOTIFY correctionValueChanged)
public:
    explicit net(QObject *parent = nullptr);
    ~net() override;

    // --- network settings -------------------------------------------------
    Q_INVOKABLE bool getDHCPMode();
    Q_INVOKABLE QString getIPAddress();
    Q_INVOKABLE QString getNetmask();
    Q_INVOKABLE QString getGateway();
    Q_INVOKABLE QString getIp();
    Q_INVOKABLE QString getMask();
    Q_INVOKABLE QString getBroadcast();
    Q_INVOKABLE QString getMac();
    Q_INVOKABLE QString getMaskAddr();
    // Both say whether the file now holds the new setting (false: it holds
    // the old one, and the reason is logged).
    Q_INVOKABLE bool dhcpOn(bool onOff);
    Q_INVOKABLE bool setStaticIpMaskGateway(QString ip, QString mask, QString gateway);
    Q_INVOKABLE void setStaticIpMask(QString ip, QString mask);
    Q_INVOKABLE void staticIp(QString ip);
    Q_INVOKABLE void resetNetwork();
    Q_INVOKABLE void restartNetwork();

    bool addStaticConfig(const QString &ip, const QString &mask, const QString &gateway,
                         const QString &priDns, const QString &secDns);
    bool removeStaticConfig();
    static int netmaskToCIDR(const QString &mask);
    QString getOutput(const QString &cmd);
    QStringList getDnsServers();

    // --- media, meter and capture ------------------------------------------
    Q_INVOKABLE void setAudioValue(int ch1, int ch2, int rca, int digit, int ear, int master);
    Q_INVOKABLE void startPgm(int pgmOutSel);
    Q_INVOKABLE void stopPgm();
    Q_INVOKABLE void setDisplay();
    Q_INVOKABLE void stopStream();
    Q_INVOKABLE bool capImageKey(int cam, int num);
    Q_INVOKABLE void setKeyLed(int num, bool onOff);
    Q_INVOKABLE void createSpeedNum(int num);
    Q_INVOKABLE void startCheckpin();
    Q_INVOKABLE void startServer();
    Q_INVOKABLE void initEdid();
    Q_INVOKABLE void startLive();
    Q_INVOKABLE bool checkLiveEn();
    Q_INVOKABLE void killAllStream();
    Q_INVOKABLE void startOmx();
    Q_INVOKABLE void startStream();
    Q_INVOKABLE void setPause();
    Q_INVOKABLE void setPauseState(int state);

    int correctionValue() const { return m_correctionValue ? 1 : 0; }
    void setCorrectionValue(int value);

    static unsigned char findMostCommonValue(const QList<unsigned char> &values);
    void updatedBuToUI(unsigned char left, unsigned char right);

    // --- update check --------------------------------------------------------
    Q_INVOKABLE void checkNewApp();
    Q_INVOKABLE void upgradeApp();
    QString checkNewMBFirmware();

    // Observation points for tests and the demo.
    bool isMeterListening() const;
    int meterReadCalls() const { return meterReadCalls_; }
    QProcess *meterProcess() const { return i2sProc; }

    int meterConnectionCount() const;

    // The meter listener's policy: connections only from the unit itself
    // (loopback, or one of `own` addresses), at most a few at once, closed
    // when idle; accept failures pause accepting for a while.
    static bool meterPeerAllowed(const QHostAddress &peer, const QList<QHostAddress> &own);
    static constexpr int kMeterMaxConnections = 4;
    static constexpr int kMeterIdleMs = 10000;
    static constexpr int kMeterSweepMs = 1000;
    static constexpr int kMeterAcceptRetryMs = 1000;

    static constexpr quint16 kMeterPort = 20000;
    // How long capImageKey waits for the capture marker before giving up.
    static constexpr int kLiveWaitMs = 3000;

public slots:
    void readData();
    void newConn();
    void i2sStart();
    void recFfmpeg();

signals:
    void sendLeftBarVal(unsigned char value);
    void sendRightBarVal(unsigned char value);
    void sendImageKeyUpdate(int index);
    void sendAppVer(QString kbVersion, QString mbVersion);
    void correctionValueChanged();

private:
    bool writeConfig(const QString &text);
    void dropMeterConnection(QTcpSocket *s);
    void sweepMeterConnections();
    QStringList dnsPair();

    const QString devIface;
    const QString dhcpdCfgPath;
    const QString startMarker;
    const QString endMarker;

    QTcpServer *m_TcpServer = nullptr;
    QTcpSocket *socket = nullptr;
    QTimer *i2sTimer = nullptr;
    QProcess *i2sProc = nullptr;
    unsigned char preLeftVal = 0;
    unsigned char preRightVal = 0;
    bool m_correctionValue = false;

    QList<unsigned char> leftSamples_;
    QList<unsigned char> rightSamples_;
    int meterCalls_ = 0;
    int meterReadCalls_ = 0;

    QList<QTcpSocket *> meterSockets_;
    QHash<QTcpSocket *, QElapsedTimer> meterLastData_;
    QTimer *meterSweep_ = nullptr;
    QTimer *meterRetry_ = nullptr;
    QSocketNotifier *meterAccept_ = nullptr;
    int meterRefused_ = 0;
    int meterAcceptErrors_ = 0;
};
