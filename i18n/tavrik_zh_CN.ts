<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AudioMixer</name>
    <message>
        <location filename="../ui/audiomixer.cpp" line="+90"/>
        <source>MUTE</source>
        <translation>静音</translation>
    </message>
</context>
<context>
    <name>AudioPopup</name>
    <message>
        <location filename="../qml/popups/AudioPopup.qml" line="+18"/>
        <source>Audio mixer</source>
        <translation>混音器</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>CH 1</source>
        <translation>CH 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CH 2</source>
        <translation>CH 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>HDMI</source>
        <translation>HDMI</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>RCA</source>
        <translation>RCA</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Headset</source>
        <translation>耳机</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Master</source>
        <translation>总输出</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>PGM AUDIO</source>
        <translation>节目音频</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>L</source>
        <translation>左</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>R</source>
        <translation>右</translation>
    </message>
</context>
<context>
    <name>CameraPopup</name>
    <message>
        <location filename="../qml/popups/CameraPopup.qml" line="+23"/>
        <source>Camera</source>
        <translation>摄像机</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>CAM 1</source>
        <translation>摄像机 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CAM 2</source>
        <translation>摄像机 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CAM 3</source>
        <translation>摄像机 3</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>White balance</source>
        <translation>白平衡</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+63"/>
        <location line="+31"/>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <location line="-94"/>
        <source>One push</source>
        <translation>一键</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+63"/>
        <location line="+31"/>
        <source>Manual</source>
        <translation>手动</translation>
    </message>
    <message>
        <location line="-85"/>
        <source>WB gain</source>
        <translation>白平衡增益</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Red</source>
        <translation>红</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Blue</source>
        <translation>蓝</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+101"/>
        <source>Shutter</source>
        <translation>快门</translation>
    </message>
    <message>
        <location line="-79"/>
        <source>Focus</source>
        <translation>对焦</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Near</source>
        <translation>近</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Far</source>
        <translation>远</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Iris</source>
        <translation>光圈</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Close</source>
        <translation>收小</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Open</source>
        <translation>开大</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Back</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>ConfigBackup</name>
    <message>
        <location filename="../ui/configbackup.cpp" line="+105"/>
        <source>unknown setting %1</source>
        <translation>未知的设置 %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 is not on or off</source>
        <translation>%1 不是开或关</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1 is not a whole number from %2 to %3</source>
        <translation>%1 不是 %2 到 %3 之间的整数</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 is not a text</source>
        <translation>%1 不是文本</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 is not an address</source>
        <translation>%1 不是有效的地址</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+2"/>
        <source>%1 is not a label</source>
        <translation>%1 不是有效的名称</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 is not a picture file of the unit</source>
        <translation>%1 不是本机的图片文件</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>The file is empty or too large.</source>
        <translation>文件为空或过大。</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+11"/>
        <location line="+9"/>
        <location line="+25"/>
        <source>The file is damaged.</source>
        <translation>文件已损坏。</translation>
    </message>
    <message>
        <location line="-42"/>
        <source>The file is not a configuration of this panel.</source>
        <translation>此文件不是本控制面板的配置。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The file was written by a newer panel.</source>
        <translation>此文件由较新版本的控制面板写入。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The file&apos;s version is not known.</source>
        <translation>无法识别文件的版本。</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>The T-bar&apos;s ends in the file are too close together.</source>
        <translation>文件中推杆的两端数值过于接近。</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+10"/>
        <source>The network part of the file is damaged.</source>
        <translation>文件的网络部分已损坏。</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Address from DHCP: %1 → %2</source>
        <translation>由 DHCP 获取地址：%1 → %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Address: %1 → %2</source>
        <translation>IP 地址：%1 → %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mask: %1 → %2</source>
        <translation>子网掩码：%1 → %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Gateway: %1 → %2</source>
        <translation>网关：%1 → %2</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>The configuration was written to the update medium.</source>
        <translation>配置已写入更新介质。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The configuration could not be written: %1</source>
        <translation>无法写入配置：%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No configuration file on the update medium.</source>
        <translation>更新介质上没有配置文件。</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The file holds the settings the unit has.</source>
        <translation>文件中的设置与本机当前相同。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The file is sound. These settings will change:</source>
        <translation>文件完好。以下设置将会更改：</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>The network settings were not applied: %1</source>
        <translation>网络设置未应用：%1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Restored. Some settings take effect at the next start.</source>
        <translation>已恢复。部分设置在下次启动时生效。</translation>
    </message>
