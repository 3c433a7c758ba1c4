<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
</context>
<context>
    <name>CameraPopup</name>
    <message>
        <location filename="../qml/popups/CameraPopup.qml" line="+22"/>
        <source>Camera</source>
        <translation>摄像机</translation>
    </message>
    <message>
        <location line="+14"/>
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
        <location line="+17"/>
        <source>White balance</source>
        <translation>白平衡</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+61"/>
        <location line="+31"/>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>One push</source>
        <translation>一键</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+61"/>
        <location line="+31"/>
        <source>Manual</source>
        <translation>手动</translation>
    </message>
    <message>
        <location line="-85"/>
        <source>Gain</source>
        <translation>增益</translation>
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
        <location filename="../qml/pages/HomePage.qml" line="+102"/>
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
        <location line="+12"/>
        <location line="+50"/>
        <source>BKG</source>
        <translation>背景</translation>
    </message>
    <message>
        <location line="-50"/>
        <location line="+50"/>
        <source>BAR</source>
        <translation>彩条</translation>
    </message>
    <message>
        <location line="-49"/>
        <location line="+158"/>
        <source>CAM %1</source>
        <translation>摄像机 %1</translation>
    </message>
    <message>
        <location line="-89"/>
        <source>CAM%1</source>
        <translation>摄像机%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>MAINBOARD</source>
        <translation>主板</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MAINBOARD OFFLINE</source>
        <translation>主板离线</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>SCREENSHOT MODE</source>
        <translation>截图模式</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+99"/>
        <source>MEM %1</source>
        <translation>记忆 %1</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>MB %1</source>
        <translation>主板 %1</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>PGM</source>
        <translation>PGM</translation>
    </message>
    <message>
        <location line="+4"/>
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
        <location line="+4"/>
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
        <location line="+21"/>
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
        <source>MEMORY</source>
        <translation>记忆</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>MIX</source>
        <translation>混合</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>WIPE</source>
        <translation>划像</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>CUT</source>
        <translation>CUT</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>rate %1</source>
        <translation>速率 %1</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>T-BAR</source>
        <translation>推杆</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>LOCKED</source>
        <translation>已锁定</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>FREE</source>
        <translation>可用</translation>
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
        <location filename="../ui/imagekeys.cpp" line="+130"/>
        <source>No camera signal detected

Image Key function requires a connected camera to operate.</source>
        <translation>未检测到摄像机信号

图像键功能需要连接摄像机才能使用。</translation>
    </message>
</context>
<context>
    <name>ImageKeysPage</name>
    <message>
        <location filename="../qml/pages/ImageKeysPage.qml" line="+27"/>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Image keys</source>
        <translation>图像键</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Tracking setup</source>
        <translation>跟踪设置</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Press a key of CAM %1 to store</source>
        <translation>按摄像机 %1 的图像键以保存</translation>
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
        <location line="+85"/>
        <source>Auto-tracking is on: image keys are hidden</source>
        <translation>自动跟踪已开启：图像键已隐藏</translation>
    </message>
</context>
<context>
    <name>LoadingPage</name>
    <message>
        <location filename="../qml/pages/LoadingPage.qml" line="+24"/>
        <source>Loading...</source>
        <translation>加载中...</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Reading the switcher state. The buses return in a few seconds.</source>
        <translation>正在读取切换台状态，数秒后恢复总线。</translation>
    </message>
</context>
<context>
    <name>LumaPopup</name>
    <message>
        <location filename="../qml/popups/LumaPopup.qml" line="+18"/>
        <source>Luma key</source>
        <translation>亮度键</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Key source</source>
        <translation>键控源</translation>
    </message>
    <message>
        <location line="+4"/>
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
        <location line="+4"/>
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
        <location filename="../ui/networksettings.cpp" line="+117"/>
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
        <location line="+31"/>
        <source>The settings could not be saved; the old settings are kept.</source>
        <translation>无法保存设置，仍使用原有设置。</translation>
    </message>
</context>
<context>
    <name>Panel</name>
    <message>
        <location filename="../ui/switching.cpp" line="+443"/>
        <source>T-Bar transition in progress

Other operations are unavailable until the transition is completed.</source>
        <translation>推杆转场进行中

转场完成前无法进行其他操作。</translation>
    </message>
</context>
<context>
    <name>PanelSettings</name>
    <message>
        <location filename="../ui/panelsettings.cpp" line="+286"/>
        <source>The settings could not be saved; they are kept until the next start only.</source>
        <translation>无法保存设置；当前设置只保留到下次开机。</translation>
    </message>
</context>
<context>
    <name>PipPopup</name>
    <message>
        <location filename="../qml/popups/PipPopup.qml" line="+18"/>
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
        <location line="+124"/>
        <source>Source</source>
        <translation>信号源</translation>
    </message>
    <message>
        <location line="-75"/>
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
        <location line="+37"/>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>X %1   Y %2   Size %3</source>
        <translation>X %1   Y %2   大小 %3</translation>
    </message>
    <message>
        <location line="+5"/>
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
        <location line="+24"/>
        <source>Reset crop</source>
        <translation>重置裁剪</translation>
    </message>
    <message>
        <location line="+18"/>
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
        <location line="+4"/>
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
        <source>Middle</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Border colour</source>
        <translation>边框颜色</translation>
    </message>
    <message>
        <location line="+4"/>
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
        <location line="+114"/>
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <location line="-113"/>
        <source>Magenta</source>
        <translation>品红</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+112"/>
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message>
        <location line="-111"/>
        <source>Blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <location line="+70"/>
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
        <source>Middle</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Large</source>
        <translation>大</translation>
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
        <location filename="../qml/pages/SetupMenuPage.qml" line="+62"/>
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
        <source>Start</source>
        <translation>基本</translation>
    </message>
    <message>
        <location line="+0"/>
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
        <location line="+288"/>
        <source>CLOSE</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="-276"/>
        <source>Transition</source>
        <translation>转场</translation>
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
        <location line="+233"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="-228"/>
        <source>Recall</source>
        <translation>调用</translation>
    </message>
    <message>
        <location line="+10"/>
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
        <location line="+1"/>
        <source>Image</source>
        <translation>图像</translation>
    </message>
    <message>
        <location line="+1"/>
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
        <source>Memory speed</source>
        <translation>记忆速度</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Red gain</source>
        <translation>红色增益</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blue gain</source>
        <translation>蓝色增益</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Program output</source>
        <translation>PGM 输出</translation>
    </message>
    <message>
        <location line="+1"/>
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
        <source>Control API</source>
        <translation>控制 API</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Mainboard %1   Panel %2</source>
        <translation>主板 %1   面板 %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Do you want to load the factory settings ?</source>
        <translation>要恢复出厂设置吗？</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you want to reset settings ?</source>
        <translation>要重置本页设置吗？</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>YES</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>NO</source>
        <translation>否</translation>
    </message>
    <message>
        <location line="+23"/>
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
        <source>Shut down</source>
        <translation>关机</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Do you want to shut down the system ?</source>
        <translation>要关闭系统吗？</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>YES</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>NO</source>
        <translation>否</translation>
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
    <name>UpgradeFlow</name>
    <message>
        <location filename="../ui/upgradeflow.cpp" line="+46"/>
        <source>Do you want to Upgrade App ?</source>
        <translation>要升级软件吗？</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Start upgrade KB </source>
        <translation>开始升级面板程序 </translation>
    </message>
    <message>
        <location line="+48"/>
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
        <source>Upgrade</source>
        <translation>升级</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>YES</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>NO</source>
        <translation>否</translation>
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
</context>
</TS>