</context>
<context>
    <name>ControlApiPopup</name>
    <message>
        <location filename="../qml/popups/ControlApiPopup.qml" line="+23"/>
        <source>Control API</source>
        <translation>控制 API</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Off: nothing listens.</source>
        <translation>关闭：不接受任何连接。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>On, not listening yet.</source>
        <translation>开启，尚未开始监听。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ws://%1:%2   clients: %3</source>
        <translation>ws://%1:%2   客户端：%3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Control token</source>
        <translation>控制令牌</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Read-only token</source>
        <translation>只读令牌</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>New tokens</source>
        <translation>生成新令牌</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>CLOSE</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>DigitKeyboard</name>
    <message>
        <location filename="../qml/controls/DigitKeyboard.qml" line="+46"/>
        <source>Done</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>HomePage</name>
    <message>
        <location filename="../qml/pages/HomePage.qml" line="+114"/>
        <source>BLK</source>
        <translation>BLK</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN1</source>
        <translation>IN1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN2</source>
        <translation>IN2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN3</source>
        <translation>IN3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN4</source>
        <translation>IN4</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+70"/>
        <source>BKG</source>
        <translation>背景</translation>
    </message>
    <message>
        <location line="-70"/>
        <location line="+70"/>
        <source>BAR</source>
        <translation>彩条</translation>
    </message>
    <message>
        <location line="-69"/>
        <location line="+245"/>
        <source>CAM %1</source>
        <translation>摄像机 %1</translation>
    </message>
    <message>
        <location line="-156"/>
        <source>CAM%1</source>
        <translation>摄像机%1</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>MAINBOARD</source>
        <translation>主板</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NO CONTROL · MAINBOARD NOT ANSWERING</source>
        <translation>无法控制 · 主板无响应</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MAINBOARD OFFLINE</source>
        <translation>主板离线</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>SCREENSHOT MODE</source>
        <translation>截图模式</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+146"/>
        <source>MEM %1</source>
        <translation>记忆 %1</translation>
    </message>
    <message>
        <location line="-128"/>
        <source>L</source>
        <translation>左</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>R</source>
        <translation>右</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>MB %1</source>
        <translation>主板 %1</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>PGM</source>
        <translation>PGM</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>PiP PGM</source>
        <translation>画中画 PGM</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>KEY PGM</source>
        <translation>键控 PGM</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>PVW</source>
        <translation>PVW</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>PiP PVW</source>
        <translation>画中画 PVW</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>KEY PVW</source>
        <translation>键控 PVW</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>JOYSTICK</source>
        <translation>摇杆</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>SPEED</source>
        <translation>速度</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>SLOW</source>
        <translation>慢</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MID</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>FAST</source>
        <translation>快</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>MEMORY
hold to recall</source>
        <translation>记忆
长按调用</translation>
    </message>
    <message>
        <location line="+98"/>
        <source>rate %1 fr</source>
        <translation>速率 %1 帧</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>UNLOCKED</source>
        <translation>已解锁</translation>
    </message>
    <message>
        <location line="-136"/>
        <source>MIX</source>
        <translation>混合</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>WIPE</source>
        <translation>划像</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>CUT</source>
        <translation>CUT</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>T-BAR</source>
        <translation>推杆</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>LOCKED</source>
        <translation>已锁定</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>TRACKING</source>
        <translation>跟踪</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CAMERA</source>
        <translation>摄像机</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>PiP</source>
        <translation>画中画</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>LUMA</source>
        <translation>亮度键</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>AUDIO</source>
        <translation>音频</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>SETUP</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>ImageKeys</name>
    <message>
        <location filename="../ui/imagekeys.cpp" line="+152"/>
        <source>No camera signal detected

Image Key function requires a connected camera to operate.</source>
        <translation>未检测到摄像机信号

预置位功能需要连接摄像机才能使用。</translation>
    </message>
</context>
<context>
    <name>ImageKeysPage</name>
    <message>
        <location filename="../qml/pages/ImageKeysPage.qml" line="+34"/>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Tracking setup</source>
        <translation>跟踪设置</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Presets</source>
        <translation>预置位</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Press a preset of CAM %1 to store</source>
        <translation>按摄像机 %1 的预置位以保存</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CAM %1 is on air: hold to move</source>
        <translation>摄像机 %1 正在播出：长按才会转动</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>STORE</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>CAM %1</source>
        <translation>摄像机 %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No signal</source>
        <translation>无信号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Joystick camera</source>
        <translation>摇杆控制中</translation>
    </message>
    <message>
        <location line="+94"/>
        <source>ON AIR · HOLD</source>
        <translation>播出中 · 长按</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Auto-tracking is on: presets are hidden</source>
        <translation>自动跟踪已开启：预置位已隐藏</translation>
    </message>
</context>
<context>
    <name>LoadingPage</name>
    <message>
        <location filename="../qml/pages/LoadingPage.qml" line="+25"/>
        <source>Loading...</source>
        <translation>加载中...</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Reading the switcher state. The buses are up to date again in a few seconds.</source>
        <translation>正在读取切换台状态，数秒后 PGM/PVW 即更新完成。</translation>
    </message>
</context>
<context>
    <name>LumaPopup</name>
    <message>
        <location filename="../qml/popups/LumaPopup.qml" line="+19"/>
        <source>Luma key</source>
        <translation>亮度键</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Key source</source>
        <translation>键控源</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>BLK</source>
        <translation>BLK</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN1</source>
        <translation>IN1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN2</source>
        <translation>IN2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN3</source>
        <translation>IN3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN4</source>
        <translation>IN4</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>BKG</source>
        <translation>背景</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>BAR</source>
        <translation>彩条</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Key out</source>
        <translation>抠除</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Clean-up level</source>
        <translation>清理强度</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Transparency</source>
        <translation>透明度</translation>
    </message>
</context>
<context>
    <name>NetworkPage</name>
    <message>
        <location filename="../qml/pages/NetworkPage.qml" line="+36"/>
        <source>Network</source>
        <translation>网络</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>CLOSE</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Address</source>
        <translation>IP 地址</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Mask</source>
        <translation>子网掩码</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Gateway</source>
        <translation>网关</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>APPLY</source>
        <translation>应用</translation>
    </message>
</context>
<context>
    <name>NetworkSettings</name>
    <message>
        <location filename="../ui/networksettings.cpp" line="+125"/>
        <source>The address is not valid.</source>
        <translation>IP 地址无效。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The mask is not valid.</source>
        <translation>子网掩码无效。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The address is not valid for this mask.</source>
        <translation>IP 地址与子网掩码不匹配。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The gateway is not valid.</source>
        <translation>网关无效。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The gateway is not in the same network as the address.</source>
        <translation>网关与 IP 地址不在同一网段。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The gateway must differ from the address.</source>
        <translation>网关不能与 IP 地址相同。</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>The settings could not be saved; the old settings are kept.</source>
        <translation>无法保存设置，仍使用原有设置。</translation>
    </message>
</context>
<context>
    <name>OfflineTag</name>
    <message>
        <location filename="../qml/marks/OfflineTag.qml" line="+21"/>
        <source>OFFLINE</source>
        <translation>离线</translation>
    </message>
</context>
<context>
    <name>OutcomeTag</name>
    <message>
        <location filename="../qml/marks/OutcomeTag.qml" line="+21"/>
        <source>DONE</source>
        <translation>完成</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>REFUSED BY SWITCHER</source>
        <translation>切换台拒绝</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: NO ANSWER</source>
        <translation>未发送：无响应</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: LINE CLOSED</source>
        <translation>未发送：线路关闭</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: TOO LATE</source>
        <translation>未发送：已超时</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: TRANSITION</source>
        <translation>未发送：转场中</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: CAMERA OFFLINE</source>
        <translation>未发送：摄像机离线</translation>
    </message>
</context>
<context>
    <name>Panel</name>
    <message>
        <location filename="../ui/switching.cpp" line="+476"/>
        <source>T-Bar transition in progress

Other operations are unavailable until the transition is completed.</source>
        <translation>推杆转场进行中

转场完成前无法进行其他操作。</translation>
    </message>
</context>
<context>
    <name>PanelSettings</name>
    <message>
        <location filename="../ui/panelsettings.cpp" line="+322"/>
        <source>The settings could not be saved; they are kept until the next start only.</source>
        <translation>无法保存设置；当前设置只保留到下次开机。</translation>
    </message>
</context>
<context>
    <name>PipPopup</name>
    <message>
        <location filename="../qml/popups/PipPopup.qml" line="+19"/>
        <source>Picture in picture</source>
        <translation>画中画</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Crop</source>
        <translation>裁剪</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+135"/>
        <source>Source</source>
        <translation>信号源</translation>
    </message>
    <message>
        <location line="-80"/>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+41"/>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <location line="-20"/>
        <source>X %1 %   Y %2 %   Size %3 %</source>
        <translation>X %1 %   Y %2 %   大小 %3 %</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Reset position</source>
        <translation>重置位置</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Left</source>
        <translation>左</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Right</source>
        <translation>右</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Top</source>
        <translation>上</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Bottom</source>
        <translation>下</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Reset crop</source>
        <translation>重置裁剪</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>BLK</source>
        <translation>BLK</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN1</source>
        <translation>IN1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN2</source>
        <translation>IN2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN3</source>
        <translation>IN3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN4</source>
        <translation>IN4</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>BKG</source>
        <translation>背景</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>BAR</source>
        <translation>彩条</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Border size</source>
        <translation>边框大小</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Small</source>
        <translation>小</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Medium</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Border colour</source>
        <translation>边框颜色</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Yellow</source>
        <translation>黄色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cyan</source>
        <translation>青色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Magenta</source>
        <translation>品红</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
</context>
<context>
    <name>ServicePage</name>
    <message>
        <location filename="../qml/pages/ServicePage.qml" line="+46"/>
        <source>Service</source>
        <translation>维修</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Lines</source>
        <translation>连线</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Controls</source>
        <translation>操作部件</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Support</source>
        <translation>支持</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Mainboard answering</source>
        <translation>主板有响应</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Mainboard not answering</source>
        <translation>主板无响应</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Frames sent</source>
        <translation>已发送帧</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Acknowledged</source>
        <translation>已确认</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Refused</source>
        <translation>被拒绝</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+20"/>
        <source>Timed out</source>
        <translation>超时</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>Late replies</source>
        <translation>延迟回复</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Garbled replies</source>
        <translation>错误回复</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write failures</source>
        <translation>写入失败</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last error</source>
        <translation>最近错误</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Camera %1</source>
        <translation>摄像机 %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Line</source>
        <translation>连线</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Messages</source>
        <translation>消息</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Replies (1 min)</source>
        <translation>回复（1 分钟）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reply p50 (ms)</source>
        <translation>回复 p50（毫秒）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reply p99 (ms)</source>
        <translation>回复 p99（毫秒）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Model</source>
        <translation>型号</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>online</source>
        <translation>在线</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>offline</source>
        <translation>离线</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Converter (raw readings)</source>
        <translation>转换器（原始读数）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>T-bar</source>
        <translation>推杆</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>T-bar position</source>
        <translation>推杆位置</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>T-bar ends</source>
        <translation>推杆两端</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Joystick X</source>
        <translation>摇杆 X</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Joystick Y</source>
        <translation>摇杆 Y</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Joystick centre</source>
        <translation>摇杆中心</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom</source>
        <translation>变焦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom centre</source>
        <translation>变焦中心</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>End key test</source>
        <translation>结束按键测试</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Key test</source>
        <translation>按键测试</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Lamp test</source>
        <translation>指示灯测试</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Press the keys: nothing is sent to the switcher.</source>
        <translation>请按下按键：不会向切换台发送任何指令。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>During the key test the keys switch nothing.</source>
        <translation>按键测试期间，按键不会进行任何切换。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>LOCK</source>
        <translation>锁定</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>FAST</source>
        <translation>快</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MID</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SLOW</source>
        <translation>慢</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CUT</source>
        <translation>CUT</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>UNLOCK</source>
        <translation>解锁</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Key lamp pattern %1 of 4 lit</source>
        <translation>按键指示灯第 %1 组（共 4 组）亮起</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Network</source>
        <translation>网络</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Address</source>
        <translation>IP 地址</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mask</source>
        <translation>子网掩码</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gateway</source>
        <translation>网关</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Link</source>
        <translation>链路状态</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>up</source>
        <translation>已连接</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>down</source>
        <translation>未连接</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Discovery requests</source>
        <translation>发现请求</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Unit</source>
        <translation>本机</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Panel</source>
        <translation>控制面板</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mainboard firmware</source>
        <translation>主板固件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uptime</source>
        <translation>运行时间</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Memory</source>
        <translation>内存</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Board temperature</source>
        <translation>主板温度</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Write support bundle</source>
        <translation>写入支持数据包</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Settings, network, recent log, versions and counters, written to the update medium. No passwords or tokens.</source>
        <translation>设置、网络、近期日志、版本与计数，写入更新介质。不含密码或令牌。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Back up configuration</source>
        <translation>备份配置</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Restore configuration</source>
        <translation>恢复配置</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The unit&apos;s settings to and from the update medium. A restore shows what will change before anything does.</source>
        <translation>将本机设置备份到更新介质或从中恢复。恢复前会先列出将更改的项目。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Network (only with the network):</source>
        <translation>网络（仅在一并恢复网络时）：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Restore without network</source>
        <translation>恢复（不含网络）</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Restore with network</source>
        <translation>恢复（含网络）</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ServiceStatus</name>
    <message>
        <location filename="../ui/servicestatus.cpp" line="+108"/>
        <source>refused</source>
        <translation>被拒绝</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no reply</source>
        <translation>无回复</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>garbled reply</source>
        <translation>错误回复</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>write failed</source>
        <translation>写入失败</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <location line="+194"/>
        <source>%1 of %2 MB in use</source>
        <translation>已使用 %1 / %2 MB</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>%1 d %2</source>
        <translation>%1 天 %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Writing the support bundle…</source>
        <translation>正在写入支持数据包…</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>The support bundle could not be written: %1</source>
        <translation>无法写入支持数据包：%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Support bundle written: %1</source>
        <translation>已写入支持数据包：%1</translation>
    </message>
</context>
<context>
    <name>SetupMenu</name>
    <message>
        <location filename="../ui/setupmenu.cpp" line="+15"/>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Yellow</source>
        <translation>黄色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cyan</source>
        <translation>青色</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+116"/>
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <location line="-115"/>
        <source>Magenta</source>
        <translation>品红</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+114"/>
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message>
        <location line="-113"/>
        <source>Blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Mix</source>
        <translation>混合</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Wipe</source>
        <translation>划像</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Left Right</source>
        <translation>左右</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Top Bottom</source>
        <translation>上下</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Center</source>
        <translation>中心</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+26"/>
        <location line="+4"/>
        <location line="+6"/>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <location line="-36"/>
        <source>Small</source>
        <translation>小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Medium</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Input 1</source>
        <translation>输入 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Input 2</source>
        <translation>输入 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Input 3</source>
        <translation>输入 3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Input 4</source>
        <translation>输入 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Follow</source>
        <translation>跟随</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Channel 1&amp;2</source>
        <translation>声道 1&amp;2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Channel 3&amp;4</source>
        <translation>声道 3&amp;4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Channel 5&amp;6</source>
        <translation>声道 5&amp;6</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Channel 7&amp;8</source>
        <translation>声道 7&amp;8</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+10"/>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>Audio Mixer Mode</source>
        <translation>混音器模式</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Flip</source>
        <translation>翻转</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mirror</source>
        <translation>镜像</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Mirror and Flip</source>
        <translation>镜像及翻转</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Reversed</source>
        <translation>反向</translation>
    </message>
</context>
<context>
    <name>SetupMenuPage</name>
    <message>
        <location filename="../qml/pages/SetupMenuPage.qml" line="+88"/>
        <source>Type</source>
        <translation>输入</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Audio</source>
        <translation>音频</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Memory</source>
        <translation>记忆</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Camera</source>
        <translation>摄像机</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+348"/>
        <source>CLOSE</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="-356"/>
        <source>Transition</source>
        <translation>转场</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Transition type</source>
        <translation>转场方式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wipe effect</source>
        <translation>划像效果</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wipe border</source>
        <translation>划像边框</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Border colour</source>
        <translation>边框颜色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Background</source>
        <translation>背景颜色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto rate</source>
        <translation>AUTO 速率</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>fr</source>
        <translation>帧</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Mute</source>
        <translation>静音</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HDMI input</source>
        <translation>HDMI 输入</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HDMI group</source>
        <translation>HDMI 声道组</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HDMI level</source>
        <translation>HDMI 电平</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tally mode</source>
        <translation>提示灯模式</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Calibration</source>
        <translation>校准</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>MEM %1</source>
        <translation>记忆 %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+293"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="-288"/>
        <source>Recall</source>
        <translation>调用</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Hold Recall to load a memory: it changes the whole switcher and the audio levels.</source>
        <translation>长按“调用”以调用记忆：会改变整台切换台的设置及音量。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Factory default</source>
        <translation>出厂设置</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>CAM 1</source>
        <translation>摄像机 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CAM 2</source>
        <translation>摄像机 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CAM 3</source>
        <translation>摄像机 3</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Video format</source>
        <translation>视频格式</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pan direction</source>
        <translation>水平方向</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tilt direction</source>
        <translation>俯仰方向</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tally LED</source>
        <translation>提示灯</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preset speed</source>
        <translation>预置位速度</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>WB red gain</source>
        <translation>白平衡红色增益</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>WB blue gain</source>
        <translation>白平衡蓝色增益</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>On-air preset: hold to move</source>
        <translation>播出中的预置位：长按才转动</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Control API</source>
        <translation>控制 API</translation>
    </message>
    <message>
        <location line="+155"/>
        <source>Load factory settings</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save to MEM %1</source>
        <translation>保存到记忆 %1</translation>
    </message>
    <message>
        <location line="-175"/>
        <source>Program output</source>
        <translation>PGM 输出</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>Mirror / flip</source>
        <translation>镜像/翻转</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Multiview output</source>
        <translation>多画面输出</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Output format</source>
        <translation>输出格式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Network</source>
        <translation>网络</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Tally out</source>
        <translation>提示灯输出</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Mainboard %1   Panel %2</source>
        <translation>主板 %1   面板 %2</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Screenshot mode: on</source>
        <translation>截图模式：开</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Screenshot mode: off</source>
        <translation>截图模式：关</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The CUT key saves a screenshot instead of cutting.</source>
        <translation>CUT 键改为保存屏幕截图，不会切换。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hold 2 s: the CUT key then saves screenshots instead of cutting.</source>
        <translation>长按 2 秒：之后 CUT 键改为保存屏幕截图，不会切换。</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+114"/>
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <location line="-66"/>
        <location line="+76"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="-22"/>
        <source>Do you want to load the factory settings ?</source>
        <translation>要恢复出厂设置吗？</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save the switcher&apos;s settings and the audio levels into MEM %1? What MEM %1 holds now is overwritten.</source>
        <translation>要将切换台设置及音量保存到记忆 %1 吗？记忆 %1 原有的内容将被覆盖。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you want to reset settings ?</source>
        <translation>要重置本页设置吗？</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Audio calibration</source>
        <translation>音频校准</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CH 1</source>
        <translation>CH 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CH 2</source>
        <translation>CH 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>HDMI</source>
        <translation>HDMI</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>RCA</source>
        <translation>RCA</translation>
    </message>
</context>
<context>
    <name>ShutdownPopup</name>
    <message>
        <location filename="../qml/popups/ShutdownPopup.qml" line="+20"/>
        <location line="+18"/>
        <source>Shut down</source>
        <translation>关机</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Do you want to shut down the system ?</source>
        <translation>要关闭系统吗？</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>SplashPage</name>
    <message>
        <location filename="../qml/pages/SplashPage.qml" line="+33"/>
        <source>live production switcher</source>
        <translation>直播切换台</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Starting...</source>
        <translation>启动中...</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Reading the switcher state</source>
        <translation>正在读取切换台状态</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Waiting for the mainboard</source>
        <translation>等待主板</translation>
    </message>
</context>
<context>
    <name>TallyOutPage</name>
    <message>
        <location filename="../qml/pages/TallyOutPage.qml" line="+65"/>
        <source>Tally out</source>
        <translation>提示灯输出</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Destinations</source>
        <translation>目的地</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Displays</source>
        <translation>显示器</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Lamps</source>
        <translation>灯号</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Address (empty: not used)</source>
        <translation>地址（空白：不使用）</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+18"/>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>Protocol</source>
        <translation>协议</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Destination %1</source>
        <translation>目的地 %1</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: display index</source>
        <translation>%1：显示器编号</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1: label</source>
        <translation>%1：名称</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>TSL 5.0 colour</source>
        <translation>TSL 5.0 颜色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>TSL 3.1 tally</source>
        <translation>TSL 3.1 提示灯</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Program</source>
        <translation>节目（PGM）</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Preview</source>
        <translation>预览（PVW）</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Amber</source>
        <translation>琥珀色</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Receivers differ in which tally means preview: set it as they expect.</source>
        <translation>各接收端对预览使用哪一个提示灯不尽相同：请按接收端的设置选择。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Camera tally</source>
        <translation>摄像机提示灯</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>On: camera lamps also light for PiP/key sources on program, and for both sources during a mix. Off (standard): program and preview only. Takes effect at once, without APPLY.</source>
        <translation>开启：节目上的画中画/键控信号源，以及混合过程中的两个信号源，摄像机提示灯也会亮起。关闭（标准）：仅节目与预览。立即生效，无需按“应用”。</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Off: nothing is sent. On: the tally the switcher confirms, at once and every 2 s.</source>
        <translation>关闭：不发送任何数据。开启：切换台确认的提示灯状态会立即发送，并每 2 秒重发一次。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>APPLY</source>
        <translation>应用</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>TallyOutSetup</name>
    <message>
        <location filename="../ui/tallyoutsetup.cpp" line="+159"/>
        <source>Destination %1: the address is not valid.</source>
        <translation>目的地 %1：地址无效。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Destination %1: the port must be 1 to 65535.</source>
        <translation>目的地 %1：端口必须为 1 至 65535。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Tally out needs at least one destination.</source>
        <translation>提示灯输出至少需要一个目的地。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1: the display index must be 0 to %2.</source>
        <translation>%1：显示器编号必须为 0 至 %2。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: TSL 3.1 displays are 0 to %2.</source>
        <translation>%1：TSL 3.1 显示器编号为 0 至 %2。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 and %2 have the same display index.</source>
        <translation>%1 与 %2 的显示器编号相同。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Program and preview need different lamps.</source>
        <translation>节目与预览必须使用不同的灯号。</translation>
    </message>
</context>
<context>
    <name>TallyTag</name>
    <message>
        <location filename="../qml/marks/TallyTag.qml" line="+24"/>
        <source>ON AIR</source>
        <translation>ON AIR</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PVW</source>
        <translation>PVW</translation>
    </message>
</context>
<context>
    <name>TextKeyboard</name>
    <message>
        <location filename="../qml/controls/TextKeyboard.qml" line="+34"/>
        <source>Space</source>
        <translation>空格</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Done</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>ToggleSwitch</name>
    <message>
        <location filename="../qml/controls/ToggleSwitch.qml" line="+9"/>
        <source>ON</source>
        <translation>开</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OFF</source>
        <translation>关</translation>
    </message>
</context>
<context>
    <name>TrackingSetupPopup</name>
    <message>
        <location filename="../qml/popups/TrackingSetupPopup.qml" line="+20"/>
        <source>Auto tracking</source>
        <translation>自动跟踪</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Framing</source>
        <translation>构图</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Indicators</source>
        <translation>指示与位置</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>CAM %1</source>
        <translation>摄像机 %1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>No signal</source>
        <translation>无信号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No tracking</source>
        <translation>不支持跟踪</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Joystick drives CAM %1</source>
        <translation>摇杆控制摄像机 %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Placement</source>
        <translation>人物位置</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Left</source>
        <translation>左</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Centre</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Right</source>
        <translation>右</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Fast</source>
        <translation>快</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Medium</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Slow</source>
        <translation>慢</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Figure size</source>
        <translation>人物大小</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Framing: %1</source>
        <translation>构图：%1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Full body</source>
        <translation>全身</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Half body</source>
        <translation>半身</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Close-up</source>
        <translation>特写</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Detection box</source>
        <translation>检测框</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Subject</source>
        <translation>跟踪对象</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Start position</source>
        <translation>起始位置</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Reminder</source>
        <translation>画面提示</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto zoom</source>
        <translation>自动变焦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto tilt</source>
        <translation>自动俯仰</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>CAM %1 has no signal: options are unavailable</source>
        <translation>摄像机 %1 无信号：无法设置选项</translation>
    </message>
</context>
<context>
    <name>UnconfirmedTag</name>
    <message>
        <location filename="../qml/marks/UnconfirmedTag.qml" line="+21"/>
        <source>UNCONFIRMED</source>
        <translation>未确认</translation>
    </message>
</context>
<context>
    <name>UpgradeFlow</name>
    <message>
        <location filename="../ui/upgradeflow.cpp" line="+50"/>
        <source>Do you want to upgrade the mainboard firmware ? (MB: %1)</source>
        <translation>要升级主板固件吗？（主板：%1）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you want to upgrade the panel application ? (KBD: %1)</source>
        <translation>要升级面板程序吗？（面板：%1）</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Start upgrade KB </source>
        <translation>开始升级面板程序 </translation>
    </message>
    <message>
        <location line="+49"/>
        <location line="+25"/>
        <source>MB upgrade fail</source>
        <translation>主板升级失败</translation>
    </message>
    <message>
        <location line="-16"/>
        <location line="+3"/>
        <source>MB upgrade success</source>
        <translation>主板升级成功</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The system will restart in 5 seconds.</source>
        <translation>系统将在 5 秒后重启。</translation>
    </message>
</context>
<context>
    <name>UpgradePopup</name>
    <message>
        <location filename="../qml/popups/UpgradePopup.qml" line="+26"/>
        <location line="+35"/>
        <source>Upgrade</source>
        <translation>升级</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Not now</source>
        <translation>稍后</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../qml/main.qml" line="+26"/>
        <source>tavrik</source>
        <translation>tavrik</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>T-Bar transition in progress

Other operations are unavailable until the transition is completed.</source>
        <translation>推杆转场进行中

转场完成前无法进行其他操作。</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>UPDATING FROM THE SWITCHER</source>
        <translation>正在从切换台更新</translation>
    </message>
</context>
</TS>
